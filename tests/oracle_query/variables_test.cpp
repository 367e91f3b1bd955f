#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "oracle/field_format.h"
#include "oracle/variables.h"

using namespace skelvane::oracle;

namespace {

std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "<no exception>";
}

std::string Int32(int32_t v) {
  std::string s(4, '\0');
  std::memcpy(s.data(), &v, 4);  // the build machines are little-endian
  return s;
}

}  // namespace

TEST(Variables, DeclarationNormalisesAndReplacesInPlace) {
  TVariables vars;
  vars.AddVariable("table_name", otString);
  vars.AddVariable(":owner", otInteger);
  ASSERT_EQ(vars.Count(), 2);
  EXPECT_EQ(vars[0].Name, ":TABLE_NAME");
  EXPECT_EQ(vars[1].Name, ":OWNER");
  EXPECT_EQ(vars[0].Buffer.size(), 4001u);
  EXPECT_EQ(vars[0].Indicators[0], -1);

  vars.AssignVariable("table_name", TVariant("T1"), true, true);
  vars.AddVariable(":TABLE_NAME", otDate);  // replaces, keeps the place, starts null
  ASSERT_EQ(vars.Count(), 2);
  EXPECT_EQ(vars[0].TypeCode, otDate);
  EXPECT_EQ(vars[0].Buffer.size(), 7u);
  EXPECT_EQ(vars[0].Indicators[0], -1);

  EXPECT_EQ(MessageOf([&] { vars.AddVariable("", otString); }),
            "You cannot declare a variable with an empty name");
  EXPECT_EQ(MessageOf([&] { vars.AddVariable("x", 2); }), "Unsupported variable type");
  EXPECT_EQ(MessageOf([&] { vars.AssignVariable("missing", TVariant(1), true, true); }),
            "Variable :MISSING not declared");
  for (int code : {1, 3, 4, 5, 8, 10, 12, 24, 97, 108, 110, 112, 113, 114, 116, 187, 188, 232})
    EXPECT_GE(TVariables::BufferSize(code), 0) << code;
}

TEST(Variables, StringValuesLoseCrAndAreCut) {
  TVariables vars;
  vars.AddVariable("s", otString);
  vars.AssignVariable("s", TVariant("a\r\nb"), true, true);
  EXPECT_STREQ(reinterpret_cast<const char*>(vars[0].Buffer.data()), "a\nb");
  EXPECT_EQ(vars[0].Indicators[0], 0);
  vars.AssignVariable("s", TVariant("a\r\nb"), false, true);
  EXPECT_STREQ(reinterpret_cast<const char*>(vars[0].Buffer.data()), "a\r\nb");

  vars.AssignVariable("s", TVariant(std::string(5000, 'x')), true, true);
  EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(vars[0].Buffer.data())), 4000u);

  vars.AssignVariable("s", TVariant(""), true, true);  // empty text is a value here
  EXPECT_EQ(vars[0].Indicators[0], 0);
  vars.AssignVariable("s", TVariant::Null(), true, true);
  EXPECT_EQ(vars[0].Indicators[0], -1);
  vars.AssignVariable("s", TVariant(22.0), true, true);
  EXPECT_EQ(vars[0].ValueText(), "22");
}

TEST(Variables, NumericAndDateConversions) {
  TVariables vars;
  vars.AddVariable("i", otInteger);
  vars.AddVariable("f", otFloat);
  vars.AddVariable("d", otDate);

  vars.AssignVariable("i", TVariant(" 42 "), true, true);
  EXPECT_EQ(vars[0].ValueText(), "42");
  vars.AssignVariable("i", TVariant(2.5), true, true);  // half to even
  EXPECT_EQ(vars[0].ValueText(), "2");
  EXPECT_EQ(MessageOf([&] { vars.AssignVariable("i", TVariant("abc"), true, true); }),
            "Variant conversion error for variable :I");
  EXPECT_EQ(MessageOf([&] { vars.AssignVariable("i", TVariant(int64_t{1} << 40), true, true); }),
            "Variant conversion error for variable :I");

  vars.AssignVariable("f", TVariant("1.5"), true, true);
  EXPECT_EQ(vars[1].ValueText(), "1.5");
  EXPECT_EQ(MessageOf([&] { vars.AssignVariable("f", TVariant("1,5"), true, true); }),
            "Variant conversion error for variable :F");

  vars.AssignVariable("d", TVariant("05.03.2024 07:08:09"), true, true);
  EXPECT_EQ(vars[2].Indicators[0], 0);
  EXPECT_EQ(DecodeOracleDate(vars[2].Buffer.data()), (TDateParts{2024, 3, 5, 7, 8, 9}));
  vars.AssignVariable("d", TVariant(TDateTime{0}), true, true);
  EXPECT_EQ(vars[2].Indicators[0], -1);  // the zero date binds as null
  vars.AssignVariable("d", TVariant(TDateTime{0}), true, false);
  EXPECT_EQ(vars[2].Indicators[0], 0);
  EXPECT_EQ(MessageOf([&] { vars.AssignVariable("d", TVariant("yesterday"), true, true); }),
            "Variant conversion error for variable :D");
}

