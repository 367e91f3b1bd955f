// Information the server returns with a statement's success: fetch
// information passes, anything else (a unit created with compilation
// errors) is an error of the statement.
#include <gtest/gtest.h>

#include <string>

#include "emulator_fixture.h"
#include "oracle/oracle_error.h"
#include "oracle/query.h"

namespace skelvane::oracle::testing {

namespace {

struct InfoCase {
  const char* sql;
  int code;  // 0: no error
};

const InfoCase kStatements[] = {
    {"CREATE OR REPLACE PROCEDURE P1 IS\nBEGIN\n  NULL;\nEND;", 0},
    {"CREATE OR REPLACE PROCEDURE P1 IS\nBEGIN\n  NULL;\n", 24344},
    {"CREATE OR REPLACE FUNCTION F1 RETURN VARCHAR2 IS\nBEGIN\n  RETURN 'x;\nEND;", 24344},
    {"CREATE OR REPLACE TRIGGER G1 BEFORE INSERT ON T FOR EACH ROW\nBEGIN\n  NULL;\nEND;\nEND;", 24344},
    {"CREATE OR REPLACE TRIGGER G1 BEFORE INSERT ON T FOR EACH ROW\nBEGIN\n  NULL;\nEND;", 0},
};

}  // namespace

class QueryInfo : public EmulatorTest {};

TEST_F(QueryInfo, SuccessWithInformationIsAnErrorOutsideFetches) {
  RunScript("APPU/secret", "CREATE TABLE T (A VARCHAR2(5));\n");
  LogOn();
  TOracleQuery q;
  q.Session = &session;
  for (const InfoCase& c : kStatements) {
    SCOPED_TRACE(c.sql);
    q.SetSQLText(c.sql);
    if (c.code == 0) {
      EXPECT_NO_THROW(q.Execute());
      continue;
    }
    try {
      q.Execute();
      ADD_FAILURE() << "accepted";
    } catch (const EOracleError& e) {
      EXPECT_EQ(e.ErrorCode(), c.code);
      EXPECT_EQ(e.Message().rfind("ORA-24344: success with compilation error", 0), 0u) << e.Message();
    }
  }
  // The session goes on; a query that finds nothing is no error.
  q.SetSQLText("select a from t where 1 = 0");
  EXPECT_NO_THROW(q.Execute());
  EXPECT_TRUE(q.Eof());
}

}  // namespace skelvane::oracle::testing
