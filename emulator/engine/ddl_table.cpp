#include <algorithm>

#include "engine/catalog.h"
#include "engine/ddl_codes.h"
#include "engine/ddl_constraint.h"
#include "engine/ddl_index.h"
#include "engine/ddl_expression.h"
#include "engine/ddl_statements.h"
#include "engine/errors.h"

namespace oraemu {

namespace {

// What the clauses after the column list keep: the organization and the
// columns named by LOB storage clauses. Physical attributes are accepted
// and not kept.
struct TableOptions {
  bool indexOrganized = false;
  int organizationOffset = 0;
  std::vector<ColumnRef> lobColumns;
};

// LOB (col, ...) STORE AS [SECUREFILE | BASICFILE] [segment] [(attributes)]
void ParseLobStorage(Parser& p, TableOptions& o) {
  for (const auto& c : ParseColumnList(p)) o.lobColumns.push_back(c);
  p.Expect("STORE");
  p.Expect("AS");
  if (!p.Accept("SECUREFILE")) p.Accept("BASICFILE");
  // A segment name, unless the next word starts another table clause.
  const Token& t = p.Peek();
  bool clause = false;
  for (const char* word : {"ORGANIZATION", "LOB", "TABLESPACE", "PCTFREE", "PCTUSED", "INITRANS", "STORAGE",
                           "LOGGING", "NOLOGGING", "COMPRESS", "NOCOMPRESS", "SEGMENT", "ENABLE", "DISABLE",
                           "PARALLEL", "NOPARALLEL", "CACHE", "NOCACHE", "ROW", "MONITORING", "NOMONITORING"})
    clause = clause || t.Is(word);
  if (t.kind == Token::Kind::QuotedIdent || (t.kind == Token::Kind::Word && !clause)) p.ReadIdent();
  if (p.AcceptSymbol("(")) {
    while (!p.AcceptSymbol(")")) {
      if (AcceptPhysicalAttribute(p)) continue;
      if (p.Accept("INDEX")) {
        if (p.Peek().IsSymbol("(")) p.SkipParens();
        else p.ReadIdent();
        continue;
      }
      p.FailHere(p.AtEnd() ? 907 : 922);
    }
  }
}

TableOptions ParseTableOptions(Parser& p) {
  TableOptions o;
  for (;;) {
    if (AcceptPhysicalAttribute(p)) continue;
    if (p.Accept("SEGMENT")) {
      p.Expect("CREATION");
      if (!p.Accept("IMMEDIATE")) p.Expect("DEFERRED");
    } else if (p.Peek().Is("ORGANIZATION")) {
      o.organizationOffset = p.Next().offset;
      if (p.Accept("INDEX")) o.indexOrganized = true;
      else p.Expect("HEAP");
    } else if (o.indexOrganized && p.Accept("INCLUDING")) {
      p.ReadIdent();
    } else if (o.indexOrganized && (p.Accept("OVERFLOW") || p.Accept("NOMAPPING"))) {
    } else if (o.indexOrganized && p.Accept("MAPPING")) {
      p.Expect("TABLE");
    } else if (p.Accept("LOB")) {
      ParseLobStorage(p, o);
    } else if ((p.Peek().Is("ENABLE") || p.Peek().Is("DISABLE")) && p.Peek(1).Is("ROW")) {
      p.Next();
      p.Next();
      p.Expect("MOVEMENT");
    } else if (p.Accept("RESULT_CACHE")) {
      p.SkipParens();
    } else if (p.Accept("NO")) {
      p.Expect("INMEMORY", 922);
    } else if (!p.Accept("INMEMORY")) {
      return o;
    }
  }
}

// Changing another user's table needs a privileged user.
void RequireOwnerOrPrivileged(const DdlContext& ctx, const ObjectRow& obj, int offset) {
  if (obj.ownerId != ctx.userId && !IsPrivileged(ctx)) Raise(1031, offset);
}

std::string IdentitySequenceName(const ObjectRow& table) { return "ISEQ$$_" + std::to_string(table.id); }

// A table has at most one identity column, of a numeric type, whose NOT NULL
// constraint (if written) is enabled and not deferrable.
std::optional<IdentitySpec> CheckIdentity(DdlContext& ctx, const ObjectRow& table,
                                          const std::vector<ColumnSpec>& cols) {
  auto existing = ctx.storage.Query("SELECT 1 FROM identity_columns WHERE table_obj_id = ?1");
  existing.Bind(1, table.id);
  bool taken = existing.Step();
  std::optional<IdentitySpec> found;
  for (const auto& c : cols) {
    if (!c.identity) continue;
    if (taken) Raise(30669, c.identity->offset);
    taken = true;
    found = c.identity;
    if (c.row.dataType != "NUMBER" && c.row.dataType != "FLOAT") Raise(30675, c.identity->offset);
    for (const auto& k : c.constraints)
      if (k.type == 'N' && (k.status != "ENABLED" || k.deferrable != "NOT DEFERRABLE")) Raise(30670, k.offset);
  }
  return found;
}

// The system sequence behind an identity column, made with the column's
// options as CREATE SEQUENCE would take them.
void CreateIdentitySequence(DdlContext& ctx, const ObjectRow& table, const ColumnSpec& c) {
  auto owner = FindUserById(ctx.storage, table.ownerId);
  const std::string name = IdentitySequenceName(table);
  const std::string text = QuotedIdent(owner->name) + "." + QuotedIdent(name) + " " + c.identity->options;
  try {
    Parser sequence(text);
    CreateSequence(ctx, sequence);
  } catch (const EOraError& e) {
    throw EOraError(e.code(), e.what(), c.identity->offset);
  }
  auto seq = FindObject(ctx.storage, table.ownerId, name, kNsDefault);
  auto ins = ctx.storage.Query("INSERT INTO identity_columns (table_obj_id, column_name, generation_type, on_null, "
                               "sequence_obj_id) VALUES (?1, ?2, ?3, ?4, ?5)");
  ins.Bind(1, table.id).Bind(2, c.name.name).Bind(3, c.identity->generation);
  ins.Bind(4, std::string(c.identity->onNull ? "YES" : "NO")).Bind(5, seq->id);
  ins.Run();
}

bool IsCharacterType(const std::string& type) {
  return type == "VARCHAR2" || type == "CHAR" || type == "NVARCHAR2" || type == "NCHAR";
}

// The type of a virtual column declared without one, from what its
// expression names: a bare column's own type; text when it joins texts or
// names only character columns (as wide as they are together); else NUMBER.
void DeriveVirtualType(const ColumnSpec& c, const std::vector<ColumnRow>& known, ColumnRow& row) {
  std::vector<const ColumnRow*> refs;
  for (const auto& ref : c.virtualColumns)
    for (const auto& k : known)
      if (k.name == ref.name) refs.push_back(&k);
  const bool allText = !refs.empty() && std::all_of(refs.begin(), refs.end(), [](const ColumnRow* r) {
    return IsCharacterType(r->dataType);
  });
  if (refs.size() == 1 && c.row.defaultText == QuotedIdent(refs.front()->name)) {
    const ColumnRow* r = refs.front();
    row.dataType = r->dataType;
    row.dataLength = r->dataLength;
    row.precision = r->precision;
    row.scale = r->scale;
    row.charUsed = r->charUsed;
    row.charLength = r->charLength;
  } else if (c.virtualConcatenates || allText) {
    int64_t width = 0;
    for (const ColumnRow* r : refs) width += IsCharacterType(r->dataType) ? r->dataLength : 40;
    width = std::clamp<int64_t>(width, 1, 4000);
    row.dataType = "VARCHAR2";
    row.dataLength = width;
    row.charUsed = "B";
    row.charLength = width;
  } else {
    row.dataType = "NUMBER";
    row.dataLength = 22;
  }
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
  }
  // Everything a virtual column names must be a stored column of the table.
  std::vector<ColumnRow> known = current;
  for (const auto& c : cols) known.push_back(c.row);
  for (const auto& c : cols) {
    for (const auto& ref : c.virtualColumns) {
      auto it = std::find_if(known.begin(), known.end(), [&](const ColumnRow& k) { return k.name == ref.name; });
      if (it == known.end()) Raise(904, ref.offset, {QuotedIdent(ref.name)});
      if (it->virtualColumn) Raise(54012, ref.offset);
    }
  }
  const std::optional<IdentitySpec> identity = CheckIdentity(ctx, table, cols);
  for (const auto& c : cols) {
    ColumnRow row = c.row;
    if (!c.typed) DeriveVirtualType(c, known, row);
    if (c.identity) {
      auto owner = FindUserById(ctx.storage, table.ownerId);
      row.defaultText = QuotedIdent(owner->name) + "." + QuotedIdent(IdentitySequenceName(table)) + ".nextval";
    }
    row.columnId = next++;
    InsertColumn(ctx.storage, table.id, row);
  }
  for (const auto& c : cols) {
    if (c.identity) CreateIdentitySequence(ctx, table, c);
    for (const auto& k : c.constraints) ApplyConstraint(ctx, table, k);
    // An identity column is NOT NULL through a constraint of its own.
    const bool notNull = std::any_of(c.constraints.begin(), c.constraints.end(),
                                     [](const ConstraintSpec& k) { return k.type == 'N'; });
    if (c.identity && !notNull) {
      ConstraintSpec k;
      k.type = 'N';
      k.offset = c.identity->offset;
      k.columns.push_back({c.name.name, c.name.offset});
      ApplyConstraint(ctx, table, k);
    }
  }
}

// One ENABLE or DISABLE clause of ALTER TABLE.
struct StateSwitch {
  bool enable = true;
  std::optional<bool> validate;
  bool allTriggers = false;
  bool primaryKey = false;
  Ident constraint;
  int offset = 0;
  bool cascade = false;
  bool keepIndex = false;
};

void SwitchConstraint(DdlContext& ctx, const ObjectRow& table, const StateSwitch& w) {
  Storage& s = ctx.storage;
  auto find = s.Query(w.primaryKey ? "SELECT con_id, name, type, index_obj_id FROM constraints "
                                     "WHERE table_obj_id = ?1 AND type = 'P' AND ?2 IS NOT NULL"
                                   : "SELECT con_id, name, type, index_obj_id FROM constraints "
                                     "WHERE table_obj_id = ?1 AND name = ?2");
  find.Bind(1, table.id).Bind(2, w.constraint.name);
  if (!find.Step()) {
    if (w.primaryKey) Raise(w.enable ? 2432 : 2433, w.offset);
    Raise(w.enable ? 2430 : 2431, w.constraint.offset, {w.constraint.name});
  }
  const int64_t conId = find.Int(0);
  const std::string name = find.Text(1), type = find.Text(2);
  std::optional<int64_t> indexId;
  if (!find.IsNull(3)) indexId = find.Int(3);
  const bool key = type == "P" || type == "U";
  auto tableRow = s.Query("SELECT iot_type FROM tables WHERE obj_id = ?1");
  tableRow.Bind(1, table.id);
  const bool iot = tableRow.Step() && !tableRow.IsNull(0);

  if (!w.enable && key) {
    if (type == "P" && iot) Raise(25188, w.offset);
    std::vector<int64_t> dependents;
    auto deps = s.Query("SELECT con_id FROM constraints WHERE r_con_id = ?1 AND status = 'ENABLED'");
    deps.Bind(1, conId);
    while (deps.Step()) dependents.push_back(deps.Int(0));
    if (!dependents.empty() && !w.cascade) {
      auto owner = FindUserById(s, table.ownerId);
      Raise(2297, w.offset, {owner->name, name});
    }
    for (int64_t dep : dependents) {
      auto off = s.Query("UPDATE constraints SET status = 'DISABLED', validated = 'NOT VALIDATED', last_change = ?2 "
                         "WHERE con_id = ?1");
      off.Bind(1, dep).Bind(2, Storage::Now());
      off.Run();
    }
    // The index the key made for itself goes with it unless kept.
    if (indexId) {
      auto made = s.Query("SELECT 1 FROM objects WHERE obj_id = ?1 AND name = ?2");
      made.Bind(1, *indexId).Bind(2, name);
      const bool own = made.Step();
      if (own && !w.keepIndex) {
        auto unlink = s.Query("UPDATE constraints SET index_obj_id = NULL WHERE con_id = ?1");
        unlink.Bind(1, conId);
        unlink.Run();
        DeleteObject(s, *indexId);
        indexId.reset();
      }
    }
  }
  if (w.enable && key && !indexId) {
    std::vector<std::string> columns;
    auto cols = s.Query("SELECT column_name FROM constraint_columns WHERE con_id = ?1 ORDER BY position");
    cols.Bind(1, conId);
    while (cols.Step()) columns.push_back(cols.Text(0));
    for (const auto& ix : TableIndexes(s, table.id)) {
      if (ix.columns.size() < columns.size()) continue;
      std::vector<std::string> lead(ix.columns.begin(), ix.columns.begin() + columns.size());
      if (SameColumnSet(lead, columns) && (!indexId || ix.columns == columns)) indexId = ix.id;
    }
    if (!indexId) {
      if (FindObject(s, table.ownerId, name, kNsIndex)) Raise(955, w.offset);
      auto generated = s.Query("SELECT generated FROM constraints WHERE con_id = ?1");
      generated.Bind(1, conId);
      generated.Step();
      indexId = InsertIndex(s, table.ownerId, name, table.id, true, generated.Text(0) == "GENERATED NAME", columns);
    }
    auto link = s.Query("UPDATE constraints SET index_obj_id = ?2 WHERE con_id = ?1");
    link.Bind(1, conId).Bind(2, *indexId);
    link.Run();
  }
  // ENABLE validates unless told NOVALIDATE; DISABLE leaves the rows unchecked unless told VALIDATE.
  const bool validated = w.validate.value_or(w.enable);
  auto u = s.Query("UPDATE constraints SET status = ?2, validated = ?3, last_change = ?4 WHERE con_id = ?1");
  u.Bind(1, conId).Bind(2, std::string(w.enable ? "ENABLED" : "DISABLED"));
  u.Bind(3, std::string(validated ? "VALIDATED" : "NOT VALIDATED")).Bind(4, Storage::Now());
  u.Run();
}

// ALTER TABLE t {ENABLE | DISABLE} [VALIDATE | NOVALIDATE]
//   {CONSTRAINT name | PRIMARY KEY | ALL TRIGGERS} [CASCADE] [KEEP | DROP INDEX] ...
uint16_t SwitchConstraints(DdlContext& ctx, Parser& p, const QualifiedName& q) {
  std::vector<StateSwitch> switches;
  while (p.Peek().Is("ENABLE") || p.Peek().Is("DISABLE")) {
    StateSwitch w;
    w.offset = p.Peek().offset;
    w.enable = p.Next().Is("ENABLE");
    if (p.Accept("VALIDATE")) w.validate = true;
    else if (p.Accept("NOVALIDATE")) w.validate = false;
    if (p.Accept("ALL")) {
      p.Expect("TRIGGERS");
      w.allTriggers = true;
    } else if (p.Accept("PRIMARY")) {
      p.Expect("KEY");
      w.primaryKey = true;
    } else {
      p.Expect("CONSTRAINT");
      w.constraint = p.ReadIdent();
    }
    if (!w.allTriggers) {
      if (p.Accept("USING")) {
        p.Expect("INDEX");
        while (AcceptPhysicalAttribute(p)) {
        }
      }
      if (p.Accept("CASCADE")) w.cascade = true;
      if (p.Accept("KEEP")) {
        p.Expect("INDEX");
        w.keepIndex = true;
      } else if (p.Accept("DROP")) {
        p.Expect("INDEX");
      }
    }
    switches.push_back(w);
  }
  p.ExpectEnd(1735);
  ObjectRow table = RequireTable(ctx, q);
  RequireOwnerOrPrivileged(ctx, table, q.offset);
  for (const auto& w : switches) {
    if (w.allTriggers) {
      auto u = ctx.storage.Query("UPDATE triggers SET status = ?2 WHERE table_obj_id = ?1");
      u.Bind(1, table.id).Bind(2, std::string(w.enable ? "ENABLED" : "DISABLED"));
      u.Run();
    } else {
      SwitchConstraint(ctx, table, w);
    }
  }
  TouchObject(ctx.storage, table.id);
  return fncode::kAlterTable;
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
  const TableOptions options = ParseTableOptions(p);
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
  for (const auto& lob : options.lobColumns)
    if (!FindColumn(ctx.storage, table.id, lob.name)) Raise(904, lob.offset, {QuotedIdent(lob.name)});
  if (options.indexOrganized) {
    // The table is its primary key's index.
    const auto keys = TableConstraints(ctx.storage, table.id);
    auto pk = std::find_if(keys.begin(), keys.end(), [](const ConstraintRow& k) { return k.type == "P"; });
    if (pk == keys.end() || !pk->indexId) Raise(25175, options.organizationOffset);
    auto iot = ctx.storage.Query("UPDATE tables SET iot_type = 'IOT' WHERE obj_id = ?1");
    iot.Bind(1, table.id);
    iot.Run();
    auto top = ctx.storage.Query("UPDATE indexes SET index_type = 'IOT - TOP' WHERE obj_id = ?1");
    top.Bind(1, *pk->indexId);
    top.Run();
  }
  return fncode::kCreateTable;
}

uint16_t AlterTable(DdlContext& ctx, Parser& p) {
  QualifiedName q = p.ReadQualified(903);
  if (p.Peek().Is("ENABLE") || p.Peek().Is("DISABLE")) return SwitchConstraints(ctx, p, q);
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
                      "UNION SELECT obj_id FROM triggers WHERE table_obj_id = ?1 "
                      "UNION SELECT sequence_obj_id FROM identity_columns WHERE table_obj_id = ?1)");
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
