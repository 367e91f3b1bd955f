#include "engine/catalog.h"
#include "engine/ddl_codes.h"
#include "engine/ddl_statements.h"
#include "engine/errors.h"

namespace oraemu {

namespace {

// A database link name: identifiers joined by dots (a global name).
std::string ReadLinkName(Parser& p, int code) {
  std::string name = p.ReadIdent(code).name;
  while (p.AcceptSymbol(".")) name += "." + p.ReadIdent(code).name;
  return name;
}

}  // namespace

uint16_t CreateSynonym(DdlContext& ctx, Parser& p, bool orReplace, bool isPublic) {
  QualifiedName name = p.ReadQualified(995);
  if (isPublic && !name.owner.empty()) p.Fail(995, p.Peek());
  p.Expect("FOR");
  QualifiedName target = p.ReadQualified(995);
  std::optional<std::string> link;
  if (p.AcceptSymbol("@")) link = ReadLinkName(p, 995);
  p.ExpectEnd();

  Storage& s = ctx.storage;
  int owner = isPublic ? kPublicUserId : ResolveOwner(ctx, name, true);
  auto existing = FindObject(s, owner, name.name, kNsDefault);
  if (existing && (!orReplace || existing->type != kObjSynonym)) Raise(955, name.offset);
  int64_t id;
  if (existing) {
    id = existing->id;
    TouchObject(s, id);
  } else {
    id = InsertObject(s, owner, name.name, kObjSynonym, kNsDefault);
  }
  auto q = s.Query("INSERT OR REPLACE INTO synonyms (obj_id, target_owner, target_name, db_link) VALUES (?1, ?2, ?3, ?4)");
  std::optional<std::string> targetOwner;
  if (!target.owner.empty()) targetOwner = target.owner;
  else if (!link) targetOwner = ctx.userName;
  q.Bind(1, id).Bind(2, targetOwner).Bind(3, target.name).Bind(4, link);
  q.Run();
  return fncode::kCreateSynonym;
}

uint16_t DropSynonym(DdlContext& ctx, Parser& p, bool isPublic) {
  const int missing = isPublic ? 1432 : 1434;
  QualifiedName name = p.ReadQualified(995);
  p.Accept("FORCE");
  p.ExpectEnd();
  int owner = isPublic ? kPublicUserId : ResolveOwner(ctx, name, false, missing);
  auto obj = FindObject(ctx.storage, owner, name.name, kNsDefault);
  if (!obj || obj->type != kObjSynonym) Raise(missing, name.offset);
  if (!isPublic && owner != ctx.userId && !IsPrivileged(ctx)) Raise(1031, name.offset);
  DeleteObject(ctx.storage, obj->id);
  return fncode::kDropSynonym;
}

uint16_t CreateDbLink(DdlContext& ctx, Parser& p, bool isPublic) {
  const Token at = p.Peek();
  std::string name = ReadLinkName(p, 904);
  std::optional<std::string> user, password, host;
  if (p.Accept("CONNECT")) {
    p.Expect("TO");
    if (p.Accept("CURRENT_USER")) {
    } else {
      user = p.ReadIdent().name;
      p.Expect("IDENTIFIED");
      p.Expect("BY");
      const Token pw = p.Peek();
      if (pw.kind != Token::Kind::Word && pw.kind != Token::Kind::QuotedIdent) p.Fail(988, pw);
      p.Next();
      password = pw.text;
    }
  }
  if (p.Accept("USING")) host = p.ReadString(905).text;
  p.ExpectEnd();

  int owner = isPublic ? kPublicUserId : ctx.userId;
  {
    auto exists = ctx.storage.Query("SELECT 1 FROM db_links WHERE owner_id = ?1 AND name = ?2");
    exists.Bind(1, owner).Bind(2, name);
    if (exists.Step()) Raise(2011, at.offset);
  }
  auto q = ctx.storage.Query("INSERT INTO db_links (owner_id, name, username, password, host, created) "
                             "VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
  q.Bind(1, owner).Bind(2, name).Bind(3, user).Bind(4, password).Bind(5, host).Bind(6, Storage::Now());
  q.Run();
  return fncode::kCreateDbLink;
}

uint16_t DropDbLink(DdlContext& ctx, Parser& p, bool isPublic) {
  const Token at = p.Peek();
  std::string name = ReadLinkName(p, 904);
  p.ExpectEnd();
  auto q = ctx.storage.Query("DELETE FROM db_links WHERE owner_id = ?1 AND name = ?2");
  q.Bind(1, isPublic ? kPublicUserId : ctx.userId).Bind(2, name);
  q.Run();
  if (ctx.storage.Changes() == 0) Raise(2024, at.offset);
  return fncode::kDropDbLink;
}

}  // namespace oraemu
