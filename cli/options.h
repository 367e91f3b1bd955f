// The command line of skelvane-cli.
#ifndef SKELVANE_CLI_OPTIONS_H
#define SKELVANE_CLI_OPTIONS_H

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace skelvane::cli {

enum class TCommand { Help, Export, Update, Plan, Diff };

struct TCliOptions {
  TCommand Command = TCommand::Help;
  std::string Database = "XE";
  std::string User;
  std::optional<std::string> Password;
  std::string File = "test._sdb";
  bool SequenceStartZero = false;
  std::string UpdateLogFile;
  // --bulk: the dictionary read with one query per object kind.
  bool Bulk = false;
  // diff: the document standing for the database, and the one to reach.
  std::string OldFile;
  std::string NewFile;
  // --oci7: the session speaks the Oracle 7 call interface.
  bool UseOCI7 = false;
  // OCIDLL=... and ORACLEHOME=..., handed to the access layer as the
  // process's command-line parameters.
  std::vector<std::string> ClientParameters;
};

// A command line that cannot be run as given.
class EUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Parses the arguments after the program name. Throws EUsageError on a
// missing command, an unknown option, a missing value or a missing --user.
TCliOptions ParseArguments(const std::vector<std::string>& args);

// The text --help prints.
std::string UsageText();

// `path` made absolute against `currentDirectory` when it is relative.
std::string AbsoluteFileName(const std::string& path, const std::string& currentDirectory);

}  // namespace skelvane::cli

#endif
