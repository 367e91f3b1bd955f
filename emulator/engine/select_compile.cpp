#include "engine/select_compile.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <set>

#include "engine/dictionary_views.h"
#include "engine/errors.h"
#include "engine/select_parser.h"
#include "engine/select_types.h"

namespace oraemu::sel {

namespace {

// One FROM item as the query block sees it.
struct Source {
  std::string alias;             // empty when none was given
  std::string owner;             // of a dictionary view (SYS)
  std::string name;              // object name as written
  const dict::View* view = nullptr;
  std::vector<ColumnDesc> cols;
  std::string subSql;            // inline view
  std::string sqlAlias;          // unique name in the SQLite text
  std::vector<bool> used;        // view columns the statement reads
  JoinKind join = JoinKind::Comma;
  const Expr* on = nullptr;
  std::string onSql;
  bool outer = false;            // outer-joined through (+)
  std::vector<std::string> outerConds;
  std::set<size_t> deps;         // sources its (+) conditions read
  int offset = 0;
};

struct Scope {
  std::vector<Source> sources;
  Scope* parent = nullptr;
};

// State of compiling one condition or select-list item.
struct Ctx {
  explicit Ctx(Scope* s) : scope(s) {}
  Scope* scope;
  bool outerAllowed = false;  // (+) may appear (a WHERE conjunct of a comma join)
  bool ansi = false;
  int orDepth = 0;
  std::set<size_t> marked;    // sources of `scope` carrying (+)
  std::set<size_t> touched;   // sources of `scope` read
  bool aggregateAllowed = false;
  bool rownumAllowed = false;  // ROWNUM as a select-list value
  int aggDepth = 0;
  bool sawAggregate = false;
  std::vector<std::string> bare;  // column references outside group functions
};

std::string Qualified(const std::vector<std::string>& path) {
  std::string out;
  for (size_t i = 0; i < path.size(); ++i) out += (i ? "." : "") + QuotedIdent(path[i]);
  return out;
}

// Oracle names an unaliased expression by its text: upper case, blanks
// removed outside quotes.
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

// A whole number too long for SQLite to hold exactly stays decimal text,
// as the storage keeps such numbers: it then comes back and compares exact.
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

class Compiler {
 public:
  explicit Compiler(RelationSource* relations) : relations_(relations) {}

  CompiledQuery Run(const Query& q) {
    Out out = QuerySql(q, nullptr);
    CompiledQuery c;
    c.sql = std::move(out.sql);
    c.columns = std::move(out.cols);
    c.binds = binds_;
    c.reusable = reusable_;
    return c;
  }

 private:
  struct Out {
    std::string sql;
    std::vector<ColumnDesc> cols;
    std::vector<std::string> itemSql;
  };

  // ---- queries ----

  // The WITH clauses in force: each level with how many of its tables the
  // query being compiled may see (a table sees only those before it).
  struct WithLevel {
    const std::vector<CommonTable>* tables;
    size_t visible;
  };

  Out QuerySql(const Query& q, Scope* parent) {
    if (q.with.empty()) return SetQuery(q, parent);
    withs_.push_back({&q.with, q.with.size()});
    Out out = SetQuery(q, parent);
    withs_.pop_back();
    return out;
  }

  // The named subquery `name` compiled as an inline view, or false.
  bool CommonTableSource(const std::string& name, Source& s) {
    for (size_t level = withs_.size(); level-- > 0;) {
      const WithLevel& w = withs_[level];
      for (size_t i = 0; i < w.visible; ++i) {
        const CommonTable& t = (*w.tables)[i];
        if (t.name != name) continue;
        std::vector<WithLevel> saved = withs_;
        withs_.resize(level + 1);
        withs_.back().visible = i;
        Out inner = QuerySql(*t.query, nullptr);
        withs_ = std::move(saved);
        if (!t.columns.empty()) {
          if (t.columns.size() != inner.cols.size()) Raise(32038, t.offset);
          for (size_t k = 0; k < t.columns.size(); ++k) inner.cols[k].name = t.columns[k];
        }
        s.subSql = std::move(inner.sql);
        s.cols = std::move(inner.cols);
        s.name = name;
        return true;
      }
    }
    return false;
  }

