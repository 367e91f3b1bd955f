// skelvane-cli: argument parsing, and whole runs of the built executable
// against an emulator database (exit statuses, stdout, stderr).
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "dictionary/emu_fixture.h"
#include "dictionary/test_schema.h"
#include "options.h"

namespace skelvane::cli {
namespace {

using ::skelvane::testing::EmuDatabase;
using ::skelvane::testing::RunCommand;
using ::skelvane::testing::ShellQuote;

TEST(CliOptions, DefaultsValuesAndClientParameters) {
  TCliOptions o = ParseArguments({"export", "--user", "scott", "OCIDLL=/x/lib.so"});
  EXPECT_EQ(o.Command, TCommand::Export);
  EXPECT_EQ(o.Database, "XE");
  EXPECT_EQ(o.File, "test._sdb");
  EXPECT_EQ(o.User, "scott");
  EXPECT_FALSE(o.Password.has_value());
  EXPECT_EQ(o.ClientParameters, (std::vector<std::string>{"OCIDLL=/x/lib.so"}));
  EXPECT_THROW(ParseArguments({"export", "--user", "scott", "orahome=1"}), TUsageError);

  o = ParseArguments({"update", "--database=ORCL", "--user", "u/p@db as sysdba", "--password", "",
                      "--file", "a._sdb", "--sequence-start-zero", "--update-log", "u.log",
                      "oraclehome=H1"});
  EXPECT_EQ(o.Command, TCommand::Update);
  EXPECT_EQ(o.Database, "ORCL");
  EXPECT_EQ(o.User, "u/p@db as sysdba");
  EXPECT_EQ(o.Password, std::optional<std::string>(""));
  EXPECT_EQ(o.File, "a._sdb");
  EXPECT_TRUE(o.SequenceStartZero);
  EXPECT_EQ(o.UpdateLogFile, "u.log");
  EXPECT_EQ(o.ClientParameters, (std::vector<std::string>{"oraclehome=H1"}));
}

TEST(CliOptions, UsageErrors) {
  EXPECT_THROW(ParseArguments({}), TUsageError);
  EXPECT_THROW(ParseArguments({"import", "--user", "u"}), TUsageError);
  EXPECT_THROW(ParseArguments({"export"}), TUsageError);                        // no --user
  EXPECT_THROW(ParseArguments({"export", "--user"}), TUsageError);              // no value
  EXPECT_THROW(ParseArguments({"export", "--user", "u", "--bogus"}), TUsageError);
  EXPECT_THROW(ParseArguments({"export", "--user", "u", "stray"}), TUsageError);
  EXPECT_THROW(ParseArguments({"export", "--user", "u", "--sequence-start-zero"}), TUsageError);
  EXPECT_THROW(ParseArguments({"export", "--user", "u", "--update-log", "f"}), TUsageError);
  EXPECT_THROW(ParseArguments({"update", "--user", "u", "--file", ""}), TUsageError);
  EXPECT_EQ(ParseArguments({"--help"}).Command, TCommand::Help);
  EXPECT_EQ(ParseArguments({"update", "--help"}).Command, TCommand::Help);
}

TEST(CliOptions, RelativeFilesAreTakenFromTheCurrentFolder) {
  EXPECT_EQ(AbsoluteFileName("a._sdb", "/w"), "/w/a._sdb");
  EXPECT_EQ(AbsoluteFileName("d/a._sdb", "/"), "/d/a._sdb");
  EXPECT_EQ(AbsoluteFileName("/abs/a._sdb", "/w"), "/abs/a._sdb");
}

class CliRun : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.RunAsSystem(::skelvane::testing::kTestUsers);
    db_.Run("APPU/secret", ::skelvane::testing::kTestSchema);
  }
  // Runs the CLI in the database's folder; `input` goes to standard input.
  int Cli(const std::string& args, const std::string& input = "") {
    std::string command = "cd " + ShellQuote(db_.Folder()) + " && printf '%s' " +
                          ShellQuote(input) + " | " + db_.Env() + ShellQuote(Program()) + " " +
                          args + " OCIDLL=" + ShellQuote(::skelvane::testing::EmulatorLibrary()) +
                          " 2>" + ShellQuote(db_.Folder() + "/stderr");
    int status = RunCommand(command, &out_);
    std::ifstream in(db_.Folder() + "/stderr");
    std::stringstream text;
    text << in.rdbuf();
    err_ = text.str();
    return status;
  }
  static std::string Program() { return ::skelvane::testing::BinaryDir() + "/bin/skelvane-cli"; }

