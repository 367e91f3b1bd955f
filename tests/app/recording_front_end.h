// A front end that records what the window asked of it.
#ifndef SKELVANE_TESTS_APP_RECORDING_FRONT_END_H
#define SKELVANE_TESTS_APP_RECORDING_FRONT_END_H

#include <functional>
#include <string>
#include <vector>

#include "app/about_box.h"
#include "app/front_end.h"
#include "app/menu.h"

namespace skelvane::testing {

class TRecordingFrontEnd : public TFrontEnd {
 public:
  std::vector<std::pair<std::string, std::string>> errorBoxes;  // title, message
  std::vector<std::string> debugBoxes;
  // Label1 and LabelProgramVersion of each About box shown.
  std::vector<std::pair<std::string, std::string>> aboutBoxes;
  std::vector<std::string> openedLinks;
  bool openSucceeds = true;
  std::vector<std::string> popups;
  int processMessages = 0;
  int closes = 0;

  void ShowErrorBox(const std::string& title, const std::string& message) override {
    errorBoxes.emplace_back(title, message);
  }
  std::vector<bool> busy;
  void SetBusyCursor(bool on) override { busy.push_back(on); }
  void ProcessMessages() override { ++processMessages; }
  void ShowDebugBox(const std::string& text) override { debugBoxes.push_back(text); }
  bool OpenLink(const std::string& url) override {
    openedLinks.push_back(url);
    return openSucceeds;
  }
  // Runs while the box is shown, as a user would act on it.
  std::function<void(TAboutForm&)> onAboutBox;
  void ShowAboutBox(TAboutForm& box) override {
    aboutBoxes.emplace_back(box.Label1, box.LabelProgramVersion);
    if (onAboutBox) onAboutBox(box);
  }
  void ShowPopupMenu(const TPopupMenuModel& menu) override { popups.push_back(menu.Name); }
  void CloseMainWindow() override { ++closes; }
};

}  // namespace skelvane::testing

#endif
