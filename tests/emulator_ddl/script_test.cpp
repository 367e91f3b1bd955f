// How oraemu-sql cuts a script into statements, and exact sequence values.
#include <gtest/gtest.h>

#include "engine/decimal.h"
#include "tool/script.h"

using oraemu::tool::SplitScript;

namespace {

std::vector<std::string> Texts(const std::string& script) {
  std::vector<std::string> out;
  for (const auto& s : SplitScript(script)) out.push_back(std::to_string(s.line) + ":" + s.text);
  return out;
}

}  // namespace

TEST(ScriptSplit, SqlEndsAtASemicolonPlsqlAtASlashLine) {
  EXPECT_EQ(Texts("-- heading\n\ncreate table a (\n  x number -- note; not an end\n) ;  \n"
                  "CREATE OR REPLACE\nPROCEDURE p IS\nBEGIN\n  NULL;\n\n  -- kept inside the unit\nEND;\n /\n"
                  "BEGIN p; END;\n/\ncomment on table a is 'x'\n/\n"),
            (std::vector<std::string>{"3:create table a (\n  x number -- note; not an end\n)",
                                      "6:CREATE OR REPLACE\nPROCEDURE p IS\nBEGIN\n  NULL;\n\n  -- kept inside the unit\nEND;",
                                      "14:BEGIN p; END;", "16:comment on table a is 'x'"}));
}

TEST(ScriptSplit, LineEndsAndAnUnterminatedLastStatement) {
  // CR LF line ends: the CR goes with the terminator, lines inside stay as read.
  EXPECT_EQ(Texts("create table a (x number);\r\ncreate trigger t before insert on a\r\nbegin null; end;\r\n/\r\n"
                  "drop table a"),
            (std::vector<std::string>{"1:create table a (x number)", "2:create trigger t before insert on a\nbegin null; end;",
                                      "5:drop table a"}));
  EXPECT_TRUE(SplitScript("\n-- only comments\n   \n").empty());
}

TEST(ScriptSplit, SqlPlusCommandsAreSkippedAndExitEndsTheScript) {
  EXPECT_EQ(Texts("SET ECHO ON\nPROMPT building\nREM old style remark\nset transaction read only;\n"
                  "create table a (x number);\nexit\ncreate table b (x number);\n"),
            (std::vector<std::string>{"4:set transaction read only", "5:create table a (x number)"}));
}

TEST(ExactIntegers, LiteralsCanonicalAndCompared) {
  using oraemu::CanonicalInteger;
  EXPECT_EQ(CanonicalInteger("0010", false).value(), "10");
  EXPECT_EQ(CanonicalInteger("1E27", false).value(), "1" + std::string(27, '0'));
  EXPECT_EQ(CanonicalInteger("1.50E1", false).value(), "15");
  EXPECT_EQ(CanonicalInteger("20.000", true).value(), "-20");
  EXPECT_EQ(CanonicalInteger("0", true).value(), "0");
  EXPECT_FALSE(CanonicalInteger("1.5", false).has_value());
  EXPECT_FALSE(CanonicalInteger("1E", false).has_value());
  EXPECT_FALSE(CanonicalInteger("12E-1", false).has_value());

  using oraemu::CompareIntegers;
  const std::string nines28(28, '9');
  EXPECT_LT(CompareIntegers("999999999999999999999999999", nines28), 0);
  EXPECT_GT(CompareIntegers(nines28, "1"), 0);
  EXPECT_LT(CompareIntegers("-" + nines28, "-1"), 0);
  EXPECT_GT(CompareIntegers("-2", "-10"), 0);
  EXPECT_EQ(CompareIntegers("42", "42"), 0);
}
