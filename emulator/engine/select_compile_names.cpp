// Name resolution of the translator: FROM items, columns, bind variables.
#include <algorithm>

#include "engine/errors.h"
#include "engine/select_compiler.h"

namespace oraemu::sel::detail {

bool Compiler::Matches(const Source& s, const std::vector<std::string>& qualifier) {
  if (!s.alias.empty()) return qualifier.size() == 1 && qualifier[0] == s.alias;
  if (qualifier.size() == 1) return qualifier[0] == s.name;
  return qualifier.size() == 2 && qualifier[0] == s.owner && qualifier[1] == s.name;
}

std::string Compiler::SourceSql(const Source& s) {
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

std::string Compiler::FromSql(Scope& scope, bool ansi, std::vector<std::string>& where) {
  std::vector<Source>& src = scope.sources;
  if (ansi) {
    std::string sql = SourceSql(src[0]);
    for (size_t i = 1; i < src.size(); ++i) {
      switch (src[i].join) {
        case JoinKind::Comma: sql += ", " + SourceSql(src[i]); break;
        case JoinKind::Cross: sql += " CROSS JOIN " + SourceSql(src[i]); break;
        case JoinKind::Inner: sql += " JOIN " + SourceSql(src[i]) + " ON " + src[i].onSql; break;
        case JoinKind::Left: sql += " LEFT JOIN " + SourceSql(src[i]) + " ON " + src[i].onSql; break;
        case JoinKind::Right: sql += " RIGHT JOIN " + SourceSql(src[i]) + " ON " + src[i].onSql; break;
        case JoinKind::Full: sql += " FULL JOIN " + SourceSql(src[i]) + " ON " + src[i].onSql; break;
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

bool Compiler::Hidden(const Source& s, size_t k) {
  return (s.view && s.view->columns[k].hidden) || (k < s.merged.size() && s.merged[k]);
}

void Compiler::UsingJoin(const FromItem& f, Scope& scope, Source& s) {
  std::vector<std::string> names = f.usingCols;
  if (f.natural) {
    for (size_t k = 0; k < s.cols.size(); ++k) {
      if (Hidden(s, k)) continue;
      for (size_t i = 0; i < scope.sources.size(); ++i)
        for (size_t j = 0; j < scope.sources[i].cols.size(); ++j)
          if (!Hidden(scope.sources[i], j) && scope.sources[i].cols[j].name == s.cols[k].name &&
              std::find(names.begin(), names.end(), s.cols[k].name) == names.end())
            names.push_back(s.cols[k].name);
    }
  }
  std::vector<std::string> conds;
  for (const std::string& name : names) {
    size_t left = 0, leftCol = 0, hits = 0;
    for (size_t i = 0; i < scope.sources.size(); ++i)
      for (size_t j = 0; j < scope.sources[i].cols.size(); ++j)
        if (!Hidden(scope.sources[i], j) && scope.sources[i].cols[j].name == name) {
          left = i, leftCol = j;
          ++hits;
        }
    if (hits > 1) Raise(918, f.offset);
    size_t right = s.cols.size();
    for (size_t k = 0; k < s.cols.size(); ++k)
      if (!Hidden(s, k) && s.cols[k].name == name) right = k;
    if (hits == 0 || right == s.cols.size()) Raise(904, f.offset, {QuotedIdent(name)});
    Typed a = ColumnOf(scope.sources[left], leftCol);
    Typed b = ColumnOf(s, right);
    Unify(a, b);
    conds.push_back("(" + a.sql + " = " + b.sql + ")");
    s.merged[right] = true;
    s.usingNames.insert(name);
    scope.sources[left].usingNames.insert(name);
  }
  s.onSql = conds.empty() ? "1" : Join(conds, " AND ");
}

void Compiler::JsonTableSource(const FromItem& f, Scope& scope, Source& s) {
  Ctx c(&scope);
  Operand(*f.jsonInput, c);
  std::string sql = "SELECT ";
  for (size_t k = 0; k < f.jsonColumns.size(); ++k) {
    const JsonColumn& jc = f.jsonColumns[k];
    for (size_t j = 0; j < k; ++j)
      if (f.jsonColumns[j].name == jc.name) Raise(957, jc.offset);
    ColumnDesc d = DescOf(jc.type);
    d.name = jc.name;
    s.cols.push_back(d);
    sql += (k ? ", " : "") + std::string("NULL AS c") + std::to_string(k);
  }
  s.subSql = sql + " WHERE 0";
  s.name = "JSON_TABLE";
  // Rows come from parsing the input, which this engine does not do.
  Unsupported(f.offset);
}

Typed Compiler::ColumnOf(Source& s, size_t k) {
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

std::string Compiler::WithLookup(const std::string& cond, const Typed& a, const Typed& b) {
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

Typed Compiler::Column(const Expr& e, Ctx& c) {
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
        if (s.usingNames.count(col)) Raise(25154, e.offset);
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

std::string Compiler::Param(const std::string& name) {
  auto it = std::find(binds_.begin(), binds_.end(), name);
  size_t index = it - binds_.begin();
  if (it == binds_.end()) binds_.push_back(name);
  return "?" + std::to_string(kFirstBindParam + index);
}

}  // namespace oraemu::sel::detail
