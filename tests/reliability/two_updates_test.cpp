// Two skelvane-cli updates of one emulator database from one document at the
// same time: both finish, neither crashes, the database ends as the document
// says and its file stays sound.
#include <gtest/gtest.h>

#include "reliability/sweep_support.h"
#include "roundtrip/document_equality.h"
#include "support/emulator_tool.h"

namespace skelvane::reliability {
namespace {

using ::skelvane::testing::ShellQuote;

struct TConcurrentRun {
  int exitCode = -1;
  std::string out, err;
};

// Starts `count` updates of B at once and waits for all of them.
std::vector<TConcurrentRun> UpdateAtOnce(TSweepSubject& subject, int count, const std::string& env = "") {
  const e2e::fs::path dir = subject.Dir();
  e2e::WriteFile(dir / "password.txt", subject.Password() + "\n");
  std::string script;
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    const std::string out = (dir / ("at-once-" + n)).string();
    script += "(env ORAEMU_DATA=" + ShellQuote(dir.string()) + " " + env + " " +
              ShellQuote((e2e::BinaryDir() / "bin" / "skelvane-cli").string()) +
              " update --database " + std::string(kTarget) + " --user " + ShellQuote(subject.Owner()) + " --file " +
              ShellQuote(subject.Document().string()) +
              " OCIDLL=" + ShellQuote(e2e::EmulatorLibrary().string()) + " <" +
              ShellQuote((dir / "password.txt").string()) + " >" + ShellQuote(out + ".out") + " 2>" +
              ShellQuote(out + ".err") + "; echo $? >" + ShellQuote(out + ".status") + ") &\n";
  }
  script += "wait\n";
  ::skelvane::testing::RunCommand(script);
  std::vector<TConcurrentRun> runs;
  for (int i = 0; i < count; ++i) {
    const e2e::fs::path base = dir / ("at-once-" + std::to_string(i));
    TConcurrentRun run;
    run.exitCode = std::stoi(e2e::ReadFile(base.string() + ".status"));
    run.out = e2e::ReadFile(base.string() + ".out");
    run.err = e2e::ReadFile(base.string() + ".err");
    runs.push_back(run);
  }
  return runs;
}

void ExpectBothFinishAndTheDatabaseMatches(TSweepSubject& subject, const std::string& env) {
  const std::string expected = roundtrip::ComparableDocument(subject.DocumentOfA());
  subject.ResetB();
  const auto runs = UpdateAtOnce(subject, 2, env);
  for (const auto& run : runs) {
    // A statement the other update ran first may be refused (the object
    // exists by then); the run still goes to its end.
    EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 1) << run.exitCode << "\n" << run.out << run.err;
    EXPECT_NE(run.out.find("end test"), std::string::npos) << run.out;
    EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << run.err;
  }
  EXPECT_EQ(roundtrip::FirstDifference(expected, roundtrip::ComparableDocument(subject.ExportB())), "");
  // Nothing is left to do, and the file answers every query of an update.
  const auto again = subject.Update({});
  EXPECT_EQ(again.cli.exitCode, 0) << again.cli.out << again.cli.err;
  EXPECT_EQ(again.updateLog, "");
}

TEST(TwoUpdatesAtOnce, BothFinishAndTheDatabaseEndsAsTheDocumentSays) {
  auto subject = TSweepSubject::Demo();
  ExpectBothFinishAndTheDatabaseMatches(*subject, "");
}

// With a delay in every round trip the two runs interleave statement by
// statement instead of one finishing before the other starts.
TEST(TwoUpdatesAtOnce, InterleavedRoundTripsStillFinishBoth) {
  auto subject = TSweepSubject::Generated(kSweepSeed);
  ExpectBothFinishAndTheDatabaseMatches(*subject, "ORAEMU_LATENCY_US=2000");
}

}  // namespace
}  // namespace skelvane::reliability
