// Whole compare runs through skelvane-cli update: the walk's order, its log
// lines, statement refusals that do not stop it, and documents it cannot use.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "update/update_support.h"

namespace skelvane::update_test {
namespace {

std::string ConstraintPasses(const std::string& table) {
  return Lines({"\tPart 1. Analize table constraints\"" + table + "\""}) +
         Lines({"\tPart 2. Analize table constraints\"" + table + "\""});
}

std::string PlainIndexes(const std::string& table) {
  return Lines({"\tAnalize table indexes \"" + table + "\"", "\tcheck index"});
}

using CompareRun = UpdateTest;

TEST_F(CompareRun, ColumnDifferingInTypeOnlyGivesTheWholeLogOfTheWalk) {
  Seed("create table T1 (ID number(10), NAME varchar2(20 byte));\n");
  const TUpdateRun run = Update(SchemaDocument(
      "OWNER", {{"T1", "", {{"ID", "NUMBER(10,0)"}, {"NAME", "VARCHAR2(30 BYTE)"}}, {}, {}}}));
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.common,
            Lines({"shema=OWNER", "tables:", "Analize table \"T1\"", "\tCheck fields...",
                   "\tCheck field \"ID\"", "\tCheck field \"NAME\"",
                   "\t\tVARCHAR2(30 BYTE)=VARCHAR2(20 BYTE)",
                   Refused(1, 27, "ORA-01430: column being added already exists in table"),
                   "\tCheck comments...", "\tCheck comment for \"ID\"",
                   "\tCheck comment for \"NAME\""}) +
                SectionsAfterTables(PlainIndexes("T1"), ConstraintPasses("T1"), ""));
  EXPECT_EQ(run.update, "");
}

TEST_F(CompareRun, DocumentThatMatchesChangesNothingAndExitsZero) {
  Seed("create table T1 (ID number(10) not null, NAME varchar2(20 byte) default 'x');\n"
       "comment on table T1 is 'People';\n"
       "comment on column T1.NAME is 'Full name';\n");
  const TUpdateRun run = Update(Export());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.update, "");
  EXPECT_EQ(run.common.find("<TS>:Ошибка"), std::string::npos) << run.common;
}

TEST_F(CompareRun, MissingTableIsCreatedAndCommentedInTheSameIteration) {
  const TUpdateRun run = Update(SchemaDocument(
      "OWNER", {{"ORDERS",
                 "Customer's orders",
                 {{"ID", "NUMBER(10)", "N", "", "Order's key"}, {"NOTE", "VARCHAR2(10 BYTE)", "Y", "'-'"}},
                 {},
                 {}}}));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.common,
            Lines({"shema=OWNER", "tables:", "Analize table \"ORDERS\"",
                   "<TS>:table \"ORDERS\" not found!", "\tCreate table \"ORDERS\"",
                   "\tCheck comments...", "\t\tAdd comment ", "\tCheck comment for \"ID\"",
                   "\t\tAdd comment ", "\tCheck comment for \"NOTE\""}) +
                SectionsAfterTables(PlainIndexes("ORDERS"), ConstraintPasses("ORDERS"), ""));
  EXPECT_EQ(run.update, Lines({"\tCreate table \"ORDERS\"", "\t\tAdd comment ", "\t\tAdd comment "}));
  // A quote inside a comment is doubled, so the comment is set and not refused.
  EXPECT_EQ(run.ddl, std::vector<std::string>(
                         {"create table ORDERS (ID NUMBER(10) NOT NULL , NOTE VARCHAR2(10 BYTE) DEFAULT '-')",
                          "COMMENT ON TABLE ORDERS IS 'Customer''s orders'",
                          "COMMENT ON COLUMN ORDERS.ID IS 'Order''s key'"}));

  const std::string exported = Export();
  for (const char* piece : {"{comments Customer's orders}", "{comments Order's key}", "{default '-'}",
                            "{name NOTE}\r\n\t\t\t\t{type VARCHAR2(10 BYTE)}\r\n\t\t\t\t{null Y}"}) {
    EXPECT_NE(exported.find(piece), std::string::npos) << piece << "\n" << exported;
  }
}

TEST_F(CompareRun, RefusedCreateTableStillRunsTheTableComment) {
  const TUpdateRun run = Update(SchemaDocument(
      "OWNER", {{"BAD", "Never made", {{"A", "NUMBER(10)", "Y", "", "a"}, {"B", "NOSUCHTYPE"}}, {}, {}}}));
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.common,
            Lines({"shema=OWNER", "tables:", "Analize table \"BAD\"", "<TS>:table \"BAD\" not found!",
                   Refused(1, 36, "ORA-00902: invalid datatype"), "\tCheck comments...",
                   Refused(1, 18, "ORA-00942: table or view does not exist"),
                   "\tCheck comment for \"A\"", "\tCheck comment for \"B\""}) +
                SectionsAfterTables(PlainIndexes("BAD"), ConstraintPasses("BAD"), ""));
  EXPECT_EQ(run.update, "");
}

