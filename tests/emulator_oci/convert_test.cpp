// The pure conversions of the client: decimal texts, integers and floats,
// dates, character buffers, placeholders and trace quoting.
#include <gtest/gtest.h>

#include <cstring>

#include "oci/placeholders.h"
#include "oci/round_trips.h"
#include "oci/value_convert.h"

namespace {

using namespace oraemu::oci;
using oraemu::Value;

std::string Text(const char* text) {
  auto number = ParseDecimal(text);
  return number ? DecimalText(*number) : "<invalid>";
}

template <class T>
T As(const Value& value, ub2 dty) {
  ExternalValue external = ToExternal(value, dty, sizeof(T));
  T out{};
  EXPECT_EQ(external.bytes.size(), sizeof(T));
  std::memcpy(&out, external.bytes.data(), sizeof(T));
  return out;
}

int ErrorOf(const Value& value, ub2 dty, size_t size) {
  try {
    ToExternal(value, dty, size);
  } catch (const oraemu::EOraError& error) {
    return error.code();
  }
  return 0;
}

TEST(Decimal, ParsesAndPrintsAsOracleDoes) {
  EXPECT_EQ(Text("22"), "22");
  EXPECT_EQ(Text("-1.50"), "-1.5");
  EXPECT_EQ(Text("0.05"), ".05");
  EXPECT_EQ(Text("  007 "), "7");
  EXPECT_EQ(Text("1E27"), "1000000000000000000000000000");
  EXPECT_EQ(Text("-0"), "0");
  EXPECT_EQ(Text("1.5e-3"), ".0015");
  EXPECT_EQ(Text("12a"), "<invalid>");
  EXPECT_EQ(Text("."), "<invalid>");
  EXPECT_EQ(Text("1e"), "<invalid>");
  EXPECT_EQ(DoubleToNumberText(0.1), ".1");
  EXPECT_EQ(DoubleToNumberText(1e27), "1000000000000000000000000000");
  EXPECT_EQ(DoubleToNumberText(-22), "-22");
}

TEST(Decimal, IntegersTruncateAndRefuseOverflow) {
  EXPECT_EQ(As<int32_t>(Value::Number("22"), SQLT_INT), 22);
  EXPECT_EQ(As<int32_t>(Value::Number("-7.9"), SQLT_INT), -7);
  EXPECT_EQ(As<int16_t>(Value::Number("-32768"), SQLT_INT), -32768);
  EXPECT_EQ(As<int64_t>(Value::Number("-9223372036854775808"), SQLT_INT), INT64_MIN);
  EXPECT_EQ(As<uint32_t>(Value::Number("4294967295"), SQLT_UIN), 4294967295u);
  EXPECT_EQ(ErrorOf(Value::Number("32768"), SQLT_INT, 2), 1455);
  EXPECT_EQ(ErrorOf(Value::Number("9223372036854775808"), SQLT_INT, 8), 1455);
  EXPECT_EQ(ErrorOf(Value::Number("1000000000000000000000000000"), SQLT_INT, 8), 1455);
  EXPECT_EQ(ErrorOf(Value::Number("-1"), SQLT_UIN, 4), 1455);
  EXPECT_EQ(ErrorOf(Value::Text("abc"), SQLT_INT, 4), 1722);
  EXPECT_EQ(As<int32_t>(Value::Text(" 12 "), SQLT_INT), 12);
  EXPECT_EQ(ErrorOf(Value::Date("2026-12-08 00:00:00"), SQLT_INT, 4), 932);
}

TEST(Decimal, FloatsAreTheNearestBinaryValue) {
  EXPECT_EQ(As<double>(Value::Number("1000000000000000000000000000"), SQLT_FLT), 1e27);
  EXPECT_EQ(As<double>(Value::Number("9999999999999999999999999999"), SQLT_FLT), 1e28);
  EXPECT_EQ(As<double>(Value::Number(".1"), SQLT_FLT), 0.1);
  EXPECT_EQ(As<float>(Value::Number("-1.5"), SQLT_FLT), -1.5f);
  EXPECT_EQ(As<double>(Value::Number("0"), SQLT_BDOUBLE), 0.0);
}

TEST(Decimal, OracleNumberBytes) {
  auto bytes = [](const char* text, ub2 dty) { return ToExternal(Value::Number(text), dty, 22).bytes; };
  EXPECT_EQ(bytes("1", SQLT_NUM), std::string("\xC1\x02"));
  EXPECT_EQ(bytes("-1", SQLT_NUM), std::string("\x3E\x64\x66"));
  EXPECT_EQ(bytes("0", SQLT_VNU), std::string("\x01\x80"));
  EXPECT_EQ(bytes("123.45", SQLT_NUM), std::string("\xC2\x02\x18\x2E"));
}

TEST(Dates, SevenByteFormAndTexts) {
  unsigned char bytes[7];
  auto date = ParseDateText("2026-12-08 14:30:05");
  ASSERT_TRUE(date);
  EncodeOracleDate(*date, bytes);
  const unsigned char expected[7] = {120, 126, 12, 8, 15, 31, 6};
  EXPECT_EQ(std::memcmp(bytes, expected, 7), 0);
  auto back = DecodeOracleDate(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(ServerDateText(*back), "2026-12-08 14:30:05");
  EXPECT_EQ(DefaultDateText(*back), "08-DEC-26");
  EXPECT_EQ(ValueText(Value::Date("1999-01-31 00:00:00")), "31-JAN-99");
  EXPECT_FALSE(ParseDateText("2026-02-30"));
  EXPECT_FALSE(ParseDateText("2026-12-08 24:00:00"));
  EXPECT_EQ(ServerDateText(*ParseDateText("08-dec-26")), "2026-12-08 00:00:00");
  EXPECT_EQ(ServerDateText(*ParseDateText("01-JAN-1970")), "1970-01-01 00:00:00");
  const unsigned char invalid[7] = {120, 126, 13, 1, 1, 1, 1};
  EXPECT_FALSE(DecodeOracleDate(invalid));
  EXPECT_EQ(ErrorOf(Value::Number("5"), SQLT_DAT, 7), 932);
  EXPECT_EQ(ErrorOf(Value::Text("tomorrow"), SQLT_DAT, 7), 1861);
}

TEST(Characters, BuffersTerminatePadAndTruncate) {
  ExternalValue str = ToExternal(Value::Text("ABCDEFG"), SQLT_STR, 5);
  EXPECT_EQ(str.bytes, std::string("ABCD\0", 5));
  EXPECT_TRUE(str.truncated);
  EXPECT_EQ(str.fullLength, 7u);
  EXPECT_EQ(str.returnLength, 4u);
  ExternalValue fits = ToExternal(Value::Text("ABCD"), SQLT_STR, 5);
  EXPECT_FALSE(fits.truncated);
  ExternalValue chr = ToExternal(Value::Text("ABCD"), SQLT_CHR, 4);
  EXPECT_EQ(chr.bytes, "ABCD");
  EXPECT_FALSE(chr.truncated);
  EXPECT_EQ(ToExternal(Value::Text("AB"), SQLT_AFC, 4).bytes, "AB  ");
  EXPECT_EQ(ToExternal(Value::Text("AB"), SQLT_VCS, 6).bytes, std::string("\x02\x00" "AB", 4));
  EXPECT_EQ(ToExternal(Value::Number("-1.5"), SQLT_STR, 10).bytes, std::string("-1.5\0", 5));
}

TEST(Binds, CallerBuffersBecomeServerValues) {
  char text[8] = "abc";
  EXPECT_EQ(FromExternal(text, sizeof text, sizeof text, SQLT_STR).text, "abc");
  EXPECT_EQ(FromExternal("abcdef", 6, 2, SQLT_CHR).text, "ab");
  EXPECT_TRUE(FromExternal("", 1, 1, SQLT_STR).IsNull());  // the empty text is NULL
  int64_t big = -9000000000;
  Value number = FromExternal(&big, sizeof big, sizeof big, SQLT_INT);
  EXPECT_EQ(number.kind, Value::Kind::Number);
  EXPECT_EQ(number.text, "-9000000000");
  double half = 0.5;
  EXPECT_EQ(FromExternal(&half, sizeof half, sizeof half, SQLT_FLT).text, ".5");
  const unsigned char date[7] = {119, 199, 12, 31, 24, 60, 60};
  Value when = FromExternal(date, 7, 7, SQLT_DAT);
  EXPECT_EQ(when.kind, Value::Kind::Date);
  EXPECT_EQ(when.text, "1999-12-31 23:59:59");
}

TEST(Placeholders, FoundOutsideLiteralsAndComments) {
  EXPECT_EQ(Placeholders("select :A from t where x = ':B' and y = :c_1 -- :D\n and \"q:E\" = :F /* :G */"),
            (std::vector<std::string>{"A", "c_1", "F"}));
  EXPECT_EQ(Placeholders("begin x := :1; end;"), (std::vector<std::string>{"1"}));
  EXPECT_EQ(Placeholders("select 'it''s :X' from dual where :Y = 1"), (std::vector<std::string>{"Y"}));
  EXPECT_EQ(NormalBindName(":table_Name"), "TABLE_NAME");
}

TEST(Trace, ValuesStayOnOneLine) {
  EXPECT_EQ(TraceEscape("a\\b\r\nc"), "a\\\\b\\r\\nc");
  EXPECT_EQ(TraceValue(Value::Text("it's")), "'it''s'");
  EXPECT_EQ(TraceValue(Value::Null()), "NULL");
  EXPECT_EQ(TraceValue(Value::Number("-1.5")), "-1.5");
}

}  // namespace
