#include "engine/select_lexer.h"

#include "engine/engine.h"
#include "engine/lexer.h"

namespace oraemu::sel {

namespace {

[[noreturn]] void Fail(int code, int offset) { throw EOraError(code, OraMessage(code), offset); }

constexpr size_t kMaxIdentifier = 128;

// The operators a query may hold; the statement lexer knows more (PL/SQL's
// among them), which a query refuses as invalid characters.
bool QueryOperator(const std::string& symbol) {
  static const char* const kOperators[] = {"(", ")", ",", ".", "*", "+", "-", "/", "=", "<", ">",
                                           "||", "<>", "!=", "^=", "<=", ">="};
  for (const char* op : kOperators)
    if (symbol == op) return true;
  return false;
}

}  // namespace

// The statement lexer splits the text, so quoting, comments and error
// offsets are the same for queries and for DDL; this pass only gives the
// tokens the shape the query parser reads.
std::vector<Token> Tokenize(const std::string& sql) {
  std::vector<Token> out;
  Lexer lexer(sql);
  auto push = [&](Tok kind, std::string text, int start, int end) {
    out.push_back(Token{kind, std::move(text), start, end - start});
  };
  for (oraemu::Token t = lexer.Next(); !t.IsEnd(); t = lexer.Next()) {
    switch (t.kind) {
      case oraemu::Token::Kind::Word:
        if (t.text.size() > kMaxIdentifier) Fail(972, t.offset);
        push(Tok::Ident, AsciiUpper(t.text), t.offset, t.end);
        break;
      case oraemu::Token::Kind::QuotedIdent:
        if (t.text.empty()) Fail(1741, t.offset);
        if (t.text.size() > kMaxIdentifier) Fail(972, t.offset);
        push(Tok::QuotedIdent, t.text, t.offset, t.end);
        break;
      case oraemu::Token::Kind::String: push(Tok::String, t.text, t.offset, t.end); break;
      case oraemu::Token::Kind::Number: push(Tok::Number, t.text, t.offset, t.end); break;
      case oraemu::Token::Kind::Symbol: {
        if (t.text == ":") {
          // A bind: the name follows the colon without a blank.
          const int at = lexer.Position();
          oraemu::Token name = lexer.Next();
          const bool digits = name.kind == oraemu::Token::Kind::Number &&
                              name.text.find_first_not_of("0123456789") == std::string::npos;
          if (name.offset != at || !(name.kind == oraemu::Token::Kind::Word ||
                                     name.kind == oraemu::Token::Kind::QuotedIdent || digits))
            Fail(911, t.offset);
          push(Tok::Bind, name.kind == oraemu::Token::Kind::QuotedIdent ? name.text : AsciiUpper(name.text), t.offset,
               name.end);
          break;
        }
        // Pairs a query does not know stand for their two halves.
        if (t.text == ".." || t.text == "**") {
          const std::string half(1, t.text[0]);
          push(Tok::Op, half, t.offset, t.offset + 1);
          push(Tok::Op, half, t.offset + 1, t.end);
          break;
        }
        if (!QueryOperator(t.text)) Fail(911, t.offset);
        push(Tok::Op, t.text, t.offset, t.end);
        break;
      }
      case oraemu::Token::Kind::Invalid:
      case oraemu::Token::Kind::End: Fail(911, t.offset);
    }
  }
  out.push_back(Token{Tok::End, "", static_cast<int>(sql.size()), 0});
  return out;
}

}  // namespace oraemu::sel
