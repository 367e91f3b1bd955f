// The query engine's pieces on their own: LIKE matching and where the
// parser points when it refuses a statement.
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/select_like.h"
#include "engine/select_parser.h"

namespace {

using oraemu::sel::LikeMatch;

TEST(SelectLike, WildcardsEscapesAndBacktracking) {
  EXPECT_TRUE(LikeMatch("ABC", "ABC", -1));
  EXPECT_FALSE(LikeMatch("ABC", "abc", -1));
  EXPECT_TRUE(LikeMatch("ABC", "%", -1));
  EXPECT_TRUE(LikeMatch("", "%", -1));
  EXPECT_FALSE(LikeMatch("", "_", -1));
  EXPECT_TRUE(LikeMatch("ABC", "A_C", -1));
  EXPECT_FALSE(LikeMatch("ABBC", "A_C", -1));
  EXPECT_TRUE(LikeMatch("XAXBXC", "%A%B%C", -1));
  EXPECT_TRUE(LikeMatch("AAAB", "%AAB", -1));
  EXPECT_FALSE(LikeMatch("AAAB", "%AAC%", -1));
  EXPECT_TRUE(LikeMatch("50%", "50!%", '!'));
  EXPECT_FALSE(LikeMatch("500", "50!%", '!'));
  EXPECT_TRUE(LikeMatch("\xC3\xA9t\xC3\xA9", "__t%", -1));  // bytes, not characters
  std::string many(2000, 'A');
  EXPECT_FALSE(LikeMatch(many, "%A%A%A%A%A%A%A%A%B", -1));
}

int OffsetOf(const std::string& sql, int* code) {
  try {
    oraemu::sel::ParseQuery(sql);
  } catch (const oraemu::EOraError& e) {
    *code = e.code();
    return e.offset();
  }
  *code = 0;
  return -1;
}

TEST(SelectParser, RefusalsPointAtTheOffendingToken) {
  int code = 0;
  EXPECT_EQ(OffsetOf("select a b c from dual", &code), 11);
  EXPECT_EQ(code, 923);
  EXPECT_EQ(OffsetOf("select a from dual where", &code), 24);
  EXPECT_EQ(code, 936);
  EXPECT_EQ(OffsetOf("select a from dual order by a garbage", &code), 30);
  EXPECT_EQ(code, 933);
  EXPECT_EQ(OffsetOf("select nvl(a, b from dual", &code), 16);
  EXPECT_EQ(code, 907);
  EXPECT_EQ(OffsetOf("select a from where", &code), 14);
  EXPECT_EQ(code, 903);
  EXPECT_EQ(OffsetOf("select a from t where a", &code), 23);
  EXPECT_EQ(code, 920);
  EXPECT_EQ(OffsetOf("update t set a = 1", &code), 0);
  EXPECT_EQ(code, 900);
  EXPECT_EQ(OffsetOf("select a from t where x is 1", &code), 27);
  EXPECT_EQ(code, 908);
  // Deep nesting is refused, not a crash.
  OffsetOf("select " + std::string(100000, '(') + "1" + std::string(100000, ')') + " from dual", &code);
  EXPECT_EQ(code, 907);
  std::string minus;
  for (int i = 0; i < 50000; ++i) minus += "- ";
  OffsetOf("select " + minus + "1 from dual", &code);
  EXPECT_EQ(code, 907);
  std::string chain = "select 1 from dual where 1 = 1";
  for (int i = 0; i < 100000; ++i) chain += " and 1 = 1";
  OffsetOf(chain, &code);
  EXPECT_EQ(code, 907);
  EXPECT_EQ(OffsetOf("select " + std::string(50, '(') + "1" + std::string(50, ')') + " from dual", &code), -1);
  // Comments and line breaks are blanks.
  EXPECT_EQ(OffsetOf("select a -- note\r\nfrom t /* x */ where a = 1", &code), -1);
}

}  // namespace
