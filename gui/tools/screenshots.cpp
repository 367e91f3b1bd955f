// Drives the real window for the README's pictures: an export through the
// export button, then the About box through the window's own action.
//   skelvane-screenshots OUTDIR DATABASE USER [OCIDLL=PATH ...] < password
// Writes OUTDIR/main-window.png and OUTDIR/about.png; its settings file is
// OUTDIR/screenshots.ini, so the user's own settings are left alone.
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "app/application.h"
#include "common/platform.h"
#include "main_window.h"
#include "qt_front_end.h"

int main(int argc, char* argv[]) {
  QApplication qtApplication(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: skelvane-screenshots OUTDIR DATABASE USER [OCIDLL=PATH] < password\n");
    return 64;
  }
  // The password comes on standard input, never on the command line.
  std::string password;
  for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) password += static_cast<char>(c);
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  std::vector<std::string> parameters(argv + 4, argv + argc);
  skelvane::platform::ProcessParameters() = parameters;

  skelvane::gui::TQtFrontEnd frontEnd;
  skelvane::TApplication application(frontEnd, skelvane::platform::ExecutablePath());
  skelvane::TmForm_skelvane& form = application.StartUp();
  QApplication::setApplicationDisplayName(QString::fromStdString(application.Title));
  const std::string ini = (out + QStringLiteral("/screenshots.ini")).toStdString();
  std::remove(ini.c_str());
  form.FormStorage1.IniFileName = ini;

  skelvane::gui::TMainWindow window(application);
  frontEnd.SetMainWindow(&window);
  window.ShowMainForm();
  int status = 0;
  QTimer::singleShot(300, [&] {
    form.DatabaseName.SetText(argv[2]);
    form.UserName.SetText(argv[3]);
    form.Password.SetText(password);
    form.cbEnableExport.SetChecked(true);
    form.cbEnableExportClick();
    form.FilenameEdit1.SetText((out + QStringLiteral("/") + QString::fromLocal8Bit(argv[3]) +
                                QStringLiteral("._sdb")).toStdString());
    window.ButtonGet()->click();
    QApplication::processEvents();
    if (!window.grab().save(out + QStringLiteral("/main-window.png"))) status = 2;
    if (form.LastFailureMessage() != "") {
      std::fprintf(stderr, "skelvane-screenshots: the export failed: %s\n", form.LastFailureMessage().c_str());
      status = 1;
    }
    // The box is modal: it is pictured and closed from inside its own loop.
    QTimer::singleShot(500, [&] {
      if (QWidget* box = QApplication::activeModalWidget()) {
        if (!box->grab().save(out + QStringLiteral("/about.png"))) status = 2;
        box->close();
      } else {
        std::fprintf(stderr, "skelvane-screenshots: the About box did not open\n");
        status = 2;
      }
    });
    // Off the links, so they show their resting look.
    QCursor::setPos(0, 0);
    form.ActionAboutProgramExecute();
    window.close();
  });
  QApplication::exec();
  frontEnd.SetMainWindow(nullptr);
  return status;
}
