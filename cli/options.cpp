#include "options.h"

#include <stdexcept>

#include "common/text.h"

namespace skelvane::cli {

namespace {

bool IsClientParameter(const std::string& arg) {
  size_t eq = arg.find('=');
  if (eq == std::string::npos || arg.rfind("-", 0) == 0) return false;
  std::string name = AnsiUpperCase(arg.substr(0, eq));
  return name == "OCIDLL" || name == "ORACLEHOME";
}

}  // namespace

std::string UsageText() {
  return
      "Usage:\n"
      "  skelvane-cli export --database DB --user USER [--password PW] --file FILE\n"
      "                      [OCIDLL=PATH] [ORACLEHOME=NAME]\n"
      "  skelvane-cli update --database DB --user USER [--password PW] --file FILE\n"
      "                      [--sequence-start-zero] [--update-log FILE]\n"
      "                      [OCIDLL=PATH] [ORACLEHOME=NAME]\n"
      "  skelvane-cli plan   (the options of update but --update-log)\n"
      "  skelvane-cli diff OLD._sdb NEW._sdb [--sequence-start-zero]\n"
      "  skelvane-cli --help\n"
      "export, update and plan take --bulk: the dictionary is read with one\n"
      "query per object kind instead of several per object.\n"
      "\n"
      "export writes the user's schema to the schema document FILE; update\n"
      "compares FILE with the user's schema and issues the DDL that brings the\n"
      "database in line. Defaults: --database XE, --file test._sdb.\n"
      "--user also takes a full connect string (user/password@database, AS SYSDBA);\n"
      "only the user part names the schema.\n"
      "Without --password the password is read from the terminal without echo,\n"
      "or as the first line of standard input when that is not a terminal.\n"
      "OCIDLL=PATH names the Oracle client library to load; ORACLEHOME=NAME picks\n"
      "the Oracle home. --oci7 (export, update, plan) speaks the Oracle 7 call\n"
      "interface even when the client library offers OCI 8.\n"
      "\n"
      "Standard output receives the Common log; --update-log FILE writes the\n"
      "Update log. A FILE that cannot be written (export) or read (update) is\n"
      "reported before the logon.\n"
      "Exit status: 0 done, no statement rejected; 1 done, at least one statement\n"
      "rejected; 2 the operation failed; 64 usage error.\n"
      "\n"
      "plan runs the compare of update but executes nothing: the statements go to\n"
      "standard output as a SQL*Plus script, the Common log to standard error.\n"
      "diff prints the plan that brings the schema of OLD in line with NEW, with\n"
      "no database. Both exit 0 for an empty plan, 1 for a plan with statements,\n"
      "2 on error.\n"
      "\n"
      "Environment (read by the tool and by the Oracle client):\n"
      "  ORACLE_HOME      the Oracle client's folder; its lib folder holds\n"
      "                   libclntsh.so\n"
      "  LD_LIBRARY_PATH  searched for libclntsh.so when ORACLE_HOME is not set\n"
      "                   (an Instant Client folder, for instance)\n"
      "  TNS_ADMIN        the folder of tnsnames.ora, which resolves --database\n"
      "  NLS_LANG         the client's language and character set; documents are\n"
      "                   written and read in that character set\n"
      "\n"
      "Privileges of the database user:\n"
      "  export needs CREATE SESSION and, on Oracle 12c and later, SELECT on three\n"
      "  dictionary tables that the synonym queries read, granted directly to the\n"
      "  user (not through a role). As a DBA:\n"
      "    GRANT CREATE SESSION TO user;\n"
      "    GRANT SELECT ON SYS.OBJ$ TO user;\n"
      "    GRANT SELECT ON SYS.SYN$ TO user;\n"
      "    GRANT SELECT ON SYS.USER$ TO user;\n"
      "  update needs the same, and the privileges of the statements it issues\n"
      "  (CREATE TABLE, VIEW, SEQUENCE, PROCEDURE, TRIGGER, SYNONYM, PUBLIC\n"
      "  SYNONYM, DATABASE LINK, as the document calls for them).\n";
}

TCliOptions ParseArguments(const std::vector<std::string>& args) {
  TCliOptions options;
  if (args.empty()) throw EUsageError("no command given");
  size_t i = 0;
  const std::string& command = args[i++];
  if (command == "--help" || command == "-h") return options;
  if (command == "export") {
    options.Command = TCommand::Export;
  } else if (command == "update") {
    options.Command = TCommand::Update;
  } else if (command == "plan") {
    options.Command = TCommand::Plan;
  } else if (command == "diff") {
    options.Command = TCommand::Diff;
  } else {
    throw EUsageError("unknown command '" + command + "'");
  }

  bool haveUser = false;
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.Command = TCommand::Help;
      return options;
    }
    if (IsClientParameter(arg)) {
      options.ClientParameters.push_back(arg);
      continue;
    }
    if (options.Command == TCommand::Diff && arg.rfind("-", 0) != 0) {
      if (options.OldFile.empty()) {
        options.OldFile = arg;
      } else if (options.NewFile.empty()) {
        options.NewFile = arg;
      } else {
        throw EUsageError("unexpected argument '" + arg + "'");
      }
      continue;
    }
    if (arg.rfind("--", 0) != 0) throw EUsageError("unexpected argument '" + arg + "'");
    std::string name = arg, value;
    bool inlineValue = false;
    if (size_t eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      inlineValue = true;
    }
    if (name == "--oci7" && !inlineValue) {
      options.UseOCI7 = true;
      continue;
    }
    const bool compares = options.Command == TCommand::Update || options.Command == TCommand::Plan ||
                          options.Command == TCommand::Diff;
    if (name == "--sequence-start-zero" && compares && !inlineValue) {
      options.SequenceStartZero = true;
      continue;
    }
    if (name == "--bulk" && options.Command != TCommand::Diff && !inlineValue) {
      options.Bulk = true;
      continue;
    }
    if (options.Command == TCommand::Diff) throw EUsageError("unknown option '" + name + "'");
    bool known = name == "--database" || name == "--user" || name == "--password" ||
                 name == "--file" || (name == "--update-log" && options.Command == TCommand::Update);
    if (!known) throw EUsageError("unknown option '" + name + "'");
    if (!inlineValue) {
      if (i + 1 >= args.size()) throw EUsageError("option '" + name + "' needs a value");
      value = args[++i];
    }
    if (name == "--database") {
      options.Database = value;
    } else if (name == "--user") {
      options.User = value;
      haveUser = true;
    } else if (name == "--password") {
      options.Password = value;
    } else if (name == "--file") {
      if (value.empty()) throw EUsageError("option '--file' needs a file name");
      options.File = value;
    } else {
      options.UpdateLogFile = value;
    }
  }
  if (options.Command == TCommand::Diff) {
    if (options.NewFile.empty()) throw EUsageError("diff needs two documents, OLD and NEW");
    return options;
  }
  if (!haveUser || options.User.empty()) throw EUsageError("--user is required");
  return options;
}

std::string AbsoluteFileName(const std::string& path, const std::string& currentDirectory) {
#ifdef _WIN32
  // "C:\x", "C:x" (a drive's own current folder), "\\server\share" and "\x" are
  // left to the system.
  const bool drive = path.size() >= 2 && path[1] == ':';
  if (path.empty() || drive || path.front() == '\\' || path.front() == '/') return path;
  if (currentDirectory.empty() || currentDirectory.back() == '\\' || currentDirectory.back() == '/')
    return currentDirectory + path;
  return currentDirectory + "\\" + path;
#endif
  if (path.empty() || path.front() == '/') return path;
  if (currentDirectory.empty() || currentDirectory.back() == '/') return currentDirectory + path;
  return currentDirectory + "/" + path;
}

}  // namespace skelvane::cli
