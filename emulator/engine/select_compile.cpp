#include "engine/select_compile.h"

#include <algorithm>
#include <cstdlib>

#include "engine/errors.h"
#include "engine/select_compiler.h"
#include "engine/select_parser.h"

namespace oraemu::sel {

namespace detail {

std::string Qualified(const std::vector<std::string>& path) {
  std::string out;
  for (size_t i = 0; i < path.size(); ++i) out += (i ? "." : "") + QuotedIdent(path[i]);
  return out;
}

std::string DerivedName(const std::string& source) {
  std::string out;
  char quote = 0;
  for (char ch : source) {
    if (quote) {
      out += ch;
      if (ch == quote) quote = 0;
      continue;
    }
    if (ch == '\'' || ch == '"') {
      quote = ch;
      out += ch;
      continue;
    }
    if (static_cast<unsigned char>(ch) <= ' ') continue;
    out += (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 32) : ch;
  }
  if (out.size() > 128) out.resize(128);
  return out;
}

void Conjuncts(const Expr& e, std::vector<const Expr*>& out) {
  if (e.kind == ExprKind::And) {
    Conjuncts(*e.args[0], out);
    Conjuncts(*e.args[1], out);
  } else {
    out.push_back(&e);
  }
}

std::string NumberLiteral(const std::string& text) {
  if (text.find_first_not_of("0123456789") != std::string::npos) return text;
  size_t first = std::min(text.find_first_not_of('0'), text.size() - 1);
  std::string digits = text.substr(first);
  return digits.size() > 15 ? Quote(digits) : digits;
}

std::string Join(const std::vector<std::string>& parts, const char* sep) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) out += (i ? sep : "") + parts[i];
  return out;
}

Typed Bool(std::string sql) {
  Typed t;
  t.sql = std::move(sql);
  t.type = VT::Bool;
  return t;
}

// ---- queries and blocks ----

Compiler::Out Compiler::QuerySql(const Query& q, Scope* parent) {
  if (q.with.empty()) return SetQuery(q, parent);
  // Each table of the clause is compiled once, into the statement's own
  // WITH list, however often it is read: tables that read earlier ones
  // twice would otherwise grow the text exponentially.
  withs_.push_back(WithLevel{});
  for (const CommonTable& t : q.with) {
    long long outerWeight = expansion_;
    expansion_ = 0;
    Out inner = QuerySql(*t.query, nullptr);
    // SQLite copies a table's query into every place that reads it.
    long long weight = 1 + expansion_;
    expansion_ = outerWeight;
    if (weight > kMaxExpansion) Raise(3001, t.offset);
    if (!t.columns.empty()) {
      if (t.columns.size() != inner.cols.size()) Raise(32038, t.offset);
      for (size_t k = 0; k < t.columns.size(); ++k) inner.cols[k].name = t.columns[k];
    }
    std::string sqlName = "w" + std::to_string(commonTables_.size() + 1);
    commonTables_.push_back(sqlName + " AS (" + inner.sql + ")");
    withs_.back().tables.push_back(WithTable{t.name, sqlName, std::move(inner.cols), weight});
  }
  Out out = SetQuery(q, parent);
  withs_.pop_back();
  return out;
}

bool Compiler::CommonTableSource(const std::string& name, Source& s) {
  for (size_t level = withs_.size(); level-- > 0;) {
    for (const WithTable& t : withs_[level].tables) {
      if (t.name != name) continue;
      expansion_ += t.weight;
      if (expansion_ > kMaxExpansion) Raise(3001, s.offset);
      s.subSql = "SELECT * FROM " + t.sqlName;
      s.cols = t.cols;
      s.name = name;
      return true;
    }
  }
  return false;
}

