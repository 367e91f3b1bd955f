// The window model without a database: start-up, enabling rules, history,
// logs, captions and the menu data.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "app/application.h"
#include "app/main_form.h"
#include "app/settings_location.h"
#include "app/recording_front_end.h"

namespace skelvane {
namespace {

using testing::TRecordingFrontEnd;

// The inputs LockControls disables and UnlockControls enables again.
std::vector<const TControlModel*> LockedInputs(const TmForm_skelvane& f) {
  return {&f.DatabaseName,      &f.UserName,         &f.Password,   &f.ButtonTest,
          &f.FilenameEdit2,     &f.cbEnableExport,   &f.cbSequenceSetZero,
          &f.cbClearEveryTime, &f.cbBulkRead,       &f.cbPlanOnly};
}

class MainForm : public ::testing::Test {
 protected:
  TRecordingFrontEnd frontEnd_;
  TApplication app_{frontEnd_, "/opt/skelvane/bin/skelvane"};
  TmForm_skelvane& form_ = app_.StartUp();
  void TearDown() override { DM.reset(); }
};

TEST_F(MainForm, StartUpCreatesWindowAndDataModuleWithoutLoggingOn) {
  EXPECT_EQ(app_.Title, "Skelvane");
  EXPECT_EQ(form_.Caption, "Skelvane v.1.0.0.4");
  EXPECT_EQ(form_.ProgramDirectory(), "/opt/skelvane/bin");
  EXPECT_EQ(form_.FormStorage1.IniFileName, SettingsFilePath("/opt/skelvane/bin/skelvane"));
  EXPECT_EQ(form_.FormStorage1.IniSection, "main");
  ASSERT_TRUE(DM);
  EXPECT_EQ(&form_.DataModule(), DM.get());
  EXPECT_FALSE(DM->OracleSession1.Connected());
}

TEST_F(MainForm, ShowDisablesExportUntilTheBoxIsTicked) {
  form_.ButtonGet.SetEnabled(true);  // as if left enabled last time
  form_.FilenameEdit1.SetEnabled(true);
  form_.pcLogs.SetActivePageIndex(1);
  app_.ShowMainForm();
  EXPECT_FALSE(form_.ButtonGet.Enabled());
  EXPECT_FALSE(form_.FilenameEdit1.Enabled());
  EXPECT_EQ(form_.pcLogs.ActivePageIndex(), 0);
  EXPECT_EQ(form_.ActiveControl, "Password");

  form_.cbEnableExport.SetChecked(true);
  form_.cbEnableExportClick();
  EXPECT_TRUE(form_.ButtonGet.Enabled());
  EXPECT_TRUE(form_.FilenameEdit1.Enabled());
  form_.cbEnableExport.SetChecked(false);
  form_.cbEnableExportClick();
  EXPECT_FALSE(form_.ButtonGet.Enabled());
  EXPECT_FALSE(form_.FilenameEdit1.Enabled());
}

TEST_F(MainForm, LockDisablesEverythingAndUnlockLetsExportFollowTheBox) {
  app_.ShowMainForm();
  form_.cbEnableExport.SetChecked(true);
  form_.cbEnableExportClick();
  form_.LockControls();
  for (auto* c : LockedInputs(form_)) EXPECT_FALSE(c->Enabled()) << c->Name();
  EXPECT_FALSE(form_.ButtonGet.Enabled());
  EXPECT_FALSE(form_.FilenameEdit1.Enabled());
  form_.UnlockControls();
  for (auto* c : LockedInputs(form_)) EXPECT_TRUE(c->Enabled()) << c->Name();
  EXPECT_TRUE(form_.ButtonGet.Enabled());

  form_.cbEnableExport.SetChecked(false);
  form_.cbEnableExportClick();
  form_.LockControls();
  form_.UnlockControls();
  EXPECT_FALSE(form_.ButtonGet.Enabled());
  EXPECT_FALSE(form_.FilenameEdit1.Enabled());
}

TEST_F(MainForm, HistoryGrowsByNewNamesOnlyIgnoringCase) {
  form_.UserName.SetText("scott");
  form_.LockControls();
  form_.UserName.SetText("SCOTT");
  form_.LockControls();
  EXPECT_EQ(form_.UserName.Items(), (std::vector<std::string>{"scott"}));
  form_.UserName.SetText("hr");
  form_.LockControls();
  form_.UserName.SetText("Scott");
  form_.LockControls();
  EXPECT_EQ(form_.UserName.Items(), (std::vector<std::string>{"scott", "hr"}));
  // Only ASCII letters have a case: different bytes stay different names.
  form_.UserName.SetText("ÄNNA");
  form_.LockControls();
  form_.UserName.SetText("äNNA");
  form_.LockControls();
  EXPECT_EQ(form_.UserName.Items().size(), 4u);
}

// A connect string typed as the user name: the operations and the history
// see the user only.
TEST_F(MainForm, ConnectStringsLeaveOnlyTheUserInTheSchemaNameAndTheHistory) {
  const struct {
    const char* typed;
    const char* user;
  } cases[] = {
      {"APP", "APP"},
      {"APP/secret@DB", "APP"},
      {"APP/secret", "APP"},
      {"app@DB", "app"},
      {"sys/secret@DB as sysdba", "sys"},
      {"Sys AS SYSOPER", "Sys"},
      {"\"we/ird\"/secret@DB", "\"we/ird\""},
      {"/", ""},
      {"/@DB as sysdba", ""},
  };
  for (const auto& c : cases) {
    form_.UserName.SetText(c.typed);
    EXPECT_EQ(form_.UserNameText(), c.user) << c.typed;
    EXPECT_EQ(SchemaUserName(c.typed), c.user) << c.typed;
    form_.LockControls();
    form_.UnlockControls();
  }
  // One item per user (letter case ignored), none empty, none with a
  // password, database or role.
  EXPECT_EQ(form_.UserName.Items(), (std::vector<std::string>{"APP", "sys", "\"we/ird\""}));
}

TEST_F(MainForm, ClearLogOptionClearsOnlyTheCommonLogAtLock) {
  form_.WriteLog("first", false, true);
  form_.LockControls();
  EXPECT_EQ(form_.MemoLog.Lines().size(), 1u);  // option off: kept
  form_.cbClearEveryTime.SetChecked(true);
  form_.LockControls();
  EXPECT_TRUE(form_.MemoLog.Lines().empty());
  EXPECT_EQ(form_.UpdateLog.Lines(), (std::vector<std::string>{"first"}));
}

TEST_F(MainForm, WriteLogStampsOnlyTheCommonLogAndKeepsLineBreaks) {
  form_.WriteLog("plain", false, false);
  form_.WriteLog("stamped", true, true);
  form_.WriteLog("two\r\nlines", false, false);
  const auto& lines = form_.MemoLog.Lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "plain");
  EXPECT_TRUE(std::regex_match(lines[1], std::regex(R"(\d\d-\d\d-\d{4} \d\d:\d\d:\d\d:stamped)")))
      << lines[1];
  EXPECT_EQ(lines[2], "two");
  EXPECT_EQ(lines[3], "lines");
  EXPECT_EQ(form_.UpdateLog.Lines(), (std::vector<std::string>{"stamped"}));

