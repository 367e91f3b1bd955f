// The password, however it is given, reaches no file the tool writes and no
// message it prints: not the document, the logs, the Update log, the plan,
// the settings file or an error. Only the emulator's own trace (the server's
// side) may hold it.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/application.h"
#include "app/recording_front_end.h"
#include "common/platform.h"
#include "e2e/export_support.h"
#include "support/emulator_database.h"
#include "support/placement_host.h"
#include "support/test_schema.h"

namespace skelvane::reliability {
namespace {

namespace fs = std::filesystem;
using ::skelvane::testing::ShellQuote;
using ::skelvane::testing::TEmulatorDatabase;

constexpr const char* kPassword = "Pw7_Kept_Quiet";
// Typed by mistake: refused, and kept as quiet as the right one.
constexpr const char* kWrongPassword = "Wr0ng_Kept_Quiet";

std::string UsersWithOwnPassword() {
  std::string users = ::skelvane::testing::kTestUsers;
  const std::string from = "APPU IDENTIFIED BY secret";
  users.replace(users.find(from), from.size(), std::string("APPU IDENTIFIED BY \"") + kPassword + "\"");
  return users;
}

// `document` with one more table, so that an update or a plan has a statement to make.
std::string WithTable(std::string document, const std::string& table) {
  const std::string tables = "{tables \r\n";
  document.insert(document.find(tables) + tables.size(),
                  "\t{t \r\n\t\t{name " + table + "}\r\n\t\t{fields\r\n\t\t\t{f \r\n\t\t\t\t{name ID}\r\n"
                  "\t\t\t\t{type NUMBER(10)}\r\n\t\t\t\t{null Y}\r\n\t\t\t}\r\n\t\t}\r\n"
                  "\t\t{indexes\r\n\t\t}\r\n\t\t{constraints\r\n\t\t}\r\n\t}\r\n");
  return document;
}

// Which of the secrets `text` holds, for a failure message; empty when none.
std::string SecretsIn(const std::string& text) {
  std::string found;
  for (const char* secret : {kPassword, kWrongPassword})
    if (text.find(secret) != std::string::npos) found += std::string(found.empty() ? "" : ", ") + secret;
  return found;
}

struct TWay {
  const char* label;
  std::vector<std::string> args;  // added to the command's own
  bool onStdin;                   // the password is the first line of standard input
};

class Secrets : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.RunAsSystem(UsersWithOwnPassword());
    db_.Run(std::string("APPU/\"") + kPassword + "\"", ::skelvane::testing::kTestSchema);
  }

  std::string Trace() const { return db_.Folder() + "/emulator.trace"; }

  // Runs one command in a fresh folder beside the database; returns the folder.
  fs::path Run(const std::string& command, const TWay& way, const std::vector<std::string>& extra,
               const std::string& env, int* status) {
    const fs::path dir = fs::path(db_.Folder()) / (std::string(command) + "-" + way.label + "-" +
                                                   std::to_string(runs_++));
    fs::create_directories(dir);
    std::string line = "cd " + ShellQuote(dir.string()) + " && " + db_.Env() +
                       "ORAEMU_TRACE=" + ShellQuote(Trace()) + " " + env + " " +
                       ShellQuote((e2e::BinaryDir() / "bin" / "skelvane-cli").string()) + " " + command;
    for (const auto& a : way.args) line += " " + ShellQuote(a);
    for (const auto& a : extra) line += " " + ShellQuote(a);
    line += " OCIDLL=" + ShellQuote(e2e::EmulatorLibrary().string());
    line += " >stdout.txt 2>stderr.txt";
    line += way.onStdin ? " <<'EOF'\n" + std::string(kPassword) + "\nEOF\n" : " </dev/null";
    *status = ::skelvane::testing::RunCommand(line);
    return dir;
  }

  // Every file in `dir` (the tool's outputs and captured streams), read whole.
  static void ExpectNoPasswordIn(const fs::path& dir, const std::string& what) {
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      ++files;
      EXPECT_EQ(SecretsIn(e2e::ReadFile(entry.path())), "") << what << ": " << entry.path();
    }
    EXPECT_GE(files, 2) << what;
  }

  TEmulatorDatabase db_;
  int runs_ = 0;
};

const TWay kWays[] = {
    {"option", {"--user", "APPU", "--password", kPassword}, false},
    {"option-equals", {"--user", "APPU", std::string("--password=") + kPassword}, false},
    {"standard-input", {"--user", "APPU"}, true},
    {"connect-string", {"--user", std::string("APPU/") + kPassword}, false},
    {"connect-string-database", {"--user", std::string("APPU/") + kPassword + "@XE"}, false},
    // The Oracle 7 logon takes user and password as one connect string.
    {"option-oci7", {"--oci7", "--user", "APPU", "--password", kPassword}, false},
    {"connect-string-oci7", {"--oci7", "--user", std::string("APPU/") + kPassword + "@XE"}, false},
    // The dictionary read in bulk logs on the same way but reads and logs otherwise.
    {"standard-input-bulk", {"--bulk", "--user", "APPU"}, true},
};