Compiler::Out Compiler::SetQuery(const Query& q, Scope* parent) {
  if (q.blocks.size() == 1) return Block(q.blocks[0], parent, q.orderBy);
  std::vector<Out> outs;
  for (const QueryBlock& b : q.blocks) {
    outs.push_back(Block(b, parent, {}));
    // SQLite takes LIMIT only at the end of a compound query.
    if (outs.back().limited) outs.back().sql = "SELECT * FROM (" + outs.back().sql + ")";
  }
  Out out;
  out.cols = outs[0].cols;
  out.sql = outs[0].sql;
  for (size_t i = 1; i < outs.size(); ++i) {
    if (outs[i].cols.size() != out.cols.size()) Raise(1789, q.blocks[i].offset);
    for (size_t k = 0; k < out.cols.size(); ++k) {
      VT a = TypeOf(out.cols[k]), b = TypeOf(outs[i].cols[k]);
      bool aNull = out.cols[k].size == 0 && a == VT::Char, bNull = outs[i].cols[k].size == 0 && b == VT::Char;
      if (a != b && !aNull && !bNull) Raise(1790, q.blocks[i].offset);
      out.cols[k].size = std::max(out.cols[k].size, outs[i].cols[k].size);
      out.cols[k].nullable = out.cols[k].nullable || outs[i].cols[k].nullable;
    }
    const std::string& op = q.setOps[i - 1];
    out.sql += " " + (op == "MINUS" ? std::string("EXCEPT") : op) + " " + outs[i].sql;
  }
  for (size_t k = 0; k < out.cols.size(); ++k) out.itemSql.push_back("c" + std::to_string(k));
  std::vector<std::string> order;
  for (const OrderItem& o : q.orderBy) {
    const Expr& e = *o.expr;
    size_t pos = 0;
    if (e.kind == ExprKind::Number) {
      pos = Position(e, out.cols.size());
    } else if (e.kind == ExprKind::Column && e.path.size() == 1) {
      for (size_t k = 0; k < out.cols.size() && !pos; ++k)
        if (out.cols[k].name == e.path[0]) pos = k + 1;
      if (!pos) Raise(904, e.offset, {Qualified(e.path)});
    } else {
      Raise(1785, e.offset);
    }
    if (TypeOf(out.cols[pos - 1]) == VT::Long) Raise(997, e.offset);
    order.push_back(std::to_string(pos) + Direction(o));
  }
  if (!order.empty()) out.sql += " ORDER BY " + Join(order, ", ");
  return out;
}

size_t Compiler::Position(const Expr& e, size_t count) {
  char* end = nullptr;
  long k = std::strtol(e.text.c_str(), &end, 10);
  if (*end != '\0' || k < 1 || static_cast<size_t>(k) > count) Raise(1785, e.offset);
  return static_cast<size_t>(k);
}

std::string Compiler::Direction(const OrderItem& o) {
  bool nullsFirst = o.nulls == 1 || (o.nulls == 0 && o.desc);
  return std::string(o.desc ? " DESC" : " ASC") + (nullsFirst ? " NULLS FIRST" : " NULLS LAST");
}

