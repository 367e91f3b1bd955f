#include "reliability/sweep_support.h"

#include <map>
#include <stdexcept>

#include "common/text.h"
#include "roundtrip/document_equality.h"
#include "roundtrip/schema_generator.h"

namespace skelvane::reliability {

namespace fs = std::filesystem;

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

void ReadTrace(const fs::path& trace, TTracedRun& run) {
  // Round trip number -> whether it executed a statement other than a query,
  // and whether it ended in an error.
  std::map<int, std::pair<bool, bool>> trips;
  for (const auto& line : e2e::RoundTripLines(trace)) {
    const int n = std::atoi(line.c_str() + 1);
    const size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    const std::string event = line.substr(space + 1);
    auto& [statement, error] = trips[n];
    if (event.rfind("ERROR ", 0) == 0) {
      error = true;
    } else if (event.rfind("EXECUTE ", 0) == 0) {
      const std::string head = AnsiUpperCase(Trimmed(event.substr(8, 12)));
      statement = head.rfind("SELECT", 0) != 0 && head.rfind("WITH", 0) != 0;
    }
  }
  run.roundTrips = trips.empty() ? 0 : trips.rbegin()->first;
  run.accepted = 0;
  for (const auto& [n, trip] : trips)
    if (trip.first && !trip.second) ++run.accepted;
}

TSweepSubject::TSweepSubject(std::string label, std::string owner, std::string password)
    : scratch_("sweep-" + label), label_(std::move(label)), owner_(std::move(owner)),
      password_(std::move(password)) {}

void TSweepSubject::MakeB(const std::string& usersScript) {
  e2e::CreateDatabase(Dir(), kTarget);
  e2e::RunScript(Dir(), kTarget, "system/manager", usersScript);
  fs::copy_file(Dir() / (std::string(kTarget) + ".sqlite"), Dir() / "target.pristine",
                fs::copy_options::overwrite_existing);
}

std::unique_ptr<TSweepSubject> TSweepSubject::Demo() {
  std::unique_ptr<TSweepSubject> s(new TSweepSubject("demo", "DEMO_APP", "demo_app_pw"));
  e2e::MakeDemo(s->Dir());
  fs::rename(s->Dir() / "DEMO.sqlite", s->Dir() / (std::string(kSource) + ".sqlite"));
  s->MakeB(e2e::ReadFile(e2e::SourceDir() / "demo" / "users.sql"));
  return s;
}

std::unique_ptr<TSweepSubject> TSweepSubject::Generated(uint32_t seed) {
  const roundtrip::TUsers users;
  std::unique_ptr<TSweepSubject> s(
      new TSweepSubject("seed" + std::to_string(seed), users.owner, users.ownerPassword));
  const auto schema = roundtrip::GenerateSchema(seed, roundtrip::FeaturesNotPending());
  const std::string usersScript = roundtrip::UsersScript(users);
  e2e::CreateDatabase(s->Dir(), kSource);
  e2e::RunScript(s->Dir(), kSource, "system/manager", usersScript);
  e2e::RunScript(s->Dir(), kSource, users.owner + "/" + users.ownerPassword, schema.ownerScript);
  s->MakeB(usersScript);
  return s;
}

TTracedRun TSweepSubject::Export(const std::string& database, const std::string& file,
                                 const std::vector<std::string>& env) {
  const fs::path trace = Dir() / "export.trace";
  fs::remove(trace);
  std::vector<std::string> withTrace = env;
  withTrace.push_back("ORAEMU_TRACE=" + trace.string());
  TTracedRun run;
  run.cli = e2e::RunCli(Dir(), {"export", "--database", database, "--user", owner_, "--file", (Dir() / file).string()},
                        password_, withTrace);
  ReadTrace(trace, run);
  return run;
}

std::string TSweepSubject::DocumentOfA() {
  if (documentOfA_.empty()) {
    const auto run = Export(kSource, "A._sdb", {});
    if (run.cli.exitCode != 0) throw std::runtime_error("export of A failed:\n" + run.cli.out + run.cli.err);
    documentOfA_ = e2e::ReadFile(Document());
  }
  return documentOfA_;
}

void TSweepSubject::ResetB() {
  const std::string file = std::string(kTarget) + ".sqlite";
  for (const char* leftover : {"-wal", "-shm"}) fs::remove(Dir() / (file + leftover));
  fs::copy_file(Dir() / "target.pristine", Dir() / file, fs::copy_options::overwrite_existing);
}

TTracedRun TSweepSubject::Update(const std::vector<std::string>& env) {
  DocumentOfA();
  const fs::path trace = Dir() / "update.trace", updateLog = Dir() / "update.log";
  fs::remove(trace);
  fs::remove(updateLog);
  std::vector<std::string> withTrace = env;
  withTrace.push_back("ORAEMU_TRACE=" + trace.string());
  TTracedRun run;
  run.cli = e2e::RunCli(Dir(),
                        {"update", "--database", kTarget, "--user", owner_, "--file", Document().string(),
                         "--update-log", updateLog.string()},
                        password_, withTrace);
  ReadTrace(trace, run);
  if (fs::exists(updateLog)) run.updateLog = e2e::ReadFile(updateLog);
  return run;
}

std::string TSweepSubject::ExportB() {
  const auto run = Export(kTarget, "B._sdb", {});
  if (run.cli.exitCode != 0) throw std::runtime_error("export of B failed:\n" + run.cli.out + run.cli.err);
  return e2e::ReadFile(Dir() / "B._sdb");
}

}  // namespace skelvane::reliability
