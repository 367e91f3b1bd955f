// A fresh emulator database per test, built with oraemu-sql, and a session
// of this process logged on to it through the emulator library.
#ifndef SKELVANE_TESTS_ORACLE_QUERY_EMULATOR_FIXTURE_H
#define SKELVANE_TESTS_ORACLE_QUERY_EMULATOR_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "oracle/session.h"
#include "support/emulator_database.h"

namespace skelvane::oracle::testing {

// SELECT text that yields the numbers 0..count-1 in column N, from DUAL only.
std::string NumbersQuery(int count);

class EmulatorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs a script as USER/PASSWORD; each statement must succeed.
  void RunScript(const std::string& logon, const std::string& script);
  // Logs `session` on as APPU; with `trace`, the emulator traces into TraceFile().
  void LogOn(bool trace = false);
  std::string TraceFile() const { return db_.Folder() + "/trace.txt"; }
  std::vector<std::string> TraceLines() const;
  // Trace lines starting with `prefix` after the round-trip number, if any.
  int CountTrace(const std::string& what) const;

  ::skelvane::testing::TEmulatorDatabase db_;
  TOracleSession session;
};

}  // namespace skelvane::oracle::testing

#endif
