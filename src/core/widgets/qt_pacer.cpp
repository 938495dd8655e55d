#include "core/widgets/qt_pacer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <climits>

namespace fhr {

void QtPacer::Wait(std::chrono::milliseconds time) {
  const QDeadlineTimer deadline(time, Qt::PreciseTimer);
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  if (ProgramTerminating() || QCoreApplication::closingDown()) return;
  const qint64 left = deadline.remainingTime();
  if (left <= 0) return;
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  // A coarse timer may fire a little early; the pause must last at least its time.
  timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  timer.start(static_cast<int>(std::min<qint64>(left, INT_MAX)));
  loop.exec();
}

}  // namespace fhr
