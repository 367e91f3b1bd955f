// skelvane-cli: argument parsing, and whole runs of the built executable
// against an emulator database (exit statuses, stdout, stderr).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "options.h"
#include "support/emulator_database.h"
#include "support/test_schema.h"

namespace skelvane::cli {
namespace {

using ::skelvane::testing::TEmulatorDatabase;
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
  EXPECT_THROW(ParseArguments({"export", "--user", "scott", "orahome=1"}), EUsageError);

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
  EXPECT_THROW(ParseArguments({}), EUsageError);
  EXPECT_THROW(ParseArguments({"import", "--user", "u"}), EUsageError);
  EXPECT_THROW(ParseArguments({"export"}), EUsageError);                        // no --user
  EXPECT_THROW(ParseArguments({"export", "--user"}), EUsageError);              // no value
  EXPECT_THROW(ParseArguments({"export", "--user", "u", "--bogus"}), EUsageError);
  EXPECT_THROW(ParseArguments({"export", "--user", "u", "stray"}), EUsageError);
  EXPECT_THROW(ParseArguments({"export", "--user", "u", "--sequence-start-zero"}), EUsageError);
  EXPECT_THROW(ParseArguments({"export", "--user", "u", "--update-log", "f"}), EUsageError);
  EXPECT_THROW(ParseArguments({"update", "--user", "u", "--file", ""}), EUsageError);
  EXPECT_EQ(ParseArguments({"--help"}).Command, TCommand::Help);
  EXPECT_EQ(ParseArguments({"update", "--help"}).Command, TCommand::Help);
}

TEST(CliOptions, RelativeFilesAreTakenFromTheCurrentFolder) {
  EXPECT_EQ(AbsoluteFileName("a._sdb", "/w"), "/w/a._sdb");
  EXPECT_EQ(AbsoluteFileName("d/a._sdb", "/"), "/d/a._sdb");
  EXPECT_EQ(AbsoluteFileName("/abs/a._sdb", "/w"), "/abs/a._sdb");
}

// The owner gets what a real owner is told to get.
constexpr const char* kOwnerGrants =
    "GRANT CONNECT, RESOURCE, CREATE VIEW, CREATE SYNONYM, CREATE PUBLIC SYNONYM, "
    "CREATE DATABASE LINK TO APPU;\n"
    "GRANT SELECT ON SYS.OBJ$ TO APPU;\n"
    "GRANT SELECT ON SYS.SYN$ TO APPU;\n"
    "GRANT SELECT ON SYS.USER$ TO APPU;\n";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class CliRun : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.RunAsSystem(std::string(::skelvane::testing::kTestUsers) + kOwnerGrants);
    db_.Run("APPU/secret", ::skelvane::testing::kTestSchema);
  }
  // Runs the CLI in the database's folder; `input` goes to standard input.
  int Cli(const std::string& args, const std::string& input = "") {
    std::string command = "cd " + ShellQuote(db_.Folder()) + " && printf '%s' " +
                          ShellQuote(input) + " | " + db_.Env() + ShellQuote(Program()) + " " +
                          args + " OCIDLL=" + ShellQuote(::skelvane::testing::EmulatorLibrary()) +
                          " 2>" + ShellQuote(db_.Folder() + "/stderr");
    int status = RunCommand(command, &out_);
    err_ = ReadFile(db_.Folder() + "/stderr");
    return status;
  }
  static std::string Program() { return ::skelvane::testing::BinaryDir() + "/bin/skelvane-cli"; }

  TEmulatorDatabase db_;
  std::string out_, err_;
};

TEST_F(CliRun, HelpAndUsageErrors) {
  EXPECT_EQ(RunCommand(ShellQuote(Program()) + " --help", &out_), 0);
  // What a new user needs to reach a client and to be allowed to export.
  for (const char* needed : {"skelvane-cli export", "skelvane-cli update", "ORACLE_HOME",
                             "LD_LIBRARY_PATH", "TNS_ADMIN", "NLS_LANG", "CREATE SESSION",
                             "GRANT SELECT ON SYS.OBJ$", "GRANT SELECT ON SYS.SYN$",
                             "GRANT SELECT ON SYS.USER$"})
    EXPECT_NE(out_.find(needed), std::string::npos) << needed;
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
  EXPECT_NE(out_.find("Initialization error\nCould not load \"/nonexistent/libclntsh.so\""),
            std::string::npos)
      << out_;
  // The loader's own reason follows the trace line that names the library.
  EXPECT_NE(out_.find("returned 0\n/nonexistent/libclntsh.so: cannot open shared object file"),
            std::string::npos)
      << out_;
  EXPECT_EQ(out_.find('\r'), std::string::npos);
}

