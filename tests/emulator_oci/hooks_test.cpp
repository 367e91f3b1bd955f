// The test hooks: the trace with its round-trip numbers, the added latency,
// and the planned failure of one round trip.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "oci_client.h"

namespace {

using oci_test::Client;

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class Hooks : public ::testing::Test {
 protected:
  void SetUp() override { oci_test::CreateDatabase("XE", "manager"); }
  void TearDown() override {
    unsetenv("ORAEMU_TRACE");
    unsetenv("ORAEMU_LATENCY_US");
    unsetenv("ORAEMU_FAIL_AFTER");
  }
  oci_test::TempDataDir dir_;
};

TEST_F(Hooks, TraceListsStatementsBindsAndRoundTrips) {
  const std::string trace = dir_.Path() + "/trace.txt";
  setenv("ORAEMU_TRACE", trace.c_str(), 1);
  Client client;
  ASSERT_EQ(client.Logon("XE", "system", "manager"), OCI_SUCCESS);
  client.MustRun("CREATE TABLE T1 (A NUMBER)");
  EXPECT_EQ(client.Rows("select column_name\nfrom user_tab_columns where table_name = :T", {{":T", "T1"}}),
            (std::vector<std::vector<std::string>>{{"A"}}));
  EXPECT_EQ(client.Run("select * from nothing_here"), OCI_ERROR);
  const std::vector<std::string> expected = {
      "LOGON SYSTEM",
      "PREPARE CREATE TABLE T1 (A NUMBER)",
      "#1 EXECUTE CREATE TABLE T1 (A NUMBER)",
      "PREPARE select column_name\\nfrom user_tab_columns where table_name = :T",
      "#2 EXECUTE select column_name\\nfrom user_tab_columns where table_name = :T :T='T1'",
      "#3 FETCH 1",
      "#4 FETCH 0",
      "PREPARE select * from nothing_here",
      "#5 EXECUTE select * from nothing_here",
      "#5 ERROR ORA-00942",
  };
  EXPECT_EQ(Lines(trace), expected);
}

TEST_F(Hooks, TraceShowsEveryKindOfBindValue) {
  const std::string trace = dir_.Path() + "/trace.txt";
  setenv("ORAEMU_TRACE", trace.c_str(), 1);
  Client client;
  ASSERT_EQ(client.Logon("XE", "system", "manager"), OCI_SUCCESS);
  const std::string sql = "select :a, :b, :c, :d from dual";
  OCIStmt* stmt = client.NewStmt();
  OCI(OCIStmtPrepare)(stmt, client.err, reinterpret_cast<const OraText*>(sql.data()), static_cast<ub4>(sql.size()),
                      OCI_NTV_SYNTAX, OCI_DEFAULT);
  char text[] = "it's\nhere";
  int number = -42;
  unsigned char date[7] = {120, 126, 12, 8, 15, 31, 1};  // 2026-12-08 14:30:00
  sb2 null = -1;
  OCIBind* bind = nullptr;
  OCI(OCIBindByPos)(stmt, &bind, client.err, 1, text, sizeof text, SQLT_STR, nullptr, nullptr, nullptr, 0, nullptr, 0);
  OCI(OCIBindByPos)(stmt, &bind, client.err, 2, &number, sizeof number, SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr,
                    0);
  OCI(OCIBindByPos)(stmt, &bind, client.err, 3, date, sizeof date, SQLT_DAT, nullptr, nullptr, nullptr, 0, nullptr, 0);
  OCI(OCIBindByPos)(stmt, &bind, client.err, 4, text, sizeof text, SQLT_STR, &null, nullptr, nullptr, 0, nullptr, 0);
  OCI(OCIStmtExecute)(client.svc, stmt, client.err, 0, 0, nullptr, nullptr, OCI_DESCRIBE_ONLY);
  const std::vector<std::string> lines = Lines(trace);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[2],
            "#1 DESCRIBE select :a, :b, :c, :d from dual :a='it''s\\nhere' :b=-42 :c=DATE '2026-12-08 14:30:00' :d=NULL");
}

TEST_F(Hooks, LatencyIsAddedToEveryRoundTrip) {
  auto timeOneQuery = [] {
    Client client;
    EXPECT_EQ(client.Logon("XE", "system", "manager"), OCI_SUCCESS);
    const auto start = std::chrono::steady_clock::now();
    client.Rows("select user from dual");  // execute and two fetches
    return std::chrono::steady_clock::now() - start;
  };
  // The delay per trip dwarfs the query's own time, however slow the run:
  // a missing delay leaves the query far below three delays, while a sleep
  // never ends early, so only a lower bound is checked.
  const auto plain = timeOneQuery();
  const auto perTrip = std::max<std::chrono::microseconds>(
      std::chrono::milliseconds(100), 2 * std::chrono::duration_cast<std::chrono::microseconds>(plain));
  setenv("ORAEMU_LATENCY_US", std::to_string(perTrip.count()).c_str(), 1);
  const auto slow = timeOneQuery();
  EXPECT_GE(slow, 3 * perTrip);
}

TEST_F(Hooks, PlannedFailureLosesTheConnection) {
  const std::string trace = dir_.Path() + "/trace.txt";
  setenv("ORAEMU_TRACE", trace.c_str(), 1);
  setenv("ORAEMU_FAIL_AFTER", "2", 1);
  Client client;
  ASSERT_EQ(client.Logon("XE", "system", "manager"), OCI_SUCCESS);
  EXPECT_EQ(client.Run("CREATE TABLE T1 (A NUMBER)"), OCI_SUCCESS);
  EXPECT_EQ(client.Run("CREATE TABLE T2 (A NUMBER)"), OCI_ERROR);
  EXPECT_EQ(client.Error().code, 3113);
  EXPECT_EQ(client.Error().text, "ORA-03113: end-of-file on communication channel\n");
  // Every later call on the session fails.
  EXPECT_EQ(client.Run("CREATE TABLE T3 (A NUMBER)"), OCI_ERROR);
  EXPECT_EQ(client.Error().code, 3114);
  EXPECT_EQ(client.Error().text, "ORA-03114: not connected to ORACLE\n");
  OraText banner[100];
  EXPECT_EQ(OCI(OCIServerVersion)(client.svc, client.err, banner, sizeof banner, OCI_HTYPE_SVCCTX), OCI_ERROR);
  ub4 status = 1;
  OCI(OCIAttrGet)(client.srv, OCI_HTYPE_SERVER, &status, nullptr, OCI_ATTR_SERVER_STATUS, client.err);
  EXPECT_EQ(status, static_cast<ub4>(OCI_SERVER_NOT_CONNECTED));
  EXPECT_EQ(OCI(OCISessionEnd)(client.svc, client.err, client.ses, OCI_DEFAULT), OCI_ERROR);
  EXPECT_EQ(client.Error().code, 3114);
  EXPECT_EQ(OCI(OCIServerDetach)(client.srv, client.err, OCI_DEFAULT), OCI_SUCCESS);
  // The failed statement never reached the server.
  unsetenv("ORAEMU_FAIL_AFTER");
  Client other;
  ASSERT_EQ(other.Logon("XE", "system", "manager"), OCI_SUCCESS);
  EXPECT_EQ(other.Rows("select table_name from user_tables order by table_name"),
            (std::vector<std::vector<std::string>>{{"T1"}}));
  const std::vector<std::string> lines = Lines(trace);
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[4], "#2 EXECUTE CREATE TABLE T2 (A NUMBER)");
  EXPECT_EQ(lines[5], "#2 ERROR ORA-03113");
}

}  // namespace
