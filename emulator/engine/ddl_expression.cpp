#include "engine/ddl_expression.h"

#include <algorithm>
#include <iterator>

#include "engine/errors.h"

namespace oraemu {

namespace {

// Built-in functions a DDL expression may call; anything else is an
// unknown identifier to Oracle.
bool IsBuiltinFunction(const std::string& n) {
  static const char* const names[] = {
      "ABS", "ACOS", "ADD_MONTHS", "ASCII", "ASCIISTR", "ASIN", "ATAN", "ATAN2", "BITAND", "CAST", "CEIL", "CHR",
      "COALESCE", "COMPOSE", "CONCAT", "COS", "COSH", "DECODE", "DECOMPOSE", "DUMP", "EXP", "EXTRACT", "FLOOR",
      "FROM_TZ", "GREATEST", "HEXTORAW", "INITCAP", "INSTR", "INSTRB", "LAST_DAY", "LEAST", "LENGTH", "LENGTHB",
      "LN", "LNNVL", "LOG", "LOWER", "LPAD", "LTRIM", "MOD", "MONTHS_BETWEEN", "NANVL", "NEXT_DAY", "NLSSORT",
      "NLS_INITCAP", "NLS_LOWER", "NLS_UPPER", "NULLIF", "NUMTODSINTERVAL", "NUMTOYMINTERVAL", "NVL", "NVL2",
      "ORA_HASH", "POWER", "RAWTOHEX", "REGEXP_COUNT", "REGEXP_INSTR", "REGEXP_LIKE", "REGEXP_REPLACE",
      "REGEXP_SUBSTR", "REMAINDER", "REPLACE", "ROUND", "RPAD", "RTRIM", "SIGN", "SIN", "SINH", "SOUNDEX", "SQRT",
      "STANDARD_HASH", "SUBSTR", "SUBSTRB", "SYS_EXTRACT_UTC", "SYS_GUID", "TAN", "TANH", "TO_BINARY_DOUBLE",
      "TO_BINARY_FLOAT", "TO_CHAR", "TO_CLOB", "TO_DATE", "TO_DSINTERVAL", "TO_NCHAR", "TO_NUMBER", "TO_TIMESTAMP",
      "TO_TIMESTAMP_TZ", "TO_YMINTERVAL", "TRANSLATE", "TRIM", "TRUNC", "TZ_OFFSET", "UNISTR", "UPPER", "USERENV",
      "SYS_CONTEXT", "VSIZE", "WIDTH_BUCKET"};
  return std::find(std::begin(names), std::end(names), n) != std::end(names);
}

// Values that change from call to call or session to session.
bool IsSystemVariable(const std::string& n) {
  static const char* const names[] = {"SYSDATE",   "SYSTIMESTAMP", "CURRENT_DATE", "CURRENT_TIMESTAMP",
                                      "LOCALTIMESTAMP", "USER",    "UID",          "DBTIMEZONE",
                                      "SESSIONTIMEZONE"};
  return std::find(std::begin(names), std::end(names), n) != std::end(names);
}

bool IsSystemFunction(const std::string& n) { return n == "USERENV" || n == "SYS_CONTEXT" || n == "SYS_GUID"; }

bool IsComparison(const Token& t) {
  static const char* const ops[] = {"=", "<>", "!=", "^=", "<", ">", "<=", ">="};
  return std::any_of(std::begin(ops), std::end(ops), [&](const char* op) { return t.IsSymbol(op); });
}

enum class Kind { kValue, kCondition };

class ExprParser {
 public:
  ExprParser(Parser& p, ExprUse use) : p_(p), use_(use) {}

  ParsedExpr Run() {
    out_.start = p_.Peek().offset;
    if (use_ == ExprUse::kCheck) {
      Condition(false);
    } else {
      Value();
    }
    out_.end = lastEnd_;
    out_.plainColumn = tokens_ == 1 && out_.columns.size() == 1;
    return std::move(out_);
  }

 private:
  class Nesting {
   public:
    explicit Nesting(ExprParser& e) : e_(e) {
      if (++e_.depth_ > kMaxNesting) e_.p_.FailHere(907);
    }
    ~Nesting() { --e_.depth_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

   private:
    ExprParser& e_;
  };
  static constexpr int kMaxNesting = 400;

