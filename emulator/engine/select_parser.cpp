#include "engine/select_parser.h"

#include <cstdlib>
#include <set>

#include "engine/engine.h"
#include "engine/select_lexer.h"

namespace oraemu::sel {

namespace {

// Words that never name a column, a table or an alias.
const std::set<std::string>& Reserved() {
  static const std::set<std::string> words = {
      "ALL",   "AND",   "AS",      "ASC",      "BETWEEN", "BY",     "CASE",   "CONNECT",   "CROSS",
      "DESC",  "DISTINCT", "ELSE", "END",      "EXISTS",  "FOR",    "FROM",   "FULL",      "GROUP",
      "HAVING", "IN",   "INNER",   "INTERSECT", "IS",     "JOIN",   "LEFT",   "LIKE",      "MINUS",
      "NOT",   "NULL",  "ON",      "OR",       "ORDER",   "OUTER",  "PRIOR",  "RIGHT",     "SELECT",
      "START", "THEN",  "UNION",   "UNIQUE",   "WHEN",    "WHERE",  "WITH",
  };
  return words;
}

bool IsCondition(const Expr& e) {
  switch (e.kind) {
    case ExprKind::Compare: case ExprKind::And: case ExprKind::Or: case ExprKind::Not:
    case ExprKind::IsNull: case ExprKind::Like: case ExprKind::InList: case ExprKind::InQuery:
    case ExprKind::Between: case ExprKind::Exists:
      return true;
    default:
      return false;
  }
}

class Parser {
 public:
  explicit Parser(const std::string& sql) : sql_(sql), toks_(Tokenize(sql)) {}

  Query Statement() {
    const Token& first = Peek();
    if (!first.IsWord("SELECT") && !first.IsWord("WITH") && !first.IsOp("(")) Fail(900, first);
    Query q = QueryExpr();
    if (Peek().kind != Tok::End) Fail(933, Peek());
    return q;
  }

 private:
  [[noreturn]] void Fail(int code, const Token& at) { throw EOraError(code, OraMessage(code), at.offset); }

  const Token& Peek(size_t ahead = 0) const {
    size_t i = pos_ + ahead;
    return i < toks_.size() ? toks_[i] : toks_.back();
  }
  const Token& Next() {
    const Token& t = toks_[pos_];
    if (pos_ + 1 < toks_.size()) ++pos_;
    return t;
  }
  bool AcceptWord(const char* w) {
    if (!Peek().IsWord(w)) return false;
    Next();
    return true;
  }
  bool AcceptOp(const char* op) {
    if (!Peek().IsOp(op)) return false;
    Next();
    return true;
  }
  void ExpectClose() {
    if (!AcceptOp(")")) Fail(907, Peek());
  }
  bool IsName(const Token& t) const {
    return t.kind == Tok::QuotedIdent || (t.kind == Tok::Ident && !Reserved().count(t.text));
  }
  // End offset of the token before the current one.
  int PrevEnd() const {
    const Token& t = toks_[pos_ > 0 ? pos_ - 1 : 0];
    return t.offset + t.length;
  }

  Query QueryExpr() {
    Nesting guard(*this);
    Query q;
    q.offset = Peek().offset;
    if (AcceptWord("WITH")) {
      do q.with.push_back(Common());
      while (AcceptOp(","));
    }
    Term(q);
    for (;;) {
      std::string op;
      if (AcceptWord("UNION")) op = AcceptWord("ALL") ? "UNION ALL" : "UNION";
      else if (AcceptWord("INTERSECT")) op = "INTERSECT";
      else if (AcceptWord("MINUS")) op = "MINUS";
      else break;
      q.setOps.push_back(op);
      Term(q);
    }
    if (AcceptWord("ORDER")) {
      if (!AcceptWord("BY")) Fail(924, Peek());
      OrderItems(q.orderBy);
    }
    return q;
  }

