#include "engine/ddl.h"

#include "engine/ddl_codes.h"
#include "engine/ddl_statements.h"
#include "engine/errors.h"
#include "engine/parser.h"
#include "engine/system_privileges.h"

namespace oraemu {

namespace {

// A creation stands only when the user holds its system privilege; checked
// after the statement parsed and resolved, so syntax errors come first.
uint16_t Privileged(DdlContext& ctx, const char* privilege, uint16_t code) {
  RequireSystemPrivilege(ctx, privilege);
  return code;
}

uint16_t Create(DdlContext& ctx, Parser& p) {
  bool orReplace = false;
  if (p.Accept("OR")) {
    p.Expect("REPLACE");
    orReplace = true;
  }
  if (p.Accept("PUBLIC")) {
    if (p.Peek().Is("SYNONYM")) {
      p.Next();
      return Privileged(ctx, "CREATE PUBLIC SYNONYM", CreateSynonym(ctx, p, orReplace, true));
    }
    if (p.Accept("DATABASE")) {
      p.Expect("LINK");
      return Privileged(ctx, "CREATE PUBLIC DATABASE LINK", CreateDbLink(ctx, p, true));
    }
    p.FailHere(901);
  }
  // Editioning is a property this server does not keep.
  if (!p.Accept("EDITIONABLE")) p.Accept("NONEDITIONABLE");
  const Token& t = p.Peek();
  if (!orReplace && t.Is("TABLE")) {
    p.Next();
    return Privileged(ctx, "CREATE TABLE", CreateTable(ctx, p));
  }
  if (!orReplace && (t.Is("UNIQUE") || t.Is("INDEX"))) {
    bool unique = p.Accept("UNIQUE");
    p.Expect("INDEX", 901);
    return CreateIndex(ctx, p, unique);
  }
  if (!orReplace && t.Is("SEQUENCE")) {
    p.Next();
    return Privileged(ctx, "CREATE SEQUENCE", CreateSequence(ctx, p));
  }
  if (t.Is("TRIGGER") || t.Is("FUNCTION") || t.Is("PROCEDURE") || t.Is("PACKAGE")) {
    const char* privilege = t.Is("TRIGGER") ? "CREATE TRIGGER" : "CREATE PROCEDURE";
    return Privileged(ctx, privilege, CreateStoredCode(ctx, p, orReplace));
  }
  if (t.Is("FORCE") || t.Is("NOFORCE") || t.Is("VIEW")) {
    if (!p.Accept("NOFORCE")) p.Accept("FORCE");
    p.Expect("VIEW", 901);
    return Privileged(ctx, "CREATE VIEW", CreateView(ctx, p, orReplace));
  }
  if (t.Is("SYNONYM")) {
    p.Next();
    return Privileged(ctx, "CREATE SYNONYM", CreateSynonym(ctx, p, orReplace, false));
  }
  if (!orReplace && t.Is("DATABASE") && p.Peek(1).Is("LINK")) {
    p.Next();
    p.Next();
    return Privileged(ctx, "CREATE DATABASE LINK", CreateDbLink(ctx, p, false));
  }
  if (!orReplace && t.Is("USER")) {
    p.Next();
    return CreateUser(ctx, p);
  }
  p.FailHere(901);
}

uint16_t Drop(DdlContext& ctx, Parser& p) {
  const Token& t = p.Peek();
  if (t.Is("TABLE")) return p.Next(), DropTable(ctx, p);
  if (t.Is("INDEX")) return p.Next(), DropIndex(ctx, p);
  if (t.Is("SEQUENCE")) return p.Next(), DropSequence(ctx, p);
  if (t.Is("VIEW")) return p.Next(), DropView(ctx, p);
  if (t.Is("TRIGGER") || t.Is("FUNCTION") || t.Is("PROCEDURE") || t.Is("PACKAGE")) return DropStoredCode(ctx, p);
  if (t.Is("SYNONYM")) return p.Next(), DropSynonym(ctx, p, false);
  if (t.Is("USER")) return p.Next(), DropUser(ctx, p);
  if (t.Is("PUBLIC")) {
    p.Next();
    if (p.Accept("SYNONYM")) return DropSynonym(ctx, p, true);
    p.Expect("DATABASE", 950);
    p.Expect("LINK");
    return DropDbLink(ctx, p, true);
  }
  if (t.Is("DATABASE")) {
    p.Next();
    p.Expect("LINK");
    return DropDbLink(ctx, p, false);
  }
  p.FailHere(950);
}

uint16_t Dispatch(DdlContext& ctx, Parser& p) {
  Token first = p.Next();
  if (first.Is("CREATE")) return Create(ctx, p);
  if (first.Is("DROP")) return Drop(ctx, p);
  if (first.Is("ALTER")) {
    if (p.Accept("TABLE")) return AlterTable(ctx, p);
    if (p.Accept("USER")) return AlterUser(ctx, p);
    if (p.Accept("TRIGGER")) return AlterTrigger(ctx, p);
    p.FailHere(940);
  }
  if (first.Is("COMMENT")) return CommentOn(ctx, p);
  if (first.Is("GRANT")) return Grant(ctx, p);
  if (first.Is("REVOKE")) return Revoke(ctx, p);
  // DDL commits on its own; there is no table data to keep in a transaction.
  if (first.Is("COMMIT") || first.Is("ROLLBACK")) {
    bool commit = first.Is("COMMIT");
    p.Accept("WORK");
    p.ExpectEnd();
    return commit ? fncode::kCommit : fncode::kRollback;
  }
  // The emulated server holds no table data and runs no PL/SQL.
  if (first.Is("INSERT") || first.Is("UPDATE") || first.Is("DELETE") || first.Is("MERGE") ||
      first.Is("BEGIN") || first.Is("DECLARE") || first.Is("CALL"))
    Raise(3001);
  if (first.kind == Token::Kind::Invalid) Raise(911, first.offset);
  Raise(900);
}

}  // namespace

Result ExecuteDdl(DdlContext& ctx, const std::string& sql) {
  Storage::Transaction transaction(ctx.storage);
  Parser parser(sql);
  Result r;
  r.sqlFnCode = Dispatch(ctx, parser);
  transaction.Commit();
  r.warning = std::move(ctx.warning);
  return r;
}

}  // namespace oraemu
