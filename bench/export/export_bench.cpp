// Exports generated schemas from the emulator and prints the figures:
// tables per second, round trips per table, peak memory per size, and the
// ratio of the wall time to the round-trip floor under a fixed latency.
//
//   export_bench [SIZES...]          default sizes 1000 5000
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

namespace fs = std::filesystem;
using namespace skelvane;

namespace {

using bench::BuildDir;
using bench::CreateBenchDatabase;
using bench::Quote;
using bench::Run;

constexpr const char* kUser = "BENCH";
constexpr const char* kPassword = "bench";

// Peak and current resident set of this process, in KiB.
long StatusKiB(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::string(key).size());
  }
  return -1;
}

// Heap in use outside the emulator's SQLite page cache and statements, which
// fill up to their own limits whatever the export does. The emulator loads
// the same shared SQLite library, so its counters are visible here.
long HeapInUseKiB() {
  return static_cast<long>((mallinfo2().uordblks - sqlite3_memory_used()) / 1024);
}

// Samples the heap at every log line: once per table, so a heap that grows
// with the tables already written shows as the gap between the first
// table's sample and the greatest one.
class TQuietHost : public TOperationHost {
 public:
  void WriteLog(const std::string& text, bool, bool) override {
    ++lines;
    const long heap = HeapInUseKiB();
    if (firstTableHeap < 0 && text.size() > 7 && text.compare(text.size() - 7, 7, " fields") == 0) {
      firstTableHeap = heap;
    }
    if (firstTableHeap >= 0) maxHeap = std::max(maxHeap, heap);
  }
  std::string UserNameText() const override { return kUser; }
  std::string ExportFileName() const override { return file; }
  std::string UpdateFileName() const override { return file; }
  std::string ProgramDirectory() const override { return "."; }
  bool SequenceSetZero() const override { return false; }
  void ProcessMessages() override {}
  std::string file;
  long lines = 0;
  long firstTableHeap = -1;
  long maxHeap = -1;
};

// The schema: per table ten columns, a primary key (with its index), a check
// constraint and one more index; a comment on every other table.
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
    if (i % 2 == 0) out << "comment on table " << name << " is 'table " << i << "';\n";
  }
}

// Creates <dir>/BENCH.sqlite holding `tables` tables in the schema BENCH.
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

// Child: one export; prints "seconds rss_before_kib peak_kib log_lines
// heap_before_kib heap_first_table_kib heap_max_kib".
int Measure(const fs::path& dir) {
  platform::ProcessParameters() = {"OCIDLL=" + (BuildDir() / "lib" / "liboraemu.so").string()};
  TDM dm;
  dm.OracleSession1.LogonUsername = kUser;
  dm.OracleSession1.LogonPassword = kPassword;
  dm.OracleSession1.LogonDatabase = "BENCH";
  dm.OracleSession1.LogOn();
  TQuietHost host;
  host.file = (dir / "out._sdb").string();
  const long before = StatusKiB("VmRSS:");
  const long heapBefore = HeapInUseKiB();
  const auto start = std::chrono::steady_clock::now();
  ExportSchema(host, dm);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  dm.OracleSession1.LogOff();
  std::cout << seconds << " " << before << " " << StatusKiB("VmHWM:") << " " << host.lines << " "
            << heapBefore << " " << host.firstTableHeap << " " << host.maxHeap << "\n";
  return 0;
}

struct TFigures {
  double seconds = 0;
  long rssBefore = 0;
  long peak = 0;
  long logLines = 0;
  long heapBefore = 0;
  long heapFirstTable = 0;
  long heapMax = 0;
};

TFigures MeasureInChild(const fs::path& dir, const std::string& extraEnv) {
  const std::string command = "ORAEMU_DATA=" + Quote(dir.string()) + " " + extraEnv + " " +
                              Quote(fs::canonical("/proc/self/exe").string()) + " --measure " +
                              Quote(dir.string());
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot start " + command);
  char buf[256] = {};
  std::string out;
  while (std::fgets(buf, sizeof buf, pipe)) out += buf;
  if (pclose(pipe) != 0) throw std::runtime_error("measurement failed: " + command);
  TFigures f;
  std::istringstream(out) >> f.seconds >> f.rssBefore >> f.peak >> f.logLines >> f.heapBefore >>
      f.heapFirstTable >> f.heapMax;
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 3 && std::string(argv[1]) == "--measure") return Measure(argv[2]);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {1000, 5000};

    // A memory file system when there is one: building thousands of tables
    // statement by statement is bound by the disk's syncs otherwise.
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path root = base / ("export_bench." + std::to_string(getpid()));
    fs::create_directories(root);
    std::printf("%7s %8s %9s %11s %10s %10s %14s %14s\n", "tables", "seconds", "tables/s",
                "trips/table", "RSS KiB", "peak KiB", "heap@1st KiB", "heap growth");
    int latencySize = 0;
    fs::path latencyDir;
    long latencyTrips = 0;
    for (int n : sizes) {
      const fs::path dir = root / ("n" + std::to_string(n));
      fs::create_directories(dir);
      CreateDatabase(dir, n);
      const fs::path trace = dir / "trace.txt";
      // The trace costs time of its own: count round trips in a separate run.
      const TFigures f = MeasureInChild(dir, "");
      MeasureInChild(dir, "ORAEMU_TRACE=" + Quote(trace.string()));
      const long trips = CountRoundTrips(trace);
      // RSS before the export and its peak; heap in use when the first table
      // is being written (above the level before the export: mostly the
      // emulator's materialized table list) and the greatest rise after that.
      std::printf("%7d %8.3f %9.1f %11.2f %10ld %10ld %14ld %14ld\n", n, f.seconds, n / f.seconds,
                  double(trips) / n, f.rssBefore, f.peak, f.heapFirstTable - f.heapBefore,
                  f.heapMax - f.heapFirstTable);
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
      std::printf("latency 1 ms, %d tables: %ld round trips, floor %.3f s, wall %.3f s, ratio %.3f\n",
                  latencySize, latencyTrips, floor, f.seconds, f.seconds / floor);
    }
    fs::remove_all(root);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "export_bench: %s\n", e.what());
    return 1;
  }
}

namespace {
// The emulator numbers its round trips "#n ..." in the trace; the greatest n
// is the connection's count.
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
