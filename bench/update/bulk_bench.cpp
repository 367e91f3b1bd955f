// Per-object against bulk dictionary reads, for the export and for a compare
// of an identical schema: round trips, wall time under a 20 ms round trip,
// peak memory and the snapshot's size, on generated schemas (10 columns, 2
// indexes and 2 constraints per table, a default on one column in three).
//
//   bulk_bench [--bulk-only-at-largest] [SIZES...]   default sizes 1000 8000
//
// --bulk-only-at-largest leaves the per-object runs out at the largest size
// (they take many minutes there); the compare's document then comes from
// the bulk export.
//
// Round trips are counted exactly from the emulator's trace of a run without
// latency. The time under latency is that run's wall time plus 20 ms per
// round trip; the bulk runs are also measured with ORAEMU_LATENCY_US=20000
// to check the model. Each run is a child process, so peak memory is its own.
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "../support/bench_database.h"
#include "common/platform.h"
#include "dictionary/bulk_reader.h"
#include "dictionary/dm.h"
#include "dictionary/operation_host.h"
#include "export/export_schema.h"
#include "update/compare_and_update.h"

namespace fs = std::filesystem;
using namespace skelvane;

namespace {

using bench::BuildDir;
using bench::Quote;

constexpr const char* kUser = "BENCH";
constexpr const char* kPassword = "bench";
constexpr double kLatencySeconds = 0.020;

class TQuietHost : public TOperationHost {
 public:
  void WriteLog(const std::string&, bool, bool alsoUpdateLog) override { statements += alsoUpdateLog; }
  std::string UserNameText() const override { return kUser; }
  std::string ExportFileName() const override { return file; }
  std::string UpdateFileName() const override { return file; }
  std::string ProgramDirectory() const override { return "."; }
  bool SequenceSetZero() const override { return false; }
  void ProcessMessages() override {}
  std::string file;
  long statements = 0;
};

void WriteSchemaScript(const fs::path& script, int tables) {
  std::ofstream out(script, std::ios::binary);
  char name[16];
  for (int i = 1; i <= tables; ++i) {
    std::snprintf(name, sizeof name, "T%05d", i);
    out << "create table " << name
        << " (ID number(10), C1 varchar2(40) default 'a', C2 number(12,2), C3 date,"
           " C4 varchar2(100) default 'x', C5 char(1), C6 number, C7 varchar2(200) default 'z',"
           " C8 date, C9 number(5));\n"
        << "alter table " << name << " add constraint " << name << "_PK primary key (ID);\n"
        << "alter table " << name << " add constraint " << name << "_CK check (C9 > 0);\n"
        << "create index " << name << "_I1 on " << name << " (C1, C2);\n";
  }
}

long StatusKiB(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::string(key).size());
  return -1;
}

