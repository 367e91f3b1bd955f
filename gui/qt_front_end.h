// The model's hooks answered with Qt: error and debug boxes, the busy
// cursor, letting the window repaint, links, the About box and the menu.
#ifndef SKELVANE_GUI_QT_FRONT_END_H
#define SKELVANE_GUI_QT_FRONT_END_H

#include "app/front_end.h"

namespace skelvane::gui {

class TMainWindow;

class TQtFrontEnd : public TFrontEnd {
 public:
  // The window that parents the boxes and shows the menu; set once it exists.
  void SetMainWindow(TMainWindow* window) { window_ = window; }
  TMainWindow* MainWindow() const { return window_; }

  void ShowErrorBox(const std::string& title, const std::string& message) override;
  void SetBusyCursor(bool busy) override;
  void ProcessMessages() override;
  void ShowDebugBox(const std::string& text) override;
  bool OpenLink(const std::string& url) override;
  void ShowAboutBox(TAboutForm& box) override;
  void ShowPopupMenu(const TPopupMenuModel& menu) override;
  void CloseMainWindow() override;

 private:
  TMainWindow* window_ = nullptr;
  bool busy_ = false;
};

}  // namespace skelvane::gui

#endif
