#include "gui/images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace vorn::gui {
namespace {

constexpr int kSize = 32;

QPixmap Blank(int size = kSize) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A round badge with a letter, in a colour per state.
QPixmap Badge(const QColor& colour, const QString& letter) {
  QPixmap pixmap = Blank();
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(colour);
  p.setPen(QPen(colour.darker(160), 2));
  p.drawEllipse(2, 2, kSize - 4, kSize - 4);
  QFont font = p.font();
  font.setBold(true);
  font.setPixelSize(18);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, letter);
  return pixmap;
}

QPixmap Clock(const QColor& face, const QString& mark) {
  QPixmap pixmap = Blank();
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(face);
  p.setPen(QPen(Qt::black, 2));
  p.drawEllipse(3, 3, kSize - 6, kSize - 6);
  p.drawLine(kSize / 2, kSize / 2, kSize / 2, 8);
  p.drawLine(kSize / 2, kSize / 2, kSize - 10, kSize / 2);
  QFont font = p.font();
  font.setBold(true);
  font.setPixelSize(11);
  p.setFont(font);
  p.drawText(QRect(kSize / 2 - 12, kSize / 2, 14, 14), Qt::AlignCenter, mark);
  return pixmap;
}

QPixmap Face(bool happy) {
  QPixmap pixmap = Blank();
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(happy ? QColor(250, 210, 60) : QColor(150, 170, 210));
  p.setPen(QPen(Qt::black, 1.5));
  p.drawEllipse(2, 2, kSize - 4, kSize - 4);
  p.setBrush(Qt::black);
  p.drawEllipse(10, 11, 3, 4);
  p.drawEllipse(19, 11, 3, 4);
  p.setBrush(Qt::NoBrush);
  QPainterPath mouth;
  mouth.moveTo(10, happy ? 19 : 24);
  mouth.quadTo(16, happy ? 27 : 17, 22, happy ? 19 : 24);
  p.drawPath(mouth);
  return pixmap;
}

}  // namespace

QIcon TrayIcon(TrayState state) {
  switch (state) {
    case TrayState::kStopped:
      return QIcon(Badge(QColor(40, 90, 170), "V"));
    case TrayState::kMirroring:
      return QIcon(Badge(QColor(30, 150, 60), "V"));
    case TrayState::kWaiting:
      return QIcon(Badge(QColor(220, 150, 20), "V"));
  }
  return {};
}

QIcon StartIcon() {
  QPixmap pixmap = Blank();
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(30, 150, 60));
  p.setPen(Qt::NoPen);
  p.drawPolygon(QPolygonF({QPointF(8, 4), QPointF(28, 16), QPointF(8, 28)}));
  return QIcon(pixmap);
}

QIcon StopIcon() {
  QPixmap pixmap = Blank();
  QPainter p(&pixmap);
  p.setBrush(QColor(200, 40, 40));
  p.setPen(Qt::NoPen);
  p.drawRect(7, 7, 18, 18);
  return QIcon(pixmap);
}

QPixmap DefaultIntervalImage() {
  return Clock(QColor(255, 255, 255), "1");
}

QPixmap SpecificIntervalImage() {
  return Clock(QColor(255, 230, 150), "N");
}

QPixmap MacintoshImage() {
  QPixmap pixmap = Blank(16);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(120, 120, 120));
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(1, 1, 14, 14, 3, 3);
  p.setBrush(Qt::white);
  p.drawRect(4, 4, 8, 6);
  return pixmap;
}

QPixmap ArrowImage() {
  QPixmap pixmap = Blank();
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(60, 60, 60), 3));
  p.drawLine(4, 16, 24, 16);
  p.setBrush(QColor(60, 60, 60));
  p.drawPolygon(QPolygonF({QPointF(20, 9), QPointF(29, 16), QPointF(20, 23)}));
  return pixmap;
}

QPixmap ServiceImage() {
  QPixmap pixmap = Blank();
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(80, 80, 80), 4));
  for (int i = 0; i < 8; ++i) {
    p.save();
    p.translate(16, 16);
    p.rotate(45 * i);
    p.drawLine(0, 8, 0, 13);
    p.restore();
  }
  p.setBrush(QColor(160, 160, 160));
  p.setPen(QPen(QColor(80, 80, 80), 2));
  p.drawEllipse(QPointF(16, 16), 8, 8);
  return pixmap;
}

QPixmap ApplicationImage() {
  QPixmap pixmap = Blank();
  QPainter p(&pixmap);
  p.setPen(QPen(QColor(40, 60, 120), 2));
  p.setBrush(Qt::white);
  p.drawRect(3, 5, 26, 22);
  p.setBrush(QColor(40, 90, 170));
  p.drawRect(3, 5, 26, 5);
  return pixmap;
}

QPixmap MacintoshSupportImage(bool supported) {
  return Face(supported);
}

}  // namespace vorn::gui
