// The password, however it is given, reaches no file the tool writes and no
// message it prints: not the document, the logs, the Update log or an error.
// Only the emulator's own trace (the server's side) may hold it.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/export_support.h"
#include "support/emulator_database.h"
#include "support/test_schema.h"

namespace skelvane::reliability {
namespace {

namespace fs = std::filesystem;
using ::skelvane::testing::ShellQuote;
using ::skelvane::testing::TEmulatorDatabase;

constexpr const char* kPassword = "Pw7_Kept_Quiet";

std::string UsersWithOwnPassword() {
  std::string users = ::skelvane::testing::kTestUsers;
  const std::string from = "APPU IDENTIFIED BY secret";
  users.replace(users.find(from), from.size(), std::string("APPU IDENTIFIED BY \"") + kPassword + "\"");
  return users;
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

  // Runs one command in a fresh folder beside the database; returns the folder.
  fs::path Run(const std::string& command, const TWay& way, const std::vector<std::string>& extra,
               const std::string& env, int* status) {
    const fs::path dir = fs::path(db_.Folder()) / (std::string(command) + "-" + way.label + "-" +
                                                   std::to_string(runs_++));
    fs::create_directories(dir);
    std::string line = "cd " + ShellQuote(dir.string()) + " && " + db_.Env() +
                       "ORAEMU_TRACE=" + ShellQuote(db_.Folder() + "/emulator.trace") + " " + env + " " +
                       ShellQuote((e2e::BinaryDir() / "bin" / "skelvane-cli").string()) + " " + command;
    for (const auto& a : way.args) line += " " + ShellQuote(a);
    for (const auto& a : extra) line += " " + ShellQuote(a);
    line += " OCIDLL=" + ShellQuote(e2e::EmulatorLibrary().string());
    line += " >stdout.txt 2>stderr.txt";
    line += way.onStdin ? " <<'EOF'\n" + std::string(kPassword) + "\nEOF\n" : " </dev/null";
    *status = ::skelvane::testing::RunCommand(line);
    dir_last_ = dir;
    return dir;
  }

  // Every file in `dir` (the tool's outputs and captured streams), read whole.
  static void ExpectNoPasswordIn(const fs::path& dir, const std::string& what) {
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      ++files;
      const std::string text = e2e::ReadFile(entry.path());
      EXPECT_EQ(text.find(kPassword), std::string::npos) << what << ": " << entry.path();
    }
    EXPECT_GE(files, 2) << what;
  }

  TEmulatorDatabase db_;
  int runs_ = 0;
  fs::path dir_last_;
};

const TWay kWays[] = {
    {"option", {"--user", "APPU", "--password", kPassword}, false},
    {"option-equals", {"--user", "APPU", std::string("--password=") + kPassword}, false},
    {"standard-input", {"--user", "APPU"}, true},
    {"connect-string", {"--user", std::string("APPU/") + kPassword}, false},
    {"connect-string-database", {"--user", std::string("APPU/") + kPassword + "@XE"}, false},
};

TEST_F(Secrets, NoWayOfGivingThePasswordLeavesItInAFileOrMessage) {
  int round = 0;
  for (const TWay& way : kWays) {
    const std::string table = "NEWT" + std::to_string(round++);
    int status = -1;
    const fs::path exported = Run("export", way, {"--file", "out._sdb"}, "", &status);
    EXPECT_EQ(status, 0) << way.label << e2e::ReadFile(exported / "stderr.txt");
    EXPECT_TRUE(fs::exists(exported / "out._sdb")) << way.label;
    ExpectNoPasswordIn(exported, std::string("export, ") + way.label);

    // The same document back, with one more table, so the update sends a statement.
    std::string document = e2e::ReadFile(exported / "out._sdb");
    const std::string tables = "{tables \r\n";
    document.insert(document.find(tables) + tables.size(),
                    "\t{t \r\n\t\t{name " + table + "}\r\n\t\t{fields\r\n\t\t\t{f \r\n\t\t\t\t{name ID}\r\n"
                    "\t\t\t\t{type NUMBER(10)}\r\n\t\t\t\t{null Y}\r\n\t\t\t}\r\n\t\t}\r\n"
                    "\t\t{indexes\r\n\t\t}\r\n\t\t{constraints\r\n\t\t}\r\n\t}\r\n");
    e2e::WriteFile(fs::path(db_.Folder()) / "in._sdb", document);
    const std::string in = db_.Folder() + "/in._sdb";
    const fs::path updated = Run("update", way, {"--file", in, "--update-log", "update.log"}, "", &status);
    EXPECT_NE(status, 2) << way.label << e2e::ReadFile(updated / "stderr.txt");
    EXPECT_NE(e2e::ReadFile(updated / "update.log").find(table), std::string::npos) << way.label;
    ExpectNoPasswordIn(updated, std::string("update, ") + way.label);

    // Failures print messages: a connection lost half way, and a database
    // the client cannot resolve.
    const fs::path lost = Run("update", way, {"--file", in, "--update-log", "update.log"},
                              "ORAEMU_FAIL_AFTER=3", &status);
    EXPECT_EQ(status, 2) << way.label << e2e::ReadFile(dir_last_ / "stdout.txt");
    ExpectNoPasswordIn(lost, std::string("lost connection, ") + way.label);
    if (std::string(way.label) == "connect-string-database") continue;  // it names its own database
    const fs::path unknown = Run("export", way, {"--file", "x._sdb", "--database", "NOSUCHDB"}, "", &status);
    EXPECT_EQ(status, 2) << way.label << e2e::ReadFile(dir_last_ / "stdout.txt");
    ExpectNoPasswordIn(unknown, std::string("unknown database, ") + way.label);
  }
  // The server's side saw it: the check above looked where it could be.
  EXPECT_NE(e2e::ReadFile(db_.Folder() + "/emulator.trace").find("LOGON APPU"), std::string::npos);
}

}  // namespace
}  // namespace skelvane::reliability
