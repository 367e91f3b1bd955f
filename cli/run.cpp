#include "run.h"

#include <fstream>

#include "app/application.h"
#include "app/operations.h"
#include "common/platform.h"
#include "options.h"

namespace skelvane::cli {

namespace {

const char kProgram[] = "skelvane-cli";

// The window's outputs as a command line shows them: the Common log on
// standard output as it grows, the Update log into a file when asked, the
// error box on standard error.
class TCliFrontEnd : public TFrontEnd {
 public:
  TCliFrontEnd(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  void Attach(TmForm_skelvane& form, std::ofstream* updateLog) {
    form_ = &form;
    updateLog_ = updateLog;
    form.OnChange = [this](const TControlModel& control) {
      if (&control == &form_->MemoLog) Flush(form_->MemoLog, out_, printed_);
      if (updateLog_ && &control == &form_->UpdateLog) Flush(form_->UpdateLog, *updateLog_, written_);
    };
  }

  void ShowErrorBox(const std::string&, const std::string& message) override {
    err_ << kProgram << ": " << message << "\n";
    failureShown_ = true;
  }
  void SetBusyCursor(bool) override {}
  void ProcessMessages() override { out_.flush(); }
  void ShowDebugBox(const std::string& text) override { err_ << text << "\n"; }
  void OpenLink(const std::string& url) override { err_ << url << "\n"; }
  void ShowAboutBox(const std::string&, const std::string&) override {}
  void ShowPopupMenu(const TPopupMenuModel&) override {}
  void CloseMainWindow() override {}

  bool FailureShown() const { return failureShown_; }

 private:
  // Prints the lines added since the last call; a cleared log starts over.
  static void Flush(const TLinesModel& log, std::ostream& to, size_t& done) {
    const auto& lines = log.Lines();
    if (lines.size() < done) done = 0;
    for (; done < lines.size(); ++done) to << lines[done] << "\n";
    to.flush();
  }

  std::ostream& out_;
  std::ostream& err_;
  TmForm_skelvane* form_ = nullptr;
  std::ofstream* updateLog_ = nullptr;
  size_t printed_ = 0;
  size_t written_ = 0;
  bool failureShown_ = false;
};

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const std::function<std::string()>& readPassword) {
  TCliOptions options;
  try {
    options = ParseArguments(args);
  } catch (const TUsageError& e) {
    err << kProgram << ": " << e.what() << "\nTry '" << kProgram << " --help' for more information.\n";
    return kExitUsage;
  }
  if (options.Command == TCommand::Help) {
    out << UsageText();
    return kExitDone;
  }

  try {
    platform::ProcessParameters() = options.ClientParameters;

    std::ofstream updateLog;
    if (!options.UpdateLogFile.empty()) {
      updateLog.open(AbsoluteFileName(options.UpdateLogFile, platform::CurrentDirectory()),
                     std::ios::binary | std::ios::trunc);
      if (!updateLog) {
        err << kProgram << ": cannot create the update log '" << options.UpdateLogFile << "'\n";
        return kExitFailed;
      }
    }

    // A connect string that holds "/" carries its own password.
    std::string password;
    if (options.Password) {
      password = *options.Password;
    } else if (options.User.find('/') == std::string::npos) {
      password = readPassword();
    }

    TCliFrontEnd frontEnd(out, err);
    TApplication application(frontEnd, platform::ExecutablePath());
    TmForm_skelvane& form = application.StartUp();
    application.ShowMainForm();
    frontEnd.Attach(form, updateLog.is_open() ? &updateLog : nullptr);

    form.DatabaseName.SetText(options.Database);
    form.UserName.SetText(options.User);
    form.Password.SetText(password);
    password.assign(password.size(), '\0');
    std::string file = AbsoluteFileName(options.File, platform::CurrentDirectory());
    form.cbSequenceSetZero.SetChecked(options.SequenceStartZero);

    TDM& dm = form.DataModule();
    int rejectedBefore = dm.RejectedStatements;
    TOperationOutcome outcome;
    bool built;
    if (options.Command == TCommand::Export) {
      form.cbEnableExport.SetChecked(true);
      form.cbEnableExportClick();
      form.FilenameEdit1.SetText(file);
      outcome = form.ButtonGetClick();
      built = ExportOperationBuilt();
    } else {
      form.FilenameEdit2.SetText(file);
      outcome = form.ButtonTestClick();
      built = CompareOperationBuilt();
    }
    form.Password.SetText("");

    if (outcome == TOperationOutcome::DatabaseError) {
      err << kProgram << ": " << form.LastFailureMessage() << "\n";
      return kExitFailed;
    }
    if (outcome == TOperationOutcome::Failed) return kExitFailed;
    if (!built) {
      err << kProgram << ": the "
          << (options.Command == TCommand::Export ? "schema export" : "compare")
          << " is not built yet: the run only logged on and off, nothing was "
          << (options.Command == TCommand::Export ? "written" : "compared or updated") << "\n";
      return kExitFailed;
    }
    return dm.RejectedStatements > rejectedBefore ? kExitStatementsRejected : kExitDone;
  } catch (const std::exception& e) {
    err << kProgram << ": " << e.what() << "\n";
    return kExitFailed;
  }
}

}  // namespace skelvane::cli