  Token Take() {
    Token t = p_.Next();
    lastEnd_ = t.end;
    ++tokens_;
    Emit(t);
    return t;
  }

  // Appends a token to the normalised text; words stay apart by one blank.
  void Emit(const Token& t, bool column = false) {
    std::string piece;
    switch (t.kind) {
      case Token::Kind::Word: piece = column ? QuotedIdent(AsciiUpper(t.text)) : AsciiUpper(t.text); break;
      case Token::Kind::QuotedIdent: piece = QuotedIdent(t.text); break;
      case Token::Kind::String: {
        piece = "'";
        for (char c : t.text) piece += c == '\'' ? std::string("''") : std::string(1, c);
        piece += "'";
        break;
      }
      default: piece = t.text; break;
    }
    const bool wordLike = t.kind != Token::Kind::Symbol;
    if (wordLike && lastWordLike_) out_.normalised += ' ';
    out_.normalised += piece;
    lastWordLike_ = wordLike;
  }

  // condition := and {OR and}. `mixed`: inside parentheses that may hold a
  // value instead; then the kind found is returned.
  Kind Condition(bool mixed) {
    Nesting n(*this);
    Kind k = AndCondition(mixed);
    while (p_.Peek().Is("OR")) {
      if (k == Kind::kValue) p_.FailHere(920);
      Take();
      if (AndCondition(false) != Kind::kCondition) p_.FailHere(920);
    }
    return k;
  }

  Kind AndCondition(bool mixed) {
    Kind k = NotCondition(mixed);
    while (p_.Peek().Is("AND")) {
      if (k == Kind::kValue) p_.FailHere(920);
      Take();
      NotCondition(false);
    }
    return k;
  }

  Kind NotCondition(bool mixed) {
    if (p_.Peek().Is("NOT")) {
      Take();
      NotCondition(false);
      return Kind::kCondition;
    }
    return Predicate(mixed);
  }

  Kind Predicate(bool mixed) {
    if (p_.Peek().Is("EXISTS")) p_.FailHere(2251);
    Kind left = Value();
    if (left == Kind::kCondition) return left;
    const Token& t = p_.Peek();
    if (IsComparison(t)) {
      Take();
      if (p_.Peek().Is("ANY") || p_.Peek().Is("SOME") || p_.Peek().Is("ALL")) {
        Take();
        ValueList();
      } else {
        RequireValue();
      }
      return Kind::kCondition;
    }
    if (t.Is("IS")) {
      Take();
      if (p_.Peek().Is("NOT")) Take();
      if (p_.Peek().Is("JSON")) {
        Take();
        JsonOptions();
        return Kind::kCondition;
      }
      if (!p_.Peek().Is("NULL")) p_.FailHere(908);
      Take();
      return Kind::kCondition;
    }
    if (t.Is("NOT") && (p_.Peek(1).Is("BETWEEN") || p_.Peek(1).Is("IN") || p_.Peek(1).Is("LIKE"))) Take();
    if (p_.Peek().Is("BETWEEN")) {
      Take();
      RequireValue();
      if (!p_.Peek().Is("AND")) p_.FailHere(905);
      Take();
      RequireValue();
      return Kind::kCondition;
    }
    if (p_.Peek().Is("IN")) {
      Take();
      if (!p_.Peek().IsSymbol("(")) {
        RequireValue();
      } else {
        ValueList();
      }
      return Kind::kCondition;
    }
    if (p_.Peek().Is("LIKE")) {
      Take();
      RequireValue();
      if (p_.Peek().Is("ESCAPE")) {
        Take();
        RequireValue();
      }
      return Kind::kCondition;
    }
    if (mixed) return Kind::kValue;
    p_.FailHere(920);
  }

  // After IS [NOT] JSON: [STRICT | LAX] [ALLOW | DISALLOW SCALARS] [WITH | WITHOUT UNIQUE KEYS].
  void JsonOptions() {
    if (p_.Peek().Is("STRICT") || p_.Peek().Is("LAX")) Take();
    if (p_.Peek().Is("ALLOW") || p_.Peek().Is("DISALLOW")) {
      Take();
      if (!p_.Peek().Is("SCALARS")) p_.FailHere(905);
      Take();
    }
    if (p_.Peek().Is("WITH") || p_.Peek().Is("WITHOUT")) {
      Take();
      if (!p_.Peek().Is("UNIQUE")) p_.FailHere(905);
      Take();
      if (!p_.Peek().Is("KEYS")) p_.FailHere(905);
      Take();
    }
  }

