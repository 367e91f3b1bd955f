// A front end that records what the window asked of it.
#ifndef SKELVANE_TESTS_APP_RECORDING_FRONT_END_H
#define SKELVANE_TESTS_APP_RECORDING_FRONT_END_H

#include <string>
#include <vector>

#include "app/front_end.h"
#include "app/menu.h"

namespace skelvane::testing {

class TRecordingFrontEnd : public TFrontEnd {
 public:
  std::vector<std::pair<std::string, std::string>> errorBoxes;  // title, message
  std::vector<std::string> debugBoxes;
  std::vector<std::pair<std::string, std::string>> aboutBoxes;
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
  void OpenLink(const std::string&) override {}
  void ShowAboutBox(const std::string& description, const std::string& version) override {
    aboutBoxes.emplace_back(description, version);
  }
  void ShowPopupMenu(const TPopupMenuModel& menu) override { popups.push_back(menu.Name); }
  void CloseMainWindow() override { ++closes; }
};

}  // namespace skelvane::testing

#endif