  // name [(column, ...)] AS (query)
  CommonTable Common() {
    CommonTable t;
    t.offset = Peek().offset;
    if (!IsName(Peek())) Fail(903, Peek());
    t.name = Next().text;
    if (AcceptOp("(")) {
      do {
        if (!IsName(Peek())) Fail(904, Peek());
        t.columns.push_back(Next().text);
      } while (AcceptOp(","));
      ExpectClose();
    }
    if (!AcceptWord("AS")) Fail(905, Peek());
    if (!AcceptOp("(")) Fail(906, Peek());
    t.query = std::make_unique<Query>(QueryExpr());
    ExpectClose();
    return t;
  }

  // One operand of a set operator: a SELECT block, or a parenthesised query,
  // which is unwrapped when it is a plain block and nested otherwise.
  void Term(Query& q) {
    if (Peek().IsOp("(")) {
      const Token& open = Next();
      Query inner = QueryExpr();
      ExpectClose();
      if (inner.blocks.size() == 1 && inner.orderBy.empty()) {
        q.blocks.push_back(std::move(inner.blocks[0]));
        return;
      }
      QueryBlock b;
      b.offset = open.offset;
      SelectItem all;
      all.star = true;
      b.items.push_back(std::move(all));
      FromItem f;
      f.sub = std::make_unique<Query>(std::move(inner));
      f.offset = open.offset;
      b.from.push_back(std::move(f));
      q.blocks.push_back(std::move(b));
      return;
    }
    if (!Peek().IsWord("SELECT")) Fail(928, Peek());
    q.blocks.push_back(Block());
  }

  QueryBlock Block() {
    QueryBlock b;
    b.offset = Next().offset;  // SELECT
    if (AcceptWord("DISTINCT") || AcceptWord("UNIQUE")) b.distinct = true;
    else AcceptWord("ALL");
    do b.items.push_back(Item());
    while (AcceptOp(","));
    if (!AcceptWord("FROM")) Fail(923, Peek());
    From(b);
    if (AcceptWord("WHERE")) b.where = Condition();
    if (Peek().IsWord("GROUP")) {
      Next();
      if (!AcceptWord("BY")) Fail(924, Peek());
      do GroupingElement(b, false);
      while (AcceptOp(","));
    }
    if (AcceptWord("HAVING")) b.having = Condition();
    return b;
  }

  // An expression, or ROLLUP (...), CUBE (...), GROUPING SETS (...) whose
  // expressions are collected flat; `inSet` admits "()" and "(a, b)".
  void GroupingElement(QueryBlock& b, bool inSet) {
    Nesting guard(*this);
    const Token& t = Peek();
    const bool rollup = (t.IsWord("ROLLUP") || t.IsWord("CUBE")) && Peek(1).IsOp("(");
    const bool sets = t.IsWord("GROUPING") && Peek(1).IsWord("SETS");
    if (rollup || sets) {
      if (!b.groupingSets) b.groupingOffset = t.offset;
      b.groupingSets = true;
      Next();
      if (sets) Next();
      if (!AcceptOp("(")) Fail(906, Peek());
      do GroupingElement(b, sets);
      while (AcceptOp(","));
      ExpectClose();
      return;
    }
    if (t.IsOp("(") && (inSet || b.groupingSets)) {
      // A composite element; "()" is the grand total.
      Next();
      if (AcceptOp(")")) return;
      do b.groupBy.push_back(Value());
      while (AcceptOp(","));
      ExpectClose();
      return;
    }
    b.groupBy.push_back(Value());
  }

  SelectItem Item() {
    SelectItem item;
    item.offset = Peek().offset;
    if (AcceptOp("*")) {
      item.star = true;
      return item;
    }
    // t.* and schema.t.*
    size_t save = pos_;
    std::vector<std::string> path;
    while (IsName(Peek()) && Peek(1).IsOp(".")) {
      path.push_back(Next().text);
      Next();
      if (AcceptOp("*")) {
        item.star = true;
        item.starPath = std::move(path);
        return item;
      }
    }
    pos_ = save;
    item.expr = Value();
    if (AcceptWord("AS")) {
      if (!IsName(Peek())) Fail(923, Peek());
      item.alias = Next().text;
    } else if (IsName(Peek())) {
      item.alias = Next().text;
    }
    return item;
  }