Compiler::Out Compiler::Block(const QueryBlock& b, Scope* parent, const std::vector<OrderItem>& orderBy) {
  Scope scope;
  scope.parent = parent;
  bool ansi = false;
  for (const FromItem& f : b.from) {
    Source s;
    s.offset = f.offset;
    s.alias = f.alias;
    s.join = f.join;
    s.on = f.on.get();
    s.sqlAlias = "s" + std::to_string(++aliasCounter_);
    if (f.join != JoinKind::Comma) ansi = true;
    if (f.jsonInput) {
      JsonTableSource(f, scope, s);
    } else if (f.sub) {
      Out inner = QuerySql(*f.sub, nullptr);
      s.subSql = std::move(inner.sql);
      s.cols = std::move(inner.cols);
    } else if (f.name.size() == 1 && CommonTableSource(f.name[0], s)) {
      // a table of a WITH clause
    } else if (!(s.view = dict::FindView(f.name.size() == 2 ? f.name[0] : std::string(), f.name.back()))) {
      UserRelation(f, s);
    } else {
      s.owner = s.view->owner;
      s.name = f.name.back();
      for (const dict::ViewColumn& vc : s.view->columns) s.cols.push_back(vc.desc);
    }
    s.used.assign(s.cols.size(), false);
    s.merged.assign(s.cols.size(), false);
    if (f.natural || !f.usingCols.empty()) UsingJoin(f, scope, s);
    scope.sources.push_back(std::move(s));
  }

  // WHERE: conjuncts carrying (+) become the ON conditions of the table
  // they mark.
  std::vector<std::string> where;
  std::optional<long long> limit;
  if (b.where) {
    std::vector<const Expr*> conj;
    Conjuncts(*b.where, conj);
    for (const Expr* e : conj) {
      if (RownumLimit(*e, limit)) continue;
      Ctx c(&scope);
      c.outerAllowed = !ansi;
      c.ansi = ansi;
      Typed t = Cond(*e, c);
      if (c.marked.empty()) {
        where.push_back(t.sql);
        continue;
      }
      if (c.marked.size() > 1) Raise(1468, e->offset);
      size_t target = *c.marked.begin();
      Source& s = scope.sources[target];
      s.outer = true;
      s.outerConds.push_back(t.sql);
      for (size_t d : c.touched)
        if (d != target) s.deps.insert(d);
    }
  }
  for (Source& s : scope.sources) {
    if (!s.on) continue;
    Ctx c(&scope);
    c.ansi = true;
    s.onSql = Cond(*s.on, c).sql;
  }

  Out out;
  bool aggregated = !b.groupBy.empty() || b.having || b.groupingSets;
  // Several groupings return rows in which the other groupings' columns are NULL.
  if (b.groupingSets) Unsupported(b.groupingOffset);
  std::vector<std::vector<std::string>> itemBare;
  std::vector<int> itemOffset;
  auto addItem = [&](Typed t, std::string name, std::vector<std::string> bare, int offset) {
    ColumnDesc d = t.desc;
    d.name = std::move(name);
    out.cols.push_back(d);
    out.itemSql.push_back(t.sql);
    itemBare.push_back(std::move(bare));
    itemOffset.push_back(offset);
  };
  for (const SelectItem& item : b.items) {
    if (item.star) {
      bool any = false;
      for (size_t i = 0; i < scope.sources.size(); ++i) {
        Source& s = scope.sources[i];
        if (!item.starPath.empty() && !Matches(s, item.starPath)) continue;
        any = true;
        for (size_t k = 0; k < s.cols.size(); ++k) {
          if (Hidden(s, k)) continue;
          Typed t = ColumnOf(s, k);
          addItem(t, s.cols[k].name, {t.sql}, item.offset);
        }
      }
      if (!any) Raise(904, item.offset, {Qualified(item.starPath)});
      continue;
    }
    Ctx c(&scope);
    c.aggregateAllowed = true;
    c.rownumAllowed = true;
    c.analyticAllowed = true;
    Typed t = Value(*item.expr, c);
    if (b.groupingSets) t.desc.nullable = true;
    if (c.sawAggregate) aggregated = true;
    std::string name = !item.alias.empty() ? item.alias
                       : item.expr->kind == ExprKind::Column ? t.desc.name
                                                             : DerivedName(item.expr->source);
    addItem(t, name, c.bare, item.offset);
  }

  std::set<std::string> groupSql;
  for (const ExprPtr& g : b.groupBy) {
    Ctx c(&scope);
    Typed t = Value(*g, c);
    RejectLong(t, g->offset);
    groupSql.insert(t.sql);
  }
  std::string having;
  if (b.having) {
    Ctx c(&scope);
    c.aggregateAllowed = true;
    having = Cond(*b.having, c).sql;
    CheckGrouped(c.bare, groupSql, b.groupBy.empty() && !b.groupingSets, b.having->offset);
  }

  std::vector<std::string> order;
  for (const OrderItem& o : orderBy) order.push_back(OrderTerm(o, scope, out, b.distinct, aggregated, groupSql));

  if (aggregated) {
    for (size_t i = 0; i < out.itemSql.size(); ++i) {
      if (groupSql.count(out.itemSql[i])) continue;
      CheckGrouped(itemBare[i], groupSql, b.groupBy.empty() && !b.groupingSets, itemOffset[i]);
    }
  }
  for (size_t i = 0; i < out.cols.size(); ++i)
    if (TypeOf(out.cols[i]) == VT::Long && (b.distinct || aggregated)) Raise(997, itemOffset[i]);

  // ROWNUM counts rows before grouping or DISTINCT; not done here.
  if (limit && (aggregated || b.distinct)) Raise(3001, b.offset);
  std::string sql = "SELECT ";
  if (b.distinct) sql += "DISTINCT ";
  for (size_t i = 0; i < out.itemSql.size(); ++i)
    sql += (i ? ", " : "") + out.itemSql[i] + " AS c" + std::to_string(i);
  sql += " FROM " + FromSql(scope, ansi, where);
  if (!where.empty()) sql += " WHERE " + Join(where, " AND ");
  if (!b.groupBy.empty()) sql += " GROUP BY " + Join({groupSql.begin(), groupSql.end()}, ", ");
  if (!having.empty()) sql += " HAVING " + having;
  if (!order.empty()) sql += " ORDER BY " + Join(order, ", ");
  if (limit) sql += " LIMIT " + std::to_string(*limit);
  out.limited = limit.has_value();
  out.sql = std::move(sql);
  return out;
}

bool Compiler::RownumLimit(const Expr& e, std::optional<long long>& limit) {
  if (e.kind != ExprKind::Compare) return false;
  const Expr* a = e.args[0].get();
  const Expr* b = e.args[1].get();
  std::string op = e.op;
  if (b->kind == ExprKind::Pseudo && b->text == "ROWNUM") {
    std::swap(a, b);
    if (op[0] == '<') op[0] = '>';
    else if (op[0] == '>') op[0] = '<';
  }
  if (a->kind != ExprKind::Pseudo || a->text != "ROWNUM" || b->kind != ExprKind::Number) return false;
  char* end = nullptr;
  long long n = std::strtoll(b->text.c_str(), &end, 10);
  if (*end != '\0') return false;
  long long rows;
  if (op == "<=") rows = n;
  else if (op == "<") rows = n - 1;
  else if (op == "=") rows = n == 1 ? 1 : 0;
  else if (op == ">") rows = n < 1 ? -1 : 0;
  else if (op == ">=") rows = n <= 1 ? -1 : 0;
  else return false;
  if (rows < 0) return true;  // holds for every row
  limit = std::min(limit.value_or(rows), std::max(rows, 0LL));
  return true;
}

