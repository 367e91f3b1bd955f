#include "options.h"

#include <stdexcept>

#include "app/operations.h"
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
  std::string text =
      "Usage:\n"
      "  skelvane-cli export --database DB --user USER [--password PW] --file FILE\n"
      "                      [OCIDLL=PATH] [ORACLEHOME=NAME]\n"
      "  skelvane-cli update --database DB --user USER [--password PW] --file FILE\n"
      "                      [--sequence-start-zero] [--update-log FILE]\n"
      "                      [OCIDLL=PATH] [ORACLEHOME=NAME]\n"
      "  skelvane-cli --help\n"
      "\n"
      "export writes the user's schema to the schema document FILE; update\n"
      "compares FILE with the user's schema and issues the DDL that brings the\n"
      "database in line. Defaults: --database XE, --file test._sdb.\n"
      "--user also takes a full connect string (user/password@database, AS SYSDBA).\n"
      "Without --password the password is read from the terminal without echo,\n"
      "or as the first line of standard input when that is not a terminal.\n"
      "OCIDLL=PATH names the Oracle client library to load; ORACLEHOME=NAME picks\n"
      "the Oracle home.\n"
      "\n"
      "Standard output receives the Common log; --update-log FILE writes the\n"
      "Update log.\n"
      "Exit status: 0 done, no statement rejected; 1 done, at least one statement\n"
      "rejected; 2 the operation failed; 64 usage error.\n";
  if (!ExportOperationBuilt())
    text += "\nNote: the schema export is not built yet; export only logs on and off.\n";
  if (!CompareOperationBuilt())
    text += "\nNote: the compare is not built yet; update only logs on and off, changes\n"
            "nothing and exits with status 2.\n";
  return text;
}

TCliOptions ParseArguments(const std::vector<std::string>& args) {
  TCliOptions options;
  if (args.empty()) throw TUsageError("no command given");
  size_t i = 0;
  const std::string& command = args[i++];
  if (command == "--help" || command == "-h") return options;
  if (command == "export") {
    options.Command = TCommand::Export;
  } else if (command == "update") {
    options.Command = TCommand::Update;
  } else {
    throw TUsageError("unknown command '" + command + "'");
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
    if (arg.rfind("--", 0) != 0) throw TUsageError("unexpected argument '" + arg + "'");
    std::string name = arg, value;
    bool inlineValue = false;
    if (size_t eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      inlineValue = true;
    }
    if (name == "--sequence-start-zero" && options.Command == TCommand::Update && !inlineValue) {
      options.SequenceStartZero = true;
      continue;
    }
    bool known = name == "--database" || name == "--user" || name == "--password" ||
                 name == "--file" || (name == "--update-log" && options.Command == TCommand::Update);
    if (!known) throw TUsageError("unknown option '" + name + "'");
    if (!inlineValue) {
      if (i + 1 >= args.size()) throw TUsageError("option '" + name + "' needs a value");
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
      if (value.empty()) throw TUsageError("option '--file' needs a file name");
      options.File = value;
    } else {
      options.UpdateLogFile = value;
    }
  }
  if (!haveUser || options.User.empty()) throw TUsageError("--user is required");
  return options;
}

std::string AbsoluteFileName(const std::string& path, const std::string& currentDirectory) {
  if (path.empty() || path.front() == '/') return path;
  if (currentDirectory.empty() || currentDirectory.back() == '/') return currentDirectory + path;
  return currentDirectory + "/" + path;
}

}  // namespace skelvane::cli
