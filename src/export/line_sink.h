// Where the document layout sends its lines.
#ifndef SKELVANE_EXPORT_LINE_SINK_H
#define SKELVANE_EXPORT_LINE_SINK_H

#include <string_view>

namespace skelvane {

class TLineSink {
 public:
  virtual ~TLineSink() = default;
  // Writes `line` followed by CR LF. `line` goes out byte for byte and may
  // itself hold line breaks (the long texts are written as one piece).
  virtual void WriteLine(std::string_view line) = 0;
};

}  // namespace skelvane

#endif
