// Every round trip of an export and of an update made to fail in turn (the
// emulator's ORAEMU_FAIL_AFTER): the run must end as a reported failure,
// its Update log must list exactly what the database accepted, and a second
// update without the fault must still bring the database to the document.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <set>

#include "common/text.h"
#include "reliability/sweep_support.h"
#include "roundtrip/document_equality.h"
#include "roundtrip/schema_generator.h"

namespace skelvane::reliability {
namespace {

// Faults per operation and schema when SKELVANE_FAULT_SWEEP is not set;
// "all" (the test command's plain run) fails every round trip, a number that many.
constexpr int kExportSamples = 10;
constexpr int kUpdateSamples = 10;

int Samples(int fallback) {
  const char* v = std::getenv("SKELVANE_FAULT_SWEEP");
  if (v == nullptr || *v == '\0') return fallback;
  if (std::string(v) == "all") return 0;
  return std::max(1, std::atoi(v));
}

// The failing round trip numbers: every one, or `samples` spread evenly from
// the first to the last.
std::vector<int> FaultPoints(int roundTrips, int samples) {
  std::set<int> points;
  if (samples <= 0 || samples >= roundTrips) {
    for (int n = 1; n <= roundTrips; ++n) points.insert(n);
  } else {
    for (int i = 0; i < samples; ++i)
      points.insert(1 + static_cast<int>(static_cast<long long>(i) * (roundTrips - 1) / (samples - 1)));
  }
  return {points.begin(), points.end()};
}

// What must hold for the output of any run that lost its connection.
std::string FailedRunProblems(const e2e::TCliRun& run, const char* completedLine) {
  std::string problems;
  if (run.exitCode != 2) problems += "exit status " + std::to_string(run.exitCode) + "\n";
  const auto lines = SplitLines(run.out);
  const std::string last = lines.empty() ? "" : lines.back();
  if (last.find("Ошибка базы данных. причина:ORA-03113") == std::string::npos)
    problems += "last log line: " + last + "\n";
  if (run.out.find(completedLine) != std::string::npos) problems += std::string("logged ") + completedLine + "\n";
  if (run.err.find("ORA-03113") == std::string::npos) problems += "standard error: " + run.err + "\n";
  for (const char* report : {"Sanitizer", "runtime error"})
    if (run.err.find(report) != std::string::npos) problems += run.err;
  return problems;
}

struct TSweepTally {
  int runs = 0, passed = 0, roundTrips = 0;
};

void Report(const std::string& what, const TSweepTally& t) {
  std::cout << "fault sweep (" << what << "): " << t.passed << " of " << t.runs << " runs passed, over "
            << t.roundTrips << " round trips" << std::endl;
}

void SweepExport(TSweepSubject& subject) {
  const auto clean = subject.Export(kSource, "clean-export._sdb", {});
  ASSERT_EQ(clean.cli.exitCode, 0) << clean.cli.out << clean.cli.err;
  TSweepTally tally;
  tally.roundTrips = clean.roundTrips;
  for (int n : FaultPoints(clean.roundTrips, Samples(kExportSamples))) {
    ++tally.runs;
    const auto run = subject.Export(kSource, "faulted._sdb", {"ORAEMU_FAIL_AFTER=" + std::to_string(n)});
    const std::string problems = FailedRunProblems(run.cli, "end reading...");
    if (problems.empty()) {
      ++tally.passed;
    } else {
      ADD_FAILURE() << subject.Label() << " export, round trip " << n << " failing:\n" << problems;
    }
  }
  Report(subject.Label() + " export", tally);
}

void SweepUpdate(TSweepSubject& subject) {
  const std::string document = subject.DocumentOfA();
  const std::string expected = roundtrip::ComparableDocument(document);
  subject.ResetB();
  const auto clean = subject.Update({});
  ASSERT_EQ(clean.cli.exitCode, 0) << clean.cli.out << clean.cli.err;
  ASSERT_FALSE(clean.updateLog.empty());
  TSweepTally tally;
  tally.roundTrips = clean.roundTrips;
  for (int n : FaultPoints(clean.roundTrips, Samples(kUpdateSamples))) {
    ++tally.runs;
    subject.ResetB();
    const auto run = subject.Update({"ORAEMU_FAIL_AFTER=" + std::to_string(n)});
    std::string problems = FailedRunProblems(run.cli, "end test");
    // The run is the clean one up to the fault, so its Update log is the
    // clean log cut after the statements accepted so far.
    const auto logged = SplitLines(run.updateLog);
    if (static_cast<int>(logged.size()) != run.accepted)
      problems += "Update log has " + std::to_string(logged.size()) + " lines for " +
                  std::to_string(run.accepted) + " accepted statements\n";
    if (clean.updateLog.compare(0, run.updateLog.size(), run.updateLog) != 0)
      problems += "Update log is no prefix of the clean run's:\n" + run.updateLog;
    const auto again = subject.Update({});
    if (again.cli.exitCode != 0) problems += "second update: " + again.cli.out + again.cli.err;
    const std::string difference = roundtrip::FirstDifference(
        expected, roundtrip::ComparableDocument(subject.ExportB()));
    if (!difference.empty()) problems += "after the second update the documents differ at " + difference;
    if (problems.empty()) {
      ++tally.passed;
    } else {
      ADD_FAILURE() << subject.Label() << " update, round trip " << n << " failing:\n" << problems;
    }
  }
  Report(subject.Label() + " update", tally);
}

TEST(FaultSweep, DemoExportFailsCleanlyAtEveryRoundTrip) {
  auto subject = TSweepSubject::Demo();
  SweepExport(*subject);
}

TEST(FaultSweep, DemoUpdateFailsCleanlyAndRecoversAtEveryRoundTrip) {
  auto subject = TSweepSubject::Demo();
  SweepUpdate(*subject);
}

TEST(FaultSweep, GeneratedSchemaExportFailsCleanlyAtEveryRoundTrip) {
  auto subject = TSweepSubject::Generated(kSweepSeed);
  SweepExport(*subject);
}

TEST(FaultSweep, GeneratedSchemaUpdateFailsCleanlyAndRecoversAtEveryRoundTrip) {
  auto subject = TSweepSubject::Generated(kSweepSeed);
  SweepUpdate(*subject);
}

}  // namespace
}  // namespace skelvane::reliability
