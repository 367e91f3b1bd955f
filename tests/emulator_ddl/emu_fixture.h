// A fresh emulated database per test, in its own temporary folder.
#ifndef TESTS_EMULATOR_DDL_EMU_FIXTURE_H
#define TESTS_EMULATOR_DDL_EMU_FIXTURE_H

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "support/temp_folder.h"

class EmuTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs a statement as APP; fails the test when it is refused.
  oraemu::Result Exec(const std::string& sql);
  oraemu::Result ExecAs(oraemu::Session& s, const std::string& sql);
  // Runs a statement that must be refused and returns the error; checks
  // that the stored dictionary did not change.
  oraemu::EOraError Refuse(const std::string& sql);
  oraemu::EOraError RefuseAs(oraemu::Session& s, const std::string& sql);

  // Rows of a storage query, each row's columns joined by "|" (NULL as "~").
  std::vector<std::string> Rows(const std::string& query);
  std::string Row(const std::string& query);
  // Every row of every storage table: compares whole states.
  std::string Snapshot();

  ::skelvane::testing::TTempFolder temp_;
  std::string dir_;
  std::shared_ptr<oraemu::Database> db_;
  std::unique_ptr<oraemu::Session> system_;
  std::unique_ptr<oraemu::Session> app_;
};

#endif
