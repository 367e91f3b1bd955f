#include "export/document_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/map_row.h"

namespace skelvane {
namespace {

using testing::TMapRow;
using testing::TStringSink;

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

TMapRow Column(std::string name, std::string type, std::string precision, std::string scale,
               std::string length, std::string charUsed, std::string nullable,
               std::string defaultValue, std::string comment) {
  return TMapRow{{"column_name", name},       {"data_type", type},
                 {"data_precision", precision}, {"data_scale", scale},
                 {"data_length", length},     {"char_length", length},
                 {"char_used", charUsed},
                 {"nullable", nullable},      {"data_default", defaultValue},
                 {"comments", comment}};
}

TEST(DocumentLayout, TableWithColumnsIndexesAndConstraints) {
  TStringSink sink;
  TDocumentLayout doc(sink);
  // Table comments are written untrimmed, blanks included.
  EXPECT_EQ(doc.OpenTable(TMapRow{{"table_name", "EMP"}, {"comments", "  "}}), "EMP");
  doc.OpenGroup("fields");
  doc.TableColumn(Column("ID", "NUMBER", "10", "0", "22", "", "N", "", ""));
  // Default and comment trimmed; a default with an inner line break keeps it.
  doc.TableColumn(Column("NAME", "VARCHAR2", "", "", "100", "B", "Y", " 'a'\r\n|| 'b' \r\n",
                         "\tthe name "));
  // Blank-only default and comment give no lines; null flag is not trimmed.
  doc.TableColumn(Column("D", "DATE", "", "", "7", "", "Y ", " \r\n", "   "));
  doc.CloseGroup();
  doc.OpenGroup("indexes");
  doc.Index(TIndexData{"EMP_PK", "UNIQUE", "ID"});
  doc.Index(TIndexData{"EMP_I2", "NONUNIQUE", "NAME,D"});
  doc.CloseGroup();
  doc.OpenGroup("constraints");
  doc.Constraint(TConstraintData{"EMP_PK", "P", "EMP_PK", "", "(ID) REFERENCES  ()", "ENABLED"});
  doc.Constraint(TConstraintData{"EMP_CK", "C", "", "ID > 0", "(ID) REFERENCES  ()", "DISABLED"});
  doc.Constraint(
      TConstraintData{"EMP_FK", "R", "", "", "(D) REFERENCES DEPT (D)", "ENABLED"});
  // Only exactly "R" carries the reference.
  doc.Constraint(TConstraintData{"X", "r", "", "", "(D) REFERENCES DEPT (D)", "ENABLED"});
  doc.CloseGroup();
  doc.CloseObject();

  EXPECT_EQ(sink.bytes, Lines({"\t{t ",
                               "\t\t{name EMP}",
                               "\t\t{comments   }",
                               "\t\t{fields",
                               "\t\t\t{f ",
                               "\t\t\t\t{name ID}",
                               "\t\t\t\t{type NUMBER(10,0)}",
                               "\t\t\t\t{null N}",
                               "\t\t\t}",
                               "\t\t\t{f ",
                               "\t\t\t\t{name NAME}",
                               "\t\t\t\t{type VARCHAR2(100 BYTE)}",
                               "\t\t\t\t{null Y}",
                               "\t\t\t\t{default 'a'\r\n|| 'b'}",
                               "\t\t\t\t{comments the name}",
                               "\t\t\t}",
                               "\t\t\t{f ",
                               "\t\t\t\t{name D}",
                               "\t\t\t\t{type DATE}",
                               "\t\t\t\t{null Y }",
                               "\t\t\t}",
                               "\t\t}",
                               "\t\t{indexes",
                               "\t\t\t{i ",
                               "\t\t\t\t{name EMP_PK}",
                               "\t\t\t\t{uniqueness UNIQUE}",
                               "\t\t\t\t{columns ID}",
                               "\t\t\t}",
                               "\t\t\t{i ",
                               "\t\t\t\t{name EMP_I2}",
                               "\t\t\t\t{uniqueness NONUNIQUE}",
                               "\t\t\t\t{columns NAME,D}",
                               "\t\t\t}",
                               "\t\t}",
                               "\t\t{constraints",
                               "\t\t\t{i ",
                               "\t\t\t\t{name EMP_PK}",
                               "\t\t\t\t{type P}",
                               "\t\t\t\t{index EMP_PK}",
                               "\t\t\t\t{expr }",
                               "\t\t\t\t{ref }",
                               "\t\t\t\t{status ENABLED}",
                               "\t\t\t}",
                               "\t\t\t{i ",
                               "\t\t\t\t{name EMP_CK}",
                               "\t\t\t\t{type C}",
                               "\t\t\t\t{index }",
                               "\t\t\t\t{expr ID > 0}",
                               "\t\t\t\t{ref }",
                               "\t\t\t\t{status DISABLED}",
                               "\t\t\t}",
                               "\t\t\t{i ",
                               "\t\t\t\t{name EMP_FK}",
                               "\t\t\t\t{type R}",
                               "\t\t\t\t{index }",
                               "\t\t\t\t{expr }",
                               "\t\t\t\t{ref (D) REFERENCES DEPT (D)}",
                               "\t\t\t\t{status ENABLED}",
                               "\t\t\t}",
                               "\t\t\t{i ",
                               "\t\t\t\t{name X}",
                               "\t\t\t\t{type r}",
                               "\t\t\t\t{index }",
                               "\t\t\t\t{expr }",
                               "\t\t\t\t{ref }",
                               "\t\t\t\t{status ENABLED}",
                               "\t\t\t}",
                               "\t\t}",
                               "\t}"}));
}

TEST(DocumentLayout, SequenceLeavesInOrderFromTheirColumns) {
  TStringSink sink;
  TDocumentLayout doc(sink);
  TMapRow row{{"sequence_name", "S1"}, {"increment_by", "1"},   {"last_number", "21"},
              {"min_value", "1"},      {"max_value", "1E27"},   {"cycle_flag", "N"},
              {"order_flag", "Y"},     {"cache_size", "20"}};
  EXPECT_EQ(doc.Sequence(row), "S1");
  EXPECT_EQ(sink.bytes, Lines({"\t{s ", "\t\t{name S1}", "\t\t{increment_by 1}",
                               "\t\t{last_number 21}", "\t\t{min_value 1}",
                               "\t\t{max_value 1E27}", "\t\t{cycle N}", "\t\t{order Y}",
                               "\t\t{cache 20}", "\t}"}));
}

TEST(DocumentLayout, TriggerBodyLosesTrailingBlankLinesRoutineKeepsItsLineEnd) {
  TStringSink sink;
  TDocumentLayout doc(sink);
  EXPECT_EQ(doc.Trigger(TMapRow{{"trigger_name", "TRG"},
                                {"status", "ENABLED"},
                                {"description", "TRG before insert on EMP\r\n"},
                                {"trigger_body", "begin\r\n  null;\r\nend;\r\n\r\n \t"}}),
            "TRG");
  doc.Routine('f', TFuncData{"F1", "function F1 return number is\r\nbegin return 1; end;\r\n"});
  doc.Routine('p', TFuncData{"P1", "procedure P1 is begin null; end;"});
  EXPECT_EQ(sink.bytes,
            Lines({"\t{t ", "\t\t{name TRG}", "\t\t{trigger_body",
                   "TRG before insert on EMP\r\nbegin\r\n  null;\r\nend;", "\t\t}", "\t}",
                   "\t{f ", "\t\t{name F1}", "\t\t{text",
                   "function F1 return number is\r\nbegin return 1; end;\r\n", "\t\t}", "\t}",
                   "\t{p ", "\t\t{name P1}", "\t\t{text", "procedure P1 is begin null; end;",
                   "\t\t}", "\t}"}));
  // The kept line end leaves an empty line before the closing brace.
  EXPECT_NE(sink.bytes.find("end;\r\n\r\n\t\t}"), std::string::npos);
}

TEST(DocumentLayout, EmptyTriggerTextGivesEmptyLine) {
  TStringSink sink;
  TDocumentLayout doc(sink);
  doc.Trigger(TMapRow{{"trigger_name", "T"}, {"status", "ENABLED"}, {"description", " \r\n"}, {"trigger_body", ""}});
  EXPECT_EQ(sink.bytes, Lines({"\t{t ", "\t\t{name T}", "\t\t{trigger_body", "", "\t\t}", "\t}"}));
}

TEST(DocumentLayout, DisabledTriggerAloneGetsAStatusLeaf) {
  struct TCase {
    const char* status;
    bool leaf;
  };
  for (const TCase c : {TCase{"DISABLED", true}, TCase{"ENABLED", false}, TCase{"", false}}) {
    SCOPED_TRACE(c.status);
    TStringSink sink;
    TDocumentLayout doc(sink);
    doc.Trigger(TMapRow{{"trigger_name", "T"}, {"status", c.status}, {"description", "T after insert on E\r\n"},
                        {"trigger_body", "begin null; end;"}});
    std::vector<std::string> lines = {"\t{t ", "\t\t{name T}", "\t\t{trigger_body", "T after insert on E\r\nbegin null; end;",
                                      "\t\t}"};
    if (c.leaf) lines.push_back("\t\t{status DISABLED}");
    lines.push_back("\t}");
    EXPECT_EQ(sink.bytes, Lines(lines));
  }
}

TEST(DocumentLayout, GeneratedColumnCarriesItsClauseAndNoDefault) {
  struct TCase {
    const char* clause;
    const char* type;
    bool hasDefault;
  };
  const TCase cases[] = {
      {"", "NUMBER(10)", true},
      {"GENERATED BY DEFAULT ON NULL AS IDENTITY", "NUMBER(10) GENERATED BY DEFAULT ON NULL AS IDENTITY", false},
      {"GENERATED ALWAYS AS (\"A\"*2) VIRTUAL", "NUMBER(10) GENERATED ALWAYS AS (\"A\"*2) VIRTUAL", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.type);
    TStringSink sink;
    TDocumentLayout doc(sink);
    doc.TableColumn(Column("ID", "NUMBER", "10", "", "22", "", "N", "\"APP\".\"ISEQ$$_7\".nextval ", ""), c.clause);
    std::vector<std::string> lines = {"\t\t\t{f ", "\t\t\t\t{name ID}", std::string("\t\t\t\t{type ") + c.type + "}",
                                      "\t\t\t\t{null N}"};
    if (c.hasDefault) lines.push_back("\t\t\t\t{default \"APP\".\"ISEQ$$_7\".nextval}");
    lines.push_back("\t\t\t}");
    EXPECT_EQ(sink.bytes, Lines(lines));
  }
}

TEST(DocumentLayout, ViewWithTextCommentAndColumns) {
  TStringSink sink;
  TDocumentLayout doc(sink);
  EXPECT_EQ(doc.OpenView(TMapRow{{"view_name", "V"},
                                 {"text", "select ID\r\nfrom EMP "},
                                 {"comments", " all "}}),
            "V");
  doc.ViewColumn(TMapRow{{"column_name", "ID"}, {"comments", " key "}});
  doc.ViewColumn(TMapRow{{"column_name", "N"}, {"comments", " "}});
  doc.CloseGroup();
  doc.CloseObject();
  EXPECT_EQ(sink.bytes, Lines({"\t{v ", "\t\t{name V}", "\t\t{text", "select ID\r\nfrom EMP ",
                               "\t\t}", "\t\t{comments  all }", "\t\t{fields", "\t\t\t{f ",
                               "\t\t\t\t{name ID}", "\t\t\t\t{comments key}", "\t\t\t}",
                               "\t\t\t{f ", "\t\t\t\t{name N}", "\t\t\t}", "\t\t}", "\t}"}));
}

TEST(DocumentLayout, SynonymPrivilegeAndLinkEntries) {
  TStringSink sink;
  TDocumentLayout doc(sink);
  EXPECT_EQ(doc.Synonym(TMapRow{{"o_name", "EMP"}, {"s_name", "E"}, {"grantee", ""}}), "EMP");
  EXPECT_EQ(doc.Privilege(TMapRow{{"table_name", "EMP"}, {"grantee", "R1"}}, "SELECT,UPDATE"),
            "EMP");
  EXPECT_EQ(doc.DbLink(TMapRow{{"db_link", "L.WORLD"},
                               {"username", "U"},
                               {"password", ""},
                               {"host", "XE"}}),
            "L.WORLD");
  EXPECT_EQ(sink.bytes,
            Lines({"\t{s ", "\t\t{object EMP}", "\t\t{name E}", "\t\t{grantee }", "\t}",
                   "\t{p ", "\t\t{object EMP}", "\t\t{priv SELECT,UPDATE}", "\t\t{grantee R1}",
                   "\t}", "\t{d ", "\t\t{db_link L.WORLD}", "\t\t{username U}",
                   "\t\t{password }", "\t\t{host XE}", "\t}"}));
}

}  // namespace
}  // namespace skelvane
