#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "side_bar_menu.h"

namespace skelvane::gui {

namespace {

QString Text(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size())); }
std::string Bytes(const QString& s) { return s.toLocal8Bit().toStdString(); }

QLabel* FieldLabel(const TControlModel& model, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(Text(model.Caption()), parent);
  label->setBuddy(buddy);
  return label;
}

// The menu button's picture: three bars on red, drawn here rather than
// shipped as a file.
QIcon MenuIcon() {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor(200, 30, 30));
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRectF(1, 1, 22, 22), 4, 4);
  painter.setBrush(Qt::white);
  for (int y : {6, 11, 16}) painter.drawRect(QRectF(6, y, 12, 2.5));
  return QIcon(pixmap);
}

}  // namespace

TFileNameEdit::TFileNameEdit(TFileNameModel& model, QWidget* parent) : QWidget(parent), model_(model) {
  setObjectName(Text(model.Name()));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  edit_ = new QLineEdit(this);
  edit_->setObjectName(Text(model.Name()) + QStringLiteral("Edit"));
  browse_ = new QToolButton(this);
  browse_->setObjectName(Text(model.Name()) + QStringLiteral("Browse"));
  browse_->setText(QStringLiteral("..."));
  browse_->setToolTip(QStringLiteral("Browse"));
  browse_->setFocusPolicy(Qt::ClickFocus);
  layout->addWidget(edit_, 1);
  layout->addWidget(browse_);
  setFocusProxy(edit_);
  connect(edit_, &QLineEdit::textEdited, this, [this](const QString& text) { model_.SetText(Bytes(text)); });
  connect(browse_, &QToolButton::clicked, this, [this] { Browse(); });
}

QString TFileNameEdit::QtFilter(const std::string& filter) {
  const QStringList parts = Text(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    const QString& pattern = parts[i + 1];
    QString pattern1 = pattern;
    pattern1.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << (description.contains(QLatin1Char('(')) ? description
                                                        : description + QStringLiteral(" (") + pattern1 + QLatin1Char(')'));
  }
  return filters.join(QStringLiteral(";;"));
}

void TFileNameEdit::Browse() {
  QFileDialog dialog(window(), QString(), QString(), QtFilter(TFileNameModel::Filter));
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  QString ext = QString::fromLatin1(TFileNameModel::DefaultExt);
  if (ext.startsWith(QLatin1Char('.'))) ext.remove(0, 1);
  dialog.setDefaultSuffix(ext);
  QString current = Text(model_.Text());
  if (current.size() >= 2 && current.startsWith(QLatin1Char('"')) && current.endsWith(QLatin1Char('"')))
    current = current.mid(1, current.size() - 2);
  if (!current.isEmpty()) dialog.selectFile(current);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  model_.FilePicked(Bytes(QFileInfo(dialog.selectedFiles().first()).absoluteFilePath()));
}

TMainWindow::TMainWindow(TApplication& application, QWidget* parent)
    : QWidget(parent), application_(application), form_(*application.mForm_skelvane) {
  setObjectName(QStringLiteral("mForm_skelvane"));
  Build();
  Connect();
  form_.OnChange = [this](const TControlModel& control) { Sync(control); };
  SyncAll();
  setWindowTitle(Text(form_.Caption));
  setGeometry(form_.Left, form_.Top, form_.Width, form_.Height);
}

TMainWindow::~TMainWindow() {
  form_.SaveSettings(*this, true);
  form_.OnChange = nullptr;
}

