// TOracleQuery on the Oracle 7 call interface, reached three ways: UseOCI7
// on the full library, the library without OCI 8, and an OCI 8 logon to a
// server that names itself Oracle 7. The same answers as on OCI 8.
#include <gtest/gtest.h>

#include <functional>

#include "common/platform.h"
#include "emulator_fixture.h"
#include "oracle/client.h"
#include "oracle/field_format.h"
#include "oracle/query.h"
#include "oracle/query_oci7.h"
#include "support/emulator_tool.h"

namespace skelvane::oracle::testing {

namespace {

enum class TRoute { UseOCI7, Oracle7Library, Oracle7Banner };

std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "<no exception>";
}

std::string RouteName(const ::testing::TestParamInfo<TRoute>& info) {
  switch (info.param) {
    case TRoute::UseOCI7: return "UseOCI7";
    case TRoute::Oracle7Library: return "Oracle7Library";
    case TRoute::Oracle7Banner: return "Oracle7Banner";
  }
  return "?";
}

}  // namespace

class QueryOracle7Test : public EmulatorTest, public ::testing::WithParamInterface<TRoute> {
 protected:
  void SetUp() override {
    EmulatorTest::SetUp();
    ResetClientForTests();
    if (GetParam() == TRoute::Oracle7Library) {
      platform::ProcessParameters() = {"OCIDLL=" + ::skelvane::testing::Oracle7EmulatorLibrary()};
    }
    if (GetParam() == TRoute::Oracle7Banner) platform::SetEnv("ORAEMU_BANNER", "Oracle7 Server Release 7.3.4.0.0");
    session.Preferences.UseOCI7 = GetParam() == TRoute::UseOCI7;
  }
  void TearDown() override {
    EmulatorTest::TearDown();
    platform::UnsetEnv("ORAEMU_BANNER");
    ResetClientForTests();
  }
  void LogOn(bool trace = false) {
    EmulatorTest::LogOn(trace);
    ASSERT_FALSE(session.UsesOCI8());
  }
  TOracleQuery q;
};

TEST_P(QueryOracle7Test, BatchesOfTheReadBufferEndWithTheFetchThatFindsNoMore) {
  const struct {
    int rows;
    int fetches;  // ofen calls after the execution's first batch
  } cases[] = {{0, 0}, {24, 0}, {25, 1}, {26, 1}, {50, 2}, {51, 2}};
  LogOn(true);
  q.Session = &session;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rows);
    q.SetSQLText(NumbersQuery(c.rows));
    const int before = CountTrace("FETCH");
    int seen = 0;
    for (q.Execute(); !q.Eof(); q.Next()) {
      ASSERT_EQ(q.FieldText("N"), std::to_string(seen));
      ++seen;
    }
    EXPECT_EQ(seen, c.rows);
    EXPECT_EQ(q.ProcessedRows(), c.rows);
    EXPECT_EQ(CountTrace("FETCH") - before, c.fetches);
  }
}

TEST_P(QueryOracle7Test, ValuesReadAsTheyDoOnOci8) {
  LogOn();
  q.Session = &session;
  q.SetSQLText("select 22 n, null e, 1e27 big, -1.5 d, 'a''b' t from dual");
  q.Execute();
  ASSERT_FALSE(q.Eof());
  EXPECT_EQ(q.FieldText("n"), "22");
  EXPECT_EQ(q.FieldType(q.FieldIndex("n")), TExternalType::Float) << "a literal has no precision";
  EXPECT_EQ(q.FieldText("e"), "");
  EXPECT_EQ(q.FieldText("big"), "1E27");
  EXPECT_EQ(q.FieldText("d"), "-1.5");
  EXPECT_EQ(q.FieldText("t"), "a'b");
  q.Next();
  EXPECT_TRUE(q.Eof());
  EXPECT_EQ(MessageOf([&] { q.FieldText("n"); }), "You cannot access field data beyond Eof");
}

