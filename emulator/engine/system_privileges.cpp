#include "engine/system_privileges.h"

#include <algorithm>

#include "engine/errors.h"

namespace oraemu {

namespace {

// The system privileges this server knows by name. Only some are checked;
// the others may still be granted and revoked as on a server.
const std::vector<std::string>& KnownPrivileges() {
  static const std::vector<std::string> known = [] {
    std::vector<std::string> v = {
        "CREATE SESSION", "ALTER SESSION", "SET CONTAINER", "RESTRICTED SESSION", "UNLIMITED TABLESPACE",
        "CREATE TABLE", "CREATE VIEW", "CREATE SEQUENCE", "CREATE PROCEDURE", "CREATE TRIGGER",
        "CREATE SYNONYM", "CREATE PUBLIC SYNONYM", "DROP PUBLIC SYNONYM", "CREATE DATABASE LINK",
        "CREATE PUBLIC DATABASE LINK", "DROP PUBLIC DATABASE LINK", "CREATE CLUSTER", "CREATE INDEXTYPE",
        "CREATE OPERATOR", "CREATE TYPE", "CREATE MATERIALIZED VIEW", "CREATE JOB", "CREATE USER",
        "ALTER USER", "DROP USER", "CREATE ROLE", "GRANT ANY PRIVILEGE", "GRANT ANY ROLE",
        "GRANT ANY OBJECT PRIVILEGE", "SELECT ANY DICTIONARY", "SELECT ANY TABLE", "SELECT ANY SEQUENCE",
        "EXECUTE ANY PROCEDURE", "DEBUG CONNECT SESSION", "QUERY REWRITE", "ANALYZE ANY",
        "COMMENT ANY TABLE", "LOCK ANY TABLE", "INSERT ANY TABLE", "UPDATE ANY TABLE", "DELETE ANY TABLE",
        "ALTER DATABASE", "ALTER SYSTEM"};
    for (const char* kind : {"TABLE", "VIEW", "SEQUENCE", "PROCEDURE", "TRIGGER", "SYNONYM", "INDEX", "TYPE",
                             "CLUSTER", "MATERIALIZED VIEW"})
      for (const char* verb : {"CREATE ANY ", "ALTER ANY ", "DROP ANY "}) v.push_back(verb + std::string(kind));
    return v;
  }();
  return known;
}

bool Known(const std::string& privilege) {
  const auto& k = KnownPrivileges();
  return std::find(k.begin(), k.end(), privilege) != k.end();
}

// Every role the user holds, itself and PUBLIC included.
constexpr const char* kHeld =
    "WITH RECURSIVE held(id) AS (SELECT ?1 UNION SELECT 1 "
    "UNION SELECT r.role_id FROM role_grants r JOIN held h ON r.grantee_id = h.id) ";

std::optional<UserRow> FindRole(Storage& s, const std::string& name) {
  auto u = FindUser(s, name);
  if (u && u->kind == 0 && u->id != kPublicUserId) return u;
  return std::nullopt;
}

bool MayGrant(DdlContext& ctx) {
  return ctx.userId == kSysUserId || HoldsSystemPrivilege(ctx.storage, ctx.userId, "GRANT ANY PRIVILEGE");
}

}  // namespace

void SeedRoles(Storage& s) {
  const std::string now = Storage::Now();
  for (auto [id, name] : {std::pair{kConnectRoleId, "CONNECT"}, std::pair{kResourceRoleId, "RESOURCE"},
                          std::pair{kDbaRoleId, "DBA"}}) {
    auto q = s.Query("INSERT INTO users (user_id, name, kind, password, created) VALUES (?1, ?2, 0, NULL, ?3)");
    q.Bind(1, id).Bind(2, std::string(name)).Bind(3, now);
    q.Run();
  }
  auto add = [&](int grantee, const char* privilege) {
    auto q = s.Query("INSERT INTO system_privileges (grantee_id, privilege) VALUES (?1, ?2)");
    q.Bind(1, grantee).Bind(2, std::string(privilege));
    q.Run();
  };
  add(kConnectRoleId, "CREATE SESSION");
  add(kConnectRoleId, "SET CONTAINER");
  for (const char* p : {"CREATE CLUSTER", "CREATE INDEXTYPE", "CREATE OPERATOR", "CREATE PROCEDURE",
                        "CREATE SEQUENCE", "CREATE TABLE", "CREATE TRIGGER", "CREATE TYPE"})
    add(kResourceRoleId, p);
  auto role = s.Query("INSERT INTO role_grants (grantee_id, role_id, admin_option) VALUES (?1, ?2, 'YES')");
  role.Bind(1, kSystemUserId).Bind(2, kDbaRoleId);
  role.Run();
  // The SYS tables are objects of SYS so that they can be granted.
  for (auto [id, name] : {std::pair{18, "OBJ$"}, std::pair{22, "USER$"}, std::pair{62, "SYN$"}}) {
    auto q = s.Query("INSERT INTO objects (obj_id, owner_id, name, type, namespace, created, last_ddl) "
                     "VALUES (?1, 0, ?2, 2, 1, ?3, ?3)");
    q.Bind(1, id).Bind(2, std::string(name)).Bind(3, now);
    q.Run();
  }
}

bool HoldsSystemPrivilege(Storage& s, int userId, const std::string& privilege) {
  if (userId == kSysUserId) return true;
  std::string any = privilege;
  if (any.rfind("CREATE ", 0) == 0 && any.find(" PUBLIC ") == std::string::npos &&
      any.rfind("CREATE SESSION", 0) != 0)
    any.insert(7, "ANY ");
  auto q = s.Query(std::string(kHeld) +
                   "SELECT 1 FROM held h WHERE h.id = ?2 OR EXISTS (SELECT 1 FROM system_privileges p "
                   "WHERE p.grantee_id = h.id AND p.privilege IN (?3, ?4)) LIMIT 1");
  q.Bind(1, userId).Bind(2, kDbaRoleId).Bind(3, privilege).Bind(4, any);
  return q.Step();
}

void RequireSystemPrivilege(DdlContext& ctx, const std::string& privilege, int offset) {
  if (!HoldsSystemPrivilege(ctx.storage, ctx.userId, privilege)) Raise(1031, offset);
}

void GrantSystem(DdlContext& ctx, const std::vector<std::string>& names, const std::vector<int>& granteeIds,
                 bool adminOption, int offset) {
  std::vector<std::pair<std::string, int>> resolved;  // privilege, or "" and a role
  for (const auto& name : names) {
    if (Known(name)) {
      resolved.emplace_back(name, 0);
    } else if (auto role = FindRole(ctx.storage, name)) {
      resolved.emplace_back(std::string(), role->id);
    } else {
      if (name.find(' ') != std::string::npos) Raise(990, offset);
      Raise(1919, offset, {name});
    }
  }
  if (!MayGrant(ctx)) Raise(1031, offset);
  const std::string admin = adminOption ? "YES" : "NO";
  for (int grantee : granteeIds) {
    for (const auto& [privilege, roleId] : resolved) {
      if (roleId == grantee) Raise(1934, offset);  // a role granted to itself
      auto q = privilege.empty()
                   ? ctx.storage.Query("INSERT INTO role_grants (grantee_id, role_id, admin_option) VALUES "
                                       "(?1, ?2, ?3) ON CONFLICT DO UPDATE SET admin_option = "
                                       "CASE WHEN excluded.admin_option = 'YES' THEN 'YES' ELSE admin_option END")
                   : ctx.storage.Query("INSERT INTO system_privileges (grantee_id, privilege, admin_option) VALUES "
                                       "(?1, ?2, ?3) ON CONFLICT DO UPDATE SET admin_option = "
                                       "CASE WHEN excluded.admin_option = 'YES' THEN 'YES' ELSE admin_option END");
      q.Bind(1, grantee);
      if (privilege.empty()) q.Bind(2, roleId);
      else q.Bind(2, privilege);
      q.Bind(3, admin);
      q.Run();
    }
  }
}

void RevokeSystem(DdlContext& ctx, const std::vector<std::string>& names, const std::vector<int>& granteeIds,
                  int offset) {
  for (const auto& name : names) {
    if (!Known(name) && !FindRole(ctx.storage, name)) {
      if (name.find(' ') != std::string::npos) Raise(990, offset);
      Raise(1919, offset, {name});
    }
  }
  if (!MayGrant(ctx)) Raise(1031, offset);
  for (int grantee : granteeIds) {
    for (const auto& name : names) {
      auto role = Known(name) ? std::nullopt : FindRole(ctx.storage, name);
      auto q = role ? ctx.storage.Query("DELETE FROM role_grants WHERE grantee_id = ?1 AND role_id = ?2")
                    : ctx.storage.Query("DELETE FROM system_privileges WHERE grantee_id = ?1 AND privilege = ?2");
      q.Bind(1, grantee);
      if (role) q.Bind(2, role->id);
      else q.Bind(2, name);
      q.Run();
      if (ctx.storage.Changes() == 0) {
        auto who = FindUserById(ctx.storage, grantee);
        const std::string whoName = who ? who->name : std::string();
        if (role) Raise(1951, offset, {name, whoName});
        Raise(1952, offset, {whoName});
      }
    }
  }
}

bool MayReadSysTable(Storage& s, int userId, const std::string& table) {
  if (userId == kSysUserId) return true;
  auto direct = s.Query("SELECT 1 FROM grants g JOIN objects o ON o.obj_id = g.obj_id WHERE o.owner_id = 0 "
                        "AND o.name = ?1 AND g.grantee_id IN (?2, 1) AND g.privilege IN ('SELECT', 'READ')");
  direct.Bind(1, table).Bind(2, userId);
  if (direct.Step()) return true;
  // From 12c on USER$ is left out of SELECT ANY DICTIONARY.
  return table != "USER$" && HoldsSystemPrivilege(s, userId, "SELECT ANY DICTIONARY");
}

}  // namespace oraemu
