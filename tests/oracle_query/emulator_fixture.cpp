#include "emulator_fixture.h"

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/platform.h"

namespace skelvane::oracle::testing {

namespace {

std::string Quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

int RunShell(const std::string& command, std::string& output) {
  const std::string file = std::filesystem::temp_directory_path() / ("skelvane-q-" + std::to_string(getpid()));
  int status = std::system((command + " > " + Quote(file) + " 2>&1").c_str());
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  output = text.str();
  std::filesystem::remove(file);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::string BinaryDir() {
  const char* dir = std::getenv("SKELVANE_BINARY_DIR");
  if (dir && *dir) return dir;
  // Test executables live in <build>/bin.
  return std::filesystem::path(platform::ExecutablePath()).parent_path().parent_path().string();
}

std::string NumbersQuery(int count) {
  // Digits crossed with themselves; enough factors for `count`.
  std::string digits = "(select 0 d from dual";
  for (int i = 1; i < 10; ++i) digits += " union all select " + std::to_string(i) + " from dual";
  digits += ")";
  int factors = 1;
  for (int n = 10; n < count; n *= 10) ++factors;
  std::string value, from;
  for (int f = 0; f < factors; ++f) {
    std::string alias = "t" + std::to_string(f);
    value += (f ? " + " : "") + alias + ".d" + (f ? " * " + std::to_string(static_cast<int>(std::pow(10, f))) : "");
    from += (f ? ", " : "") + digits + " " + alias;
  }
  return "select " + value + " n from " + from + " where " + value + " < " + std::to_string(count) +
         " order by 1";
}

void EmulatorTest::SetUp() {
  char folder[] = "/tmp/skelvane-query-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  folder_ = folder;
  const std::string tool = BinaryDir() + "/bin/oraemu-sql";
  ASSERT_TRUE(std::filesystem::exists(tool)) << tool;
  std::string output;
  ASSERT_EQ(RunShell("ORAEMU_DATA=" + Quote(folder_) + " " + Quote(tool) + " create XE --system-password manager",
                output),
            0)
      << output;
  RunScript("SYSTEM/manager", "CREATE USER APPU IDENTIFIED BY secret;\nCREATE USER OTHERU IDENTIFIED BY other;\n"
                              "GRANT CONNECT, RESOURCE, CREATE VIEW, CREATE SYNONYM, CREATE PUBLIC SYNONYM,\n"
                              "  CREATE DATABASE LINK TO APPU, OTHERU;\n"
                              "GRANT SELECT ON SYS.OBJ$ TO APPU;\nGRANT SELECT ON SYS.SYN$ TO APPU;\n"
                              "GRANT SELECT ON SYS.USER$ TO APPU;\nGRANT SELECT ON SYS.OBJ$ TO OTHERU;\n"
                              "GRANT SELECT ON SYS.SYN$ TO OTHERU;\nGRANT SELECT ON SYS.USER$ TO OTHERU;\n");
  platform::SetEnv("ORAEMU_DATA", folder_);
  platform::ProcessParameters() = {"OCIDLL=" + BinaryDir() + "/lib/liboraemu.so"};
}

void EmulatorTest::TearDown() {
  try {
    session.LogOff();
  } catch (...) {
  }
  platform::SetEnv("ORAEMU_TRACE", "");
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

void EmulatorTest::RunScript(const std::string& logon, const std::string& script) {
  const std::string file = folder_ + "/script.sql";
  std::ofstream(file, std::ios::binary) << script;
  std::string output;
  ASSERT_EQ(RunShell("ORAEMU_DATA=" + Quote(folder_) + " " + Quote(BinaryDir() + "/bin/oraemu-sql") + " run XE " +
                    Quote(logon) + " " + Quote(file),
                output),
            0)
      << output;
}

void EmulatorTest::LogOn(bool trace) {
  platform::SetEnv("ORAEMU_TRACE", trace ? TraceFile() : "");
  session.LogonUsername = "APPU";
  session.LogonPassword = "secret";
  session.LogonDatabase = "XE";
  session.LogOn();
}

std::vector<std::string> EmulatorTest::TraceLines() const {
  std::vector<std::string> lines;
  std::ifstream in(TraceFile(), std::ios::binary);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

int EmulatorTest::CountTrace(const std::string& what) const {
  int n = 0;
  for (const auto& line : TraceLines()) {
    std::string rest = line;
    if (!rest.empty() && rest[0] == '#') rest = rest.substr(rest.find(' ') + 1);
    if (rest.compare(0, what.size(), what) == 0) ++n;
  }
  return n;
}

}  // namespace skelvane::oracle::testing
