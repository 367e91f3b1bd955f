// A throw-away emulator database for one test: a fresh folder, a database
// built with oraemu-sql from SQL scripts, and the access layer pointed at
// the emulator library through the OCIDLL= process parameter.
#ifndef SKELVANE_TESTS_DICTIONARY_EMU_FIXTURE_H
#define SKELVANE_TESTS_DICTIONARY_EMU_FIXTURE_H

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/platform.h"

namespace skelvane::testing {

inline std::string BinaryDir() {
  const char* dir = std::getenv("SKELVANE_BINARY_DIR");
  return dir ? dir : "";
}
inline std::string EmulatorLibrary() { return BinaryDir() + "/lib/liboraemu.so"; }
inline std::string EmulatorTool() { return BinaryDir() + "/bin/oraemu-sql"; }

inline std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs a shell command; returns its exit status and fills `output` with
// what it wrote to standard output and standard error.
inline int RunCommand(const std::string& command, std::string* output = nullptr) {
  char name[] = "/tmp/skelvane-cmd-XXXXXX";
  int fd = mkstemp(name);
  if (fd >= 0) close(fd);
  int status = std::system(("(" + command + ") > " + name + " 2>&1").c_str());
  if (output) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    *output = text.str();
  }
  std::remove(name);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class EmuDatabase {
 public:
  static constexpr const char* kSystemPassword = "manager";

  explicit EmuDatabase(std::string id = "XE") : id_(std::move(id)) {
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
  ~EmuDatabase() {
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }
  EmuDatabase(const EmuDatabase&) = delete;
  EmuDatabase& operator=(const EmuDatabase&) = delete;

  const std::string& Id() const { return id_; }
  const std::string& Folder() const { return folder_; }

  // Runs `script` as `logon` (user/password); every statement must succeed.
  void Run(const std::string& logon, const std::string& script) {
    std::string file = folder_ + "/script.sql";
    std::ofstream(file, std::ios::binary) << script;
    std::string output;
    int status = RunCommand(Env() + ShellQuote(EmulatorTool()) + " run " + id_ + " " +
                                ShellQuote(logon) + " " + ShellQuote(file),
                            &output);
    ASSERT_EQ(status, 0) << output;
  }
  void RunAsSystem(const std::string& script) {
    Run(std::string("SYSTEM/") + kSystemPassword, script);
  }

  // Points this process's access layer at the emulator and this database.
  void UseInThisProcess() const {
    platform::SetEnv("ORAEMU_DATA", folder_);
    platform::ProcessParameters() = {"OCIDLL=" + EmulatorLibrary()};
  }

  // The prefix that gives a child process this database's folder.
  std::string Env() const { return "ORAEMU_DATA=" + ShellQuote(folder_) + " "; }

 private:
  std::string id_;
  std::string folder_;
};

}  // namespace skelvane::testing

#endif
