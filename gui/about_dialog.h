// The About box: a frameless dialog that shows a TAboutForm, with the
// project's picture decoded by libjpeg and two link labels.
#ifndef SKELVANE_GUI_ABOUT_DIALOG_H
#define SKELVANE_GUI_ABOUT_DIALOG_H

#include <QDialog>
#include <QLabel>

#include "app/about_box.h"

class QPushButton;

namespace skelvane::gui {

// A label that shows a TUrl and forwards the pointer and clicks to it.
class TUrlLabel : public QLabel {
 public:
  TUrlLabel(TUrl& url, QWidget* parent);
  ~TUrlLabel() override;
  TUrl& Model() { return url_; }
  void Refresh();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  TUrl& url_;
};

class TAboutDialog : public QDialog {
 public:
  // `picture`: the JPEG bytes; a picture that does not decode leaves the
  // frame empty.
  TAboutDialog(TAboutForm& form, const QByteArray& picture, QWidget* parent);

  QLabel* Image1() const { return image1_; }
  TUrlLabel* Url1() const { return url1_; }
  TUrlLabel* UrlOurSite() const { return urlOurSite_; }
  QPushButton* BitBtn1() const { return bitBtn1_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QLabel* image1_;
  TUrlLabel* urlOurSite_;
  TUrlLabel* url1_;
  QPushButton* bitBtn1_;
};

// The project's own About picture, built into the program.
QByteArray AboutPicture();

}  // namespace skelvane::gui

#endif