  void From(QueryBlock& b) {
    bool natural = false;
    b.from.push_back(TableRef(JoinKind::Comma));
    for (;;) {
      if (AcceptOp(",")) {
        b.from.push_back(TableRef(JoinKind::Comma));
        continue;
      }
      JoinKind kind;
      const Token& at = Peek();
      if (AcceptWord("JOIN")) kind = JoinKind::Inner;
      else if (Peek().IsWord("INNER") && Peek(1).IsWord("JOIN")) { Next(); Next(); kind = JoinKind::Inner; }
      else if (Peek().IsWord("CROSS") && Peek(1).IsWord("JOIN")) { Next(); Next(); kind = JoinKind::Cross; }
      else if (Peek().IsWord("LEFT") || Peek().IsWord("RIGHT") || Peek().IsWord("FULL") ||
               Peek().IsWord("NATURAL")) {
        natural = AcceptWord("NATURAL");
        kind = JoinKind::Inner;
        if (AcceptWord("LEFT")) kind = JoinKind::Left;
        else if (AcceptWord("RIGHT")) kind = JoinKind::Right;
        else if (AcceptWord("FULL")) kind = JoinKind::Full;
        else AcceptWord("INNER");
        if (kind != JoinKind::Inner) AcceptWord("OUTER");
        if (!AcceptWord("JOIN")) Fail(905, Peek());
      } else {
        break;
      }
      (void)at;
      FromItem f = TableRef(kind);
      f.natural = natural;
      natural = false;
      if (f.natural) {
        // no condition: the columns both sides name
      } else if (kind != JoinKind::Cross && AcceptWord("USING")) {
        if (!AcceptOp("(")) Fail(906, Peek());
        do {
          if (!IsName(Peek())) Fail(904, Peek());
          f.usingCols.push_back(Next().text);
        } while (AcceptOp(","));
        ExpectClose();
      } else if (kind != JoinKind::Cross) {
        if (!AcceptWord("ON")) Fail(905, Peek());
        f.on = Condition();
      }
      b.from.push_back(std::move(f));
    }
  }

  FromItem TableRef(JoinKind join) {
    FromItem f;
    f.join = join;
    f.offset = Peek().offset;
    if (AcceptOp("(")) {
      if (!Peek().IsWord("SELECT") && !Peek().IsWord("WITH") && !Peek().IsOp("(")) Fail(903, Peek());
      f.sub = std::make_unique<Query>(QueryExpr());
      ExpectClose();
    } else if (Peek().IsWord("JSON_TABLE") && Peek(1).IsOp("(")) {
      JsonTable(f);
    } else {
      if (!IsName(Peek())) Fail(903, Peek());
      f.name.push_back(Next().text);
      if (AcceptOp(".")) {
        if (!IsName(Peek())) Fail(903, Peek());
        f.name.push_back(Next().text);
      }
    }
    if (Peek().IsWord("AS")) Fail(933, Peek());
    if (IsName(Peek()) && !Peek().IsWord("USING") && !Peek().IsWord("NATURAL")) f.alias = Next().text;
    return f;
  }

  // JSON_TABLE(input [FORMAT JSON] [, 'path'] [... ON ERROR] COLUMNS (...))
  void JsonTable(FromItem& f) {
    Next();
    Next();
    f.jsonInput = Value();
    if (AcceptWord("FORMAT") && !AcceptWord("JSON")) Fail(907, Peek());
    if (AcceptOp(",")) {
      if (Peek().kind != Tok::String) Fail(907, Peek());
      Next();
    }
    SkipJsonHandlers();
    if (!AcceptWord("COLUMNS")) Fail(907, Peek());
    JsonColumns(f.jsonColumns);
    SkipJsonHandlers();
    ExpectClose();
  }

