#include <gtest/gtest.h>

#include <cstring>

#include "oracle/query_columns.h"
#include "oracle/query_text.h"

using namespace skelvane::oracle;

namespace {

TColumnChoice Number(int p, int s, bool stringsOnly = false, TSessionPreferences prefs = {}) {
  // As the describe step hands it on: -127 at precision 0 already counts as 0.
  if (s == -127 && p == 0) s = 0;
  return ChooseExternalType(2, 22, p, s, stringsOnly, prefs);
}

}  // namespace

TEST(NumberRule, IntegersUpToNineDigitsOthersFloat) {
  EXPECT_EQ(Number(9, 0).Type, TExternalType::Integer);
  EXPECT_EQ(Number(9, 0).ElementSize, 4);
  EXPECT_EQ(Number(5, -2).Type, TExternalType::Integer);
  EXPECT_EQ(Number(10, 0).Type, TExternalType::Float);
  EXPECT_EQ(Number(0, -127).Type, TExternalType::Float);  // NUMBER without precision
  EXPECT_EQ(Number(5, 2).Type, TExternalType::Float);
  EXPECT_EQ(Number(126, -127).Type, TExternalType::Float);  // FLOAT(126)

  TSessionPreferences wide;
  wide.IntegerPrecision = 12;
  EXPECT_EQ(Number(10, 0, false, wide).Type, TExternalType::Integer);
  EXPECT_EQ(Number(13, 0, false, wide).Type, TExternalType::Float);
}

TEST(NumberRule, TextSizesWhenFetchedAsStrings) {
  EXPECT_EQ(Number(9, 0, true).Type, TExternalType::Text);
  EXPECT_EQ(Number(9, 0, true).ElementSize, 11);
  EXPECT_EQ(Number(5, 2, true).ElementSize, 8);
  EXPECT_EQ(Number(0, -127, true).ElementSize, 40);
  EXPECT_EQ(Number(126, -127, true).ElementSize, 38 + 3 + 132);

  TSessionPreferences narrow;
  narrow.FloatPrecision = 10;
  EXPECT_EQ(Number(15, 2, false, narrow).Type, TExternalType::Text);
  EXPECT_EQ(Number(15, 2, false, narrow).ElementSize, 18);
  EXPECT_EQ(Number(8, 2, false, narrow).Type, TExternalType::Float);
}

TEST(ExternalTypes, OtherOracleTypes) {
  TSessionPreferences p;
  EXPECT_EQ(ChooseExternalType(1, 128, 0, 0, false, p).ElementSize, 129);
  EXPECT_EQ(ChooseExternalType(96, 1, 0, 0, false, p).ElementSize, 2);
  EXPECT_EQ(ChooseExternalType(8, 0, 0, 0, false, p).Type, TExternalType::Long);
  EXPECT_EQ(ChooseExternalType(24, 0, 0, 0, false, p).Type, TExternalType::LongRaw);
  EXPECT_EQ(ChooseExternalType(12, 7, 0, 0, false, p).Type, TExternalType::Date);
  EXPECT_EQ(ChooseExternalType(12, 7, 0, 0, true, p).Type, TExternalType::Text);
  EXPECT_EQ(ChooseExternalType(23, 16, 0, 0, false, p).ElementSize, 33);
  EXPECT_EQ(ChooseExternalType(104, 10, 0, 0, false, p).ElementSize, 19);
  EXPECT_EQ(ChooseExternalType(112, 4000, 0, 0, false, p).Type, TExternalType::None);
}

TEST(StatementText, JoinSubstituteAndDropCr) {
  TVariables vars;
  vars.AddVariable("tab", otSubst);
  vars.AddVariable("name", otString);
  vars.AssignVariable("tab", TVariant("USER_TABLES"), true, true);
  EXPECT_EQ(BuildStatementText({"select * from :tab", "where table_name = :name and x = :tabs"}, vars),
            "select * from USER_TABLES\nwhere table_name = :name and x = :tabs\n");
  EXPECT_EQ(BuildStatementText({"select 1\r", "from dual"}, vars), "select 1\nfrom dual\n");
  EXPECT_EQ(BuildStatementText({}, vars), " ");
}

TEST(StatementText, ErrorPositionCountsLinesOnLf) {
  const std::string text = "create table t (\n   x numbr)\n";
  int line = 0, column = 0;
  ErrorPosition(text, 17 + 3, line, column);  // the fourth character of line 2
  EXPECT_EQ(line, 2);
  EXPECT_EQ(column, 4);
  ErrorPosition(text, 0, line, column);
  EXPECT_EQ(line, 1);
  EXPECT_EQ(column, 1);
  ErrorPosition(text, 500, line, column);  // limited to the text
  EXPECT_EQ(line, 3);
  EXPECT_EQ(column, 1);
}

TEST(StatementText, TypesAndReuse) {
  EXPECT_EQ(MapStatementType(OCI_STMT_SELECT), 4);
  EXPECT_EQ(MapStatementType(OCI_STMT_INSERT), 3);
  EXPECT_EQ(MapStatementType(OCI_STMT_DECLARE), 34);
  EXPECT_EQ(MapStatementType(OCI_STMT_CREATE), -1);
  EXPECT_TRUE(ParseIsReusable(4));
  EXPECT_TRUE(ParseIsReusable(34));
  EXPECT_FALSE(ParseIsReusable(-1));
  EXPECT_FALSE(ParseIsReusable(0));
}

TEST(LongPieces, SizesDoubleUpTo32KAndValueJoinsReturnedLengths) {
  TFieldData f;
  f.Choice = {TExternalType::Long, SQLT_LNG, 0};
  f.Indicators.assign(1, -1);
  f.ReturnCodes.assign(1, 0);
  std::string expected;
  std::vector<ub4> sizes;
  ub1 piece = OCI_FIRST_PIECE;
  for (int call = 0; call < 6; ++call) {
    void* buf = nullptr;
    ub4* alen = nullptr;
    void* ind = nullptr;
    ub2* rcode = nullptr;
    ASSERT_EQ(LongPieceCallback(&f, nullptr, 0, &buf, &alen, &piece, &ind, &rcode), OCI_CONTINUE);
    sizes.push_back(*alen);
    // The client fills the piece whole, except the last one.
    ub4 fill = call < 5 ? *alen : 10;
    std::memset(buf, 'a' + call, fill);
    *alen = fill;
    expected.append(fill, static_cast<char>('a' + call));
    piece = OCI_NEXT_PIECE;
  }
  EXPECT_EQ(sizes, (std::vector<ub4>{4096, 8192, 16384, 32768, 32768, 32768}));
  EXPECT_EQ(f.Indicators[0], 0);
  EXPECT_EQ(f.LongValue(), expected);

  // The next row's value starts afresh.
  void* buf = nullptr;
  ub4* alen = nullptr;
  void* ind = nullptr;
  ub2* rcode = nullptr;
  piece = OCI_FIRST_PIECE;
  LongPieceCallback(&f, nullptr, 0, &buf, &alen, &piece, &ind, &rcode);
  std::memcpy(buf, "xyz", 3);
  *alen = 3;
  EXPECT_EQ(f.LongValue(), "xyz");
}
