#include "engine/select_parser.h"

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
        q.orderBy.push_back(std::move(item));
      } while (AcceptOp(","));
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
      do b.groupBy.push_back(Value());
      while (AcceptOp(","));
    }
    if (AcceptWord("HAVING")) b.having = Condition();
    return b;
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
      else if (Peek().IsWord("LEFT")) {
        Next();
        AcceptWord("OUTER");
        if (!AcceptWord("JOIN")) Fail(905, Peek());
        kind = JoinKind::Left;
      } else if (Peek().IsWord("RIGHT") || Peek().IsWord("FULL") || Peek().IsWord("NATURAL")) {
        Fail(3001, at);
      } else {
        break;
      }
      FromItem f = TableRef(kind);
      if (kind != JoinKind::Cross) {
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
    } else {
      if (!IsName(Peek())) Fail(903, Peek());
      f.name.push_back(Next().text);
      if (AcceptOp(".")) {
        if (!IsName(Peek())) Fail(903, Peek());
        f.name.push_back(Next().text);
      }
    }
    if (Peek().IsWord("AS")) Fail(933, Peek());
    if (IsName(Peek())) f.alias = Next().text;
    return f;
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
    if (length >= kMaxNesting) Fail(907, Peek());
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
      if (AcceptOp(")")) return e;
      if (AcceptOp("*")) {
        e->star = true;
        ExpectClose();
        return e;
      }
      if (AcceptWord("DISTINCT") || AcceptWord("UNIQUE")) e->distinct = true;
      else AcceptWord("ALL");
      do e->args.push_back(Value());
      while (AcceptOp(","));
      ExpectClose();
    }
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
      if (++parser.depth_ > kMaxNesting) parser.Fail(907, parser.Peek());
    }
    ~Nesting() { --parser.depth_; }
    Parser& parser;
  };
  static constexpr int kMaxNesting = 400;
};

}  // namespace

Query ParseQuery(const std::string& sql) { return Parser(sql).Statement(); }

}  // namespace oraemu::sel
