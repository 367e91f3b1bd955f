#include "engine/parser.h"

#include "engine/errors.h"

namespace oraemu {

const Token& Parser::Peek(size_t ahead) {
  while (ahead_.size() <= ahead) ahead_.push_back(lexer_.Next());
  return ahead_[ahead];
}

Token Parser::Next() {
  Peek();
  Token t = std::move(ahead_.front());
  ahead_.pop_front();
  return t;
}

bool Parser::Accept(const char* keyword) {
  if (!Peek().Is(keyword)) return false;
  Next();
  return true;
}

bool Parser::AcceptSymbol(const char* symbol) {
  if (!Peek().IsSymbol(symbol)) return false;
  Next();
  return true;
}

void Parser::Expect(const char* keyword, int code) {
  if (!Accept(keyword)) FailHere(code);
}

void Parser::ExpectSymbol(const char* symbol) {
  if (AcceptSymbol(symbol)) return;
  std::string s = symbol;
  int code = s == "(" ? 906 : s == ")" ? 907 : s == "," ? 917 : 933;
  FailHere(code);
}

void Parser::Fail(int code, const Token& at) {
  // A stray ";" (a script terminator sent along) is an invalid character.
  if (at.kind == Token::Kind::Invalid || at.IsSymbol(";")) Raise(911, at.offset);
  if (code == 904) Raise(904, at.offset, {""});
  Raise(code, at.offset);
}

Ident Parser::ReadIdent(int code) {
  const Token t = Peek();
  Ident id;
  id.offset = t.offset;
  if (t.kind == Token::Kind::QuotedIdent) {
    if (t.text.empty()) Raise(1741, t.offset);
    id.name = t.text;
    id.quoted = true;
  } else if (t.kind == Token::Kind::Word) {
    id.name = AsciiUpper(t.text);
    if (IsReservedWord(id.name)) Fail(code, t);
  } else {
    Fail(code, t);
  }
  if (id.name.size() > 128) Raise(972, t.offset);
  Next();
  return id;
}

QualifiedName Parser::ReadQualified(int code) {
  QualifiedName q;
  Ident first = ReadIdent(code);
  q.offset = first.offset;
  q.nameOffset = first.offset;
  q.name = first.name;
  if (Peek().IsSymbol(".")) {
    Next();
    Ident second = ReadIdent(code);
    q.owner = q.name;
    q.name = second.name;
    q.nameOffset = second.offset;
  }
  return q;
}

Token Parser::ReadString(int code) {
  if (Peek().kind != Token::Kind::String) FailHere(code);
  return Next();
}

void Parser::ExpectEnd(int code) {
  if (!AtEnd()) FailHere(code);
}

void Parser::SkipParens() {
  ExpectSymbol("(");
  int depth = 1;
  while (depth > 0) {
    Token t = Next();
    if (t.IsEnd()) Fail(907, t);
    if (t.IsSymbol("(")) ++depth;
    if (t.IsSymbol(")")) --depth;
  }
}

}  // namespace oraemu
