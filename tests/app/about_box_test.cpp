// The About box model and its link label.
#include <gtest/gtest.h>

#include "app/about_box.h"
#include "app/application.h"
#include "app/recording_front_end.h"

namespace skelvane {
namespace {

using testing::TRecordingFrontEnd;

TEST(AboutBox, ArgumentsReplaceTheDesignedTextsAndEmptyOnesKeepThem) {
  TRecordingFrontEnd frontEnd;
  const TAboutForm designed([](const std::string&) { return TUrl::kOpened; });
  std::vector<std::string> seen;
  frontEnd.onAboutBox = [&seen](TAboutForm& box) {
    seen = {box.Label1, box.LabelProgramVersion, box.Url1.Caption, box.Url1.URL(), box.Url1.Hint,
            box.BitBtn1};
  };
  ShowAboutBox(frontEnd, "Skelvane.", "1.0.0.4", "project site", "https://example.org/p");
  EXPECT_EQ(seen, (std::vector<std::string>{"Skelvane.", "Версия 1.0.0.4", "project site",
                                            "https://example.org/p", "https://example.org/p",
                                            "Закрыть"}));
  ShowAboutBox(frontEnd, "", "", "", "");
  EXPECT_EQ(seen, (std::vector<std::string>{designed.Label1, designed.LabelProgramVersion,
                                            designed.Url1.Caption, designed.Url1.URL(),
                                            designed.Url1.Hint, "Закрыть"}));
  // An address without a caption becomes the caption too.
  ShowAboutBox(frontEnd, "", "", "", "https://example.org/q");
  EXPECT_EQ(seen[2], "https://example.org/q");
}

TEST(AboutBox, TheMainWindowsActionShowsANewBoxEachTimeWithWorkingLinks) {
  TRecordingFrontEnd frontEnd;
  TApplication app(frontEnd, "/opt/skelvane/bin/skelvane");
  TmForm_skelvane& form = app.StartUp();
  frontEnd.onAboutBox = [](TAboutForm& box) { box.Url1.Click(); };
  form.ActionAboutProgramExecute();
  form.ActionAboutProgramExecute();
  EXPECT_EQ(frontEnd.aboutBoxes.size(), 2u);
  EXPECT_EQ(frontEnd.openedLinks,
            (std::vector<std::string>{kProjectSiteUrl, kProjectSiteUrl}));
  DM.reset();
}

TEST(Url, SettingTheAddressTakesOverCaptionAndHintOnlyWhileTheyShowTheOldOne) {
  struct TCase {
    const char* caption;
    const char* hint;
    bool showHint;
    const char* expectedCaption;
    const char* expectedHint;
  };
  const TCase cases[] = {
      {"", "", true, "new", "new"},
      {"old", "old", true, "new", "new"},
      {"Our site", "tip", true, "Our site", "tip"},
      {"old", "", false, "new", ""},
  };
  for (const TCase& c : cases) {
    TUrl url("u");
    url.SetURL("old");
    url.Caption = c.caption;
    url.Hint = c.hint;
    url.ShowHint = c.showHint;
    int changes = 0;
    url.OnChanged = [&changes] { ++changes; };
    url.SetURL("new");
    url.SetURL("new");  // the same address again changes nothing
    EXPECT_EQ(url.Caption, c.expectedCaption) << c.caption;
    EXPECT_EQ(url.Hint, c.expectedHint) << c.caption;
    EXPECT_EQ(url.URL(), "new");
    EXPECT_EQ(changes, 1);
  }
}

TEST(Url, ClickOpensTheAddressUnlessAHandlerIsAssignedAndReportsFailures) {
  std::vector<std::string> opened;
  int result = TUrl::kOpened;
  TUrl url("u", [&](const std::string& address) {
    opened.push_back(address);
    return result;
  });
  std::vector<std::pair<std::string, int>> failures;
  url.OnUrlFailed = [&failures](TUrl&, const std::string& address, int code) {
    failures.emplace_back(address, code);
  };
  url.Click();  // no address: nothing
  url.SetURL("https://example.org/");
  url.Click();
  result = 32;  // the shell's codes of 32 and below are failures
  url.Click();
  EXPECT_EQ(opened.size(), 2u);
  EXPECT_EQ(failures, (std::vector<std::pair<std::string, int>>{{"https://example.org/", 32}}));
  int clicks = 0;
  url.OnClick = [&clicks](TUrl&) { ++clicks; };
  url.Click();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(opened.size(), 2u);
}

TEST(Url, PointerOverTheLinkSwitchesToTheActiveLookAndBack) {
  TUrl url("u");
  EXPECT_EQ(url.FontColor, "navy");
  url.FontStyle.Bold = true;
  std::vector<std::string> events;
  url.OnMouseEnter = [&events](TUrl& u) { events.push_back("enter " + u.FontColor); };
  url.OnMouseLeave = [&events](TUrl& u) { events.push_back("leave " + u.FontColor); };
  url.MouseEnter();
  EXPECT_EQ(url.FontColor, "blue");
  EXPECT_TRUE(url.FontStyle.Underline);
  EXPECT_FALSE(url.FontStyle.Bold);
  url.MouseLeave();
  EXPECT_EQ(url.FontColor, "navy");
  EXPECT_EQ(url.FontStyle, (TFontStyle{true, false, false, false}));
  EXPECT_EQ(events, (std::vector<std::string>{"enter blue", "leave navy"}));
}

}  // namespace
}  // namespace skelvane
