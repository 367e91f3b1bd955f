// Tokens of an Oracle SELECT statement. Identifiers are normalised as Oracle
// does: unquoted ones upper-cased (ASCII only), quoted ones kept as written.
#ifndef ORAEMU_SELECT_LEXER_H
#define ORAEMU_SELECT_LEXER_H

#include <string>
#include <vector>

namespace oraemu::sel {

enum class Tok { End, Ident, QuotedIdent, String, Number, Bind, Op };

struct Token {
  Tok kind = Tok::End;
  std::string text;  // normalised identifier, literal value, bind name, operator
  int offset = 0;    // byte offset in the statement text
  int length = 0;    // bytes of the token in the statement text

  bool Is(Tok k, const char* t) const { return kind == k && text == t; }
  // An unquoted identifier equal to `word` (given in upper case).
  bool IsWord(const char* word) const { return kind == Tok::Ident && text == word; }
  bool IsOp(const char* op) const { return kind == Tok::Op && text == op; }
};

// Splits `sql` with the server's lexer (lexer.h) into tokens ending with
// one Tok::End. Comments are skipped. Throws EOraError (ORA-00911,
// ORA-01756, ORA-01740, ORA-01741, ORA-00972) on malformed text.
std::vector<Token> Tokenize(const std::string& sql);

}  // namespace oraemu::sel

#endif
