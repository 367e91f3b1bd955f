#include "support/emulator_tool.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/platform.h"

namespace skelvane::testing {

std::string BinaryDir() {
  const char* dir = std::getenv("SKELVANE_BINARY_DIR");
  if (dir && *dir) return dir;
  // Test executables live in <build>/bin.
  return std::filesystem::path(platform::ExecutablePath()).parent_path().parent_path().string();
}

#ifdef _WIN32
std::string EmulatorLibrary() { return BinaryDir() + "\\bin\\oraemu.dll"; }
std::string EmulatorTool() { return BinaryDir() + "\\bin\\oraemu-sql.exe"; }

// One word for cmd.exe; a test never passes a double quote itself.
std::string ShellQuote(const std::string& text) { return "\"" + text + "\""; }

int RunCommand(const std::string& command, std::string* output) {
  char folder[MAX_PATH + 1], name[MAX_PATH + 1];
  const DWORD length = ::GetTempPathA(sizeof folder, folder);
  if (length == 0 || length >= sizeof folder || !::GetTempFileNameA(folder, "skv", 0, name)) return -1;
  // cmd /c drops the first and the last double quote of a line that holds
  // more than two, and keeps the rest as it is.
  const int status = std::system(("\"" + command + " > \"" + name + "\" 2>&1\"").c_str());
  if (output) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    *output = text.str();
  }
  std::remove(name);
  return status;
}
#else
std::string EmulatorLibrary() { return BinaryDir() + "/lib/liboraemu.so"; }
std::string Oracle7EmulatorLibrary() { return BinaryDir() + "/lib/liboraemu7.so"; }
std::string Oci8OnlyEmulatorLibrary() { return BinaryDir() + "/lib/liboraemu8.so"; }
std::string EmulatorTool() { return BinaryDir() + "/bin/oraemu-sql"; }

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

int RunCommand(const std::string& command, std::string* output) {
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
#endif

std::string OwnerGrants(const std::string& user, const std::string& password) {
  return "CREATE USER " + user + " IDENTIFIED BY " + password + ";\n" +
         "GRANT CONNECT, RESOURCE, CREATE VIEW, CREATE SYNONYM, CREATE PUBLIC SYNONYM,\n" +
         "  CREATE DATABASE LINK TO " + user + ";\n" +
         "GRANT SELECT ON SYS.OBJ$ TO " + user + ";\n" +
         "GRANT SELECT ON SYS.SYN$ TO " + user + ";\n" +
         "GRANT SELECT ON SYS.USER$ TO " + user + ";\n";
}

}  // namespace skelvane::testing