  form_.TimeStamp = [] { return std::string("08-12-2026 09:05:03"); };
  form_.WriteLog("x", true, false);
  EXPECT_EQ(form_.MemoLog.Lines().back(), "08-12-2026 09:05:03:x");
}

TEST_F(MainForm, EveryChangeReachesTheView) {
  std::vector<std::string> changed;
  form_.OnChange = [&](const TControlModel& c) { changed.push_back(c.Name()); };
  form_.DatabaseName.SetText("ORCL");
  form_.WriteLog("x", false, true);
  form_.LockControls();
  EXPECT_EQ(changed[0], "DatabaseName");
  EXPECT_EQ(changed[1], "MemoLog");
  EXPECT_EQ(changed[2], "UpdateLog");
  EXPECT_NE(std::find(changed.begin(), changed.end(), "cbClearEveryTime"), changed.end());
}

TEST_F(MainForm, BrowsedNamesWithBlanksAreQuotedForShowButNotForTheOperations) {
  form_.FilenameEdit1.FilePicked("/home/u/my schema._sdb");
  EXPECT_EQ(form_.FilenameEdit1.Text(), "\"/home/u/my schema._sdb\"");
  EXPECT_EQ(form_.ExportFileName(), "/home/u/my schema._sdb");
  form_.FilenameEdit2.FilePicked("/home/u/plain._sdb");
  EXPECT_EQ(form_.FilenameEdit2.Text(), "/home/u/plain._sdb");
  EXPECT_EQ(form_.UpdateFileName(), "/home/u/plain._sdb");
}

TEST_F(MainForm, ActionsAndMenuButtonGoToTheFrontEnd) {
  form_.ActionAboutProgramExecute();
  form_.ImageBtn1Click();
  form_.ActionExitProgramExecute();
  ASSERT_EQ(frontEnd_.aboutBoxes.size(), 1u);
  EXPECT_EQ(frontEnd_.aboutBoxes[0], std::make_pair(std::string("Skelvane."), std::string("Версия 1.0.0.4")));
  EXPECT_EQ(frontEnd_.popups, (std::vector<std::string>{"ExtPopupMenu1"}));
  EXPECT_EQ(frontEnd_.closes, 1);
}

TEST(MainFormHelpers, PeriodRuleAndPaths) {
  EXPECT_EQ(MessageWithPeriod("Cannot create file x"), "Cannot create file x.");
  EXPECT_EQ(MessageWithPeriod("code 5"), "code 5.");
  EXPECT_EQ(MessageWithPeriod("done."), "done.");
  EXPECT_EQ(MessageWithPeriod("(see above)"), "(see above)");  // ')' sorts before '.'
  EXPECT_EQ(MessageWithPeriod("причина"), "причина.");   // high bytes sort after '.'
  EXPECT_EQ(MessageWithPeriod(""), "");
  EXPECT_EQ(SettingsFileNameFor("/a/b.c/skelvane"), "/a/b.c/skelvane.ini");
  EXPECT_EQ(SettingsFileNameFor("/a/skelvane.exe"), "/a/skelvane.ini");
  EXPECT_EQ(DirectoryOf("/a/b/skelvane"), "/a/b");
  EXPECT_EQ(DirectoryOf("/skelvane"), "/");
}

}  // namespace
}  // namespace skelvane
