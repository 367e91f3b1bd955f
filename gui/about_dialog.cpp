#include "about_dialog.h"

#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "jpeg_image.h"

namespace skelvane::gui {

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

QLabel* WhiteLabel(const std::string& text, QWidget* parent) {
  auto* label = new QLabel(Text(text), parent);
  label->setAutoFillBackground(true);
  QPalette p = label->palette();
  p.setColor(QPalette::Window, Qt::white);
  p.setColor(QPalette::WindowText, Qt::black);
  label->setPalette(p);
  return label;
}

}  // namespace

QByteArray AboutPicture() {
  QFile file(QStringLiteral(":/skelvane/about.jpg"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

TUrlLabel::TUrlLabel(TUrl& url, QWidget* parent) : QLabel(parent), url_(url) {
  setObjectName(Text(url.Name()));
  setCursor(Qt::PointingHandCursor);
  setAutoFillBackground(true);
  url_.OnChanged = [this] { Refresh(); };
  Refresh();
}

TUrlLabel::~TUrlLabel() { url_.OnChanged = nullptr; }

void TUrlLabel::Refresh() {
  setText(Text(url_.Caption));
  setToolTip(url_.ShowHint ? Text(url_.Hint) : QString());
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  p.setColor(QPalette::WindowText, QColor(Text(url_.FontColor)));
  setPalette(p);
  QFont f = font();
  f.setBold(url_.FontStyle.Bold);
  f.setItalic(url_.FontStyle.Italic);
  f.setUnderline(url_.FontStyle.Underline);
  f.setStrikeOut(url_.FontStyle.StrikeOut);
  setFont(f);
}

void TUrlLabel::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  url_.MouseEnter();
}

void TUrlLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  url_.MouseLeave();
}

void TUrlLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) url_.Click();
}

TAboutDialog::TAboutDialog(TAboutForm& form, const QByteArray& picture, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("AboutForm"));
  setFixedSize(TAboutForm::kClientWidth, TAboutForm::kClientHeight);
  setModal(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);

  image1_ = new QLabel(this);
  image1_->setObjectName(QStringLiteral("Image1"));
  image1_->setGeometry(16, 16, TAboutForm::kImageSize, TAboutForm::kImageSize);
  image1_->setFrameShape(QFrame::Box);
  const QImage image = DecodeJpeg(picture);
  if (!image.isNull()) {
    image1_->setFrameShape(QFrame::NoFrame);
    image1_->setPixmap(QPixmap::fromImage(image.scaled(TAboutForm::kImageSize, TAboutForm::kImageSize,
                                                       Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
  }

  QLabel* label1 = WhiteLabel(form.Label1, this);
  label1->setObjectName(QStringLiteral("Label1"));
  label1->setWordWrap(true);
  label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label1->setGeometry(136, 16, 169, 105);
  QLabel* version = WhiteLabel(form.LabelProgramVersion, this);
  version->setObjectName(QStringLiteral("LabelProgramVersion"));
  version->setGeometry(16, 140, 289, 20);
  QLabel* staticText1 = WhiteLabel(form.StaticText1, this);
  staticText1->setObjectName(QStringLiteral("StaticText1"));
  staticText1->setGeometry(16, 172, 289, 20);
  urlOurSite_ = new TUrlLabel(form.Url_OurSite, this);
  urlOurSite_->setGeometry(16, 194, 289, 20);
  QLabel* staticText2 = WhiteLabel(form.StaticText2, this);
  staticText2->setObjectName(QStringLiteral("StaticText2"));
  staticText2->setGeometry(16, 226, 289, 20);
  url1_ = new TUrlLabel(form.Url1, this);
  url1_->setGeometry(16, 248, 289, 20);

  bitBtn1_ = new QPushButton(Text(form.BitBtn1), this);
  bitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
  bitBtn1_->setGeometry(TAboutForm::kClientWidth - 16 - 90, TAboutForm::kClientHeight - 16 - 28, 90, 28);
  bitBtn1_->setDefault(true);
  // Esc presses the close button: QDialog rejects on Esc.
  connect(bitBtn1_, &QPushButton::clicked, this, &QDialog::reject);
}

void TAboutDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Qt::white);
  painter.drawRect(rect().adjusted(2, 2, -3, -3));
}

}  // namespace skelvane::gui
