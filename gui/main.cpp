// skelvane: the desktop window.
#include <QApplication>

#include "app/application.h"
#include "common/platform.h"
#include "main_window.h"
#include "qt_front_end.h"

int main(int argc, char* argv[]) {
  QApplication qtApplication(argc, argv);
  // OCIDLL= and ORACLEHOME= reach the access layer as process parameters.
  skelvane::platform::SetProcessParameters(argc, argv);
  skelvane::gui::TQtFrontEnd frontEnd;
  skelvane::TApplication application(frontEnd, skelvane::platform::ExecutablePath());
  application.StartUp();
  QApplication::setApplicationName(QString::fromStdString(application.Title));
  QApplication::setApplicationDisplayName(QString::fromStdString(application.Title));
  skelvane::gui::TMainWindow window(application);
  frontEnd.SetMainWindow(&window);
  window.ShowMainForm();
  const int status = QApplication::exec();
  frontEnd.SetMainWindow(nullptr);
  return status;
}