// Child: one run; prints "seconds peak_kib snapshot_bytes statements heap_bytes".
int RunOne(const std::string& mode, const std::string& operation, const fs::path& dir) {
  platform::ProcessParameters() = {"OCIDLL=" + (BuildDir() / "lib" / "liboraemu.so").string()};
  TDM dm;
  dm.OracleSession1.LogonUsername = kUser;
  dm.OracleSession1.LogonPassword = kPassword;
  dm.OracleSession1.LogonDatabase = "BENCH";
  dm.OracleSession1.LogOn();
  TQuietHost host;
  host.file = (dir / (operation == "export" ? "out._sdb" : "bench._sdb")).string();
  size_t snapshotBytes = 0, heapBytes = 0;
  const auto start = std::chrono::steady_clock::now();
  if (mode == "bulk") {
    auto snapshot = MakeBulkSnapshot(dm.OracleSession1);
    if (operation == "export") {
      ExportSchema(host, *snapshot);
    } else {
      TExecutingSink sink(dm, snapshot.get());
      CompareAndUpdate(host, *snapshot, sink);
    }
    snapshotBytes = snapshot->MemoryUsed();
    // What the heap gets back when the snapshot goes: its true size, to hold the estimate against.
    const size_t held = mallinfo2().uordblks;
    snapshot.reset();
    heapBytes = held - mallinfo2().uordblks;
  } else if (operation == "export") {
    ExportSchema(host, dm);
  } else {
    CompareAndUpdate(host, dm);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  dm.OracleSession1.LogOff();
  std::cout << seconds << " " << StatusKiB("VmHWM:") << " " << snapshotBytes << " " << host.statements << " "
            << heapBytes << "\n";
  return 0;
}

std::string RunChild(const fs::path& dir, const std::string& args, const std::string& env) {
  const std::string command = "ORAEMU_DATA=" + Quote(dir.string()) + " " + env + " " +
                              Quote(fs::canonical("/proc/self/exe").string()) + " --run " + args + " " +
                              Quote(dir.string());
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot start " + command);
  char buf[256] = {};
  std::string out;
  while (std::fgets(buf, sizeof buf, pipe)) out += buf;
  if (pclose(pipe) != 0) throw std::runtime_error("child failed: " + command);
  return out;
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

long RoundTrips(const fs::path& trace) {
  std::ifstream in(trace);
  long last = 0;
  for (std::string line; std::getline(in, line);)
    if (line.size() > 1 && line[0] == '#') last = std::max(last, std::atol(line.c_str() + 1));
  return last;
}

struct TFigures {
  double seconds = 0;
  long peakKiB = 0, trips = 0, statements = 0;
  size_t snapshotBytes = 0, heapBytes = 0;
};

TFigures Measure(const fs::path& dir, const std::string& mode, const std::string& operation) {
  TFigures f;
  std::istringstream(RunChild(dir, mode + " " + operation, "")) >> f.seconds >> f.peakKiB >> f.snapshotBytes >>
      f.statements >> f.heapBytes;
  const fs::path trace = dir / ("trace-" + mode + "-" + operation);
  fs::remove(trace);
  RunChild(dir, mode + " " + operation, "ORAEMU_TRACE=" + Quote(trace.string()));
  f.trips = RoundTrips(trace);
  fs::remove(trace);
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 5 && std::string(argv[1]) == "--run") return RunOne(argv[2], argv[3], argv[4]);
    std::vector<int> sizes;
    bool perObjectAtLargest = true;
    for (int i = 1; i < argc; ++i) {
      if (std::string(argv[i]) == "--bulk-only-at-largest") {
        perObjectAtLargest = false;
      } else {
        sizes.push_back(std::atoi(argv[i]));
      }
    }
    if (sizes.empty()) sizes = {1000, 8000};
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path root = base / ("bulk_bench." + std::to_string(getpid()));
    std::printf("%6s %-10s %-7s %11s %10s %16s %16s %9s %12s %8s %8s %9s\n", "tables", "mode", "op", "round trips",
                "run s", "at 20 ms/trip s", "measured 20ms s", "peak MiB", "snapshot MiB", "heap MiB", "doc MiB", "snap/doc");
    for (int n : sizes) {
      const fs::path dir = root / ("n" + std::to_string(n));
      fs::create_directories(dir);
      const fs::path schema = dir / "schema.sql";
      WriteSchemaScript(schema, n);
      std::ostringstream users;
      users << "create user " << kUser << " identified by " << kPassword << ";\n"
            << "grant connect, resource to " << kUser << ";\n"
            << "grant select on sys.obj$ to " << kUser << ";\n"
            << "grant select on sys.syn$ to " << kUser << ";\n"
            << "grant select on sys.user$ to " << kUser << ";\n";
      bench::CreateBenchDatabase(dir, users.str(), std::string(kUser) + "/" + kPassword, schema);
      const bool perObject = perObjectAtLargest || n != sizes.back();
      // The document the compare reads; the bulk export must write the same bytes.
      RunChild(dir, perObject ? "per-object export" : "bulk export", "");
      fs::rename(dir / "out._sdb", dir / "bench._sdb");
      const double docMiB = static_cast<double>(fs::file_size(dir / "bench._sdb")) / (1 << 20);
      long perObjectTrips[2] = {0, 0};
      for (const std::string mode : {"per-object", "bulk"}) {
        for (int op = 0; op < 2; ++op) {
          const std::string operation = op == 0 ? "export" : "compare";
          if (mode == "per-object" && !perObject) continue;
          const TFigures f = Measure(dir, mode, operation == "export" ? "export" : "compare");
          std::string measured = "-";
          if (mode == "bulk") {
            TFigures slow;
            std::istringstream(RunChild(dir, mode + " " + operation, "ORAEMU_LATENCY_US=20000")) >> slow.seconds;
            char text[32];
            std::snprintf(text, sizeof text, "%.2f", slow.seconds);
            measured = text;
          } else {
            perObjectTrips[op] = f.trips;
          }
          std::printf("%6d %-10s %-7s %11ld %10.2f %16.2f %16s %9.1f %12.2f %8.2f %8.2f %9.2f\n", n, mode.c_str(),
                      operation.c_str(), f.trips, f.seconds, f.seconds + f.trips * kLatencySeconds,
                      measured.c_str(), f.peakKiB / 1024.0, f.snapshotBytes / 1048576.0,
                      f.heapBytes / 1048576.0, docMiB,
                      f.snapshotBytes / 1048576.0 / docMiB);
          if (mode == "bulk" && operation == "export" && ReadAll(dir / "out._sdb") != ReadAll(dir / "bench._sdb"))
            std::printf("%6s %-10s %-7s the bulk export's document differs from the compare's\n", "", "", "");
          if (mode == "bulk" && perObjectTrips[op] > 0)
            std::printf("%6s %-10s %-7s %10.0fx fewer round trips than per object\n", "", "", "",
                        static_cast<double>(perObjectTrips[op]) / static_cast<double>(f.trips));
          std::fflush(stdout);
        }
      }
    }
    fs::remove_all(root);
  } catch (const std::exception& e) {
    std::cerr << "bulk_bench: " << e.what() << "\n";
    return 2;
  }
  return 0;
}
