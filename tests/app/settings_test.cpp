// The settings file: the profile-file reader and writer, the stored window
// properties and placement, and where the file lives. No window system.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "app/application.h"
#include "app/form_storage.h"
#include "app/main_form.h"
#include "app/profile_file.h"
#include "app/recording_front_end.h"
#include "app/settings_location.h"
#include "common/platform.h"
#include "support/placement_host.h"
#include "support/temp_folder.h"

namespace skelvane {
namespace {

using testing::TFakePlacementHost;
using testing::TRecordingFrontEnd;
using testing::ReadAll;
using testing::TTempFolder;

TEST(ProfileFile, ReadsKeysWhateverTheirCaseAndStripsOnePairOfQuotes) {
  TTempFolder folder("ini");
  const std::string file = folder.WriteFile("a.ini",
                                            "[Main]\r\n"
                                            "Plain=value\r\n"
                                            "Double=\"quoted value\"\r\n"
                                            "Single='single'\r\n"
                                            "Twice=\"\"kept\"\"\r\n"
                                            "Mixed=\"half'\r\n"
                                            "Blanks =  spaced  \r\n"
                                            "Empty=\r\n"
                                            "[Other]\r\n"
                                            "Plain=other\r\n");
  const TProfileFile ini(file);
  struct TCase {
    const char* section;
    const char* key;
    const char* expected;
  };
  for (const TCase& c : {TCase{"main", "PLAIN", "value"}, TCase{"MAIN", "double", "quoted value"},
                         TCase{"main", "Single", "single"}, TCase{"main", "Twice", "\"kept\""},
                         TCase{"main", "Mixed", "\"half'"}, TCase{"main", "Blanks", "spaced"},
                         TCase{"main", "Empty", ""}, TCase{"other", "plain", "other"},
                         TCase{"main", "Missing", "<default>"}, TCase{"nowhere", "Plain", "<default>"}})
    EXPECT_EQ(ini.ReadString(c.section, c.key, "<default>"), c.expected) << c.section << "/" << c.key;
}

TEST(ProfileFile, ReadsBackAtMost2047Characters) {
  TTempFolder folder("ini");
  const std::string file = folder.WriteFile("a.ini", "[s]\r\nk=" + std::string(3000, 'x') + "\r\n");
  EXPECT_EQ(TProfileFile(file).ReadString("s", "k", ""), std::string(2047, 'x'));
}

TEST(ProfileFile, WritesInPlaceAppendsAtSectionEndAndErasesSections) {
  TTempFolder folder("ini");
  const std::string file = folder.WriteFile("a.ini", "[one]\nA=1\nB=2\n\n[two]\nC=3\n");
  TProfileFile ini(file);
  ini.WriteString("ONE", "b", "20");        // replaced where it stands
  ini.WriteString("one", "D", "4");         // appended to its section, before the blank line
  ini.WriteString("three", "E", "5");       // new section at the end
  ini.EraseSection("TWO");
  ini.EraseSection("absent");
  ini.Flush();
  EXPECT_EQ(ReadAll(file), "[one]\r\nA=1\r\nb=20\r\nD=4\r\n\r\n[three]\r\nE=5\r\n");
}

TEST(ProfileFile, LineBreaksInAValueCannotForgeKeys) {
  TTempFolder folder("ini");
  TProfileFile ini(folder / "a.ini");
  ini.WriteString("main", "UserName_Text", "scott\r\nPassword=tiger");
  ini.Flush();
  const TProfileFile back(folder / "a.ini");
  EXPECT_EQ(back.ReadString("main", "Password", "<none>"), "<none>");
  EXPECT_EQ(back.KeyCount("main"), 1u);
}

TEST(ProfileFile, AFileThatCannotBeWrittenIsReportedAndLeftAsItWas) {
  TTempFolder folder("ini");
  const std::string blocker = folder.WriteFile("file-not-folder", "x");
  TProfileFile ini(blocker + "/a.ini");
  ini.WriteString("main", "k", "v");
  try {
    ini.Flush();
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + blocker + "/a.ini");
  }
  EXPECT_EQ(ReadAll(blocker), "x");
}

// Two windows closing at once: the file ends as one of them wrote it, never a mix.
TEST(ProfileFile, SavesAtTheSameTimeLeaveOneWholeFile) {
  TTempFolder folder("ini");
  const std::string file = folder / "both.ini";
  auto text = [](char letter) {
    TProfileFile ini("unused");
    for (int k = 0; k < 2000; ++k) ini.WriteString("main", "key" + std::to_string(k), std::string(40, letter));
    return ini.Text();
  };
  const std::string a = text('a'), b = text('b');
  for (int round = 0; round < 20; ++round) {
    auto save = [&](char letter, std::string& failure) {
      TProfileFile ini(file);
      for (int k = 0; k < 2000; ++k) ini.WriteString("main", "key" + std::to_string(k), std::string(40, letter));
      try {
        ini.Flush();
      } catch (const std::runtime_error& e) {
        failure = e.what();
      }
    };
    std::string failedA, failedB;
    std::thread first(save, 'a', std::ref(failedA));
    save('b', failedB);
    first.join();
    ASSERT_EQ(failedA + failedB, "") << "round " << round;
    const std::string written = ReadAll(file);
    ASSERT_TRUE(written == a || written == b) << "round " << round << ": " << written.size() << " bytes";
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

// A window model with its settings file in a temporary folder.
class Settings : public ::testing::Test {
 protected:
  TTempFolder folder_{"settings"};
  TRecordingFrontEnd frontEnd_;
  TFakePlacementHost host_;
  std::unique_ptr<TmForm_skelvane> form_ = NewForm();

  std::unique_ptr<TmForm_skelvane> NewForm() {
    auto form = std::make_unique<TmForm_skelvane>(frontEnd_, "Skelvane", folder_ / "skelvane");
    form->FormStorage1.IniFileName = folder_ / "skelvane.ini";
    return form;
  }
  std::string Ini() const { return folder_ / "skelvane.ini"; }
  void WriteIni(const std::string& mainKeys, const std::string& more = "") {
    folder_.WriteFile("skelvane.ini", "[main]\r\n" + mainKeys + more);
  }
  // A new window restored from the file, as on the next start.
  TmForm_skelvane& Restarted() {
    form_ = NewForm();
    form_->RestoreSettings(host_);
    return *form_;
  }
};

TEST_F(Settings, FirstCloseWritesEveryKeyInOrderAndTheHistorySection) {
  form_->RestoreSettings(host_);  // no file: the designed defaults stay
  EXPECT_EQ(form_->DatabaseName.Text(), "XE");
  EXPECT_EQ(form_->PanelLog.Height(), 164);
  form_->DatabaseName.SetText(" XE ");
  form_->UserName.SetText("scott/tiger@ORCL");
  form_->Password.SetText("secret-pw");
  form_->LockControls();  // remembers the user part in the history
  form_->UnlockControls();
  form_->UserName.AddItem("hr");
  form_->SaveSettings(host_, false);

  EXPECT_EQ(ReadAll(Ini()),
            "[main]\r\n"
            "FormVersion=0\r\n"
            "Flags=0\r\n"
            "ShowCmd=1\r\n"
            "PixelsPerInch=96\r\n"
            "MinMaxPos(1920x1080)=-1,-1,-1,-1\r\n"
            "MinMaxPos=-1,-1,-1,-1\r\n"
            "NormPos(1920x1080)=162,109,1006,703\r\n"
            "NormPos=162,109,1006,703\r\n"
            "Visible=0\r\n"
            "DatabaseName_Text=XE\r\n"
            "FilenameEdit1_Text=test._sdb\r\n"
            "FilenameEdit2_Text=test._sdb\r\n"
            "UserName_Text=scott\r\n"
            "cbClearEveryTime_Checked=False\r\n"
            "PanelLog_Height=164\r\n"
            "cbBulkRead_Checked=False\r\n"
            "cbPlanOnly_Checked=False\r\n"
            "[main.UserName_Items]\r\n"
            "Count=2\r\n"
            "Item0=scott\r\n"
            "Item1=hr\r\n");
  EXPECT_TRUE(frontEnd_.errorBoxes.empty());
}

TEST_F(Settings, NothingIsSavedBeforeTheFirstRestoreAndDestructionSavesOnlyWhenCloseDidNot) {
  form_->SaveSettings(host_, false);
  EXPECT_FALSE(platform::FileExists(Ini()));
  form_->RestoreSettings(host_);
  form_->SaveSettings(host_, true);
  EXPECT_EQ(TProfileFile(Ini()).ReadString("main", "Visible", ""), "1");
  form_->RestoreSettings(host_);
  form_->SaveSettings(host_, false);
  form_->DatabaseName.SetText("CHANGED");
  form_->SaveSettings(host_, true);  // saved since the restore: skipped
  const TProfileFile ini(Ini());
  EXPECT_EQ(ini.ReadString("main", "Visible", ""), "0");
  EXPECT_EQ(ini.ReadString("main", "DatabaseName_Text", ""), "XE");
}

TEST_F(Settings, StoredValuesComeBackAsTheTableSays) {
  struct TCase {
    const char* keys;
    const char* database;
    int height;
    bool clearChecked;
  };
  const TCase cases[] = {
      {"PanelLog_Height=abc\r\n", "XE", 0, false},
      {"DatabaseName_Text=ORCL\r\n", "ORCL", 164, false},
      {"cbClearEveryTime_Checked=true\r\n", "XE", 164, true},
      {"cbClearEveryTime_Checked=TRUE\r\n", "XE", 164, true},
      {"cbClearEveryTime_Checked=yes\r\nPanelLog_Height=250\r\n", "XE", 250, false},
      {"FormVersion=-1\r\nDatabaseName_Text=ORCL\r\nPanelLog_Height=9\r\n", "XE", 164, false},
      {"DatabaseName_Text=\"\"a b\"\"\r\n", "\"a b\"", 164, false},
  };
  for (const TCase& c : cases) {
    WriteIni(c.keys);
    const TmForm_skelvane& form = Restarted();
    EXPECT_EQ(form.DatabaseName.Text(), c.database) << c.keys;
    EXPECT_EQ(form.PanelLog.Height(), c.height) << c.keys;
    EXPECT_EQ(form.cbClearEveryTime.Checked(), c.clearChecked) << c.keys;
  }
}

TEST_F(Settings, QuotedFileNamesAndTheHistoryRoundTrip) {
  form_->RestoreSettings(host_);
  form_->FilenameEdit2.FilePicked("/home/dba/my schema._sdb");
  form_->UserName.SetItems({"scott", " hr ", "Demo_App"});
  form_->cbClearEveryTime.SetChecked(true);
  form_->PanelLog.SetHeight(301);
  form_->SaveSettings(host_, false);

  TmForm_skelvane& form = Restarted();
  EXPECT_EQ(form.FilenameEdit2.Text(), "\"/home/dba/my schema._sdb\"");
  EXPECT_EQ(form.UserName.Items(), (std::vector<std::string>{"scott", "hr", "Demo_App"}));
  EXPECT_TRUE(form.cbClearEveryTime.Checked());
  EXPECT_EQ(form.PanelLog.Height(), 301);
}

TEST_F(Settings, BulkAndPlanOptionsRoundTripAfterTheOlderKeys) {
  struct TCase {
    bool bulk, plan;
  };
  for (const TCase c : {TCase{false, false}, TCase{true, false}, TCase{false, true}, TCase{true, true}}) {
    TmForm_skelvane& form = Restarted();
    form.cbBulkRead.SetChecked(c.bulk);
    form.cbPlanOnly.SetChecked(c.plan);
    form.SaveSettings(host_, false);
    const std::string text = ReadAll(Ini());
    const std::string keys = std::string("PanelLog_Height=164\r\ncbBulkRead_Checked=") +
                             (c.bulk ? "True" : "False") + "\r\ncbPlanOnly_Checked=" +
                             (c.plan ? "True" : "False") + "\r\n";
    EXPECT_NE(text.find(keys), std::string::npos) << text;
    const TmForm_skelvane& back = Restarted();
    EXPECT_EQ(back.cbBulkRead.Checked(), c.bulk) << c.bulk << c.plan;
    EXPECT_EQ(back.cbPlanOnly.Checked(), c.plan) << c.bulk << c.plan;
  }
}

TEST_F(Settings, AFileWrittenBeforeTheOptionsRestoresBothUncheckedAndGainsTheirKeysAtTheEnd) {
  const std::string placementAndOlderKeys =
      "[main]\r\n"
      "FormVersion=0\r\n"
      "Flags=0\r\n"
      "ShowCmd=1\r\n"
      "PixelsPerInch=96\r\n"
      "MinMaxPos(1920x1080)=-1,-1,-1,-1\r\n"
      "MinMaxPos=-1,-1,-1,-1\r\n"
      "NormPos(1920x1080)=162,109,1006,703\r\n"
      "NormPos=162,109,1006,703\r\n"
      "Visible=0\r\n"
      "DatabaseName_Text=ORCL\r\n"
      "FilenameEdit1_Text=test._sdb\r\n"
      "FilenameEdit2_Text=test._sdb\r\n"
      "UserName_Text=scott\r\n"
      "cbClearEveryTime_Checked=True\r\n"
      "PanelLog_Height=200\r\n";
  const std::string history = "[main.UserName_Items]\r\nCount=1\r\nItem0=scott\r\n";
  folder_.WriteFile("skelvane.ini", placementAndOlderKeys + history);
  host_.visible = true;  // so that the restored placement keeps its show command
  TmForm_skelvane& form = Restarted();
  EXPECT_EQ(form.DatabaseName.Text(), "ORCL");
  EXPECT_TRUE(form.cbClearEveryTime.Checked());
  EXPECT_EQ(form.PanelLog.Height(), 200);
  EXPECT_FALSE(form.cbBulkRead.Checked());  // per object, as before the option
  EXPECT_FALSE(form.cbPlanOnly.Checked());  // and the compare updates
  form.SaveSettings(host_, false);
  EXPECT_EQ(ReadAll(Ini()), placementAndOlderKeys +
                                "cbBulkRead_Checked=False\r\ncbPlanOnly_Checked=False\r\n" + history);

  // Hand-edited values are read as the other booleans are.
  WriteIni("cbBulkRead_Checked=TRUE\r\ncbPlanOnly_Checked=yes\r\n");
  const TmForm_skelvane& edited = Restarted();
  EXPECT_TRUE(edited.cbBulkRead.Checked());
  EXPECT_FALSE(edited.cbPlanOnly.Checked());
}

TEST_F(Settings, HistoryCountIsTrustedOnlyAsFarAsItemsExist) {
  WriteIni("", "[main.UserName_Items]\r\nCount=2000000000\r\nItem0=scott\r\nItem1=hr\r\n");
  EXPECT_EQ(Restarted().UserName.Items(), (std::vector<std::string>{"scott", "hr"}));
  WriteIni("", "[main.UserName_Items]\r\nCount=0\r\nItem0=scott\r\n");
  form_ = NewForm();
  form_->UserName.SetItems({"kept"});
  form_->RestoreSettings(host_);
  EXPECT_EQ(form_->UserName.Items(), (std::vector<std::string>{"kept"}));
}

TEST_F(Settings, ThePasswordAndConnectStringsNeverReachTheFile) {
  form_->RestoreSettings(host_);
  form_->Password.SetText("pw-in-field");
  form_->UserName.SetText("app/pw-in-user@PROD AS SYSDBA");
  form_->UserName.SetItems({"ops/pw-in-history@TEST"});
  form_->SaveSettings(host_, false);
  const std::string text = ReadAll(Ini());
  EXPECT_EQ(text.find("pw-in"), std::string::npos) << text;
  const TmForm_skelvane& form = Restarted();
  EXPECT_EQ(form.UserName.Text(), "app");
  EXPECT_EQ(form.UserName.Items(), (std::vector<std::string>{"ops"}));
  EXPECT_EQ(form.Password.Text(), "");
}

TEST_F(Settings, PlacementIsRestoredForTheSameScreenResolutionOnly) {
  const std::string stored =
      "PixelsPerInch=96\r\nNormPos(1920x1080)=10,20,810,620\r\nNormPos=30,40,530,440\r\nShowCmd=1\r\n";
  struct TCase {
    int width, height, ppi;
    bool applied;
    TRect expected;
  };
  const TCase cases[] = {
      {1920, 1080, 96, true, {10, 20, 810, 620}},   // the suffixed key for this screen
      {1280, 800, 96, true, {30, 40, 530, 440}},    // another screen size: the plain key
      {1920, 1080, 120, false, {}},                 // another pixels per inch: nothing
  };
  for (const TCase& c : cases) {
    WriteIni(stored);
    host_ = TFakePlacementHost();
    host_.screenWidth = c.width;
    host_.screenHeight = c.height;
    host_.pixelsPerInch = c.ppi;
    Restarted();
    ASSERT_EQ(host_.applied.size(), c.applied ? 1u : 0u) << c.width << "x" << c.height << " " << c.ppi;
    if (c.applied) {
      EXPECT_EQ(host_.applied[0].NormalPosition, c.expected);
      EXPECT_EQ(host_.applied[0].ShowCmd, kShowHidden);  // applying must not show the window
    }
  }
}

TEST_F(Settings, PlacementPartsDefaultAndAFixedBorderKeepsTheSize) {
  WriteIni("NormPos=5,6,x\r\nMinMaxPos=1\r\n");
  host_.resizable = false;
  Restarted();
  ASSERT_EQ(host_.applied.size(), 1u);
  // Left and top from the file, right and bottom from the current size.
  EXPECT_EQ(host_.applied[0].NormalPosition, (TRect{5, 6, 5 + 844, 6 + 594}));
  EXPECT_EQ(host_.applied[0].MinPosition, (TPoint{1, 0}));
  EXPECT_EQ(host_.applied[0].MaxPosition, (TPoint{0, 0}));
}

TEST_F(Settings, ShowCommandsMapToWindowStates) {
  struct TCase {
    const char* showCmd;
    TWindowState state;
    int minimizes;
  };
  const TCase cases[] = {{"1", TWindowState::Normal, 0},    {"3", TWindowState::Maximized, 0},
                         {"2", TWindowState::Normal, 1},    {"7", TWindowState::Normal, 1},
                         {"9", TWindowState::Normal, 0},    {"x", TWindowState::Normal, 0}};
  for (const TCase& c : cases) {
    WriteIni(std::string("ShowCmd=") + c.showCmd + "\r\n");
    host_ = TFakePlacementHost();
    host_.state = TWindowState::Maximized;  // proves the state is set, not left
    Restarted();
    EXPECT_EQ(host_.state, c.state) << c.showCmd;
    EXPECT_EQ(host_.minimizeCalls, c.minimizes) << c.showCmd;
  }
}

TEST_F(Settings, AMinimizedApplicationIsSavedAsShowCommandTwo) {
  form_->RestoreSettings(host_);
  host_.applicationMinimized = true;
  form_->SaveSettings(host_, false);
  EXPECT_EQ(TProfileFile(Ini()).ReadString("main", "ShowCmd", ""), "2");
}

TEST_F(Settings, AnUnwritableFileIsReportedInTheErrorBox) {
  const std::string blocker = folder_.WriteFile("blocker", "x");
  form_->FormStorage1.IniFileName = blocker + "/skelvane.ini";
  form_->RestoreSettings(host_);
  form_->SaveSettings(host_, false);
  ASSERT_EQ(frontEnd_.errorBoxes.size(), 1u);
  EXPECT_EQ(frontEnd_.errorBoxes[0].first, "Skelvane");
  EXPECT_EQ(frontEnd_.errorBoxes[0].second, "Unable to write to " + blocker + "/skelvane.ini.");
}

TEST_F(Settings, OtherSectionsAndKeysOfTheFileSurviveASave) {
  WriteIni("Custom=kept\r\n", "[elsewhere]\r\nX=1\r\n");
  Restarted().SaveSettings(host_, false);
  const TProfileFile ini(Ini());
  EXPECT_EQ(ini.ReadString("main", "Custom", ""), "kept");
  EXPECT_EQ(ini.ReadString("elsewhere", "X", ""), "1");
  EXPECT_EQ(ini.ReadString("main", "FormVersion", ""), "0");
}

TEST(SettingsLocation, PortableFileBesideTheExecutableElseTheUserConfigFolder) {
  TTempFolder folder("where");
  const std::string oldXdg = platform::GetEnv("XDG_CONFIG_HOME");
  const bool hadXdg = platform::EnvIsSet("XDG_CONFIG_HOME");
  const std::string exe = folder / "bin/skelvane";
  platform::SetEnv("XDG_CONFIG_HOME", folder / "config");
  EXPECT_EQ(SettingsFilePath(exe), folder / "config/skelvane/skelvane.ini");
  platform::SetEnv("XDG_CONFIG_HOME", "relative/ignored");
  EXPECT_EQ(SettingsFilePath(exe), platform::GetEnv("HOME") + "/.config/skelvane/skelvane.ini");
  folder.WriteFile("bin/skelvane.ini", "[main]\r\n");
  EXPECT_EQ(SettingsFilePath(exe), folder / "bin/skelvane.ini");
  if (hadXdg) platform::SetEnv("XDG_CONFIG_HOME", oldXdg);
  else platform::UnsetEnv("XDG_CONFIG_HOME");
}

TEST(SettingsLocation, TheFirstSaveCreatesTheConfigFolder) {
  TTempFolder folder("where");
  TRecordingFrontEnd frontEnd;
  TFakePlacementHost host;
  TmForm_skelvane form(frontEnd, "Skelvane", folder / "bin/skelvane");
  form.FormStorage1.IniFileName = folder / "config/skelvane/skelvane.ini";
  form.RestoreSettings(host);
  form.SaveSettings(host, false);
  EXPECT_TRUE(platform::FileExists(folder / "config/skelvane/skelvane.ini"));
  EXPECT_TRUE(frontEnd.errorBoxes.empty());
}

}  // namespace
}  // namespace skelvane
