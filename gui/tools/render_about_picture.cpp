// Draws the project's About picture with Qt's painter and writes it as a
// JPEG: render_about_picture OUTPUT.jpg
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

#include "jpeg_image.h"

namespace {

// A weather vane over a stack of schema tables: the tool turns the
// database towards the document.
QImage Draw(int size) {
  QImage image(size, size, QImage::Format_RGB888);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size / 105.0;
  p.scale(s, s);
  // Three tables, the lowest one in front.
  for (int i = 2; i >= 0; --i) {
    const QRectF table(14 + i * 6, 52 + i * 12, 56, 30);
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    p.setBrush(i == 0 ? QColor(245, 245, 245) : QColor(225, 225, 225));
    p.drawRect(table);
    p.setBrush(QColor(200, 30, 30));
    p.drawRect(QRectF(table.left(), table.top(), table.width(), 7));
    p.setPen(QPen(QColor(120, 120, 120), 0.8));
    for (int row = 1; row <= 2; ++row)
      p.drawLine(QPointF(table.left() + 4, table.top() + 7 + row * 7),
                 QPointF(table.right() - 4, table.top() + 7 + row * 7));
  }
  // The vane: a mast, a cross and an arrow.
  p.setPen(QPen(QColor(30, 30, 30), 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(80, 98), QPointF(80, 18));
  p.drawLine(QPointF(70, 40), QPointF(90, 40));
  QPainterPath arrow;
  arrow.moveTo(58, 24);
  arrow.lineTo(98, 24);
  arrow.lineTo(92, 18);
  arrow.moveTo(98, 24);
  arrow.lineTo(92, 30);
  p.drawPath(arrow);
  p.setBrush(QColor(200, 30, 30));
  p.setPen(Qt::NoPen);
  QPainterPath tail;
  tail.moveTo(58, 24);
  tail.lineTo(50, 15);
  tail.lineTo(66, 15);
  tail.lineTo(70, 24);
  tail.lineTo(66, 33);
  tail.lineTo(50, 33);
  tail.closeSubpath();
  p.drawPath(tail);
  p.setBrush(QColor(30, 30, 30));
  p.drawEllipse(QPointF(80, 24), 3, 3);
  return image;
}

}  // namespace

int main(int argc, char* argv[]) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: render_about_picture OUTPUT.jpg\n");
    return 64;
  }
  const QByteArray jpeg = skelvane::gui::EncodeJpeg(Draw(105), 90);
  QFile out(QString::fromLocal8Bit(argv[1]));
  if (jpeg.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(jpeg) != jpeg.size()) {
    std::fprintf(stderr, "render_about_picture: cannot write %s\n", argv[1]);
    return 2;
  }
  return 0;
}
