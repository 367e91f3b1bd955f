#include "windows/wine_registry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "support/emulator_tool.h"

namespace skelvane::testing {
namespace {

// The 64-bit view, which this 64-bit program reads.
std::string RegAdd(const std::string& key, const std::string& rest) {
  return "reg add " + ShellQuote("HKLM\\" + key) + rest + " /f /reg:64";
}

}  // namespace

void AddRegistryValues(const std::vector<TRegistryValue>& values) {
  std::string command;
  for (const auto& v : values) {
    if (!command.empty()) command += " && ";
    command += RegAdd(v.key, " /v " + ShellQuote(v.value) + " /t " + v.type + " /d " + ShellQuote(v.data));
  }
  if (command.empty()) return;
  std::string output;
  const int status = RunCommand(command, &output);
  ASSERT_EQ(status, 0) << command << "\n" << output;
}

void AddRegistryKey(const std::string& key) {
  std::string output;
  const int status = RunCommand(RegAdd(key, ""), &output);
  ASSERT_EQ(status, 0) << "reg add " << key << ": " << output;
}

void RemoveRegistryKey(const std::string& key) {
  HKEY handle;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &handle) !=
      ERROR_SUCCESS)
    return;
  ::RegDeleteTreeA(handle, nullptr);
  ::RegCloseKey(handle);
  ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), KEY_WOW64_64KEY, 0);
}

}  // namespace skelvane::testing
