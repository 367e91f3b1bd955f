#include "dictionary/column_type_text.h"

#include <gtest/gtest.h>

#include <map>

#include "dictionary/row_source.h"

namespace skelvane {
namespace {

struct TTypeCase {
  TColumnTypeFields in;
  const char* current;
  const char* legacy;
};

// type, precision, scale, data_length, char_length, char_used
const TTypeCase kCases[] = {
    {{"NUMBER", "10", "0", "22", "0", ""}, "NUMBER(10,0)", "NUMBER(10,0)"},
    {{"NUMBER", "12", "2", "22", "0", "B"}, "NUMBER(12,2)", "NUMBER(12,2)"},
    {{"NUMBER", "10", "", "22", "", ""}, "NUMBER(10)", "NUMBER(10)"},
    {{"NUMBER", "", "", "22", "", ""}, "NUMBER", "NUMBER"},
    {{"NUMBER", "", "3", "22", "", ""}, "NUMBER", "NUMBER"},
    {{"NUMBER", "0", "0", "22", "", ""}, "NUMBER", "NUMBER"},
    {{"NUMBER", "00", "", "22", "", ""}, "NUMBER(00)", "NUMBER(00)"},  // only exactly "0" counts
    {{"NUMBER", "38", "-2", "22", "", ""}, "NUMBER(38,-2)", "NUMBER(38,-2)"},
    // Byte semantics: the byte length, as before.
    {{"VARCHAR2", "", "", "100", "100", "B"}, "VARCHAR2(100 BYTE)", "VARCHAR2(100 BYTE)"},
    {{"CHAR", "", "", "1", "1", "B"}, "CHAR(1 BYTE)", "CHAR(1 BYTE)"},
    {{"VARCHAR2", "", "", "100", "", ""}, "VARCHAR2(100)", "VARCHAR2(100)"},
    {{"VARCHAR2", "", "", "100", "100", "b"}, "VARCHAR2(100)", "VARCHAR2(100)"},
    // Character semantics on a multibyte database: the declared characters.
    {{"VARCHAR2", "", "", "80", "20", "C"}, "VARCHAR2(20 CHAR)", "VARCHAR2(80 CHAR)"},
    {{"CHAR", "", "", "4", "1", "C"}, "CHAR(1 CHAR)", "CHAR(4 CHAR)"},
    {{"VARCHAR2", "", "", "100", "100", "C"}, "VARCHAR2(100 CHAR)", "VARCHAR2(100 CHAR)"},
    // National types count characters and take no suffix.
    {{"NVARCHAR2", "", "", "80", "40", "C"}, "NVARCHAR2(40)", "NVARCHAR2(80 CHAR)"},
    {{"NCHAR", "5", "1", "20", "10", "C"}, "NCHAR(10)", "NCHAR(20 CHAR)"},
    // RAW keeps its length now.
    {{"RAW", "", "", "16", "0", ""}, "RAW(16)", "RAW"},
    // Missing lengths are rendered without special cases.
    {{"VARCHAR2", "", "", "", "", "B"}, "VARCHAR2( BYTE)", "VARCHAR2( BYTE)"},
    {{"VARCHAR2", "", "", "", "", ""}, "VARCHAR2()", "VARCHAR2()"},
    // Other types and other spellings stay as they are; the type is not trimmed.
    {{"DATE", "10", "2", "7", "0", "B"}, "DATE", "DATE"},
    {{"TIMESTAMP(6)", "", "6", "11", "0", ""}, "TIMESTAMP(6)", "TIMESTAMP(6)"},
    {{"number", "10", "2", "22", "", ""}, "number", "number"},
    {{"varchar2", "", "", "100", "100", "B"}, "varchar2", "varchar2"},
    {{"raw", "", "", "16", "", ""}, "raw", "raw"},
    {{"NUMBER ", "10", "2", "22", "", ""}, "NUMBER ", "NUMBER "},
};

TEST(ColumnTypeText, RendersEveryTypeRuleInBothForms) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.in.dataType) + " " + std::string(c.in.charUsed));
    EXPECT_EQ(ColumnTypeText(c.in), c.current);
    EXPECT_EQ(LegacyColumnTypeText(c.in), c.legacy);
  }
}

class TMapRow : public TRowSource {
 public:
  explicit TMapRow(std::map<std::string, std::string> values) : values_(std::move(values)) {}
  bool Eof() const override { return false; }
  void Next() override {}
  std::string Value(const std::string& column) const override {
    auto it = values_.find(column);
    return it == values_.end() ? std::string() : it->second;
  }

 private:
  std::map<std::string, std::string> values_;
};

TEST(ColumnTypeText, RowFormTrimsEveryValueButTheType) {
  TMapRow row({{"data_type", "VARCHAR2"}, {"data_length", " 80 "}, {"char_length", "20\t"},
               {"char_used", " C"}, {"data_precision", ""}, {"data_scale", ""}});
  EXPECT_EQ(ColumnTypeTextOfRow(row), "VARCHAR2(20 CHAR)");
  EXPECT_EQ(LegacyColumnTypeTextOfRow(row), "VARCHAR2(80 CHAR)");
}

}  // namespace
}  // namespace skelvane
