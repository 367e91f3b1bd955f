// Measures the document reader against the floor of a plain line scan, and the
// cost of walking every table the way the compare does.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "writer_layout.h"
#include "sdb/entry.h"
#include "sdb/sdb_parser.h"

namespace {

// CPU time of this thread (page faults included): the machines these run on are
// shared, and wall time there measures the neighbours as much as the reader.
#if defined(CLOCK_THREAD_CPUTIME_ID)
struct ThreadClock {
  using duration = std::chrono::nanoseconds;
  using time_point = std::chrono::time_point<ThreadClock>;
  static time_point now() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return time_point(duration(static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec));
  }
};
#else
using ThreadClock = std::chrono::steady_clock;
#endif
using Clock = ThreadClock;
using skelvane::TSDB_Parser;
using skelvane::TTreeResult;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

volatile std::size_t g_sink;  // keeps measured work observable

// prepare runs untimed before every timed run of work.
template <typename P, typename F>
double BestOf(int runs, P&& prepare, F&& work) {
  double best = 1e30;
  for (int r = 0; r < runs; ++r) {
    prepare();
    const auto start = Clock::now();
    work();
    best = std::min(best, Seconds(Clock::now() - start));
  }
  return best;
}

void EvictCaches() {
  static std::vector<char> junk(256u << 20);
  for (std::size_t i = 0; i < junk.size(); i += 64) junk[i] = static_cast<char>(junk[i] + 1);
  g_sink = g_sink + static_cast<std::size_t>(junk[junk.size() / 2]);
}

std::size_t LineScan(const std::string& text) {
  std::size_t lines = 0;
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
    ++lines;
    p = lf != nullptr ? static_cast<const char*>(lf) + 1 : end;
  }
  return lines;
}

struct Figures {
  double megabytes;
  double parseSeconds;
  double fileParseSeconds;
  double scanSeconds;
  double walkSeconds;
  int tables;
};

Figures Measure(int tableCount) {
  const std::string text = skelvane::bench::WriterLayoutDocument(tableCount);
  Figures f{};
  f.megabytes = static_cast<double>(text.size()) / 1e6;
  const int runs = 9;

  const auto nothing = [] {};
  f.scanSeconds = BestOf(runs, nothing, [&] { g_sink = g_sink + LineScan(text); });
  // The reader keeps the bytes it is given; hand it a fresh copy each time, as
  // reading a file would.
  // Releasing the tree is not part of reading it.
  std::string copy;
  std::unique_ptr<TSDB_Parser> parsed;
  f.parseSeconds = BestOf(runs, [&] { parsed.reset(); copy = text; }, [&] {
    parsed = std::make_unique<TSDB_Parser>();
    parsed->ParseText(std::move(copy));
    g_sink = g_sink + parsed->RootNodes().size();
  });
  parsed.reset();

  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("sdb_bench_" + std::to_string(tableCount) + "._sdb");
  std::ofstream(file, std::ios::binary) << text;
  f.fileParseSeconds = BestOf(runs, [&] { parsed.reset(); }, [&] {
    parsed = std::make_unique<TSDB_Parser>(file.string());
    parsed->Parse();
    g_sink = g_sink + parsed->RootNodes().size();
  });
  parsed.reset();
  std::filesystem::remove(file);

  TSDB_Parser doc;
  doc.ParseText(text);
  // Each walk starts with cold caches: a small tree left in the cache by the
  // previous run would make the sizes differ by more than their node counts.
  f.walkSeconds = BestOf(runs, EvictCaches, [&] {
    TTreeResult table;
    TTreeResult fields;
    int i = 0;
    std::size_t columns = 0;
    while (doc.Select(i, {"tables", "t"}, table)) {
      if (skelvane::SelectInEntry(table, "fields", 0, {"f"}, fields)) columns += fields.Count();
      ++i;
    }
    f.tables = i;
    g_sink = g_sink + columns;
  });
  return f;
}

}  // namespace

int main() {
  std::printf("times are CPU time of the measuring thread, best of several runs\n");
  const Figures small = Measure(2000);
  const Figures large = Measure(20000);
  for (const Figures* f : {&small, &large}) {
    const double parse = f->megabytes / f->parseSeconds;
    const double scan = f->megabytes / f->scanSeconds;
    std::printf("%6d tables, %7.1f MB: parse %7.1f MB/s (from file %7.1f MB/s), memchr line scan %7.1f MB/s, "
                "parse/scan %5.1f%%; walk %d tables in %.4f s\n",
                f->tables, f->megabytes, parse, f->megabytes / f->fileParseSeconds, scan,
                100.0 * parse / scan, f->tables, f->walkSeconds);
  }
  std::printf("walk time ratio 20000/2000 tables: %.2f (linear: about 10)\n",
              large.walkSeconds / small.walkSeconds);
  return 0;
}