  // "(" value {, value} ")"
  void ValueList() {
    if (!p_.Peek().IsSymbol("(")) p_.FailHere(906);
    Take();
    if (p_.Peek().Is("SELECT") || p_.Peek().Is("WITH")) p_.FailHere(2251);
    do RequireValue();
    while (p_.Peek().IsSymbol(",") && (Take(), true));
    if (!p_.Peek().IsSymbol(")")) p_.FailHere(907);
    Take();
  }

  void RequireValue() {
    const Token at = p_.Peek();
    if (Value() != Kind::kValue) p_.Fail(920, at);
  }

  // value := term {(+ | - | "||") term}
  Kind Value() {
    Nesting n(*this);
    Kind k = Term();
    while (p_.Peek().IsSymbol("+") || p_.Peek().IsSymbol("-") || p_.Peek().IsSymbol("||")) {
      if (k != Kind::kValue) p_.FailHere(920);
      Take();
      if (Term() != Kind::kValue) p_.FailHere(920);
    }
    return k;
  }

  Kind Term() {
    Kind k = Unary();
    while (p_.Peek().IsSymbol("*") || p_.Peek().IsSymbol("/")) {
      if (k != Kind::kValue) p_.FailHere(920);
      Take();
      if (Unary() != Kind::kValue) p_.FailHere(920);
    }
    return k;
  }

  Kind Unary() {
    if (p_.Peek().IsSymbol("+") || p_.Peek().IsSymbol("-")) {
      Nesting n(*this);
      Take();
      if (Unary() != Kind::kValue) p_.FailHere(920);
      return Kind::kValue;
    }
    return Primary();
  }

  // What a use forbids of a system variable or function at `at`.
  void SystemValue(const Token& at) {
    if (use_ == ExprUse::kCheck) p_.Fail(2436, at);
    if (use_ == ExprUse::kIndex) p_.Fail(1743, at);
    if (use_ == ExprUse::kVirtual) p_.Fail(54002, at);
  }

  Kind Primary() {
    const Token t = p_.Peek();
    if (t.kind == Token::Kind::Number || t.kind == Token::Kind::String) {
      Take();
      return Kind::kValue;
    }
    if (t.IsSymbol("(")) {
      Take();
      if (p_.Peek().Is("SELECT") || p_.Peek().Is("WITH")) p_.FailHere(2251);
      Kind k = use_ == ExprUse::kCheck ? Condition(true) : Value();
      if (!p_.Peek().IsSymbol(")")) p_.FailHere(907);
      Take();
      return k;
    }
    if (t.kind == Token::Kind::QuotedIdent) return Name();
    if (t.kind != Token::Kind::Word) p_.Fail(936, t);
    const std::string word = AsciiUpper(t.text);
    if (word == "NULL") {
      Take();
      return Kind::kValue;
    }
    if ((word == "DATE" || word == "TIMESTAMP") && p_.Peek(1).kind == Token::Kind::String) {
      Take();
      Take();
      return Kind::kValue;
    }
    if (word == "CASE") return Case();
    if (IsSystemVariable(word)) {
      SystemValue(t);
      Take();
      if ((word == "CURRENT_TIMESTAMP" || word == "LOCALTIMESTAMP" || word == "SYSTIMESTAMP") &&
          p_.Peek().IsSymbol("(")) {
        Take();
        if (p_.Peek().kind != Token::Kind::Number) p_.FailHere(936);
        Take();
        if (!p_.Peek().IsSymbol(")")) p_.FailHere(907);
        Take();
      }
      return Kind::kValue;
    }
    if (IsReservedWord(word)) p_.Fail(936, t);
    return Name();
  }

