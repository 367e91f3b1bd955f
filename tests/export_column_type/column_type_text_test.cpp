#include "export/column_type_text.h"

#include <gtest/gtest.h>

namespace skelvane {
namespace {

TEST(ColumnTypeText, NumberPrecisionAndScale) {
  EXPECT_EQ(ColumnTypeText("NUMBER", "10", "0", "22", ""), "NUMBER(10,0)");
  EXPECT_EQ(ColumnTypeText("NUMBER", "12", "2", "22", "B"), "NUMBER(12,2)");
  EXPECT_EQ(ColumnTypeText("NUMBER", "10", "", "22", ""), "NUMBER(10)");
  EXPECT_EQ(ColumnTypeText("NUMBER", "", "", "22", ""), "NUMBER");
  EXPECT_EQ(ColumnTypeText("NUMBER", "", "3", "22", ""), "NUMBER");
  EXPECT_EQ(ColumnTypeText("NUMBER", "0", "0", "22", ""), "NUMBER");
  EXPECT_EQ(ColumnTypeText("NUMBER", "00", "", "22", ""), "NUMBER(00)");  // only exactly "0" counts
  EXPECT_EQ(ColumnTypeText("NUMBER", "38", "-2", "22", ""), "NUMBER(38,-2)");
}

TEST(ColumnTypeText, CharacterTypesTakeLengthAndSemantics) {
  EXPECT_EQ(ColumnTypeText("VARCHAR2", "", "", "100", "B"), "VARCHAR2(100 BYTE)");
  EXPECT_EQ(ColumnTypeText("VARCHAR2", "", "", "100", "C"), "VARCHAR2(100 CHAR)");
  EXPECT_EQ(ColumnTypeText("VARCHAR2", "", "", "100", ""), "VARCHAR2(100)");
  EXPECT_EQ(ColumnTypeText("VARCHAR2", "", "", "100", "b"), "VARCHAR2(100)");
  EXPECT_EQ(ColumnTypeText("CHAR", "", "", "1", "B"), "CHAR(1 BYTE)");
  EXPECT_EQ(ColumnTypeText("NVARCHAR2", "", "", "40", "C"), "NVARCHAR2(40 CHAR)");
  EXPECT_EQ(ColumnTypeText("NCHAR", "5", "1", "10", ""), "NCHAR(10)");  // length, never precision
  EXPECT_EQ(ColumnTypeText("VARCHAR2", "", "", "", "B"), "VARCHAR2( BYTE)");
  EXPECT_EQ(ColumnTypeText("VARCHAR2", "", "", "", ""), "VARCHAR2()");
}

TEST(ColumnTypeText, OtherTypesAndOtherSpellingsUnchanged) {
  for (const char* type : {"DATE", "FLOAT", "RAW", "LONG", "CLOB", "TIMESTAMP(6)", "number",
                           "varchar2", "Char", ""}) {
    EXPECT_EQ(ColumnTypeText(type, "10", "2", "100", "B"), type);
  }
  EXPECT_EQ(ColumnTypeText("NUMBER ", "10", "2", "22", ""), "NUMBER ");  // data type is not trimmed
}

}  // namespace
}  // namespace skelvane
