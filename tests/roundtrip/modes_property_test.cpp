// One engine, four uses: on the demo and on generated schemas, the bulk
// dictionary reads give the documents, logs and statements of the per-object
// reads; a plan lists, in order, the statements a real update then sends; the
// offline diff of a document against an empty one plans the same; and a plan
// after the update is empty.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "common/text.h"
#include "roundtrip/document_equality.h"
#include "roundtrip/schema_generator.h"
#include "e2e/export_support.h"
#include "realworld/realworld_scripts.h"

namespace skelvane::roundtrip {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kFirstSeed = 101;
constexpr int kGeneratedSchemas = 6;

struct TModesCase {
  std::string usersScript, owner, password;
  std::vector<std::pair<std::string, std::string>> seedScripts;
};

// The statements a run sent, as a plan script writes them: ";" after plain
// DDL, "/" on its own line after PL/SQL units. Dictionary reads are left out.
std::string ScriptOfTrace(const fs::path& trace) {
  std::string script;
  for (const auto& line : e2e::RoundTripLines(trace)) {
    const size_t at = line.find(" EXECUTE ");
    if (at == std::string::npos) continue;
    std::string sql;
    const std::string escaped = line.substr(at + 9);
    for (size_t i = 0; i < escaped.size(); ++i) {
      if (escaped[i] == '\\' && i + 1 < escaped.size()) {
        const char next = escaped[++i];
        sql += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
      } else {
        sql += escaped[i];
      }
    }
    if (!sql.empty() && sql.back() == '\n') sql.pop_back();
    const std::string head = AnsiUpperCase(sql.substr(0, 30));
    if (head.rfind("SELECT", 0) == 0) continue;
    const bool unit = head.rfind("CREATE OR REPLACE TRIGGER", 0) == 0 ||
                      head.rfind("CREATE OR REPLACE FUNCTION", 0) == 0 ||
                      head.rfind("CREATE OR REPLACE PROCEDURE", 0) == 0;
    script += sql + (unit ? "\n/\n" : ";\n");
  }
  return script;
}

struct TModeRuns {
  std::string failures;
  int statements = 0;
};

void Expect(std::string& failures, bool holds, const std::string& what) {
  if (!holds) failures += what + "\n";
}

std::string Masked(const std::string& log) { return e2e::MaskTimeStamps(log); }

// Runs every mode against the seeded database A and the empty B and C.
TModeRuns RunModes(const TModesCase& c, const fs::path& dir) {
  TModeRuns r;
  for (const char* name : {"MA", "MB", "MC"}) {
    e2e::CreateDatabase(dir, name);
    e2e::RunScript(dir, name, "system/manager", c.usersScript);
  }
  for (const auto& [logon, script] : c.seedScripts) e2e::RunScript(dir, "MA", logon, script);
  auto cli = [&](std::vector<std::string> args, const std::string& trace = {}) {
    std::vector<std::string> env;
    if (!trace.empty()) env.push_back("ORAEMU_TRACE=" + (dir / trace).string());
    return e2e::RunCli(dir, args, c.password, env);
  };
  auto common = [&](const std::string& command, const std::string& database, const std::string& file) {
    return std::vector<std::string>{command, "--database", database, "--user", c.owner, "--file",
                                    (dir / file).string()};
  };
  auto with = [](std::vector<std::string> args, const std::string& extra) {
    args.push_back(extra);
    return args;
  };

  const auto exportPerObject = cli(common("export", "MA", "p._sdb"));
  const auto exportBulk = cli(with(common("export", "MA", "b._sdb"), "--bulk"));
  Expect(r.failures, exportPerObject.exitCode == 0 && exportBulk.exitCode == 0,
         "an export failed: " + exportPerObject.err + exportBulk.err);
  const std::string document = e2e::ReadFile(dir / "p._sdb");
  Expect(r.failures, document == e2e::ReadFile(dir / "b._sdb"), "bulk export wrote another document");
  Expect(r.failures, Masked(exportPerObject.out) == Masked(exportBulk.out), "bulk export logged otherwise");

  const auto plan = cli(common("plan", "MB", "p._sdb"));
  const auto planBulk = cli(with(common("plan", "MB", "p._sdb"), "--bulk"));
  Expect(r.failures, plan.out == planBulk.out, "bulk plan differs:\n" + plan.out + "----\n" + planBulk.out);
  Expect(r.failures, Masked(plan.err) == Masked(planBulk.err), "bulk plan logged otherwise");
  Expect(r.failures, plan.exitCode == (plan.out.empty() ? 0 : 1),
         "plan exit status " + std::to_string(plan.exitCode));

  e2e::WriteFile(dir / "empty._sdb", "{shema \r\n\t{name " + c.owner + "}\r\n}\r\n");
  const auto diff = cli({"diff", (dir / "empty._sdb").string(), (dir / "p._sdb").string()});
  Expect(r.failures, diff.out == plan.out, "diff from an empty document differs:\n" + diff.out);

  const auto update = cli(with(with(common("update", "MB", "p._sdb"), "--update-log"), (dir / "u1.log").string()),
                          "u1.trace");
  const auto updateBulk = cli(
      with(with(with(common("update", "MC", "p._sdb"), "--bulk"), "--update-log"), (dir / "u2.log").string()),
      "u2.trace");
  const std::string sent = ScriptOfTrace(dir / "u1.trace");
  Expect(r.failures, plan.out == sent, "plan differs from what update sent:\n" + plan.out + "----\n" + sent);
  Expect(r.failures, ScriptOfTrace(dir / "u2.trace") == sent, "bulk update sent other statements");
  Expect(r.failures, update.exitCode == updateBulk.exitCode, "bulk update ended otherwise");
  Expect(r.failures, Masked(update.out) == Masked(updateBulk.out), "bulk update logged otherwise");
  Expect(r.failures, e2e::ReadFile(dir / "u1.log") == e2e::ReadFile(dir / "u2.log"),
         "bulk update's update log differs");

  const auto settled = cli(with(common("plan", "MC", "p._sdb"), "--bulk"));
  Expect(r.failures, settled.exitCode == 0 && settled.out.empty(), "plan after the update: " + settled.out);
  for (size_t at = 0; (at = sent.find(";\n", at)) != std::string::npos; at += 2) ++r.statements;
  return r;
}

TEST(ModesProperty, DemoGivesTheSameResultsInEveryMode) {
  const fs::path demo = e2e::SourceDir() / "demo";
  TModesCase c;
  c.usersScript = e2e::ReadFile(demo / "users.sql");
  c.owner = "DEMO_APP";
  c.password = "demo_app_pw";
  c.seedScripts = {{"demo_app/demo_app_pw", e2e::ReadFile(demo / "seed.sql")},
                   {"demo_reader/demo_reader_pw", e2e::ReadFile(demo / "reader.sql")}};
  e2e::TScratch scratch("modes-demo");
  const TModeRuns r = RunModes(c, scratch.Dir());
  EXPECT_EQ(r.failures, "");
  EXPECT_GT(r.statements, 50);
}

// Bulk reads cut LONG values at a bound and read the longer ones again: view
// texts, trigger bodies, check conditions and defaults beyond it must come
// back whole.
TEST(ModesProperty, LongValuesBeyondTheFetchBoundComeBackWhole) {
  const TUsers users;
  std::string column = "ID", literal = "1";
  for (int i = 0; i < 450; ++i) column += " + ID";  // about 2,300 bytes a time
  for (int i = 0; i < 1200; ++i) literal += " + 1";
  const std::string longExpression = column + " + " + column;
  std::string script =
      "CREATE TABLE LONGS (ID NUMBER(10) NOT NULL, N NUMBER DEFAULT " + literal +
      ", CONSTRAINT LONGS_CK CHECK (" + longExpression + " > 0 OR " + longExpression + " <= 0));\n"
      "CREATE TABLE SHORTS (ID NUMBER(10) DEFAULT 7);\n"
      "CREATE VIEW LONGS_V AS SELECT ID, " + longExpression + " + " + longExpression + " AS TOTAL FROM LONGS;\n"
      "CREATE OR REPLACE TRIGGER LONGS_T BEFORE INSERT ON LONGS FOR EACH ROW\nBEGIN\n";
  for (int i = 0; i < 120; ++i) script += "  :NEW.N := NVL(:NEW.N, 0) + " + std::to_string(i) + ";\n";
  script += "END;\n/\n";
  TModesCase c{UsersScript(users), users.owner, users.ownerPassword,
               {{users.owner + "/" + users.ownerPassword, script}}};
  e2e::TScratch scratch("modes-longs");
  const TModeRuns r = RunModes(c, scratch.Dir());
  EXPECT_EQ(r.failures, "");
  const std::string document = e2e::ReadFile(scratch.Dir() / "b._sdb");
  EXPECT_NE(document.find(":NEW.N := NVL(:NEW.N, 0) + 119;"), std::string::npos);
  EXPECT_NE(document.find(longExpression + " + " + longExpression), std::string::npos);
  EXPECT_NE(document.find("{default " + literal + "}"), std::string::npos);
}

// Identity and virtual columns, constraint states, a switched-off trigger,
// and a trigger on a view that must wait for its view.
TEST(ModesProperty, RealWorldSchemaGivesTheSameResultsInEveryMode) {
  const TUsers users;
  const std::string logon = users.owner + "/" + users.ownerPassword;
  TModesCase c{UsersScript(users), users.owner, users.ownerPassword,
               {{logon, realworld::TablesScript()}, {logon, realworld::CodeScript()}}};
  e2e::TScratch scratch("modes-realworld");
  const TModeRuns r = RunModes(c, scratch.Dir());
  EXPECT_EQ(r.failures, "");
  EXPECT_GT(r.statements, 60);
}

TEST(ModesProperty, GeneratedSchemasGiveTheSameResultsInEveryMode) {
  std::vector<TModeRuns> outcomes(kGeneratedSchemas);
  std::atomic<int> next{0};
  auto worker = [&] {
    for (int i; (i = next++) < kGeneratedSchemas;) {
      const uint32_t seed = kFirstSeed + static_cast<uint32_t>(i);
      const auto schema = GenerateSchema(seed, FeaturesNotPending());
      TUsers users;
      TModesCase c{UsersScript(users), users.owner, users.ownerPassword,
                   {{users.owner + "/" + users.ownerPassword, schema.ownerScript}}};
      e2e::TScratch scratch("modes-" + std::to_string(seed));
      try {
        outcomes[static_cast<size_t>(i)] = RunModes(c, scratch.Dir());
      } catch (const std::exception& e) {
        outcomes[static_cast<size_t>(i)].failures = e.what();
      }
    }
  };
  std::thread helper(worker);
  worker();
  helper.join();
  for (int i = 0; i < kGeneratedSchemas; ++i) {
    EXPECT_EQ(outcomes[static_cast<size_t>(i)].failures, "") << "seed " << kFirstSeed + i;
    EXPECT_GT(outcomes[static_cast<size_t>(i)].statements, 0) << "seed " << kFirstSeed + i;
  }
}

}  // namespace
}  // namespace skelvane::roundtrip
