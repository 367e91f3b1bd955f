// Decoding a JPEG picture with libjpeg's decompression interface.
#ifndef SKELVANE_GUI_JPEG_IMAGE_H
#define SKELVANE_GUI_JPEG_IMAGE_H

#include <QByteArray>
#include <QImage>
#include <QString>

namespace skelvane::gui {

// The picture as RGB; a null image when the data is not a whole, sound JPEG
// (an error, or any warning such as a cut file, which libjpeg would
// otherwise pad with grey). `error` receives libjpeg's message.
QImage DecodeJpeg(const QByteArray& data, QString* error = nullptr);

// The picture as a baseline JPEG of the given quality (1 to 100), through
// libjpeg's compression interface; empty for a null image.
QByteArray EncodeJpeg(const QImage& image, int quality);

}  // namespace skelvane::gui

#endif