void TMainWindow::Build() {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  splitter_ = new QSplitter(Qt::Vertical, this);
  splitter_->setObjectName(QStringLiteral("Splitter1"));
  splitter_->setChildrenCollapsible(false);
  outer->addWidget(splitter_);

  auto* top = new QWidget(splitter_);
  auto* grid = new QGridLayout(top);
  grid->setContentsMargins(10, 8, 10, 4);
  grid->setColumnStretch(1, 1);

  databaseName_ = new QLineEdit(top);
  databaseName_->setObjectName(QStringLiteral("DatabaseName"));
  userName_ = new QComboBox(top);
  userName_->setObjectName(QStringLiteral("UserName"));
  userName_->setEditable(true);
  userName_->setInsertPolicy(QComboBox::NoInsert);
  speedButton1_ = new QToolButton(top);
  speedButton1_->setObjectName(QStringLiteral("SpeedButton1"));
  speedButton1_->setText(Text(form_.SpeedButton1.Caption()));
  speedButton1_->setFocusPolicy(Qt::NoFocus);
  password_ = new QLineEdit(top);
  password_->setObjectName(QStringLiteral("Password"));
  password_->setEchoMode(QLineEdit::Password);
  password_->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));  // '*'
  filenameEdit1_ = new TFileNameEdit(form_.FilenameEdit1, top);
  filenameEdit2_ = new TFileNameEdit(form_.FilenameEdit2, top);
  buttonGet_ = new QPushButton(Text(form_.ButtonGet.Caption()), top);
  buttonGet_->setObjectName(QStringLiteral("ButtonGet"));
  buttonTest_ = new QPushButton(Text(form_.ButtonTest.Caption()), top);
  buttonTest_->setObjectName(QStringLiteral("ButtonTest"));
  label6_ = new QLabel(Text(form_.Label6.Caption()), top);
  label6_->setObjectName(QStringLiteral("Label6"));
  cbEnableExport_ = new QCheckBox(Text(form_.cbEnableExport.Caption()), top);
  cbEnableExport_->setObjectName(QStringLiteral("cbEnableExport"));
  cbSequenceSetZero_ = new QCheckBox(Text(form_.cbSequenceSetZero.Caption()), top);
  cbSequenceSetZero_->setObjectName(QStringLiteral("cbSequenceSetZero"));
  cbBulkRead_ = new QCheckBox(Text(form_.cbBulkRead.Caption()), top);
  cbBulkRead_->setObjectName(QStringLiteral("cbBulkRead"));
  cbPlanOnly_ = new QCheckBox(Text(form_.cbPlanOnly.Caption()), top);
  cbPlanOnly_->setObjectName(QStringLiteral("cbPlanOnly"));
  imageBtn1_ = new QToolButton(top);
  imageBtn1_->setObjectName(QStringLiteral("ImageBtn1"));
  imageBtn1_->setIcon(MenuIcon());
  imageBtn1_->setIconSize(QSize(24, 24));
  imageBtn1_->setAutoRaise(true);
  imageBtn1_->setToolTip(Text(form_.ImageBtn1Hint));
  imageBtn1_->setFocusPolicy(Qt::NoFocus);

  auto* userRow = new QHBoxLayout;
  userRow->addWidget(userName_, 1);
  userRow->addWidget(speedButton1_);

  int row = 0;
  grid->addWidget(FieldLabel(form_.DatabaseName, databaseName_, top), row, 0);
  grid->addWidget(databaseName_, row, 1);
  grid->addWidget(imageBtn1_, row++, 2, Qt::AlignRight | Qt::AlignTop);
  grid->addWidget(FieldLabel(form_.UserName, userName_, top), row, 0);
  grid->addLayout(userRow, row++, 1);
  grid->addWidget(FieldLabel(form_.Password, password_, top), row, 0);
  grid->addWidget(password_, row++, 1);
  grid->addWidget(buttonGet_, row++, 0, 1, 3);
  grid->addWidget(FieldLabel(form_.FilenameEdit1, filenameEdit1_, top), row, 0);
  grid->addWidget(filenameEdit1_, row++, 1, 1, 2);
  grid->addWidget(buttonTest_, row++, 0, 1, 3);
  grid->addWidget(FieldLabel(form_.FilenameEdit2, filenameEdit2_, top), row, 0);
  grid->addWidget(filenameEdit2_, row++, 1, 1, 2);
  grid->addWidget(label6_, row, 0, Qt::AlignTop);
  // Two columns keep the upper part as high as with two options.
  auto* options = new QGridLayout;
  options->addWidget(cbEnableExport_, 0, 0);
  options->addWidget(cbSequenceSetZero_, 1, 0);
  options->addWidget(cbBulkRead_, 0, 1);
  options->addWidget(cbPlanOnly_, 1, 1);
  options->setHorizontalSpacing(24);
  grid->addLayout(options, row++, 1, 1, 2, Qt::AlignLeft | Qt::AlignTop);
  grid->setRowStretch(row, 1);

  panelLog_ = new QWidget(splitter_);
  panelLog_->setObjectName(QStringLiteral("PanelLog"));
  auto* panelLayout = new QVBoxLayout(panelLog_);
  panelLayout->setContentsMargins(4, 0, 4, 4);
  panelLayout->setSpacing(2);
  auto* panel1 = new QWidget(panelLog_);
  panel1->setObjectName(QStringLiteral("Panel1"));
  auto* panel1Layout = new QHBoxLayout(panel1);
  panel1Layout->setContentsMargins(6, 0, 0, 0);
  cbClearEveryTime_ = new QCheckBox(Text(form_.cbClearEveryTime.Caption()), panel1);
  cbClearEveryTime_->setObjectName(QStringLiteral("cbClearEveryTime"));
  panel1Layout->addWidget(cbClearEveryTime_);
  panel1Layout->addStretch(1);
  pcLogs_ = new QTabWidget(panelLog_);
  pcLogs_->setObjectName(QStringLiteral("pcLogs"));
  auto makeLog = [this](const TLinesModel& model) {
    auto* log = new QPlainTextEdit(pcLogs_);
    log->setObjectName(Text(model.Name()));
    log->setReadOnly(true);
    log->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return log;
  };
  memoLog_ = makeLog(form_.MemoLog);
  updateLog_ = makeLog(form_.UpdateLog);
  const auto& pages = form_.pcLogs.Pages();
  pcLogs_->addTab(memoLog_, Text(pages.at(0).second));
  pcLogs_->addTab(updateLog_, Text(pages.at(1).second));
  pcLogs_->widget(0)->setProperty("page", Text(pages.at(0).first));
  pcLogs_->widget(1)->setProperty("page", Text(pages.at(1).first));
  panelLayout->addWidget(panel1);
  panelLayout->addWidget(pcLogs_, 1);

  splitter_->addWidget(top);
  splitter_->addWidget(panelLog_);
  splitter_->setStretchFactor(0, 1);
  splitter_->setStretchFactor(1, 0);

  views_ = {{&form_.DatabaseName, databaseName_},   {&form_.UserName, userName_},
            {&form_.Password, password_},           {&form_.FilenameEdit1, filenameEdit1_},
            {&form_.FilenameEdit2, filenameEdit2_}, {&form_.ButtonGet, buttonGet_},
            {&form_.ButtonTest, buttonTest_},       {&form_.cbEnableExport, cbEnableExport_},
            {&form_.cbSequenceSetZero, cbSequenceSetZero_},
            {&form_.cbClearEveryTime, cbClearEveryTime_},
            {&form_.cbBulkRead, cbBulkRead_},       {&form_.cbPlanOnly, cbPlanOnly_},
            {&form_.MemoLog, memoLog_},             {&form_.UpdateLog, updateLog_},
            {&form_.pcLogs, pcLogs_},               {&form_.PanelLog, panelLog_},
            {&form_.Panel1, panel1},                {&form_.Splitter1, splitter_},
            {&form_.ImageBtn1, imageBtn1_},         {&form_.SpeedButton1, speedButton1_},
            {&form_.Label6, label6_}};

  // The designed tab order.
  QWidget* previous = nullptr;
  for (const std::string& name : TmForm_skelvane::TabOrder()) {
    QWidget* w = Control(name);
    if (w == filenameEdit1_ || w == filenameEdit2_) w = static_cast<TFileNameEdit*>(w)->Edit();
    if (w == panelLog_) w = pcLogs_;
    if (previous && w) setTabOrder(previous, w);
    if (w) previous = w;
  }

  auto* exitAction = new QAction(Text(form_.ActionExitProgram.Caption), this);
  exitAction->setObjectName(Text(form_.ActionExitProgram.Name));
  exitAction->setShortcut(QKeySequence(Text(form_.ActionExitProgram.ShortCut)));
  exitAction->setShortcutContext(Qt::WindowShortcut);
  addAction(exitAction);
  connect(exitAction, &QAction::triggered, this, [this] { form_.ActionExitProgramExecute(); });
}

