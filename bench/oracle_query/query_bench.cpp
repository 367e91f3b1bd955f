// Fetch throughput of TOracleQuery and TOracleDataSet over the emulator:
// 100,000 rows of three columns, rows per second and round trips.
//
// usage: query_bench [rows]   (rows a power of ten, default 100000)
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/platform.h"
#include "oracle/dataset.h"
#include "oracle/query.h"

using namespace skelvane;
using namespace skelvane::oracle;

namespace {

std::string Quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

bool Shell(const std::string& command) {
  int status = std::system((command + " > /dev/null").c_str());
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Round trips so far: the trace has one "#n ..." line per round trip.
long RoundTrips(const std::string& trace) {
  std::ifstream in(trace);
  long n = 0;
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] == '#' && line.find(" ERROR ") == std::string::npos) ++n;
  return n;
}

std::string ThreeColumnQuery(int rows) {
  std::string digits = "(select 0 d from dual";
  for (int i = 1; i < 10; ++i) digits += " union all select " + std::to_string(i) + " from dual";
  digits += ")";
  std::string from;
  int factors = 0;
  for (int n = 1; n < rows; n *= 10) {
    from += (factors ? ", " : "") + digits + " t" + std::to_string(factors);
    ++factors;
  }
  return "select t0.d a, t1.d * 10 b, 'row ' || t2.d c from " + from;
}

struct Run {
  long rows = 0;
  double seconds = 0;
  long roundTrips = 0;
};

template <typename F>
Run Measure(const std::string& trace, F body) {
  long before = RoundTrips(trace);
  auto start = std::chrono::steady_clock::now();
  Run r;
  r.rows = body();
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.roundTrips = RoundTrips(trace) - before;
  return r;
}

void Report(const char* what, const Run& r, long batches) {
  std::printf("%-34s %7ld rows  %8.3f s  %10.0f rows/s  %5ld round trips (batches %ld)\n", what, r.rows,
              r.seconds, r.rows / r.seconds, r.roundTrips, batches);
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
  const std::filesystem::path bin = std::filesystem::path(platform::ExecutablePath()).parent_path();
  const std::string tool = (bin / "oraemu-sql").string();
  const std::string library = (bin.parent_path() / "lib" / "liboraemu.so").string();
  char folderTemplate[] = "/tmp/skelvane-bench-XXXXXX";
  if (!mkdtemp(folderTemplate)) return 1;
  const std::string folder = folderTemplate;
  const std::string env = "ORAEMU_DATA=" + Quote(folder) + " ";
  const std::string script = folder + "/users.sql";
  std::ofstream(script) << "CREATE USER BENCH IDENTIFIED BY bench;\n"
                           "GRANT CONNECT, RESOURCE, CREATE VIEW, CREATE SYNONYM TO BENCH;\n"
                           "GRANT SELECT ON SYS.OBJ$ TO BENCH;\nGRANT SELECT ON SYS.SYN$ TO BENCH;\n"
                           "GRANT SELECT ON SYS.USER$ TO BENCH;\n";
  if (!Shell(env + Quote(tool) + " create XE --system-password manager") ||
      !Shell(env + Quote(tool) + " run XE SYSTEM/manager " + Quote(script))) {
    std::fprintf(stderr, "query_bench: cannot create the database with %s\n", tool.c_str());
    return 1;
  }
  const std::string trace = folder + "/trace.txt";
  platform::SetEnv("ORAEMU_DATA", folder);
  platform::SetEnv("ORAEMU_TRACE", trace);
  platform::ProcessParameters() = {"OCIDLL=" + library};

  int status = 0;
  try {
    TOracleSession session;
    session.LogonUsername = "BENCH";
    session.LogonPassword = "bench";
    session.LogonDatabase = "XE";
    session.LogOn();

    TOracleQuery q;
    q.Session = &session;
    q.SetSQLText(ThreeColumnQuery(rows));
    const long batches = (rows + q.ReadBuffer - 1) / q.ReadBuffer;
    auto walk = [&] {
      long n = 0;
      size_t bytes = 0;
      for (q.Execute(); !q.Eof(); q.Next()) {
        bytes += q.FieldText("a").size() + q.FieldText("b").size() + q.FieldText("c").size();
        ++n;
      }
      return bytes ? n : 0;
    };
    std::printf("%d rows of three columns, ReadBuffer %d\n", rows, q.ReadBuffer);
    Report("TOracleQuery, first execution", Measure(trace, walk), batches);
    Report("TOracleQuery, parsed and described", Measure(trace, walk), batches);

    TOracleDataSet ds;
    ds.SetSession(&session);
    ds.SetSQL(q.SQL());
    auto open = [&] {
      ds.Open();
      return static_cast<long>(ds.RecordCount());
    };
    Report("TOracleDataSet.Open, first", Measure(trace, open), batches);
    Report("TOracleDataSet.Open, again", Measure(trace, open), batches);
    session.LogOff();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "query_bench: %s\n", e.what());
    status = 1;
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return status;
}
