// Triggers, stored routines and views: compared as right-trimmed texts (and
// column lists for views), replaced from the document when they differ.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "update/code_steps.h"
#include "update/compare2_support.h"

namespace skelvane::update_test {
namespace {

using Strings = std::vector<std::string>;

const char kTable[] = "CREATE TABLE T1 (ID NUMBER, N NUMBER);\n";

std::string Trigger(const std::string& name, const std::string& text) {
  return Node('t', {{"name", name}, {"trigger_body", text}});
}

std::string Routine(char letter, const std::string& name, const std::string& text) {
  return Node(letter, {{"name", name}, {"text", text}});
}

std::string View(const std::string& name, const std::string& text, const Strings& columns) {
  std::string out = "\t{v \r\n" + Entry(2, "name", name) + Entry(2, "text", text);
  if (columns.empty()) return out + "\t\t{fields }\r\n\t}\r\n";
  out += "\t\t{fields\r\n";
  for (const std::string& column : columns) out += "\t\t\t{f \r\n" + Entry(4, "name", column) + "\t\t\t}\r\n";
  return out + "\t\t}\r\n\t}\r\n";
}

// A trigger's text as the export writes it: description and body, lines
// ended by CR LF as the session delivers them.
std::string TriggerText(const std::string& name, const std::string& statement) {
  return name + " BEFORE INSERT ON T1 FOR EACH ROW\r\n" + statement;
}

// A text as the access layer sends it: lines ended by LF alone.
std::string Sent(const std::string& text) {
  std::string sent;
  for (char c : text) {
    if (c != '\r') sent += c;
  }
  return sent;
}

// The comment step that follows every view logs its own progress lines.
std::string WithoutCommentChecks(const std::string& log) {
  static const std::string kCommentLine = "\tCheck comment";
  std::string kept;
  size_t start = 0;
  while (start < log.size()) {
    size_t end = log.find('\n', start);
    end = end == std::string::npos ? log.size() : end + 1;
    if (log.compare(start, kCommentLine.size(), kCommentLine) != 0) kept += log.substr(start, end - start);
    start = end;
  }
  return kept;
}

class CodeSteps : public TracedUpdateTest {
 protected:
  CodeSteps() { Seed(kTable); }
};

TEST_F(CodeSteps, TextsAreComparedRightTrimmedAndCaseSensitively) {
  Seed("CREATE TRIGGER TRSAME BEFORE INSERT ON T1 FOR EACH ROW\nBEGIN\n  :new.N := 1;\nEND;\n/\n"
       "CREATE TRIGGER TRCASE BEFORE INSERT ON T1 FOR EACH ROW\nBEGIN\n  :new.N := 2;\nEND;\n/\n"
       "CREATE TRIGGER TRLOW BEFORE INSERT ON T1 FOR EACH ROW\nBEGIN\n  :new.N := 3;\nEND;\n/\n"
       "CREATE FUNCTION FSAME RETURN NUMBER IS\nBEGIN\n  RETURN 1;\nEND;\n/\n"
       "CREATE FUNCTION FSPACE RETURN NUMBER IS\nBEGIN\n  RETURN 2;\nEND;\n/\n"
       "CREATE PROCEDURE PSAME IS\nBEGIN\n  NULL;\nEND;\n/\n");
  const std::string body1 = "BEGIN\r\n  :new.N := 1;\r\nEND;";
  const std::string body2 = "BEGIN\r\n  :new.N := 2;\r\nEND;";
  const std::string body3 = "BEGIN\r\n  :new.N := 3;\r\nEND;";
  const std::string fspace = "FUNCTION FSPACE RETURN NUMBER IS\r\nBEGIN\r\n  RETURN  2;\r\nEND;";
  const std::string pnew = "PROCEDURE PNEW IS\r\nBEGIN\r\n  NULL;\r\nEND;";

  const TTracedRun run = Run(
      Section("triggers",
              // Trailing blanks and line ends do not count.
              Trigger("TRSAME", TriggerText("TRSAME", body1) + "   \r\n   ") +
                  Trigger("TRCASE", TriggerText("TRCASE", "begin\r\n  :new.N := 2;\r\nEND;")) +
                  // The server finds triggers by their exact name.
                  Trigger("trlow", TriggerText("TRLOW", body3)) +
                  Trigger("TRNEW", TriggerText("TRNEW", body1))) +
      Section("functions",
              Routine('f', "FSAME", "FUNCTION FSAME RETURN NUMBER IS\r\nBEGIN\r\n  RETURN 1;\r\nEND;\r\n ") +
                  // Found whatever the case of the name; the text differs inside.
                  Routine('f', "fspace", fspace)) +
      Section("procedures", Routine('p', "PSAME", "PROCEDURE PSAME IS\r\nBEGIN\r\n  NULL;\r\nEND;") +
                                Routine('p', "PNEW", pnew)));

  EXPECT_EQ(run.statements, (Strings{
                                Sent("CREATE OR REPLACE TRIGGER " +
                                     TriggerText("TRCASE", "begin\r\n  :new.N := 2;\r\nEND;")),
                                Sent("CREATE OR REPLACE TRIGGER " + TriggerText("TRLOW", body3)),
                                Sent("CREATE OR REPLACE TRIGGER " + TriggerText("TRNEW", body1)),
                                Sent("CREATE OR REPLACE " + fspace),
                                Sent("CREATE OR REPLACE " + pnew),
                            }));
  EXPECT_EQ(run.common, CommonLog({.triggers = "\t\tcreate trigger TRCASE\n\t\tcreate trigger trlow\n"
                                               "\t\tcreate trigger TRNEW\n",
                                   .functions = "\t\tcreate function fspace\n",
                                   .procedures = "\t\tcreate procedure PNEW\n"}));
  EXPECT_EQ(run.update, UpdateLog({"\t\tcreate trigger TRCASE", "\t\tcreate trigger trlow",
                                   "\t\tcreate trigger TRNEW", "\t\tcreate function fspace",
                                   "\t\tcreate procedure PNEW"}));
  EXPECT_EQ(run.exitCode, 0);
}

TEST_F(CodeSteps, ViewsAreReplacedWhenTextOrColumnListDiffer) {
  Seed("CREATE VIEW VSAME (A, B) AS SELECT ID, N FROM T1;\n"
       "CREATE VIEW VORDER (A, B) AS SELECT ID, N FROM T1;\n"
       "CREATE VIEW VCASE AS SELECT ID, N FROM T1;\n"
       "CREATE VIEW VNOCOLS (A, B) AS SELECT ID, N FROM T1;\n"
       "CREATE VIEW VTEXT AS SELECT ID, N FROM T1;\n");
  const std::string text = "SELECT ID, N FROM T1";
  const TTracedRun run = Run(Section(
      "views", View("VSAME", text + " \r\n", {"A", "B"}) + View("VORDER", text, {"B", "A"}) +
                   View("VCASE", text, {"Id", "N"}) + View("VNOCOLS", text, {}) +
                   View("VTEXT", "SELECT ID, N FROM T1 WHERE ID > 0", {"ID", "N"}) +
                   View("VNEW", "SELECT 1 ONE FROM DUAL", {}) +
                   // A missing base table: refused, and the run goes on.
                   View("VBAD", "SELECT X FROM NO_SUCH_TABLE", {"X"})));

  EXPECT_EQ(run.statements,
            (Strings{
                "CREATE OR REPLACE VIEW VORDER (B, A) AS " + text,
                "CREATE OR REPLACE VIEW VCASE (Id, N) AS " + text,
                "CREATE OR REPLACE VIEW VNOCOLS AS " + text,
                "CREATE OR REPLACE VIEW VTEXT (ID, N) AS SELECT ID, N FROM T1 WHERE ID > 0",
                "CREATE OR REPLACE VIEW VNEW AS SELECT 1 ONE FROM DUAL",
                "CREATE OR REPLACE VIEW VBAD (X) AS SELECT X FROM NO_SUCH_TABLE -> ORA-00942",
            }));
  EXPECT_EQ(WithoutCommentChecks(MaskRejections(run.common)),
            CommonLog({.views = "Analize view \"VSAME\"\n"
                                "Analize view \"VORDER\"\n\tCreate view \"VORDER\"\n"
                                "Analize view \"VCASE\"\n\tCreate view \"VCASE\"\n"
                                "Analize view \"VNOCOLS\"\n\tCreate view \"VNOCOLS\"\n"
                                "Analize view \"VTEXT\"\n\tCreate view \"VTEXT\"\n"
                                "Analize view \"VNEW\"\n\tCreate view \"VNEW\"\n"
                                "Analize view \"VBAD\"\n<rejected ORA-00942>\n"}));
  EXPECT_EQ(run.update, UpdateLog({"\tCreate view \"VORDER\"", "\tCreate view \"VCASE\"",
                                   "\tCreate view \"VNOCOLS\"", "\tCreate view \"VTEXT\"",
                                   "\tCreate view \"VNEW\""}));
  EXPECT_EQ(Query("select table_name, column_name from user_tab_cols where table_name in "
                  "('VORDER', 'VNOCOLS') order by table_name, column_id"),
            (Strings{"VNOCOLS|ID", "VNOCOLS|N", "VORDER|B", "VORDER|A"}));
}

TEST_F(CodeSteps, ExportedCodeIsRebuiltAsItWasAndThenLeftAlone) {
  Seed("CREATE TRIGGER TR1 BEFORE INSERT OR UPDATE ON T1 FOR EACH ROW\n"
       "DECLARE\n  x NUMBER;\nBEGIN\n  :new.N := LENGTH('it''s');\nEND;\n/\n"
       "CREATE FUNCTION F1 (a IN NUMBER) RETURN NUMBER IS\nBEGIN\n  RETURN a + 1;\nEND;\n/\n"
       "CREATE PROCEDURE P1 IS\nBEGIN\n  NULL;\nEND;\n/\n"
       "CREATE VIEW V1 (A, B) AS SELECT ID, N FROM T1;\n"
       "CREATE VIEW V2 AS SELECT * FROM T1;\n"
       "CREATE VIEW V3 AS SELECT 'x' X FROM DUAL;\n");
  const Strings kSections{"triggers", "functions", "procedures", "views"};
  const std::string before = ExportedSections(Export(), kSections);

  const TTracedRun same = Run(before);
  EXPECT_EQ(same.statements, Strings{});
  EXPECT_EQ(same.update, "");

  Seed("DROP TRIGGER TR1;\nDROP FUNCTION F1;\nDROP PROCEDURE P1;\n"
       "DROP VIEW V1;\nDROP VIEW V2;\nDROP VIEW V3;\n");
  const TTracedRun rebuild = Run(before);
  EXPECT_EQ(rebuild.update,
            UpdateLog({"\t\tcreate trigger TR1", "\t\tcreate function F1", "\t\tcreate procedure P1",
                       "\tCreate view \"V1\"", "\tCreate view \"V2\"", "\tCreate view \"V3\""}));
  EXPECT_EQ(rebuild.exitCode, 0);
  EXPECT_EQ(WithoutEmptyLines(ExportedSections(Export(), kSections)), before);

  const TTracedRun again = Run(before);
  EXPECT_EQ(again.statements, Strings{});
  EXPECT_EQ(again.update, "");
}

}  // namespace
}  // namespace skelvane::update_test

