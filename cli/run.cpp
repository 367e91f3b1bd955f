#include "run.h"

#include <filesystem>
#include <fstream>

#include "app/application.h"
#include "common/file_access.h"
#include "common/platform.h"
#include "common/text.h"
#include "common/time_stamp.h"
#include "document_check.h"
#include "options.h"
#include "oracle/session.h"
#include "update/compare_and_update.h"
#include "update/document_snapshot.h"
#include "update/plan_sink.h"

namespace skelvane::cli {

namespace {

const char kProgram[] = "skelvane-cli";

// Messages carry CR LF where the window needs it; a terminal or a pipe wants LF.
void PrintMessage(std::ostream& to, const std::string& message) {
  to << kProgram << ": " << WithLfLineEnds(message) << "\n";
}

// The window's outputs as a command line shows them: the Common log on
// standard output as it grows, the Update log into a file when asked, the
// error box on standard error.
class TCliFrontEnd : public TFrontEnd {
 public:
  TCliFrontEnd(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  // A plan shows the Common log on standard error and its script, which
  // the Update log holds, on standard output.
  void Attach(TmForm_skelvane& form, std::ofstream* updateLog, bool plan = false) {
    form_ = &form;
    updateLog_ = updateLog;
    form.OnChange = [this, plan](const TControlModel& control) {
      if (&control == &form_->MemoLog) Flush(form_->MemoLog, plan ? err_ : out_, printed_);
      if (plan && &control == &form_->UpdateLog) Flush(form_->UpdateLog, out_, written_);
      if (!plan && updateLog_ && &control == &form_->UpdateLog) Flush(form_->UpdateLog, *updateLog_, written_);
    };
  }

  void ShowErrorBox(const std::string&, const std::string& message) override {
    PrintMessage(err_, message);
  }
  void SetBusyCursor(bool) override {}
  void ProcessMessages() override { out_.flush(); }
  void ShowDebugBox(const std::string& text) override { err_ << WithLfLineEnds(text) << "\n"; }
  bool OpenLink(const std::string& url) override {
    err_ << url << "\n";
    return true;
  }
  void ShowAboutBox(TAboutForm&) override {}
  void ShowPopupMenu(const TPopupMenuModel&) override {}
  void CloseMainWindow() override {}

 private:
  // Prints the lines added since the last call; a cleared log starts over.
  static void Flush(const TLinesModel& log, std::ostream& to, size_t& done) {
    const auto& lines = log.Lines();
    if (lines.size() < done) done = 0;
    for (; done < lines.size(); ++done) to << WithLfLineEnds(lines[done]) << "\n";
    to.flush();
  }

  std::ostream& out_;
  std::ostream& err_;
  TmForm_skelvane* form_ = nullptr;
  std::ofstream* updateLog_ = nullptr;
  size_t printed_ = 0;
  size_t written_ = 0;
};

// A connect string may carry its own password, and "/" (external
// credentials) needs none.
bool NeedsPassword(const std::string& user) {
  const oracle::TLogonData split = oracle::SplitLogon({user, "", "", oracle::TConnectAs::Normal});
  return split.Password.empty() && !split.Username.empty();
}

// The compare of a diff: no window and no database. The Common log goes to
// standard error as the window would hold it, the script to standard output.
class TDiffHost : public TOperationHost {
 public:
  TDiffHost(const TCliOptions& options, std::string user, std::string newFile, std::ostream& out,
            std::ostream& err)
      : options_(options), user_(std::move(user)), newFile_(std::move(newFile)), out_(out), err_(err) {}
  void WriteLog(const std::string& text, bool withTime, bool) override {
    err_ << WithLfLineEnds(withTime ? NowTimeStampText() + ":" + text : text) << "\n";
  }
  std::string UserNameText() const override { return user_; }
  std::string ExportFileName() const override { return {}; }
  std::string UpdateFileName() const override { return newFile_; }
  std::string ProgramDirectory() const override { return {}; }
  bool SequenceSetZero() const override { return options_.SequenceStartZero; }
  void ProcessMessages() override {}
  bool PlanOnly() const override { return true; }
  void WritePlan(const std::string& text) override { out_ << WithLfLineEnds(text) << "\n"; }

