// An emulated database in a temporary folder, with users seeded through
// the engine's own DDL, and helpers to run queries and read results.
#ifndef SKELVANE_TESTS_EMULATOR_QUERY_FIXTURE_H
#define SKELVANE_TESTS_EMULATOR_QUERY_FIXTURE_H

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "support/temp_folder.h"

namespace queryfix {

// A statement's lines joined as the access layer sends them.
std::string Lines(const std::vector<std::string>& lines);

class QueryTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A new user (created by SYSTEM) and its session.
  oraemu::Session& AddUser(const std::string& name);
  // Runs DDL, failing the test when it is refused.
  void Exec(oraemu::Session& s, const std::string& sql);

  oraemu::Result Query(oraemu::Session& s, const std::string& sql,
                       const std::vector<oraemu::Bind>& binds = {});
  // The ORA number a statement fails with (0 when it succeeds).
  int ErrorOf(oraemu::Session& s, const std::string& sql, const std::vector<oraemu::Bind>& binds = {});

  std::shared_ptr<oraemu::Database> db_;
  std::unique_ptr<oraemu::Session> system_;
  std::map<std::string, std::unique_ptr<oraemu::Session>> users_;
  ::skelvane::testing::TTempFolder temp_;
  std::string folder_;
};

// Index of a column by name; -1 when missing.
int ColumnIndex(const oraemu::Result& r, const std::string& name);
// The value of column `name` in row `row` as text ("" for NULL).
std::string Cell(const oraemu::Result& r, size_t row, const std::string& name);
bool IsNull(const oraemu::Result& r, size_t row, const std::string& name);
// One column of every row, as text.
std::vector<std::string> ColumnValues(const oraemu::Result& r, const std::string& name);
std::vector<std::string> ColumnNames(const oraemu::Result& r);

}  // namespace queryfix

#endif
