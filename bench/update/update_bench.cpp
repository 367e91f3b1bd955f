// Compares generated schemas with a document exported from them, so that no
// statement runs, and prints the figures: tables per second, round trips per
// table, peak memory per size, and the ratio of the wall time to the
// round-trip floor under a fixed latency.
//
//   update_bench [SIZES...]          default sizes 1000 5000
//
// Each measurement runs in a child process of its own (this program with
// --measure), so that peak memory and the emulator's variables are its own.
#include <malloc.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "../support/bench_database.h"
#include "common/platform.h"
#include "dictionary/dm.h"
#include "dictionary/operation_host.h"
#include "export/export_schema.h"
#include "update/compare_and_update.h"

namespace fs = std::filesystem;
using namespace skelvane;

namespace {

using bench::BuildDir;
using bench::CreateBenchDatabase;
using bench::Quote;
using bench::Run;

constexpr const char* kUser = "BENCH";
constexpr const char* kPassword = "bench";

long StatusKiB(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::string(key).size());
  }
  return -1;
}

// Heap in use outside the emulator's SQLite caches, which fill up to their
// own limits whatever the compare does.
long HeapInUseKiB() {
  return static_cast<long>((mallinfo2().uordblks - sqlite3_memory_used()) / 1024);
}

// Keeps no log, so that the figures are the compare's own; samples the heap
// at every table of the first section.
class TQuietHost : public TOperationHost {
 public:
  void WriteLog(const std::string& text, bool, bool alsoUpdateLog) override {
    ++lines;
    if (alsoUpdateLog) ++statements;
    if (text.rfind("Ошибка", 0) == 0) ++refused;
    const long heap = HeapInUseKiB();
    if (firstTableHeap < 0 && text.rfind("Analize table \"", 0) == 0) firstTableHeap = heap;
    if (firstTableHeap >= 0) maxHeap = std::max(maxHeap, heap);
  }
  std::string UserNameText() const override { return kUser; }
  std::string ExportFileName() const override { return file; }
  std::string UpdateFileName() const override { return file; }
  std::string ProgramDirectory() const override { return "."; }
  bool SequenceSetZero() const override { return false; }
  void ProcessMessages() override {}
  std::string file;
  long lines = 0, statements = 0, refused = 0;
  long firstTableHeap = -1;
  long maxHeap = -1;
};

// Per table ten columns, two indexes (the primary key's and one more) and two
// constraints (the primary key and a check).
void WriteSchemaScript(const fs::path& script, int tables) {
  std::ofstream out(script, std::ios::binary);
  char name[16];
  for (int i = 1; i <= tables; ++i) {
    std::snprintf(name, sizeof name, "T%05d", i);
    out << "create table " << name
        << " (ID number(10), C1 varchar2(40), C2 number(12,2), C3 date,"
           " C4 varchar2(100) default 'x', C5 char(1), C6 number, C7 varchar2(200),"
           " C8 date, C9 number(5));\n"
        << "alter table " << name << " add constraint " << name << "_PK primary key (ID);\n"
        << "alter table " << name << " add constraint " << name << "_CK check (C9 > 0);\n"
        << "create index " << name << "_I1 on " << name << " (C1, C2);\n";
  }
}

void CreateDatabase(const fs::path& dir, int tables) {
  const fs::path schema = dir / "schema.sql";
  std::ostringstream users;
  users << "create user " << kUser << " identified by " << kPassword << ";\n"
                         << "grant connect, resource, create view, create synonym to " << kUser << ";\n"
                         << "grant select on sys.obj$ to " << kUser << ";\n"
                         << "grant select on sys.syn$ to " << kUser << ";\n"
                         << "grant select on sys.user$ to " << kUser << ";\n";
  WriteSchemaScript(schema, tables);
  CreateBenchDatabase(dir, users.str(), std::string(kUser) + "/" + kPassword, schema);
}

long CountRoundTrips(const fs::path& trace);

void LogOn(TDM& dm) {
  platform::ProcessParameters() = {"OCIDLL=" + (BuildDir() / "lib" / "liboraemu.so").string()};
  dm.OracleSession1.LogonUsername = kUser;
  dm.OracleSession1.LogonPassword = kPassword;
  dm.OracleSession1.LogonDatabase = "BENCH";
  dm.OracleSession1.LogOn();
}

// User and system time of this process, the emulator's work included: on a
// loaded machine the wall time also holds the time spent waiting for a processor.
double ProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Child: writes the document the compare then reads.
int ExportDocument(const fs::path& dir) {
  TDM dm;
  LogOn(dm);
  TQuietHost host;
  host.file = (dir / "bench._sdb").string();
  ExportSchema(host, dm);
  dm.OracleSession1.LogOff();
  return 0;
}

