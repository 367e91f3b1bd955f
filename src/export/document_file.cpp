#include "export/document_file.h"

#include <cerrno>

namespace skelvane {
namespace {

constexpr size_t kBufferSize = 1 << 16;

std::string InOutMessage(int code) {
  switch (code) {
    case EACCES:
    case EPERM:
    case EROFS:
      return "File access denied";
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return "Disk full";
    default:
      return "I/O error " + std::to_string(code);
  }
}

// errno of a failed stream call, or EIO when the library left none.
int LastError() { return errno != 0 ? errno : EIO; }

}  // namespace

EInOutError::EInOutError(int errorCode)
    : std::runtime_error(InOutMessage(errorCode)), errorCode_(errorCode) {}

TDocumentFile::TDocumentFile(const std::string& fileName) {
  errno = 0;
  file_.reset(std::fopen(fileName.c_str(), "wb"));
  if (!file_) throw EInOutError(LastError());
  std::setvbuf(file_.get(), nullptr, _IOFBF, kBufferSize);
}

TDocumentFile::~TDocumentFile() = default;

void TDocumentFile::WriteLine(std::string_view line) {
  if (!file_) throw EInOutError(EBADF);
  errno = 0;
  if (std::fwrite(line.data(), 1, line.size(), file_.get()) != line.size() ||
      std::fwrite("\r\n", 1, 2, file_.get()) != 2) {
    throw EInOutError(LastError());
  }
}

void TDocumentFile::Close() {
  if (!file_) return;
  std::FILE* f = file_.release();
  errno = 0;
  const bool flushed = std::fflush(f) == 0;
  const int flushError = LastError();
  const bool closed = std::fclose(f) == 0;
  if (!flushed) throw EInOutError(flushError);
  if (!closed) throw EInOutError(LastError());
}

}  // namespace skelvane
