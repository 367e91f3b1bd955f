// One run of skelvane-cli: parse, start the window model, run the operation
// in the window's frame, report.
#ifndef SKELVANE_CLI_RUN_H
#define SKELVANE_CLI_RUN_H

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace skelvane::cli {

enum TExitStatus : int {
  kExitDone = 0,
  kExitStatementsRejected = 1,
  kExitFailed = 2,
  kExitPlanNotEmpty = 1,  // plan and diff: there are statements
  kExitUsage = 64,
};

// `args`: the arguments after the program name. `readPassword` is asked only
// when neither --password nor a connect string with "/" gives one.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const std::function<std::string()>& readPassword);

}  // namespace skelvane::cli

#endif
