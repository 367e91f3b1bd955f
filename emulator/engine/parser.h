// A cursor over a statement's tokens with the checks every DDL parser
// needs; each failed expectation raises the Oracle error at the token.
#ifndef ORAEMU_PARSER_H
#define ORAEMU_PARSER_H

#include <deque>
#include <string>
#include <vector>

#include "engine/lexer.h"

namespace oraemu {

// A schema object name as written: owner (empty when not given) and name,
// both already normalised by Oracle's rules.
struct QualifiedName {
  std::string owner;
  std::string name;
  int offset = 0;     // start of the whole reference
  int nameOffset = 0; // start of the name part
};

struct Ident {
  std::string name;
  int offset = 0;
  bool quoted = false;
};

class Parser {
 public:
  explicit Parser(const std::string& sql) : sql_(sql), lexer_(sql) {}

  // A reference valid until that token is consumed by Next().
  const Token& Peek(size_t ahead = 0);
  Token Next();
  bool AtEnd() { return Peek().IsEnd(); }
  const std::string& Sql() const { return sql_; }

  // Consumes the word when it is next.
  bool Accept(const char* keyword);
  bool AcceptSymbol(const char* symbol);
  // Requires the word (ORA-00905 missing keyword unless `code` says otherwise).
  void Expect(const char* keyword, int code = 905);
  // Requires "(" (ORA-00906), ")" (ORA-00907), "," (ORA-00917) or another symbol.
  void ExpectSymbol(const char* symbol);

  // An identifier: unquoted ones are upper-cased and may not be reserved
  // words; quoted ones are kept as written. `code` is the error for a token
  // that is no identifier (ORA-00904 by default, printed with the empty name).
  Ident ReadIdent(int code = 904);
  // [owner.]name
  QualifiedName ReadQualified(int code = 904);
  // A string literal (ORA-00905 / `code` otherwise).
  Token ReadString(int code = 905);

  // Requires the end of the statement (ORA-00933 or `code`).
  void ExpectEnd(int code = 933);
  [[noreturn]] void Fail(int code, const Token& at);
  [[noreturn]] void FailHere(int code) { Fail(code, Peek()); }

  // Skips a balanced parenthesised group starting at "(".
  void SkipParens();
  // The statement text from byte `from` to byte `to`.
  std::string Text(int from, int to) const { return sql_.substr(from, to - from); }

 private:
  const std::string& sql_;
  Lexer lexer_;
  std::deque<Token> ahead_;  // references stay valid while more is read ahead
};

}  // namespace oraemu

#endif
