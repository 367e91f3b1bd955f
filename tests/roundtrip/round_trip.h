// One round trip through skelvane-cli: export database A, update an empty
// database B with the same users from that document, export B, then update B
// again from the same document.
#ifndef SKELVANE_TESTS_ROUNDTRIP_ROUND_TRIP_H
#define SKELVANE_TESTS_ROUNDTRIP_ROUND_TRIP_H

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "e2e/export_support.h"

namespace skelvane::roundtrip {

namespace fs = std::filesystem;

struct TRoundTripCase {
  std::string label;
  std::string charset;      // empty: the emulator's default
  std::string usersScript;  // run as SYSTEM in both databases
  std::string owner, password;
  // (user/password, script) run in database A only, in order.
  std::vector<std::pair<std::string, std::string>> seedScripts;
  // Added to every export and update, e.g. "--bulk".
  std::vector<std::string> cliOptions;
};

struct TUpdateRun {
  e2e::TCliRun cli;
  std::string updateLog;
  // DDL the emulator was asked to run (accepted or not), by document section.
  std::map<std::string, std::vector<std::string>> statements;
  // "ORA-nnnnn <statement>" for each statement the database refused, by section.
  std::map<std::string, std::vector<std::string>> refused;
  int StatementCount() const;
};

struct TRoundTripResult {
  std::string documentA, documentB;
  TUpdateRun firstUpdate, secondUpdate;
};

// Runs the round trip in `dir`; throws std::runtime_error when a database
// cannot be built or an export fails (the property cannot be judged then).
TRoundTripResult RunRoundTrip(const TRoundTripCase& c, const fs::path& dir);

}  // namespace skelvane::roundtrip

#endif
