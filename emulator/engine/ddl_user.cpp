#include "engine/catalog.h"
#include "engine/ddl_codes.h"
#include "engine/ddl_statements.h"
#include "engine/errors.h"

namespace oraemu {

namespace {

// A password as written: quoted ones lose their quotes, plain ones keep
// their case (passwords are case-sensitive).
std::string ReadPassword(Parser& p) {
  const Token t = p.Peek();
  if (t.kind == Token::Kind::QuotedIdent) {
    if (t.text.empty()) p.Fail(988, t);
  } else if (t.kind != Token::Kind::Word) {
    p.Fail(988, t);
  }
  p.Next();
  return t.text;
}

// DEFAULT/TEMPORARY TABLESPACE, QUOTA, PROFILE, ACCOUNT: accepted, not kept.
bool SkipUserOption(Parser& p) {
  if (p.Accept("DEFAULT") || p.Accept("TEMPORARY")) {
    p.Expect("TABLESPACE");
    p.ReadIdent();
  } else if (p.Accept("QUOTA")) {
    if (!p.Accept("UNLIMITED")) {
      if (p.Peek().kind != Token::Kind::Number) p.FailHere(922);
      p.Next();
      if (p.Peek().kind == Token::Kind::Word && !p.Peek().Is("ON")) p.Next();  // K, M, G
    }
    p.Expect("ON");
    p.ReadIdent();
  } else if (p.Accept("PROFILE")) {
    p.ReadIdent();
  } else if (p.Accept("ACCOUNT")) {
    if (!p.Accept("LOCK")) p.Expect("UNLOCK");
  } else {
    return false;
  }
  return true;
}

int RequireUser(DdlContext& ctx, const Ident& name) {
  auto u = FindUser(ctx.storage, name.name);
  if (!u || u->kind != 1) Raise(1918, name.offset, {name.name});
  return u->id;
}

}  // namespace

uint16_t CreateUser(DdlContext& ctx, Parser& p) {
  Ident name = p.ReadIdent(1935);
  p.Expect("IDENTIFIED", 922);
  std::optional<std::string> password;
  bool external = false;
  if (p.Accept("EXTERNALLY")) {
    external = true;
  } else {
    p.Expect("BY");
    password = ReadPassword(p);
  }
  int expiring = 0;
  for (;;) {
    if (SkipUserOption(p)) continue;
    if (p.Accept("PASSWORD")) {
      p.Expect("EXPIRE");
      expiring = -1;
      continue;
    }
    break;
  }
  p.ExpectEnd(922);
  if (!IsPrivileged(ctx)) Raise(1031);
  if (FindUser(ctx.storage, name.name)) Raise(1920, name.offset, {name.name});
  auto q = ctx.storage.Query("INSERT INTO users (user_id, name, kind, password, external, expiring, created) "
                             "VALUES (?1, ?2, 1, ?3, ?4, ?5, ?6)");
  q.Bind(1, ctx.storage.NextUserId()).Bind(2, name.name).Bind(3, password).Bind(4, external ? 1 : 0);
  q.Bind(5, expiring).Bind(6, Storage::Now());
  q.Run();
  return fncode::kCreateUser;
}

// ALTER USER u IDENTIFIED BY pw | IDENTIFIED EXTERNALLY | PASSWORD EXPIRE
// [SOON] | ACCOUNT ... . PASSWORD EXPIRE SOON is this server's own form: the
// next logons warn that the password will expire within 7 days.
uint16_t AlterUser(DdlContext& ctx, Parser& p) {
  Ident name = p.ReadIdent(1935);
  std::optional<std::string> password;
  bool setPassword = false;
  bool external = false;
  std::optional<int> expiring;
  bool any = false;
  for (;;) {
    if (p.Accept("IDENTIFIED")) {
      setPassword = true;
      if (p.Accept("EXTERNALLY")) {
        external = true;
      } else {
        p.Expect("BY");
        password = ReadPassword(p);
        if (p.Accept("REPLACE")) ReadPassword(p);
      }
      if (!expiring) expiring = 0;
    } else if (p.Accept("PASSWORD")) {
      p.Expect("EXPIRE");
      expiring = p.Accept("SOON") ? 7 : -1;
    } else if (!SkipUserOption(p)) {
      break;
    }
    any = true;
  }
  if (!any) p.FailHere(922);
  p.ExpectEnd(922);
  int id = RequireUser(ctx, name);
  if (id != ctx.userId && !IsPrivileged(ctx)) Raise(1031);
  if (setPassword) {
    auto q = ctx.storage.Query("UPDATE users SET password = ?2, external = ?3 WHERE user_id = ?1");
    q.Bind(1, id).Bind(2, password).Bind(3, external ? 1 : 0);
    q.Run();
  }
  if (expiring) {
    auto q = ctx.storage.Query("UPDATE users SET expiring = ?2 WHERE user_id = ?1");
    q.Bind(1, id).Bind(2, *expiring);
    q.Run();
  }
  return fncode::kAlterUser;
}

uint16_t DropUser(DdlContext& ctx, Parser& p) {
  Ident name = p.ReadIdent(1935);
  bool cascade = p.Accept("CASCADE");
  p.ExpectEnd();
  if (!IsPrivileged(ctx)) Raise(1031);
  int id = RequireUser(ctx, name);
  if (id == kSysUserId || id == kSystemUserId || id == ctx.userId) Raise(1031, name.offset);
  Storage& s = ctx.storage;
  bool hasObjects = false;
  {
    auto owns = s.Query("SELECT 1 FROM objects WHERE owner_id = ?1 UNION ALL SELECT 1 FROM db_links WHERE owner_id = ?1");
    owns.Bind(1, id);
    hasObjects = owns.Step();
  }
  if (hasObjects && !cascade) Raise(1922, name.offset, {name.name});
  for (const char* sql : {
           // Keys of other users that point into this schema go first.
           "DELETE FROM constraints WHERE r_con_id IN (SELECT con_id FROM constraints WHERE owner_id = ?1)",
           "DELETE FROM constraints WHERE owner_id = ?1",
           "DELETE FROM constraints WHERE table_obj_id IN (SELECT obj_id FROM objects WHERE owner_id = ?1)",
           "DELETE FROM grants WHERE grantor_id = ?1 OR grantee_id = ?1",
           "DELETE FROM objects WHERE obj_id IN (SELECT i.obj_id FROM indexes i JOIN objects t "
           "ON t.obj_id = i.table_obj_id WHERE t.owner_id = ?1)",
           "DELETE FROM objects WHERE obj_id IN (SELECT g.obj_id FROM triggers g JOIN objects t "
           "ON t.obj_id = g.table_obj_id WHERE t.owner_id = ?1)",
           "DELETE FROM objects WHERE owner_id = ?1",
           "DELETE FROM db_links WHERE owner_id = ?1",
           "DELETE FROM users WHERE user_id = ?1",
       }) {
    auto q = s.Query(sql);
    q.Bind(1, id);
    q.Run();
  }
  return fncode::kDropUser;
}

}  // namespace oraemu