  Out SetQuery(const Query& q, Scope* parent) {
    if (q.blocks.size() == 1) return Block(q.blocks[0], parent, q.orderBy);
    std::vector<Out> outs;
    for (const QueryBlock& b : q.blocks) {
      outs.push_back(Block(b, parent, {}));
      // SQLite takes LIMIT only at the end of a compound query.
      if (outs.back().sql.find(" LIMIT ") != std::string::npos) outs.back().sql = "SELECT * FROM (" + outs.back().sql + ")";
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

  static size_t Position(const Expr& e, size_t count) {
    char* end = nullptr;
    long k = std::strtol(e.text.c_str(), &end, 10);
    if (*end != '\0' || k < 1 || static_cast<size_t>(k) > count) Raise(1785, e.offset);
    return static_cast<size_t>(k);
  }

  static std::string Direction(const OrderItem& o) {
    bool nullsFirst = o.nulls == 1 || (o.nulls == 0 && o.desc);
    return std::string(o.desc ? " DESC" : " ASC") + (nullsFirst ? " NULLS FIRST" : " NULLS LAST");
  }

  Out Block(const QueryBlock& b, Scope* parent, const std::vector<OrderItem>& orderBy) {
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
      if (f.sub) {
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
    bool aggregated = !b.groupBy.empty() || b.having;
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
      Typed t = Value(*item.expr, c);
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
      CheckGrouped(c.bare, groupSql, b.groupBy.empty(), b.having->offset);
    }

    std::vector<std::string> order;
    for (const OrderItem& o : orderBy) order.push_back(OrderTerm(o, scope, out, b.distinct, aggregated, groupSql));

    if (aggregated) {
      for (size_t i = 0; i < out.itemSql.size(); ++i) {
        if (groupSql.count(out.itemSql[i])) continue;
        CheckGrouped(itemBare[i], groupSql, b.groupBy.empty(), itemOffset[i]);
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
    out.sql = std::move(sql);
    return out;
  }

  // "ROWNUM <= n", "ROWNUM < n", "ROWNUM = n" (and mirrored) with a whole
  // number n: Oracle numbers rows as they are produced, before any sort, so
  // the first n rows of the result are an answer it may give.
  static bool RownumLimit(const Expr& e, std::optional<long long>& limit) {
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

  static void CheckGrouped(const std::vector<std::string>& bare, const std::set<std::string>& groupSql,
                           bool noGroupBy, int offset) {
    for (const std::string& col : bare)
      if (!groupSql.count(col)) Raise(noGroupBy ? 937 : 979, offset);
  }

  std::string OrderTerm(const OrderItem& o, Scope& scope, const Out& out, bool distinct, bool aggregated,
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

  // ---- FROM ----

  static bool Matches(const Source& s, const std::vector<std::string>& qualifier) {
    if (!s.alias.empty()) return qualifier.size() == 1 && qualifier[0] == s.alias;
    if (qualifier.size() == 1) return qualifier[0] == s.name;
    return qualifier.size() == 2 && qualifier[0] == s.owner && qualifier[1] == s.name;
  }

  static std::string SourceSql(const Source& s) {
    if (!s.view) return "(" + s.subSql + ") AS " + s.sqlAlias;
    std::string sql = "(SELECT ";
    bool any = false;
    for (size_t k = 0; k < s.cols.size(); ++k) {
      if (!s.used[k]) continue;
      sql += (any ? ", " : "") + s.view->columns[k].expr + " AS c" + std::to_string(k);
      any = true;
    }
    if (!any) sql += "1 AS c";
    return sql + " " + s.view->from + ") AS " + s.sqlAlias;
  }

  static std::string FromSql(Scope& scope, bool ansi, std::vector<std::string>& where) {
    std::vector<Source>& src = scope.sources;
    if (ansi) {
      std::string sql = SourceSql(src[0]);
      for (size_t i = 1; i < src.size(); ++i) {
        switch (src[i].join) {
          case JoinKind::Comma: sql += ", " + SourceSql(src[i]); break;
          case JoinKind::Cross: sql += " CROSS JOIN " + SourceSql(src[i]); break;
          case JoinKind::Inner: sql += " JOIN " + SourceSql(src[i]) + " ON " + src[i].onSql; break;
          case JoinKind::Left: sql += " LEFT JOIN " + SourceSql(src[i]) + " ON " + src[i].onSql; break;
        }
      }
      return sql;
    }
    std::vector<size_t> inner, outer;
    for (size_t i = 0; i < src.size(); ++i) (src[i].outer ? outer : inner).push_back(i);
    if (inner.empty()) {
      // Every table is marked: the first one that needs no other is the
      // driving table and its conditions are plain filters.
      auto it = std::find_if(outer.begin(), outer.end(), [&](size_t i) { return src[i].deps.empty(); });
      if (it == outer.end()) Raise(1416, src[outer[0]].offset);
      Source& s = src[*it];
      s.outer = false;
      where.insert(where.end(), s.outerConds.begin(), s.outerConds.end());
      inner.push_back(*it);
      outer.erase(it);
    }
    std::string sql;
    std::set<size_t> placed;
    for (size_t i : inner) {
      sql += (placed.empty() ? "" : ", ") + SourceSql(src[i]);
      placed.insert(i);
    }
    while (!outer.empty()) {
      auto it = std::find_if(outer.begin(), outer.end(), [&](size_t i) {
        return std::includes(placed.begin(), placed.end(), src[i].deps.begin(), src[i].deps.end());
      });
      if (it == outer.end()) Raise(1416, src[outer[0]].offset);
      const Source& s = src[*it];
      sql += " LEFT JOIN " + SourceSql(s) + " ON " + Join(s.outerConds, " AND ");
      placed.insert(*it);
      outer.erase(it);
    }
    return sql;
  }

  // ---- names ----

  static bool Hidden(const Source& s, size_t k) { return s.view && s.view->columns[k].hidden; }

  Typed ColumnOf(Source& s, size_t k) {
    s.used[k] = true;
    Typed t;
    t.sql = s.sqlAlias + ".c" + std::to_string(k);
    t.desc = s.cols[k];
    if (s.outer) t.desc.nullable = true;
    t.type = TypeOf(t.desc);
    t.source = &s;
    if (s.view && !s.view->columns[k].lookup.empty()) {
      const dict::ViewColumn& vc = s.view->columns[k];
      for (size_t key = 0; key < s.cols.size(); ++key) {
        if (s.cols[key].name != vc.lookupKey) continue;
        s.used[key] = true;
        t.lookupKey = s.sqlAlias + ".c" + std::to_string(key);
        t.lookup = vc.lookup;
        t.lookupUnique = vc.lookupUnique;
      }
    }
    return t;
  }

  // "a = b" where `a` is a looked-up name also gets "key IN (lookup of b)",
  // which SQLite can answer by index.
  static std::string WithLookup(const std::string& cond, const Typed& a, const Typed& b) {
    for (const auto& [name, other] : {std::pair{&a, &b}, std::pair{&b, &a}}) {
      if (name->lookup.empty() || other->source == name->source || other->type == VT::Null) continue;
      if (!other->source && !other->literal && other->type != VT::Any) continue;
      std::string lookup = name->lookup;
      lookup.replace(lookup.find("{}"), 2, other->sql);
      // SQLite prefers an equality to an IN list when both could lead.
      return "(" + cond + " AND " + name->lookupKey + (name->lookupUnique ? " = (" : " IN (") + lookup + "))";
    }
    return cond;
  }

  Typed Column(const Expr& e, Ctx& c) {
    const std::vector<std::string>& p = e.path;
    if (p.size() > 3) Raise(904, e.offset, {Qualified(p)});
    std::vector<std::string> qualifier(p.begin(), p.end() - 1);
    const std::string& col = p.back();
    for (Scope* scope = c.scope; scope; scope = scope->parent) {
      size_t hitSource = 0, hitColumn = 0, hits = 0;
      bool qualifierFound = false;
      for (size_t i = 0; i < scope->sources.size(); ++i) {
        Source& s = scope->sources[i];
        if (!qualifier.empty()) {
          if (!Matches(s, qualifier)) continue;
          if (qualifierFound) Raise(918, e.offset);
          qualifierFound = true;
        }
        for (size_t k = 0; k < s.cols.size(); ++k) {
          if (s.cols[k].name != col || Hidden(s, k)) continue;
          ++hits;
          hitSource = i;
          hitColumn = k;
          break;
        }
      }
      if (hits > 1) Raise(918, e.offset);
      if (hits == 0) {
        if (qualifierFound) Raise(904, e.offset, {Qualified(p)});
        continue;
      }
      bool local = scope == c.scope;
      if (e.outerJoin) {
        if (!c.outerAllowed || !local) Raise(c.ansi ? 25156 : 30563, e.offset);
        if (c.orDepth > 0) Raise(1719, e.offset);
        c.marked.insert(hitSource);
      }
      if (local) c.touched.insert(hitSource);
      Typed t = ColumnOf(scope->sources[hitSource], hitColumn);
      if (c.aggDepth == 0) c.bare.push_back(t.sql);
      return t;
    }
    Raise(904, e.offset, {Qualified(p)});
  }

  std::string Param(const std::string& name) {
    auto it = std::find(binds_.begin(), binds_.end(), name);
    size_t index = it - binds_.begin();
    if (it == binds_.end()) binds_.push_back(name);
    return "?" + std::to_string(kFirstBindParam + index);
  }

  // ---- expressions ----

  Typed Value(const Expr& e, Ctx& c) {
    Typed t = Expression(e, c);
    if (t.type == VT::Bool) Raise(907, e.offset);
    return t;
  }

  Typed Cond(const Expr& e, Ctx& c) {
    Typed t = Expression(e, c);
    if (t.type != VT::Bool) Raise(920, e.offset);
    return t;
  }

  // Compiles `e` as a value that a comparison may use.
  Typed Operand(const Expr& e, Ctx& c) {
    Typed t = Value(e, c);
    RejectLong(t, e.offset);
    return t;
  }

  Out Subquery(const Query& q, Ctx& c, bool singleColumn) {
    Out out = QuerySql(q, c.scope);
    if (singleColumn && out.cols.size() != 1) Raise(913, q.offset);
    return out;
  }

  Typed Expression(const Expr& e, Ctx& c) {
    Typed t;
    switch (e.kind) {
      case ExprKind::Null:
        t.sql = "NULL";
        t.type = VT::Null;
        t.desc = VarcharDesc(0);
        return t;
      case ExprKind::String:
        t.sql = Quote(e.text);
        t.type = VT::Char;
        t.desc = CharDesc(static_cast<int>(e.text.size()));
        t.literal = true;
        t.value = e.text;
        return t;
      case ExprKind::Number:
        t.sql = NumberLiteral(e.text);
        t.type = VT::Number;
        t.desc = NumberDesc();
        return t;
      case ExprKind::Bind:
        t.sql = Param(e.text);
        t.type = VT::Any;
        t.desc = VarcharDesc(4000);
        return t;
      case ExprKind::Pseudo:
        if (e.text == "USER") {
          t.sql = "?" + std::to_string(kUserNameParam);
          t.type = VT::Char;
          t.desc = VarcharDesc(128);
        } else if (e.text == "UID") {
          t.sql = "?" + std::to_string(kUserIdParam);
          t.type = VT::Number;
          t.desc = NumberDesc();
        } else if (e.text == "SYSDATE") {
          t.sql = "datetime('now', 'localtime')";
          t.type = VT::Date;
          t.desc = DateDesc();
        } else if (c.rownumAllowed) {
          t.sql = "row_number() OVER ()";
          t.type = VT::Number;
          t.desc = NumberDesc();
        } else {
          Raise(3001, e.offset);
        }
        t.desc.nullable = false;
        return t;
      case ExprKind::Column:
        return Column(e, c);
      case ExprKind::Function: {
        bool aggregate = IsAggregate(e.text);
        if (aggregate) {
          if (!c.aggregateAllowed) Raise(934, e.offset);
          c.sawAggregate = true;
          ++c.aggDepth;
        }
        std::vector<Typed> args;
        for (const ExprPtr& a : e.args) args.push_back(Value(*a, c));
        if (aggregate) --c.aggDepth;
        return CompileFunction(e.text, std::move(args), e.star, e.distinct, e.offset);
      }
      case ExprKind::Negate: {
        Typed a = Operand(*e.args[0], c);
        t.sql = "(-" + AsNumber(a) + ")";
        t.type = VT::Number;
        t.desc = NumberDesc();
        return t;
      }
      case ExprKind::Arith: {
        Typed a = Operand(*e.args[0], c), b = Operand(*e.args[1], c);
        if (e.op == "||") {
          t.sql = "NULLIF(ifnull(" + AsText(a) + ", '') || ifnull(" + AsText(b) + ", ''), '')";
          t.type = VT::Char;
          int size = (a.type == VT::Number ? 40 : a.desc.size) + (b.type == VT::Number ? 40 : b.desc.size);
          t.desc = VarcharDesc(std::min(size, 32767));
          return t;
        }
        // Oracle divides exactly; SQLite would truncate two integers.
        std::string left = e.op == "/" ? "CAST(" + AsNumber(a) + " AS REAL)" : AsNumber(a);
        t.sql = "(" + left + " " + e.op + " " + AsNumber(b) + ")";
        t.type = VT::Number;
        t.desc = NumberDesc();
        return t;
      }
      case ExprKind::Compare: {
        Typed a = Operand(*e.args[0], c), b = Operand(*e.args[1], c);
        Unify(a, b);
        std::string cond = "(" + a.sql + " " + e.op + " " + b.sql + ")";
        return Bool(e.op == "=" ? WithLookup(cond, a, b) : cond);
      }
      case ExprKind::And:
      case ExprKind::Or: {
        if (e.kind == ExprKind::Or) ++c.orDepth;
        Typed a = Cond(*e.args[0], c), b = Cond(*e.args[1], c);
        if (e.kind == ExprKind::Or) --c.orDepth;
        return Bool("(" + a.sql + (e.kind == ExprKind::And ? " AND " : " OR ") + b.sql + ")");
      }
      case ExprKind::Not:
        return Bool("(NOT " + Cond(*e.args[0], c).sql + ")");
      case ExprKind::IsNull: {
        Typed a = Value(*e.args[0], c);
        return Bool("(" + a.sql + (e.negated ? " IS NOT NULL)" : " IS NULL)"));
      }
      case ExprKind::Like: {
        std::string sql = "ora_like(";
        for (size_t i = 0; i < e.args.size(); ++i) sql += (i ? ", " : "") + AsText(Operand(*e.args[i], c));
        sql += ")";
        return Bool(e.negated ? "(NOT " + sql + ")" : sql);
      }
      case ExprKind::InList: {
        ++c.orDepth;
        Typed a = Operand(*e.args[0], c);
        std::vector<Typed> items;
        bool numeric = a.type == VT::Number;
        for (size_t i = 1; i < e.args.size(); ++i) {
          items.push_back(Operand(*e.args[i], c));
          numeric = numeric || items.back().type == VT::Number;
        }
        --c.orDepth;
        std::string sql = "(" + (numeric ? AsNumber(a) : a.sql) + (e.negated ? " NOT IN (" : " IN (");
        for (size_t i = 0; i < items.size(); ++i) sql += (i ? ", " : "") + (numeric ? AsNumber(items[i]) : items[i].sql);
        return Bool(sql + "))");
      }
      case ExprKind::InQuery: {
        Typed a = Operand(*e.args[0], c);
        Out sub = Subquery(*e.sub, c, true);
        return Bool("(" + a.sql + (e.negated ? " NOT IN (" : " IN (") + sub.sql + "))");
      }
      case ExprKind::Between: {
        Typed a = Operand(*e.args[0], c), lo = Operand(*e.args[1], c), hi = Operand(*e.args[2], c);
        Typed a2 = a;
        Unify(a, lo);
        Unify(a2, hi);
        std::string value = a.type == VT::Number || lo.type == VT::Number || hi.type == VT::Number ? AsNumber(a) : a.sql;
        return Bool("(" + value + (e.negated ? " NOT BETWEEN " : " BETWEEN ") + lo.sql + " AND " + hi.sql + ")");
      }
      case ExprKind::Exists:
        return Bool("(EXISTS (" + Subquery(*e.sub, c, false).sql + "))");
      case ExprKind::Subquery: {
        Out sub = Subquery(*e.sub, c, true);
        t.sql = "(" + sub.sql + ")";
        t.desc = sub.cols[0];
        t.desc.nullable = true;
        t.type = TypeOf(t.desc);
        return t;
      }
      case ExprKind::Case:
        return Case(e, c);
    }
    Raise(936, e.offset);
  }

  Typed Case(const Expr& e, Ctx& c) {
    size_t i = 0;
    Typed operand;
    if (e.hasOperand) operand = Operand(*e.args[i++], c);
    std::vector<std::pair<Typed, Typed>> arms;
    size_t end = e.args.size() - (e.hasElse ? 1 : 0);
    for (; i < end; i += 2) {
      Typed when = e.hasOperand ? Operand(*e.args[i], c) : Cond(*e.args[i], c);
      arms.emplace_back(std::move(when), Value(*e.args[i + 1], c));
    }
    Typed otherwise;
    if (e.hasElse) otherwise = Value(*e.args.back(), c);
    VT type = VT::Null;
    int size = 0;
    for (auto& arm : arms) {
      if (type == VT::Null) type = arm.second.type;
      size = std::max<int>(size, arm.second.type == VT::Number ? 40 : arm.second.desc.size);
    }
    if (type == VT::Null) type = otherwise.type;
    if (type == VT::Null || type == VT::Any) type = VT::Char;
    size = std::max<int>(size, otherwise.desc.size);
    auto convert = [&](const Typed& v) { return type == VT::Number ? AsNumber(v) : type == VT::Char ? AsText(v) : v.sql; };
    std::string sql = "CASE";
    for (auto& [when, then] : arms) {
      std::string test = when.sql;
      if (e.hasOperand) {
        Typed a = operand, b = when;
        Unify(a, b);
        test = "(" + a.sql + " = " + b.sql + ")";
      }
      sql += " WHEN " + test + " THEN " + convert(then);
    }
    if (e.hasElse) sql += " ELSE " + convert(otherwise);
    Typed t;
    t.sql = sql + " END";
    t.type = type;
    t.desc = type == VT::Number ? NumberDesc() : type == VT::Date ? DateDesc() : VarcharDesc(size);
    return t;
  }

  // A user's table (which holds no rows: the server keeps no data) or view
  // (whose query is compiled in its place).
  void UserRelation(const FromItem& f, Source& s) {
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
    Query q;
    try {
      q = ParseQuery(r->viewText);
    } catch (const OraError&) {
      Raise(4063, f.offset, {"view \"" + r->owner + "\".\"" + s.name + "\""});
    }
    std::vector<WithLevel> saved = std::move(withs_);
    withs_.clear();
    Out inner = QuerySql(q, nullptr);
    withs_ = std::move(saved);
    --viewDepth_;
    if (inner.cols.size() == s.cols.size()) {
      for (size_t k = 0; k < s.cols.size(); ++k) inner.cols[k].name = s.cols[k].name;
    }
    s.cols = std::move(inner.cols);
    s.subSql = std::move(inner.sql);
  }

  static constexpr int kMaxViewDepth = 32;
  RelationSource* relations_;
  bool reusable_ = true;
  int viewDepth_ = 0;
  std::vector<std::string> binds_;
  std::vector<WithLevel> withs_;
  int aliasCounter_ = 0;
};

}  // namespace

CompiledQuery Compile(const Query& query, RelationSource* relations) { return Compiler(relations).Run(query); }

}  // namespace oraemu::sel