  // NULL|ERROR|EMPTY|DEFAULT x ON ERROR|EMPTY|MISMATCH: how bad input is
  // answered, which does not change the columns.
  void SkipJsonHandlers() {
    for (;;) {
      const Token& t = Peek();
      if (t.IsWord("NULL") || t.IsWord("ERROR") || t.IsWord("EMPTY") || t.IsWord("TRUE") || t.IsWord("FALSE")) {
        Next();
      } else if (t.IsWord("DEFAULT")) {
        Next();
        Value();
      } else {
        return;
      }
      if (!AcceptWord("ON")) Fail(907, Peek());
      if (!(AcceptWord("ERROR") || AcceptWord("EMPTY") || AcceptWord("MISMATCH"))) Fail(907, Peek());
    }
  }

  void JsonColumns(std::vector<JsonColumn>& out) {
    Nesting guard(*this);
    if (!AcceptOp("(")) Fail(906, Peek());
    do {
      if (Peek().IsWord("NESTED")) {
        Next();
        AcceptWord("PATH");
        if (Peek().kind != Tok::String) Fail(907, Peek());
        Next();
        if (!AcceptWord("COLUMNS")) Fail(907, Peek());
        JsonColumns(out);
        continue;
      }
      if (!IsName(Peek())) Fail(904, Peek());
      JsonColumn c;
      c.offset = Peek().offset;
      c.name = Next().text;
      if (AcceptWord("FOR")) {
        if (!AcceptWord("ORDINALITY")) Fail(907, Peek());
        c.type = TypeName{2, 22, 0, -127, false};
        out.push_back(std::move(c));
        continue;
      }
      if (Peek().kind == Tok::Ident && !Peek().IsWord("PATH") && !Peek().IsWord("FORMAT") &&
          !Peek().IsWord("EXISTS"))
        c.type = DataType();
      if (AcceptWord("FORMAT") && !AcceptWord("JSON")) Fail(907, Peek());
      if (AcceptWord("EXISTS") && c.type.type == 1 && c.type.size == 4000) c.type = TypeName{1, 5, 0, -127, false};
      if (AcceptWord("PATH")) {
        if (Peek().kind != Tok::String) Fail(907, Peek());
        Next();
      }
      SkipJsonHandlers();
      out.push_back(std::move(c));
    } while (AcceptOp(","));
    ExpectClose();
  }

  long Integer() {
    if (Peek().kind != Tok::Number) Fail(910, Peek());
    return std::strtol(Next().text.c_str(), nullptr, 10);
  }

  // A scalar SQL type: VARCHAR2(n [BYTE|CHAR]), NUMBER(p, s), DATE ...
  TypeName DataType() {
    const Token& t = Peek();
    if (t.kind != Tok::Ident) Fail(902, t);
    const std::string w = Next().text;
    TypeName n;
    if (w == "VARCHAR2" || w == "VARCHAR" || w == "NVARCHAR2" || w == "CHAR" || w == "NCHAR" || w == "RAW") {
      n.type = w == "CHAR" || w == "NCHAR" ? 96 : w == "RAW" ? 23 : 1;
      n.size = 1;
      if (AcceptOp("(")) {
        n.size = static_cast<int>(Integer());
        if (AcceptWord("CHAR")) n.charUsed = true;
        else AcceptWord("BYTE");
        ExpectClose();
      } else if (n.type != 96) {
        Fail(906, Peek());
      }
      if (n.size < 1 || n.size > 32767) Fail(910, t);
    } else if (w == "NUMBER" || w == "FLOAT" || w == "DECIMAL" || w == "NUMERIC") {
      n.type = 2;
      n.size = 22;
      if (w == "FLOAT") n.precision = 126;
      if (AcceptOp("(")) {
        if (AcceptOp("*")) n.precision = 0;
        else n.precision = static_cast<int>(Integer());
        n.scale = w == "FLOAT" ? -127 : 0;
        if (AcceptOp(",")) {
          bool negative = AcceptOp("-");
          n.scale = static_cast<int>(Integer()) * (negative ? -1 : 1);
        }
        ExpectClose();
        if (n.precision > (w == "FLOAT" ? 126 : 38)) Fail(1727, t);
      }
    } else if (w == "INTEGER" || w == "INT" || w == "SMALLINT") {
      n = TypeName{2, 22, 38, 0, false};
    } else if (w == "DATE") {
      n = TypeName{12, 7, 0, -127, false};
    } else if (w == "TIMESTAMP") {
      n = TypeName{187, 11, 0, 6, false};
      if (AcceptOp("(")) {
        n.scale = static_cast<int>(Integer());
        ExpectClose();
        if (n.scale > 9) Fail(30088, t);
      }
      if (AcceptWord("WITH")) {
        AcceptWord("LOCAL");
        if (!AcceptWord("TIME") || !AcceptWord("ZONE")) Fail(907, Peek());
      }
    } else if (w == "CLOB" || w == "NCLOB") {
      n = TypeName{112, 4000, 0, -127, false};
    } else if (w == "BLOB") {
      n = TypeName{113, 4000, 0, -127, false};
    } else {
      Fail(902, t);
    }
    return n;
  }