  // A column, a function call or a sequence value.
  Kind Name() {
    const Token first = p_.Peek();
    const std::string name = first.kind == Token::Kind::QuotedIdent ? first.text : AsciiUpper(first.text);
    if (p_.Peek(1).IsSymbol("(") && first.kind == Token::Kind::Word) return Call(first, name);
    if (p_.Peek(1).IsSymbol(".")) {
      // owner.sequence.NEXTVAL or table.column; only DEFAULT takes sequences.
      const Token& second = p_.Peek(2);
      const bool sequence = second.Is("NEXTVAL") || second.Is("CURRVAL") ||
                            (p_.Peek(3).IsSymbol(".") && (p_.Peek(4).Is("NEXTVAL") || p_.Peek(4).Is("CURRVAL")));
      if (sequence) {
        if (use_ != ExprUse::kDefault) p_.Fail(2287, first);
        while (p_.Peek(1).IsSymbol(".")) {
          Take();
          Take();
        }
        Take();
        return Kind::kValue;
      }
      if (use_ == ExprUse::kDefault) p_.Fail(984, first);
      // A qualified column names no column of this table.
      Take();
      Take();
      const Token col = p_.Peek();
      if (col.kind != Token::Kind::Word && col.kind != Token::Kind::QuotedIdent) p_.Fail(936, col);
      const std::string colName = col.kind == Token::Kind::QuotedIdent ? col.text : AsciiUpper(col.text);
      Raise(904, first.offset, {QuotedIdent(name) + "." + QuotedIdent(colName)});
    }
    if (use_ == ExprUse::kDefault) p_.Fail(984, first);
    p_.Next();
    lastEnd_ = first.end;
    ++tokens_;
    Emit(first, true);
    out_.columns.push_back({name, first.offset});
    return Kind::kValue;
  }

  Kind Call(const Token& at, const std::string& name) {
    if (!IsBuiltinFunction(name)) Raise(904, at.offset, {QuotedIdent(name)});
    if (IsSystemFunction(name)) SystemValue(at);
    Take();
    Take();  // "("
    Kind result = name == "REGEXP_LIKE" || name == "LNNVL" ? Kind::kCondition : Kind::kValue;
    if (name == "LNNVL") {
      Condition(false);
    } else if (name == "EXTRACT") {
      if (p_.Peek().kind != Token::Kind::Word) p_.FailHere(936);
      Take();
      if (!p_.Peek().Is("FROM")) p_.FailHere(905);
      Take();
      RequireValue();
    } else if (name == "CAST") {
      RequireValue();
      if (!p_.Peek().Is("AS")) p_.FailHere(905);
      Take();
      // The target type: words, with an optional "(n[,m])".
      if (p_.Peek().kind != Token::Kind::Word) p_.FailHere(902);
      while (p_.Peek().kind == Token::Kind::Word) Take();
      if (p_.Peek().IsSymbol("(")) {
        while (!p_.Peek().IsSymbol(")")) {
          if (p_.AtEnd()) p_.FailHere(907);
          Take();
        }
        Take();
      }
    } else if (name == "TRIM" && !p_.Peek().IsSymbol(")")) {
      if (p_.Peek().Is("LEADING") || p_.Peek().Is("TRAILING") || p_.Peek().Is("BOTH")) Take();
      if (!p_.Peek().Is("FROM")) RequireValue();
      if (p_.Peek().Is("FROM")) {
        Take();
        RequireValue();
      }
    } else if (!p_.Peek().IsSymbol(")") || name != "SYS_GUID") {
      do RequireValue();
      while (p_.Peek().IsSymbol(",") && (Take(), true));
    }
    if (!p_.Peek().IsSymbol(")")) p_.FailHere(907);
    Take();
    return result;
  }

  Kind Case() {
    Take();
    const bool simple = !p_.Peek().Is("WHEN");
    if (simple) RequireValue();
    if (!p_.Peek().Is("WHEN")) p_.FailHere(905);
    while (p_.Peek().Is("WHEN")) {
      Take();
      if (simple) RequireValue();
      else Condition(false);
      if (!p_.Peek().Is("THEN")) p_.FailHere(905);
      Take();
      RequireValue();
    }
    if (p_.Peek().Is("ELSE")) {
      Take();
      RequireValue();
    }
    if (!p_.Peek().Is("END")) p_.FailHere(905);
    Take();
    return Kind::kValue;
  }

  Parser& p_;
  ExprUse use_;
  ParsedExpr out_;
  int lastEnd_ = 0;
  int tokens_ = 0;
  int depth_ = 0;
  bool lastWordLike_ = false;
};

}  // namespace

ParsedExpr ParseDdlExpression(Parser& p, ExprUse use) { return ExprParser(p, use).Run(); }

}  // namespace oraemu
