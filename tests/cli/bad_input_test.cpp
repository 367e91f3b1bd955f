// Bad input at every door of skelvane-cli, as one table: the arguments, the
// schema document, the files it writes and the client library. Every case
// ends in one message on standard error and the documented exit status
// (64 usage error, 2 failure), without a crash.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/emulator_database.h"
#include "support/emulator_tool.h"
#include "support/test_schema.h"
#include "support/temp_folder.h"

namespace skelvane::cli {
namespace {

namespace fs = std::filesystem;
using ::skelvane::testing::ReadAll;
using ::skelvane::testing::RunCommand;
using ::skelvane::testing::ShellQuote;
using ::skelvane::testing::TEmulatorDatabase;

struct TBadInput {
  const char* door;
  const char* label;
  // The command line after the program's name; LIB stands for OCIDLL=<the
  // emulator>, DIR for the case's folder.
  std::string args;
  int status;
  std::string message;  // found in standard error, or in the Common log when the run succeeds
  // Stopped by a permission, which root does not heed: run as "nobody" then.
  bool byPermission = false;
};

const std::vector<TBadInput>& Table() {
  static const std::vector<TBadInput> table = {
      {"arguments", "no command", "", 64, "skelvane-cli: no command given"},
      {"arguments", "unknown command", "import LIB --user APPU", 64, "unknown command 'import'"},
      {"arguments", "unknown option", "export LIB --user APPU --colour", 64, "unknown option '--colour'"},
      {"arguments", "no user", "export LIB --file DIR/x._sdb", 64, "--user is required"},
      {"arguments", "empty user", "export LIB --user ''", 64, "--user is required"},
      {"arguments", "option without its value", "export LIB --user APPU --file", 64,
       "option '--file' needs a value"},
      {"arguments", "empty file name", "update LIB --user APPU --file ''", 64,
       "option '--file' needs a file name"},
      {"arguments", "stray word", "export LIB --user APPU stray", 64, "unexpected argument 'stray'"},
      {"arguments", "update option on export", "export LIB --user APPU --sequence-start-zero", 64,
       "unknown option '--sequence-start-zero'"},
      {"arguments", "unknown client parameter", "export LIB --user APPU ORAHOME=x", 64,
       "unexpected argument 'ORAHOME=x'"},
      {"arguments", "database name that is a path", "export LIB --user APPU --password secret "
       "--database ../../etc/passwd --file DIR/x._sdb", 2, "ORA-12154"},
      {"arguments", "unknown database", "export LIB --user APPU --password secret --database NOSUCH "
       "--file DIR/x._sdb", 2, "ORA-12154"},
      {"arguments", "wrong password", "export LIB --user APPU --password wrong --file DIR/x._sdb", 2,
       "ORA-01017"},
      {"arguments", "no password on standard input", "export LIB --user APPU --file DIR/x._sdb", 2,
       "ORA-01017"},
      // Lengths no buffer of the logon may assume.
      {"arguments", "a password of 100 KB",
       "export LIB --user APPU --password " + std::string(100000, 'p') + " --file DIR/x._sdb", 2, "ORA-01017"},
      {"arguments", "a user name of 100 KB",
       "export LIB --user " + std::string(100000, 'U') + " --password secret --file DIR/x._sdb", 2, "ORA-01017"},
      {"arguments", "a database name of 100 KB",
       "export LIB --user APPU --password secret --database " + std::string(100000, 'D') + " --file DIR/x._sdb",
       2, "ORA-12154"},
      {"arguments", "a connect string of 100 KB through the Oracle 7 logon",
       "export LIB --oci7 --user APPU/" + std::string(100000, 'p') + "@XE --file DIR/x._sdb", 2, "ORA-01017"},
      {"document", "missing", "update LIB --user APPU --password secret --file DIR/missing._sdb", 2,
       "cannot read 'DIR/missing._sdb': No such file or directory"},
      {"document", "a folder", "update LIB --user APPU --password secret --file DIR/folder._sdb", 2,
       "cannot read 'DIR/folder._sdb': Is a directory"},
      {"document", "unreadable", "update LIB --user APPU --password secret --file DIR/unreadable._sdb", 2,
       "cannot read 'DIR/unreadable._sdb': Permission denied", true},
      {"document", "export onto a read-only file",
       "export LIB --user APPU --password secret --file DIR/readonly._sdb", 2,
       "cannot create 'DIR/readonly._sdb': Permission denied", true},
      // An empty document is one without sections: the compare walks none.
      {"document", "empty", "update LIB --user APPU --password secret --file DIR/empty._sdb", 0,
       "db_links:\n"},
      {"document", "blank lines only", "update LIB --user APPU --password secret --file DIR/blank._sdb", 0,
       "db_links:\n"},
      {"document", "binary", "update LIB --user APPU --password secret --file DIR/binary._sdb", 2,
       "cannot read 'DIR/binary._sdb': not a schema document (it holds binary data)"},
      {"document", "2 GB", "update LIB --user APPU --password secret --file DIR/huge._sdb", 2,
       "cannot read 'DIR/huge._sdb': not a schema document (it holds binary data)"},
      {"document", "other extension", "update LIB --user APPU --password secret --file DIR/schema.txt", 2,
       "not a schema document (the name must end in ._sdb)"},
      {"document", "unmatched brace", "update LIB --user APPU --password secret --file DIR/brace._sdb", 2,
       "line 3: \"}\" without a matching \"{\""},
      // diff reads two documents and no database.
      {"document", "diff with one document", "diff DIR/good._sdb", 64, "diff needs two documents, OLD and NEW"},
      {"document", "diff from a missing document", "diff DIR/missing._sdb DIR/good._sdb", 2,
       "cannot read 'DIR/missing._sdb': No such file or directory"},
      {"document", "diff to a folder", "diff DIR/good._sdb DIR/folder._sdb", 2,
       "cannot read 'DIR/folder._sdb': Is a directory"},
      {"document", "diff from a binary document", "diff DIR/binary._sdb DIR/good._sdb", 2,
       "cannot read 'DIR/binary._sdb': not a schema document (it holds binary data)"},
      {"document", "diff to 2 GB", "diff DIR/good._sdb DIR/huge._sdb", 2,
       "cannot read 'DIR/huge._sdb': not a schema document (it holds binary data)"},
      {"document", "diff to an unmatched brace", "diff DIR/good._sdb DIR/brace._sdb", 2,
       "line 3: \"}\" without a matching \"{\""},
      {"document", "diff from another extension", "diff DIR/schema.txt DIR/good._sdb", 2,
       "not a schema document (the name must end in ._sdb)"},
      {"document", "export into a missing folder",
       "export LIB --user APPU --password secret --file DIR/no/such/x._sdb", 2,
       "cannot create 'DIR/no/such/x._sdb': No such file or directory"},
      {"document", "export onto a folder", "export LIB --user APPU --password secret --file DIR/folder._sdb",
       2, "cannot create 'DIR/folder._sdb': Is a directory"},
      {"update log", "in a missing folder",
       "update LIB --user APPU --password secret --file DIR/good._sdb --update-log DIR/no/u.log", 2,
       "cannot create the update log 'DIR/no/u.log': No such file or directory"},
      {"update log", "a read-only file",
       "update LIB --user APPU --password secret --file DIR/good._sdb --update-log DIR/readonly._sdb", 2,
       "cannot create the update log 'DIR/readonly._sdb': Permission denied", true},
      {"update log", "a folder",
       "update LIB --user APPU --password secret --file DIR/good._sdb --update-log DIR/folder._sdb", 2,
       "cannot create the update log 'DIR/folder._sdb': Is a directory"},
      // Opening the log would empty the document before the compare reads it.
      {"update log", "the document itself",
       "update LIB --user APPU --password secret --file DIR/good._sdb --update-log DIR/good._sdb", 2,
       "cannot create the update log 'DIR/good._sdb': it is the schema document"},
      {"update log", "a link to the document",
       "update LIB --user APPU --password secret --file DIR/good._sdb --update-log DIR/good-link.log", 2,
       "cannot create the update log 'DIR/good-link.log': it is the schema document"},
      {"update log", "the document, named relative",
       "update LIB --user APPU --password secret --file DIR/good._sdb --update-log ./good._sdb", 2,
       "cannot create the update log 'DIR/./good._sdb': it is the schema document"},
      {"update log", "on a full disk",
       "update LIB --user APPU --password secret --file DIR/table._sdb --update-log /dev/full", 2,
       "cannot write the update log '/dev/full'"},
      {"standard output", "on a full disk",
       "export LIB --user APPU --password secret --file DIR/out._sdb >/dev/full", 2,
       "skelvane-cli: cannot write to standard output"},
      {"standard output", "usage text on a full disk", "--help >/dev/full", 2,
       "skelvane-cli: cannot write to standard output"},
      {"client library", "missing", "export OCIDLL=DIR/missing.so --user APPU --password secret", 2,
       "Could not load \"DIR/missing.so\""},
      {"client library", "not a library", "export OCIDLL=DIR/notalib.so --user APPU --password secret", 2,
       "Could not load \"DIR/notalib.so\""},
      {"client library", "an empty file", "export OCIDLL=DIR/empty._sdb --user APPU --password secret", 2,
       "Could not load \"DIR/empty._sdb\""},
      {"client library", "a device", "export OCIDLL=/dev/zero --user APPU --password secret", 2,
       "Could not load \"/dev/zero\""},
      {"client library", "a folder", "export OCIDLL=DIR/folder._sdb --user APPU --password secret", 2,
       "Could not load \"DIR/folder._sdb\""},
      {"client library", "missing the OCI entry points",
       "export OCIDLL=NOCLIENT --user APPU --password secret --file DIR/x._sdb", 2, "Could not initialize"},
  };
  return table;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

TEST(BadInput, EveryDoorGivesOneMessageAndTheDocumentedStatus) {
  TEmulatorDatabase db;
  db.RunAsSystem(::skelvane::testing::kTestUsers);
  const std::string dir = db.Folder();
  fs::create_directory(dir + "/folder._sdb");
  std::ofstream(dir + "/empty._sdb");
  std::ofstream(dir + "/blank._sdb") << "\r\n\r\n  \t\r\n";
  std::ofstream(dir + "/binary._sdb", std::ios::binary) << std::string("{shema\0\x01\xff{", 10);
  std::ofstream(dir + "/schema.txt") << "{shema\r\n}\r\n";
  std::ofstream(dir + "/brace._sdb") << "{shema\r\n{tables \r\n}}}\r\n";
  const std::string good = "{shema\r\n\t{name APPU}\r\n}\r\n";
  std::ofstream(dir + "/good._sdb") << good;
  fs::create_symlink(dir + "/good._sdb", dir + "/good-link.log");
  // One table to create, so that the update has a statement to log.
  std::ofstream(dir + "/table._sdb")
      << "{shema\r\n\t{name APPU}\r\n}\r\n{tables \r\n\t{t \r\n\t\t{name NEWT}\r\n\t\t{fields\r\n"
         "\t\t\t{f \r\n\t\t\t\t{name ID}\r\n\t\t\t\t{type NUMBER(10)}\r\n\t\t\t\t{null Y}\r\n\t\t\t}\r\n"
         "\t\t}\r\n\t\t{indexes\r\n\t\t}\r\n\t\t{constraints\r\n\t\t}\r\n\t}\r\n}\r\n";
  std::ofstream(dir + "/notalib.so") << "not a shared library\n";
  std::ofstream(dir + "/unreadable._sdb") << "{shema\r\n}\r\n";
  fs::permissions(dir + "/unreadable._sdb", fs::perms::none);
  std::ofstream(dir + "/readonly._sdb") << "{shema\r\n}\r\n";
  fs::permissions(dir + "/readonly._sdb", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  {
    // Sparse: two gigabytes that take no room, behind a text head.
    std::ofstream(dir + "/huge._sdb") << "{shema\r\n";
    fs::resize_file(dir + "/huge._sdb", std::uintmax_t{2} << 30);
  }
  // Root reads and writes any file whatever its permissions: such cases run
  // as "nobody", who may enter the folder.
  const bool root = ::geteuid() == 0;
  const bool canDrop = root && fs::exists("/usr/bin/setpriv");
  if (root) fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);

  int checked = 0;
  for (const TBadInput& c : Table()) {
    if (c.byPermission && root && !canDrop) continue;
    const std::string asNobody =
        c.byPermission && root ? "/usr/bin/setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    SCOPED_TRACE(std::string(c.door) + ", " + c.label);
    std::string args = Replaced(c.args, "LIB", "OCIDLL=" + ShellQuote(::skelvane::testing::EmulatorLibrary()));
    args = Replaced(args, "NOCLIENT", ShellQuote(::skelvane::testing::BinaryDir() + "/lib/libnot_a_client.so"));
    args = Replaced(args, "DIR", dir);
    const std::string errFile = dir + "/stderr.txt";
    std::string out;
    const int status = RunCommand("cd " + ShellQuote(dir) + " && " + db.Env() +
                                      asNobody + ShellQuote(::skelvane::testing::BinaryDir() + "/bin/skelvane-cli") + " " +
                                      args + " </dev/null 2>" + ShellQuote(errFile),
                                  &out);
    const std::string err = ReadAll(errFile);
    EXPECT_EQ(status, c.status) << err << out;
    EXPECT_NE((c.status == 0 ? out : err).find(Replaced(c.message, "DIR", dir)), std::string::npos) << err << out;
    // One message: one line naming the program, and no sanitizer or crash report.
    size_t named = 0;
    for (size_t at = 0; (at = err.find("skelvane-cli: ", at)) != std::string::npos; ++at) ++named;
    EXPECT_EQ(named, c.status == 0 ? 0u : 1u) << err;
    EXPECT_EQ(err.find("Sanitizer"), std::string::npos) << err;
    // Failures before the logon leave the Common log empty; after it, the
    // log ends with the frame's one line, or with the run's own end when a
    // file failed only after it.
    if (c.status != 0 && !out.empty()) {
      EXPECT_TRUE(out.find("Ошибка базы данных. причина:") != std::string::npos ||
                  out.find(":end test\n") != std::string::npos)
          << out;
    }
    ++checked;
  }
  std::cout << "bad input: " << checked << " of " << Table().size() << " cases checked"
            << (root && !canDrop ? " (root ignores permissions, and no setpriv to drop them)" : "") << std::endl;
  EXPECT_FALSE(fs::exists(dir + "/x._sdb"));
  EXPECT_EQ(ReadAll(dir + "/good._sdb"), good);
}

}  // namespace
}  // namespace skelvane::cli
