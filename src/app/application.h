// Start-up: the application object, the main window and the data module,
// created in that order; nothing connects to the database at start.
#ifndef SKELVANE_APP_APPLICATION_H
#define SKELVANE_APP_APPLICATION_H

#include <exception>
#include <memory>
#include <string>

#include "app/front_end.h"
#include "app/main_form.h"

namespace skelvane {

class TApplication {
 public:
  // `exeName`: the full path of the running executable.
  TApplication(TFrontEnd& frontEnd, std::string exeName);
  // Logs off and releases DM; detaches the access layer's hooks.
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  std::string Title;
  std::unique_ptr<TmForm_skelvane> mForm_skelvane;

  // Title "Skelvane", the main window (its FormCreate runs), then DM; the
  // access layer's debug box and busy cursor are routed to the front end.
  TmForm_skelvane& StartUp();
  // What showing the main window runs after the settings are restored.
  void ShowMainForm();
  // The default handler: an error box titled with Title.
  void ShowException(const std::exception& e);

 private:
  TFrontEnd& frontEnd_;
  std::string exeName_;
};

}  // namespace skelvane

#endif
