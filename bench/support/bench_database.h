// The emulator database a benchmark measures, built with oraemu-sql beside
// the benchmark's own build.
#ifndef SKELVANE_BENCH_SUPPORT_BENCH_DATABASE_H
#define SKELVANE_BENCH_SUPPORT_BENCH_DATABASE_H

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace skelvane::bench {

// The build folder: benchmarks run from its bin/.
inline std::filesystem::path BuildDir() {
  return std::filesystem::canonical("/proc/self/exe").parent_path().parent_path();
}

inline int Run(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

inline std::string Quote(const std::string& s) { return "'" + s + "'"; }

// Creates <dir>/BENCH.sqlite: `usersSql` run as SYSTEM, then the script
// `schema` run as `ownerLogon` (user/password).
inline void CreateBenchDatabase(const std::filesystem::path& dir, const std::string& usersSql,
                                const std::string& ownerLogon, const std::filesystem::path& schema) {
  const std::filesystem::path tool = BuildDir() / "bin" / "oraemu-sql";
  const std::filesystem::path users = dir / "users.sql";
  std::ofstream(users) << usersSql;
  const std::string env = "ORAEMU_DATA=" + Quote(dir.string()) + " ";
  if (Run(env + Quote(tool.string()) + " create BENCH --system-password manager >/dev/null") != 0 ||
      Run(env + Quote(tool.string()) + " run BENCH SYSTEM/manager " + Quote(users.string()) +
          " >/dev/null") != 0 ||
      Run(env + Quote(tool.string()) + " run BENCH " + ownerLogon + " " + Quote(schema.string()) +
          " >/dev/null") != 0) {
    throw std::runtime_error("cannot create the bench database in " + dir.string());
  }
}

}  // namespace skelvane::bench

#endif
