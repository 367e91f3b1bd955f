#include "engine/select_lexer.h"

#include "engine/engine.h"

namespace oraemu::sel {

namespace {

bool IsIdentStart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0x80; }
bool IsIdentChar(unsigned char c) {
  return IsIdentStart(c) || (c >= '0' && c <= '9') || c == '_' || c == '$' || c == '#';
}
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

[[noreturn]] void Fail(int code, int offset) { throw OraError(code, OraMessage(code), offset); }

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

constexpr size_t kMaxIdentifier = 128;

}  // namespace

std::vector<Token> Tokenize(const std::string& sql) {
  std::vector<Token> out;
  const size_t n = sql.size();
  size_t i = 0;
  auto push = [&](Tok kind, std::string text, size_t start) {
    out.push_back(Token{kind, std::move(text), static_cast<int>(start), static_cast<int>(i - start)});
  };
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(sql[i]);
    if (c <= ' ') {
      ++i;
      continue;
    }
    if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
      while (i < n && sql[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
      size_t end = sql.find("*/", i + 2);
      i = end == std::string::npos ? n : end + 2;
      continue;
    }
    size_t start = i;
    if (IsIdentStart(c)) {
      while (i < n && IsIdentChar(static_cast<unsigned char>(sql[i]))) ++i;
      if (i - start > kMaxIdentifier) Fail(972, static_cast<int>(start));
      push(Tok::Ident, Upper(sql.substr(start, i - start)), start);
      continue;
    }
    if (c == '"') {
      size_t end = sql.find('"', i + 1);
      if (end == std::string::npos) Fail(1740, static_cast<int>(start));
      if (end == i + 1) Fail(1741, static_cast<int>(start));
      if (end - i - 1 > kMaxIdentifier) Fail(972, static_cast<int>(start));
      i = end + 1;
      push(Tok::QuotedIdent, sql.substr(start + 1, end - start - 1), start);
      continue;
    }
    if (c == '\'') {
      std::string value;
      ++i;
      for (;;) {
        if (i >= n) Fail(1756, static_cast<int>(start));
        if (sql[i] == '\'') {
          if (i + 1 < n && sql[i + 1] == '\'') {
            value += '\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        value += sql[i++];
      }
      push(Tok::String, std::move(value), start);
      continue;
    }
    if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(static_cast<unsigned char>(sql[i + 1])))) {
      while (i < n && IsDigit(static_cast<unsigned char>(sql[i]))) ++i;
      if (i < n && sql[i] == '.') {
        ++i;
        while (i < n && IsDigit(static_cast<unsigned char>(sql[i]))) ++i;
      }
      if (i < n && (sql[i] == 'e' || sql[i] == 'E')) {
        size_t j = i + 1;
        if (j < n && (sql[j] == '+' || sql[j] == '-')) ++j;
        if (j < n && IsDigit(static_cast<unsigned char>(sql[j]))) {
          i = j;
          while (i < n && IsDigit(static_cast<unsigned char>(sql[i]))) ++i;
        }
      }
      push(Tok::Number, sql.substr(start, i - start), start);
      continue;
    }
    if (c == ':') {
      ++i;
      if (i < n && sql[i] == '"') {
        size_t end = sql.find('"', i + 1);
        if (end == std::string::npos) Fail(1740, static_cast<int>(i));
        std::string name = sql.substr(i + 1, end - i - 1);
        i = end + 1;
        push(Tok::Bind, std::move(name), start);
        continue;
      }
      size_t nameStart = i;
      while (i < n && IsIdentChar(static_cast<unsigned char>(sql[i]))) ++i;
      if (i == nameStart) Fail(911, static_cast<int>(start));
      push(Tok::Bind, Upper(sql.substr(nameStart, i - nameStart)), start);
      continue;
    }
    static const char* const kTwoChar[] = {"||", "<>", "!=", "^=", "<=", ">="};
    bool matched = false;
    if (i + 1 < n) {
      for (const char* op : kTwoChar) {
        if (sql[i] == op[0] && sql[i + 1] == op[1]) {
          i += 2;
          push(Tok::Op, op, start);
          matched = true;
          break;
        }
      }
    }
    if (matched) continue;
    if (std::string("(),.*+-/=<>").find(static_cast<char>(c)) != std::string::npos) {
      ++i;
      push(Tok::Op, std::string(1, static_cast<char>(c)), start);
      continue;
    }
    Fail(911, static_cast<int>(start));
  }
  out.push_back(Token{Tok::End, "", static_cast<int>(n), 0});
  return out;
}

}  // namespace oraemu::sel
