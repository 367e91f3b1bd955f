#include "engine/catalog.h"

#include <algorithm>

#include <cstdio>

#include "engine/errors.h"

namespace oraemu {

namespace {

UserRow ReadUser(Statement& q) {
  UserRow u;
  u.id = static_cast<int>(q.Int(0));
  u.name = q.Text(1);
  u.kind = static_cast<int>(q.Int(2));
  u.password = q.OptText(3);
  u.external = q.Int(4) != 0;
  u.expiring = static_cast<int>(q.Int(5));
  return u;
}

constexpr const char* kUserColumns = "SELECT user_id, name, kind, password, external, expiring FROM users ";

}  // namespace

std::optional<UserRow> FindUser(Storage& s, const std::string& name) {
  auto q = s.Query(std::string(kUserColumns) + "WHERE name = ?1");
  q.Bind(1, name);
  if (!q.Step()) return std::nullopt;
  return ReadUser(q);
}

std::optional<UserRow> FindUserById(Storage& s, int id) {
  auto q = s.Query(std::string(kUserColumns) + "WHERE user_id = ?1");
  q.Bind(1, id);
  if (!q.Step()) return std::nullopt;
  return ReadUser(q);
}

bool IsPrivileged(const DdlContext& ctx) { return ctx.userId == kSysUserId || ctx.userId == kSystemUserId; }

int ResolveOwner(DdlContext& ctx, const QualifiedName& q, bool creating, int missingCode) {
  if (q.owner.empty() || q.owner == ctx.userName) return ctx.userId;
  auto owner = FindUser(ctx.storage, q.owner);
  if (!owner || owner->kind != 1) {
    if (creating) Raise(1918, q.offset, {q.owner});
    Raise(missingCode, q.offset);
  }
  if (creating && !IsPrivileged(ctx)) Raise(1031, q.offset);
  return owner->id;
}

std::optional<ObjectRow> FindObject(Storage& s, int ownerId, const std::string& name, int ns) {
  auto q = s.Query("SELECT obj_id, owner_id, name, type FROM objects WHERE owner_id = ?1 AND name = ?2 "
                   "AND namespace = ?3");
  q.Bind(1, ownerId).Bind(2, name).Bind(3, ns);
  if (!q.Step()) return std::nullopt;
  return ObjectRow{q.Int(0), static_cast<int>(q.Int(1)), q.Text(2), static_cast<int>(q.Int(3))};
}

std::optional<ObjectRow> FollowSynonyms(Storage& s, std::optional<ObjectRow> obj) {
  for (int hops = 0; obj && obj->type == kObjSynonym && hops < 8; ++hops) {
    auto syn = s.Query("SELECT target_owner, target_name FROM synonyms WHERE obj_id = ?1");
    syn.Bind(1, obj->id);
    if (!syn.Step()) break;
    auto target = FindUser(s, syn.Text(0));
    obj = target ? FindObject(s, target->id, syn.Text(1), kNsDefault) : std::nullopt;
  }
  return obj;
}

ObjectRow RequireTable(DdlContext& ctx, const QualifiedName& q, bool orView) {
  int owner = ResolveOwner(ctx, q, false);
  auto obj = FindObject(ctx.storage, owner, q.name, kNsDefault);
  if (!obj || !(obj->type == kObjTable || (orView && obj->type == kObjView))) Raise(942, q.offset);
  return *obj;
}

bool HoldsPrivilege(Storage& s, int64_t objId, int userId, const std::vector<std::string>& privileges) {
  for (const auto& priv : privileges) {
    auto q = s.Query("SELECT 1 FROM grants WHERE obj_id = ?1 AND grantee_id IN (?2, ?3) AND privilege = ?4");
    q.Bind(1, objId).Bind(2, userId).Bind(3, kPublicUserId).Bind(4, priv);
    if (q.Step()) return true;
  }
  return false;
}

void RequireAccess(DdlContext& ctx, const ObjectRow& obj, const std::vector<std::string>& privileges, int offset) {
  if (obj.ownerId == ctx.userId || IsPrivileged(ctx)) return;
  if (HoldsPrivilege(ctx.storage, obj.id, ctx.userId, privileges)) return;
  bool visible;
  {
    auto q = ctx.storage.Query("SELECT 1 FROM grants WHERE obj_id = ?1 AND grantee_id IN (?2, ?3)");
    q.Bind(1, obj.id).Bind(2, ctx.userId).Bind(3, kPublicUserId);
    visible = q.Step();
  }
  Raise(visible ? 1031 : 942, offset);
}

int64_t InsertObject(Storage& s, int ownerId, const std::string& name, int type, int ns) {
  int64_t id = s.NextObjectId();
  std::string now = Storage::Now();
  auto q = s.Query("INSERT INTO objects (obj_id, owner_id, name, type, namespace, created, last_ddl) "
                   "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?6)");
  q.Bind(1, id).Bind(2, ownerId).Bind(3, name).Bind(4, type).Bind(5, ns).Bind(6, now);
  q.Run();
  return id;
}

void TouchObject(Storage& s, int64_t objId) {
  auto q = s.Query("UPDATE objects SET last_ddl = ?2 WHERE obj_id = ?1");
  q.Bind(1, objId).Bind(2, Storage::Now());
  q.Run();
}

void DeleteObject(Storage& s, int64_t objId) {
  auto q = s.Query("DELETE FROM objects WHERE obj_id = ?1");
  q.Bind(1, objId);
  q.Run();
}

std::vector<ColumnRow> TableColumns(Storage& s, int64_t tableId) {
  auto q = s.Query("SELECT column_id, name, data_type, data_length, data_precision, data_scale, nullable, "
                   "char_used, char_length, default_text, comments, virtual_column FROM columns WHERE obj_id = ?1 "
                   "AND column_id < 100000 ORDER BY column_id");  // hidden ones above (ddl_index.h)
  q.Bind(1, tableId);
  std::vector<ColumnRow> out;
  while (q.Step()) {
    ColumnRow c;
    c.columnId = static_cast<int>(q.Int(0));
    c.name = q.Text(1);
    c.dataType = q.Text(2);
    c.dataLength = q.Int(3);
    if (!q.IsNull(4)) c.precision = q.Int(4);
    if (!q.IsNull(5)) c.scale = q.Int(5);
    c.nullable = q.Text(6);
    c.charUsed = q.OptText(7);
    c.charLength = q.Int(8);
    c.defaultText = q.OptText(9);
    c.comments = q.OptText(10);
    c.virtualColumn = q.Int(11) != 0;
    out.push_back(std::move(c));
  }
  return out;
}

std::optional<ColumnRow> FindColumn(Storage& s, int64_t tableId, const std::string& name) {
  for (auto& c : TableColumns(s, tableId))
    if (c.name == name) return c;
  return std::nullopt;
}

int MaxBytesPerChar(Storage& s) {
  auto q = s.Query("SELECT value FROM properties WHERE name = 'character_set'");
  return q.Step() ? CharsetWidth(q.Text(0)) : 1;
}

void InsertColumn(Storage& s, int64_t tableId, const ColumnRow& column) {
  ColumnRow c = column;
  // Character semantics reserve the widest character of the database set,
  // within the type's byte limit (the national set is fixed at two bytes).
  if (c.charUsed && *c.charUsed == "C" && (c.dataType == "VARCHAR2" || c.dataType == "CHAR")) {
    const int64_t limit = c.dataType == "CHAR" ? 2000 : 4000;
    c.dataLength = std::min<int64_t>(c.charLength * MaxBytesPerChar(s), limit);
  }
  auto q = s.Query("INSERT INTO columns (obj_id, column_id, name, data_type, data_length, data_precision, "
                   "data_scale, nullable, char_used, char_length, default_text, comments, virtual_column) "
                   "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)");
  q.Bind(1, tableId).Bind(2, c.columnId).Bind(3, c.name).Bind(4, c.dataType).Bind(5, c.dataLength);
  if (c.precision) q.Bind(6, *c.precision); else q.BindNull(6);
  if (c.scale) q.Bind(7, *c.scale); else q.BindNull(7);
  q.Bind(8, c.nullable).Bind(9, c.charUsed).Bind(10, c.charLength).Bind(11, c.defaultText).Bind(12, c.comments);
  q.Bind(13, c.virtualColumn ? 1 : 0);
  q.Run();
}

std::string SystemConstraintName(int64_t conId) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "SYS_C%07lld", static_cast<long long>(conId));
  return buf;
}

}  // namespace oraemu