TEST_P(QueryOracle7Test, LongValuesOf100000BytesComeBackWhole) {
  std::string body = "SELECT C\nFROM T\nWHERE 1 = 1";
  for (int i = 0; body.size() < 100000; ++i) body += "\n  AND " + std::to_string(i) + " = " + std::to_string(i);
  RunScript("APPU/secret",
            "CREATE TABLE T (C NUMBER);\nCREATE OR REPLACE VIEW BIGV AS " + body +
                ";\nCREATE OR REPLACE VIEW SMALLV AS SELECT C FROM T;\n");
  LogOn(true);
  q.Session = &session;
  q.SetSQLText("select view_name, text from user_views order by view_name");
  q.Execute();
  ASSERT_FALSE(q.Eof());
  EXPECT_EQ(q.FieldText("view_name"), "BIGV");
  EXPECT_EQ(q.FieldText("text"), NormaliseLineEnds(body));
  session.Preferences.ConvertCRLF = false;
  EXPECT_EQ(q.FieldText("text"), body);
  q.Next();
  ASSERT_FALSE(q.Eof());
  EXPECT_EQ(q.FieldText("text"), "SELECT C FROM T") << "a short value after a long one";
  q.Next();
  EXPECT_TRUE(q.Eof());

  // Bounded LONG columns come in arrays, cut to their buffer.
  TOracleQuery bounded;
  bounded.Session = &session;
  bounded.LongBufferSize = 100;
  bounded.SetSQL(q.SQL());
  bounded.Execute();
  ASSERT_FALSE(bounded.Eof());
  EXPECT_TRUE(bounded.FieldTruncated(1));
  EXPECT_EQ(bounded.FieldBytes(1), body.substr(0, 99));
  bounded.Next();
  EXPECT_FALSE(bounded.FieldTruncated(1));
  EXPECT_EQ(bounded.FieldText("text"), "SELECT C FROM T");
}

TEST_P(QueryOracle7Test, ErrorsGiveTheirLineAndColumnAndTheTextOfOerhms) {
  const struct {
    std::vector<std::string> sql;
    int code;
    const char* message;
    int line, column;
  } cases[] = {
      {{"create table t9 (", "  a numbr(3))"}, 902, "ORA-00902: invalid datatype", 2, 5},
      {{"select *", "from nosuch"}, 942, "ORA-00942: table or view does not exist", 2, 6},
      {{"create table t8 (a number)", "  oops"}, 922, "ORA-00922: missing or invalid option", 2, 3},
  };
  LogOn();
  q.Session = &session;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    q.SetSQL(c.sql);
    try {
      q.Execute();
      FAIL() << "accepted";
    } catch (const EOracleError& e) {
      EXPECT_EQ(e.ErrorCode(), c.code);
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(q.ParseErrorLine(), c.line);
    EXPECT_EQ(q.ParseErrorColumn(), c.column);
    EXPECT_TRUE(q.Eof());
  }
  // The query is usable again afterwards.
  q.SetSQLText("select 1 n from dual");
  q.Execute();
  EXPECT_EQ(q.FieldText("n"), "1");
}

TEST_P(QueryOracle7Test, DdlRunsOnceAndAnUnchangedQueryIsParsedOnce) {
  LogOn(true);
  q.Session = &session;
  q.SetSQLText("create table T3 (ID number)");
  q.Execute();
  EXPECT_EQ(q.StatementType(), 1) << "CREATE TABLE";
  EXPECT_EQ(CountTrace("EXECUTE create table"), 1);
  TOracleQuery tables;
  tables.Session = &session;
  tables.SetSQLText("select table_name from user_tables where table_name = :name");
  tables.AddVariable("name", otString);
  for (const char* name : {"T3", "NOSUCH", "T3"}) {
    tables.AssignVariable("name", TVariant(name));
    tables.Execute();
    EXPECT_EQ(tables.Eof(), std::string(name) == "NOSUCH");
  }
  EXPECT_EQ(CountTrace("PREPARE select table_name"), 1);
  EXPECT_EQ(tables.StatementType(), 4);
  // Close gives the cursor back; the next execution opens and parses anew.
  tables.Close();
  tables.Execute();
  EXPECT_FALSE(tables.Eof());
  EXPECT_EQ(CountTrace("PREPARE select table_name"), 2);
}

TEST_P(QueryOracle7Test, DescribeListsTheColumnsWithoutFetching) {
  LogOn(true);
  q.Session = &session;
  q.SetSQLText("select table_name, num_rows from user_tables");
  q.Describe();
  ASSERT_EQ(q.FieldCount(), 2);
  EXPECT_EQ(q.FieldName(0), "TABLE_NAME");
  EXPECT_EQ(q.FieldType(1), TExternalType::Float);
  EXPECT_EQ(CountTrace("FETCH"), 0);
  EXPECT_EQ(CountTrace("EXECUTE select"), 0);
}

INSTANTIATE_TEST_SUITE_P(Routes, QueryOracle7Test,
                         ::testing::Values(TRoute::UseOCI7, TRoute::Oracle7Library, TRoute::Oracle7Banner),
                         RouteName);

TEST(LongReadSizes, RequestsDoubleFrom4096To32768AndNoReadPassesTheLimit) {
  const std::vector<std::vector<int>> expected = {{4096}, {8192}, {16384}, {32768}, {32768}, {32768}};
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(LongReadSizes(static_cast<int>(i)), expected[i]) << i;
  for (int i = 0; i < 40; ++i) {
    for (int size : LongReadSizes(i)) EXPECT_LE(size, kLongReadLimit);
  }
}

}  // namespace skelvane::oracle::testing