QWidget* TMainWindow::Control(const std::string& name) const {
  for (const auto& [model, view] : views_)
    if (model->Name() == name) return view;
  return nullptr;
}

void TMainWindow::Connect() {
  connect(databaseName_, &QLineEdit::textEdited, this,
          [this](const QString& t) { form_.DatabaseName.SetText(Bytes(t)); });
  connect(password_, &QLineEdit::textEdited, this,
          [this](const QString& t) { form_.Password.SetText(Bytes(t)); });
  connect(userName_, &QComboBox::editTextChanged, this,
          [this](const QString& t) { form_.UserName.SetText(Bytes(t)); });
  connect(buttonGet_, &QPushButton::clicked, this, [this] { RunButton(true); });
  connect(buttonTest_, &QPushButton::clicked, this, [this] { RunButton(false); });
  connect(cbEnableExport_, &QCheckBox::clicked, this, [this](bool on) {
    form_.cbEnableExport.SetChecked(on);
    form_.cbEnableExportClick();
  });
  connect(cbSequenceSetZero_, &QCheckBox::clicked, this,
          [this](bool on) { form_.cbSequenceSetZero.SetChecked(on); });
  connect(cbClearEveryTime_, &QCheckBox::clicked, this,
          [this](bool on) { form_.cbClearEveryTime.SetChecked(on); });
  connect(cbBulkRead_, &QCheckBox::clicked, this, [this](bool on) { form_.cbBulkRead.SetChecked(on); });
  connect(cbPlanOnly_, &QCheckBox::clicked, this, [this](bool on) { form_.cbPlanOnly.SetChecked(on); });
  connect(pcLogs_, &QTabWidget::currentChanged, this,
          [this](int index) { form_.pcLogs.SetActivePageIndex(index); });
  connect(splitter_, &QSplitter::splitterMoved, this,
          [this](int, int) { form_.PanelLog.SetHeight(panelLog_->height()); });
  // Released inside the button, as a click is.
  connect(imageBtn1_, &QToolButton::clicked, this, [this] { form_.ImageBtn1Click(); });
}