 private:
  const TCliOptions& options_;
  std::string user_;
  std::string newFile_;
  std::ostream& out_;
  std::ostream& err_;
};

int RunDiff(const TCliOptions& options, std::ostream& out, std::ostream& err) {
  const std::string currentDirectory = platform::CurrentDirectory();
  const std::string oldFile = AbsoluteFileName(options.OldFile, currentDirectory);
  const std::string newFile = AbsoluteFileName(options.NewFile, currentDirectory);
  for (const std::string& file : {oldFile, newFile}) {
    if (const std::string problem = DocumentProblem(TCommand::Diff, file); !problem.empty()) {
      PrintMessage(err, problem);
      return kExitFailed;
    }
  }
  TDocumentSnapshot old = SnapshotOfDocument(oldFile);
  if (!old.Readable) {
    PrintMessage(err, "cannot read '" + oldFile + "': not a readable schema document");
    return kExitFailed;
  }
  TDiffHost host(options, old.Owner, newFile, out, err);
  TPlanSink sink(*old.Snapshot);
  CompareAndUpdate(host, *old.Snapshot, sink);
  out.flush();
  return sink.Statements() > 0 ? kExitPlanNotEmpty : kExitDone;
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const std::function<std::string()>& readPassword) {
  TCliOptions options;
  try {
    options = ParseArguments(args);
  } catch (const EUsageError& e) {
    err << kProgram << ": " << e.what() << "\nTry '" << kProgram << " --help' for more information.\n";
    return kExitUsage;
  }
  if (options.Command == TCommand::Help) {
    out << UsageText();
    return kExitDone;
  }

  try {
    if (options.Command == TCommand::Diff) return RunDiff(options, out, err);
    platform::ProcessParameters() = options.ClientParameters;
    const std::string currentDirectory = platform::CurrentDirectory();
    const std::string file = AbsoluteFileName(options.File, currentDirectory);

    // Files first: a mistyped name fails before the password prompt and the logon.
    if (const std::string problem = DocumentProblem(options.Command, file); !problem.empty()) {
      PrintMessage(err, problem);
      return kExitFailed;
    }
    std::ofstream updateLog;
    std::string logFile;
    if (!options.UpdateLogFile.empty()) {
      logFile = AbsoluteFileName(options.UpdateLogFile, currentDirectory);
      // Opening the log empties it, and the compare would then read an empty
      // document, change nothing and report success.
      std::error_code notSame;
      if (std::filesystem::equivalent(logFile, file, notSame)) {
        PrintMessage(err, "cannot create the update log '" + logFile + "': it is the schema document");
        return kExitFailed;
      }
      if (const std::string reason = CannotCreateReason(logFile); !reason.empty()) {
        PrintMessage(err, "cannot create the update log '" + logFile + "': " + reason);
        return kExitFailed;
      }
#ifdef _WIN32
      // Text mode: every line end becomes CR LF, as on the console.
      updateLog.open(logFile, std::ios::trunc);
#else
      updateLog.open(logFile, std::ios::binary | std::ios::trunc);
#endif
      if (!updateLog) {
        PrintMessage(err, "cannot create the update log '" + logFile + "'");
        return kExitFailed;
      }
    }

    std::string password;
    if (options.Password) {
      password = *options.Password;
    } else if (NeedsPassword(options.User)) {
      password = readPassword();
    }

    TCliFrontEnd frontEnd(out, err);
    TApplication application(frontEnd, platform::ExecutablePath());
    TmForm_skelvane& form = application.StartUp();
    application.ShowMainForm();
    const bool plan = options.Command == TCommand::Plan;
    frontEnd.Attach(form, updateLog.is_open() ? &updateLog : nullptr, plan);

    form.DatabaseName.SetText(options.Database);
    form.UserName.SetText(options.User);
    form.Password.SetText(password);
    password.assign(password.size(), '\0');
    form.cbSequenceSetZero.SetChecked(options.SequenceStartZero);
    form.cbBulkRead.SetChecked(options.Bulk);
    form.cbPlanOnly.SetChecked(plan);

    TDM& dm = form.DataModule();
    dm.OracleSession1.Preferences.UseOCI7 = options.UseOCI7;
    const int rejectedBefore = dm.RejectedStatements;
    TOperationOutcome outcome;
    if (options.Command == TCommand::Export) {
      form.cbEnableExport.SetChecked(true);
      form.cbEnableExportClick();
      form.FilenameEdit1.SetText(file);
      outcome = form.ButtonGetClick();
    } else {
      form.FilenameEdit2.SetText(file);
      outcome = form.ButtonTestClick();
    }
    form.Password.SetText("");

    if (outcome == TOperationOutcome::DatabaseError) {
      PrintMessage(err, form.LastFailureMessage());
      return kExitFailed;
    }
    if (outcome == TOperationOutcome::Failed) return kExitFailed;
    // A full disk fails the writes one by one without a word.
    if (updateLog.is_open() && !updateLog.flush()) {
      PrintMessage(err, "cannot write the update log '" + logFile + "'");
      return kExitFailed;
    }
    if (plan) return form.PlannedStatements > 0 ? kExitPlanNotEmpty : kExitDone;
    return dm.RejectedStatements > rejectedBefore ? kExitStatementsRejected : kExitDone;
  } catch (const std::exception& e) {
    PrintMessage(err, e.what());
    return kExitFailed;
  }
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const std::function<std::string()>& readPassword) {
  const int status = Run(args, out, err, readPassword);
  // The log, the script or the usage text lost on the way out is a failure
  // like any other; a run that failed has said so already.
  if (!out.flush() && (status == kExitDone || status == kExitStatementsRejected)) {
    PrintMessage(err, "cannot write to standard output");
    return kExitFailed;
  }
  return status;
}

}  // namespace skelvane::cli
