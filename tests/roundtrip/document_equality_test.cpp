#include <gtest/gtest.h>

#include "roundtrip/document_equality.h"

namespace skelvane::roundtrip {
namespace {

TEST(DocumentEquality, MasksOnlyNamesTheDatabaseMadeUp) {
  struct TCase {
    const char* in;
    const char* out;
  };
  const TCase cases[] = {
      {"\t\t\t\t{name SYS_C0012345}\r\n", "\t\t\t\t{name SYS_C#}\r\n"},
      {"{index SYS_C7}{name SYS_C0000008}", "{index SYS_C#}{name SYS_C#}"},
      {"SYS_C12", "SYS_C#"},
      {"{name SYS_C}", "{name SYS_C}"},                // no digits: a user's name
      {"{name SYS_C12X}", "{name SYS_C12X}"},          // longer name
      {"{name MY_SYS_C12}", "{name MY_SYS_C12}"},      // inside a name
      {"{name SYS_COLUMNS}", "{name SYS_COLUMNS}"},
      {"{expr \"SYS_C1\" IS NOT NULL}", "{expr \"SYS_C#\" IS NOT NULL}"},
  };
  for (const auto& c : cases) EXPECT_EQ(MaskSystemNames(c.in), c.out) << c.in;
}

TEST(DocumentEquality, KnownDifferencesAcceptOnlyWhatTheFormatLoses) {
  struct TCase {
    const char* label;
    std::string exported;  // from the first database
    std::string again;     // from the database built from the document
    bool equal;
  };
  const std::string grant = "\t{p \r\n\t\t{object T}\r\n\t\t{priv SELECT}\r\n\t\t{grantee U}\r\n\t}\r\n";
  const std::string execute = "\t{p \r\n\t\t{object F}\r\n\t\t{priv }\r\n\t\t{grantee U}\r\n\t}\r\n";
  const TCase cases[] = {
      {"a line end of another kind", "{comments a\nb}\r\n", "{comments a\r\nb}\r\n", false},
      {"an inner empty line is dropped", "\t\t{text\r\nBEGIN\r\n\r\n  NULL;\r\nEND;\r\n\t\t}\r\n",
       "\t\t{text\r\nBEGIN\r\n  NULL;\r\nEND;\r\n\t\t}\r\n", true},
      {"a line end after the source", "\t\t{text\r\nEND;\r\n\t\t}\r\n",
       "\t\t{text\r\nEND;\r\n\r\n\t\t}\r\n", true},
      {"a grant of EXECUTE alone", "{privileges \r\n" + grant + execute + "}\r\n",
       "{privileges \r\n" + grant + "}\r\n", true},
      {"a lost table grant", "{privileges \r\n" + grant + "}\r\n", "{privileges \r\n}\r\n", false},
      {"a table comment of blanks alone", "\t{t \r\n\t\t{name T}\r\n\t\t{comments   }\r\n",
       "\t{t \r\n\t\t{name T}\r\n", true},
      {"a lost table comment", "\t{t \r\n\t\t{name T}\r\n\t\t{comments  a }\r\n",
       "\t{t \r\n\t\t{name T}\r\n", false},
      {"a changed word", "\t\t{text\r\nBEGIN\r\n\t\t}\r\n", "\t\t{text\r\nBEGINS\r\n\t\t}\r\n", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ComparableDocument(c.exported) == ComparableDocument(c.again), c.equal) << c.label;
  for (const auto& d : KnownDifferences()) EXPECT_STRNE(d.reason, "") << d.what;
}

TEST(DocumentEquality, FirstDifferenceNamesTheLine) {
  EXPECT_EQ(FirstDifference("a\nb\n", "a\nb\n"), "");
  EXPECT_EQ(FirstDifference("a\nb\nc\n", "a\nx\nc\n"), "line 2:\n  first:  b\n  second: x");
  EXPECT_EQ(FirstDifference("a\n", "a\nb\n"), "line 2:\n  first:  <end>\n  second: b");
  EXPECT_FALSE(FirstDifference("a\n", "a").empty());
}

TEST(DocumentEquality, StatementsAreCountedInTheirSections) {
  struct TCase {
    const char* statement;
    const char* section;
  };
  const TCase cases[] = {
      {"create table T (A NUMBER)", "tables"},
      {"ALTER TABLE APP.T ADD (B DATE)", "tables"},
      {"ALTER TABLE T ADD ( CONSTRAINT C CHECK (A > 0))", "tables"},
      {"CREATE  INDEX I ON T(A)", "tables"},
      {"DROP INDEX I", "tables"},
      {"COMMENT ON COLUMN T.A IS 'x'", "tables"},
      {"CREATE SEQUENCE APP.S START WITH 1", "sequences"},
      {"CREATE OR REPLACE TRIGGER TR\nBEFORE INSERT ON T", "triggers"},
      {"CREATE OR REPLACE FUNCTION F RETURN NUMBER", "functions"},
      {"CREATE OR REPLACE PROCEDURE P IS", "procedures"},
      {"CREATE OR REPLACE VIEW V (A) AS SELECT 1 FROM DUAL", "views"},
      {"REVOKE ALL ON T FROM U", "privileges"},
      {"GRANT SELECT ON T TO U", "privileges"},
      {"CREATE  SYNONYM S FOR T", "synonyms"},
      {"CREATE PUBLIC SYNONYM S FOR T", "synonyms"},
      {"create database link \"L\" connect to U identified by \"<pwd>\" using 'h'", "db_links"},
      {"DROP DATABASE LINK \"L\"", "db_links"},
      {"BEGIN NULL; END;", "other"},
  };
  for (const auto& c : cases) EXPECT_EQ(SectionOfStatement(c.statement), c.section) << c.statement;
}

}  // namespace
}  // namespace skelvane::roundtrip
