#include "ui/widgets/painted_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace fhr {
namespace {

// Draws at 24x24 and at twice that for high-density screens.
QIcon Painted(const std::function<void(QPainter&)>& draw) {
  QIcon icon;
  for (int scale : {1, 2}) {
    QPixmap pixmap(24 * scale, 24 * scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    draw(painter);
    icon.addPixmap(pixmap);
  }
  return icon;
}

void Envelope(QPainter& p, bool open) {
  const QColor paper = open ? QColor(250, 250, 245) : QColor(255, 236, 150);
  const QColor edge(90, 80, 40);
  p.setPen(QPen(edge, 1.2));
  if (open) {
    QPainterPath flap;
    flap.moveTo(3, 10);
    flap.lineTo(12, 3);
    flap.lineTo(21, 10);
    p.setBrush(QColor(235, 235, 225));
    p.drawPath(flap);
  }
  p.setBrush(paper);
  p.drawRect(QRectF(3, 10 - (open ? 0 : 4), 18, open ? 11 : 14));
  QPainterPath fold;
  fold.moveTo(3, open ? 10 : 6);
  fold.lineTo(12, open ? 16 : 13);
  fold.lineTo(21, open ? 10 : 6);
  p.setBrush(Qt::NoBrush);
  p.drawPath(fold);
}

}  // namespace

QIcon UnreadIcon() { return Painted([](QPainter& p) { Envelope(p, false); }); }
QIcon ReadIcon() { return Painted([](QPainter& p) { Envelope(p, true); }); }

QIcon CopyIcon() {
  return Painted([](QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.setBrush(QColor(230, 230, 230));
    p.drawRect(QRectF(4, 3, 11, 14));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 7, 11, 14));
    for (int y : {11, 14, 17}) p.drawLine(QPointF(11.5, y), QPointF(17.5, y));
  });
}

QIcon DecryptIcon() {
  return Painted([](QPainter& p) {
    p.setPen(QPen(QColor(70, 70, 70), 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6, 2, 10, 12), 0, 180 * 16);
    p.drawLine(QPointF(16, 8), QPointF(16, 11));
    p.setPen(QPen(QColor(120, 90, 10), 1.2));
    p.setBrush(QColor(230, 180, 40));
    p.drawRoundedRect(QRectF(4, 11, 16, 11), 2, 2);
    p.setBrush(QColor(90, 60, 0));
    p.drawEllipse(QPointF(12, 16), 1.6, 1.6);
  });
}

QIcon DeleteIcon() {
  return Painted([](QPainter& p) {
    p.setPen(QPen(QColor(200, 30, 30), 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 6), QPointF(18, 18));
    p.drawLine(QPointF(18, 6), QPointF(6, 18));
  });
}

QIcon TrayIcon(int index) {
  return Painted([index](QPainter& p) {
    Envelope(p, false);
    if (index == 0) return;
    // A dot in the corner: green for new mail, red for an error.
    p.setPen(QPen(Qt::white, 1.2));
    p.setBrush(index == 1 ? QColor(40, 170, 40) : QColor(210, 30, 30));
    p.drawEllipse(QPointF(18, 18), 5.5, 5.5);
  });
}

}  // namespace fhr
