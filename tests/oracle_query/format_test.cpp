#include <gtest/gtest.h>

#include <cmath>

#include "oracle/field_format.h"

using namespace skelvane::oracle;

TEST(FormatFloat, GeneralFormatWithFifteenDigits) {
  EXPECT_EQ(FormatFloat(22), "22");
  EXPECT_EQ(FormatFloat(1e27), "1E27");
  EXPECT_EQ(FormatFloat(1.5e27), "1.5E27");
  EXPECT_EQ(FormatFloat(9999999999999999999999999999.0), "1E28");
  EXPECT_EQ(FormatFloat(0), "0");
  EXPECT_EQ(FormatFloat(100), "100");
  EXPECT_EQ(FormatFloat(-1.25), "-1.25");
  EXPECT_EQ(FormatFloat(0.1 + 0.2), "0.3");  // 15 digits hide the binary error
  EXPECT_EQ(FormatFloat(123456789012345.0), "123456789012345");
  EXPECT_EQ(FormatFloat(1e15), "1E15");       // exponent 16 of 0.1: scientific
  EXPECT_EQ(FormatFloat(0.0001), "0.0001");   // exponent -3: still fixed
  EXPECT_EQ(FormatFloat(0.00001), "1E-5");
  EXPECT_EQ(FormatFloat(-2.5e-7), "-2.5E-7");
  EXPECT_EQ(FormatFloat(1234567.891), "1234567.891");
}

TEST(LineEnds, EveryKindBecomesCrLf) {
  EXPECT_EQ(NormaliseLineEnds("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd");
  EXPECT_EQ(NormaliseLineEnds("\n\r\n\r"), "\r\n\r\n\r\n");
  EXPECT_EQ(NormaliseLineEnds("\n\r"), "\r\n\r\n");  // LF CR is two line ends
  EXPECT_EQ(RemoveCR("a\r\nb\r"), "a\nb");
}

TEST(Dates, DayNumbersAndOracleBytes) {
  TDateParts epoch{1899, 12, 30, 0, 0, 0};
  EXPECT_EQ(ToDateTime(epoch).Value, 0);
  TDateParts y2k{2000, 1, 1, 0, 0, 0};
  EXPECT_EQ(ToDateTime(y2k).Value, 36526);
  TDateParts noon{2024, 2, 29, 12, 30, 15};
  EXPECT_EQ(FromDateTime(ToDateTime(noon)), noon);
  // Before the epoch the fraction counts forward from the start of the day.
  TDateParts before{1899, 12, 29, 6, 0, 0};
  EXPECT_DOUBLE_EQ(ToDateTime(before).Value, -1.25);
  EXPECT_EQ(FromDateTime(TDateTime{-1.25}), before);

  unsigned char bytes[7];
  ASSERT_TRUE(EncodeOracleDate(noon, bytes));
  const unsigned char expected[7] = {120, 124, 2, 29, 13, 31, 16};
  EXPECT_EQ(0, memcmp(bytes, expected, 7));
  EXPECT_EQ(DecodeOracleDate(bytes), noon);
  EXPECT_FALSE(EncodeOracleDate(TDateParts{2023, 2, 29, 0, 0, 0}, bytes));
  EXPECT_FALSE(EncodeOracleDate(TDateParts{10000, 1, 1, 0, 0, 0}, bytes));
}

TEST(Dates, TextFormAndParsing) {
  EXPECT_EQ(FormatDateTime(TDateParts{2024, 3, 5, 0, 0, 0}), "05.03.2024");
  EXPECT_EQ(FormatDateTime(TDateParts{2024, 3, 5, 7, 8, 9}), "05.03.2024 07:08:09");
  TDateParts p;
  ASSERT_TRUE(ParseDateTime(" 05.03.2024 07:08:09 ", p));
  EXPECT_EQ(p, (TDateParts{2024, 3, 5, 7, 8, 9}));
  ASSERT_TRUE(ParseDateTime("2024-03-05T07:08", p));
  EXPECT_EQ(p, (TDateParts{2024, 3, 5, 7, 8, 0}));
  ASSERT_TRUE(ParseDateTime("5.3.2024", p));
  EXPECT_EQ(p, (TDateParts{2024, 3, 5, 0, 0, 0}));
  EXPECT_FALSE(ParseDateTime("31.02.2024", p));
  EXPECT_FALSE(ParseDateTime("05.03.2024 25:00", p));
  EXPECT_FALSE(ParseDateTime("05.03.2024x", p));
  EXPECT_FALSE(ParseDateTime("", p));
}