TEST_F(Secrets, NoWayOfGivingThePasswordLeavesItInAFileOrMessage) {
  int round = 0;
  for (const TWay& way : kWays) {
    SCOPED_TRACE(way.label);
    const std::string table = "NEWT" + std::to_string(round++);
    int status = -1;
    const fs::path exported = Run("export", way, {"--file", "out._sdb"}, "", &status);
    EXPECT_EQ(status, 0) << e2e::ReadFile(exported / "stderr.txt");
    ASSERT_TRUE(fs::exists(exported / "out._sdb"));
    ExpectNoPasswordIn(exported, "export");

    const std::string in = db_.Folder() + "/in._sdb";
    e2e::WriteFile(in, WithTable(e2e::ReadFile(exported / "out._sdb"), table));

    // The plan: the script on standard output, the Common log on standard error.
    const fs::path planned = Run("plan", way, {"--file", in}, "", &status);
    EXPECT_EQ(status, 1) << e2e::ReadFile(planned / "stderr.txt");
    EXPECT_NE(e2e::ReadFile(planned / "stdout.txt").find(table), std::string::npos);
    EXPECT_FALSE(e2e::ReadFile(planned / "stderr.txt").empty());
    ExpectNoPasswordIn(planned, "plan");

    const fs::path updated = Run("update", way, {"--file", in, "--update-log", "update.log"}, "", &status);
    EXPECT_NE(status, 2) << e2e::ReadFile(updated / "stderr.txt");
    EXPECT_NE(e2e::ReadFile(updated / "update.log").find(table), std::string::npos);
    ExpectNoPasswordIn(updated, "update");

    // Failures print messages: a connection lost half way, and a database
    // the client cannot resolve.
    for (const char* command : {"update", "plan"}) {
      std::vector<std::string> args = {"--file", in};
      if (std::string(command) == "update") args.insert(args.end(), {"--update-log", "update.log"});
      const fs::path lost = Run(command, way, args, "ORAEMU_FAIL_AFTER=3", &status);
      EXPECT_EQ(status, 2) << command << e2e::ReadFile(lost / "stdout.txt");
      EXPECT_FALSE(e2e::ReadFile(lost / "stderr.txt").empty()) << command;
      ExpectNoPasswordIn(lost, std::string("lost connection, ") + command);
    }
    if (std::string(way.label).find("connect-string-") == 0) continue;  // it names its own database
    const fs::path unknown = Run("plan", way, {"--file", in, "--database", "NOSUCHDB"}, "", &status);
    EXPECT_EQ(status, 2) << e2e::ReadFile(unknown / "stdout.txt");
    EXPECT_NE(e2e::ReadFile(unknown / "stderr.txt").find("ORA-12154"), std::string::npos);
    ExpectNoPasswordIn(unknown, "unknown database");
  }
  // The server's side saw it: the check above looked where it could be.
  EXPECT_NE(e2e::ReadFile(Trace()).find("LOGON APPU"), std::string::npos);
}

TEST_F(Secrets, AWrongPasswordIsRefusedWithoutBeingRepeated) {
  const TWay wrong[] = {
      {"option", {"--user", "APPU", "--password", kWrongPassword}, false},
      {"connect-string", {"--user", std::string("APPU/") + kWrongPassword + "@XE"}, false},
      {"oci7", {"--oci7", "--user", "APPU", "--password", kWrongPassword}, false},
  };
  e2e::WriteFile(db_.Folder() + "/in._sdb", "{shema\r\n\t{name APPU}\r\n}\r\n");
  for (const TWay& way : wrong) {
    for (const char* command : {"export", "update", "plan"}) {
      SCOPED_TRACE(std::string(way.label) + ", " + command);
      int status = -1;
      const std::vector<std::string> file = {"--file", std::string(command) == "export"
                                                           ? std::string("x._sdb")
                                                           : db_.Folder() + "/in._sdb"};
      const fs::path dir = Run(command, way, file, "", &status);
      EXPECT_EQ(status, 2);
      EXPECT_NE(e2e::ReadFile(dir / "stderr.txt").find("ORA-01017"), std::string::npos)
          << e2e::ReadFile(dir / "stderr.txt");
      ExpectNoPasswordIn(dir, command);
    }
  }
}

// The window: the password typed into its field or into the user name as a
// connect string, an export, a plan and an update run, the settings saved
// on close and again at destruction.
class WindowSecrets : public Secrets {
 protected:
  struct TTyped {
    const char* label;
    std::string userName;
    std::string password;
    std::string database;
    bool logsOn;
  };

