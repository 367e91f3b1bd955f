#include "dictionary/column_type_text.h"

#include "common/text.h"
#include "dictionary/row_source.h"

namespace skelvane {

namespace {

std::string WithLength(std::string_view dataType, std::string_view length,
                       std::string_view suffix) {
  std::string result(dataType);
  result += '(';
  result += length;
  result += suffix;
  result += ')';
  return result;
}

std::string NumberText(const TColumnTypeFields& c) {
  std::string result(c.dataType);
  if (c.precision.empty() || c.precision == "0") return result;
  result += '(';
  result += c.precision;
  if (!c.scale.empty()) {
    result += ',';
    result += c.scale;
  }
  result += ')';
  return result;
}

std::string_view SemanticsSuffix(std::string_view charUsed) {
  if (charUsed == "B") return " BYTE";
  if (charUsed == "C") return " CHAR";
  return {};
}

bool IsCharacterType(std::string_view dataType) {
  return dataType.find("CHAR") != std::string_view::npos;
}

}  // namespace

std::string ColumnTypeText(const TColumnTypeFields& c) {
  if (c.dataType == "NUMBER") return NumberText(c);
  if (c.dataType == "NCHAR" || c.dataType == "NVARCHAR2") return WithLength(c.dataType, c.charLength, {});
  if (IsCharacterType(c.dataType)) {
    if (c.charUsed == "C") return WithLength(c.dataType, c.charLength, " CHAR");
    return WithLength(c.dataType, c.length, SemanticsSuffix(c.charUsed));
  }
  if (c.dataType == "RAW") return WithLength(c.dataType, c.length, {});
  return std::string(c.dataType);
}

std::string LegacyColumnTypeText(const TColumnTypeFields& c) {
  if (c.dataType == "NUMBER") return NumberText(c);
  if (IsCharacterType(c.dataType)) return WithLength(c.dataType, c.length, SemanticsSuffix(c.charUsed));
  return std::string(c.dataType);
}

namespace {

struct TRowTypeValues {
  explicit TRowTypeValues(const TRowSource& row)
      : dataType(row.Value("data_type")),
        precision(Trimmed(row.Value("data_precision"))),
        scale(Trimmed(row.Value("data_scale"))),
        length(Trimmed(row.Value("data_length"))),
        charLength(Trimmed(row.Value("char_length"))),
        charUsed(Trimmed(row.Value("char_used"))) {}
  TColumnTypeFields Fields() const {
    return {dataType, precision, scale, length, charLength, charUsed};
  }
  std::string dataType, precision, scale, length, charLength, charUsed;
};

}  // namespace

std::string ColumnTypeTextOfRow(const TRowSource& row) {
  return ColumnTypeText(TRowTypeValues(row).Fields());
}

std::string LegacyColumnTypeTextOfRow(const TRowSource& row) {
  return LegacyColumnTypeText(TRowTypeValues(row).Fields());
}

}  // namespace skelvane
