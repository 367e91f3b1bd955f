#include <optional>
#include <vector>

#include "engine/catalog.h"
#include "engine/code_check.h"
#include "engine/ddl_codes.h"
#include "engine/ddl_statements.h"
#include "engine/errors.h"

namespace oraemu {

namespace {

struct TriggerSpec {
  std::string type;
  std::string events;
  QualifiedName table;
  std::string referencing = "REFERENCING NEW AS NEW OLD AS OLD";
  std::optional<std::string> when;
  std::string status = "ENABLED";
  std::string description;
  std::string body;
  std::string actionType = "PL/SQL";
};

// Everything from the trigger name up to its WHEN clause or body is the
// description; the body starts at DECLARE, BEGIN, CALL or a label.
TriggerSpec ParseTrigger(Parser& p, const QualifiedName& name) {
  TriggerSpec t;
  std::string timing;
  if (p.Accept("BEFORE")) {
    timing = "BEFORE";
  } else if (p.Accept("AFTER")) {
    timing = "AFTER";
  } else if (p.Accept("INSTEAD")) {
    p.Expect("OF");
    timing = "INSTEAD OF";
  } else if (p.Accept("FOR")) {
    // A compound trigger: its timing points are sections of the body.
    timing = "COMPOUND";
  } else {
    p.FailHere(4071);
  }
  for (;;) {
    const Token e = p.Peek();
    if (!(e.Is("INSERT") || e.Is("UPDATE") || e.Is("DELETE"))) p.FailHere(4071);
    p.Next();
    if (!t.events.empty()) t.events += " OR ";
    t.events += AsciiUpper(e.text);
    if (e.Is("UPDATE") && p.Accept("OF")) {
      do p.ReadIdent();
      while (p.AcceptSymbol(","));
    }
    if (!p.Accept("OR")) break;
  }
  p.Expect("ON", 969);
  t.table = p.ReadQualified(903);
  bool eachRow = false;
  std::string oldName = "OLD", newName = "NEW";
  for (;;) {
    if (p.Accept("REFERENCING")) {
      while (p.Peek().Is("OLD") || p.Peek().Is("NEW") || p.Peek().Is("PARENT")) {
        bool isOld = p.Peek().Is("OLD");
        bool isNew = p.Peek().Is("NEW");
        p.Next();
        p.Accept("AS");
        std::string alias = p.ReadIdent().name;
        if (isOld) oldName = alias;
        if (isNew) newName = alias;
      }
      t.referencing = "REFERENCING NEW AS " + newName + " OLD AS " + oldName;
    } else if (p.Accept("FOR")) {
      p.Expect("EACH");
      p.Expect("ROW");
      eachRow = true;
    } else if (p.Accept("ENABLE")) {
      t.status = "ENABLED";
    } else if (p.Accept("DISABLE")) {
      t.status = "DISABLED";
    } else if (p.Accept("FOLLOWS") || p.Accept("PRECEDES")) {
      p.ReadQualified();
    } else {
      break;
    }
  }
  t.type = timing == "INSTEAD OF" || timing == "COMPOUND" ? timing : timing + (eachRow ? " EACH ROW" : " STATEMENT");
  int descEnd = p.Peek().offset;
  if (p.Peek().Is("WHEN")) {
    if (timing == "INSTEAD OF") p.Fail(25004, p.Peek());
    if (!eachRow) p.Fail(4077, p.Peek());
    p.Next();
    p.ExpectSymbol("(");
    int start = p.Peek().offset;
    int depth = 0;
    for (;;) {
      const Token c = p.Peek();
      if (c.IsEnd()) p.Fail(907, c);
      if (c.IsSymbol("(")) ++depth;
      if (c.IsSymbol(")") && depth-- == 0) break;
      p.Next();
    }
    t.when = p.Text(start, p.Next().offset);
  }
  const Token body = p.Peek();
  if (body.IsEnd()) p.Fail(921, body);
  if (body.Is("CALL")) t.actionType = "CALL";
  else if (!(body.Is("DECLARE") || body.Is("BEGIN") || body.IsSymbol("<") || body.Is("COMPOUND"))) p.Fail(4071, body);
  if ((timing == "COMPOUND") != body.Is("COMPOUND")) p.Fail(4071, body);
  t.description = p.Text(name.offset, descEnd);
  t.body = p.Sql().substr(body.offset);
  return t;
}

// Source lines as USER_SOURCE keeps them: each with its own line end.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t nl = text.find('\n', start);
    size_t end = nl == std::string::npos ? text.size() : nl + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

void StoreSource(Storage& s, int64_t id, const std::string& text) {
  auto del = s.Query("DELETE FROM source WHERE obj_id = ?1");
  del.Bind(1, id);
  del.Run();
  auto lines = SplitLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    auto q = s.Query("INSERT INTO source (obj_id, line, text) VALUES (?1, ?2, ?3)");
    q.Bind(1, id).Bind(2, static_cast<int64_t>(i + 1)).Bind(3, lines[i]);
    q.Run();
  }
}

// Oracle keeps a unit that does not compile, marks it invalid, lists its
// errors and answers ORA-24344 as success with information.
void RecordCompilation(DdlContext& ctx, int64_t id, const std::string& unit, bool check) {
  Storage& s = ctx.storage;
  auto clear = s.Query("DELETE FROM code_errors WHERE obj_id = ?1");
  clear.Bind(1, id);
  clear.Run();
  std::optional<CodeError> error = check ? FindVisibleError(unit) : std::nullopt;
  auto status = s.Query("UPDATE objects SET status = ?2 WHERE obj_id = ?1");
  status.Bind(1, id).Bind(2, error ? kStatusCompiledWithErrors : 1);
  status.Run();
  if (!error) return;
  auto q = s.Query("INSERT INTO code_errors (obj_id, sequence, line, position, text, message_number) "
                   "VALUES (?1, 1, ?2, ?3, ?4, 103)");
  q.Bind(1, id).Bind(2, error->line).Bind(3, error->position).Bind(4, error->text);
  q.Run();
  ctx.warning = EOraError(24344, OraMessage(24344));
}

}  // namespace

