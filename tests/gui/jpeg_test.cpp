// The About picture's decoder: sound pictures decode to their colours,
// broken ones to a null image instead of a crash or a grey guess.
#include <QtTest>

#include "about_dialog.h"
#include "jpeg_image.h"

using skelvane::gui::AboutPicture;
using skelvane::gui::DecodeJpeg;
using skelvane::gui::EncodeJpeg;

namespace {

QImage Halves(int width, int height, QColor left, QColor right) {
  QImage image(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixelColor(x, y, x < width / 2 ? left : right);
  return image;
}

bool Near(QColor a, QColor b, int tolerance = 12) {
  return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
         qAbs(a.blue() - b.blue()) <= tolerance;
}

}  // namespace

class GuiJpeg : public QObject {
  Q_OBJECT
 private slots:
  void decodesColoursAndSize() {
    const QImage image = DecodeJpeg(EncodeJpeg(Halves(64, 32, Qt::red, Qt::blue), 95));
    QCOMPARE(image.size(), QSize(64, 32));
    QVERIFY(Near(image.pixelColor(8, 16), Qt::red));
    QVERIFY(Near(image.pixelColor(56, 16), Qt::blue));
  }

  void greyPicturesComeOutAsEqualRgb() {
    QImage grey(17, 9, QImage::Format_Grayscale8);
    grey.fill(QColor(100, 100, 100));
    const QImage image = DecodeJpeg(EncodeJpeg(grey, 90));
    QCOMPARE(image.size(), QSize(17, 9));
    const QColor c = image.pixelColor(8, 4);
    QCOMPARE(c.red(), c.green());
    QCOMPARE(c.green(), c.blue());
  }

  void brokenPicturesGiveANullImageAndAMessage_data() {
    QTest::addColumn<QByteArray>("data");
    const QByteArray sound = EncodeJpeg(Halves(64, 64, Qt::green, Qt::yellow), 90);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbage") << QByteArray("this is not a picture at all", 28);
    QTest::newRow("cut 40 bytes short") << sound.left(sound.size() - 40);
    QTest::newRow("header only") << sound.left(200);
    QByteArray flipped = sound;
    for (qsizetype i = sound.size() / 2; i < sound.size() / 2 + 64; ++i) flipped[i] = char(0xFF);
    QTest::newRow("scan data overwritten") << flipped;
  }
  void brokenPicturesGiveANullImageAndAMessage() {
    QFETCH(QByteArray, data);
    QString error;
    QVERIFY(DecodeJpeg(data, &error).isNull());
    QVERIFY2(!error.isEmpty(), "no message");
  }

  void theProjectsPictureIsBuiltInAndDecodes() {
    const QImage image = DecodeJpeg(AboutPicture());
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), QSize(105, 105));
  }
};

QTEST_MAIN(GuiJpeg)
#include "jpeg_test.moc"
