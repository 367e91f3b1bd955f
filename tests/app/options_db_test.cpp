// The window's "Bulk dictionary reads" and "Plan only" options against the
// demo database: the buttons run what the options ask for, and nothing else.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/application.h"
#include "app/recording_front_end.h"
#include "common/platform.h"
#include "support/emulator_database.h"
#include "support/temp_folder.h"

namespace skelvane {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;

std::string DemoScript(const std::string& name) {
  const std::string text = ReadAll(platform::GetEnv("SKELVANE_SOURCE_DIR") + "/demo/" + name);
  EXPECT_FALSE(text.empty()) << "demo/" << name;
  return text;
}

// Round trips the emulator counts while `run` runs, from its trace.
int RoundTrips(const std::string& trace, const std::function<void()>& run) {
  fs::remove(trace);
  platform::SetEnv("ORAEMU_TRACE", trace);
  run();
  platform::SetEnv("ORAEMU_TRACE", "");
  std::ifstream in(trace, std::ios::binary);
  int count = 0;
  for (std::string line; std::getline(in, line);)
    if (line.size() > 1 && line[0] == '#' && line.find("ERROR") == std::string::npos) ++count;
  return count;
}

class Options : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string users = DemoScript("users.sql");
    ASSERT_FALSE(users.empty());
    db_.RunAsSystem(users);
    db_.Run("demo_app/demo_app_pw", DemoScript("seed.sql"));
    db_.Run("demo_reader/demo_reader_pw", DemoScript("reader.sql"));
    db_.UseInThisProcess();
    app_.ShowMainForm();
    form_.DatabaseName.SetText(db_.Id());
    form_.UserName.SetText("demo_app");
    form_.Password.SetText("demo_app_pw");
    form_.cbEnableExport.SetChecked(true);
    form_.cbEnableExportClick();
  }
  void TearDown() override {
    platform::SetEnv("ORAEMU_TRACE", "");
    if (DM) DM->OracleSession1.LogOff();
    DM.reset();
  }

  // The document an export writes with the bulk option as given.
  std::string Export(bool bulk, const std::string& name) {
    form_.cbBulkRead.SetChecked(bulk);
    const std::string file = db_.Folder() + "/" + name;
    form_.FilenameEdit1.SetText(file);
    EXPECT_EQ(form_.ButtonGetClick(), TOperationOutcome::Completed)
        << form_.MemoLog.Text() << form_.LastFailureMessage();
    return ReadAll(file);
  }
  TOperationOutcome Compare(const std::string& file) {
    form_.FilenameEdit2.SetText(file);
    return form_.ButtonTestClick();
  }
  std::string Trace() const { return db_.Folder() + "/trace.txt"; }

  ::skelvane::testing::TEmulatorDatabase db_{"DEMO"};
  ::skelvane::testing::TRecordingFrontEnd frontEnd_;
  TApplication app_{frontEnd_, "/opt/skelvane/skelvane"};
  TmForm_skelvane& form_ = app_.StartUp();
};

TEST_F(Options, BothOptionsAreLockedWhileAnOperationRunsAndFreedAfterIt) {
  struct TCase {
    bool bulk, plan;
  };
  for (const TCase c : {TCase{false, false}, TCase{true, false}, TCase{false, true}, TCase{true, true}}) {
    form_.cbBulkRead.SetChecked(c.bulk);
    form_.cbPlanOnly.SetChecked(c.plan);
    std::vector<bool> inside;
    bool bulkSeen = false, planSeen = false;
    form_.CompareOperation = [&](TOperationHost& host, TDM&) {
      inside = {form_.cbBulkRead.Enabled(), form_.cbPlanOnly.Enabled()};
      bulkSeen = host.BulkRead();
      planSeen = host.PlanOnly();
    };
    EXPECT_EQ(form_.ButtonTestClick(), TOperationOutcome::Completed);
    EXPECT_EQ(inside, (std::vector<bool>{false, false})) << c.bulk << c.plan;
    EXPECT_TRUE(form_.cbBulkRead.Enabled());
    EXPECT_TRUE(form_.cbPlanOnly.Enabled());
    // The operation reads the boxes as they are, and the run leaves them so.
    EXPECT_EQ(bulkSeen, c.bulk);
    EXPECT_EQ(planSeen, c.plan);
    EXPECT_EQ(form_.cbBulkRead.Checked(), c.bulk);
    EXPECT_EQ(form_.cbPlanOnly.Checked(), c.plan);
  }
  // A failed logon frees them too.
  form_.Password.SetText("wrong");
  EXPECT_EQ(form_.ButtonTestClick(), TOperationOutcome::DatabaseError);
  EXPECT_TRUE(form_.cbBulkRead.Enabled());
  EXPECT_TRUE(form_.cbPlanOnly.Enabled());
}