  ExprPtr Condition() {
    ExprPtr e = Or();
    if (!IsCondition(*e)) Fail(920, Peek());
    return e;
  }
  // A value expression; comparisons are not values in Oracle.
  ExprPtr Value() {
    int at = Peek().offset;
    ExprPtr e = Additive();
    if (IsCondition(*e)) throw EOraError(907, OraMessage(907), at);
    return e;
  }

  ExprPtr Make(ExprKind kind, int offset) {
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->offset = offset;
    return e;
  }
  ExprPtr Binary(ExprKind kind, ExprPtr a, ExprPtr b, std::string op = {}) {
    ExprPtr e = Make(kind, a->offset);
    e->op = std::move(op);
    e->args.push_back(std::move(a));
    e->args.push_back(std::move(b));
    e->source = sql_.substr(e->offset, PrevEnd() - e->offset);
    return e;
  }

  ExprPtr Or() {
    Nesting guard(*this);
    ExprPtr e = And();
    for (int n = 0; AcceptWord("OR"); ++n) e = Binary(ExprKind::Or, Chain(std::move(e), n), And());
    return e;
  }
  ExprPtr And() {
    ExprPtr e = Not();
    for (int n = 0; AcceptWord("AND"); ++n) e = Binary(ExprKind::And, Chain(std::move(e), n), Not());
    return e;
  }
  ExprPtr Not() {
    Nesting guard(*this);
    if (Peek().IsWord("NOT")) {
      int at = Next().offset;
      ExprPtr e = Make(ExprKind::Not, at);
      e->args.push_back(Not());
      return e;
    }
    return Predicate();
  }

  ExprPtr Predicate() {
    ExprPtr left = Additive();
    const Token& t = Peek();
    static const char* const kCompare[] = {"=", "<>", "!=", "^=", "<", ">", "<=", ">="};
    for (const char* op : kCompare) {
      if (t.IsOp(op)) {
        Next();
        std::string norm = (t.text == "!=" || t.text == "^=") ? "<>" : t.text;
        return Binary(ExprKind::Compare, std::move(left), Additive(), norm);
      }
    }
    if (AcceptWord("IS")) {
      ExprPtr e = Make(ExprKind::IsNull, left->offset);
      e->negated = AcceptWord("NOT");
      if (!AcceptWord("NULL")) Fail(908, Peek());
      e->args.push_back(std::move(left));
      return e;
    }
    bool negated = false;
    if (Peek().IsWord("NOT") && (Peek(1).IsWord("LIKE") || Peek(1).IsWord("IN") || Peek(1).IsWord("BETWEEN"))) {
      Next();
      negated = true;
    }
    if (AcceptWord("LIKE")) {
      ExprPtr e = Make(ExprKind::Like, left->offset);
      e->negated = negated;
      e->args.push_back(std::move(left));
      e->args.push_back(Additive());
      if (AcceptWord("ESCAPE")) e->args.push_back(Additive());
      return e;
    }
    if (AcceptWord("BETWEEN")) {
      ExprPtr e = Make(ExprKind::Between, left->offset);
      e->negated = negated;
      e->args.push_back(std::move(left));
      e->args.push_back(Additive());
      if (!AcceptWord("AND")) Fail(905, Peek());
      e->args.push_back(Additive());
      return e;
    }
    if (AcceptWord("IN")) {
      if (!AcceptOp("(")) Fail(906, Peek());
      if (Peek().IsWord("SELECT") || Peek().IsWord("WITH")) {
        ExprPtr e = Make(ExprKind::InQuery, left->offset);
        e->negated = negated;
        e->args.push_back(std::move(left));
        e->sub = std::make_unique<Query>(QueryExpr());
        ExpectClose();
        return e;
      }
      ExprPtr e = Make(ExprKind::InList, left->offset);
      e->negated = negated;
      e->args.push_back(std::move(left));
      do e->args.push_back(Value());
      while (AcceptOp(","));
      ExpectClose();
      return e;
    }
    if (negated) Fail(920, Peek());
    return left;
  }

