// Indexes and constraints brought in line with the document, one table per
// case: the lines of its section, the Update log, and what the database then
// holds (read back by an export).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "update/update_support.h"

namespace skelvane::update_test {
namespace {

// The lines between `from` (excluded) and `to` (excluded).
std::string Between(const std::string& log, const std::string& from, const std::string& to) {
  const size_t start = log.find(from);
  if (start == std::string::npos) return "<no " + from + ">";
  const size_t end = log.find(to, start + from.size());
  if (end == std::string::npos) return "<no " + to + ">";
  return log.substr(start + from.size(), end - start - from.size());
}

std::string ExportedIndex(const std::string& name, const std::string& uniqueness,
                          const std::string& columns) {
  return "{name " + name + "}\r\n\t\t\t\t{uniqueness " + uniqueness + "}\r\n\t\t\t\t{columns " +
         columns + "}";
}

size_t Count(const std::string& text, const std::string& piece) {
  size_t n = 0;
  for (size_t pos = text.find(piece); pos != std::string::npos; pos = text.find(piece, pos + 1)) ++n;
  return n;
}

struct IndexCase {
  const char* name;
  const char* seed;  // after the table T (A number, B number)
  std::vector<TIndexDoc> indexes;
  std::vector<std::string> lines;   // between the table's header and "\tcheck index"
  std::vector<std::string> update;  // the Update log
  std::string exported;             // what the export shows afterwards
  std::vector<std::string> ddl;     // the statements sent
};

class IndexCases : public UpdateTest, public ::testing::WithParamInterface<IndexCase> {};

TEST_P(IndexCases, SectionLinesUpdateLogAndResult) {
  const IndexCase& c = GetParam();
  Seed(std::string("create table T (A number, B number);\n") + c.seed);
  const TUpdateRun run =
      Update(SchemaDocument("OWNER", {{"T", "", {{"A", "NUMBER"}, {"B", "NUMBER"}}, c.indexes, {}}}));
  std::string lines, update;
  for (const auto& l : c.lines) lines += l + "\n";
  for (const auto& l : c.update) update += l + "\n";
  EXPECT_EQ(Between(run.common, "\tAnalize table indexes \"T\"\n", "\tcheck index\n"), lines);
  EXPECT_EQ(run.update, update);
  EXPECT_EQ(run.exitCode, run.common.find("<TS>:Ошибка") == std::string::npos ? 0 : 1) << run.err;
  EXPECT_EQ(run.ddl, c.ddl);
  if (!c.exported.empty()) {
    const std::string exported = Export();
    EXPECT_NE(exported.find(c.exported), std::string::npos) << exported;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Indexes, IndexCases,
    ::testing::Values(
        IndexCase{"missing_nonunique_two_columns", "",
                  {{"IX1", "NONUNIQUE", "A,B"}},
                  {"\t\tNot found, Add IX1 NONUNIQUE A,B", "\t\tIX1 NONUNIQUE A,B"},
                  {"\t\tNot found, Add IX1 NONUNIQUE A,B"},
                  ExportedIndex("IX1", "NONUNIQUE", "A,B"),
                  {"CREATE  INDEX IX1 ON T(A,B)"}},
        IndexCase{"missing_unique", "",
                  {{"UX", "UNIQUE", "B"}},
                  {"\t\tNot found, Add UX UNIQUE B", "\t\tUX UNIQUE B"},
                  {"\t\tNot found, Add UX UNIQUE B"},
                  ExportedIndex("UX", "UNIQUE", "B"),
                  {"CREATE UNIQUE INDEX UX ON T(B)"}},
        IndexCase{"uniqueness_differs", "create index IX1 on T (A);\n",
                  {{"IX1", "UNIQUE", "A"}},
                  {"\t\tDrop IX1", "\t\tCorrect IX1 UNIQUE A", "\t\tIX1 UNIQUE A"},
                  {"\t\tDrop IX1", "\t\tCorrect IX1 UNIQUE A"},
                  ExportedIndex("IX1", "UNIQUE", "A"),
                  {"DROP INDEX IX1", "CREATE UNIQUE INDEX IX1 ON T(A)"}},
        // The word is compared as written, and only "UNIQUE" makes the prefix.
        IndexCase{"lower_case_uniqueness_recreates_nonunique", "create unique index IX1 on T (A);\n",
                  {{"IX1", "unique", "A"}},
                  {"\t\tDrop IX1", "\t\tCorrect IX1 unique A", "\t\tIX1 unique A"},
                  {"\t\tDrop IX1", "\t\tCorrect IX1 unique A"},
                  ExportedIndex("IX1", "NONUNIQUE", "A"),
                  {"DROP INDEX IX1", "CREATE  INDEX IX1 ON T(A)"}},
        IndexCase{"columns_differ", "create index IX1 on T (A);\n",
                  {{"IX1", "NONUNIQUE", "B,A"}},
                  {"\t\tDrop IX1", "\t\tCorrect IX1 NONUNIQUE B,A", "\t\tIX1 NONUNIQUE B,A"},
                  {"\t\tDrop IX1", "\t\tCorrect IX1 NONUNIQUE B,A"},
                  ExportedIndex("IX1", "NONUNIQUE", "B,A"),
                  {"DROP INDEX IX1", "CREATE  INDEX IX1 ON T(B,A)"}},
        IndexCase{"column_case_differs", "create index IX1 on T (A);\n",
                  {{"IX1", "NONUNIQUE", "a"}},
                  {"\t\tDrop IX1", "\t\tCorrect IX1 NONUNIQUE a", "\t\tIX1 NONUNIQUE a"},
                  {"\t\tDrop IX1", "\t\tCorrect IX1 NONUNIQUE a"},
                  ExportedIndex("IX1", "NONUNIQUE", "A"),
                  {"DROP INDEX IX1", "CREATE  INDEX IX1 ON T(a)"}},
        IndexCase{"name_case_differs_is_the_same_index", "create index IX1 on T (A);\n",
                  {{"ix1", "NONUNIQUE", "A"}},
                  {"\t\tix1 NONUNIQUE A"},
                  {},
                  ExportedIndex("IX1", "NONUNIQUE", "A"),
                  {}},
        IndexCase{"only_in_the_database_is_left_alone", "create index IX1 on T (A);\n",
                  {},
                  {},
                  {},
                  ExportedIndex("IX1", "NONUNIQUE", "A"),
                  {}},
        // The create runs even though the drop was refused.
        IndexCase{"refused_drop_still_tries_the_create",
                  "alter table T add (constraint T_UK unique (A));\n",
                  {{"T_UK", "UNIQUE", "A,B"}},
                  {Refused(1, 12, "ORA-02429: cannot drop index used for enforcement of "
                           "unique/primary key"),
                   Refused(1, 21, "ORA-00955: name is already used by an existing object"),
                   "\t\tT_UK UNIQUE A,B"},
                  {},
                  ExportedIndex("T_UK", "UNIQUE", "A"),
                  {"DROP INDEX T_UK -> ORA-02429", "CREATE UNIQUE INDEX T_UK ON T(A,B) -> ORA-00955"}}),
    [](const ::testing::TestParamInfo<IndexCase>& info) { return std::string(info.param.name); });

struct ConstraintCase {
  const char* name;
  const char* seed;  // the whole table T
  std::vector<TIndexDoc> indexes;
  std::vector<TConstraintDoc> constraints;
  std::vector<std::string> pass1, pass2;  // lines after each pass's header
  std::vector<std::string> update;
  std::vector<std::string> ddl;
};

class ConstraintCases : public UpdateTest, public ::testing::WithParamInterface<ConstraintCase> {};

TEST_P(ConstraintCases, BothPassesAndUpdateLog) {
  const ConstraintCase& c = GetParam();
  Seed(c.seed);
  const bool notNull = std::string(c.seed).find("not null") != std::string::npos;
  const TUpdateRun run = Update(SchemaDocument(
      "OWNER", {{"T", "", {{"A", "NUMBER", notNull ? "N" : "Y"}}, c.indexes, c.constraints}}));
  auto joined = [](const std::vector<std::string>& v) {
    std::string out;
    for (const auto& l : v) out += l + "\n";
    return out;
  };
  EXPECT_EQ(Between(run.common, "constraints:\n", "views:\n"),
            "\tPart 1. Analize table constraints\"T\"\n" + joined(c.pass1) +
                "\tPart 2. Analize table constraints\"T\"\n" + joined(c.pass2));
  std::string wanted;
  for (const auto& l : c.update) wanted += l + "\n";
  EXPECT_EQ(run.update, wanted);
  EXPECT_EQ(run.ddl, c.ddl);
}

const char kSysNotNull[] = "SYS_C0099999";

INSTANTIATE_TEST_SUITE_P(
    Constraints, ConstraintCases,
    ::testing::Values(
        ConstraintCase{"existing_is_logged_in_both_passes",
                       "create table T (A number, constraint T_CK check (A > 0));\n",
                       {},
                       {{"t_ck", "C", "", "A > 0", ""}},
                       {"\t\tCheck constraint t_ck"},
                       {"\t\tCheck constraint t_ck"},
                       {},
                       {}},
        // An existing constraint is not compared, whatever the document says of it.
        ConstraintCase{"existing_with_other_condition_is_left_alone",
                       "create table T (A number, constraint T_CK check (A > 0));\n",
                       {},
                       {{"T_CK", "C", "", "A < 0", ""}},
                       {"\t\tCheck constraint T_CK"},
                       {"\t\tCheck constraint T_CK"},
                       {},
                       {}},
        ConstraintCase{"missing_check_is_added_in_pass_one",
                       "create table T (A number);\n",
                       {},
                       {{"T_CK", "C", "", "A between 1 and 9", ""}},
                       {"\t\tNot found constraint T_CK"},
                       {"\t\tCheck constraint T_CK"},
                       {"\t\tNot found constraint T_CK"},
                       {"ALTER TABLE T ADD ( CONSTRAINT T_CK CHECK (A between 1 and 9))"}},
        ConstraintCase{"primary_key_takes_the_columns_of_its_new_index",
                       "create table T (A number);\n",
                       {{"T_PK", "UNIQUE", "A"}},
                       {{"T_PK", "P", "T_PK", "", ""}},
                       {"\t\tNot found constraint T_PK"},
                       {"\t\tCheck constraint T_PK"},
                       {"\t\tNot found, Add T_PK UNIQUE A", "\t\tNot found constraint T_PK"},
                       {"CREATE UNIQUE INDEX T_PK ON T(A)",
                        "ALTER TABLE T ADD ( CONSTRAINT T_PK PRIMARY KEY (A))"}},
        ConstraintCase{"unique_key_takes_the_columns_of_its_new_index",
                       "create table T (A number);\n",
                       {{"T_UK", "UNIQUE", "A"}},
                       {{"T_UK", "U", "T_UK", "", ""}},
                       {"\t\tNot found constraint T_UK"},
                       {"\t\tCheck constraint T_UK"},
                       {"\t\tNot found, Add T_UK UNIQUE A", "\t\tNot found constraint T_UK"},
                       {"CREATE UNIQUE INDEX T_UK ON T(A)",
                        "ALTER TABLE T ADD ( CONSTRAINT T_UK UNIQUE (A))"}},
        ConstraintCase{"primary_key_without_its_index_is_refused",
                       "create table T (A number);\n",
                       {},
                       {{"T_PK", "P", "T_PK", "", ""}},
                       {Refused(1, 36, "ORA-00904: : invalid identifier")},
                       {},
                       {},
                       {"ALTER TABLE T ADD ( CONSTRAINT T_PK) -> ORA-00904"}},
        ConstraintCase{"unknown_type_is_refused_in_pass_one",
                       "create table T (A number);\n",
                       {},
                       {{"T_XX", "X", "", "", ""}},
                       {Refused(1, 36, "ORA-00904: : invalid identifier")},
                       {},
                       {},
                       {"ALTER TABLE T ADD ( CONSTRAINT T_XX) -> ORA-00904"}},
        // Oracle names these itself, differently in every database.
        ConstraintCase{"system_named_not_null_check_found_by_condition",
                       "create table T (A number not null);\n",
                       {},
                       {{kSysNotNull, "C", "", "\"A\" IS NOT NULL", ""}},
                       {std::string("\t\tCheck constraint ") + kSysNotNull},
                       {std::string("\t\tCheck constraint ") + kSysNotNull},
                       {},
                       {}},
        ConstraintCase{"system_named_not_null_check_missing_is_added",
                       "create table T (A number);\n",
                       {},
                       {{kSysNotNull, "C", "", "\"A\" IS NOT NULL", ""}},
                       {std::string("\t\tNot found constraint ") + kSysNotNull},
                       {std::string("\t\tCheck constraint ") + kSysNotNull},
                       {std::string("\t\tNot found constraint ") + kSysNotNull},
                       {std::string("ALTER TABLE T ADD ( CONSTRAINT ") + kSysNotNull +
                        " CHECK (\"A\" IS NOT NULL))"}},
        // Only NOT NULL checks are matched by condition.
        ConstraintCase{"system_named_other_check_is_looked_up_by_name",
                       "create table T (A number, check (A > 0));\n",
                       {},
                       {{kSysNotNull, "C", "", "A > 0", ""}},
                       {std::string("\t\tNot found constraint ") + kSysNotNull},
                       {std::string("\t\tCheck constraint ") + kSysNotNull},
                       {std::string("\t\tNot found constraint ") + kSysNotNull},
                       {std::string("ALTER TABLE T ADD ( CONSTRAINT ") + kSysNotNull + " CHECK (A > 0))"}},
        // A user name is never matched by condition.
        ConstraintCase{"user_named_not_null_check_is_looked_up_by_name",
                       "create table T (A number not null);\n",
                       {},
                       {{"A_NN", "C", "", "\"A\" IS NOT NULL", ""}},
                       {"\t\tNot found constraint A_NN"},
                       {"\t\tCheck constraint A_NN"},
                       {"\t\tNot found constraint A_NN"},
                       {"ALTER TABLE T ADD ( CONSTRAINT A_NN CHECK (\"A\" IS NOT NULL))"}}),
    [](const ::testing::TestParamInfo<ConstraintCase>& info) { return std::string(info.param.name); });

using KeySteps = UpdateTest;

// The child comes first in the document: its foreign key can only be added
// once the parent's key exists, which pass one sees to for every table.
TEST_F(KeySteps, ForeignKeyWaitsForPassTwoAfterEveryOtherConstraint) {
  Seed("create table CHILD (ID number, PID number);\ncreate table PARENT (ID number);\n");
  const TUpdateRun run = Update(SchemaDocument(
      "OWNER",
      {{"CHILD", "", {{"ID", "NUMBER"}, {"PID", "NUMBER"}}, {},
        {{"CHILD_FK", "R", "", "", "(PID) REFERENCES PARENT (ID)"}}},
       {"PARENT", "", {{"ID", "NUMBER"}}, {{"PARENT_PK", "UNIQUE", "ID"}},
        {{"PARENT_PK", "P", "PARENT_PK", "", ""}}}}));
  EXPECT_EQ(run.exitCode, 0) << run.err << run.common;
  EXPECT_EQ(Between(run.common, "constraints:\n", "views:\n"),
            Lines({"\tPart 1. Analize table constraints\"CHILD\"",
                   "\tPart 1. Analize table constraints\"PARENT\"", "\t\tNot found constraint PARENT_PK",
                   "\tPart 2. Analize table constraints\"CHILD\"", "\t\tNot found constraint CHILD_FK",
                   "\tPart 2. Analize table constraints\"PARENT\"", "\t\tCheck constraint PARENT_PK"}));
  EXPECT_EQ(run.update, Lines({"\t\tNot found, Add PARENT_PK UNIQUE ID", "\t\tNot found constraint PARENT_PK",
                               "\t\tNot found constraint CHILD_FK"}));
  const std::string exported = Export();
  EXPECT_NE(exported.find("{ref (PID) REFERENCES PARENT (ID)}"), std::string::npos) << exported;
}

// Round trip of a table with NOT NULL columns: a second database built from
// the first one's document holds each NOT NULL check once.
TEST_F(KeySteps, SystemNamedNotNullChecksAreNotDuplicated) {
  Seed("create table T (A number not null, B varchar2(5 byte) not null, C number);\n");
  const std::string document = Export();
  ASSERT_EQ(Count(document, "IS NOT NULL}"), 2u) << document;

  TOwnerDatabase other;  // a fresh database, the same owner, no table yet
  const TUpdateRun first = other.Update(document);
  EXPECT_EQ(first.exitCode, 0) << first.err << first.common;
  EXPECT_EQ(Count(first.common, "\t\tCheck constraint SYS_C"), 4u) << first.common;
  EXPECT_EQ(Count(other.Export(), "IS NOT NULL}"), 2u);

  const TUpdateRun again = other.Update(document);
  EXPECT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(again.update, "");
}

}  // namespace
}  // namespace skelvane::update_test
