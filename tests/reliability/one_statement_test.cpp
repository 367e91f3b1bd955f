// One call runs one statement: a semicolon, a quote or a comment in a text
// the emulator is given cannot make it run a second statement, as Oracle
// does not; so a name in a schema document cannot smuggle one in either.
#include <gtest/gtest.h>

#include <algorithm>

#include "oracle/oracle_error.h"
#include "oracle/query.h"
#include "oracle/session.h"
#include "support/emulator_database.h"
#include "support/test_schema.h"
#include "update/update_support.h"

namespace skelvane::reliability {
namespace {

using ::skelvane::testing::TEmulatorDatabase;

class OneStatementPerCall : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.RunAsSystem(::skelvane::testing::kTestUsers);
    db_.Run("APPU/secret", ::skelvane::testing::kTestSchema);
    db_.UseInThisProcess();
    session_.LogonUsername = "APPU";
    session_.LogonPassword = "secret";
    session_.LogonDatabase = db_.Id();
    session_.LogOn();
  }
  void TearDown() override { session_.LogOff(); }

  // The Oracle error number of running `sql`, 0 when it succeeds.
  int Run(const std::string& sql) {
    oracle::TOracleQuery q;
    q.Session = &session_;
    q.SetSQL({sql});
    try {
      q.Execute();
    } catch (const oracle::EOracleError& e) {
      return e.ErrorCode();
    }
    return 0;
  }
  std::vector<std::string> Column(const std::string& sql) {
    oracle::TOracleQuery q;
    q.Session = &session_;
    q.SetSQL({sql});
    q.Execute();
    std::vector<std::string> values;
    for (; !q.Eof(); q.Next()) values.push_back(q.FieldText(0));
    return values;
  }

  TEmulatorDatabase db_;
  oracle::TOracleSession session_;
};

TEST_F(OneStatementPerCall, ASecondStatementInOneCallIsRefusedAndNothingRuns) {
  const struct {
    const char* sql;
    int error;
  } cases[] = {
      {"CREATE TABLE A1 (X NUMBER); DROP TABLE T1", 911},
      {"CREATE TABLE A1 (X NUMBER);", 911},
      {"DROP TABLE T2; DROP TABLE T1", 911},
      {"COMMENT ON TABLE T1 IS 'x'; DROP TABLE T2", 911},
      {"CREATE SEQUENCE A2; CREATE SEQUENCE A3", 911},
      {"GRANT SELECT ON T1 TO OTHERU; DROP TABLE T2", 911},
      {"DROP INDEX T2_C_I; DROP TABLE T1", 911},
      {"SELECT 1 FROM DUAL; DROP TABLE T1", 911},
  };
  for (const auto& c : cases) EXPECT_EQ(Run(c.sql), c.error) << c.sql;
  EXPECT_EQ(Column("SELECT TABLE_NAME FROM USER_TABLES ORDER BY TABLE_NAME"),
            (std::vector<std::string>{"T1", "T2"}));
  EXPECT_EQ(Column("SELECT SEQUENCE_NAME FROM USER_SEQUENCES ORDER BY SEQUENCE_NAME"),
            (std::vector<std::string>{"S1", "S2"}));
  EXPECT_EQ(Column("SELECT COMMENTS FROM USER_TAB_COMMENTS WHERE TABLE_NAME = 'T1'"),
            (std::vector<std::string>{"first table"}));
}

TEST_F(OneStatementPerCall, SemicolonsInsideQuotesAreOneStatementsText) {
  EXPECT_EQ(Run("CREATE TABLE \"A; DROP TABLE T1\" (X NUMBER)"), 0);
  EXPECT_EQ(Run("COMMENT ON TABLE T1 IS 'it''s; DROP TABLE T2; --'"), 0);
  EXPECT_EQ(Column("SELECT TABLE_NAME FROM USER_TABLES ORDER BY TABLE_NAME"),
            (std::vector<std::string>{"A; DROP TABLE T1", "T1", "T2"}));
  EXPECT_EQ(Column("SELECT COMMENTS FROM USER_TAB_COMMENTS WHERE TABLE_NAME = 'T1'"),
            (std::vector<std::string>{"it's; DROP TABLE T2; --"}));
}

// Through the product: names and texts of a document that try to end the
// statement the compare composes from them.
class HostileDocument : public update_test::UpdateTest {
 protected:
  void SetUp() override {
    Seed("CREATE TABLE KEEP1 (ID NUMBER(10));\nCREATE TABLE KEEP2 (ID NUMBER(10));\n");
  }
  std::vector<std::string> Tables() {
    std::vector<std::string> names;
    const std::string document = Export();
    for (size_t at = 0; (at = document.find("\t{t \r\n\t\t{name ", at)) != std::string::npos;) {
      at += 14;
      names.push_back(document.substr(at, document.find("}\r\n", at) - at));
    }
    return names;
  }
};

TEST_F(HostileDocument, NamesWithQuotesAndSemicolonsSendNoSecondStatement) {
  using update_test::TColumnDoc;
  const std::vector<update_test::TTableDoc> tables = {
      {"KEEP1", "", {{"ID", "NUMBER(10)", "Y"}}, {}, {}},
      {"KEEP2", "", {{"ID", "NUMBER(10)", "Y"}}, {}, {}},
      {"X1\" (ID NUMBER); DROP TABLE KEEP1; --", "", {{"ID", "NUMBER(10)", "Y"}}, {}, {}},
      {"X2", "'; DROP TABLE KEEP2; --", {{"ID", "NUMBER(10)", "Y"}}, {}, {}},
      {"X4", "", {{"ID; DROP TABLE KEEP2", "NUMBER(10)", "Y"}}, {}, {}},
      {"X3", "", {{"ID", "NUMBER(10)", "Y", "0); DROP TABLE KEEP1; --"}}, {}, {}},
  };
  const auto run = Update(update_test::SchemaDocument("OWNER", tables));
  EXPECT_NE(run.exitCode, 2) << run.common << run.err;
  // A statement that carries a smuggled one was refused whole (where the
  // name is not quoted its quote or semicolon breaks the statement).
  int smuggling = 0;
  for (const std::string& sql : run.ddl) {
    // A comment's text is one literal, quotes doubled: it may say anything.
    if (sql.find("DROP TABLE KEEP") == std::string::npos || sql.rfind("COMMENT ON", 0) == 0) continue;
    ++smuggling;
    EXPECT_NE(sql.find(" -> ORA-"), std::string::npos) << sql;
  }
  EXPECT_GE(smuggling, 3);
  // A quote in a comment is doubled: the comment is one literal and is set.
  EXPECT_NE(run.update.find("Add comment"), std::string::npos) << run.update;
  const auto tablesNow = Tables();
  for (const char* kept : {"KEEP1", "KEEP2"})
    EXPECT_NE(std::find(tablesNow.begin(), tablesNow.end(), kept), tablesNow.end()) << kept;
}

}  // namespace
}  // namespace skelvane::reliability
