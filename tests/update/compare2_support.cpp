#include "update/compare2_support.h"

#include <cctype>
#include <stdexcept>

#include "common/platform.h"
#include "oracle/query.h"
#include "oracle/session.h"

namespace skelvane::update_test {
namespace {

bool IsDictionaryRead(const std::string& sql) {
  std::string head;
  for (size_t i = 0; i < sql.size() && head.size() < 6; ++i) {
    head += static_cast<char>(std::tolower(static_cast<unsigned char>(sql[i])));
  }
  return head == "select";
}

// "#n EXECUTE sql" lines of the statements the compare sent, each followed by
// the error its round trip ended in, if any.
std::vector<std::string> SentStatements(const fs::path& trace) {
  std::vector<std::string> statements;
  std::string pendingNumber;
  for (const std::string& line : e2e::RoundTripLines(trace)) {
    const size_t blank = line.find(' ');
    if (blank == std::string::npos) continue;
    const std::string number = line.substr(0, blank);
    const std::string event = line.substr(blank + 1);
    if (event.rfind("EXECUTE ", 0) == 0) {
      std::string sql = event.substr(8);
      pendingNumber.clear();
      if (IsDictionaryRead(sql)) continue;
      // Binds are listed after the text; DDL has none. The access layer ends
      // every line of a statement's text, the last one included.
      sql = Unescaped(sql);
      if (!sql.empty() && sql.back() == '\n') sql.pop_back();
      statements.push_back(sql);
      pendingNumber = number;
    } else if (event.rfind("ERROR ", 0) == 0 && number == pendingNumber) {
      statements.back() += " -> " + event.substr(6);
    }
  }
  return statements;
}

}  // namespace

std::string CommonLog(const TSectionLines& l) {
  return "shema=OWNER\ntables:\nindexes:\nsequences:\n" + l.sequences + "triggers:\n" + l.triggers +
         "functions:\n" + l.functions + "procedures:\n" + l.procedures + "constraints:\nviews:\n" +
         l.views + "privileges:\n" + l.privileges + "synonyms:\n" + l.synonyms + "db_links:\n" +
         l.dbLinks + "<TS>:end test\n";
}

void TracedUpdateTest::SeedAsSystem(const std::string& sql) const {
  e2e::RunScript(Dir(), "XE", "SYSTEM/manager", sql);
}

TTracedRun TracedUpdateTest::Run(const std::string& sections, bool sequenceStartZero) const {
  const fs::path file = Dir() / "steps._sdb";
  const fs::path log = Dir() / "steps-update.log";
  const fs::path trace = Dir() / "steps.trace";
  e2e::WriteFile(file, SchemaDocument("OWNER", {}, sections));
  fs::remove(log);
  fs::remove(trace);
  std::vector<std::string> args{"update", "--user", "OWNER", "--file", file.string(),
                                "--update-log", log.string()};
  if (sequenceStartZero) args.push_back("--sequence-start-zero");
  const e2e::TCliRun cli = e2e::RunCli(Dir(), args, "pw", {"ORAEMU_TRACE=" + trace.string()});
  TTracedRun run;
  run.exitCode = cli.exitCode;
  run.common = e2e::MaskTimeStamps(cli.out);
  if (fs::exists(log)) run.update = e2e::ReadFile(log);
  run.statements = SentStatements(trace);
  return run;
}

std::vector<std::string> TracedUpdateTest::Query(const std::string& sql) const {
  platform::SetEnv("ORAEMU_DATA", Dir().string());
  platform::SetEnv("ORAEMU_TRACE", "");
  platform::ProcessParameters() = {"OCIDLL=" + e2e::EmulatorLibrary().string()};
  oracle::TOracleSession session;
  session.LogonUsername = "OWNER";
  session.LogonPassword = "pw";
  session.LogonDatabase = "XE";
  session.LogOn();
  oracle::TOracleQuery query;
  query.Session = &session;
  query.SetSQLText(sql);
  query.Execute();
  std::vector<std::string> rows;
  for (; !query.Eof(); query.Next()) {
    std::string row;
    for (int i = 0; i < query.FieldCount(); ++i) row += (i > 0 ? "|" : "") + query.FieldText(i);
    rows.push_back(row);
  }
  query.Close();
  session.LogOff();
  return rows;
}

std::string UpdateLog(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

std::string MaskRejections(const std::string& common) {
  std::string out;
  size_t start = 0;
  while (start < common.size()) {
    size_t end = common.find('\n', start);
    if (end == std::string::npos) end = common.size();
    const std::string line = common.substr(start, end - start);
    const size_t code = line.find("ORA-");
    if (line.rfind("<TS>:", 0) == 0 && code != std::string::npos) {
      out += "<rejected " + line.substr(code, 9) + ">";
    } else {
      out += line;
    }
    if (end < common.size()) out += "\n";
    start = end + 1;
  }
  return out;
}

std::string ExportedSections(const std::string& document, const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& name : names) {
    const std::string opener = "{" + name + " \r\n";
    size_t begin = document.rfind(opener, 0) == 0 ? 0 : document.find("\n" + opener);
    if (begin == std::string::npos) throw std::runtime_error("no section " + name);
    if (begin > 0) ++begin;
    const size_t end = document.find("\r\n}\r\n", begin);
    if (end == std::string::npos) throw std::runtime_error("unclosed section " + name);
    out += document.substr(begin, end + 5 - begin);
  }
  return out;
}

std::string WithoutEmptyLines(const std::string& document) {
  std::string text = document;
  for (size_t at = text.find("\r\n\r\n"); at != std::string::npos; at = text.find("\r\n\r\n", at)) {
    text.erase(at, 2);
  }
  return text;
}

std::string Entry(int depth, const std::string& key, const std::string& value) {
  return std::string(static_cast<size_t>(depth), '\t') + "{" + key + " " + value + "}\r\n";
}

std::string Section(const std::string& name, const std::string& body) {
  return "{" + name + " \r\n" + body + "}\r\n";
}

std::string Node(char letter, const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string out = std::string("\t{") + letter + " \r\n";
  for (const auto& [key, value] : entries) out += Entry(2, key, value);
  return out + "\t}\r\n";
}

}  // namespace skelvane::update_test