void TMainWindow::RunButton(bool exportButton) {
  busy_ = true;
  if (exportButton) form_.ButtonGetClick();
  else form_.ButtonTestClick();
  busy_ = false;
}

void TMainWindow::SyncLog(const TLinesModel& model, QPlainTextEdit* view, std::size_t& shown) {
  const auto& lines = model.Lines();
  if (lines.size() < shown) {
    view->clear();
    shown = 0;
  }
  for (; shown < lines.size(); ++shown) view->appendPlainText(Text(lines[shown]));
}

void TMainWindow::Sync(const TControlModel& control) {
  auto found = views_.find(&control);
  if (found == views_.end()) return;
  QWidget* view = found->second;
  if (view->isEnabled() != control.Enabled()) view->setEnabled(control.Enabled());
  auto setText = [](QLineEdit* edit, const std::string& text) {
    const QString t = Text(text);
    if (edit->text() != t) edit->setText(t);
  };
  if (&control == &form_.DatabaseName) setText(databaseName_, form_.DatabaseName.Text());
  else if (&control == &form_.Password) setText(password_, form_.Password.Text());
  else if (&control == &form_.FilenameEdit1) setText(filenameEdit1_->Edit(), form_.FilenameEdit1.Text());
  else if (&control == &form_.FilenameEdit2) setText(filenameEdit2_->Edit(), form_.FilenameEdit2.Text());
  else if (&control == &form_.UserName) {
    QStringList items;
    for (const auto& item : form_.UserName.Items()) items << Text(item);
    QStringList shown;
    for (int i = 0; i < userName_->count(); ++i) shown << userName_->itemText(i);
    const QString text = Text(form_.UserName.Text());
    if (items != shown) {
      const QSignalBlocker blocker(userName_);
      userName_->clear();
      userName_->addItems(items);
      userName_->setEditText(text);
    }
    if (userName_->currentText() != text) userName_->setEditText(text);
  } else if (&control == &form_.cbEnableExport) cbEnableExport_->setChecked(form_.cbEnableExport.Checked());
  else if (&control == &form_.cbSequenceSetZero) cbSequenceSetZero_->setChecked(form_.cbSequenceSetZero.Checked());
  else if (&control == &form_.cbClearEveryTime) cbClearEveryTime_->setChecked(form_.cbClearEveryTime.Checked());
  else if (&control == &form_.cbBulkRead) cbBulkRead_->setChecked(form_.cbBulkRead.Checked());
  else if (&control == &form_.cbPlanOnly) cbPlanOnly_->setChecked(form_.cbPlanOnly.Checked());
  else if (&control == &form_.MemoLog) SyncLog(form_.MemoLog, memoLog_, memoShown_);
  else if (&control == &form_.UpdateLog) SyncLog(form_.UpdateLog, updateLog_, updateShown_);
  else if (&control == &form_.pcLogs) {
    if (pcLogs_->currentIndex() != form_.pcLogs.ActivePageIndex())
      pcLogs_->setCurrentIndex(form_.pcLogs.ActivePageIndex());
  } else if (&control == &form_.PanelLog) {
    const QList<int> sizes = splitter_->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    const int wanted = form_.PanelLog.Height();
    if (total > 0 && sizes.value(1) != wanted) splitter_->setSizes({qMax(0, total - wanted), wanted});
  }
}

