// The main window: Qt widgets that show TmForm_skelvane and forward every
// user event to it. It also answers the settings' placement questions.
#ifndef SKELVANE_GUI_MAIN_WINDOW_H
#define SKELVANE_GUI_MAIN_WINDOW_H

#include <functional>
#include <map>

#include <QWidget>

#include "app/application.h"
#include "app/form_storage.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QToolButton;

namespace skelvane::gui {

class TSideBarMenu;

// A file-name field: the line edit and its browse button.
class TFileNameEdit : public QWidget {
 public:
  TFileNameEdit(TFileNameModel& model, QWidget* parent);
  QLineEdit* Edit() const { return edit_; }
  QToolButton* BrowseButton() const { return browse_; }
  // The browse dialog's name filters, from the model's "text|pattern" form.
  static QString QtFilter(const std::string& filter);
  void Browse();

 private:
  TFileNameModel& model_;
  QLineEdit* edit_;
  QToolButton* browse_;
};

class TMainWindow : public QWidget, public TPlacementHost {
 public:
  TMainWindow(TApplication& application, QWidget* parent = nullptr);
  ~TMainWindow() override;

  // Restores the settings, shows the window in the restored state, then
  // runs FormShow.
  void ShowMainForm();
  // Builds the popup menu of the model (the caller shows or inspects it).
  TSideBarMenu* BuildPopupMenu();
  void ShowPopupMenu();

  TmForm_skelvane& Form() const { return form_; }
  bool Busy() const { return busy_; }
  QWidget* Control(const std::string& name) const;
  QLineEdit* DatabaseName() const { return databaseName_; }
  QComboBox* UserName() const { return userName_; }
  QLineEdit* Password() const { return password_; }
  TFileNameEdit* FilenameEdit1() const { return filenameEdit1_; }
  TFileNameEdit* FilenameEdit2() const { return filenameEdit2_; }
  QPushButton* ButtonGet() const { return buttonGet_; }
  QPushButton* ButtonTest() const { return buttonTest_; }
  QCheckBox* EnableExport() const { return cbEnableExport_; }
  QCheckBox* SequenceSetZero() const { return cbSequenceSetZero_; }
  QCheckBox* ClearEveryTime() const { return cbClearEveryTime_; }
  QCheckBox* BulkRead() const { return cbBulkRead_; }
  QCheckBox* PlanOnly() const { return cbPlanOnly_; }
  QPlainTextEdit* MemoLog() const { return memoLog_; }
  QPlainTextEdit* UpdateLog() const { return updateLog_; }
  QTabWidget* Logs() const { return pcLogs_; }
  QWidget* PanelLog() const { return panelLog_; }
  QSplitter* Splitter() const { return splitter_; }
  QToolButton* ImageButton() const { return imageBtn1_; }

  // TPlacementHost
  TWindowPlacement GetPlacement() const override;
  void SetPlacement(const TWindowPlacement& placement) override;
  bool Visible() const override { return isVisible(); }
  bool Resizable() const override { return true; }
  TRect Bounds() const override;
  int ScreenWidth() const override;
  int ScreenHeight() const override;
  int PixelsPerInch() const override;
  bool ApplicationMinimized() const override {
    return isVisible() ? isMinimized() : pendingState_ == TWindowState::Minimized;
  }
  void SetWindowState(TWindowState state) override;
  void MinimizeApplication() override { SetWindowState(TWindowState::Minimized); }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Build();
  void Connect();
  void Sync(const TControlModel& control);
  void SyncAll();
  void SyncLog(const TLinesModel& model, QPlainTextEdit* view, std::size_t& shown);
  void RunButton(bool exportButton);

  TApplication& application_;
  TmForm_skelvane& form_;
  bool busy_ = false;
  bool shownOnce_ = false;
  TWindowState pendingState_ = TWindowState::Normal;
  std::size_t memoShown_ = 0;
  std::size_t updateShown_ = 0;
  std::map<const TControlModel*, QWidget*> views_;

  QLineEdit* databaseName_ = nullptr;
  QComboBox* userName_ = nullptr;
  QToolButton* speedButton1_ = nullptr;
  QLineEdit* password_ = nullptr;
  TFileNameEdit* filenameEdit1_ = nullptr;
  TFileNameEdit* filenameEdit2_ = nullptr;
  QPushButton* buttonGet_ = nullptr;
  QPushButton* buttonTest_ = nullptr;
  QLabel* label6_ = nullptr;
  QCheckBox* cbEnableExport_ = nullptr;
  QCheckBox* cbSequenceSetZero_ = nullptr;
  QCheckBox* cbClearEveryTime_ = nullptr;
  QCheckBox* cbBulkRead_ = nullptr;
  QCheckBox* cbPlanOnly_ = nullptr;
  QToolButton* imageBtn1_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QWidget* panelLog_ = nullptr;
  QTabWidget* pcLogs_ = nullptr;
  QPlainTextEdit* memoLog_ = nullptr;
  QPlainTextEdit* updateLog_ = nullptr;
};

}  // namespace skelvane::gui

#endif