TEST_F(Options, BulkExportWritesTheSameDocumentWithFarFewerRoundTrips) {
  std::string perObject, bulk;
  const int perObjectTrips = RoundTrips(Trace(), [&] { perObject = Export(false, "per-object._sdb"); });
  const int bulkTrips = RoundTrips(Trace(), [&] { bulk = Export(true, "bulk._sdb"); });
  ASSERT_GT(perObject.size(), 1000u);
  EXPECT_EQ(bulk, perObject);
  // The demo has dozens of objects: per object is several times the reads.
  EXPECT_GT(bulkTrips, 0);
  EXPECT_LT(bulkTrips * 4, perObjectTrips) << bulkTrips << " bulk, " << perObjectTrips << " per object";
  EXPECT_TRUE(frontEnd_.errorBoxes.empty());
}

// The document of the demo, against a database that since lost a sequence,
// a comment and a procedure's body.
class PlanOnly : public Options {
 protected:
  void SetUp() override {
    Options::SetUp();
    if (HasFatalFailure()) return;
    document_ = db_.Folder() + "/demo._sdb";
    original_ = Export(false, "demo._sdb");
    db_.Run("demo_app/demo_app_pw",
            "DROP SEQUENCE audit_seq;\n"
            "COMMENT ON TABLE countries IS 'changed';\n"
            "CREATE OR REPLACE PROCEDURE cancel_order(p_order_id IN NUMBER) IS\nBEGIN\n  NULL;\nEND;\n/\n");
    changed_ = Export(false, "changed._sdb");
    ASSERT_NE(changed_, original_);
    form_.MemoLog.Clear();
  }
  // What executing the three statements writes to the logs.
  static std::vector<std::string> ExecutedMessages() {
    return {"\t\tAdd comment ", "\t\tnot found AUDIT_SEQ", "\t\tcreate procedure CANCEL_ORDER"};
  }
  std::string document_, original_, changed_;
};

TEST_F(PlanOnly, CompareWritesTheScriptAndExecutesNothing) {
  for (const bool bulk : {false, true}) {
    SCOPED_TRACE(bulk ? "bulk" : "per object");
    form_.cbBulkRead.SetChecked(bulk);
    form_.cbPlanOnly.SetChecked(true);
    const std::size_t updateLogBefore = form_.UpdateLog.Lines().size();
    const int plannedBefore = form_.PlannedStatements;
    const int rejectedBefore = DM ? DM->RejectedStatements : 0;
    ASSERT_EQ(Compare(document_), TOperationOutcome::Completed) << form_.MemoLog.Text();

    // The database is as it was: an export gives the changed document.
    EXPECT_EQ(Export(false, "after-plan._sdb"), changed_);
    EXPECT_EQ(DM->RejectedStatements, rejectedBefore);

    // The Update log page holds the script alone: statements ended by ";",
    // PL/SQL units by "/" on a line of its own, no success messages.
    const std::vector<std::string> script(form_.UpdateLog.Lines().begin() + updateLogBefore,
                                          form_.UpdateLog.Lines().end());
    std::string text;
    for (const auto& line : script) text += line + "\n";
    EXPECT_EQ(form_.PlannedStatements - plannedBefore, 3) << text;
    EXPECT_NE(text.find("CREATE SEQUENCE demo_app.AUDIT_SEQ "), std::string::npos) << text;
    EXPECT_NE(text.find("COMMENT ON TABLE COUNTRIES IS 'Countries the shop delivers to';"), std::string::npos)
        << text;
    EXPECT_NE(text.find("PROCEDURE cancel_order"), std::string::npos) << text;
    EXPECT_NE(std::find(script.begin(), script.end(), "/"), script.end()) << text;
    for (const auto& line : script) EXPECT_NE(line.rfind('\t', 0), 0u) << "a success message: " << line;
  }
  // Nothing of the plan went to the Common log as executed.
  for (const std::string& message : ExecutedMessages()) {
    const auto& lines = form_.MemoLog.Lines();
    EXPECT_EQ(std::find(lines.begin(), lines.end(), message), lines.end()) << message;
  }
}

TEST_F(PlanOnly, WithoutTheOptionTheSameCompareUpdatesTheDatabase) {
  form_.cbPlanOnly.SetChecked(false);
  const int plannedBefore = form_.PlannedStatements;
  ASSERT_EQ(Compare(document_), TOperationOutcome::Completed) << form_.MemoLog.Text();
  EXPECT_EQ(form_.PlannedStatements, plannedBefore);
  const std::string after = Export(false, "after-update._sdb");
  EXPECT_NE(after, changed_);
  for (const char* restored : {"{name AUDIT_SEQ}", "{comments Countries the shop delivers to}",
                               "delivery_note = p_reason"})
    EXPECT_NE(after.find(restored), std::string::npos) << restored;
  // The executed statements' messages reach the Update log, no script does.
  EXPECT_EQ(form_.UpdateLog.Lines(), ExecutedMessages());
}

}  // namespace
}  // namespace skelvane