TEST_F(CompareRun, RefusalInTheMiddleOfATableDoesNotStopLaterColumnsOrSections) {
  Seed("create table T1 (A number, B varchar2(5 byte));\n");
  const TUpdateRun run = Update(SchemaDocument(
      "OWNER", {{"T1",
                 "",
                 {{"A", "NUMBER"}, {"B", "VARCHAR2(9 BYTE)"}, {"C", "DATE", "Y", "", "when"}},
                 {{"T1_C_IX", "NONUNIQUE", "C"}},
                 {{"T1_A_CK", "C", "", "A > 0", ""}}}}));
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.common,
            Lines({"shema=OWNER", "tables:", "Analize table \"T1\"", "\tCheck fields...",
                   "\tCheck field \"A\"", "\tCheck field \"B\"", "\t\tVARCHAR2(9 BYTE)=VARCHAR2(5 BYTE)",
                   Refused(1, 27, "ORA-01430: column being added already exists in table"),
                   "\tCheck field \"C\"", "\t\tnot found", "\t\t Alter field \"C\"",
                   "\tCheck comments...", "\tCheck comment for \"A\"", "\tCheck comment for \"B\"",
                   "\tCheck comment for \"C\"", "\t\tAdd comment "}) +
                SectionsAfterTables(Lines({"\tAnalize table indexes \"T1\"",
                                           "\t\tNot found, Add T1_C_IX NONUNIQUE C",
                                           "\t\tT1_C_IX NONUNIQUE C", "\tcheck index"}),
                                    Lines({"\tPart 1. Analize table constraints\"T1\"",
                                           "\t\tNot found constraint T1_A_CK"}),
                                    Lines({"\tPart 2. Analize table constraints\"T1\"",
                                           "\t\tCheck constraint T1_A_CK"})));
  EXPECT_EQ(run.update, Lines({"\t\t Alter field \"C\"", "\t\tAdd comment ",
                               "\t\tNot found, Add T1_C_IX NONUNIQUE C", "\t\tNot found constraint T1_A_CK"}));
}

// The error position counts lines of the statement as sent: a document value
// may span lines, and the server's offset is turned into line and column.
TEST_F(CompareRun, RefusalOnTheSecondLineOfAStatementNamesThatLine) {
  const TUpdateRun run = Update(SchemaDocument(
      "OWNER", {{"M", "", {{"A", "NUMBER", "Y", "1 +\r\n  * 2"}}, {}, {}}}));
  EXPECT_EQ(run.exitCode, 1) << run.err;
  ASSERT_EQ(run.ddl.size(), 1u);
  EXPECT_EQ(run.ddl[0].substr(0, run.ddl[0].find(" -> ")), "create table M (A NUMBER DEFAULT 1 +\n  * 2)");
  EXPECT_NE(run.common.find("\n" + Refused(2, 3, "ORA-00936: missing expression") + "\n"), std::string::npos)
      << run.common;
}

// Sections are looked for by name: a missing one logs its header only.
TEST_F(CompareRun, DocumentWithoutSectionsLogsEveryHeader) {
  struct Case {
    const char* name;
    std::string document;
    const char* header;
  };
  const Case cases[] = {
      {"nothing", "", "shema="},
      {"schema only", "{shema\r\n\t{name OWNER}\r\n}\r\n", "shema=OWNER"},
      {"tables without a schema node", "{tables \r\n}\r\n", "shema="},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TUpdateRun run = Update(c.document);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.common, Lines({c.header, "tables:"}) + SectionsAfterTables("", "", ""));
    EXPECT_EQ(run.update, "");
  }
}

TEST_F(CompareRun, UnmatchedCloseBraceEndsTheRunWithoutEndTest) {
  const TUpdateRun run =
      Update(SchemaDocument("OWNER", {{"T1", "", {{"A", "NUMBER"}}, {}, {}}}) + "}\r\n");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.common.find("end test"), std::string::npos) << run.common;
  EXPECT_EQ(run.common.find("tables:"), std::string::npos) << run.common;
  EXPECT_NE(run.err, "");
}

TEST_F(CompareRun, TableWithoutFieldsGroupEndsTheRunAfterItsHeader) {
  const TUpdateRun run = Update("{tables \r\n\t{t \r\n\t\t{name T9}\r\n\t}\r\n}\r\n");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.common.find("end test"), std::string::npos) << run.common;
  EXPECT_NE(run.common.find("Analize table \"T9\"\n<TS>:table \"T9\" not found!\n"), std::string::npos)
      << run.common;
}

}  // namespace
}  // namespace skelvane::update_test