namespace skelvane::update_test {
namespace {

// What a trigger fires on decides whether it waits for the views.
TEST(TriggerTarget, IsTheObjectAfterTheFirstOnOfTheHeader) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"V_IO\n INSTEAD OF UPDATE ON v_loans\n FOR EACH ROW\nBEGIN NULL; END;", "V_LOANS"},
      {"T_BI BEFORE INSERT OR UPDATE OF ON_HAND ON T1 FOR EACH ROW BEGIN NULL; END;", "T1"},
      {"T_BI BEFORE INSERT ON app.orders BEGIN NULL; END;", "ORDERS"},
      {"T_Q BEFORE INSERT ON \"Mixed Case\" BEGIN NULL; END;", "Mixed Case"},
      {"T_Q BEFORE INSERT ON app.\"Mixed\" BEGIN NULL; END;", "Mixed"},
      {"T_N INSTEAD OF INSERT ON NESTED TABLE lines OF v_orders FOR EACH ROW BEGIN NULL; END;", "V_ORDERS"},
      {"T_C FOR INSERT ON v_sum COMPOUND TRIGGER INSTEAD OF EACH ROW IS BEGIN NULL; END INSTEAD OF EACH ROW; END;",
       "V_SUM"},
      {"T_DDL AFTER CREATE ON SCHEMA BEGIN NULL; END;", ""},
      {"T_DB AFTER LOGON ON DATABASE BEGIN NULL; END;", ""},
      {"T_X BEFORE INSERT", ""},
      {"", ""},
  };
  for (const auto& [text, target] : cases) EXPECT_EQ(TriggerTarget(text), target) << text;
}

}  // namespace
}  // namespace skelvane::update_test
