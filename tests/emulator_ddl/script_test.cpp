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

TEST(ScriptSplit, RealScriptsCommandsInAnyCaseAndASlashAfterAStatementAreSkipped) {
  EXPECT_EQ(Texts("rem lower-case remark\nRem mixed\nPrompt Creating\nset define off\nshow errors\n"
                  "create table a (x number);\n/\nSHO ERR\nSHOW ERRORS PROCEDURE p\n"
                  "create procedure p is begin null; end;\n/\nshow errors\n"),
            (std::vector<std::string>{"6:create table a (x number)", "10:create procedure p is begin null; end;"}));
}

TEST(ScriptSplit, AtAndDoubleAtNameScriptsToRunInPlace) {
  struct Case {
    const char* line;
    const char* include;
    bool relative;
  } cases[] = {
      {"@@tables", "tables.sql", true},
      {"@@sub/tables.sql", "sub/tables.sql", true},
      {"@other.sql arg1 arg2", "other.sql", false},
      {"@ ../up/x", "../up/x.sql", false},
      {"@@v1.2/file", "v1.2/file.sql", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    auto st = SplitScript(std::string("create table a (x number);\n") + c.line + "\ndrop table a;\n");
    ASSERT_EQ(st.size(), 3u);
    EXPECT_EQ(st[1].include, c.include);
    EXPECT_EQ(st[1].relative, c.relative);
    EXPECT_EQ(st[1].line, 2);
    EXPECT_TRUE(st[1].text.empty());
    EXPECT_EQ(st[2].text, "drop table a");
  }
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
