#include "roundtrip/round_trip.h"

#include <stdexcept>

#include "common/text.h"
#include "roundtrip/document_equality.h"

namespace skelvane::roundtrip {
namespace {

// The statements of a trace that are not queries (what the update sent), and
// those of them the database refused: an error line follows its statement's
// line with the same round-trip number.
void ReadTrace(const fs::path& trace, TUpdateRun& run) {
  static const std::string kExecute = " EXECUTE ", kError = " ERROR ";
  std::string lastNumber, lastStatement, lastSection;
  for (const auto& line : e2e::RoundTripLines(trace)) {
    const std::string number = line.substr(0, line.find(' '));
    if (const size_t at = line.find(kError); at != std::string::npos) {
      if (number == lastNumber && !lastStatement.empty())
        run.refused[lastSection].push_back(line.substr(at + kError.size()) + " " + lastStatement);
      continue;
    }
    lastStatement.clear();
    const size_t at = line.find(kExecute);
    if (at == std::string::npos) continue;
    const std::string sql = line.substr(at + kExecute.size());
    const std::string head = AnsiUpperCase(Trimmed(sql.substr(0, 8)));
    if (head.rfind("SELECT", 0) == 0 || head.rfind("WITH", 0) == 0) continue;
    lastNumber = number;
    lastStatement = sql;
    lastSection = SectionOfStatement(sql);
    run.statements[lastSection].push_back(sql);
  }
}

TUpdateRun Update(const TRoundTripCase& c, const fs::path& dir, const std::string& database,
                  const fs::path& document, const std::string& tag) {
  const fs::path trace = dir / (tag + ".trace");
  const fs::path updateLog = dir / (tag + ".update.log");
  TUpdateRun run;
  std::vector<std::string> args{"update", "--database", database, "--user", c.owner, "--file",
                                document.string(), "--update-log", updateLog.string()};
  args.insert(args.end(), c.cliOptions.begin(), c.cliOptions.end());
  run.cli = e2e::RunCli(dir, args, c.password, {"ORAEMU_TRACE=" + trace.string()});
  run.updateLog = fs::exists(updateLog) ? e2e::ReadFile(updateLog) : std::string();
  ReadTrace(trace, run);
  return run;
}

std::string Export(const TRoundTripCase& c, const fs::path& dir, const std::string& database,
                   const fs::path& document) {
  std::vector<std::string> args{"export", "--database", database, "--user", c.owner, "--file", document.string()};
  args.insert(args.end(), c.cliOptions.begin(), c.cliOptions.end());
  const auto run = e2e::RunCli(dir, args, c.password);
  if (run.exitCode != 0)
    throw std::runtime_error("export of " + database + " failed (" + std::to_string(run.exitCode) +
                             "):\n" + run.err + run.out);
  return e2e::ReadFile(document);
}

}  // namespace

int TUpdateRun::StatementCount() const {
  int n = 0;
  for (const auto& [section, list] : statements) n += static_cast<int>(list.size());
  return n;
}

TRoundTripResult RunRoundTrip(const TRoundTripCase& c, const fs::path& dir) {
  for (const char* name : {"RTA", "RTB"}) {
    e2e::CreateDatabase(dir, name, c.charset);
    e2e::RunScript(dir, name, "system/manager", c.usersScript);
  }
  for (const auto& [logon, script] : c.seedScripts) e2e::RunScript(dir, "RTA", logon, script);

  TRoundTripResult result;
  const fs::path document = dir / "A._sdb";
  result.documentA = Export(c, dir, "RTA", document);
  result.firstUpdate = Update(c, dir, "RTB", document, "update1");
  result.documentB = Export(c, dir, "RTB", dir / "B._sdb");
  result.secondUpdate = Update(c, dir, "RTB", document, "update2");
  return result;
}

}  // namespace skelvane::roundtrip