uint16_t CreateStoredCode(DdlContext& ctx, Parser& p, bool orReplace) {
  const Token kind = p.Next();
  int type = 0, ns = kNsDefault;
  uint16_t code = 0;
  if (kind.Is("TRIGGER")) {
    type = kObjTrigger, ns = kNsTrigger, code = fncode::kCreateTrigger;
  } else if (kind.Is("FUNCTION")) {
    type = kObjFunction, code = fncode::kCreateFunction;
  } else if (kind.Is("PROCEDURE")) {
    type = kObjProcedure, code = fncode::kCreateProcedure;
  } else if (!kind.Is("PACKAGE")) {
    p.Fail(901, kind);
  } else if (p.Accept("BODY")) {
    type = kObjPackageBody, ns = kNsBody, code = fncode::kCreatePackageBody;
  } else {
    type = kObjPackage, code = fncode::kCreatePackage;
  }
  QualifiedName name = p.ReadQualified();
  std::optional<TriggerSpec> trigger;
  if (type == kObjTrigger) trigger = ParseTrigger(p, name);
  // Nothing but the name is an empty unit.
  else if (p.AtEnd()) p.FailHere(921);

  Storage& s = ctx.storage;
  int owner = ResolveOwner(ctx, name, true);
  std::optional<ObjectRow> table;
  if (trigger) {
    table = RequireTable(ctx, trigger->table, true);
    const bool onView = table->type == kObjView;
    if (trigger->type == "INSTEAD OF" && !onView) Raise(25002, trigger->table.offset);
    if (trigger->type != "INSTEAD OF" && trigger->type != "COMPOUND" && onView) Raise(25001, trigger->table.offset);
  }
  auto existing = FindObject(s, owner, name.name, ns);
  if (existing && (!orReplace || existing->type != type)) Raise(955, name.offset);
  int64_t id;
  if (existing) {
    id = existing->id;
    TouchObject(s, id);
  } else {
    id = InsertObject(s, owner, name.name, type, ns);
  }
  const std::string unit = p.Sql().substr(kind.offset);
  StoreSource(s, id, unit);
  // Packages, call triggers and compound triggers are not looked into.
  const bool plsqlTrigger =
      trigger && trigger->actionType == "PL/SQL" && AsciiUpper(trigger->body.substr(0, 8)) != "COMPOUND";
  const bool check = type == kObjFunction || type == kObjProcedure || plsqlTrigger;
  RecordCompilation(ctx, id, unit, check);
  if (trigger) {
    auto del = s.Query("DELETE FROM triggers WHERE obj_id = ?1");
    del.Bind(1, id);
    del.Run();
    auto q = s.Query("INSERT INTO triggers (obj_id, table_obj_id, trigger_type, triggering_event, base_object_type, "
                     "referencing_names, when_clause, status, description, action_type, trigger_body) "
                     "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
    q.Bind(1, id).Bind(2, table->id).Bind(3, trigger->type).Bind(4, trigger->events);
    q.Bind(5, std::string(table->type == kObjView ? "VIEW" : "TABLE")).Bind(6, trigger->referencing);
    q.Bind(7, trigger->when).Bind(8, trigger->status).Bind(9, trigger->description);
    q.Bind(10, trigger->actionType).Bind(11, trigger->body);
    q.Run();
  }
  return code;
}

uint16_t DropStoredCode(DdlContext& ctx, Parser& p) {
  const Token kind = p.Next();
  int type = kObjPackage, ns = kNsDefault;
  uint16_t code = fncode::kDropPackage;
  if (kind.Is("TRIGGER")) type = kObjTrigger, ns = kNsTrigger, code = fncode::kDropTrigger;
  else if (kind.Is("FUNCTION")) type = kObjFunction, code = fncode::kDropFunction;
  else if (kind.Is("PROCEDURE")) type = kObjProcedure, code = fncode::kDropProcedure;
  else if (p.Accept("BODY")) type = kObjPackageBody, ns = kNsBody;
  QualifiedName name = p.ReadQualified();
  p.ExpectEnd();
  const int missing = type == kObjTrigger ? 4080 : 4043;
  const std::vector<std::string> args{type == kObjTrigger ? name.name : name.name};
  int owner = ResolveOwner(ctx, name, false, missing);
  auto obj = FindObject(ctx.storage, owner, name.name, ns);
  if (!obj || obj->type != type) Raise(missing, name.offset, args);
  if (owner != ctx.userId && !IsPrivileged(ctx)) Raise(1031, name.offset);
  if (type == kObjPackage) {
    if (auto bodyObj = FindObject(ctx.storage, owner, name.name, kNsBody)) DeleteObject(ctx.storage, bodyObj->id);
  }
  DeleteObject(ctx.storage, obj->id);
  return code;
}

uint16_t AlterTrigger(DdlContext& ctx, Parser& p) {
  QualifiedName name = p.ReadQualified();
  std::optional<std::string> status;
  if (p.Accept("ENABLE")) {
    status = "ENABLED";
  } else if (p.Accept("DISABLE")) {
    status = "DISABLED";
  } else if (p.Accept("COMPILE")) {
    // Stored code is kept as written; there is nothing to compile again.
    p.Accept("DEBUG");
    if (p.Accept("REUSE")) p.Expect("SETTINGS");
  } else {
    p.FailHere(922);
  }
  p.ExpectEnd();
  const int owner = ResolveOwner(ctx, name, false, 4080);
  auto obj = FindObject(ctx.storage, owner, name.name, kNsTrigger);
  if (!obj || obj->type != kObjTrigger) Raise(4080, name.offset, {name.name});
  if (owner != ctx.userId && !IsPrivileged(ctx)) Raise(1031, name.offset);
  if (status) {
    auto u = ctx.storage.Query("UPDATE triggers SET status = ?2 WHERE obj_id = ?1");
    u.Bind(1, obj->id).Bind(2, *status);
    u.Run();
  }
  TouchObject(ctx.storage, obj->id);
  return fncode::kAlterTrigger;
}

}  // namespace oraemu
