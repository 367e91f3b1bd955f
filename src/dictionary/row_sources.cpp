#include "dictionary/row_sources.h"

#include "common/text.h"

namespace skelvane {

std::string TDataSetRows::Value(const std::string& column) const {
  std::string text = dataSet_.FieldForColumn(column).AsString();
  return trim_ ? Trimmed(text) : text;
}

}  // namespace skelvane
