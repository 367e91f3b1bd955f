#include <gtest/gtest.h>

#include "oracle/dataset_search.h"
#include "oracle/variant_convert.h"

using namespace skelvane::oracle;
using O = TSearchRecordOption;

namespace {

TFieldSpec Spec(TFieldKind kind) {
  TFieldSpec s;
  s.Name = "F";
  s.Kind = kind;
  return s;
}

TFieldValue Text(std::string t) {
  TFieldValue v;
  v.Null = false;
  v.Text = std::move(t);
  return v;
}

TFieldValue Int(int64_t i) {
  TFieldValue v;
  v.Null = false;
  v.Integer = i;
  return v;
}

bool Matches(TFieldKind kind, const TFieldValue& value, const TVariant& key, TSearchRecordOptions o = {},
             bool trim = true) {
  TFieldSpec s = Spec(kind);
  return KeyMatches(s, value, MakeKeyTest(s, key, o, trim), o, trim);
}

}  // namespace

TEST(SearchOptions, ContradictoryPairsAreRejected) {
  EXPECT_TRUE(SearchOptionsValid({}));
  EXPECT_TRUE(SearchOptionsValid({O::srFromBeginning, O::srForward, O::srIgnoreCase}));
  EXPECT_TRUE(SearchOptionsValid({O::srFromEnd, O::srBackward}));
  EXPECT_TRUE(SearchOptionsValid({O::srFromCurrent, O::srBackward}));
  for (auto pair : std::vector<TSearchRecordOptions>{{O::srFromBeginning, O::srFromEnd},
                                                     {O::srFromBeginning, O::srFromCurrent},
                                                     {O::srFromEnd, O::srFromCurrent},
                                                     {O::srForward, O::srBackward},
                                                     {O::srForward, O::srFromEnd},
                                                     {O::srBackward, O::srFromBeginning}})
    EXPECT_FALSE(SearchOptionsValid(pair));
}

TEST(SearchKeys, ColumnListIsSplitAndTrimmed) {
  EXPECT_EQ(SplitKeyColumns("table_name; grantee "), (std::vector<std::string>{"table_name", "grantee"}));
  EXPECT_EQ(SplitKeyColumns("ROWID"), (std::vector<std::string>{"ROWID"}));
}

TEST(SearchKeys, TextComparison) {
  EXPECT_FALSE(Matches(TFieldKind::String, Text("abc"), TVariant("ABC")));
  EXPECT_TRUE(Matches(TFieldKind::String, Text("ABC  "), TVariant("ABC")));
  EXPECT_TRUE(Matches(TFieldKind::String, Text("ABC"), TVariant("ABC  ")));
  EXPECT_FALSE(Matches(TFieldKind::String, Text("ABC  "), TVariant("ABC"), {}, false));
  EXPECT_TRUE(Matches(TFieldKind::String, Text("abc"), TVariant("ABC"), {O::srIgnoreCase}));
  EXPECT_TRUE(Matches(TFieldKind::String, Text("ABCDEF"), TVariant("ABC"), {O::srPartialMatch}));
  EXPECT_FALSE(Matches(TFieldKind::String, Text("AB"), TVariant("ABC"), {O::srPartialMatch}));
  EXPECT_TRUE(Matches(TFieldKind::String, Text("SYS_C001"), TVariant("SYS_*"), {O::srWildcards}));
  EXPECT_FALSE(Matches(TFieldKind::String, Text("SYS_C001"), TVariant("SYS_?"), {O::srWildcards}));
  // Partial matching compares numbers as their text.
  EXPECT_TRUE(Matches(TFieldKind::Integer, Int(1234), TVariant("12"), {O::srPartialMatch}));
}

TEST(SearchKeys, NullTests) {
  TFieldValue null;
  EXPECT_TRUE(Matches(TFieldKind::String, null, TVariant("")));
  EXPECT_TRUE(Matches(TFieldKind::String, null, TVariant::Null()));
  EXPECT_TRUE(Matches(TFieldKind::String, null, TVariant("   ")));  // empty once trimmed
  EXPECT_TRUE(Matches(TFieldKind::Memo, Text(""), TVariant("")));   // an empty LONG text
  EXPECT_FALSE(Matches(TFieldKind::String, Text("X"), TVariant("")));
  EXPECT_TRUE(Matches(TFieldKind::Integer, null, TVariant()));
  EXPECT_FALSE(Matches(TFieldKind::Integer, Int(0), TVariant()));
  EXPECT_FALSE(Matches(TFieldKind::String, null, TVariant("X")));
}

TEST(SearchKeys, TypedComparisons) {
  EXPECT_TRUE(Matches(TFieldKind::Integer, Int(42), TVariant("42")));
  EXPECT_FALSE(Matches(TFieldKind::Integer, Int(42), TVariant(43)));
  EXPECT_THROW(Matches(TFieldKind::Integer, Int(42), TVariant("forty")), EVariantError);

  TFieldValue f;
  f.Null = false;
  f.Float = 1e27;
  EXPECT_TRUE(Matches(TFieldKind::Float, f, TVariant("1E27")));
  EXPECT_FALSE(Matches(TFieldKind::Float, f, TVariant(1e26)));

  TFieldValue d;
  d.Null = false;
  d.Float = 45000.75;  // with a time of day
  EXPECT_FALSE(Matches(TFieldKind::DateTime, d, TVariant(TDateTime{45000})));
  EXPECT_TRUE(Matches(TFieldKind::DateTime, d, TVariant(TDateTime{45000}), {O::srDateOnly}));
}
