#include "jpeg_image.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace skelvane::gui {

namespace {

struct TErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool warned;
};

// libjpeg's own handler calls exit(); this one returns to the decoder.
void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Level -1 is a warning about corrupt data; the first one is kept.
void EmitMessage(j_common_ptr cinfo, int level) {
  auto* err = reinterpret_cast<TErrorManager*>(cinfo->err);
  if (level < 0) {
    if (!err->warned) (*cinfo->err->format_message)(cinfo, err->message);
    err->warned = true;
    ++cinfo->err->num_warnings;
  }
}

// Kept apart from C++ objects with destructors, which longjmp would skip.
bool Decode(const unsigned char* bytes, unsigned long size, QImage& image, TErrorManager& err) {
  jpeg_decompress_struct cinfo;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.emit_message = EmitMessage;
  err.warned = false;
  err.message[0] = '\0';
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, bytes, size);
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_components != 3 || cinfo.output_width > 16384 || cinfo.output_height > 16384) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  image = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                 QImage::Format_RGB888);
  if (image.isNull()) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = image.scanLine(static_cast<int>(cinfo.output_scanline));
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  const bool sound = err.pub.num_warnings == 0;
  jpeg_destroy_decompress(&cinfo);
  return sound;
}

bool Encode(const QImage& rgb, int quality, unsigned char** buffer, unsigned long* size,
            TErrorManager& err) {
  jpeg_compress_struct cinfo;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, buffer, size);
  cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
  cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    // libjpeg only reads the row; its type is just not const.
    JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data, QString* error) {
  QImage image;
  TErrorManager err{};
  if (data.isEmpty() ||
      !Decode(reinterpret_cast<const unsigned char*>(data.constData()),
              static_cast<unsigned long>(data.size()), image, err)) {
    if (error) *error = data.isEmpty() ? QStringLiteral("No picture data") : QString::fromLocal8Bit(err.message);
    return QImage();
  }
  if (error) error->clear();
  return image;
}

QByteArray EncodeJpeg(const QImage& image, int quality) {
  if (image.isNull()) return {};
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  TErrorManager err{};
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  QByteArray bytes;
  if (Encode(rgb, quality, &buffer, &size, err))
    bytes = QByteArray(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
  std::free(buffer);
  return bytes;
}

}  // namespace skelvane::gui
