// The desktop's pauses keep handling events.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QtTest>

#include "core/pacing.h"
#include "core/widgets/qt_pacer.h"

namespace fhr {

namespace {

class EventCounter : public QObject {
 public:
  int seen = 0;

 protected:
  bool event(QEvent* event) override {
    if (event->type() != QEvent::User) return QObject::event(event);
    ++seen;
    return true;
  }
};

void PostTo(EventCounter* counter) { QCoreApplication::postEvent(counter, new QEvent(QEvent::User)); }

}  // namespace

class PacingWidgetsTest : public QObject {
  Q_OBJECT

 private slots:
  void zeroHandlesPendingEventsOnce() {
    QtPacer pacer;
    ScopedPacer installed(&pacer);
    EventCounter counter;
    PostTo(&counter);
    PostTo(&counter);
    WaitProcessing(0);
    QCOMPARE(counter.seen, 2);
    WaitProcessing(0);
    QCOMPARE(counter.seen, 2);
  }

  void eventsArriveDuringAPause() {
    QtPacer pacer;
    EventCounter counter;
    QTimer::singleShot(20, &counter, [&counter] { PostTo(&counter); });
    QElapsedTimer clock;
    clock.start();
    pacer.Wait(std::chrono::milliseconds(120));
    QVERIFY2(clock.elapsed() >= 120, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(counter.seen, 1);
  }

  void terminatingReturnsAfterTheFirstPass() {
    QtPacer pacer;
    EventCounter counter;
    PostTo(&counter);
    SetProgramTerminating(true);
    QElapsedTimer clock;
    clock.start();
    pacer.Wait(std::chrono::milliseconds(2000));
    SetProgramTerminating(false);
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(counter.seen, 1);
  }
};

}  // namespace fhr

QTEST_MAIN(fhr::PacingWidgetsTest)
#include "pacing_widgets_test.moc"
