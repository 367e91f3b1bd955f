#include "emulator_fixture.h"

#include <cmath>
#include <fstream>

#include "common/platform.h"
#include "support/test_schema.h"

namespace skelvane::oracle::testing {

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
  ASSERT_FALSE(HasFailure()) << "the emulator database could not be created";
  db_.RunAsSystem(::skelvane::testing::kTestUsers);
  db_.UseInThisProcess();
}

void EmulatorTest::TearDown() {
  try {
    session.LogOff();
  } catch (...) {
  }
  platform::SetEnv("ORAEMU_TRACE", "");
}

void EmulatorTest::RunScript(const std::string& logon, const std::string& script) { db_.Run(logon, script); }

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
