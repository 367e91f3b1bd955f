// SQL tokens as Oracle's parser sees them, with byte offsets into the
// statement text (parse error offsets point at a token's first byte). The
// one lexer of the server: DDL reads it directly, queries through
// select_lexer.h.
#ifndef ORAEMU_LEXER_H
#define ORAEMU_LEXER_H

#include <string>
#include <vector>

namespace oraemu {

struct Token {
  enum class Kind { End, Word, QuotedIdent, String, Number, Symbol, Invalid };
  Kind kind = Kind::End;
  std::string text;  // Word/Number/Symbol: as written; QuotedIdent: inside the quotes;
                     // String: the value ('' read as one quote)
  int offset = 0;    // first byte
  int end = 0;       // one past the last byte

  bool IsEnd() const { return kind == Kind::End; }
  // A word equal to `keyword` (upper case) ignoring the letter case.
  bool Is(const char* keyword) const;
  bool IsSymbol(const char* symbol) const { return kind == Kind::Symbol && text == symbol; }
};

// Splits `sql` into tokens on demand; comments and blanks are skipped.
// Unterminated quotes raise ORA-01740 / ORA-01756 when reached; a byte that
// starts no token becomes an Invalid token for the parser to refuse.
class Lexer {
 public:
  explicit Lexer(const std::string& sql) : sql_(sql) {}
  Token Next();
  int Position() const { return pos_; }
  void Reset(int pos) { pos_ = pos; }

 private:
  void SkipBlanksAndComments();
  const std::string& sql_;
  int pos_ = 0;
};

// ASCII-only upper-casing; other bytes are left as they are.
std::string AsciiUpper(std::string s);

// Oracle's reserved words, which cannot be unquoted identifiers.
bool IsReservedWord(const std::string& upperWord);

// True when `name` can be written without quotes (then it needs none).
bool IsPlainIdentifier(const std::string& name);

}  // namespace oraemu

#endif
