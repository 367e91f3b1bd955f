// The operation frame against an emulator database: logon, the operation,
// logoff, and what each kind of failure leaves behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <stdexcept>

#include "app/application.h"
#include "app/recording_front_end.h"
#include "oracle/oracle_error.h"
#include "support/emulator_database.h"
#include "support/test_schema.h"

namespace skelvane {
namespace {

class Frame : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.RunAsSystem(::skelvane::testing::kTestUsers);
    db_.UseInThisProcess();
    form_.UserName.SetText("appu");
    form_.Password.SetText("secret");
    form_.DatabaseName.SetText(db_.Id());
    app_.ShowMainForm();
  }
  void TearDown() override {
    if (DM) DM->OracleSession1.LogOff();
    DM.reset();
  }
  bool Idle() const {
    for (const TControlModel* c : {(const TControlModel*)&form_.DatabaseName, (const TControlModel*)&form_.UserName,
                                   (const TControlModel*)&form_.Password, (const TControlModel*)&form_.ButtonTest,
                                   (const TControlModel*)&form_.FilenameEdit2, (const TControlModel*)&form_.cbEnableExport})
      if (!c->Enabled()) return false;
    return true;
  }

  ::skelvane::testing::TEmulatorDatabase db_;
  ::skelvane::testing::TRecordingFrontEnd frontEnd_;
  TApplication app_{frontEnd_, "/opt/skelvane/skelvane"};
  TmForm_skelvane& form_ = app_.StartUp();
};

TEST_F(Frame, WrongPasswordGivesExactlyOneStampedLineAndAnIdleWindow) {
  form_.Password.SetText("wrong");
  EXPECT_EQ(form_.ButtonTestClick(), TOperationOutcome::DatabaseError);
  ASSERT_EQ(form_.MemoLog.Lines().size(), 1u);
  EXPECT_TRUE(std::regex_match(
      form_.MemoLog.Lines()[0],
      std::regex(R"(\d\d-\d\d-\d{4} \d\d:\d\d:\d\d:Ошибка базы данных\. причина:ORA-01017: invalid username/password; logon denied)")))
      << form_.MemoLog.Lines()[0];
  EXPECT_TRUE(form_.UpdateLog.Lines().empty());
  EXPECT_TRUE(Idle());
  EXPECT_TRUE(frontEnd_.errorBoxes.empty());
  EXPECT_EQ(form_.LastFailureMessage(), "ORA-01017: invalid username/password; logon denied");
}

TEST_F(Frame, OperationRunsBetweenLogOnAndLogOff) {
  bool connectedInside = false;
  std::string userInside;
  form_.CompareOperation = [&](TOperationHost& host, TDM& dm) {
    connectedInside = dm.OracleSession1.Connected();
    userInside = host.UserNameText();
    host.WriteLog("working", true, false);
  };
  EXPECT_EQ(form_.ButtonTestClick(), TOperationOutcome::Completed);
  EXPECT_TRUE(connectedInside);
  // The hourglass while the client is initialised, and back after.
  ASSERT_GE(frontEnd_.busy.size(), 2u);
  EXPECT_TRUE(frontEnd_.busy.front());
  EXPECT_FALSE(frontEnd_.busy.back());
  EXPECT_EQ(userInside, "appu");
  EXPECT_FALSE(DM->OracleSession1.Connected());
  EXPECT_EQ(form_.UserName.Items(), (std::vector<std::string>{"appu"}));
  EXPECT_TRUE(Idle());
  EXPECT_TRUE(form_.LastFailureMessage().empty());
}