void Compiler::CheckGrouped(const std::vector<std::string>& bare, const std::set<std::string>& groupSql,
                            bool noGroupBy, int offset) {
  for (const std::string& col : bare)
    if (!groupSql.count(col)) Raise(noGroupBy ? 937 : 979, offset);
}

std::string Compiler::OrderTerm(const OrderItem& o, Scope& scope, const Out& out, bool distinct, bool aggregated,
                                const std::set<std::string>& groupSql) {
  const Expr& e = *o.expr;
  std::string sql;
  VT type;
  if (e.kind == ExprKind::Number) {
    size_t k = Position(e, out.cols.size());
    sql = out.itemSql[k - 1];
    type = TypeOf(out.cols[k - 1]);
  } else {
    // An unqualified name matches a select-list column first.
    std::vector<size_t> matches;
    if (e.kind == ExprKind::Column && e.path.size() == 1 && !e.outerJoin)
      for (size_t i = 0; i < out.cols.size(); ++i)
        if (out.cols[i].name == e.path[0]) matches.push_back(i);
    if (!matches.empty()) {
      for (size_t i : matches)
        if (out.itemSql[i] != out.itemSql[matches[0]]) Raise(960, e.offset);
      sql = out.itemSql[matches[0]];
      type = TypeOf(out.cols[matches[0]]);
    } else {
      Ctx c(&scope);
      c.aggregateAllowed = true;
      c.analyticAllowed = true;
      Typed t = Value(e, c);
      sql = t.sql;
      type = t.type;
      if (distinct && std::find(out.itemSql.begin(), out.itemSql.end(), sql) == out.itemSql.end())
        Raise(1791, e.offset);
      if (aggregated && !groupSql.count(sql)) CheckGrouped(c.bare, groupSql, groupSql.empty(), e.offset);
    }
  }
  if (type == VT::Long) Raise(997, e.offset);
  // Numbers may be stored as decimal text; order them as numbers.
  if (type == VT::Number) sql = "CAST(" + sql + " AS NUMERIC)";
  return sql + Direction(o);
}

void Compiler::UserRelation(const FromItem& f, Source& s) {
  std::optional<Relation> r;
  if (relations_) r = relations_->Find(f.name.size() == 2 ? f.name[0] : std::string(), f.name.back());
  if (!r) Raise(942, f.offset);
  reusable_ = false;
  s.owner = r->owner;
  s.name = f.name.back();
  s.cols = r->columns;
  if (!r->isView) {
    std::string sql = "SELECT ";
    for (size_t k = 0; k < s.cols.size(); ++k) sql += (k ? ", " : "") + std::string("NULL AS c") + std::to_string(k);
    s.subSql = sql + " WHERE 0";
    return;
  }
  if (++viewDepth_ > kMaxViewDepth) Raise(1731, f.offset);
  // Views are compiled in place; views reading others several times would
  // make that work grow exponentially.
  if (++viewCopies_ > kMaxExpansion) Raise(3001, f.offset);
  Query q;
  try {
    q = ParseQuery(r->viewText);
  } catch (const EOraError&) {
    Raise(4063, f.offset, {"view \"" + r->owner + "\".\"" + s.name + "\""});
  }
  std::vector<WithLevel> saved = std::move(withs_);
  withs_.clear();  // a view's query sees no WITH tables of the statement
  const int unsupportedBefore = unsupported_;
  Out inner = QuerySql(q, nullptr);
  withs_ = std::move(saved);
  // What cannot run is reported where the statement names the view.
  if (unsupportedBefore < 0 && unsupported_ >= 0) unsupported_ = f.offset;
  --viewDepth_;
  if (inner.cols.size() == s.cols.size()) {
    for (size_t k = 0; k < s.cols.size(); ++k) inner.cols[k].name = s.cols[k].name;
  }
  s.cols = std::move(inner.cols);
  s.subSql = std::move(inner.sql);
}

}  // namespace detail

CompiledQuery Compile(const Query& query, RelationSource* relations) {
  return detail::Compiler(relations).Run(query);
}

}  // namespace oraemu::sel
