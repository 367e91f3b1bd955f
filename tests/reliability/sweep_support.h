// A source database A holding a schema, its document, and a database B with
// the same users and nothing else, which updates from that document refill:
// what the fault sweep and the concurrency test run skelvane-cli against.
#ifndef SKELVANE_TESTS_RELIABILITY_SWEEP_SUPPORT_H
#define SKELVANE_TESTS_RELIABILITY_SWEEP_SUPPORT_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "e2e/export_support.h"

namespace skelvane::reliability {

// The databases' names. They seed the numbers of system-made constraint
// names, and with them the order in which the export lists such constraints:
// the same names as the round-trip property's keep its comparison valid.
inline constexpr const char* kSource = "RTA";
inline constexpr const char* kTarget = "RTB";

// A generated schema of about fifty objects.
inline constexpr uint32_t kSweepSeed = 2;

// The lines of a log written with LF or CR LF line ends.
std::vector<std::string> SplitLines(const std::string& text);

struct TTracedRun {
  e2e::TCliRun cli;
  int roundTrips = 0;   // the highest round trip number traced
  int accepted = 0;     // statements other than queries that ended without an error
  std::string updateLog;
};

class TSweepSubject {
 public:
  static std::unique_ptr<TSweepSubject> Demo();
  static std::unique_ptr<TSweepSubject> Generated(uint32_t seed);

  const std::string& Label() const { return label_; }
  const e2e::fs::path& Dir() const { return scratch_.Dir(); }
  const std::string& Owner() const { return owner_; }
  const std::string& Password() const { return password_; }
  e2e::fs::path Document() const { return Dir() / "A._sdb"; }

  // Exports database kSource or kTarget to `file` in the folder, traced.
  TTracedRun Export(const std::string& database, const std::string& file,
                    const std::vector<std::string>& env);
  // A's document, exported once.
  std::string DocumentOfA();
  // B as it was made: users only.
  void ResetB();
  // Updates B from A's document, traced, with its Update log.
  TTracedRun Update(const std::vector<std::string>& env);
  // B's document now; throws when the export fails.
  std::string ExportB();

 private:
  TSweepSubject(std::string label, std::string owner, std::string password);
  void MakeB(const std::string& usersScript);

  e2e::TScratch scratch_;
  std::string label_, owner_, password_;
  std::string documentOfA_;
};

// Reads a trace: round trips, and statements other than queries that the
// database accepted.
void ReadTrace(const e2e::fs::path& trace, TTracedRun& run);

}  // namespace skelvane::reliability

#endif