void TMainWindow::SyncAll() {
  for (const auto& entry : views_) Sync(*entry.first);
}

void TMainWindow::ShowMainForm() {
  form_.RestoreSettings(*this);
  switch (pendingState_) {
    case TWindowState::Maximized:
      showMaximized();
      break;
    case TWindowState::Minimized:
      showMinimized();
      break;
    case TWindowState::Normal:
      show();
      break;
  }
  // Laid out only now, the splitter can give the panel its height.
  if (layout()) layout()->activate();
  Sync(form_.PanelLog);
  if (!shownOnce_) {
    shownOnce_ = true;
    application_.ShowMainForm();
  }
  SyncAll();
  if (QWidget* focus = Control(form_.ActiveControl)) focus->setFocus();
}

TSideBarMenu* TMainWindow::BuildPopupMenu() {
  auto* menu = new TSideBarMenu(
      form_.ExtPopupMenu1, form_.ExtPopupMenu1.Items,
      [this](const std::string& action) { form_.ExecuteAction(action); }, true, this);
  menu->setObjectName(Text(form_.ExtPopupMenu1.Name));
  return menu;
}

void TMainWindow::ShowPopupMenu() {
  TSideBarMenu* menu = BuildPopupMenu();
  menu->exec(imageBtn1_->mapToGlobal(QPoint(0, 0)));
  menu->deleteLater();
}

void TMainWindow::closeEvent(QCloseEvent* event) {
  // The operation still runs on this thread; it ends first.
  if (busy_) {
    event->ignore();
    return;
  }
  form_.SaveSettings(*this, false);
  event->accept();
}

TWindowPlacement TMainWindow::GetPlacement() const {
  TWindowPlacement placement;
  const QRect r = isVisible() && (isMaximized() || isMinimized()) ? normalGeometry() : geometry();
  placement.NormalPosition = {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
  if (isVisible()) {
    placement.ShowCmd = isMinimized() ? kShowMinimized : isMaximized() ? kShowMaximized : kShowNormal;
  } else {
    placement.ShowCmd = pendingState_ == TWindowState::Maximized ? kShowMaximized
                        : pendingState_ == TWindowState::Minimized ? kShowMinimized
                                                                   : kShowNormal;
  }
  return placement;
}

void TMainWindow::SetPlacement(const TWindowPlacement& placement) {
  const TRect& r = placement.NormalPosition;
  setGeometry(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

TRect TMainWindow::Bounds() const {
  const QRect r = geometry();
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

int TMainWindow::ScreenWidth() const {
  const QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->size().width() : 0;
}

int TMainWindow::ScreenHeight() const {
  const QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->size().height() : 0;
}

int TMainWindow::PixelsPerInch() const {
  const QScreen* s = QGuiApplication::primaryScreen();
  return s ? qRound(s->logicalDotsPerInch()) : 96;
}

void TMainWindow::SetWindowState(TWindowState state) {
  pendingState_ = state;
  if (!isVisible()) return;
  switch (state) {
    case TWindowState::Normal:
      showNormal();
      break;
    case TWindowState::Minimized:
      showMinimized();
      break;
    case TWindowState::Maximized:
      showMaximized();
      break;
  }
}

}  // namespace skelvane::gui