TEST_F(CliRun, NoClientAnywhereSaysHowToPointTheToolAtOne) {
  std::string command = "env -u ORACLE_HOME LD_LIBRARY_PATH= " + db_.Env() + ShellQuote(Program()) +
                        " export --user APPU --password secret --file " +
                        ShellQuote(db_.Folder() + "/x._sdb");
  EXPECT_EQ(RunCommand(command, &out_), 2);
  EXPECT_NE(out_.find("Initialization error\nSQL*Net not properly installed\n"), std::string::npos)
      << out_;
  for (const char* named : {"ORACLE_HOME", "LD_LIBRARY_PATH", "OCIDLL="})
    EXPECT_NE(out_.find(named), std::string::npos) << named << "\n" << out_;
  EXPECT_EQ(out_.find('\r'), std::string::npos);
}

TEST_F(CliRun, ConnectStringCarriesItsOwnPassword) {
  EXPECT_EQ(Cli("export --user APPU/secret --file cs._sdb"), 0) << out_ << err_;
  EXPECT_TRUE(std::filesystem::exists(db_.Folder() + "/cs._sdb"));
}

TEST_F(CliRun, UnusableFilesFailBeforeThePasswordAndTheLogon) {
  std::filesystem::create_directory(db_.Folder() + "/sub");
  std::filesystem::create_directory(db_.Folder() + "/sub._sdb");
  std::ofstream(db_.Folder() + "/notes.txt") << "{shema\r\n}\r\n";
  const std::string here = db_.Folder();
  const struct {
    std::string args;
    std::string message;
  } cases[] = {
      {"export --file /nonexistent/dir/x._sdb",
       "cannot create '/nonexistent/dir/x._sdb': No such file or directory"},
      {"export --file sub", "cannot create '" + here + "/sub': Is a directory"},
      {"update --file missing._sdb",
       "cannot read '" + here + "/missing._sdb': No such file or directory"},
      {"update --file sub._sdb", "cannot read '" + here + "/sub._sdb': Is a directory"},
      {"update --file notes.txt",
       "cannot read '" + here + "/notes.txt': not a schema document (the name must end in ._sdb)"},
      {"update --file t._sdb --update-log /nonexistent/dir/u.log",
       "cannot create the update log '/nonexistent/dir/u.log': No such file or directory"},
  };
  std::ofstream(db_.Folder() + "/t._sdb") << "{shema\r\n}\r\n";
  for (const auto& c : cases) {
    // No password is given and standard input is empty: a prompt or a logon
    // would show in the output.
    EXPECT_EQ(Cli(c.args + " --user APPU"), 2) << c.args;
    EXPECT_EQ(err_, "skelvane-cli: " + c.message + "\n") << c.args;
    EXPECT_EQ(out_, "") << c.args;
  }
  EXPECT_FALSE(std::filesystem::exists(db_.Folder() + "/sub/x._sdb"));
}

// A connect string's password, database and role never reach the document,
// the logs or the statements; the schema is named by the user part alone.
TEST_F(CliRun, ConnectStringPasswordReachesNoDocumentOrLog) {
  EXPECT_EQ(Cli("export --user APPU/secret@XE --file cs._sdb"), 0) << out_ << err_;
  const std::string document = ReadFile(db_.Folder() + "/cs._sdb");
  EXPECT_EQ(document.rfind("{shema\r\n\t{name APPU}\r\n}\r\n", 0), 0u) << document.substr(0, 80);
  EXPECT_EQ(document.find("secret"), std::string::npos);
  EXPECT_EQ(out_.find("secret"), std::string::npos) << out_;
  EXPECT_EQ(err_.find("secret"), std::string::npos) << err_;

  // A column the table lacks: the update's ALTER TABLE names the owner,
  // which must be the user and nothing more, or the statement is refused.
  std::string changed = document;
  const std::string fieldsEnd = "\t\t}\r\n\t\t{indexes";  // T1's, the first table
  ASSERT_NE(changed.find(fieldsEnd), std::string::npos);
  changed.insert(changed.find(fieldsEnd),
                 "\t\t\t{f \r\n\t\t\t\t{name EXTRA}\r\n\t\t\t\t{type VARCHAR2(10)}\r\n"
                 "\t\t\t\t{null Y}\r\n\t\t\t}\r\n");
  std::ofstream(db_.Folder() + "/wide._sdb", std::ios::binary) << changed;
  const int status = Cli("update --user \"APPU/secret@XE\" --file wide._sdb --update-log u.log");
  const std::string updateLog = ReadFile(db_.Folder() + "/u.log");
  EXPECT_NE(status, 2) << out_ << err_;
  // Accepted: the statement named the owner as the database knows it.
  EXPECT_NE(updateLog.find("Alter field \"EXTRA\""), std::string::npos) << out_;
  for (const std::string& text : {out_, err_, updateLog})
    EXPECT_EQ(text.find("secret"), std::string::npos) << text;
}