TEST_F(Frame, DatabaseErrorInsideTheOperationKeepsTheSessionAndTheNextRunWorks) {
  form_.CompareOperation = [](TOperationHost& host, TDM& dm) {
    host.WriteLog("before", false, false);
    dm.Q_Another.SetSQL({"select * from no_such_table"});
    dm.Q_Another.Execute();
    host.WriteLog("never", false, false);
  };
  EXPECT_EQ(form_.ButtonTestClick(), TOperationOutcome::DatabaseError);
  ASSERT_EQ(form_.MemoLog.Lines().size(), 2u);
  EXPECT_NE(form_.MemoLog.Lines()[1].find(":Ошибка базы данных. причина:ORA-00942"), std::string::npos)
      << form_.MemoLog.Lines()[1];
  EXPECT_TRUE(DM->OracleSession1.Connected());  // the logoff step was skipped
  EXPECT_TRUE(Idle());

  form_.CompareOperation = [](TOperationHost& host, TDM&) { host.WriteLog("again", false, false); };
  EXPECT_EQ(form_.ButtonTestClick(), TOperationOutcome::Completed);
  EXPECT_EQ(form_.MemoLog.Lines().back(), "again");
  EXPECT_FALSE(DM->OracleSession1.Connected());
}

TEST_F(Frame, OtherFailureShowsTheErrorBoxLogsOffAndUnlocks) {
  form_.cbEnableExport.SetChecked(true);
  form_.cbEnableExportClick();
  form_.ExportOperation = [](TOperationHost&, TDM&) {
    throw std::runtime_error("Cannot create file /nowhere/x._sdb");
  };
  EXPECT_EQ(form_.ButtonGetClick(), TOperationOutcome::Failed);
  ASSERT_EQ(frontEnd_.errorBoxes.size(), 1u);
  EXPECT_EQ(frontEnd_.errorBoxes[0].first, "Skelvane");
  EXPECT_EQ(frontEnd_.errorBoxes[0].second, "Cannot create file /nowhere/x._sdb.");
  EXPECT_FALSE(DM->OracleSession1.Connected());
  EXPECT_TRUE(Idle());
  EXPECT_TRUE(form_.ButtonGet.Enabled());
  EXPECT_TRUE(form_.MemoLog.Lines().empty());
}

TEST_F(Frame, ClearLogOptionKeepsOnlyTheLatestRunInTheCommonLog) {
  form_.cbClearEveryTime.SetChecked(true);
  int run = 0;
  form_.CompareOperation = [&](TOperationHost& host, TDM&) {
    ++run;
    host.WriteLog("run " + std::to_string(run), false, true);
  };
  form_.ButtonTestClick();
  form_.ButtonTestClick();
  EXPECT_EQ(form_.MemoLog.Lines(), (std::vector<std::string>{"run 2"}));
  EXPECT_EQ(form_.UpdateLog.Lines(), (std::vector<std::string>{"run 1", "run 2"}));
}

TEST_F(Frame, RejectedStatementInsideAnOperationDoesNotStopIt) {
  form_.CompareOperation = [&](TOperationHost& host, TDM&) {
    form_.ExecuteStatement("CREATE TABLE BAD (", "\tnever");
    form_.ExecuteStatement("CREATE SEQUENCE SQ1", "\tCreate sequence SQ1");
    host.WriteLog("end", false, false);
  };
  EXPECT_EQ(form_.ButtonTestClick(), TOperationOutcome::Completed);
  ASSERT_EQ(form_.MemoLog.Lines().size(), 3u);
  EXPECT_NE(form_.MemoLog.Lines()[0].find(":Ошибка в запросе="), std::string::npos);
  EXPECT_EQ(form_.UpdateLog.Lines(), (std::vector<std::string>{"\tCreate sequence SQ1"}));
  EXPECT_EQ(DM->RejectedStatements, 1);
}

TEST_F(Frame, ExportButtonWritesTheDocument) {
  db_.Run("APPU/secret", ::skelvane::testing::kTestSchema);
  std::string file = db_.Folder() + "/out._sdb";
  form_.cbEnableExport.SetChecked(true);
  form_.cbEnableExportClick();
  form_.FilenameEdit1.SetText(file);
  EXPECT_EQ(form_.ButtonGetClick(), TOperationOutcome::Completed)
      << form_.MemoLog.Text() << form_.LastFailureMessage();
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_GT(std::filesystem::file_size(file), 0u);
  EXPECT_FALSE(form_.MemoLog.Lines().empty());
}

}  // namespace
}  // namespace skelvane
