#include "engine/lexer.h"

#include <algorithm>
#include <iterator>
#include <cstring>

#include "engine/errors.h"

namespace oraemu {

namespace {

bool IsIdentStart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0x80; }
bool IsIdentPart(unsigned char c) {
  return IsIdentStart(c) || (c >= '0' && c <= '9') || c == '_' || c == '$' || c == '#';
}
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool Token::Is(const char* keyword) const {
  if (kind != Kind::Word || text.size() != std::strlen(keyword)) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != keyword[i]) return false;
  }
  return true;
}

std::string AsciiUpper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

bool IsReservedWord(const std::string& w) {
  static const char* const words[] = {
      "ACCESS", "ADD", "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "AUDIT", "BETWEEN", "BY", "CHAR",
      "CHECK", "CLUSTER", "COLUMN", "COMMENT", "COMPRESS", "CONNECT", "CREATE", "CURRENT", "DATE",
      "DECIMAL", "DEFAULT", "DELETE", "DESC", "DISTINCT", "DROP", "ELSE", "EXCLUSIVE", "EXISTS",
      "FILE", "FLOAT", "FOR", "FROM", "GRANT", "GROUP", "HAVING", "IDENTIFIED", "IMMEDIATE", "IN",
      "INCREMENT", "INDEX", "INITIAL", "INSERT", "INTEGER", "INTERSECT", "INTO", "IS", "LEVEL",
      "LIKE", "LOCK", "LONG", "MAXEXTENTS", "MINUS", "MLSLABEL", "MODE", "MODIFY", "NOAUDIT",
      "NOCOMPRESS", "NOT", "NOWAIT", "NULL", "NUMBER", "OF", "OFFLINE", "ON", "ONLINE", "OPTION",
      "OR", "ORDER", "PCTFREE", "PRIOR", "PUBLIC", "RAW", "RENAME", "RESOURCE", "REVOKE", "ROW",
      "ROWID", "ROWNUM", "ROWS", "SELECT", "SESSION", "SET", "SHARE", "SIZE", "SMALLINT", "START",
      "SUCCESSFUL", "SYNONYM", "SYSDATE", "TABLE", "THEN", "TO", "TRIGGER", "UID", "UNION",
      "UNIQUE", "UPDATE", "USER", "VALIDATE", "VALUES", "VARCHAR", "VARCHAR2", "VIEW", "WHENEVER",
      "WHERE", "WITH", "PRIVILEGES"};
  return std::find_if(std::begin(words), std::end(words), [&](const char* k) { return w == k; }) != std::end(words);
}

bool IsPlainIdentifier(const std::string& name) {
  if (name.empty() || !IsIdentStart(static_cast<unsigned char>(name[0]))) return false;
  for (char c : name) {
    if (!IsIdentPart(static_cast<unsigned char>(c)) || (c >= 'a' && c <= 'z')) return false;
  }
  return !IsReservedWord(name);
}

void Lexer::SkipBlanksAndComments() {
  const int n = static_cast<int>(sql_.size());
  while (pos_ < n) {
    unsigned char c = static_cast<unsigned char>(sql_[pos_]);
    if (c <= ' ') {
      ++pos_;
    } else if (c == '-' && pos_ + 1 < n && sql_[pos_ + 1] == '-') {
      while (pos_ < n && sql_[pos_] != '\n') ++pos_;
    } else if (c == '/' && pos_ + 1 < n && sql_[pos_ + 1] == '*') {
      size_t close = sql_.find("*/", pos_ + 2);
      pos_ = close == std::string::npos ? n : static_cast<int>(close) + 2;
    } else {
      return;
    }
  }
}

Token Lexer::Next() {
  SkipBlanksAndComments();
  const int n = static_cast<int>(sql_.size());
  Token t;
  t.offset = pos_;
  if (pos_ >= n) {
    t.end = pos_;
    return t;
  }
  unsigned char c = static_cast<unsigned char>(sql_[pos_]);
  if (IsIdentStart(c)) {
    int start = pos_;
    while (pos_ < n && IsIdentPart(static_cast<unsigned char>(sql_[pos_]))) ++pos_;
    t.kind = Token::Kind::Word;
    t.text = sql_.substr(start, pos_ - start);
  } else if (c == '"') {
    size_t close = sql_.find('"', pos_ + 1);
    if (close == std::string::npos) Raise(1740, pos_);
    t.kind = Token::Kind::QuotedIdent;
    t.text = sql_.substr(pos_ + 1, close - pos_ - 1);
    pos_ = static_cast<int>(close) + 1;
  } else if (c == '\'') {
    int p = pos_ + 1;
    std::string value;
    for (;;) {
      if (p >= n) Raise(1756, t.offset);
      if (sql_[p] == '\'') {
        if (p + 1 < n && sql_[p + 1] == '\'') {
          value += '\'';
          p += 2;
          continue;
        }
        ++p;
        break;
      }
      value += sql_[p++];
    }
    t.kind = Token::Kind::String;
    t.text = std::move(value);
    pos_ = p;
  } else if (IsDigit(c) || (c == '.' && pos_ + 1 < n && IsDigit(static_cast<unsigned char>(sql_[pos_ + 1])))) {
    int start = pos_;
    while (pos_ < n && IsDigit(static_cast<unsigned char>(sql_[pos_]))) ++pos_;
    if (pos_ < n && sql_[pos_] == '.' && !(pos_ + 1 < n && sql_[pos_ + 1] == '.')) {
      ++pos_;
      while (pos_ < n && IsDigit(static_cast<unsigned char>(sql_[pos_]))) ++pos_;
    }
    if (pos_ < n && (sql_[pos_] == 'e' || sql_[pos_] == 'E')) {
      int save = pos_++;
      if (pos_ < n && (sql_[pos_] == '+' || sql_[pos_] == '-')) ++pos_;
      if (pos_ < n && IsDigit(static_cast<unsigned char>(sql_[pos_]))) {
        while (pos_ < n && IsDigit(static_cast<unsigned char>(sql_[pos_]))) ++pos_;
      } else {
        pos_ = save;
      }
    }
    t.kind = Token::Kind::Number;
    t.text = sql_.substr(start, pos_ - start);
  } else {
    static const char* const twoChar[] = {"||", "<=", ">=", "<>", "!=", "^=", ":=", "=>", "..", "**"};
    t.kind = Token::Kind::Symbol;
    for (const char* s : twoChar) {
      if (pos_ + 1 < n && sql_[pos_] == s[0] && sql_[pos_ + 1] == s[1]) {
        t.text = s;
        pos_ += 2;
        t.end = pos_;
        return t;
      }
    }
    if (std::strchr("(),.;=<>+-*/%:@|!&[]{}^~?", static_cast<char>(c)) == nullptr) t.kind = Token::Kind::Invalid;
    t.text = std::string(1, static_cast<char>(c));
    ++pos_;
  }
  t.end = pos_;
  return t;
}

}  // namespace oraemu
