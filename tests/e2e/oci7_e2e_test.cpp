// Export and update through the Oracle 7 call interface, reached three ways
// (the library without OCI 8, --oci7 on the full library, a server that names
// itself Oracle 7), against the same runs over OCI 8: the same document, the
// same logs and the same statements, byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/export_support.h"
#include "support/emulator_tool.h"

namespace skelvane::e2e {
namespace {

struct TRoute {
  const char* name;
  std::vector<std::string> args;  // before the command's own
  std::vector<std::string> env;
};

std::vector<TRoute> Routes() {
  return {
      {"OCI 8", {}, {}},
      {"liboraemu7", {"OCIDLL=" + ::skelvane::testing::Oracle7EmulatorLibrary()}, {}},
      {"--oci7", {"--oci7"}, {}},
      {"Oracle 7 banner", {}, {"ORAEMU_BANNER=Oracle7 Server Release 7.3.4.0.0 - Production"}},
  };
}

TCliRun RunOn(const fs::path& dir, const TRoute& route, std::vector<std::string> args, const std::string& password,
            const fs::path& trace) {
  args.insert(args.end(), route.args.begin(), route.args.end());
  std::vector<std::string> env = route.env;
  env.push_back("ORAEMU_TRACE=" + trace.string());
  return RunCli(dir, args, password, env);
}

// The statements other than queries that reached the server, in order, each
// followed by its error when it failed.
std::vector<std::string> Statements(const fs::path& trace) {
  std::vector<std::string> out;
  for (const std::string& line : RoundTripLines(trace)) {
    const std::string event = line.substr(line.find(' ') + 1);
    const bool query = event.rfind("EXECUTE select", 0) == 0 || event.rfind("EXECUTE SELECT", 0) == 0;
    if ((event.rfind("EXECUTE ", 0) == 0 && !query) || event.rfind("ERROR ", 0) == 0) out.push_back(event);
  }
  // A query's error belongs to no statement of the update.
  std::vector<std::string> kept;
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i].rfind("ERROR ", 0) == 0 && (kept.empty() || kept.back().rfind("EXECUTE ", 0) != 0)) continue;
    kept.push_back(out[i]);
  }
  return kept;
}

TEST(Oracle7EndToEnd, ExportAndUpdateGiveTheSameDocumentLogsAndStatementsOnEveryInterface) {
  TScratch scratch("oci7");
  MakeDemo(scratch.Dir());
  std::string document, exportLog, updateCommonLog, updateLog;
  std::vector<std::string> statements;
  int index = 0;
  for (const TRoute& route : Routes()) {
    SCOPED_TRACE(route.name);
    const fs::path dir = scratch.Dir() / ("route" + std::to_string(index++));
    fs::create_directories(dir);
    fs::copy_file(scratch.Dir() / "DEMO.sqlite", dir / "DEMO.sqlite");

    const fs::path doc = dir / "demo._sdb";
    TCliRun exported = RunOn(dir, route, {"export", "--database", "DEMO", "--user", "DEMO_APP", "--file", doc.string()},
                           "demo_app_pw", dir / "export.trc");
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    // The route took the interface it names.
    EXPECT_EQ(ReadFile(dir / "export.trc").find("\nV7 ") != std::string::npos, index > 1);
    // Into an empty owner: every object of the document is created, and the
    // statements the emulator refuses are refused on every interface alike.
    CreateDatabase(dir, "XE");
    RunScript(dir, "XE", "SYSTEM/manager", ::skelvane::testing::OwnerGrants("OWNER", "pw"));
    const fs::path log = dir / "update.log";
    TCliRun updated = RunOn(dir, route,
                          {"update", "--user", "OWNER", "--file", doc.string(), "--update-log", log.string()}, "pw",
                          dir / "update.trc");
    ASSERT_NE(updated.exitCode, 2) << updated.err;

    if (document.empty()) {
      document = ReadFile(doc);
      exportLog = MaskTimeStamps(exported.out);
      updateCommonLog = MaskTimeStamps(updated.out);
      updateLog = MaskTimeStamps(ReadFile(log));
      statements = Statements(dir / "update.trc");
      EXPECT_GT(statements.size(), 20u);
      EXPECT_NE(updateCommonLog.find("ORA-"), std::string::npos) << "some statements are refused";
      continue;
    }
    EXPECT_EQ(ReadFile(doc), document);
    EXPECT_EQ(MaskTimeStamps(exported.out), exportLog);
    EXPECT_EQ(MaskTimeStamps(updated.out), updateCommonLog);
    EXPECT_EQ(MaskTimeStamps(ReadFile(log)), updateLog);
    EXPECT_EQ(Statements(dir / "update.trc"), statements);
  }
}

TEST(Oracle7EndToEnd, ARefusedOracle7LogonEndsTheRunWithTheServersMessage) {
  TScratch scratch("oci7-refused");
  MakeDemo(scratch.Dir());
  const fs::path doc = scratch.Dir() / "x._sdb";
  for (const TRoute& route : Routes()) {
    SCOPED_TRACE(route.name);
    TCliRun run = RunOn(scratch.Dir(), route,
                      {"export", "--database", "DEMO", "--user", "DEMO_APP", "--file", doc.string()}, "wrong",
                      scratch.Dir() / "refused.trc");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "skelvane-cli: ORA-01017: invalid username/password; logon denied\n");
  }
}

}  // namespace
}  // namespace skelvane::e2e
