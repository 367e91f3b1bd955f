#include "engine/ddl_index.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "engine/catalog.h"
#include "engine/ddl_codes.h"
#include "engine/ddl_constraint.h"
#include "engine/ddl_expression.h"
#include "engine/ddl_statements.h"
#include "engine/errors.h"

namespace oraemu {

std::vector<IndexRow> TableIndexes(Storage& s, int64_t tableId) {
  auto q = s.Query("SELECT i.obj_id, o.name, i.uniqueness FROM indexes i JOIN objects o ON o.obj_id = i.obj_id "
                   "WHERE i.table_obj_id = ?1 ORDER BY i.obj_id");
  q.Bind(1, tableId);
  std::vector<IndexRow> out;
  while (q.Step()) out.push_back({q.Int(0), q.Text(1), q.Text(2), {}});
  for (auto& ix : out) {
    auto c = s.Query("SELECT column_name FROM index_columns WHERE index_obj_id = ?1 ORDER BY position");
    c.Bind(1, ix.id);
    while (c.Step()) ix.columns.push_back(c.Text(0));
  }
  return out;
}

std::vector<ConstraintRow> TableConstraints(Storage& s, int64_t tableId) {
  auto q = s.Query("SELECT con_id, name, type, r_con_id, index_obj_id FROM constraints WHERE table_obj_id = ?1 "
                   "ORDER BY con_id");
  q.Bind(1, tableId);
  std::vector<ConstraintRow> out;
  while (q.Step()) {
    ConstraintRow r;
    r.id = q.Int(0);
    r.name = q.Text(1);
    r.type = q.Text(2);
    if (!q.IsNull(3)) r.rConId = q.Int(3);
    if (!q.IsNull(4)) r.indexId = q.Int(4);
    out.push_back(std::move(r));
  }
  for (auto& r : out) {
    auto c = s.Query("SELECT column_name FROM constraint_columns WHERE con_id = ?1 ORDER BY position, column_name");
    c.Bind(1, r.id);
    while (c.Step()) r.columns.push_back(c.Text(0));
  }
  return out;
}

int64_t InsertIndex(Storage& s, int ownerId, const std::string& name, int64_t tableId, bool unique,
                    bool generated, const std::vector<std::string>& columns) {
  int64_t id = InsertObject(s, ownerId, name, kObjIndex, kNsIndex);
  auto q = s.Query("INSERT INTO indexes (obj_id, table_obj_id, uniqueness, generated) VALUES (?1, ?2, ?3, ?4)");
  q.Bind(1, id).Bind(2, tableId).Bind(3, std::string(unique ? "UNIQUE" : "NONUNIQUE"))
      .Bind(4, std::string(generated ? "Y" : "N"));
  q.Run();
  for (size_t i = 0; i < columns.size(); ++i) {
    auto c = s.Query("INSERT INTO index_columns (index_obj_id, position, column_name) VALUES (?1, ?2, ?3)");
    c.Bind(1, id).Bind(2, static_cast<int64_t>(i + 1)).Bind(3, columns[i]);
    c.Run();
  }
  return id;
}

bool ConstraintNameUsed(Storage& s, int ownerId, const std::string& name) {
  auto q = s.Query("SELECT 1 FROM constraints WHERE owner_id = ?1 AND name = ?2");
  q.Bind(1, ownerId).Bind(2, name);
  return q.Step();
}

void RequireIndexable(const std::string& dataType, int offset) {
  if (dataType == "CLOB" || dataType == "NCLOB" || dataType == "BLOB" || dataType == "BFILE")
    Raise(2327, offset, {"LOB"});
  if (dataType == "LONG" || dataType == "LONG RAW") Raise(997, offset);
}

bool SameColumnSet(std::vector<std::string> a, std::vector<std::string> b) {
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
}

namespace {

// One key of an index as written: a column, or an expression (a column
// with DESC counts as one) that Oracle keeps in a hidden virtual column.
struct IndexKey {
  ParsedExpr expr;
  bool descending = false;
  bool Plain() const { return expr.plainColumn && !descending; }
  // What makes two keys the same key.
  std::string Identity() const {
    return Plain() ? expr.columns.front().name : "(" + expr.normalised + ")" + (descending ? " DESC" : "");
  }
};

std::vector<IndexKey> ParseIndexKeys(Parser& p) {
  p.ExpectSymbol("(");
  std::vector<IndexKey> keys;
  do {
    IndexKey k;
    k.expr = ParseDdlExpression(p, ExprUse::kIndex);
    if (p.Accept("DESC")) k.descending = true;
    else p.Accept("ASC");
    keys.push_back(std::move(k));
  } while (p.AcceptSymbol(","));
  p.ExpectSymbol(")");
  return keys;
}

// The keys of a stored index, as Identity() writes them.
std::vector<std::string> StoredKeys(Storage& s, int64_t indexId) {
  auto q = s.Query("SELECT ic.column_name, ic.descend, c.default_text, c.column_id FROM index_columns ic "
                   "JOIN indexes i ON i.obj_id = ic.index_obj_id "
                   "LEFT JOIN columns c ON c.obj_id = i.table_obj_id AND c.name = ic.column_name "
                   "WHERE ic.index_obj_id = ?1 ORDER BY ic.position");
  q.Bind(1, indexId);
  std::vector<std::string> out;
  while (q.Step()) {
    const bool hidden = !q.IsNull(3) && q.Int(3) >= kHiddenColumnBase;
    out.push_back(hidden ? "(" + q.Text(2) + ")" + (q.Text(1) == "DESC" ? " DESC" : "") : q.Text(0));
  }
  return out;
}

// The type Oracle gives an expression's hidden column, as near as the
// expression's outer function and first column tell it.
ColumnRow HiddenColumnType(const IndexKey& key, const std::vector<ColumnRow>& columns) {
  const ColumnRow* first = nullptr;
  for (const auto& c : columns)
    if (!key.expr.columns.empty() && c.name == key.expr.columns.front().name) first = &c;
  ColumnRow row;
  if (key.expr.plainColumn && first) {
    row = *first;
  } else {
    const std::string& text = key.expr.normalised;
    const std::string function = text.substr(0, text.find('('));
    static const char* const textFunctions[] = {"UPPER", "LOWER", "INITCAP", "SUBSTR", "TRIM", "LTRIM", "RTRIM",
                                                "REPLACE", "TRANSLATE", "LPAD", "RPAD", "NVL", "CONCAT",
                                                "TO_CHAR", "NLS_UPPER", "NLS_LOWER"};
    bool textual = std::find(std::begin(textFunctions), std::end(textFunctions), function) != std::end(textFunctions);
    bool character = first && first->charUsed.has_value();
    if (textual || text.find("||") != std::string::npos) {
      row.dataType = character ? first->dataType : "VARCHAR2";
      row.dataLength = character ? first->dataLength : 4000;
      row.charUsed = character ? first->charUsed : std::optional<std::string>("B");
      row.charLength = character ? first->charLength : 4000;
    } else if (first && first->dataType == "DATE" && (function == "TRUNC" || function == "ROUND")) {
      row.dataType = "DATE";
      row.dataLength = 7;
    } else {
      row.dataType = "NUMBER";
      row.dataLength = 22;
    }
  }
  row.nullable = "Y";
  row.comments.reset();
  row.defaultText = key.expr.normalised;
  return row;
}

// SYS_NC<5 digits of the internal column number>$.
std::string HiddenColumnName(int internalId) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "SYS_NC%05d$", internalId);
  return buf;
}

}  // namespace

