#include "ui/widgets/status_panels.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

#include <algorithm>

namespace fhr {

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
  setObjectName("StatusBar");
  setSizeGripEnabled(false);
}

void StatusPanels::SetPanelText(int panel, const QString& text) {
  texts_.at(static_cast<std::size_t>(panel)) = text;
  update();
}

void StatusPanels::SetProgress(int percent) {
  progress_ = std::clamp(percent, 0, 100);
  update();
}

int StatusPanels::PanelWidth(int panel) const {
  // At least the classic widths, wider when the font needs it, so the
  // error notice and a large count are never cut.
  const int progress = std::max(kProgressWidth, fontMetrics().horizontalAdvance("  ERROR! Click here!  ") + 8);
  const int count = std::max(kCountWidth, fontMetrics().horizontalAdvance(" 999999 messages ") + 8);
  if (panel == 1) return progress;
  if (panel == 2) return count;
  return std::max(0, width() - progress - count);
}

QRect StatusPanels::PanelRect(int panel) const {
  int left = 0;
  for (int i = 0; i < panel; ++i) left += PanelWidth(i);
  return QRect(left, 0, PanelWidth(panel), height());
}

QSize StatusPanels::sizeHint() const {
  return {QStatusBar::sizeHint().width(), fontMetrics().height() + 8};
}

void StatusPanels::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& pal = palette();
  painter.fillRect(rect(), pal.window());
  const int textTop = (height() - fontMetrics().height()) / 2 - 1;
  for (int panel = 0; panel < 3; ++panel) {
    const QRect r = PanelRect(panel).adjusted(1, 1, -1, -1);
    painter.setPen(pal.color(QPalette::Mid));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    const QString& text = texts_.at(static_cast<std::size_t>(panel));
    if (panel != 1) {
      painter.setPen(pal.color(QPalette::WindowText));
      const QRect textRect(r.left() + 2, textTop, r.width() - 4, fontMetrics().height());
      painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                       fontMetrics().elidedText(text, Qt::ElideRight, textRect.width()));
      continue;
    }
    // Progress and errors: an error fills the panel red with white text.
    const QRect bar = r.adjusted(1, 1, -2, 0);
    const bool error = text.toLower().contains("error");
    const int percent = error ? 100 : progress_;
    const int filled = static_cast<int>(percent * 0.01 * bar.width());
    if (filled > 0) painter.fillRect(QRect(bar.left(), bar.top(), filled, bar.height()), error ? Qt::red : QColor(50, 205, 50));
    painter.setPen(error ? QColor(Qt::white) : pal.color(QPalette::WindowText));
    const int textWidth = fontMetrics().horizontalAdvance(text);
    painter.drawText(QPoint(bar.left() + bar.width() / 2 - textWidth / 2, textTop + fontMetrics().ascent()), text);
  }
}

void StatusPanels::mousePressEvent(QMouseEvent* event) {
  const int x = static_cast<int>(event->position().x());
  for (int panel = 0; panel < 3; ++panel) {
    const QRect r = PanelRect(panel);
    if (x > r.left() && x < r.right() + 1) {
      emit panelPressed(panel);
      break;
    }
  }
  QStatusBar::mousePressEvent(event);
}

}  // namespace fhr