  void SetUp() override {
    Secrets::SetUp();
    db_.UseInThisProcess();
    platform::SetEnv("ORAEMU_TRACE", Trace());
  }
  void TearDown() override { platform::UnsetEnv("ORAEMU_TRACE"); }

  // Everything the window and its front end show, but for the fields typed into.
  static std::string Shown(const TmForm_skelvane& form, const ::skelvane::testing::TRecordingFrontEnd& frontEnd) {
    std::string text;
    for (const auto& line : form.MemoLog.Lines()) text += line + "\n";
    for (const auto& line : form.UpdateLog.Lines()) text += line + "\n";
    for (const auto& item : form.UserName.Items()) text += item + "\n";
    for (const auto& [title, message] : frontEnd.errorBoxes) text += title + ": " + message + "\n";
    for (const auto& box : frontEnd.debugBoxes) text += box + "\n";
    return text + form.LastFailureMessage() + "\n";
  }
};

TEST_F(WindowSecrets, TheWindowKeepsThePasswordOutOfItsLogsMessagesAndSettingsFile) {
  const TTyped cases[] = {
      {"password field", "APPU", kPassword, "XE", true},
      {"connect string", std::string("APPU/") + kPassword, "", "XE", true},
      {"connect string with database", std::string("APPU/") + kPassword + "@XE", "", "NOSUCHDB", true},
      {"connect string with role", std::string("APPU/") + kPassword + "@XE AS SYSDBA", "", "XE", true},
      {"wrong password field", "APPU", kWrongPassword, "XE", false},
      {"wrong password in connect string", std::string("APPU/") + kWrongPassword + "@XE", "", "XE", false},
      {"unknown database", "APPU", kPassword, "NOSUCHDB", false},
  };
  int round = 0;
  for (const TTyped& c : cases) {
    SCOPED_TRACE(c.label);
    const fs::path dir = fs::path(db_.Folder()) / ("window-" + std::to_string(round));
    fs::create_directories(dir);
    const std::string ini = (dir / "skelvane.ini").string();
    const std::string table = "WINT" + std::to_string(round++);
    {
      ::skelvane::testing::TRecordingFrontEnd frontEnd;
      ::skelvane::testing::TFakePlacementHost host;
      TApplication app(frontEnd, (dir / "skelvane").string());
      TmForm_skelvane& form = app.StartUp();
      form.FormStorage1.IniFileName = ini;
      form.RestoreSettings(host);
      app.ShowMainForm();
      form.DatabaseName.SetText(c.database);
      form.UserName.SetText(c.userName);
      form.Password.SetText(c.password);

      form.cbEnableExport.SetChecked(true);
      form.cbEnableExportClick();
      form.FilenameEdit1.SetText((dir / "out._sdb").string());
      const TOperationOutcome exported = form.ButtonGetClick();
      EXPECT_EQ(exported, c.logsOn ? TOperationOutcome::Completed : TOperationOutcome::DatabaseError)
          << form.LastFailureMessage();
      if (c.logsOn) {
        e2e::WriteFile(dir / "in._sdb", WithTable(e2e::ReadFile(dir / "out._sdb"), table));
      } else {
        EXPECT_FALSE(form.LastFailureMessage().empty());
        e2e::WriteFile(dir / "in._sdb", "{shema\r\n\t{name APPU}\r\n}\r\n");
      }
      form.FilenameEdit2.SetText((dir / "in._sdb").string());
      form.cbPlanOnly.SetChecked(true);
      form.ButtonTestClick();
      form.cbPlanOnly.SetChecked(false);
      form.ButtonTestClick();
      if (c.logsOn) {
        std::string updateLog;
        for (const auto& line : form.UpdateLog.Lines()) updateLog += line + "\n";
        EXPECT_NE(updateLog.find(table), std::string::npos) << updateLog;
      }
      EXPECT_EQ(SecretsIn(Shown(form, frontEnd)), "") << Shown(form, frontEnd);

      form.SaveSettings(host, false);  // closing
      EXPECT_TRUE(fs::exists(ini));
      EXPECT_EQ(SecretsIn(e2e::ReadFile(ini)), "") << e2e::ReadFile(ini);
      form.RestoreSettings(host);  // shown again, then destroyed without a close
      form.SaveSettings(host, true);
    }
    ASSERT_TRUE(fs::exists(ini));
    const std::string settings = e2e::ReadFile(ini);
    EXPECT_NE(settings.find("UserName_Text=APPU"), std::string::npos) << settings;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
      if (entry.is_regular_file()) {
        EXPECT_EQ(SecretsIn(e2e::ReadFile(entry.path())), "") << entry.path();
      }
    }
  }
  EXPECT_NE(e2e::ReadFile(Trace()).find("LOGON APPU"), std::string::npos);
}

}  // namespace
}  // namespace skelvane::reliability
