#include "qt_front_end.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "about_dialog.h"
#include "main_window.h"

namespace skelvane::gui {

namespace {
QString Text(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

void TQtFrontEnd::ShowErrorBox(const std::string& title, const std::string& message) {
  QMessageBox::critical(window_, Text(title), Text(message), QMessageBox::Ok);
}

void TQtFrontEnd::SetBusyCursor(bool busy) {
  // The session may ask twice in a row; the override stack must stay even.
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  else QApplication::restoreOverrideCursor();
}

void TQtFrontEnd::ProcessMessages() { QCoreApplication::processEvents(); }

void TQtFrontEnd::ShowDebugBox(const std::string& text) {
  QMessageBox::information(window_, QApplication::applicationDisplayName(), Text(text));
}

bool TQtFrontEnd::OpenLink(const std::string& url) {
  return QDesktopServices::openUrl(QUrl(Text(url)));
}

void TQtFrontEnd::ShowAboutBox(TAboutForm& box) {
  TAboutDialog dialog(box, AboutPicture(), window_);
  dialog.exec();
}

void TQtFrontEnd::ShowPopupMenu(const TPopupMenuModel&) {
  if (window_) window_->ShowPopupMenu();
}

void TQtFrontEnd::CloseMainWindow() {
  if (window_) window_->close();
}

}  // namespace skelvane::gui