  ExprPtr Additive() {
    ExprPtr e = Multiplicative();
    for (int n = 0;; ++n) {
      const Token& t = Peek();
      if (!(t.IsOp("+") || t.IsOp("-") || t.IsOp("||"))) return e;
      Next();
      e = Binary(ExprKind::Arith, Chain(std::move(e), n), Multiplicative(), t.text);
    }
  }
  ExprPtr Multiplicative() {
    ExprPtr e = Unary();
    for (int n = 0;; ++n) {
      const Token& t = Peek();
      if (!(t.IsOp("*") || t.IsOp("/"))) return e;
      Next();
      e = Binary(ExprKind::Arith, Chain(std::move(e), n), Unary(), t.text);
    }
  }
  // A chain of one operator grows a tree as deep as it is long.
  ExprPtr Chain(ExprPtr e, int length) {
    if (length >= kMaxNesting) throw ETooDeep(907, OraMessage(907), Peek().offset);
    return e;
  }
  ExprPtr Unary() {
    Nesting guard(*this);
    if (Peek().IsOp("-")) {
      int at = Next().offset;
      ExprPtr e = Make(ExprKind::Negate, at);
      e->args.push_back(Unary());
      e->source = sql_.substr(at, PrevEnd() - at);
      return e;
    }
    if (AcceptOp("+")) return Unary();
    ExprPtr e = Primary();
    if (e->source.empty()) e->source = sql_.substr(e->offset, PrevEnd() - e->offset);
    return e;
  }