uint16_t CreateIndex(DdlContext& ctx, Parser& p, bool unique) {
  QualifiedName name = p.ReadQualified();
  p.Expect("ON", 969);
  QualifiedName table = p.ReadQualified(903);
  std::vector<IndexKey> keys = ParseIndexKeys(p);
  // Physical attributes change nothing here.
  while (AcceptPhysicalAttribute(p) || p.Accept("ONLINE") || p.Accept("VISIBLE") || p.Accept("INVISIBLE")) {
  }
  p.ExpectEnd(922);

  Storage& s = ctx.storage;
  int owner = ResolveOwner(ctx, name, true);
  ObjectRow t = RequireTable(ctx, table);
  if (FindObject(s, owner, name.name, kNsIndex)) Raise(955, name.offset);
  const std::vector<ColumnRow> columns = TableColumns(s, t.id);
  std::vector<std::string> identities;
  bool functionBased = false;
  for (const auto& k : keys) {
    for (const auto& ref : k.expr.columns) {
      auto column = std::find_if(columns.begin(), columns.end(), [&](const ColumnRow& c) { return c.name == ref.name; });
      if (column == columns.end()) Raise(904, ref.offset, {QuotedIdent(ref.name)});
      RequireIndexable(column->dataType, ref.offset);
    }
    if (std::find(identities.begin(), identities.end(), k.Identity()) != identities.end())
      Raise(957, k.expr.start);
    identities.push_back(k.Identity());
    functionBased = functionBased || !k.Plain();
  }
  for (const auto& ix : TableIndexes(s, t.id))
    if (StoredKeys(s, ix.id) == identities) Raise(1408, keys.front().expr.start);

  // Each expression gets the next internal column number of the table.
  int nextInternal = 1;
  {
    auto q = s.Query("SELECT max(CASE WHEN column_id >= ?2 THEN column_id - ?2 ELSE column_id END) FROM columns "
                     "WHERE obj_id = ?1");
    q.Bind(1, t.id).Bind(2, static_cast<int64_t>(kHiddenColumnBase));
    if (q.Step() && !q.IsNull(0)) nextInternal = static_cast<int>(q.Int(0)) + 1;
  }
  std::vector<std::string> names;
  std::vector<bool> descending;
  for (const auto& k : keys) {
    descending.push_back(k.descending);
    if (k.Plain()) {
      names.push_back(k.expr.columns.front().name);
      continue;
    }
    // A user's column may hold the name the number gives; skip past it.
    while (FindColumn(s, t.id, HiddenColumnName(nextInternal))) ++nextInternal;
    ColumnRow hidden = HiddenColumnType(k, columns);
    hidden.name = HiddenColumnName(nextInternal);
    hidden.columnId = kHiddenColumnBase + nextInternal++;
    InsertColumn(s, t.id, hidden);
    names.push_back(hidden.name);
  }
  int64_t id = InsertIndex(s, owner, name.name, t.id, unique, false, names);
  for (size_t i = 0; i < descending.size(); ++i) {
    if (!descending[i]) continue;
    auto u = s.Query("UPDATE index_columns SET descend = 'DESC' WHERE index_obj_id = ?1 AND position = ?2");
    u.Bind(1, id).Bind(2, static_cast<int64_t>(i + 1));
    u.Run();
  }
  if (functionBased) {
    auto u = s.Query("UPDATE indexes SET index_type = 'FUNCTION-BASED NORMAL' WHERE obj_id = ?1");
    u.Bind(1, id);
    u.Run();
  }
  return fncode::kCreateIndex;
}

