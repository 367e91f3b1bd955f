// Test doubles for the document layout: a row of named values and a sink
// that keeps the written bytes.
#ifndef SKELVANE_TESTS_EXPORT_MAP_ROW_H
#define SKELVANE_TESTS_EXPORT_MAP_ROW_H

#include <map>
#include <stdexcept>
#include <string>

#include "dictionary/row_source.h"
#include "export/line_sink.h"

namespace skelvane::testing {

// One row; a column that was not given is an error, as with a real query,
// so a layout reading a wrong column name fails the test.
class TMapRow : public TRowSource {
 public:
  TMapRow(std::initializer_list<std::pair<const std::string, std::string>> values)
      : values_(values) {}
  bool Eof() const override { return false; }
  void Next() override {}
  std::string Value(const std::string& column) const override {
    auto it = values_.find(column);
    if (it == values_.end()) throw std::runtime_error("Field " + column + " does not exist");
    return it->second;
  }

 private:
  std::map<std::string, std::string> values_;
};

class TStringSink : public TLineSink {
 public:
  void WriteLine(std::string_view line) override {
    bytes += line;
    bytes += "\r\n";
  }
  std::string bytes;
};

}  // namespace skelvane::testing

#endif