// Child: one compare; prints "seconds rss_before_kib peak_kib statements
// refused heap_before_kib heap_first_table_kib heap_max_kib".
int Measure(const fs::path& dir) {
  TDM dm;
  LogOn(dm);
  TQuietHost host;
  host.file = (dir / "bench._sdb").string();
  const long before = StatusKiB("VmRSS:");
  const long heapBefore = HeapInUseKiB();
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = ProcessorSeconds();
  CompareAndUpdate(host, dm);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = ProcessorSeconds() - cpuStart;
  dm.OracleSession1.LogOff();
  std::cout << seconds << " " << before << " " << StatusKiB("VmHWM:") << " " << host.statements
            << " " << host.refused << " " << heapBefore << " " << host.firstTableHeap << " "
            << host.maxHeap << " " << cpu << "\n";
  return 0;
}

struct TFigures {
  double seconds = 0;
  long rssBefore = 0, peak = 0, statements = 0, refused = 0;
  long heapBefore = 0, heapFirstTable = 0, heapMax = 0;
  double cpu = 0;
};

std::string RunChild(const fs::path& dir, const char* mode, const std::string& extraEnv) {
  const std::string command = "ORAEMU_DATA=" + Quote(dir.string()) + " " + extraEnv + " " +
                              Quote(fs::canonical("/proc/self/exe").string()) + " " + mode + " " +
                              Quote(dir.string());
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot start " + command);
  char buf[256] = {};
  std::string out;
  while (std::fgets(buf, sizeof buf, pipe)) out += buf;
  if (pclose(pipe) != 0) throw std::runtime_error("child failed: " + command);
  return out;
}

TFigures MeasureInChild(const fs::path& dir, const std::string& extraEnv) {
  TFigures f;
  std::istringstream(RunChild(dir, "--measure", extraEnv)) >> f.seconds >> f.rssBefore >> f.peak >>
      f.statements >> f.refused >> f.heapBefore >> f.heapFirstTable >> f.heapMax >> f.cpu;
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 3 && std::string(argv[1]) == "--measure") return Measure(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--export") return ExportDocument(argv[2]);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {1000, 5000};

    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path root = base / ("update_bench." + std::to_string(getpid()));
    fs::create_directories(root);
    std::printf("%7s %8s %8s %9s %11s %10s %10s %10s %14s %12s\n", "tables", "seconds", "cpu s",
                "tables/s", "trips/table", "statements", "RSS KiB", "peak KiB", "heap@1st KiB",
                "heap growth");
    int latencySize = 0;
    fs::path latencyDir;
    long latencyTrips = 0;
    for (int n : sizes) {
      const fs::path dir = root / ("n" + std::to_string(n));
      fs::create_directories(dir);
      CreateDatabase(dir, n);
      RunChild(dir, "--export", "");
      const fs::path trace = dir / "trace.txt";
      // The trace costs time of its own: round trips are counted in a run of their own.
      const TFigures f = MeasureInChild(dir, "");
      MeasureInChild(dir, "ORAEMU_TRACE=" + Quote(trace.string()));
      const long trips = CountRoundTrips(trace);
      std::printf("%7d %8.3f %8.3f %9.1f %11.2f %10ld %10ld %10ld %14ld %12ld\n", n, f.seconds,
                  f.cpu, n / f.seconds, double(trips) / n, f.statements + f.refused, f.rssBefore, f.peak,
                  f.heapFirstTable - f.heapBefore, f.heapMax - f.heapFirstTable);
      std::fflush(stdout);
      if (latencySize == 0 || n < latencySize) {
        latencySize = n;
        latencyDir = dir;
        latencyTrips = trips;
      }
    }
    if (latencySize > 0) {
      const TFigures f = MeasureInChild(latencyDir, "ORAEMU_LATENCY_US=1000");
      const double floor = latencyTrips * 0.001;
      std::printf("latency 1 ms, %d tables: %ld round trips, floor %.3f s, wall %.3f s, ratio %.3f;"
                  " processor %.3f s, (floor + processor) / floor %.3f\n",
                  latencySize, latencyTrips, floor, f.seconds, f.seconds / floor, f.cpu,
                  (floor + f.cpu) / floor);
    }
    fs::remove_all(root);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "update_bench: %s\n", e.what());
    return 1;
  }
}

namespace {
long CountRoundTrips(const fs::path& trace) {
  std::ifstream in(trace);
  long n = 0;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '#') n = std::max(n, std::atol(line.c_str() + 1));
  }
  return n;
}
}  // namespace