  ExprPtr Primary() {
    const Token& t = Peek();
    switch (t.kind) {
      case Tok::Number: {
        Next();
        ExprPtr e = Make(ExprKind::Number, t.offset);
        e->text = t.text;
        return e;
      }
      case Tok::String: {
        Next();
        ExprPtr e = Make(t.text.empty() ? ExprKind::Null : ExprKind::String, t.offset);
        e->text = t.text;
        return e;
      }
      case Tok::Bind: {
        Next();
        ExprPtr e = Make(ExprKind::Bind, t.offset);
        e->text = t.text;
        return e;
      }
      case Tok::Op:
        if (t.IsOp("(")) {
          Next();
          if (Peek().IsWord("SELECT") || Peek().IsWord("WITH")) {
            ExprPtr e = Make(ExprKind::Subquery, t.offset);
            e->sub = std::make_unique<Query>(QueryExpr());
            ExpectClose();
            return e;
          }
          ExprPtr e = Or();
          ExpectClose();
          return e;
        }
        Fail(936, t);
      case Tok::End:
        Fail(936, t);
      default:
        break;
    }
    if (t.kind == Tok::Ident) {
      if (t.text == "NULL") {
        Next();
        return Make(ExprKind::Null, t.offset);
      }
      if (t.text == "EXISTS") {
        Next();
        if (!AcceptOp("(")) Fail(906, Peek());
        ExprPtr e = Make(ExprKind::Exists, t.offset);
        e->sub = std::make_unique<Query>(QueryExpr());
        ExpectClose();
        return e;
      }
      if (t.text == "CASE") return Case();
      if ((t.text == "CAST" || t.text == "EXTRACT") && Peek(1).IsOp("(")) return CastOrExtract();
      if (Reserved().count(t.text)) Fail(936, t);
      if (t.text == "USER" || t.text == "UID" || t.text == "SYSDATE" || t.text == "ROWNUM") {
        Next();
        ExprPtr e = Make(ExprKind::Pseudo, t.offset);
        e->text = t.text;
        return e;
      }
    }
    // A column reference or a function call.
    ExprPtr e = Make(ExprKind::Column, t.offset);
    e->path.push_back(Next().text);
    bool quoted = t.kind == Tok::QuotedIdent;
    while (Peek().IsOp(".") && IsName(Peek(1))) {
      Next();
      quoted = quoted || Peek().kind == Tok::QuotedIdent;
      e->path.push_back(Next().text);
    }
    if (Peek().IsOp("(")) {
      if (Peek(1).IsOp("+") && Peek(2).IsOp(")")) {
        Next(); Next(); Next();
        e->outerJoin = true;
        return e;
      }
      if (quoted || e->path.size() > 1) Fail(904, t);
      Next();
      e->kind = ExprKind::Function;
      e->text = e->path[0];
      e->path.clear();
      if (AcceptOp(")")) {
        // no arguments
      } else if (AcceptOp("*")) {
        e->star = true;
        ExpectClose();
      } else {
        if (AcceptWord("DISTINCT") || AcceptWord("UNIQUE")) e->distinct = true;
        else AcceptWord("ALL");
        do e->args.push_back(Value());
        while (AcceptOp(","));
        NullsTreatment();
        if (Peek().IsWord("ON") && Peek(1).IsWord("OVERFLOW")) Overflow();
        ExpectClose();
      }
      NullsTreatment();
      if (Peek().IsWord("WITHIN") && Peek(1).IsWord("GROUP")) {
        Next();
        Next();
        if (!AcceptOp("(")) Fail(906, Peek());
        if (!AcceptWord("ORDER") || !AcceptWord("BY")) Fail(924, Peek());
        e->withinGroup = true;
        OrderItems(e->withinOrder);
        ExpectClose();
      }
    }
    if (e->kind == ExprKind::Function && Peek().IsWord("OVER") && Peek(1).IsOp("(")) {
      Next();
      Next();
      e->over = std::make_unique<Window>();
      if (AcceptWord("PARTITION")) {
        if (!AcceptWord("BY")) Fail(924, Peek());
        do e->over->partition.push_back(Value());
        while (AcceptOp(","));
      }
      if (AcceptWord("ORDER")) {
        if (!AcceptWord("BY")) Fail(924, Peek());
        OrderItems(e->over->order);
        if (Peek().IsWord("ROWS") || Peek().IsWord("RANGE")) e->over->frame = Frame();
      }
      ExpectClose();
    }
    return e;
  }

  // IGNORE NULLS / RESPECT NULLS of FIRST_VALUE, LAG and the like.
  void NullsTreatment() {
    if ((Peek().IsWord("IGNORE") || Peek().IsWord("RESPECT")) && Peek(1).IsWord("NULLS")) {
      Next();
      Next();
    }
  }

  // ON OVERFLOW ERROR | TRUNCATE ['indicator'] [WITH|WITHOUT COUNT] of LISTAGG.
  void Overflow() {
    Next();
    Next();
    if (AcceptWord("ERROR")) return;
    if (!AcceptWord("TRUNCATE")) Fail(907, Peek());
    if (Peek().kind == Tok::String) Next();
    if (AcceptWord("WITH") || AcceptWord("WITHOUT")) {
      if (!AcceptWord("COUNT")) Fail(907, Peek());
    }
  }

