#include <algorithm>

#include "engine/catalog.h"
#include "engine/ddl_codes.h"
#include "engine/ddl_constraint.h"
#include "engine/ddl_index.h"
#include "engine/ddl_statements.h"
#include "engine/errors.h"

namespace oraemu {

namespace {

// Physical attributes of CREATE TABLE: accepted, nothing to keep.
void SkipTableOptions(Parser& p) {
  for (;;) {
    if (p.Accept("TABLESPACE")) {
      p.ReadIdent();
    } else if (p.Accept("PCTFREE") || p.Accept("PCTUSED") || p.Accept("INITRANS") || p.Accept("MAXTRANS")) {
      if (p.Peek().kind != Token::Kind::Number) p.FailHere(922);
      p.Next();
    } else if (p.Accept("STORAGE")) {
      p.SkipParens();
    } else if (p.Accept("SEGMENT")) {
      p.Expect("CREATION");
      if (!p.Accept("IMMEDIATE")) p.Expect("DEFERRED");
    } else if (p.Accept("ORGANIZATION")) {
      p.Expect("HEAP");
    } else if (!(p.Accept("LOGGING") || p.Accept("NOLOGGING") || p.Accept("COMPRESS") || p.Accept("NOCOMPRESS") ||
                 p.Accept("CACHE") || p.Accept("NOCACHE") || p.Accept("MONITORING") || p.Accept("NOMONITORING") ||
                 p.Accept("NOPARALLEL"))) {
      return;
    }
  }
}

// Changing another user's table needs a privileged user.
void RequireOwnerOrPrivileged(const DdlContext& ctx, const ObjectRow& obj, int offset) {
  if (obj.ownerId != ctx.userId && !IsPrivileged(ctx)) Raise(1031, offset);
}

// Adds new columns with their inline constraints, after the existing ones.
void AddColumns(DdlContext& ctx, const ObjectRow& table, const std::vector<ColumnSpec>& cols, int existingCode) {
  auto current = TableColumns(ctx.storage, table.id);
  int next = current.empty() ? 1 : current.back().columnId + 1;
  auto isLong = [](const std::string& type) { return type == "LONG" || type == "LONG RAW"; };
  bool hasLong = std::any_of(current.begin(), current.end(), [&](const ColumnRow& c) { return isLong(c.dataType); });
  for (const auto& c : cols) {
    if (!isLong(c.row.dataType)) continue;
    if (hasLong) Raise(1754, c.name.offset);
    hasLong = true;
  }
  std::vector<std::string> seen;
  for (const auto& c : cols) {
    if (std::find(seen.begin(), seen.end(), c.name.name) != seen.end()) Raise(957, c.name.offset);
    // Hidden columns of function-based indexes count as existing columns too.
    auto taken = ctx.storage.Query("SELECT 1 FROM columns WHERE obj_id = ?1 AND name = ?2");
    taken.Bind(1, table.id).Bind(2, c.name.name);
    if (taken.Step()) Raise(existingCode, c.name.offset);
    seen.push_back(c.name.name);
    ColumnRow row = c.row;
    row.columnId = next++;
    InsertColumn(ctx.storage, table.id, row);
  }
  for (const auto& c : cols)
    for (const auto& k : c.constraints) ApplyConstraint(ctx, table, k);
}

}  // namespace

uint16_t CreateTable(DdlContext& ctx, Parser& p) {
  QualifiedName q = p.ReadQualified(903);
  // CREATE TABLE ... AS SELECT would need table data, which this server does not hold.
  if (p.Peek().Is("AS")) p.FailHere(3001);
  p.ExpectSymbol("(");
  if (p.Peek().IsSymbol(")")) p.FailHere(904);
  std::vector<ColumnSpec> cols;
  std::vector<ConstraintSpec> cons;
  do {
    if (AtTableConstraint(p)) cons.push_back(ParseTableConstraint(p));
    else cols.push_back(ParseColumnDef(p, 2263));
  } while (p.AcceptSymbol(","));
  p.ExpectSymbol(")");
  SkipTableOptions(p);
  p.ExpectEnd(922);
  if (cols.empty()) Raise(904, cons.front().offset, {""});

  int owner = ResolveOwner(ctx, q, true);
  if (FindObject(ctx.storage, owner, q.name, kNsDefault)) Raise(955, q.offset);
  ObjectRow table{InsertObject(ctx.storage, owner, q.name, kObjTable, kNsDefault), owner, q.name, kObjTable};
  auto ins = ctx.storage.Query("INSERT INTO tables (obj_id) VALUES (?1)");
  ins.Bind(1, table.id);
  ins.Run();
  AddColumns(ctx, table, cols, 957);
  for (const auto& c : cons) ApplyConstraint(ctx, table, c);
  return fncode::kCreateTable;
}

uint16_t AlterTable(DdlContext& ctx, Parser& p) {
  QualifiedName q = p.ReadQualified(903);
  std::vector<ColumnSpec> cols;
  std::vector<ConstraintSpec> cons;
  auto item = [&] {
    if (AtTableConstraint(p)) cons.push_back(ParseTableConstraint(p));
    else cols.push_back(ParseColumnDef(p, 902));
  };
  if (!p.Peek().Is("ADD")) p.FailHere(1735);
  while (p.Accept("ADD")) {
    if (p.AcceptSymbol("(")) {
      if (p.Peek().IsSymbol(")")) p.FailHere(904);
      do item();
      while (p.AcceptSymbol(","));
      p.ExpectSymbol(")");
    } else {
      item();
    }
  }
  p.ExpectEnd(1735);

  ObjectRow table = RequireTable(ctx, q);
  RequireOwnerOrPrivileged(ctx, table, q.offset);
  AddColumns(ctx, table, cols, 1430);
  for (const auto& c : cons) ApplyConstraint(ctx, table, c);
  TouchObject(ctx.storage, table.id);
  return fncode::kAlterTable;
}

uint16_t DropTable(DdlContext& ctx, Parser& p) {
  QualifiedName q = p.ReadQualified(903);
  bool cascade = false;
  if (p.Accept("CASCADE")) {
    p.Expect("CONSTRAINTS");
    cascade = true;
  }
  p.Accept("PURGE");
  p.ExpectEnd();
  ObjectRow table = RequireTable(ctx, q);
  RequireOwnerOrPrivileged(ctx, table, q.offset);
  Storage& s = ctx.storage;
  // Foreign keys of other tables that point at this table's keys.
  std::vector<int64_t> foreign;
  {
    auto f = s.Query("SELECT c.con_id FROM constraints c JOIN constraints k ON k.con_id = c.r_con_id "
                     "WHERE k.table_obj_id = ?1 AND c.table_obj_id <> ?1");
    f.Bind(1, table.id);
    while (f.Step()) foreign.push_back(f.Int(0));
  }
  if (!foreign.empty() && !cascade) Raise(2449, q.offset);
  for (int64_t id : foreign) {
    auto d = s.Query("DELETE FROM constraints WHERE con_id = ?1");
    d.Bind(1, id);
    d.Run();
  }
  // Self-references first, so that the keys they point at can go.
  auto selfRefs = s.Query("DELETE FROM constraints WHERE table_obj_id = ?1 AND r_con_id IS NOT NULL");
  selfRefs.Bind(1, table.id);
  selfRefs.Run();
  auto cons = s.Query("DELETE FROM constraints WHERE table_obj_id = ?1");
  cons.Bind(1, table.id);
  cons.Run();
  auto deps = s.Query("DELETE FROM objects WHERE obj_id IN (SELECT obj_id FROM indexes WHERE table_obj_id = ?1 "
                      "UNION SELECT obj_id FROM triggers WHERE table_obj_id = ?1)");
  deps.Bind(1, table.id);
  deps.Run();
  DeleteObject(s, table.id);
  return fncode::kDropTable;
}

uint16_t CommentOn(DdlContext& ctx, Parser& p) {
  p.Expect("ON");
  if (p.Accept("TABLE")) {
    QualifiedName q = p.ReadQualified(903);
    p.Expect("IS");
    Token text = p.ReadString(905);
    p.ExpectEnd();
    ObjectRow obj = RequireTable(ctx, q, true);
    RequireOwnerOrPrivileged(ctx, obj, q.offset);
    auto u = ctx.storage.Query(obj.type == kObjTable ? "UPDATE tables SET comments = ?2 WHERE obj_id = ?1"
                                                     : "UPDATE views SET comments = ?2 WHERE obj_id = ?1");
    u.Bind(1, obj.id).Bind(2, text.text.empty() ? std::optional<std::string>() : text.text);
    u.Run();
    return fncode::kComment;
  }
  p.Expect("COLUMN");
  // [owner.]table.column
  Ident a = p.ReadIdent();
  p.ExpectSymbol(".");
  Ident b = p.ReadIdent();
  QualifiedName q;
  Ident column;
  q.offset = a.offset;
  if (p.AcceptSymbol(".")) {
    q.owner = a.name;
    q.name = b.name;
    q.nameOffset = b.offset;
    column = p.ReadIdent();
  } else {
    q.name = a.name;
    q.nameOffset = a.offset;
    column = b;
  }
  p.Expect("IS");
  Token text = p.ReadString(905);
  p.ExpectEnd();
  ObjectRow obj = RequireTable(ctx, q, true);
  RequireOwnerOrPrivileged(ctx, obj, q.offset);
  if (!FindColumn(ctx.storage, obj.id, column.name)) Raise(904, column.offset, {QuotedIdent(column.name)});
  auto u = ctx.storage.Query("UPDATE columns SET comments = ?3 WHERE obj_id = ?1 AND name = ?2");
  u.Bind(1, obj.id).Bind(2, column.name).Bind(3, text.text.empty() ? std::optional<std::string>() : text.text);
  u.Run();
  return fncode::kComment;
}

}  // namespace oraemu
