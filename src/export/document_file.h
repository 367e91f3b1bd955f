// The schema document as a file written line by line.
#ifndef SKELVANE_EXPORT_DOCUMENT_FILE_H
#define SKELVANE_EXPORT_DOCUMENT_FILE_H

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "export/line_sink.h"

namespace skelvane {

// An input/output error of the file runtime: "File access denied",
// "Disk full", otherwise "I/O error N" with the system's error code.
// Not a database error: the operation frame does not catch it.
class EInOutError : public std::runtime_error {
 public:
  explicit EInOutError(int errorCode);
  int ErrorCode() const { return errorCode_; }

 private:
  int errorCode_;
};

// Creates the file (truncating an existing one) and writes lines ending in
// CR LF, bytes as given. Buffered: what was written before a failure reaches
// the disk when the object is destroyed, so a partial document keeps every
// line written up to the failing step.
class TDocumentFile : public TLineSink {
 public:
  // Throws EInOutError when the file cannot be created.
  explicit TDocumentFile(const std::string& fileName);
  ~TDocumentFile() override;
  TDocumentFile(const TDocumentFile&) = delete;
  TDocumentFile& operator=(const TDocumentFile&) = delete;

  // Throws EInOutError when the write fails.
  void WriteLine(std::string_view line) override;
  // Flushes and closes; throws EInOutError when the buffered rest cannot be
  // written. Further writes are errors.
  void Close();

 private:
  struct TCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, TCloser> file_;
};

}  // namespace skelvane

#endif