  void OrderItems(std::vector<OrderItem>& out) {
    do {
      OrderItem item;
      item.expr = Value();
      if (AcceptWord("DESC")) item.desc = true;
      else AcceptWord("ASC");
      if (AcceptWord("NULLS")) {
        if (AcceptWord("FIRST")) item.nulls = 1;
        else if (AcceptWord("LAST")) item.nulls = 2;
        else Fail(933, Peek());
      }
      out.push_back(std::move(item));
    } while (AcceptOp(","));
  }

  // ROWS|RANGE bound, or BETWEEN bound AND bound; bounds UNBOUNDED
  // PRECEDING|FOLLOWING, CURRENT ROW, n PRECEDING|FOLLOWING.
  std::string Frame() {
    std::string frame = Next().text;
    auto bound = [&] {
      if (AcceptWord("UNBOUNDED")) {
        if (AcceptWord("PRECEDING")) return std::string(" UNBOUNDED PRECEDING");
        if (AcceptWord("FOLLOWING")) return std::string(" UNBOUNDED FOLLOWING");
        Fail(907, Peek());
      }
      if (AcceptWord("CURRENT")) {
        if (!AcceptWord("ROW")) Fail(907, Peek());
        return std::string(" CURRENT ROW");
      }
      if (Peek().kind != Tok::Number) Fail(907, Peek());
      std::string n = " " + Next().text;
      if (AcceptWord("PRECEDING")) return n + " PRECEDING";
      if (AcceptWord("FOLLOWING")) return n + " FOLLOWING";
      Fail(907, Peek());
    };
    if (AcceptWord("BETWEEN")) {
      frame += " BETWEEN" + bound();
      if (!AcceptWord("AND")) Fail(905, Peek());
      return frame + " AND" + bound();
    }
    return frame + bound();
  }

  ExprPtr CastOrExtract() {
    const Token& name = Next();
    ExprPtr e = Make(name.text == "CAST" ? ExprKind::Cast : ExprKind::Extract, name.offset);
    Next();
    if (e->kind == ExprKind::Cast) {
      e->args.push_back(Value());
      if (!AcceptWord("AS")) Fail(905, Peek());
      e->castType = DataType();
    } else {
      static const char* const kFields[] = {"YEAR", "MONTH", "DAY", "HOUR", "MINUTE", "SECOND"};
      for (const char* f : kFields)
        if (Peek().IsWord(f)) e->text = f;
      if (e->text.empty()) Fail(907, Peek());
      Next();
      if (!AcceptWord("FROM")) Fail(923, Peek());
      e->args.push_back(Value());
    }
    ExpectClose();
    return e;
  }

  ExprPtr Case() {
    ExprPtr e = Make(ExprKind::Case, Next().offset);
    if (!Peek().IsWord("WHEN")) {
      e->hasOperand = true;
      e->args.push_back(Value());
    }
    if (!Peek().IsWord("WHEN")) Fail(905, Peek());
    while (AcceptWord("WHEN")) {
      e->args.push_back(e->hasOperand ? Value() : Condition());
      if (!AcceptWord("THEN")) Fail(905, Peek());
      e->args.push_back(Value());
    }
    if (AcceptWord("ELSE")) {
      e->hasElse = true;
      e->args.push_back(Value());
    }
    if (!AcceptWord("END")) Fail(905, Peek());
    return e;
  }

  const std::string& sql_;
  std::vector<Token> toks_;
  size_t pos_ = 0;
  int depth_ = 0;

  // Bounds the recursion of nested expressions and subqueries, so that a
  // hostile text is refused instead of exhausting the stack.
  struct Nesting {
    explicit Nesting(Parser& p) : parser(p) {
      if (++parser.depth_ > kMaxNesting) throw ETooDeep(907, OraMessage(907), parser.Peek().offset);
    }
    ~Nesting() { --parser.depth_; }
    Parser& parser;
  };
  static constexpr int kMaxNesting = 400;
};

}  // namespace

Query ParseQuery(const std::string& sql) { return Parser(sql).Statement(); }

}  // namespace oraemu::sel
