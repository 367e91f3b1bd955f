// skelvane-cli export against emulator databases: whole documents and whole
// Common logs, time stamps masked.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/export_support.h"
#include "support/emulator_tool.h"

namespace skelvane::e2e {
namespace {

void EmptyOwner(const fs::path& dir) {
  CreateDatabase(dir, "XE");
  RunScript(dir, "XE", "SYSTEM/manager",
            ::skelvane::testing::OwnerGrants("EMPTY_OWNER", "pw"));
}

std::string Lines(std::initializer_list<const char*> lines, const char* end) {
  std::string out;
  for (const char* l : lines) out += std::string(l) + end;
  return out;
}

TEST(ExportCli, EmptySchemaGivesTheTwentyOneLineDocument) {
  TScratch scratch("empty");
  EmptyOwner(scratch.Dir());
  const fs::path doc = scratch.Dir() / "empty._sdb";
  // The user name is written as typed, not as the server spells it.
  TCliRun run = RunCli(scratch.Dir(),
                       {"export", "--user", "empty_owner", "--file", doc.string()}, "pw");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(doc),
            Lines({"{shema", "\t{name empty_owner}", "}", "{tables ", "}", "{sequences ", "}",
                   "{triggers ", "}", "{functions ", "}", "{procedures ", "}", "{views ", "}",
                   "{synonyms ", "}", "{privileges ", "}", "{db_links ", "}"},
                  "\r\n"));
  EXPECT_EQ(MaskTimeStamps(run.out),
            Lines({"<TS>:begin reading...", "tables:", "sequences:", "triggers:", "functions:",
                   "procedures:", "views:", "synonyms:", "privileges:", "db links:",
                   "<TS>:end reading..."},
                  "\n"));
}

TEST(ExportCli, UncreatableTargetFailsBeforeAnyLogLine) {
  TScratch scratch("nodir");
  EmptyOwner(scratch.Dir());
  const std::string target = (scratch.Dir() / "missing" / "x._sdb").string();
  TCliRun run = RunCli(scratch.Dir(), {"export", "--user", "EMPTY_OWNER", "--file", target}, "pw");
  EXPECT_EQ(run.exitCode, 2);
  // The file and the system's reason, not a bare error number.
  EXPECT_NE(run.err.find("cannot create '" + target + "': No such file or directory"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(run.out.find("begin reading..."), std::string::npos) << run.out;
}

TEST(ExportCli, ExpressionIndexesLeaveTheirHiddenColumnsOutOfTheFields) {
  TScratch scratch("hidden");
  EmptyOwner(scratch.Dir());
  RunScript(scratch.Dir(), "XE", "EMPTY_OWNER/pw",
            "create table T (ID number(10), NAME varchar2(20));\n"
            "create index T_UP_IX on T (UPPER(NAME));\n"
            "create index T_DESC_IX on T (ID DESC, NAME);\n");
  const fs::path doc = scratch.Dir() / "hidden._sdb";
  TCliRun run = RunCli(scratch.Dir(), {"export", "--user", "EMPTY_OWNER", "--file", doc.string()}, "pw");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string text = ReadFile(doc);
  const size_t fields = text.find("\t\t{fields\r\n");
  const size_t indexes = text.find("\t\t{indexes\r\n");
  ASSERT_NE(fields, std::string::npos);
  ASSERT_NE(indexes, std::string::npos);
  std::vector<std::string> names;
  for (size_t at = text.find("{name ", fields); at < indexes; at = text.find("{name ", at + 1))
    names.push_back(text.substr(at + 6, text.find('}', at) - at - 6));
  EXPECT_EQ(names, (std::vector<std::string>{"ID", "NAME"})) << text;
  // The indexes name the hidden columns, so the dictionary did list them.
  EXPECT_NE(text.find("{columns SYS_NC"), std::string::npos) << text;
}

// Views whose column query can be made to fail, after a table and before
// the synonyms.
const char kViewsSchema[] =
    "create table T1 (ID number(10), NAME varchar2(20));\n"
    "create view V1 as select ID from T1;\n"
    "create view V2 as select ID, NAME from T1;\n"
    "create synonym S1 for T1;\n";

class ExportCliFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDatabase(scratch_.Dir(), "XE");
    RunScript(scratch_.Dir(), "XE", "SYSTEM/manager",
              ::skelvane::testing::OwnerGrants("VOWNER", "pw"));
    RunScript(scratch_.Dir(), "XE", "VOWNER/pw", kViewsSchema);
    const fs::path trace = scratch_.Dir() / "full.trace";
    full_ = RunCli(scratch_.Dir(), {"export", "--user", "VOWNER", "--file", Doc("full")}, "pw",
                   {"ORAEMU_TRACE=" + trace.string()});
    ASSERT_EQ(full_.exitCode, 0) << full_.err;
    fullDoc_ = ReadFile(Doc("full"));
    trips_ = RoundTripLines(trace);
  }

  std::string Doc(const std::string& name) const {
    return (scratch_.Dir() / (name + "._sdb")).string();
  }

  // The number of the first round trip whose trace line holds every piece.
  int RoundTripWith(std::initializer_list<const char*> pieces) const {
    for (const auto& line : trips_) {
      bool all = true;
      for (const char* p : pieces) all = all && line.find(p) != std::string::npos;
      if (all) return std::atoi(line.c_str() + 1);
    }
    ADD_FAILURE() << "no round trip with those pieces";
    return 0;
  }

  // Runs the export with round trip n failing; checks the frame's outcome.
  std::string FailingExport(int n) {
    TCliRun run = RunCli(scratch_.Dir(), {"export", "--user", "VOWNER", "--file", Doc("partial")},
                         "pw", {"ORAEMU_FAIL_AFTER=" + std::to_string(n)});
    EXPECT_EQ(run.exitCode, 2);
    const std::string log = MaskTimeStamps(run.out);
    EXPECT_NE(log.find("\n<TS>:Ошибка базы данных. причина:ORA-03113"), std::string::npos) << log;
    EXPECT_EQ(log.find("end reading..."), std::string::npos) << log;
    EXPECT_EQ(log.find("synonyms:"), std::string::npos) << log;
    return ReadFile(Doc("partial"));
  }

  // The full document up to and including the first line equal to `line`
  // after the first occurrence of `after`.
  std::string FullDocThrough(const std::string& after, const std::string& line) const {
    size_t from = fullDoc_.find(after);
    EXPECT_NE(from, std::string::npos);
    size_t at = fullDoc_.find("\r\n" + line + "\r\n", from);
    EXPECT_NE(at, std::string::npos);
    return fullDoc_.substr(0, at + 2 + line.size() + 2);
  }

  TScratch scratch_{"fail"};
  TCliRun full_;
  std::string fullDoc_;
  std::vector<std::string> trips_;
};

TEST_F(ExportCliFailure, FailingViewsQueryLeavesDocumentEndingAtTheSectionOpener) {
  const std::string partial = FailingExport(RoundTripWith({"USER_VIEWS UV"}));
  EXPECT_EQ(partial, FullDocThrough("{procedures ", "{views "));
}

TEST_F(ExportCliFailure, FailingColumnsOfSecondViewKeepEverythingWrittenBefore) {
  const std::string partial = FailingExport(RoundTripWith({"user_tab_cols", ":table_name='V2'"}));
  // The first view is complete; the second stops after its "fields" opener.
  EXPECT_EQ(partial, FullDocThrough("\t\t{name V2}", "\t\t{fields"));
  EXPECT_NE(partial.find("\t\t{name V1}"), std::string::npos);
}

TEST(ExportCli, DemoSchemaMatchesTheReviewedDocument) {
  TScratch scratch("demo");
  MakeDemo(scratch.Dir());
  const fs::path doc = scratch.Dir() / "demo_app._sdb";
  TCliRun run = RunCli(scratch.Dir(),
                       {"export", "--database", "DEMO", "--user", "DEMO_APP", "--file", doc.string()},
                       "demo_app_pw");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const fs::path expectedDoc = SourceDir() / "tests" / "e2e" / "expected" / "demo_app._sdb";
  const fs::path expectedLog = SourceDir() / "tests" / "e2e" / "expected" / "demo_app.log";
  if (std::getenv("SKELVANE_REGENERATE")) {
    WriteFile(expectedDoc, ReadFile(doc));
    WriteFile(expectedLog, MaskTimeStamps(run.out));
  }
  EXPECT_EQ(ReadFile(doc), ReadFile(expectedDoc));
  EXPECT_EQ(MaskTimeStamps(run.out), ReadFile(expectedLog));
}

}  // namespace
}  // namespace skelvane::e2e
