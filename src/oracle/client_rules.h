// Where the Oracle client library is looked for: the Oracle homes of the
// registry, the ORACLE_HOME variable, the search path, and the library
// files of a home. The platform's file names and separators are parameters,
// so the Windows rules can be exercised on any system.
#ifndef SKELVANE_ORACLE_CLIENT_RULES_H
#define SKELVANE_ORACLE_CLIENT_RULES_H

#include <string>
#include <vector>

#include "common/platform_registry.h"

namespace skelvane::oracle {

enum class TVersionRule {
  OraDll,        // ora[NT]<digits>.dll: version "0." + digits
  SharedObject,  // libclntsh.so.N.M: version N.M
};

struct TClientRules {
  char separator = '\\';         // between folders of a path
  char listSeparator = ';';      // between entries of the search variable
  std::string binFolder;         // the home's folder holding the library
  std::string libraryFile;       // the unversioned library name
  std::string versionedPattern;  // versioned library names
  TVersionRule versionRule = TVersionRule::OraDll;
  std::string searchVariable;    // the variable searched for the library
  // The variable the system loader searches; the library's folder is put in
  // front of it before loading. Empty: leave the loader's path alone.
  std::string loaderPathVariable;
  bool ignoreCase = true;              // file names and paths
  bool retryFromLibraryFolder = false; // second load attempt from the library's folder
  bool bareNameFallback = false;       // nothing found: let the system loader try the bare name
  // Appended to the error when no client is found at all: how to point the
  // tool at one. Empty where the error is self-explanatory.
  std::string noClientHint;

  static TClientRules Windows(char separator = '\\', char listSeparator = ';');
  static TClientRules Linux();
  // The rules of the platform the program was built for.
  static TClientRules Native();
};

// The version of a versioned library file name; 0 when the name is no candidate.
double CandidateVersion(const TClientRules& rules, const std::string& fileName);

struct TOracleHome {
  std::string name;
  int number;  // -1 for a home found under a KEY_ subkey
};

// The homes of the registry, sorted by name ignoring case, without
// duplicate names.
std::vector<TOracleHome> OracleHomeList(const platform::TRegistryReader& registry,
                                       const TClientRules& rules);
std::string RegistryKeyOf(const TOracleHome& home);

// Picks the home key: the wanted home by name, else the home whose bin
// folder comes first in the search variable, else the last home. Sets
// `rememberedName` to the taken home when it is empty.
std::string ChooseHomeKey(const platform::TRegistryReader& registry, const TClientRules& rules,
                          const std::vector<TOracleHome>& homes, const std::string& wantedName,
                          std::string& rememberedName);

struct THomeDirectory {
  std::string directory;  // empty: no home
  bool bin = false;       // the library sits in the home's bin folder
  bool fromKey = false;   // read under the home key (else the key is to be dropped)
};
THomeDirectory FindHomeDirectory(const platform::TRegistryReader& registry, const TClientRules& rules,
                                const std::string& homeKey);

// The folder that holds a home's libraries, ending in a separator.
std::string LibraryFolder(const TClientRules& rules, const THomeDirectory& home);

// Candidate file names in `folder`: the unversioned library first, then
// every versioned file with a positive version. Appends "Found: " lines.
std::vector<std::string> CandidateLibraries(const TClientRules& rules, const std::string& folder,
                                            std::vector<std::string>& trace);

// The unversioned library if present, else the greatest version; empty
// when there is no candidate.
std::string PickCandidate(const TClientRules& rules, const std::vector<std::string>& candidates);

// The folder part of a path (no trailing separator).
std::string FolderOf(const TClientRules& rules, const std::string& path);

}  // namespace skelvane::oracle

#endif
