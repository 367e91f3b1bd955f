// Changes to the machine's registry for a test, made with reg.exe as an
// administrator would (under wine: wine reg add), undone by the test.
#ifndef SKELVANE_TESTS_WINDOWS_WINE_REGISTRY_H
#define SKELVANE_TESTS_WINDOWS_WINE_REGISTRY_H

#include <string>
#include <vector>

namespace skelvane::testing {

struct TRegistryValue {
  std::string key;  // below HKEY_LOCAL_MACHINE
  std::string value;
  std::string data;  // no '%' or '"': cmd.exe would expand or split it
  std::string type = "REG_SZ";
};

// One reg.exe add per value, all from one command line (every wine program
// start costs time). Fails the test when reg.exe does.
void AddRegistryValues(const std::vector<TRegistryValue>& values);
void AddRegistryKey(const std::string& key);
// Removes the key and all below it; a missing key is no error. Cleaning up
// is not under test, so it goes through the registry calls directly.
void RemoveRegistryKey(const std::string& key);

}  // namespace skelvane::testing

#endif
