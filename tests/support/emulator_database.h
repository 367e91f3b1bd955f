// A throw-away emulator database for one test: a fresh folder, a database
// built with oraemu-sql from SQL scripts, and the access layer pointed at
// the emulator library through the OCIDLL= process parameter.
#ifndef SKELVANE_TESTS_SUPPORT_EMULATOR_DATABASE_H
#define SKELVANE_TESTS_SUPPORT_EMULATOR_DATABASE_H

#include <string>

#include "support/emulator_tool.h"
#include "support/temp_folder.h"

namespace skelvane::testing {

class TEmulatorDatabase {
 public:
  static constexpr const char* kSystemPassword = "manager";

  explicit TEmulatorDatabase(std::string id = "XE");
  TEmulatorDatabase(const TEmulatorDatabase&) = delete;
  TEmulatorDatabase& operator=(const TEmulatorDatabase&) = delete;

  const std::string& Id() const { return id_; }
  const std::string& Folder() const { return folder_.Path(); }

  // Runs `script` as `logon` (user/password); every statement must succeed.
  void Run(const std::string& logon, const std::string& script) const;
  void RunAsSystem(const std::string& script) const;

  // Points this process's access layer at the emulator and this database.
  void UseInThisProcess() const;

  // The prefix that gives a child process this database's folder. cmd.exe
  // has no such prefix: on Windows the folder goes through this process's
  // environment, which the child inherits.
#ifdef _WIN32
  std::string Env() const;
#else
  std::string Env() const { return "ORAEMU_DATA=" + ShellQuote(Folder()) + " "; }
#endif

 private:
  std::string id_;
  TTempFolder folder_{"emu"};
};

}  // namespace skelvane::testing

#endif
