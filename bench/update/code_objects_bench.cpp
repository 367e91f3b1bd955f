// Compares sequences, triggers, routines, views and grants with a document
// exported from the same schema, so that no statement runs, and prints per
// kind: round trips per object and the ratio of the wall time to the
// round-trip floor under a 1 ms latency.
//
//   code_objects_bench [COUNT]          default 1000 objects of each kind
//
// Each kind is compared from a document holding only its sections; a run
// over an empty document gives the fixed cost (the logon and the sections'
// own data sets) that the per-object figures leave out. Every measurement
// runs in a child process of its own (this program with --measure).
//
// On a loaded machine the wall time under latency says more about the load
// than about the compare, so the processor time of a run without latency is
// printed too, with the ratio it gives: (floor + processor time) / floor.
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

class TCountingHost : public TOperationHost {
 public:
  void WriteLog(const std::string& text, bool, bool alsoUpdateLog) override {
    if (alsoUpdateLog) ++updates;
    if (text.find("ORA-") != std::string::npos) ++refused;
  }
  std::string UserNameText() const override { return kUser; }
  std::string ExportFileName() const override { return file; }
  std::string UpdateFileName() const override { return file; }
  std::string ProgramDirectory() const override { return "."; }
  bool SequenceSetZero() const override { return false; }
  void ProcessMessages() override {}
  std::string file;
  long updates = 0, refused = 0;
};

std::string Name(const char* prefix, int i) {
  char text[16];
  std::snprintf(text, sizeof text, "%s%05d", prefix, i);
  return text;
}

// Every kind in the shapes the export meets: bounded and unbounded, rising
// and falling sequences; views with and without a column list.
void WriteSchemaScript(const fs::path& script, int count) {
  std::ofstream out(script, std::ios::binary);
  out << "create table BT (ID number(10), N number);\n";
  for (int i = 1; i <= count; ++i) {
    const std::string s = Name("S", i), tr = Name("TR", i), f = Name("F", i), p = Name("P", i),
                      v = Name("V", i);
    if (i % 3 == 0) {
      out << "create sequence " << s << " start with -1 increment by -1 maxvalue -1 minvalue -1000000;\n";
    } else if (i % 3 == 1) {
      out << "create sequence " << s << " start with " << i << " nocache;\n";
    } else {
      out << "create sequence " << s << " maxvalue 1000000 cycle cache 50;\n";
    }
    out << "create trigger " << tr << " before insert on BT for each row\nbegin\n  :new.N := " << i
        << ";\nend;\n/\n";
    out << "create function " << f << " (a in number) return number is\nbegin\n  return a + " << i
        << ";\nend;\n/\n";
    out << "create procedure " << p << " is\nbegin\n  null;\nend;\n/\n";
    if (i % 2 == 0) {
      out << "create view " << v << " (A, B) as select ID, N from BT where ID > " << i << ";\n";
    } else {
      out << "create view " << v << " as select ID, N from BT where ID < " << i << ";\n";
    }
    out << "grant select" << (i % 2 == 0 ? ", insert" : "") << " on " << v << " to BREADER;\n";
  }
}

void CreateDatabase(const fs::path& dir, int count) {
  const fs::path schema = dir / "schema.sql";
  std::ostringstream users;
  users << "create user " << kUser << " identified by " << kPassword << ";\n"
                         << "grant connect, resource, create view, create synonym, create public synonym,"
                            " create database link to " << kUser << ";\n"
                         << "grant select on sys.obj$ to " << kUser << ";\n"
                         << "grant select on sys.syn$ to " << kUser << ";\n"
                         << "grant select on sys.user$ to " << kUser << ";\n"
                         << "create user BREADER identified by r;\n";
  WriteSchemaScript(schema, count);
  CreateBenchDatabase(dir, users.str(), std::string(kUser) + "/" + kPassword, schema);
}

void LogOn(TDM& dm) {
  platform::ProcessParameters() = {"OCIDLL=" + (BuildDir() / "lib" / "liboraemu.so").string()};
  dm.OracleSession1.LogonUsername = kUser;
  dm.OracleSession1.LogonPassword = kPassword;
  dm.OracleSession1.LogonDatabase = "BENCH";
  dm.OracleSession1.LogOn();
}

// Child: writes the whole document.
int ExportDocument(const fs::path& file) {
  TDM dm;
  LogOn(dm);
  TCountingHost host;
  host.file = file.string();
  ExportSchema(host, dm);
  dm.OracleSession1.LogOff();
  return 0;
}

double ProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Child: one compare from `file`; prints "seconds processor_seconds updates refused".
int Measure(const fs::path& file) {
  TDM dm;
  LogOn(dm);
  TCountingHost host;
  host.file = file.string();
  const auto start = std::chrono::steady_clock::now();
  const double processorStart = ProcessorSeconds();
  CompareAndUpdate(host, dm);
  const double processor = ProcessorSeconds() - processorStart;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  dm.OracleSession1.LogOff();
  std::cout << seconds << " " << processor << " " << host.updates << " " << host.refused << "\n";
  return 0;
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The header and the named top-level sections of an exported document.
std::string DocumentOf(const std::string& document, const std::vector<std::string>& sections) {
  auto section = [&](const std::string& name) {
    // A section opens a line; its name ends at a blank or the line end.
    size_t begin = std::string::npos;
    for (size_t at = 0; (at = document.find("{" + name, at)) != std::string::npos; ++at) {
      const size_t after = at + 1 + name.size();
      if ((at == 0 || document[at - 1] == '\n') && after < document.size() &&
          (document[after] == ' ' || document[after] == '\r')) {
        begin = at;
        break;
      }
    }
    if (begin == std::string::npos) throw std::runtime_error("no section " + name);
    const size_t end = document.find("\r\n}\r\n", begin);
    return document.substr(begin, end + 5 - begin);
  };
  std::string out = section("shema");
  for (const std::string& name : sections) out += section(name);
  return out;
}

long CountRoundTrips(const fs::path& trace) {
  std::ifstream in(trace);
  long n = 0;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '#') n = std::max(n, std::atol(line.c_str() + 1));
  }
  return n;
}

struct TRun {
  double seconds = 0, processor = 0;
  long updates = 0, refused = 0;
};

TRun MeasureInChild(const fs::path& dir, const fs::path& file, const std::string& extraEnv) {
  const std::string command = "ORAEMU_DATA=" + Quote(dir.string()) + " " + extraEnv + " " +
                              Quote(fs::canonical("/proc/self/exe").string()) + " --measure " +
                              Quote(file.string());
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot start " + command);
  char buf[256] = {};
  std::string out;
  while (std::fgets(buf, sizeof buf, pipe)) out += buf;
  if (pclose(pipe) != 0) throw std::runtime_error("child failed: " + command);
  TRun run;
  std::istringstream(out) >> run.seconds >> run.processor >> run.updates >> run.refused;
  return run;
}

struct TKindFigures {
  long trips = 0;
  double wallAtLatency = 0, processor = 0;
  long updates = 0;
};

TKindFigures MeasureKind(const fs::path& dir, const fs::path& file) {
  const fs::path trace = dir / "trace.txt";
  fs::remove(trace);
  TKindFigures f;
  const TRun traced = MeasureInChild(dir, file, "ORAEMU_TRACE=" + Quote(trace.string()));
  f.trips = CountRoundTrips(trace);
  f.updates = traced.updates + traced.refused;
  f.processor = MeasureInChild(dir, file, "").processor;
  f.wallAtLatency = MeasureInChild(dir, file, "ORAEMU_LATENCY_US=1000").seconds;
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 3 && std::string(argv[1]) == "--measure") return Measure(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--export") return ExportDocument(argv[2]);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    if (count <= 0) throw std::runtime_error("the count must be a positive number");

    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path dir = base / ("code_objects_bench." + std::to_string(getpid()));
    fs::create_directories(dir);
    CreateDatabase(dir, count);
    const fs::path whole = dir / "whole._sdb";
    const std::string exportCommand = "ORAEMU_DATA=" + Quote(dir.string()) + " " +
                                      Quote(fs::canonical("/proc/self/exe").string()) + " --export " +
                                      Quote(whole.string());
    if (Run(exportCommand) != 0) throw std::runtime_error("export failed");
    const std::string document = ReadAll(whole);

    struct TKind {
      const char* label;
      std::vector<std::string> sections;
      int objects;
    };
    const std::vector<TKind> kinds = {
        {"(none)", {}, 0},
        {"sequences", {"sequences"}, count},
        {"triggers", {"triggers"}, count},
        {"routines", {"functions", "procedures"}, 2 * count},
        {"views", {"views"}, count},
        {"grants", {"privileges"}, count},
        {"all", {"sequences", "triggers", "functions", "procedures", "views", "privileges"}, 6 * count},
    };
    std::printf("%-10s %8s %8s %12s %9s %9s %7s %9s %9s %10s\n", "kind", "objects", "trips",
                "trips/object", "floor s", "wall s", "ratio", "cpu s", "cpu ratio", "statements");
    TKindFigures fixed;
    for (const TKind& kind : kinds) {
      const fs::path file = dir / (std::string("kind_") + kind.label + "._sdb");
      std::ofstream(file, std::ios::binary) << DocumentOf(document, kind.sections);
      const TKindFigures f = MeasureKind(dir, file);
      if (kind.objects == 0) fixed = f;
      const long trips = kind.objects == 0 ? f.trips : f.trips - fixed.trips;
      const double wall = kind.objects == 0 ? f.wallAtLatency : f.wallAtLatency - fixed.wallAtLatency;
      const double processor = kind.objects == 0 ? f.processor : f.processor - fixed.processor;
      const double floor = trips * 0.001;
      std::printf("%-10s %8d %8ld %12.2f %9.3f %9.3f %7.3f %9.3f %9.3f %10ld\n", kind.label,
                  kind.objects, trips, kind.objects ? double(trips) / kind.objects : 0.0, floor, wall,
                  floor > 0 ? wall / floor : 0.0, processor,
                  floor > 0 ? (floor + processor) / floor : 0.0, f.updates);
      std::fflush(stdout);
    }
    std::printf("(per kind: the run over the empty document subtracted; latency 1 ms per round trip)\n");
    fs::remove_all(dir);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "code_objects_bench: %s\n", e.what());
    return 1;
  }
}