TEST(Variables, ArrayAssignmentMakesElements) {
  TVariables vars;
  vars.AddVariable("n", otInteger);
  vars.AssignVariable("n", TVariant(std::vector<TVariant>{1, TVariant::Null(), 3}), true, true);
  EXPECT_EQ(vars[0].ElementCount, 3);
  ASSERT_EQ(vars[0].Indicators.size(), 3u);
  EXPECT_EQ(vars[0].Indicators[1], -1);
  int32_t third;
  std::memcpy(&third, vars[0].Buffer.data() + 8, 4);
  EXPECT_EQ(third, 3);
  vars.AssignVariable("n", TVariant(7), true, true);  // back to a plain value
  EXPECT_EQ(vars[0].ElementCount, 1);
  EXPECT_EQ(vars[0].ValueText(), "7");
}

TEST(VariablesData, DictionaryDeclarationBytes) {
  TVariables vars;
  vars.AddVariable(":TABLE_NAME", otString);
  const std::string expected = Int32(3) + Int32(1) + Int32(11) + ":TABLE_NAME" + Int32(5) + Int32(0) + Int32(0);
  EXPECT_EQ(vars.Data(), expected);
}

TEST(VariablesData, RoundTripAndOlderVersions) {
  TVariables vars;
  vars.AddVariable("name", otString);
  vars.AddVariable("n", otInteger);
  vars.AddVariable("empty", otString);
  vars.AssignVariable("name", TVariant("EMP"), true, true);
  vars.AssignVariable("n", TVariant(-12), true, true);
  vars[2].PLSQLTableCount = 10;
  vars[2].PLSQLTableSize = 50;

  TVariables back;
  back.SetData(vars.Data());
  ASSERT_EQ(back.Count(), 3);
  EXPECT_EQ(back[0].Name, ":NAME");
  EXPECT_EQ(back[0].ValueText(), "EMP");
  EXPECT_EQ(back[1].TypeCode, otInteger);
  EXPECT_EQ(back[1].ValueText(), "-12");
  EXPECT_EQ(back[2].Indicators[0], -1);
  EXPECT_EQ(back[2].PLSQLTableCount, 10);
  EXPECT_EQ(back[2].PLSQLTableSize, 50);

  TVariables v1;
  v1.SetData(Int32(1) + Int32(1) + Int32(2) + ":X" + Int32(3));
  ASSERT_EQ(v1.Count(), 1);
  EXPECT_EQ(v1[0].TypeCode, otInteger);

  TVariables v2;
  v2.SetData(Int32(2) + Int32(1) + Int32(1) + "y" + Int32(5) + Int32(3) + "abc");
  EXPECT_EQ(v2[0].Name, ":Y");
  EXPECT_EQ(v2[0].ValueText(), "abc");
}

TEST(VariablesData, RejectsNewerAndDamagedData) {
  TVariables vars;
  vars.AddVariable("keep", otString);
  EXPECT_EQ(MessageOf([&] { vars.SetData(Int32(4) + Int32(0)); }), "Invalid version of Query variables");
  std::string good = Int32(3) + Int32(1) + Int32(2) + ":X" + Int32(5) + Int32(0) + Int32(0);
  EXPECT_THROW(vars.SetData(good.substr(0, good.size() - 2)), std::runtime_error);
  EXPECT_THROW(vars.SetData(Int32(3) + Int32(1) + Int32(-5)), std::runtime_error);
  // A failed read leaves the declarations as they were.
  ASSERT_EQ(vars.Count(), 1);
  EXPECT_EQ(vars[0].Name, ":KEEP");
}
