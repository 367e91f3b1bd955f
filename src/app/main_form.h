// TmForm_skelvane: the main window as a model. Every named element is a small
// control model; the handlers are methods. A view shows the controls and
// forwards user events; nothing here knows a widget toolkit.
#ifndef SKELVANE_APP_MAIN_FORM_H
#define SKELVANE_APP_MAIN_FORM_H

#include <functional>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/form_storage.h"
#include "app/front_end.h"
#include "app/menu.h"
#include "dictionary/dm.h"
#include "dictionary/operation_host.h"

namespace skelvane {

// One database operation, run inside the window's operation frame.
using TOperation = std::function<void(TOperationHost&, TDM&)>;

// How an operation frame ended.
enum class TOperationOutcome {
  Completed,      // logged on, ran to its end, logged off
  DatabaseError,  // an EOracleError ended it; one line in the Common log
  Failed          // any other failure; shown in the error box
};

class TmForm_skelvane : public TOperationHost {
 public:
  // `applicationTitle` heads the caption and the error box; `exeName` is the
  // full path of the running executable. Runs FormCreate.
  TmForm_skelvane(TFrontEnd& frontEnd, std::string applicationTitle, std::string exeName);
  TmForm_skelvane(const TmForm_skelvane&) = delete;
  TmForm_skelvane& operator=(const TmForm_skelvane&) = delete;

  // Called after every change of any control; declared before the controls,
  // which keep its address.
  TChangeHandler OnChange;

  TTextModel DatabaseName{"DatabaseName", "Database name (SID):", &OnChange, "XE"};
  TComboModel UserName{"UserName", "User shema name:", &OnChange, "UserName"};
  TTextModel Password{"Password", "Password:", &OnChange, ""};  // shown as '*'; never stored
  TFileNameModel FilenameEdit1{"FilenameEdit1", "Export schema to file:", &OnChange, "test._sdb"};
  TFileNameModel FilenameEdit2{"FilenameEdit2", "Test and update schema from file:", &OnChange,
                               "test._sdb"};
  TButtonModel ButtonGet{"ButtonGet", "Read schema from database and write to SDB-file", &OnChange};
  TButtonModel ButtonTest{"ButtonTest", "Compare schema with SDB-file data and update", &OnChange};
  TCheckModel cbEnableExport{"cbEnableExport", "Enabled export", &OnChange};
  TCheckModel cbSequenceSetZero{"cbSequenceSetZero", "Sequence: Set start value on zero", &OnChange};
  TCheckModel cbClearEveryTime{"cbClearEveryTime", "Clear log for every operation", &OnChange};
  // Read the dictionary with one query per object kind.
  TCheckModel cbBulkRead{"cbBulkRead", "Bulk dictionary reads", &OnChange};
  // The compare writes its statements to the Update log as a script and
  // executes none.
  TCheckModel cbPlanOnly{"cbPlanOnly", "Plan only", &OnChange};
  TLinesModel MemoLog{"MemoLog", "Common log", &OnChange};
  TLinesModel UpdateLog{"UpdateLog", "Update log", &OnChange};
  TPageControlModel pcLogs{"pcLogs", &OnChange,
                           {{"TabSheet1", "Common log"}, {"TabSheet2", "Update log"}}};
  TPanelModel PanelLog{"PanelLog", &OnChange, 164};
  TControlModel Panel1{"Panel1", "", &OnChange};
  TControlModel Splitter1{"Splitter1", "", &OnChange};
  TButtonModel ImageBtn1{"ImageBtn1", "", &OnChange};
  std::string ImageBtn1Hint = "Main menu";
  TButtonModel SpeedButton1{"SpeedButton1", "--", &OnChange, false};
  TLabelModel Label6{"Label6", "Extend options:", &OnChange};

  TFormStorage FormStorage1 = MakeFormStorage1();
  TActionModel ActionAboutProgram = MakeActionAboutProgram();
  TActionModel ActionExitProgram = MakeActionExitProgram();
  TPopupMenuModel ExtPopupMenu1 = MakeExtPopupMenu1();

