#include "engine/ddl_constraint.h"

#include <algorithm>

#include "engine/ddl_expression.h"
#include "engine/ddl_index.h"
#include "engine/ddl_statements.h"
#include "engine/ddl_types.h"
#include "engine/errors.h"

namespace oraemu {

namespace {

// The condition inside "( ... )", its text exactly as written.
std::string ParseCondition(Parser& p, std::vector<ExprColumn>& columns) {
  p.ExpectSymbol("(");
  const int start = p.Peek().offset;
  columns = ParseDdlExpression(p, ExprUse::kCheck).columns;
  const Token close = p.Peek();
  if (!close.IsSymbol(")")) p.Fail(907, close);
  p.Next();
  return p.Text(start, close.offset);
}

void ParseReferences(Parser& p, ConstraintSpec& c) {
  c.refTable = p.ReadQualified(903);
  if (p.Peek().IsSymbol("(")) c.refColumns = ParseColumnList(p);
  if (p.Accept("ON")) {
    p.Expect("DELETE");
    if (p.Accept("CASCADE")) {
      c.deleteRule = "CASCADE";
    } else {
      p.Expect("SET");
      p.Expect("NULL");
      c.deleteRule = "SET NULL";
    }
  }
}

// Words that go on a constraint after USING INDEX without naming an index.
bool IsIndexClauseWord(const Token& t) {
  static const char* const words[] = {"TABLESPACE", "PCTFREE", "PCTUSED", "INITRANS", "MAXTRANS", "STORAGE",
                                      "LOGGING", "NOLOGGING", "COMPUTE", "COMPRESS", "NOCOMPRESS", "SORT",
                                      "NOSORT", "REVERSE", "NOREVERSE", "LOCAL", "GLOBAL", "ONLINE", "PARALLEL",
                                      "NOPARALLEL", "VISIBLE", "INVISIBLE", "ENABLE", "DISABLE", "VALIDATE",
                                      "NOVALIDATE", "DEFERRABLE", "NOT", "INITIALLY", "RELY", "NORELY",
                                      "USING", "EXCEPTIONS", "CONSTRAINT", "PRIMARY", "UNIQUE", "CHECK",
                                      "REFERENCES", "NULL", "FOREIGN"};
  for (const char* w : words)
    if (t.Is(w)) return true;
  return false;
}

// USING INDEX [name | (CREATE INDEX ...) | attributes]; USING NO INDEX.
void ParseUsingIndex(Parser& p, ConstraintSpec& c) {
  c.usingIndexOffset = p.Next().offset;
  if (p.Accept("NO")) {
    p.Expect("INDEX");
    return;
  }
  p.Expect("INDEX");
  const Token& t = p.Peek();
  if (t.IsSymbol("(")) {
    const int open = t.offset;
    p.SkipParens();
    std::string inner = p.Text(open + 1, p.Peek().offset);
    inner.erase(inner.find_last_of(')'));
    c.usingIndexCreate = inner;
    c.usingIndexOffset = open + 1;
  } else if (t.kind == Token::Kind::QuotedIdent || (t.kind == Token::Kind::Word && !IsIndexClauseWord(t))) {
    c.usingIndex = p.ReadQualified();
  }
  while (AcceptPhysicalAttribute(p)) {
  }
}

void ParseState(Parser& p, ConstraintSpec& c) {
  for (;;) {
    if (p.Accept("ENABLE")) {
      c.status = "ENABLED";
    } else if (p.Accept("DISABLE")) {
      c.status = "DISABLED";
      c.validated = "NOT VALIDATED";
    } else if (p.Peek().Is("NOT") && p.Peek(1).Is("DEFERRABLE")) {
      p.Next();
      p.Next();
      c.deferrable = "NOT DEFERRABLE";
    } else if (p.Accept("DEFERRABLE")) {
      c.deferrable = "DEFERRABLE";
    } else if (p.Accept("INITIALLY")) {
      if (p.Accept("DEFERRED")) c.deferred = "DEFERRED";
      else p.Expect("IMMEDIATE");
    } else if (p.Accept("VALIDATE")) {
      c.validated = "VALIDATED";
    } else if (p.Accept("NOVALIDATE")) {
      c.validated = "NOT VALIDATED";
    } else if (p.Accept("RELY") || p.Accept("NORELY")) {
    } else if (p.Peek().Is("USING")) {
      ParseUsingIndex(p, c);
    } else if (p.Accept("EXCEPTIONS")) {
      p.Expect("INTO");
      p.ReadQualified(903);
    } else {
      break;
    }
  }
  if (c.deferred == "DEFERRED" && c.deferrable == "NOT DEFERRABLE") Raise(2447, c.offset);
}

// DATA_DEFAULT keeps the expression as written, up to the next token of
// the column definition (blanks and line ends in between included).
std::string ParseDefault(Parser& p) {
  const int start = p.Peek().offset;
  ParseDdlExpression(p, ExprUse::kDefault);
  return p.Text(start, p.Peek().offset);
}

// The column's type derived from its expression when a virtual column is
// declared without one: character when it joins texts or names only
// character columns, the named column's own type for a bare column, else NUMBER.
void ParseGenerated(Parser& p, ColumnSpec& col) {
  const Token at = p.Peek();
  std::string generation = "ALWAYS";
  bool onNull = false;
  if (p.Accept("GENERATED")) {
    if (p.Accept("BY")) {
      p.Expect("DEFAULT");
      generation = "BY DEFAULT";
      if (p.Accept("ON")) {
        p.Expect("NULL");
        onNull = true;
      }
    } else {
      p.Accept("ALWAYS");
    }
    p.Expect("AS");
    if (generation != "ALWAYS" || p.Peek().Is("IDENTITY")) {
      p.Expect("IDENTITY");
      if (!col.typed) p.Fail(2263, at);
      IdentitySpec id;
      id.generation = generation;
      id.onNull = onNull;
      id.offset = at.offset;
      if (p.Peek().IsSymbol("(")) {
        const int open = p.Peek().offset;
        p.SkipParens();
        std::string inner = p.Text(open + 1, p.Peek().offset);
        inner.erase(inner.find_last_of(')'));
        id.options = inner;
      }
      col.identity = id;
      return;
    }
  } else {
    p.Expect("AS");
  }
  p.ExpectSymbol("(");
  ParsedExpr e = ParseDdlExpression(p, ExprUse::kVirtual);
  p.ExpectSymbol(")");
  p.Accept("VIRTUAL");
  col.row.virtualColumn = true;
  col.row.defaultText = e.normalised;
  col.virtualColumns = e.columns;
  col.virtualConcatenates = e.normalised.find("||") != std::string::npos;
}

// The index a USING INDEX clause names or creates; it must be the table's and
// lead with the key's columns.
int64_t NamedKeyIndex(DdlContext& ctx, const ObjectRow& table, const ConstraintSpec& spec,
                      const std::vector<std::string>& keyColumns) {
  QualifiedName name;
  if (spec.usingIndex) {
    name = *spec.usingIndex;
  } else {
    // The statement inside the parentheses runs as it would on its own; its
    // errors point into the enclosing statement.
    const std::string& text = spec.usingIndexCreate;
    try {
      Parser head(text);
      head.Expect("CREATE");
      const bool unique = head.Accept("UNIQUE");
      head.Expect("INDEX");
      name = head.ReadQualified();
      Parser body(text);
      body.Next();
      if (unique) body.Next();
      body.Next();
      CreateIndex(ctx, body, unique);
    } catch (const EOraError& e) {
      throw EOraError(e.code(), e.what(), e.offset() + spec.usingIndexOffset);
    }
    name.offset += spec.usingIndexOffset;
  }
  const int owner = name.owner.empty() ? table.ownerId : ResolveOwner(ctx, name, false, 1418);
  auto index = FindObject(ctx.storage, owner, name.name, kNsIndex);
  if (!index) Raise(1418, name.offset);
  for (const auto& ix : TableIndexes(ctx.storage, table.id)) {
    if (ix.id != index->id) continue;
    if (ix.columns.size() < keyColumns.size()) break;
    std::vector<std::string> lead(ix.columns.begin(), ix.columns.begin() + keyColumns.size());
    if (SameColumnSet(lead, keyColumns)) return ix.id;
    break;
  }
  Raise(14196, name.offset);
}

}  // namespace

bool AcceptPhysicalAttribute(Parser& p) {
  const Token& t = p.Peek();
  if (t.Is("TABLESPACE")) {
    p.Next();
    if (!p.Accept("DEFAULT")) p.ReadIdent();
    return true;
  }
  for (const char* numbered : {"PCTFREE", "PCTUSED", "INITRANS", "MAXTRANS", "PCTTHRESHOLD", "CHUNK", "PCTVERSION",
                               "FREEPOOLS"}) {
    if (!t.Is(numbered)) continue;
    p.Next();
    if (p.Peek().kind != Token::Kind::Number) p.FailHere(922);
    p.Next();
    return true;
  }
  if (t.Is("STORAGE")) {
    p.Next();
    if (!p.Peek().IsSymbol("(")) p.FailHere(906);
    p.SkipParens();
    return true;
  }
  if (t.Is("COMPUTE")) {
    p.Next();
    p.Expect("STATISTICS");
    return true;
  }
  if (t.Is("COMPRESS")) {
    p.Next();
    if (p.Peek().kind == Token::Kind::Number || p.Accept("BASIC") || p.Accept("ADVANCED") || p.Accept("HIGH") ||
        p.Accept("MEDIUM") || p.Accept("LOW")) {
      if (p.Peek().kind == Token::Kind::Number) p.Next();
    } else if (p.Accept("FOR")) {
      if (!(p.Accept("OLTP") || p.Accept("ALL") || p.Accept("DIRECT_LOAD"))) {
        if (!p.Accept("QUERY")) p.Expect("ARCHIVE", 922);
        if (!p.Accept("LOW")) p.Accept("HIGH");
      }
      p.Accept("OPERATIONS");
    }
    return true;
  }
  if (t.Is("ROW") && p.Peek(1).Is("STORE")) {
    p.Next();
    p.Next();
    p.Expect("COMPRESS", 922);
    if (!p.Accept("BASIC")) p.Accept("ADVANCED");
    return true;
  }
  if ((t.Is("ENABLE") || t.Is("DISABLE")) && p.Peek(1).Is("STORAGE")) {
    p.Next();
    p.Next();
    p.Expect("IN", 922);
    p.Expect("ROW", 922);
    return true;
  }
  if (t.Is("CACHE")) {
    p.Next();
    p.Accept("READS");
    return true;
  }
  if (t.Is("PARALLEL")) {
    p.Next();
    if (p.Peek().kind == Token::Kind::Number) p.Next();
    return true;
  }
  if (t.Is("RETENTION")) {
    p.Next();
    if (p.Accept("MIN")) {
      if (p.Peek().kind != Token::Kind::Number) p.FailHere(922);
      p.Next();
    } else if (!(p.Accept("MAX") || p.Accept("AUTO"))) {
      p.Accept("NONE");
    }
    return true;
  }
  for (const char* word : {"LOGGING", "NOLOGGING", "FILESYSTEM_LIKE_LOGGING", "NOCOMPRESS", "NOCACHE", "NOPARALLEL",
                           "MONITORING", "NOMONITORING", "SORT", "NOSORT", "DEDUPLICATE", "KEEP_DUPLICATES",
                           "NOROWDEPENDENCIES", "ROWDEPENDENCIES"}) {
    if (t.Is(word)) {
      p.Next();
      return true;
    }
  }
  return false;
}

std::vector<ColumnRef> ParseColumnList(Parser& p) {
  p.ExpectSymbol("(");
  std::vector<ColumnRef> cols;
  do {
    Ident id = p.ReadIdent();
    cols.push_back({id.name, id.offset});
  } while (p.AcceptSymbol(","));
  p.ExpectSymbol(")");
  return cols;
}

bool AtTableConstraint(Parser& p) {
  const Token& t = p.Peek();
  return t.Is("CONSTRAINT") || t.Is("PRIMARY") || t.Is("UNIQUE") || t.Is("CHECK") || t.Is("FOREIGN");
}

ConstraintSpec ParseTableConstraint(Parser& p) {
  ConstraintSpec c;
  c.offset = p.Peek().offset;
  if (p.Accept("CONSTRAINT")) c.name = p.ReadIdent();
  if (p.Accept("PRIMARY")) {
    p.Expect("KEY");
    c.type = 'P';
    c.columns = ParseColumnList(p);
  } else if (p.Accept("UNIQUE")) {
    c.type = 'U';
    c.columns = ParseColumnList(p);
  } else if (p.Accept("CHECK")) {
    c.type = 'C';
    c.condition = ParseCondition(p, c.conditionColumns);
  } else if (p.Accept("FOREIGN")) {
    p.Expect("KEY");
    c.type = 'R';
    c.columns = ParseColumnList(p);
    p.Expect("REFERENCES");
    ParseReferences(p, c);
  } else {
    p.FailHere(904);
  }
  ParseState(p, c);
  return c;
}

ColumnSpec ParseColumnDef(Parser& p, int missingTypeCode) {
  ColumnSpec col;
  col.name = p.ReadIdent();
  col.row.name = col.name.name;
  const Token& next = p.Peek();
  if (next.IsEnd() || next.IsSymbol(",") || next.IsSymbol(")")) p.FailHere(missingTypeCode);
  if (next.Is("GENERATED") || next.Is("AS")) col.typed = false;
  else ParseDataType(p, col.row);
  if (p.Accept("DEFAULT")) col.row.defaultText = ParseDefault(p);
  if (p.Peek().Is("GENERATED") || p.Peek().Is("AS")) ParseGenerated(p, col);
  for (;;) {
    ConstraintSpec c;
    c.offset = p.Peek().offset;
    if (p.Accept("CONSTRAINT")) c.name = p.ReadIdent();
    if (p.Peek().Is("NOT") && p.Peek(1).Is("NULL")) {
      p.Next();
      p.Next();
      c.type = 'N';
    } else if (!c.name && p.Accept("NULL")) {
      continue;
    } else if (p.Accept("PRIMARY")) {
      p.Expect("KEY");
      c.type = 'P';
    } else if (p.Accept("UNIQUE")) {
      c.type = 'U';
    } else if (p.Accept("CHECK")) {
      c.type = 'C';
      c.condition = ParseCondition(p, c.conditionColumns);
      // A column's own check may name no other column.
      for (const auto& ref : c.conditionColumns)
        if (ref.name != col.name.name) Raise(2438, ref.offset);
    } else if (p.Accept("REFERENCES")) {
      c.type = 'R';
      ParseReferences(p, c);
    } else if (c.name) {
      p.FailHere(904);
    } else {
      break;
    }
    if (c.type != 'C') c.columns.push_back({col.name.name, col.name.offset});
    ParseState(p, c);
    col.constraints.push_back(std::move(c));
  }
  return col;
}

void ApplyConstraint(DdlContext& ctx, const ObjectRow& table, const ConstraintSpec& spec) {
  Storage& s = ctx.storage;
  const int owner = table.ownerId;
  if (spec.name && ConstraintNameUsed(s, owner, spec.name->name)) Raise(2264, spec.name->offset);

  std::vector<std::string> names;
  for (const auto& c : spec.columns) {
    if (!FindColumn(s, table.id, c.name)) Raise(904, c.offset, {QuotedIdent(c.name)});
    if (std::find(names.begin(), names.end(), c.name) != names.end()) Raise(957, c.offset);
    names.push_back(c.name);
  }
  const auto existing = TableConstraints(s, table.id);
  std::string type(1, spec.type);
  std::optional<std::string> condition;
  std::optional<std::string> deleteRule;
  std::optional<int64_t> indexId;
  std::optional<int64_t> rConId;
  bool keyed = true;

  int64_t conId = s.NextConstraintId();
  std::string name = spec.name ? spec.name->name : SystemConstraintName(conId);
  // A user may have taken a system-style name already; skip past it.
  while (!spec.name && (ConstraintNameUsed(s, owner, name) || FindObject(s, owner, name, kNsIndex))) {
    conId = s.NextConstraintId();
    name = SystemConstraintName(conId);
  }

  switch (spec.type) {
    case 'N': {
      type = "C";
      keyed = false;
      condition = QuotedIdent(names.front()) + " IS NOT NULL";
      auto q = s.Query("UPDATE columns SET nullable = 'N' WHERE obj_id = ?1 AND name = ?2");
      q.Bind(1, table.id).Bind(2, names.front());
      q.Run();
      break;
    }
    case 'C': {
      keyed = false;
      condition = spec.condition;
      // The columns a check names are its constraint columns (no position).
      for (const auto& ref : spec.conditionColumns) {
        if (!FindColumn(s, table.id, ref.name)) Raise(904, ref.offset, {QuotedIdent(ref.name)});
        if (std::find(names.begin(), names.end(), ref.name) == names.end()) names.push_back(ref.name);
      }
      break;
    }
    case 'P':
    case 'U': {
      for (const auto& c : spec.columns) RequireIndexable(FindColumn(s, table.id, c.name)->dataType, c.offset);
      for (const auto& e : existing) {
        if (spec.type == 'P' && e.type == "P") Raise(2260, spec.offset);
        if ((e.type == "P" || e.type == "U") && SameColumnSet(e.columns, names)) Raise(2261, spec.offset);
      }
      if (spec.usingIndex || !spec.usingIndexCreate.empty()) {
        indexId = NamedKeyIndex(ctx, table, spec, names);
      } else if (spec.status == "ENABLED") {
        // An index whose leading columns are the key's enforces it; else one is made.
        for (const auto& ix : TableIndexes(s, table.id)) {
          if (ix.columns.size() < names.size()) continue;
          std::vector<std::string> lead(ix.columns.begin(), ix.columns.begin() + names.size());
          if (SameColumnSet(lead, names) && (!indexId || ix.columns == names)) indexId = ix.id;
        }
      }
      // A disabled key has no index, as in Oracle.
      if (!indexId && spec.status == "ENABLED") {
        if (FindObject(s, owner, name, kNsIndex)) Raise(955, spec.name ? spec.name->offset : spec.offset);
        for (const auto& ix : TableIndexes(s, table.id))
          if (ix.columns == names) Raise(1408, spec.offset);
        indexId = InsertIndex(s, owner, name, table.id, true, !spec.name, names);
      }
      if (spec.type == 'P') {
        for (const auto& n : names) {
          auto q = s.Query("UPDATE columns SET nullable = 'N' WHERE obj_id = ?1 AND name = ?2");
          q.Bind(1, table.id).Bind(2, n);
          q.Run();
        }
      }
      break;
    }
    case 'R': {
      ObjectRow ref = RequireTable(ctx, spec.refTable);
      RequireAccess(ctx, ref, {"REFERENCES"}, spec.refTable.offset);
      const auto refCons = TableConstraints(s, ref.id);
      std::vector<std::string> refNames;
      if (spec.refColumns.empty()) {
        auto pk = std::find_if(refCons.begin(), refCons.end(), [](const ConstraintRow& r) { return r.type == "P"; });
        if (pk == refCons.end()) Raise(2268, spec.refTable.offset);
        refNames = pk->columns;
      } else {
        for (const auto& c : spec.refColumns) {
          if (!FindColumn(s, ref.id, c.name)) Raise(904, c.offset, {QuotedIdent(c.name)});
          refNames.push_back(c.name);
        }
      }
      if (refNames.size() != names.size()) Raise(2256, spec.offset);
      auto key = std::find_if(refCons.begin(), refCons.end(), [&](const ConstraintRow& r) {
        return (r.type == "P" || r.type == "U") && SameColumnSet(r.columns, refNames);
      });
      if (key == refCons.end()) Raise(2270, spec.offset);
      // Columns pair up in the order of the referenced key.
      std::vector<std::string> ordered(names.size());
      for (size_t i = 0; i < names.size(); ++i) {
        size_t at = std::find(key->columns.begin(), key->columns.end(), refNames[i]) - key->columns.begin();
        ordered[at] = names[i];
        auto mine = FindColumn(s, table.id, names[i]);
        auto theirs = FindColumn(s, ref.id, refNames[i]);
        if (mine->dataType != theirs->dataType) Raise(2267, spec.columns[i].offset);
      }
      names = ordered;
      for (const auto& e : existing)
        if (e.type == "R" && e.rConId == key->id && e.columns == names) Raise(2275, spec.offset);
      rConId = key->id;
      deleteRule = spec.deleteRule;
      break;
    }
    default:
      Raise(904, spec.offset, {""});
  }

  auto q = s.Query("INSERT INTO constraints (con_id, owner_id, name, table_obj_id, type, search_condition, r_con_id, "
                   "delete_rule, status, deferrable_state, deferred_state, validated, generated, index_obj_id, last_change) "
                   "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)");
  q.Bind(1, conId).Bind(2, owner).Bind(3, name).Bind(4, table.id).Bind(5, type).Bind(6, condition);
  if (rConId) q.Bind(7, *rConId); else q.BindNull(7);
  q.Bind(8, deleteRule).Bind(9, spec.status).Bind(10, spec.deferrable).Bind(11, spec.deferred);
  q.Bind(12, spec.validated).Bind(13, std::string(spec.name ? "USER NAME" : "GENERATED NAME"));
  if (indexId) q.Bind(14, *indexId); else q.BindNull(14);
  q.Bind(15, Storage::Now());
  q.Run();
  for (size_t i = 0; i < names.size(); ++i) {
    auto c = s.Query("INSERT INTO constraint_columns (con_id, column_name, position) VALUES (?1, ?2, ?3)");
    c.Bind(1, conId).Bind(2, names[i]);
    if (keyed) c.Bind(3, static_cast<int64_t>(i + 1)); else c.BindNull(3);
    c.Run();
  }
}

}  // namespace oraemu
