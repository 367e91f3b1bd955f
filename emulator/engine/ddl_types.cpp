#include "engine/ddl_types.h"

#include <string>

#include "engine/errors.h"

namespace oraemu {

namespace {

// An unsigned integer literal; anything else is `code` at it.
int64_t ReadCount(Parser& p, int code) {
  const Token& t = p.Peek();
  if (t.kind != Token::Kind::Number || t.text.find_first_not_of("0123456789") != std::string::npos ||
      t.text.size() > 9)
    p.Fail(code, t);
  return std::stoll(p.Next().text);
}

int64_t ReadSigned(Parser& p, int code) {
  bool negative = p.AcceptSymbol("-");
  if (!negative) p.AcceptSymbol("+");
  int64_t v = ReadCount(p, code);
  return negative ? -v : v;
}

void Character(Parser& p, ColumnRow& c, const char* type, bool lengthRequired, int64_t maxBytes,
               bool national) {
  c.dataType = type;
  int64_t n = 1;
  bool charSemantics = national;
  if (p.Peek().IsSymbol("(")) {
    p.Next();
    const Token at = p.Peek();
    n = ReadCount(p, 910);
    if (!national) {
      if (p.Accept("CHAR")) charSemantics = true;
      else p.Accept("BYTE");
    }
    p.ExpectSymbol(")");
    if (n == 0) p.Fail(1723, at);
    int64_t bytes = national ? 2 * n : n;
    if (bytes > maxBytes) p.Fail(910, at);
  } else if (lengthRequired) {
    p.FailHere(906);
  }
  c.charLength = n;
  c.dataLength = national ? 2 * n : n;
  c.charUsed = charSemantics ? "C" : "B";
}

void Number(Parser& p, ColumnRow& c, bool integerDefault) {
  c.dataType = "NUMBER";
  c.dataLength = 22;
  if (!p.Peek().IsSymbol("(")) {
    if (integerDefault) c.scale = 0;
    return;
  }
  p.Next();
  if (p.AcceptSymbol("*")) {
    if (integerDefault) c.scale = 0;
  } else {
    const Token at = p.Peek();
    int64_t precision = ReadCount(p, 1727);
    if (precision < 1 || precision > 38) p.Fail(1727, at);
    c.precision = precision;
    if (integerDefault) c.scale = 0;
  }
  if (p.AcceptSymbol(",")) {
    const Token at = p.Peek();
    int64_t scale = ReadSigned(p, 1728);
    if (scale < -84 || scale > 127) p.Fail(1728, at);
    c.scale = scale;
  }
  p.ExpectSymbol(")");
}

void Float(Parser& p, ColumnRow& c, int64_t precision) {
  c.dataType = "FLOAT";
  c.dataLength = 22;
  if (p.Peek().IsSymbol("(")) {
    p.Next();
    const Token at = p.Peek();
    precision = ReadCount(p, 1724);
    if (precision < 1 || precision > 126) p.Fail(1724, at);
    p.ExpectSymbol(")");
  }
  c.precision = precision;
}

// "(n)" when present, with `n` in [0, 9]; otherwise `fallback`.
int64_t FractionalPrecision(Parser& p, int64_t fallback) {
  if (!p.Peek().IsSymbol("(")) return fallback;
  p.Next();
  const Token at = p.Peek();
  int64_t n = ReadCount(p, 30088);
  if (n > 9) p.Fail(30088, at);
  p.ExpectSymbol(")");
  return n;
}

}  // namespace

void ParseDataType(Parser& p, ColumnRow& c) {
  const Token t = p.Peek();
  if (t.kind != Token::Kind::Word) p.Fail(902, t);
  const std::string w = AsciiUpper(t.text);
  p.Next();
  c.charUsed.reset();
  c.charLength = 0;
  c.precision.reset();
  c.scale.reset();
  if (w == "VARCHAR2" || w == "VARCHAR") {
    Character(p, c, "VARCHAR2", true, 4000, false);
  } else if (w == "NVARCHAR2") {
    Character(p, c, "NVARCHAR2", true, 4000, true);
  } else if (w == "CHAR" || w == "CHARACTER") {
    Character(p, c, "CHAR", false, 2000, false);
  } else if (w == "NCHAR") {
    Character(p, c, "NCHAR", false, 2000, true);
  } else if (w == "NUMBER") {
    Number(p, c, false);
  } else if (w == "NUMERIC" || w == "DECIMAL" || w == "DEC") {
    Number(p, c, true);
  } else if (w == "INTEGER" || w == "INT" || w == "SMALLINT") {
    c.dataType = "NUMBER";
    c.dataLength = 22;
    c.scale = 0;
  } else if (w == "FLOAT") {
    Float(p, c, 126);
  } else if (w == "REAL") {
    c.dataType = "FLOAT";
    c.dataLength = 22;
    c.precision = 63;
  } else if (w == "DOUBLE") {
    p.Expect("PRECISION", 902);
    c.dataType = "FLOAT";
    c.dataLength = 22;
    c.precision = 126;
  } else if (w == "DATE") {
    c.dataType = "DATE";
    c.dataLength = 7;
  } else if (w == "CLOB" || w == "NCLOB" || w == "BLOB") {
    c.dataType = w;
    c.dataLength = 4000;
  } else if (w == "BFILE") {
    c.dataType = "BFILE";
    c.dataLength = 530;
  } else if (w == "LONG") {
    c.dataType = p.Accept("RAW") ? "LONG RAW" : "LONG";
    c.dataLength = 0;
  } else if (w == "RAW") {
    p.ExpectSymbol("(");
    const Token at = p.Peek();
    int64_t n = ReadCount(p, 910);
    p.ExpectSymbol(")");
    if (n == 0) p.Fail(1723, at);
    if (n > 2000) p.Fail(910, at);
    c.dataType = "RAW";
    c.dataLength = n;
  } else if (w == "TIMESTAMP") {
    int64_t n = FractionalPrecision(p, 6);
    std::string type = "TIMESTAMP(" + std::to_string(n) + ")";
    c.dataLength = 11;
    if (p.Accept("WITH")) {
      if (p.Accept("LOCAL")) {
        type += " WITH LOCAL TIME ZONE";
      } else {
        type += " WITH TIME ZONE";
        c.dataLength = 13;
      }
      p.Expect("TIME");
      p.Expect("ZONE");
    }
    c.dataType = type;
    c.scale = n;
  } else if (w == "INTERVAL") {
    if (p.Accept("YEAR")) {
      int64_t y = FractionalPrecision(p, 2);
      p.Expect("TO");
      p.Expect("MONTH");
      c.dataType = "INTERVAL YEAR(" + std::to_string(y) + ") TO MONTH";
      c.dataLength = 5;
      c.precision = y;
      c.scale = 0;
    } else {
      p.Expect("DAY", 902);
      int64_t d = FractionalPrecision(p, 2);
      p.Expect("TO");
      p.Expect("SECOND");
      int64_t s = FractionalPrecision(p, 6);
      c.dataType = "INTERVAL DAY(" + std::to_string(d) + ") TO SECOND(" + std::to_string(s) + ")";
      c.dataLength = 11;
      c.precision = d;
      c.scale = s;
    }
  } else if (w == "BINARY_FLOAT") {
    c.dataType = w;
    c.dataLength = 4;
  } else if (w == "BINARY_DOUBLE") {
    c.dataType = w;
    c.dataLength = 8;
  } else if (w == "ROWID") {
    c.dataType = "ROWID";
    c.dataLength = 10;
  } else if (w == "UROWID") {
    c.dataType = "UROWID";
    c.dataLength = 4000;
    if (p.Peek().IsSymbol("(")) {
      p.Next();
      c.dataLength = ReadCount(p, 910);
      p.ExpectSymbol(")");
    }
  } else {
    p.Fail(902, t);
  }
}

}  // namespace oraemu