TEST_F(CliRun, MessagesEndLinesWithLfOnly) {
  EXPECT_EQ(Cli("export --user APPU --password wrong --file out._sdb"), 2);
  EXPECT_EQ(out_.find('\r'), std::string::npos);
  EXPECT_EQ(err_.find('\r'), std::string::npos);
  // The document itself keeps CR LF.
  EXPECT_EQ(Cli("export --user APPU --password secret --file out._sdb"), 0) << out_ << err_;
  EXPECT_EQ(out_.find('\r'), std::string::npos);
  EXPECT_EQ(ReadFile(db_.Folder() + "/out._sdb").rfind("{shema\r\n", 0), 0u);
}

}  // namespace
}  // namespace skelvane::cli

namespace skelvane::cli {
namespace {

TEST(CliOptions, PlanDiffAndBulkArguments) {
  TCliOptions o = ParseArguments({"plan", "--user", "u", "--bulk", "--sequence-start-zero"});
  EXPECT_EQ(o.Command, TCommand::Plan);
  EXPECT_TRUE(o.Bulk);
  EXPECT_TRUE(o.SequenceStartZero);
  EXPECT_TRUE(ParseArguments({"export", "--user", "u", "--bulk"}).Bulk);
  EXPECT_FALSE(ParseArguments({"update", "--user", "u"}).Bulk);
  o = ParseArguments({"diff", "old._sdb", "new._sdb"});
  EXPECT_EQ(o.Command, TCommand::Diff);
  EXPECT_EQ(o.OldFile, "old._sdb");
  EXPECT_EQ(o.NewFile, "new._sdb");

  const std::vector<std::vector<std::string>> wrong = {
      {"diff"},
      {"diff", "old._sdb"},
      {"diff", "a._sdb", "b._sdb", "c._sdb"},
      {"diff", "a._sdb", "b._sdb", "--bulk"},          // no dictionary to read
      {"diff", "a._sdb", "b._sdb", "--user", "u"},
      {"plan", "--user", "u", "--update-log", "f"},   // the script is the plan's output
      {"plan", "--bulk=yes", "--user", "u"},
      {"plan"},
  };
  for (const auto& args : wrong) EXPECT_THROW(ParseArguments(args), EUsageError) << args.front() << " " << args.size();
}

// A document of one table with the given columns' lines.
std::string OneTableDocument(const std::string& columns, const std::string& table = "T1") {
  return "{shema \r\n\t{name APPU}\r\n}\r\n{tables \r\n\t{t \r\n\t\t{name " + table + "}\r\n\t\t{fields \r\n" + columns +
         "\t\t}\r\n\t\t{indexes \r\n\t\t}\r\n\t\t{constraints \r\n\t\t}\r\n\t}\r\n}\r\n";
}

std::string Column(const std::string& name, const std::string& type) {
  return "\t\t\t{f \r\n\t\t\t\t{name " + name + "}\r\n\t\t\t\t{type " + type + "}\r\n\t\t\t\t{null Y}\r\n\t\t\t}\r\n";
}

TEST_F(CliRun, DiffNeedsNoDatabaseAndExitsByThePlan) {
  const std::string dir = db_.Folder();
  std::ofstream(dir + "/old._sdb", std::ios::binary) << OneTableDocument(Column("ID", "NUMBER(10)"));
  std::ofstream(dir + "/new._sdb", std::ios::binary)
      << OneTableDocument(Column("ID", "NUMBER(10)") + Column("NAME", "VARCHAR2(20 BYTE)"));
  // No client library named, none to be found: a diff does not look for one.
  const std::string diff = "cd " + ShellQuote(dir) + " && env -u ORACLE_HOME LD_LIBRARY_PATH= " +
                           ShellQuote(Program()) + " diff ";
  EXPECT_EQ(RunCommand(diff + "old._sdb new._sdb 2>/dev/null", &out_), 1);
  EXPECT_EQ(out_, "ALTER TABLE APPU.T1 ADD (NAME VARCHAR2(20 BYTE));\n");
  EXPECT_EQ(RunCommand(diff + "new._sdb new._sdb 2>/dev/null", &out_), 0);
  EXPECT_EQ(out_, "");
  EXPECT_EQ(RunCommand(diff + "missing._sdb new._sdb 2>&1", &out_), 2);
  EXPECT_NE(out_.find("cannot read"), std::string::npos) << out_;
}

std::string TriggerSection(const std::string& status) {
  return "{triggers \r\n\t{t \r\n\t\t{name TRG1}\r\n\t\t{trigger_body\r\n"
         "TRG1 before insert on T1 for each row\r\nbegin null; end;\r\n\t\t}\r\n" +
         status + "\t}\r\n}\r\n";
}

// The old document stands for the database: its triggers and constraints answer
// every read the compare makes of live ones, the switched-off state among them.
TEST_F(CliRun, DiffReadsTriggersConstraintsAndTheirStatusFromTheOldDocument) {
  const std::string dir = db_.Folder();
  std::string table = OneTableDocument(Column("ID", "NUMBER(10)"));
  // A foreign key too: each of its reads must be answered from the document.
  const std::string check = "\t\t\t{i \r\n\t\t\t\t{name T1_SELF_FK}\r\n\t\t\t\t{type R}\r\n\t\t\t\t{index }\r\n"
                            "\t\t\t\t{expr }\r\n\t\t\t\t{ref (ID) REFERENCES T1 (ID)}\r\n\t\t\t\t{status ENABLED}\r\n\t\t\t}\r\n";
  table.insert(table.find("\t\t{constraints \r\n") + 17, check);
  std::ofstream(dir + "/on._sdb", std::ios::binary) << table + TriggerSection("");
  std::ofstream(dir + "/off._sdb", std::ios::binary) << table + TriggerSection("\t\t{status DISABLED}\r\n");
  const std::string diff = "cd " + ShellQuote(dir) + " && " + ShellQuote(Program()) + " diff ";
  EXPECT_EQ(RunCommand(diff + "on._sdb on._sdb 2>&1", &out_), 0) << out_;
  EXPECT_EQ(out_.find("skelvane-cli:"), std::string::npos) << out_;
  EXPECT_EQ(RunCommand(diff + "off._sdb off._sdb 2>/dev/null", &out_), 0);
  EXPECT_EQ(out_, "");
  EXPECT_EQ(RunCommand(diff + "on._sdb off._sdb 2>/dev/null", &out_), 1);
  EXPECT_EQ(out_, "ALTER TRIGGER TRG1 DISABLE;\n");
}

TEST_F(CliRun, PlanWritesTheScriptToStdoutAndExecutesNothing) {
  std::ofstream(db_.Folder() + "/new._sdb", std::ios::binary)
      << OneTableDocument(Column("ID", "NUMBER(10,0)"), "PLANNED");
  for (const char* bulk : {"", " --bulk"}) {
    SCOPED_TRACE(bulk);
    EXPECT_EQ(Cli(std::string("plan --user APPU --password secret --file new._sdb") + bulk), 1) << err_;
    EXPECT_EQ(out_, "create table PLANNED (ID NUMBER(10,0));\n");
    EXPECT_NE(err_.find("Analize table \"PLANNED\""), std::string::npos) << err_;
  }
  // Nothing was created: the same plan again.
  EXPECT_EQ(Cli("plan --user APPU --password secret --file new._sdb"), 1);
  EXPECT_EQ(Cli("plan --user APPU --password wrong --file new._sdb"), 2);
  EXPECT_EQ(out_, "");
  EXPECT_EQ(Cli("update --user APPU --password secret --file new._sdb"), 0) << out_;
  EXPECT_EQ(Cli("plan --user APPU --password secret --file new._sdb --bulk"), 0) << out_;
  EXPECT_EQ(out_, "");
}

}  // namespace
}  // namespace skelvane::cli
