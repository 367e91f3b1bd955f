#include "e2e/export_support.h"

#include <sys/wait.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "support/emulator_tool.h"

namespace skelvane::e2e {
namespace {

using ::skelvane::testing::ShellQuote;


int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

fs::path EnvPath(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v && *v ? fs::path(v) : fs::path(fallback);
}

}  // namespace

fs::path SourceDir() { return EnvPath("SKELVANE_SOURCE_DIR", "."); }
fs::path BinaryDir() { return ::skelvane::testing::BinaryDir(); }
fs::path EmulatorLibrary() { return ::skelvane::testing::EmulatorLibrary(); }

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::string> SplitCrLf(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t pos; (pos = bytes.find("\r\n", start)) != std::string::npos; start = pos + 2) {
    lines.push_back(bytes.substr(start, pos - start));
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

void CreateDatabase(const fs::path& dir, const std::string& name, const std::string& charset) {
  const fs::path log = dir / (name + "-create.log");
  std::string command = "ORAEMU_DATA=" + ShellQuote(dir.string()) + " " +
                        ShellQuote(::skelvane::testing::EmulatorTool()) + " create " + ShellQuote(name) +
                        " --system-password manager";
  if (!charset.empty()) command += " --charset " + ShellQuote(charset);
  if (Shell(command + " >" + ShellQuote(log.string()) + " 2>&1") != 0) {
    throw std::runtime_error("cannot create database " + name + ":\n" + ReadFile(log));
  }
}

void RunScript(const fs::path& dir, const std::string& name, const std::string& logon,
               const std::string& script) {
  static std::atomic<int> counter{0};
  const fs::path file = dir / ("script-" + std::to_string(counter++) + ".sql");
  const fs::path log = file.string() + ".log";
  WriteFile(file, script);
  if (Shell("ORAEMU_DATA=" + ShellQuote(dir.string()) + " " +
            ShellQuote(::skelvane::testing::EmulatorTool()) + " run " + ShellQuote(name) + " " +
            ShellQuote(logon) + " " + ShellQuote(file.string()) + " >" + ShellQuote(log.string()) + " 2>&1") != 0) {
    throw std::runtime_error("script failed in " + name + ":\n" + ReadFile(log));
  }
}

void MakeDemo(const fs::path& dir) {
  const fs::path log = dir / "make-demo.log";
  if (Shell(ShellQuote((SourceDir() / "demo" / "make-demo.sh").string()) + " " + ShellQuote(dir.string()) +
            " " + ShellQuote(::skelvane::testing::EmulatorTool()) + " >" +
            ShellQuote(log.string()) + " 2>&1") != 0) {
    throw std::runtime_error("make-demo.sh failed:\n" + ReadFile(log));
  }
}

TCliRun RunCli(const fs::path& dir, const std::vector<std::string>& args,
               const std::string& password, const std::vector<std::string>& env) {
  const fs::path in = dir / "cli-stdin.txt", out = dir / "cli-stdout.txt",
                 err = dir / "cli-stderr.txt";
  WriteFile(in, password + "\n");
  std::string command = "ORAEMU_DATA=" + ShellQuote(dir.string());
  for (const auto& e : env) command += " " + ShellQuote(e);
  command = "env " + command + " " + ShellQuote((BinaryDir() / "bin" / "skelvane-cli").string());
  for (const auto& a : args) command += " " + ShellQuote(a);
  command += " OCIDLL=" + ShellQuote(EmulatorLibrary().string());
  command += " <" + ShellQuote(in.string()) + " >" + ShellQuote(out.string()) + " 2>" + ShellQuote(err.string());
  TCliRun run;
  run.exitCode = Shell(command);
  run.out = ReadFile(out);
  run.err = ReadFile(err);
  return run;
}

std::string MaskTimeStamps(const std::string& log) {
  // "dd-mm-yyyy hh:nn:ss:" where d stands for any digit.
  static const char kShape[] = "dd-dd-dddd dd:dd:dd:";
  const size_t n = sizeof kShape - 1;
  auto stampAt = [&](size_t pos) {
    if (log.size() - pos < n) return false;
    for (size_t i = 0; i < n; ++i) {
      const char c = log[pos + i];
      if (kShape[i] == 'd' ? (c < '0' || c > '9') : c != kShape[i]) return false;
    }
    return true;
  };
  std::string out;
  for (size_t pos = 0; pos < log.size();) {
    size_t end = log.find('\n', pos);
    end = end == std::string::npos ? log.size() : end + 1;
    if (stampAt(pos)) {
      out += "<TS>:";
      out.append(log, pos + n, end - pos - n);
    } else {
      out.append(log, pos, end - pos);
    }
    pos = end;
  }
  return out;
}

std::vector<std::string> RoundTripLines(const fs::path& trace) {
  std::vector<std::string> lines;
  std::ifstream in(trace, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '#') lines.push_back(line);
  }
  return lines;
}

}  // namespace skelvane::e2e