  // Designed placement; the persisted one overrides it.
  std::string Caption;
  int Left = 162, Top = 109, Width = 844, Height = 594;
  std::string ActiveControl;  // name of the control with the keyboard focus
  static const std::vector<std::string>& TabOrder();

  // The two operations. They default to the schema export and the compare
  // run; tests replace them.
  TOperation ExportOperation;
  TOperation CompareOperation;

  // The data module the frame uses: the process-wide DM unless one is set.
  void SetDataModule(TDM* dm) { dm_ = dm; }
  TDM& DataModule() const;

  // Returns "dd-mm-yyyy hh:nn:ss" of now; replaceable for tests.
  std::function<std::string()> TimeStamp;

  void FormCreate();
  void FormShow();
  // Settings of FormStorage1: restored when the window is shown, before
  // FormShow; saved when it closes, and while it is destroyed unless saved
  // since. Failures that concern the user go to the error box.
  void RestoreSettings(TPlacementHost& host);
  void SaveSettings(TPlacementHost& host, bool destroying);
  // The properties named by FormStorage1.StoredProps, in that order.
  std::vector<TStoredProperty> StoredProperties();
  TOperationOutcome ButtonGetClick();
  TOperationOutcome ButtonTestClick();
  void cbEnableExportClick();
  void ActionAboutProgramExecute();
  void ActionExitProgramExecute();
  void ImageBtn1Click();
  // Runs the action of that name (a menu item's); false for an unknown name.
  bool ExecuteAction(const std::string& actionName);
  void LockControls();
  void UnlockControls();
  void EnableExportControls(bool allowed);
  void ExecuteStatement(const std::string& statement, const std::string& successMessage);

  // Lock, log on, run, log off, unlock. A database error ends the run with one
  // Common-log line. Any other failure is shown in the error box, and the
  // frame still logs off and unlocks, so the window never stays locked.
  TOperationOutcome RunOperation(const TOperation& operation);

  // TOperationHost
  void WriteLog(const std::string& text, bool withTime, bool alsoUpdateLog) override;
  // The schema user: the user part of UserName, never its password,
  // database or role.
  std::string UserNameText() const override;
  std::string ExportFileName() const override;
  std::string UpdateFileName() const override;
  std::string ProgramDirectory() const override { return ProgramDir; }
  bool SequenceSetZero() const override { return cbSequenceSetZero.Checked(); }
  void ProcessMessages() override;
  bool BulkRead() const override { return cbBulkRead.Checked(); }
  bool PlanOnly() const override { return cbPlanOnly.Checked(); }
  void WritePlan(const std::string& text) override;

  // Statements planned since the window opened ("Plan only").
  int PlannedStatements = 0;

  const std::string& ApplicationTitle() const { return applicationTitle_; }
  // The message of the failure that ended the last operation; empty after
  // one that completed.
  const std::string& LastFailureMessage() const { return lastFailure_; }

 private:
  static TFormStorage MakeFormStorage1();

  TFrontEnd& frontEnd_;
  std::string applicationTitle_;
  std::string exeName_;
  TDM* dm_ = nullptr;
  std::string ProgramDir;
  std::string lastFailure_;
};

// The default handler's text: a period is appended when the last byte sorts
// after '.' (a letter or digit does, a closing bracket does not).
std::string MessageWithPeriod(const std::string& message);

// The user part of a user name that may be typed as a connect string
// (user/password@database AS role), split as the session splits it at logon.
std::string SchemaUserName(const std::string& typedUserName);

// "file.ext" -> "file.ini"; a name without an extension gets ".ini" appended.
std::string SettingsFileNameFor(const std::string& exeName);

// The directory part of a path, without the trailing separator.
std::string DirectoryOf(const std::string& path);

}  // namespace skelvane

#endif