uint16_t DropIndex(DdlContext& ctx, Parser& p) {
  QualifiedName name = p.ReadQualified();
  p.Accept("FORCE");
  p.ExpectEnd();
  int owner = ResolveOwner(ctx, name, false, 1418);
  auto ix = FindObject(ctx.storage, owner, name.name, kNsIndex);
  if (!ix) Raise(1418, name.offset);
  if (owner != ctx.userId && !IsPrivileged(ctx)) Raise(1031, name.offset);
  {
    auto q = ctx.storage.Query("SELECT 1 FROM constraints WHERE index_obj_id = ?1");
    q.Bind(1, ix->id);
    if (q.Step()) Raise(2429, name.offset);
  }
  // The hidden columns of its expressions go with the index.
  auto hidden = ctx.storage.Query("DELETE FROM columns WHERE column_id >= ?2 AND obj_id = (SELECT table_obj_id FROM "
                                  "indexes WHERE obj_id = ?1) AND name IN (SELECT column_name FROM index_columns "
                                  "WHERE index_obj_id = ?1)");
  hidden.Bind(1, ix->id).Bind(2, static_cast<int64_t>(kHiddenColumnBase));
  hidden.Run();
  DeleteObject(ctx.storage, ix->id);
  return fncode::kDropIndex;
}

}  // namespace oraemu
