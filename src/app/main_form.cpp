#include "app/main_form.h"

#include <stdexcept>

#include "app/about_box.h"
#include "app/operations.h"
#include "app/settings_location.h"
#include "common/messages.h"
#include "common/text.h"
#include "common/time_stamp.h"
#include "oracle/oracle_error.h"
#include "oracle/session.h"

namespace skelvane {

namespace {

// The browse button wraps a name holding a blank in double quotes; the
// operations want the name itself.
std::string WithoutQuotes(const std::string& name) {
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
    return name.substr(1, name.size() - 2);
  return name;
}

bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/' || c == ':';
#else
  return c == '/';
#endif
}

}  // namespace

std::string MessageWithPeriod(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

std::string SchemaUserName(const std::string& typedUserName) {
  return oracle::SplitLogon({typedUserName, "", "", oracle::TConnectAs::Normal}).Username;
}

std::string DirectoryOf(const std::string& path) {
  size_t i = path.size();
  while (i > 0 && !IsSeparator(path[i - 1])) --i;
  if (i == 0) return {};
  // Keep a root ("/") whole; drop any other trailing separator.
  if (i == 1) return path.substr(0, 1);
  return path.substr(0, i - 1);
}

std::string SettingsFileNameFor(const std::string& exeName) {
  size_t i = exeName.size();
  while (i > 0 && !IsSeparator(exeName[i - 1]) && exeName[i - 1] != '.') --i;
  if (i > 0 && exeName[i - 1] == '.') return exeName.substr(0, i - 1) + ".ini";
  return exeName + ".ini";
}

TmForm_skelvane::TmForm_skelvane(TFrontEnd& frontEnd, std::string applicationTitle,
                                 std::string exeName)
    : ExportOperation(DefaultExportOperation()),
      CompareOperation(DefaultCompareOperation()),
      TimeStamp(NowTimeStampText),
      frontEnd_(frontEnd),
      applicationTitle_(std::move(applicationTitle)),
      exeName_(std::move(exeName)) {
  FormCreate();
}

const std::vector<std::string>& TmForm_skelvane::TabOrder() {
  static const std::vector<std::string> order = {
      "DatabaseName", "UserName", "Password", "ButtonGet", "FilenameEdit1", "ButtonTest",
      "FilenameEdit2", "PanelLog", "cbEnableExport", "cbSequenceSetZero", "cbBulkRead", "cbPlanOnly"};
  return order;
}

TDM& TmForm_skelvane::DataModule() const {
  if (dm_) return *dm_;
  if (!DM) throw std::logic_error("The data module has not been created");
  return *DM;
}

void TmForm_skelvane::FormCreate() {
  ProgramDir = DirectoryOf(exeName_);
  FormStorage1.IniFileName = SettingsFilePath(exeName_);
  Caption = applicationTitle_ + " v." + std::string(messages::kProgramVersion);
}

void TmForm_skelvane::FormShow() {
  if (Password.Enabled()) ActiveControl = Password.Name();
  cbEnableExportClick();
  pcLogs.SetActivePageIndex(0);
}

namespace {
TStoredProperty PropertyOf(std::string component, std::string property, TStoredProperty::TKind kind) {
  TStoredProperty p;
  p.Component = std::move(component);
  p.Property = std::move(property);
  p.Kind = kind;
  return p;
}
}  // namespace

TFormStorage TmForm_skelvane::MakeFormStorage1() {
  TFormStorage storage;
  storage.IniSection = "main";
  // The bulk and plan options come last: a file written before them keeps its key
  // order, and without their keys both stay off.
  storage.StoredProps = {"DatabaseName.Text", "FilenameEdit1.Text", "FilenameEdit2.Text",
                         "UserName.Text",     "UserName.Items",     "cbClearEveryTime.Checked",
                         "PanelLog.Height",   "cbBulkRead.Checked", "cbPlanOnly.Checked"};
  return storage;
}

std::vector<TStoredProperty> TmForm_skelvane::StoredProperties() {
  using TKind = TStoredProperty::TKind;
  auto text = [](TTextModel& control) {
    TStoredProperty p = PropertyOf(control.Name(), "Text", TKind::Text);
    p.GetText = [&control] { return control.Text(); };
    p.SetText = [&control](const std::string& value) { control.SetText(value); };
    return p;
  };
  auto checked = [](TCheckModel& control) {
    TStoredProperty p = PropertyOf(control.Name(), "Checked", TKind::Boolean);
    p.GetBoolean = [&control] { return control.Checked(); };
    p.SetBoolean = [&control](bool value) { control.SetChecked(value); };
    return p;
  };
  std::vector<TStoredProperty> all;
  all.push_back(text(DatabaseName));
  all.push_back(text(FilenameEdit1));
  all.push_back(text(FilenameEdit2));
  // A connect string typed as the user name carries a password; only its
  // user part is kept, in the field as in the history.
  TStoredProperty user = text(UserName);
  user.GetText = [this] { return SchemaUserName(UserName.Text()); };
  all.push_back(std::move(user));
  TStoredProperty items = PropertyOf("UserName", "Items", TKind::Strings);
  items.GetStrings = [this] {
    std::vector<std::string> users;
    for (const auto& item : UserName.Items()) users.push_back(SchemaUserName(item));
    return users;
  };
  items.SetStrings = [this](std::vector<std::string> values) { UserName.SetItems(std::move(values)); };
  all.push_back(std::move(items));
  all.push_back(checked(cbClearEveryTime));
  TStoredProperty height = PropertyOf("PanelLog", "Height", TKind::Integer);
  height.GetInteger = [this] { return PanelLog.Height(); };
  height.SetInteger = [this](int value) { PanelLog.SetHeight(value); };
  all.push_back(std::move(height));
  all.push_back(checked(cbBulkRead));
  all.push_back(checked(cbPlanOnly));

  std::vector<TStoredProperty> listed;
  for (const auto& name : FormStorage1.StoredProps) {
    for (const auto& p : all) {
      if (name == p.Component + "." + p.Property) listed.push_back(p);
    }
  }
  return listed;
}

void TmForm_skelvane::RestoreSettings(TPlacementHost& host) {
  FormStorage1.Restore(host, StoredProperties(), [this](const std::string& message) {
    frontEnd_.ShowErrorBox(applicationTitle_, MessageWithPeriod(message));
  });
}

void TmForm_skelvane::SaveSettings(TPlacementHost& host, bool destroying) {
  if (destroying && FormStorage1.Saved()) return;
  FormStorage1.Save(host, StoredProperties(), destroying, [this](const std::string& message) {
    frontEnd_.ShowErrorBox(applicationTitle_, MessageWithPeriod(message));
  });
}

void TmForm_skelvane::EnableExportControls(bool allowed) {
  bool enabled = cbEnableExport.Checked() && allowed;
  ButtonGet.SetEnabled(enabled);
  FilenameEdit1.SetEnabled(enabled);
}

void TmForm_skelvane::cbEnableExportClick() { EnableExportControls(cbEnableExport.Checked()); }

void TmForm_skelvane::LockControls() {
  DatabaseName.SetEnabled(false);
  UserName.SetEnabled(false);
  Password.SetEnabled(false);
  ButtonTest.SetEnabled(false);
  FilenameEdit2.SetEnabled(false);
  // The history keeps the user only: a connect string's password must not
  // reach the list or the settings file.
  const std::string user = UserNameText();
  bool known = false;
  for (const auto& item : UserName.Items()) {
    if (SameText(item, user)) {
      known = true;
      break;
    }
  }
  if (!known && !user.empty()) UserName.AddItem(user);
  if (cbClearEveryTime.Checked()) MemoLog.Clear();
  cbEnableExport.SetEnabled(false);
  cbSequenceSetZero.SetEnabled(false);
  cbClearEveryTime.SetEnabled(false);
  cbBulkRead.SetEnabled(false);
  cbPlanOnly.SetEnabled(false);
  EnableExportControls(false);
}

void TmForm_skelvane::UnlockControls() {
  DatabaseName.SetEnabled(true);
  UserName.SetEnabled(true);
  Password.SetEnabled(true);
  ButtonTest.SetEnabled(true);
  FilenameEdit2.SetEnabled(true);
  cbEnableExport.SetEnabled(true);
  cbSequenceSetZero.SetEnabled(true);
  cbClearEveryTime.SetEnabled(true);
  cbBulkRead.SetEnabled(true);
  cbPlanOnly.SetEnabled(true);
  EnableExportControls(true);
}

TOperationOutcome TmForm_skelvane::RunOperation(const TOperation& operation) {
  LockControls();
  lastFailure_.clear();
  TDM* dm = nullptr;
  try {
    dm = &DataModule();
    auto& session = dm->OracleSession1;
    try {
      session.LogonUsername = UserName.Text();
      session.LogonPassword = Password.Text();
      session.LogonDatabase = DatabaseName.Text();
      session.LogOn();
      if (operation) operation(*this, *dm);
      session.LogOff();
    } catch (const oracle::EOracleError& e) {
      // The session stays as it is: the next LogOn logs it off first.
      lastFailure_ = e.Message();
      WriteLog(std::string(messages::kDatabaseErrorReason) + e.Message(), true, false);
      UnlockControls();
      return TOperationOutcome::DatabaseError;
    }
  } catch (const std::exception& e) {
    if (dm) {
      try {
        dm->OracleSession1.LogOff();
      } catch (const std::exception&) {
        // The failure being reported matters more than a failed logoff.
      }
    }
    lastFailure_ = e.what();
    UnlockControls();
    frontEnd_.ShowErrorBox(applicationTitle_, MessageWithPeriod(e.what()));
    return TOperationOutcome::Failed;
  }
  UnlockControls();
  return TOperationOutcome::Completed;
}

TOperationOutcome TmForm_skelvane::ButtonGetClick() { return RunOperation(ExportOperation); }

TOperationOutcome TmForm_skelvane::ButtonTestClick() { return RunOperation(CompareOperation); }

void TmForm_skelvane::ExecuteStatement(const std::string& statement,
                                       const std::string& successMessage) {
  DataModule().ExecuteStatement(*this, statement, successMessage);
}

void TmForm_skelvane::ActionAboutProgramExecute() {
  ShowAboutBox(frontEnd_, "Skelvane.", std::string(messages::kProgramVersion), kProjectSiteCaption,
               kProjectSiteUrl);
}

void TmForm_skelvane::ActionExitProgramExecute() { frontEnd_.CloseMainWindow(); }

bool TmForm_skelvane::ExecuteAction(const std::string& actionName) {
  if (actionName == ActionAboutProgram.Name && ActionAboutProgram.Enabled) {
    ActionAboutProgramExecute();
    return true;
  }
  if (actionName == ActionExitProgram.Name && ActionExitProgram.Enabled) {
    ActionExitProgramExecute();
    return true;
  }
  return false;
}

void TmForm_skelvane::ImageBtn1Click() { frontEnd_.ShowPopupMenu(ExtPopupMenu1); }

void TmForm_skelvane::WriteLog(const std::string& text, bool withTime, bool alsoUpdateLog) {
  MemoLog.AddEntry(withTime ? TimeStamp() + ":" + text : text);
  // A plan's Update log holds the script alone.
  if (alsoUpdateLog && !PlanOnly()) UpdateLog.AddEntry(text);
}

void TmForm_skelvane::WritePlan(const std::string& text) {
  ++PlannedStatements;
  UpdateLog.AddEntry(text);
}

std::string TmForm_skelvane::UserNameText() const { return SchemaUserName(UserName.Text()); }

std::string TmForm_skelvane::ExportFileName() const { return WithoutQuotes(FilenameEdit1.Text()); }

std::string TmForm_skelvane::UpdateFileName() const { return WithoutQuotes(FilenameEdit2.Text()); }

void TmForm_skelvane::ProcessMessages() { frontEnd_.ProcessMessages(); }

}  // namespace skelvane
