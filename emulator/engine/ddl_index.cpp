#include "engine/ddl_index.h"

#include <algorithm>

#include "engine/catalog.h"
#include "engine/ddl_codes.h"
#include "engine/ddl_constraint.h"
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

uint16_t CreateIndex(DdlContext& ctx, Parser& p, bool unique) {
  QualifiedName name = p.ReadQualified();
  p.Expect("ON", 969);
  QualifiedName table = p.ReadQualified(903);
  std::vector<ColumnRef> cols = ParseColumnList(p);
  // Physical attributes change nothing here.
  for (;;) {
    if (p.Accept("TABLESPACE")) {
      p.ReadIdent();
    } else if (p.Accept("COMPUTE")) {
      p.Expect("STATISTICS");
    } else if (!(p.Accept("LOGGING") || p.Accept("NOLOGGING") || p.Accept("ONLINE") || p.Accept("NOPARALLEL") ||
                 p.Accept("COMPRESS") || p.Accept("NOCOMPRESS"))) {
      break;
    }
  }
  p.ExpectEnd(922);

  int owner = ResolveOwner(ctx, name, true);
  ObjectRow t = RequireTable(ctx, table);
  if (FindObject(ctx.storage, owner, name.name, kNsIndex)) Raise(955, name.offset);
  std::vector<std::string> names;
  for (const auto& c : cols) {
    auto column = FindColumn(ctx.storage, t.id, c.name);
    if (!column) Raise(904, c.offset, {QuotedIdent(c.name)});
    RequireIndexable(column->dataType, c.offset);
    if (std::find(names.begin(), names.end(), c.name) != names.end()) Raise(957, c.offset);
    names.push_back(c.name);
  }
  for (const auto& ix : TableIndexes(ctx.storage, t.id))
    if (ix.columns == names) Raise(1408, cols.front().offset);
  InsertIndex(ctx.storage, owner, name.name, t.id, unique, false, names);
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
  DeleteObject(ctx.storage, ix->id);
  return fncode::kDropIndex;
}

}  // namespace oraemu
