#include "engine/code_check.h"

#include <cctype>
#include <vector>

#include "engine/lexer.h"

namespace oraemu {

namespace {

struct Word {
  std::string upper;
  size_t offset;
};

CodeError At(const std::string& unit, size_t offset, std::string text) {
  CodeError e;
  for (size_t i = 0; i < offset && i < unit.size(); ++i) {
    if (unit[i] == '\n') {
      ++e.line;
      e.position = 1;
    } else {
      ++e.position;
    }
  }
  e.text = std::move(text);
  return e;
}

std::string Encountered(const std::string& symbol) {
  return "PLS-00103: Encountered the symbol \"" + symbol + "\"";
}

bool WordByte(unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c == '#' || c >= 0x80; }

// The words of the unit outside quotes and comments; an open quote or
// comment is an error at its start.
std::optional<CodeError> Words(const std::string& unit, std::vector<Word>& out) {
  const size_t n = unit.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(unit[i]);
    if (c == '-' && i + 1 < n && unit[i + 1] == '-') {
      while (i < n && unit[i] != '\n') ++i;
    } else if (c == '/' && i + 1 < n && unit[i + 1] == '*') {
      const size_t close = unit.find("*/", i + 2);
      if (close == std::string::npos) return At(unit, i, Encountered("end-of-file"));
      i = close + 2;
    } else if ((c == 'q' || c == 'Q') && i + 2 < n && unit[i + 1] == '\'' &&
               (i == 0 || !WordByte(static_cast<unsigned char>(unit[i - 1])))) {
      // q'[...]' with the closing partner of the opening delimiter.
      const char open = unit[i + 2];
      const char close = open == '[' ? ']' : open == '{' ? '}' : open == '(' ? ')' : open == '<' ? '>' : open;
      const size_t end = unit.find(std::string(1, close) + "'", i + 3);
      if (end == std::string::npos) return At(unit, i, Encountered("end-of-file"));
      i = end + 2;
    } else if (c == '\'' || c == '"') {
      size_t j = i + 1;
      for (;;) {
        if (j >= n) return At(unit, i, Encountered("end-of-file"));
        if (unit[j] == static_cast<char>(c)) {
          if (c == '\'' && j + 1 < n && unit[j + 1] == '\'') {
            j += 2;
            continue;
          }
          break;
        }
        ++j;
      }
      i = j + 1;
    } else if (WordByte(c)) {
      const size_t start = i;
      while (i < n && WordByte(static_cast<unsigned char>(unit[i]))) ++i;
      out.push_back({AsciiUpper(unit.substr(start, i - start)), start});
    } else {
      ++i;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<CodeError> FindVisibleError(const std::string& unit) {
  std::vector<Word> words;
  if (auto e = Words(unit, words)) return e;
  // What is open: BEGIN blocks, IF, LOOP and CASE (statements and
  // expressions; a CASE expression closes with a bare END).
  std::vector<std::string> open;
  bool sawEnd = false;
  bool callSpec = false;
  for (size_t k = 0; k < words.size(); ++k) {
    const std::string& w = words[k].upper;
    const std::string prev = k > 0 ? words[k - 1].upper : std::string();
    if (w == "LANGUAGE" || w == "EXTERNAL") callSpec = true;
    if (w == "BEGIN" || w == "CASE" || ((w == "IF" || w == "LOOP") && prev != "END")) {
      if (w != "CASE" || prev != "END") open.push_back(w);
      continue;
    }
    if (w != "END") continue;
    sawEnd = true;
    const std::string next = k + 1 < words.size() ? words[k + 1].upper : std::string();
    const bool closesKind = next == "IF" || next == "LOOP" || next == "CASE";
    if (open.empty()) return At(unit, words[k].offset, Encountered("END"));
    if (closesKind) {
      if (open.back() != next) return At(unit, words[k].offset, Encountered(next));
      open.pop_back();
      ++k;
      continue;
    }
    if (open.back() == "IF" || open.back() == "LOOP") return At(unit, words[k].offset, Encountered(";"));
    open.pop_back();
  }
  if (!open.empty() || (!sawEnd && !callSpec)) return At(unit, unit.size(), Encountered("end-of-file"));
  return std::nullopt;
}

}  // namespace oraemu
