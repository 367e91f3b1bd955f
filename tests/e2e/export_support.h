// Helpers of the export's end-to-end tests: a scratch folder per test, an
// emulator database built from a SQL script, running skelvane-cli, reading
// files back, masking time stamps.
#ifndef SKELVANE_TESTS_E2E_EXPORT_SUPPORT_H
#define SKELVANE_TESTS_E2E_EXPORT_SUPPORT_H

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace skelvane::e2e {

namespace fs = std::filesystem;

fs::path SourceDir();
fs::path BinaryDir();
fs::path EmulatorLibrary();

// A fresh folder under the system's temporary folder, removed at the end.
class TScratch {
 public:
  explicit TScratch(const std::string& tag) : folder_("e2e-" + tag), dir_(folder_.Path()) {}
  const fs::path& Dir() const { return dir_; }

 private:
  ::skelvane::testing::TTempFolder folder_;
  fs::path dir_;
};

std::string ReadFile(const fs::path& path);
void WriteFile(const fs::path& path, const std::string& bytes);
// Splits at CR LF; a missing CR LF after the last line is kept as an
// unterminated last element.
std::vector<std::string> SplitCrLf(const std::string& bytes);

// Creates the database `name` in `dir` (system password "manager"), in the
// emulator's default character set unless `charset` names one.
void CreateDatabase(const fs::path& dir, const std::string& name, const std::string& charset = "");
// Runs a SQL script in database `name` logged on as `logon` (user/password).
void RunScript(const fs::path& dir, const std::string& name, const std::string& logon,
               const std::string& script);

// Builds the demo database DEMO in `dir` with demo/make-demo.sh.
void MakeDemo(const fs::path& dir);

struct TCliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs skelvane-cli with `args` (each passed as one word) and the password on
// standard input, ORAEMU_DATA=dir, the emulator selected with OCIDLL=, and
// `env` (NAME=value words) added to the environment.
TCliRun RunCli(const fs::path& dir, const std::vector<std::string>& args,
               const std::string& password, const std::vector<std::string>& env = {});

// Replaces every "dd-mm-yyyy hh:nn:ss:" at the start of a line with "<TS>:".
std::string MaskTimeStamps(const std::string& log);

// The round-trip lines ("#n ...") of an emulator trace, in order.
std::vector<std::string> RoundTripLines(const fs::path& trace);

}  // namespace skelvane::e2e

#endif
