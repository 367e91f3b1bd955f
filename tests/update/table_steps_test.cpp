// Columns and comments of an existing table, one column per case: what each
// case logs under its "\tCheck field" or "\tCheck comment for" line.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "update/update_support.h"

namespace skelvane::update_test {
namespace {

// The lines logged under each `marker` line, by the name in its quotes; the
// block of the last one ends at `stop`.
std::map<std::string, std::string> Blocks(const std::string& log, const std::string& marker,
                                          const std::string& stop) {
  std::map<std::string, std::string> blocks;
  std::string* current = nullptr;
  size_t pos = 0;
  while (pos < log.size()) {
    size_t end = log.find('\n', pos);
    if (end == std::string::npos) end = log.size();
    const std::string line = log.substr(pos, end - pos);
    pos = end + 1;
    if (line.rfind(marker, 0) == 0) {
      current = &blocks[line.substr(marker.size(), line.size() - marker.size() - 1)];
    } else if (line == stop) {
      current = nullptr;
    } else if (current != nullptr) {
      *current += line + "\n";
    }
  }
  return blocks;
}

const std::string kAddExisting =
    Refused(1, 26, "ORA-01430: column being added already exists in table") + "\n";

struct FieldCase {
  std::string declared;  // column definition in CREATE TABLE; empty: none
  TColumnDoc document;
  std::string lines;     // logged under the column's line; "-" when it has none
};

// Every column lives in one table T, so one run covers the whole table.
const std::vector<FieldCase>& FieldCases() {
  static const std::vector<FieldCase> cases = {
      {"SAME number(10) not null", {"SAME", "NUMBER(10,0)", "N"}, ""},
      {"PREC number(10)", {"PREC", "NUMBER(12)"}, "\t\tNUMBER(12)=NUMBER(10,0)\n" + kAddExisting},
      {"NULLS number", {"NULLS", "NUMBER", "N"}, "\t\tN=Y\n" + kAddExisting},
      // Every differing attribute is logged before the one statement.
      {"ALL3 varchar2(4 byte)", {"ALL3", "VARCHAR2(5 BYTE)", "N", "'z'"},
       "\t\tVARCHAR2(5 BYTE)=VARCHAR2(4 BYTE)\n\t\tN=Y\n\t\t'z'=\n" + kAddExisting},
      {"DEF number default 1", {"DEF", "NUMBER", "Y", "1"}, ""},
      {"DEF2 number default 1", {"DEF2", "NUMBER", "Y", "2"}, "\t\t2=1\n" + kAddExisting},
      {"CHARS varchar2(10 char)", {"CHARS", "VARCHAR2(10 CHAR)"}, ""},
      {"BYTES raw(16)", {"BYTES", "RAW(16)"}, ""},
      {"OLDRAW raw(16)", {"OLDRAW", "RAW"}, ""},
      {"NEWRAW raw(16)", {"NEWRAW", "RAW(8)"}, "\t\tRAW(8)=RAW(16)\n" + kAddExisting},
      {"", {"ADDED", "DATE", "N", "SYSDATE"}, "\t\tnot found\n\t\t Alter field \"ADDED\"\n"},
      // Letter case counts: this one is "not found", then refused as a duplicate.
      {"LOWER number", {"lower", "NUMBER"}, "\t\tnot found\n" + kAddExisting},
      // Oracle's own hidden columns are left out entirely.
      {"", {"SYS_NC00042$", "NUMBER"}, "-"},
  };
  return cases;
}

using TableSteps = UpdateTest;

TEST_F(TableSteps, EachColumnIsComparedOnItsOwn) {
  std::string create = "create table T (", separator;
  TTableDoc table{"T", "", {}, {}, {}};
  for (const FieldCase& c : FieldCases()) {
    if (!c.declared.empty()) create += separator + c.declared;
    if (!c.declared.empty()) separator = ", ";
    table.columns.push_back(c.document);
  }
  Seed(create + ");\n");
  const TUpdateRun run = Update(SchemaDocument("OWNER", {table}));
  const auto blocks = Blocks(run.common, "\tCheck field \"", "\tCheck comments...");
  for (const FieldCase& c : FieldCases()) {
    SCOPED_TRACE(c.document.name);
    const auto found = blocks.find(c.document.name);
    if (c.lines == "-") {
      EXPECT_EQ(found, blocks.end());
    } else {
      ASSERT_NE(found, blocks.end()) << run.common;
      EXPECT_EQ(found->second, c.lines);
    }
  }
  EXPECT_EQ(run.update, "\t\t Alter field \"ADDED\"\n");
  EXPECT_EQ(run.exitCode, 1);
}

TEST_F(TableSteps, MissingTableIsCreatedWithoutHiddenColumns) {
  const TUpdateRun run = Update(SchemaDocument(
      "OWNER", {{"T", "", {{"A", "NUMBER(5)", "N", "7"}, {"SYS_NC00002$", "NUMBER"}, {"B", "CHAR(1 BYTE)"}},
                 {}, {}}}));
  EXPECT_EQ(run.exitCode, 0) << run.err << run.common;
  EXPECT_NE(run.common.find("\tCheck comments...\n\tCheck comment for \"A\"\n\tCheck comment for \"B\"\n"),
            std::string::npos)
      << run.common;
  const std::string exported = Export();
  EXPECT_EQ(exported.find("SYS_NC"), std::string::npos) << exported;
  EXPECT_NE(exported.find("{name A}\r\n\t\t\t\t{type NUMBER(5,0)}\r\n\t\t\t\t{null N}\r\n\t\t\t\t{default 7}"),
            std::string::npos)
      << exported;
}

// Documents written before hidden columns were left out list the columns
// behind function-based indexes; no statement can add those.
TEST_F(TableSteps, HiddenColumnsOfAnOlderDocumentAreLeftOut) {
  Seed("create table T (A varchar2(10 byte), B number);\ncreate index T_UP on T (upper(A));\n");
  const TUpdateRun run = Update(SchemaDocument(
      "OWNER", {{"T", "", {{"A", "VARCHAR2(10 BYTE)"}, {"SYS_NC00003$", "VARCHAR2(10 BYTE)", "Y", "", "x"},
                           {"B", "NUMBER"}}, {}, {}}}));
  EXPECT_EQ(run.exitCode, 0) << run.err << run.common;
  EXPECT_EQ(run.common.substr(0, run.common.find("indexes:\n")),
            Lines({"shema=OWNER", "tables:", "Analize table \"T\"", "\tCheck fields...",
                   "\tCheck field \"A\"", "\tCheck field \"B\"", "\tCheck comments...",
                   "\tCheck comment for \"A\"", "\tCheck comment for \"B\""}));
  EXPECT_EQ(run.ddl, std::vector<std::string>());
}

struct CommentCase {
  std::string column;
  std::string databaseComment;  // empty: none
  std::string documentComment;
  bool statement;               // a COMMENT ON COLUMN runs
};

TEST_F(TableSteps, ColumnCommentsAreSetOnlyWhereTheDocumentSaysOtherwise) {
  const std::vector<CommentCase> cases = {
      {"SAME", "Price", "Price", false},
      {"NEW", "", "Price in cents", true},
      {"CHANGED", "Old text", "New text", true},
      // An empty document comment never clears one.
      {"KEPT", "Keep me", "", false},
      // The database side is trimmed before the compare.
      {"PADDED", "   Padded", "Padded", false},
      {"QUOTE", "", "Customer's own 'name'", true},
  };
  std::string create = "create table T (", comments;
  TTableDoc table{"T", "", {}, {}, {}};
  for (const CommentCase& c : cases) {
    create += (table.columns.empty() ? "" : ", ") + c.column + " number";
    if (!c.databaseComment.empty()) {
      comments += "comment on column T." + c.column + " is '" + c.databaseComment + "';\n";
    }
    table.columns.push_back({c.column, "NUMBER", "Y", "", c.documentComment});
  }
  Seed(create + ");\n" + comments);
  const TUpdateRun run = Update(SchemaDocument("OWNER", {table}));
  EXPECT_EQ(run.exitCode, 0) << run.err << run.common;
  const auto blocks = Blocks(run.common, "\tCheck comment for \"", "indexes:");
  const std::string exported = Export();
  for (const CommentCase& c : cases) {
    SCOPED_TRACE(c.column);
    ASSERT_EQ(blocks.count(c.column), 1u) << run.common;
    EXPECT_EQ(blocks.at(c.column), c.statement ? "\t\tAdd comment \n" : "");
    const std::string expected = c.documentComment.empty() ? c.databaseComment : c.documentComment;
    EXPECT_NE(exported.find("{name " + c.column + "}"), std::string::npos);
    if (!expected.empty()) {
      EXPECT_NE(exported.find("{comments " + expected + "}"), std::string::npos) << exported;
    }
  }
}

// The table comment is compared as the dictionary holds it, but trailing
// blanks, which the data set drops, do not count: they would set it every run.
TEST_F(TableSteps, TableCommentIsComparedUntrimmedButForTrailingBlanks) {
  struct Case {
    const char* name;
    std::string databaseComment, documentComment;
    bool statement;
  };
  const Case cases[] = {
      {"equal", "Orders", "Orders", false},
      {"leading blanks differ", "  Orders", "Orders", true},
      {"empty document keeps it", "Orders", "", false},
      {"trailing blanks on both sides", "Orders  ", "Orders  ", false},
      {"only blanks", "   ", "   ", false},
      {"text differs before trailing blanks", "Orders", "Order  ", true},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string table = "T" + std::to_string(n++);
    Seed("create table " + table + " (A number);\ncomment on table " + table + " is '" +
         c.databaseComment + "';\n");
    const TUpdateRun run = Update(
        SchemaDocument("OWNER", {{table, c.documentComment, {{"A", "NUMBER"}}, {}, {}}}));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.update, c.statement ? "\t\tAdd comment \n" : "");
  }
}

// Earlier versions wrote the byte length of every character column; on a
// multibyte database that is not the declared width, yet the column is the same.
TEST(LegacyTypeTexts, CountAsEqualToTheColumnTheyWereWrittenFrom) {
  struct Case {
    std::string declared;
    TColumnDoc document;
    std::string lines;
  };
  const std::vector<Case> cases = {
      {"V10 varchar2(10 char)", {"V10", "VARCHAR2(10 CHAR)"}, ""},
      {"V10OLD varchar2(10 char)", {"V10OLD", "VARCHAR2(40 CHAR)"}, ""},
      {"C2OLD char(2 char)", {"C2OLD", "CHAR(8 CHAR)"}, ""},
      {"N10OLD nvarchar2(10)", {"N10OLD", "NVARCHAR2(20 CHAR)"}, ""},
      {"VB varchar2(12 byte)", {"VB", "VARCHAR2(12 BYTE)"}, ""},
      {"V20 varchar2(10 char)", {"V20", "VARCHAR2(20 CHAR)"},
       "\t\tVARCHAR2(20 CHAR)=VARCHAR2(10 CHAR)\n" + kAddExisting},
  };
  TOwnerDatabase db("AL32UTF8");
  std::string create = "create table T (";
  TTableDoc table{"T", "", {}, {}, {}};
  for (const Case& c : cases) {
    create += (table.columns.empty() ? "" : ", ") + c.declared;
    table.columns.push_back(c.document);
  }
  db.Seed(create + ");\n");
  const TUpdateRun run = db.Update(SchemaDocument("OWNER", {table}));
  const auto blocks = Blocks(run.common, "\tCheck field \"", "\tCheck comments...");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.document.name);
    ASSERT_EQ(blocks.count(c.document.name), 1u) << run.common;
    EXPECT_EQ(blocks.at(c.document.name), c.lines);
  }
}

}  // namespace
}  // namespace skelvane::update_test
