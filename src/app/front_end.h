// What the window model needs from whichever front end shows it: the GUI
// implements these with its widget toolkit, the command line with its
// standard streams, tests with a recorder.
#ifndef SKELVANE_APP_FRONT_END_H
#define SKELVANE_APP_FRONT_END_H

#include <string>

namespace skelvane {

class TAboutForm;
class TPopupMenuModel;

class TFrontEnd {
 public:
  virtual ~TFrontEnd() = default;
  // A modal error box (error icon, one OK button).
  virtual void ShowErrorBox(const std::string& title, const std::string& message) = 0;
  // The busy (hourglass) cursor while a client call runs.
  virtual void SetBusyCursor(bool busy) = 0;
  // Let pending window messages run, so the logs show progress.
  virtual void ProcessMessages() = 0;
  // The message box behind a statement's Debug switch.
  virtual void ShowDebugBox(const std::string& text) = 0;
  // Open a link with the desktop's handler; false when it could not.
  virtual bool OpenLink(const std::string& url) = 0;
  // Show the About box modally; it is destroyed when this returns.
  virtual void ShowAboutBox(TAboutForm& box) = 0;
  // Open the popup menu at the top-left corner of the button that asked.
  virtual void ShowPopupMenu(const TPopupMenuModel& menu) = 0;
  // Close the main window, which ends the program.
  virtual void CloseMainWindow() = 0;
};

}  // namespace skelvane

#endif
