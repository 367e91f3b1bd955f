#include "update/update_support.h"

#include <cstdlib>
#include <stdexcept>

#include "common/text.h"
#include "support/emulator_tool.h"
#include "support/query_error.h"

namespace skelvane::update_test {
namespace {

void Entry(std::string& out, int depth, const std::string& key, const std::string& value) {
  out += std::string(static_cast<size_t>(depth), '\t') + "{" + key + " " + value + "}\r\n";
}

void Open(std::string& out, int depth, const std::string& key) {
  out += std::string(static_cast<size_t>(depth), '\t') + "{" + key + "\r\n";
}

void Close(std::string& out, int depth) {
  out += std::string(static_cast<size_t>(depth), '\t') + "}\r\n";
}

void Table(std::string& out, const TTableDoc& t) {
  Open(out, 1, "t ");
  Entry(out, 2, "name", t.name);
  if (!t.comments.empty()) Entry(out, 2, "comments", t.comments);
  Open(out, 2, "fields");
  for (const TColumnDoc& c : t.columns) {
    Open(out, 3, "f ");
    Entry(out, 4, "name", c.name);
    Entry(out, 4, "type", c.type);
    Entry(out, 4, "null", c.null);
    if (!c.defaultValue.empty()) Entry(out, 4, "default", c.defaultValue);
    if (!c.comments.empty()) Entry(out, 4, "comments", c.comments);
    Close(out, 3);
  }
  Close(out, 2);
  Open(out, 2, "indexes");
  for (const TIndexDoc& i : t.indexes) {
    Open(out, 3, "i ");
    Entry(out, 4, "name", i.name);
    Entry(out, 4, "uniqueness", i.uniqueness);
    Entry(out, 4, "columns", i.columns);
    Close(out, 3);
  }
  Close(out, 2);
  Open(out, 2, "constraints");
  for (const TConstraintDoc& c : t.constraints) {
    Open(out, 3, "i ");
    Entry(out, 4, "name", c.name);
    Entry(out, 4, "type", c.type);
    Entry(out, 4, "index", c.index);
    Entry(out, 4, "expr", c.expr);
    Entry(out, 4, "ref", c.ref);
    Entry(out, 4, "status", "ENABLED");
    Close(out, 3);
  }
  Close(out, 2);
  Close(out, 1);
}

// "#n EXECUTE sql" lines other than dictionary reads, each with the error
// its round trip ended in.
std::vector<std::string> DdlOfTrace(const fs::path& trace) {
  std::vector<std::string> ddl;
  std::string pending;
  for (const std::string& line : e2e::RoundTripLines(trace)) {
    const size_t blank = line.find(' ');
    if (blank == std::string::npos) continue;
    const std::string number = line.substr(0, blank), event = line.substr(blank + 1);
    if (event.rfind("EXECUTE ", 0) == 0) {
      const std::string sql = event.substr(8);
      pending.clear();
      if (sql.size() >= 6 && AnsiUpperCase(sql.substr(0, 6)) == "SELECT") continue;
      // The access layer ends every text with the line end of its last line.
      std::string text = Unescaped(sql);
      if (!text.empty() && text.back() == '\n') text.pop_back();
      ddl.push_back(text);
      pending = number;
    } else if (event.rfind("ERROR ", 0) == 0 && number == pending) {
      ddl.back() += " -> " + event.substr(6);
    }
  }
  return ddl;
}

}  // namespace

std::string Unescaped(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char next = text[++i];
    out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
  }
  return out;
}

std::string SchemaDocument(const std::string& owner, const std::vector<TTableDoc>& tables,
                           const std::string& rest) {
  std::string out = "{shema\r\n";
  Entry(out, 1, "name", owner);
  out += "}\r\n{tables \r\n";
  for (const TTableDoc& t : tables) Table(out, t);
  out += "}\r\n";
  if (rest != "\x01") return out + rest;
  for (const char* section :
       {"sequences", "triggers", "functions", "procedures", "views", "synonyms", "privileges", "db_links"}) {
    out += std::string("{") + section + " \r\n}\r\n";
  }
  return out;
}

std::string Refused(int line, int column, const std::string& reason) {
  return "<TS>:" + ::skelvane::testing::QueryErrorText(line, column, reason);
}

std::string Lines(std::initializer_list<std::string> lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\n";
  return out;
}

std::string SectionsAfterTables(const std::string& indexes, const std::string& constraints1,
                                const std::string& constraints2) {
  return "indexes:\n" + indexes +
         Lines({"sequences:", "triggers:", "functions:", "procedures:", "constraints:"}) +
         constraints1 + constraints2 +
         Lines({"views:", "privileges:", "synonyms:", "db_links:", "<TS>:end test"});
}

TOwnerDatabase::TOwnerDatabase(const std::string& charset) : scratch_("update") {
  e2e::CreateDatabase(Dir(), "XE", charset);
  e2e::RunScript(Dir(), "XE", "SYSTEM/manager", ::skelvane::testing::OwnerGrants("OWNER", "pw"));
}

void TOwnerDatabase::Seed(const std::string& sql) const { e2e::RunScript(Dir(), "XE", "OWNER/pw", sql); }

TUpdateRun TOwnerDatabase::Update(const std::string& document, const std::vector<std::string>& extra) const {
  const fs::path file = Dir() / "target._sdb";
  e2e::WriteFile(file, document);
  return UpdateFrom(file, extra);
}

TUpdateRun TOwnerDatabase::UpdateFrom(const fs::path& file, const std::vector<std::string>& extra) const {
  const fs::path log = Dir() / "update.log", trace = Dir() / "update.trace";
  fs::remove(log);
  fs::remove(trace);
  std::vector<std::string> args{"update", "--user", "OWNER", "--file", file.string(),
                                "--update-log", log.string()};
  args.insert(args.end(), extra.begin(), extra.end());
  const e2e::TCliRun run = e2e::RunCli(Dir(), args, "pw", {"ORAEMU_TRACE=" + trace.string()});
  TUpdateRun result;
  result.exitCode = run.exitCode;
  result.common = e2e::MaskTimeStamps(run.out);
  result.err = run.err;
  if (fs::exists(log)) result.update = e2e::ReadFile(log);
  result.ddl = DdlOfTrace(trace);
  return result;
}

std::string TOwnerDatabase::Export() const {
  const fs::path file = Dir() / "export._sdb";
  const e2e::TCliRun run = e2e::RunCli(Dir(), {"export", "--user", "OWNER", "--file", file.string()}, "pw");
  if (run.exitCode != 0) throw std::runtime_error("export failed: " + run.err);
  return e2e::ReadFile(file);
}

}  // namespace skelvane::update_test
