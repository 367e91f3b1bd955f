#include "support/emulator_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/platform.h"

namespace skelvane::testing {

TEmulatorDatabase::TEmulatorDatabase(std::string id) : id_(std::move(id)) {
  EXPECT_TRUE(std::filesystem::exists(EmulatorLibrary())) << EmulatorLibrary();
  EXPECT_TRUE(std::filesystem::exists(EmulatorTool())) << EmulatorTool();
  std::string output;
  int status = RunCommand(Env() + ShellQuote(EmulatorTool()) + " create " + id_ +
                              " --system-password " + kSystemPassword,
                          &output);
  EXPECT_EQ(status, 0) << output;
}

#ifdef _WIN32
std::string TEmulatorDatabase::Env() const {
  platform::SetEnv("ORAEMU_DATA", Folder());
  return {};
}
#endif

void TEmulatorDatabase::Run(const std::string& logon, const std::string& script) const {
  std::string file = folder_ / "script.sql";
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
  platform::SetEnv("ORAEMU_DATA", Folder());
  platform::ProcessParameters() = {"OCIDLL=" + EmulatorLibrary()};
}

}  // namespace skelvane::testing
