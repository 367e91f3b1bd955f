#include <algorithm>
#include <vector>

#include "engine/catalog.h"
#include "engine/ddl_codes.h"
#include "engine/ddl_statements.h"
#include "engine/errors.h"
#include "engine/system_privileges.h"

namespace oraemu {

namespace {

struct Grantee {
  int id = 0;
  std::string name;
  int offset = 0;
};

// One privilege word (or the multi-word ones); empty when none is next.
std::string ReadPrivilege(Parser& p) {
  const Token& t = p.Peek();
  if (t.kind != Token::Kind::Word || t.Is("ON") || t.Is("TO") || t.Is("FROM")) return {};
  std::string w = AsciiUpper(p.Next().text);
  if (w == "QUERY") {
    p.Expect("REWRITE", 990);
    return "QUERY REWRITE";
  }
  if (w == "MERGE") {
    p.Expect("VIEW", 990);
    return "MERGE VIEW";
  }
  if (w == "ALL") {
    p.Accept("PRIVILEGES");
    return "ALL";
  }
  // System privileges and roles may span words (CREATE SESSION, CREATE ANY TABLE).
  while (p.Peek().kind == Token::Kind::Word && !p.Peek().Is("ON") && !p.Peek().Is("TO") && !p.Peek().Is("FROM"))
    w += " " + AsciiUpper(p.Next().text);
  return w;
}

std::vector<std::string> ReadPrivileges(Parser& p) {
  std::vector<std::string> privs;
  for (;;) {
    const int at = p.Peek().offset;
    std::string w = ReadPrivilege(p);
    if (w.empty()) p.FailHere(990);
    if (p.Peek().IsSymbol("(")) Raise(3001, p.Peek().offset);  // column privileges
    if (std::find(privs.begin(), privs.end(), w) != privs.end()) Raise(1711, at);
    privs.push_back(w);
    if (!p.AcceptSymbol(",")) return privs;
  }
}

// Taking a privilege back also takes back what its holder granted onward
// with it (which needed WITH GRANT OPTION), and so on down the chain.
void RevokeCascading(Storage& s, int64_t objId, int grantorId, int granteeId, const std::string& privilege) {
  std::vector<int> onward;
  {
    auto q = s.Query("SELECT grantee_id FROM grants WHERE obj_id = ?1 AND grantor_id = ?2 AND privilege = ?3");
    q.Bind(1, objId).Bind(2, granteeId).Bind(3, privilege);
    while (q.Step()) onward.push_back(static_cast<int>(q.Int(0)));
  }
  auto del = s.Query("DELETE FROM grants WHERE obj_id = ?1 AND grantor_id = ?2 AND grantee_id = ?3 AND privilege = ?4");
  del.Bind(1, objId).Bind(2, grantorId).Bind(3, granteeId).Bind(4, privilege);
  del.Run();
  // Another grantor may still give the grantee the privilege; then what
  // the grantee passed on stays.
  auto still = s.Query("SELECT 1 FROM grants WHERE obj_id = ?1 AND grantee_id = ?2 AND privilege = ?3 "
                       "AND grantable = 'YES'");
  still.Bind(1, objId).Bind(2, granteeId).Bind(3, privilege);
  if (still.Step()) return;
  for (int next : onward) RevokeCascading(s, objId, granteeId, next, privilege);
}

std::vector<Grantee> ReadGrantees(DdlContext& ctx, Parser& p) {
  std::vector<Grantee> out;
  do {
    Grantee g;
    g.offset = p.Peek().offset;
    if (p.Accept("PUBLIC")) {
      g.id = kPublicUserId;
      g.name = "PUBLIC";
    } else {
      g.name = p.ReadIdent(1935).name;
      g.id = -1;
    }
    out.push_back(g);
  } while (p.AcceptSymbol(","));
  // Looked up after the whole statement parsed.
  (void)ctx;
  return out;
}

void ResolveGrantees(DdlContext& ctx, std::vector<Grantee>& grantees) {
  for (auto& g : grantees) {
    if (g.id >= 0) continue;
    auto u = FindUser(ctx.storage, g.name);
    if (!u) Raise(1917, g.offset, {g.name});
    g.id = u->id;
  }
}

// Object privileges that ALL stands for, and those allowed, by object type.
std::vector<std::string> AllFor(int type) {
  switch (type) {
    case kObjTable:
      return {"ALTER", "DELETE", "INDEX", "INSERT", "SELECT", "UPDATE", "REFERENCES", "READ", "ON COMMIT REFRESH",
              "QUERY REWRITE", "DEBUG", "FLASHBACK"};
    case kObjView:
      return {"DELETE", "INSERT", "SELECT", "UPDATE", "REFERENCES", "READ", "MERGE VIEW", "ON COMMIT REFRESH",
              "QUERY REWRITE", "DEBUG", "FLASHBACK", "UNDER"};
    case kObjSequence:
      return {"ALTER", "SELECT"};
    default:
      return {"EXECUTE", "DEBUG"};
  }
}

void CheckAllowed(int type, const std::string& priv, int offset) {
  auto all = AllFor(type);
  if (std::find(all.begin(), all.end(), priv) != all.end()) return;
  switch (type) {
    case kObjTable: Raise(priv == "EXECUTE" ? 2224 : 990, offset);
    case kObjView: Raise(priv == "ALTER" || priv == "INDEX" || priv == "EXECUTE" ? 2204 : 990, offset);
    case kObjSequence: Raise(2205, offset);
    default: Raise(2225, offset);
  }
}

// The object a grant names: tables, views, sequences, stored code; a
// synonym stands for its target.
ObjectRow ResolveGrantObject(DdlContext& ctx, const QualifiedName& q) {
  Storage& s = ctx.storage;
  int owner = ResolveOwner(ctx, q, false);
  auto obj = FindObject(s, owner, q.name, kNsDefault);
  if (!obj && q.owner.empty()) obj = FindObject(s, kPublicUserId, q.name, kNsDefault);
  obj = FollowSynonyms(s, obj);
  if (!obj || obj->type == kObjSynonym) Raise(942, q.offset);
  return *obj;
}

// Who the grant is recorded from: the owner, or a holder of the privilege
// WITH GRANT OPTION; SYS and SYSTEM grant on the owner's behalf.
int Grantor(DdlContext& ctx, const ObjectRow& obj, const std::vector<std::string>& privs, int offset) {
  if (obj.ownerId == ctx.userId) return ctx.userId;
  if (IsPrivileged(ctx)) return obj.ownerId;
  for (const auto& priv : privs) {
    auto q = ctx.storage.Query("SELECT 1 FROM grants WHERE obj_id = ?1 AND grantee_id IN (?2, ?3) AND privilege = ?4 "
                               "AND grantable = 'YES'");
    q.Bind(1, obj.id).Bind(2, ctx.userId).Bind(3, kPublicUserId).Bind(4, priv);
    if (!q.Step()) Raise(1031, offset);
  }
  return ctx.userId;
}

}  // namespace

uint16_t Grant(DdlContext& ctx, Parser& p) {
  if (p.Peek().Is("ON")) p.FailHere(990);
  const int privOffset = p.Peek().offset;
  std::vector<std::string> privs = ReadPrivileges(p);
  if (!p.Accept("ON")) {
    // System privileges and roles.
    p.Expect("TO");
    auto grantees = ReadGrantees(ctx, p);
    bool admin = false;
    if (p.Accept("WITH")) {
      p.Expect("ADMIN");
      p.Expect("OPTION");
      admin = true;
    }
    p.ExpectEnd();
    ResolveGrantees(ctx, grantees);
    std::vector<int> ids;
    for (const auto& g : grantees) ids.push_back(g.id);
    GrantSystem(ctx, privs, ids, admin, privOffset);
    return fncode::kGrant;
  }
  QualifiedName q = p.ReadQualified(903);
  p.Expect("TO");
  auto grantees = ReadGrantees(ctx, p);
  bool grantable = false;
  if (p.Accept("WITH")) {
    if (p.Accept("HIERARCHY")) {
      p.Expect("OPTION");
    } else {
      p.Expect("GRANT");
      p.Expect("OPTION");
      grantable = true;
    }
  }
  p.ExpectEnd();

  ObjectRow obj = ResolveGrantObject(ctx, q);
  ResolveGrantees(ctx, grantees);
  std::vector<std::string> expanded;
  for (const auto& priv : privs) {
    if (priv == "ALL") {
      for (const auto& a : AllFor(obj.type)) expanded.push_back(a);
    } else {
      CheckAllowed(obj.type, priv, privOffset);
      expanded.push_back(priv);
    }
  }
  int grantor = Grantor(ctx, obj, expanded, q.offset);
  for (const auto& g : grantees) {
    if (g.id == grantor || g.id == ctx.userId) Raise(1749, g.offset);
    for (const auto& priv : expanded) {
      auto ins = ctx.storage.Query("INSERT INTO grants (obj_id, grantor_id, grantee_id, privilege, grantable) "
                                   "VALUES (?1, ?2, ?3, ?4, ?5) ON CONFLICT DO UPDATE SET grantable = "
                                   "CASE WHEN excluded.grantable = 'YES' THEN 'YES' ELSE grantable END");
      ins.Bind(1, obj.id).Bind(2, grantor).Bind(3, g.id).Bind(4, priv).Bind(5, std::string(grantable ? "YES" : "NO"));
      ins.Run();
    }
  }
  return fncode::kGrant;
}

uint16_t Revoke(DdlContext& ctx, Parser& p) {
  if (p.Peek().Is("ON")) p.FailHere(990);
  const int privOffset = p.Peek().offset;
  std::vector<std::string> privs = ReadPrivileges(p);
  if (!p.Accept("ON")) {
    p.Expect("FROM");
    auto grantees = ReadGrantees(ctx, p);
    p.ExpectEnd();
    ResolveGrantees(ctx, grantees);
    std::vector<int> ids;
    for (const auto& g : grantees) ids.push_back(g.id);
    RevokeSystem(ctx, privs, ids, privOffset);
    return fncode::kRevoke;
  }
  QualifiedName q = p.ReadQualified(903);
  p.Expect("FROM");
  auto grantees = ReadGrantees(ctx, p);
  p.Accept("CASCADE") && p.Accept("CONSTRAINTS");
  p.Accept("FORCE");
  p.ExpectEnd();

  ObjectRow obj = ResolveGrantObject(ctx, q);
  ResolveGrantees(ctx, grantees);
  const int grantor = obj.ownerId != ctx.userId && IsPrivileged(ctx) ? obj.ownerId : ctx.userId;
  bool all = std::find(privs.begin(), privs.end(), "ALL") != privs.end();
  for (const auto& g : grantees) {
    if (g.id == ctx.userId) Raise(1749, g.offset);
    std::vector<std::string> held;
    {
      auto q = ctx.storage.Query("SELECT privilege FROM grants WHERE obj_id = ?1 AND grantor_id = ?2 AND grantee_id = ?3");
      q.Bind(1, obj.id).Bind(2, grantor).Bind(3, g.id);
      while (q.Step()) held.push_back(q.Text(0));
    }
    if (all && held.empty()) Raise(1927, g.offset);
    if (!all) {
      for (const auto& priv : privs)
        if (std::find(held.begin(), held.end(), priv) == held.end()) Raise(1927, g.offset);
    }
    for (const auto& priv : all ? held : privs) RevokeCascading(ctx.storage, obj.id, grantor, g.id, priv);
  }
  return fncode::kRevoke;
}

}  // namespace oraemu
