#include "export/column_type_text.h"

namespace skelvane {

std::string ColumnTypeText(std::string_view dataType, std::string_view precision,
                           std::string_view scale, std::string_view length,
                           std::string_view lengthSemantics) {
  std::string result(dataType);
  if (dataType == "NUMBER") {
    if (precision.empty() || precision == "0") return result;
    result += '(';
    result += precision;
    if (!scale.empty()) {
      result += ',';
      result += scale;
    }
    result += ')';
  } else if (dataType.find("CHAR") != std::string_view::npos) {
    result += '(';
    result += length;
    if (lengthSemantics == "B") {
      result += " BYTE";
    } else if (lengthSemantics == "C") {
      result += " CHAR";
    }
    result += ')';
  }
  return result;
}

}  // namespace skelvane
