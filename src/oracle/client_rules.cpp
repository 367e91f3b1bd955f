#include "oracle/client_rules.h"

#include <algorithm>
#include <cstdlib>

#include "common/platform.h"
#include "common/text.h"

namespace skelvane::oracle {

namespace {

constexpr const char* kOracleKey = "SOFTWARE\\ORACLE";

bool AllDigits(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string WithSeparator(const TClientRules& rules, const std::string& path) {
  if (!path.empty() && path.back() == rules.separator) return path;
  return path + rules.separator;
}

std::string BinOf(const TClientRules& rules, const std::string& home) {
  return WithSeparator(rules, home) + rules.binFolder;
}

bool ValidInteger(const std::string& text, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  const size_t start = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  return end && *end == '\0' && AllDigits(text.substr(start));
}

}  // namespace

TClientRules TClientRules::Windows(char separator, char listSeparator) {
  TClientRules rules;
  rules.separator = separator;
  rules.listSeparator = listSeparator;
  rules.binFolder = "bin";
  rules.libraryFile = "oci.dll";
  rules.versionedPattern = "ora*.dll";
  rules.versionRule = TVersionRule::OraDll;
  rules.searchVariable = "PATH";
  rules.loaderPathVariable = "Path";
  rules.ignoreCase = true;
  rules.retryFromLibraryFolder = true;
  rules.bareNameFallback = false;
  return rules;
}

TClientRules TClientRules::Linux() {
  TClientRules rules;
  rules.separator = '/';
  rules.listSeparator = ':';
  rules.binFolder = "lib";
  rules.libraryFile = "libclntsh.so";
  rules.versionedPattern = "libclntsh.so.*";
  rules.versionRule = TVersionRule::SharedObject;
  rules.searchVariable = "LD_LIBRARY_PATH";
  // A full-path dlopen finds the client's own dependencies, and the loader
  // reads LD_LIBRARY_PATH only at process start.
  rules.loaderPathVariable.clear();
  rules.ignoreCase = false;
  rules.retryFromLibraryFolder = false;
  rules.bareNameFallback = true;
  rules.noClientHint =
      "Point the tool at an Oracle client: set ORACLE_HOME to the client's folder, put the "
      "folder that holds libclntsh.so on LD_LIBRARY_PATH, or pass OCIDLL=/path/to/libclntsh.so.";
  return rules;
}

TClientRules TClientRules::Native() {
#ifdef _WIN32
  return Windows();
#else
  return Linux();
#endif
}

double CandidateVersion(const TClientRules& rules, const std::string& fileName) {
  if (!platform::WildcardMatch(rules.versionedPattern, fileName, rules.ignoreCase)) return 0;
  std::string digits;
  if (rules.versionRule == TVersionRule::OraDll) {
    const std::string upper = AnsiUpperCase(fileName);
    const size_t start = upper.compare(3, 2, "NT") == 0 ? 5 : 3;
    const size_t dot = fileName.find('.', start);
    if (dot == std::string::npos || dot < start) return 0;
    digits = fileName.substr(start, dot - start);
    if (!AllDigits(digits)) return 0;
    return std::strtod(("0." + digits).c_str(), nullptr);
  }
  // libclntsh.so.N or libclntsh.so.N.M
  digits = fileName.substr(rules.libraryFile.size() + 1);
  const size_t dot = digits.find('.');
  if (dot == std::string::npos) {
    if (!AllDigits(digits)) return 0;
  } else if (!AllDigits(digits.substr(0, dot)) || !AllDigits(digits.substr(dot + 1))) {
    return 0;
  }
  return std::strtod(digits.c_str(), nullptr);
}

std::vector<TOracleHome> OracleHomeList(const platform::TRegistryReader& registry,
                                       const TClientRules& rules) {
  std::vector<TOracleHome> homes;
  auto add = [&homes](const std::string& name, int number) {
    const std::string upper = AnsiUpperCase(name);
    auto at = std::lower_bound(homes.begin(), homes.end(), upper,
                               [](const TOracleHome& h, const std::string& u) {
                                 return AnsiUpperCase(h.name) < u;
                               });
    if (at != homes.end() && AnsiUpperCase(at->name) == upper) return;  // a second home of that name
    homes.insert(at, TOracleHome{name, number});
  };

  long counter = 0;
  if (ValidInteger(registry.ReadString(std::string(kOracleKey) + "\\ALL_HOMES", "HOME_COUNTER"),
                   counter)) {
    const long wanted = std::max(counter, 1L);
    long counted = 0;
    for (int number = 0; number <= 999 && counted < wanted; ++number) {
      const std::string key = std::string(kOracleKey) + "\\HOME" + std::to_string(number);
      const std::string home = registry.ReadString(key, "ORACLE_HOME");
      const std::string name = registry.ReadString(key, "ORACLE_HOME_NAME");
      if (home.empty() || name.empty() || !platform::DirectoryExists(BinOf(rules, home))) continue;
      add(name, number);
      ++counted;
    }
  }
  for (const auto& sub : registry.SubKeys(kOracleKey)) {
    if (sub.size() < 4 || AnsiUpperCase(sub.substr(0, 4)) != "KEY_") continue;
    const std::string home = registry.ReadString(std::string(kOracleKey) + "\\" + sub, "ORACLE_HOME");
    if (home.empty() || !platform::DirectoryExists(BinOf(rules, home))) continue;
    add(sub.substr(4), -1);
  }
  return homes;
}

std::string RegistryKeyOf(const TOracleHome& home) {
  if (home.number == -1) return std::string(kOracleKey) + "\\KEY_" + home.name;
  return std::string(kOracleKey) + "\\HOME" + std::to_string(home.number);
}

std::string ChooseHomeKey(const platform::TRegistryReader& registry, const TClientRules& rules,
                          const std::vector<TOracleHome>& homes, const std::string& wantedName,
                          std::string& rememberedName) {
  if (homes.empty()) return kOracleKey;
  const std::string wanted = !wantedName.empty() ? wantedName : rememberedName;
  const std::string path = AnsiUpperCase(platform::GetEnv(rules.searchVariable).substr(0, 10000));

  const TOracleHome* taken = nullptr;
  size_t best = path.size();
  for (const auto& home : homes) {
    if (!wanted.empty() && SameText(home.name, wanted)) {
      taken = &home;
      break;
    }
    const std::string value = registry.ReadString(RegistryKeyOf(home), "ORACLE_HOME");
    const size_t found = path.find(AnsiUpperCase(BinOf(rules, value)));
    if (found == std::string::npos) continue;
    const size_t position = found + 1;  // 1-based, as the rule counts
    if (position < best) {
      best = position;
      taken = &home;
    }
  }
  if (!taken) taken = &homes.back();
  if (rememberedName.empty()) rememberedName = taken->name;

  const std::string key = RegistryKeyOf(*taken);
  const std::string value = registry.ReadString(key, "ORACLE_HOME");
  if (value.empty() || !platform::DirectoryExists(BinOf(rules, value))) return {};
  return key;
}

THomeDirectory FindHomeDirectory(const platform::TRegistryReader& registry, const TClientRules& rules,
                                const std::string& homeKey) {
  THomeDirectory result;
  if (!homeKey.empty()) result.directory = registry.ReadString(homeKey, "ORACLE_HOME");
  if (!result.directory.empty()) {
    result.bin = true;
    result.fromKey = true;
    return result;
  }

  const std::string variable = platform::GetEnv("ORACLE_HOME");
  if (!variable.empty() && variable != ".") {
    result.directory = variable;
    result.bin = platform::DirectoryExists(BinOf(rules, variable));
    return result;
  }

  // The library on the search path: its folder, or the home above a bin folder.
  std::string found;
  const std::string current = platform::CurrentDirectory();
  if (!platform::ListFiles(current, rules.libraryFile, rules.ignoreCase).empty()) {
    found = current;
  } else {
    const std::string path = platform::GetEnv(rules.searchVariable);
    size_t start = 0;
    while (start <= path.size()) {
      size_t end = path.find(rules.listSeparator, start);
      if (end == std::string::npos) end = path.size();
      const std::string entry = path.substr(start, end - start);
      start = end + 1;
      if (entry.empty()) continue;
      std::string folder = entry;
      if (folder.back() != ':' && folder.back() != rules.separator) folder += rules.separator;
      if (platform::ListFiles(folder, rules.libraryFile, rules.ignoreCase).empty()) continue;
      found = FolderOf(rules, folder + rules.libraryFile);
      break;
    }
  }
  if (found.empty()) return result;

  const std::string binTail = AnsiUpperCase(std::string(1, rules.separator) + rules.binFolder);
  const std::string upper = AnsiUpperCase(found);
  if (found.size() >= binTail.size() + 1 &&
      upper.compare(upper.size() - binTail.size(), binTail.size(), binTail) == 0) {
    result.bin = true;
    result.directory = found.substr(0, found.size() - binTail.size());
  } else {
    result.bin = false;
    result.directory = found;
  }
  return result;
}

std::string LibraryFolder(const TClientRules& rules, const THomeDirectory& home) {
  if (home.bin) return WithSeparator(rules, BinOf(rules, home.directory));
  return WithSeparator(rules, home.directory);
}

std::vector<std::string> CandidateLibraries(const TClientRules& rules, const std::string& folder,
                                            std::vector<std::string>& trace) {
  std::vector<std::string> candidates;
  const auto plain = platform::ListFiles(folder, rules.libraryFile, rules.ignoreCase);
  if (!plain.empty()) {
    candidates.push_back(plain.front());
    trace.push_back("Found: " + plain.front());
  }
  for (const auto& name : platform::ListFiles(folder, rules.versionedPattern, rules.ignoreCase)) {
    if (CandidateVersion(rules, name) <= 0) continue;
    candidates.push_back(name);
    trace.push_back("Found: " + name);
  }
  return candidates;
}

std::string PickCandidate(const TClientRules& rules, const std::vector<std::string>& candidates) {
  std::string picked;
  double best = 0;
  for (const auto& name : candidates) {
    if (SameText(name, rules.libraryFile)) return name;
    const double version = CandidateVersion(rules, name);
    if (version > best) {
      best = version;
      picked = name;
    }
  }
  return picked;
}

std::string FolderOf(const TClientRules& rules, const std::string& path) {
  size_t at = path.find_last_of(std::string(1, rules.separator) + "/");
  if (at == std::string::npos) return {};
  if (at == 0) return path.substr(0, 1);  // the root folder
  return path.substr(0, at);
}

}  // namespace skelvane::oracle
