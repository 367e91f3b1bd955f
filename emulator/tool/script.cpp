#include "tool/script.h"

#include <cctype>

namespace oraemu::tool {

namespace {

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

std::vector<std::string> Words(const std::string& s, size_t count) {
  std::vector<std::string> words;
  size_t i = 0;
  while (words.size() < count && i < s.size()) {
    while (i < s.size() && !std::isalnum(static_cast<unsigned char>(s[i])) && s[i] != '_') ++i;
    size_t start = i;
    while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_')) ++i;
    if (i > start) {
      std::string w = s.substr(start, i - start);
      for (char& c : w) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      words.push_back(w);
    }
  }
  return words;
}

// A unit whose body holds ";" of its own and therefore ends with "/".
bool IsPlsqlUnit(const std::string& firstLine) {
  auto w = Words(firstLine, 5);
  if (w.empty()) return false;
  if (w[0] == "BEGIN" || w[0] == "DECLARE") return true;
  if (w[0] != "CREATE") return false;
  size_t i = 1;
  if (i + 1 < w.size() && w[i] == "OR" && w[i + 1] == "REPLACE") i += 2;
  if (i < w.size() && (w[i] == "EDITIONABLE" || w[i] == "NONEDITIONABLE")) ++i;
  if (i >= w.size()) return false;
  return w[i] == "TRIGGER" || w[i] == "FUNCTION" || w[i] == "PROCEDURE" || w[i] == "PACKAGE" || w[i] == "TYPE";
}

// SET TRANSACTION and SET ROLE are SQL; every other SET is a SQL*Plus setting.
bool IsSqlSet(const std::string& line) {
  auto w = Words(line, 2);
  return w.size() == 2 && (w[1] == "TRANSACTION" || w[1] == "ROLE" || w[1] == "CONSTRAINT" || w[1] == "CONSTRAINTS");
}

}  // namespace

std::vector<ScriptStatement> SplitScript(const std::string& script) {
  std::vector<ScriptStatement> out;
  std::string buffer;
  int startLine = 0;
  bool plsql = false;
  int lineNo = 0;
  size_t pos = 0;
  auto flush = [&] {
    if (!Trim(buffer).empty()) out.push_back({buffer, startLine, {}, false});
    buffer.clear();
  };
  while (pos < script.size()) {
    size_t nl = script.find('\n', pos);
    std::string line = script.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
    pos = nl == std::string::npos ? script.size() : nl + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string trimmed = Trim(line);
    if (buffer.empty()) {
      if (trimmed.empty() || trimmed.rfind("--", 0) == 0) continue;
      // SQL*Plus's own commands: settings and remarks change nothing here,
      // EXIT and QUIT end the script.
      auto first = Words(trimmed, 1);
      const std::string w = first.empty() ? std::string() : first[0];
      if (w == "EXIT" || w == "QUIT") break;
      if (w == "REM" || w == "REMARK" || w == "PROMPT" || w == "SPOOL" || w == "WHENEVER" || w == "SHOW" ||
          w == "SHO" || (w == "SET" && !IsSqlSet(trimmed)))
        continue;
      if (trimmed[0] == '@') {
        ScriptStatement include;
        include.line = lineNo;
        include.relative = trimmed.size() > 1 && trimmed[1] == '@';
        std::string name = Trim(trimmed.substr(include.relative ? 2 : 1));
        // SQL*Plus reads the name up to the first blank; the rest are arguments.
        name = name.substr(0, name.find_first_of(" \t"));
        if (!name.empty() && name.back() == ';') name.pop_back();
        if (name.find('.', name.find_last_of('/') == std::string::npos ? 0 : name.find_last_of('/')) ==
            std::string::npos)
          name += ".sql";
        include.include = name;
        out.push_back(std::move(include));
        continue;
      }
      startLine = lineNo;
      plsql = false;
    }
    // The unit's kind may follow on a later line ("CREATE OR REPLACE" alone).
    if (!plsql) plsql = IsPlsqlUnit(buffer + "\n" + line);
    if (trimmed == "/") {
      flush();
      continue;
    }
    if (!buffer.empty()) buffer += '\n';
    if (!plsql && !trimmed.empty() && trimmed.back() == ';') {
      // The terminator and the blanks before it are not part of the statement.
      std::string kept = line.substr(0, line.find_last_of(';'));
      while (!kept.empty() && static_cast<unsigned char>(kept.back()) <= ' ') kept.pop_back();
      buffer += kept;
      flush();
      continue;
    }
    buffer += line;
  }
  flush();
  return out;
}

}  // namespace oraemu::tool