  EmuDatabase db_;
  std::string out_, err_;
};

TEST_F(CliRun, HelpAndUsageErrors) {
  EXPECT_EQ(RunCommand(ShellQuote(Program()) + " --help", &out_), 0);
  EXPECT_NE(out_.find("skelvane-cli export"), std::string::npos);
  EXPECT_NE(out_.find("compare is not built yet"), std::string::npos);
  EXPECT_EQ(RunCommand(ShellQuote(Program()), &out_), 64);
  EXPECT_EQ(RunCommand(ShellQuote(Program()) + " export --user u --frobnicate", &out_), 64);
  EXPECT_NE(out_.find("unknown option '--frobnicate'"), std::string::npos);
}

TEST_F(CliRun, ExportWritesTheFileRelativeToTheCurrentFolder) {
  // The password arrives as the first line of standard input.
  EXPECT_EQ(Cli("export --user APPU --file out._sdb", "secret\nignored\n"), 0) << out_ << err_;
  EXPECT_TRUE(std::filesystem::exists(db_.Folder() + "/out._sdb"));
  EXPECT_FALSE(out_.empty());
  EXPECT_EQ(out_.find("secret"), std::string::npos);
  EXPECT_EQ(err_.find("secret"), std::string::npos);
}

TEST_F(CliRun, WrongPasswordIsOneLogLineAndStatusTwo) {
  EXPECT_EQ(Cli("export --user APPU --password wrong --file out._sdb"), 2);
  EXPECT_TRUE(std::regex_match(
      out_, std::regex(R"(\d\d-\d\d-\d{4} \d\d:\d\d:\d\d:Ошибка базы данных\. причина:ORA-01017[^\n]*\n)")))
      << out_;
  EXPECT_NE(err_.find("ORA-01017"), std::string::npos);
  EXPECT_EQ(err_.find("wrong"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(db_.Folder() + "/out._sdb"));
}

TEST_F(CliRun, UnloadableClientLibraryIsStatusTwo) {
  std::string command = db_.Env() + ShellQuote(Program()) +
                        " export --user APPU --password secret OCIDLL=/nonexistent/libclntsh.so";
  EXPECT_EQ(RunCommand(command, &out_), 2);
  EXPECT_NE(out_.find("Initialization error"), std::string::npos) << out_;
}

TEST_F(CliRun, ConnectStringCarriesItsOwnPassword) {
  EXPECT_EQ(Cli("export --user APPU/secret --file cs._sdb"), 0) << out_ << err_;
  EXPECT_TRUE(std::filesystem::exists(db_.Folder() + "/cs._sdb"));
}

TEST_F(CliRun, UpdateLogsOnAndOffButSaysTheCompareIsMissing) {
  EXPECT_EQ(Cli("update --user APPU --password secret --update-log u.log"), 2);
  EXPECT_NE(err_.find("not built yet"), std::string::npos) << err_;
  EXPECT_TRUE(std::filesystem::exists(db_.Folder() + "/u.log"));
  EXPECT_EQ(Cli("update --user APPU --password bad"), 2);
  EXPECT_NE(out_.find("ORA-01017"), std::string::npos);
  EXPECT_EQ(Cli("update --user APPU --password secret --update-log /nonexistent/dir/u.log"), 2);
  EXPECT_NE(err_.find("cannot create the update log"), std::string::npos);
}

}  // namespace
}  // namespace skelvane::cli
