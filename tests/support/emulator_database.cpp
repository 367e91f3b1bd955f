#include "support/emulator_database.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "common/platform.h"

namespace skelvane::testing {

TEmulatorDatabase::TEmulatorDatabase(std::string id) : id_(std::move(id)) {
  char folder[] = "/tmp/skelvane-emu-XXXXXX";
  if (mkdtemp(folder)) folder_ = folder;
  EXPECT_FALSE(folder_.empty());
  EXPECT_TRUE(std::filesystem::exists(EmulatorLibrary())) << EmulatorLibrary();
  EXPECT_TRUE(std::filesystem::exists(EmulatorTool())) << EmulatorTool();
  std::string output;
  int status = RunCommand(Env() + ShellQuote(EmulatorTool()) + " create " + id_ +
                              " --system-password " + kSystemPassword,
                          &output);
  EXPECT_EQ(status, 0) << output;
}

TEmulatorDatabase::~TEmulatorDatabase() {
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

void TEmulatorDatabase::Run(const std::string& logon, const std::string& script) const {
  std::string file = folder_ + "/script.sql";
  std::ofstream(file, std::ios::binary) << script;
  std::string output;
  int status = RunCommand(Env() + ShellQuote(EmulatorTool()) + " run " + id_ + " " +
                              ShellQuote(logon) + " " + ShellQuote(file),
                          &output);
  ASSERT_EQ(status, 0) << output;
}

void TEmulatorDatabase::RunAsSystem(const std::string& script) const {
  Run(std::string("SYSTEM/") + kSystemPassword, script);
}

void TEmulatorDatabase::UseInThisProcess() const {
  platform::SetEnv("ORAEMU_DATA", folder_);
  platform::ProcessParameters() = {"OCIDLL=" + EmulatorLibrary()};
}

}  // namespace skelvane::testing
