// Feeds arbitrary bytes, as a schema document, to the compare against an
// emulator database reset before every run. A run must end in an error the
// operation frame reports or in the closing log line; the statements it
// sends may only create objects whose names the document holds, and the
// database must still answer afterwards.
//
// COMPARE_FUZZ_SEEDS=DIR writes the exported document of the database and
// damaged variants of it into DIR at start-up, for the corpus.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/platform.h"
#include "common/text.h"
#include "dictionary/dm.h"
#include "export/export_schema.h"
#include "oracle/oracle_error.h"
#include "oracle/query.h"
#include "sdb/sdb_error.h"
#include "support/recording_host.h"
#include "support/test_schema.h"
#include "update/compare_and_update.h"

namespace {

namespace fs = std::filesystem;
using skelvane::TDM;
using skelvane::testing::TRecordingHost;

struct TFixture {
  fs::path folder, pristine, database, document, trace;
  std::set<std::string> objects;  // the owner's objects before any run
  TDM dm;
};
TFixture* g;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "compare fuzz: %s\n", what.c_str());
  std::abort();
}

void Shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) Fail("failed: " + command);
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Reset() {
  std::error_code ignored;
  for (const char* leftover : {"XE.sqlite-wal", "XE.sqlite-shm"}) fs::remove(g->folder / leftover, ignored);
  fs::copy_file(g->pristine, g->database, fs::copy_options::overwrite_existing);
}

std::set<std::string> Objects() {
  skelvane::oracle::TOracleQuery q;
  q.Session = &g->dm.OracleSession1;
  q.SetSQL({"select object_name from user_objects"});
  q.Execute();
  std::set<std::string> names;
  for (; !q.Eof(); q.Next()) names.insert(q.FieldText("object_name"));
  return names;
}

void LogOn() {
  auto& s = g->dm.OracleSession1;
  s.LogonUsername = "APPU";
  s.LogonPassword = "secret";
  s.LogonDatabase = "XE";
  s.LogOn();
}

// The document with `from` replaced by `to` at its first occurrence.
std::string Damaged(const std::string& document, const std::string& from, const std::string& to) {
  std::string text = document;
  if (const size_t at = text.find(from); at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

void WriteSeeds(const fs::path& dir, const std::string& document) {
  fs::create_directories(dir);
  const std::pair<const char*, std::string> seeds[] = {
      {"exported", document},
      {"quote-in-table-name", Damaged(document, "{name T1}", "{name T1\" (X NUMBER); DROP TABLE T2; --}")},
      {"semicolon-in-column-name", Damaged(document, "{name NAME}", "{name NAME; DROP TABLE T1}")},
      {"quote-in-comment", Damaged(document, "first table", "it''s'; DROP TABLE T2; --")},
      {"missing-fields", Damaged(document, "{fields", "{fieldz")},
      {"brace-removed", Damaged(document, "{t ", "t ")},
      {"brace-added", Damaged(document, "{name T2}", "{name {T2}")},
      {"huge-value", Damaged(document, "{type VARCHAR2(30 BYTE)}", "{type VARCHAR2(" + std::string(9000, '9') + ")}")},
      {"nul-bytes", Damaged(document, "T2", std::string("T\0" "2", 3))},
      {"cr-without-lf", Damaged(document, "\r\n", "\r")},
      {"new-objects", Damaged(document, "{sequences", "{sequences\r\n\t{s\r\n\t\t{name NEW\"S;Q}\r\n\t}")},
  };
  for (const auto& [name, text] : seeds) WriteFile(dir / (std::string(name) + "._sdb"), text);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g = new TFixture;
  const fs::path bin = fs::read_symlink("/proc/self/exe").parent_path();
  const fs::path tool = bin / "oraemu-sql", library = bin.parent_path() / "lib" / "liboraemu.so";
  char pattern[] = "/tmp/skelvane-compare-fuzz-XXXXXX";
  if (!::mkdtemp(pattern)) Fail("cannot create a folder");
  g->folder = pattern;
  std::atexit([] {
    std::error_code ignored;
    fs::remove_all(g->folder, ignored);
  });
  g->pristine = g->folder / "XE.pristine";
  g->database = g->folder / "XE.sqlite";
  g->document = g->folder / "input._sdb";
  g->trace = g->folder / "trace";

  const std::string env = "ORAEMU_DATA='" + g->folder.string() + "' '" + tool.string() + "' ";
  WriteFile(g->folder / "users.sql", skelvane::testing::kTestUsers);
  WriteFile(g->folder / "schema.sql", skelvane::testing::kTestSchema);
  Shell(env + "create XE --system-password manager >/dev/null");
  Shell(env + "run XE SYSTEM/manager '" + (g->folder / "users.sql").string() + "' >/dev/null");
  Shell(env + "run XE APPU/secret '" + (g->folder / "schema.sql").string() + "' >/dev/null");
  fs::copy_file(g->database, g->pristine);

  skelvane::platform::SetEnv("ORAEMU_DATA", g->folder.string());
  skelvane::platform::ProcessParameters() = {"OCIDLL=" + library.string()};
  LogOn();
  g->objects = Objects();
  TRecordingHost host;
  host.exportFile = (g->folder / "exported._sdb").string();
  skelvane::ExportSchema(host, g->dm);
  g->dm.OracleSession1.LogOff();
  if (const char* seeds = std::getenv("COMPARE_FUZZ_SEEDS"); seeds && *seeds)
    WriteSeeds(seeds, ReadFile(host.exportFile));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reset();
  WriteFile(g->document, std::string(reinterpret_cast<const char*>(data), size));
  TRecordingHost host;
  host.updateFile = g->document.string();
  LogOn();
  try {
    skelvane::CompareAndUpdate(host, g->dm);
  } catch (const skelvane::oracle::EOracleError&) {
    // The frame's one log line.
  } catch (const skelvane::ESdbError&) {
    // The reader's refusal of a damaged document.
  }

  // Whatever a statement did, the database still answers, and every object
  // that is new is one the document names.
  const std::string document = skelvane::AnsiUpperCase(std::string(reinterpret_cast<const char*>(data), size));
  for (const std::string& name : Objects()) {
    if (g->objects.count(name) || document.find(skelvane::AnsiUpperCase(name)) != std::string::npos) continue;
    if (name.rfind("SYS_", 0) == 0) continue;  // named by the database, as a key's index may be
    Fail("object " + name + " was created, but the document does not name it");
  }
  g->dm.OracleSession1.LogOff();
  return 0;
}
