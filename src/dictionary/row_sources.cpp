#include "dictionary/row_sources.h"

namespace skelvane {

namespace {

// Every byte of code 32 or lower counts as blank, at both ends.
std::string TrimmedBytes(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return text.substr(begin, end - begin);
}

}  // namespace

std::string TDataSetRows::Value(const std::string& column) const {
  std::string text = dataSet_.FieldForColumn(column).AsString();
  return trim_ ? TrimmedBytes(text) : text;
}

}  // namespace skelvane
