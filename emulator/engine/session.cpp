#include "engine/session_impl.h"

#include <mutex>

#include "engine/catalog.h"
#include "engine/database_impl.h"
#include "engine/ddl.h"
#include "engine/errors.h"
#include "engine/lexer.h"
#include "engine/system_privileges.h"

#if __has_include("engine/select.h")
#include "engine/select.h"
#define ORAEMU_HAVE_SELECT 1
#endif

namespace oraemu {

namespace {

Token FirstToken(const std::string& sql) {
  Lexer lexer(sql);
  return lexer.Next();
}

bool NamesWord(const Token& t, const char* word) {
  return t.kind == Token::Kind::QuotedIdent ? t.text == word : t.Is(word);
}

// The protected SYS tables a query names (always as SYS.name: they have no
// public synonyms) must be readable by the user: ORA-00942 for a user who
// cannot see them at all, ORA-01031 for one whose dictionary privilege
// stops short of them.
void CheckSysTables(Storage& storage, int userId, const std::string& sql) {
  std::vector<Token> window;
  Lexer lexer(sql);
  try {
    for (Token t = lexer.Next(); !t.IsEnd(); t = lexer.Next()) {
      window.push_back(t);
      if (window.size() > 3) window.erase(window.begin());
      if (window.size() < 3 || !NamesWord(window[0], "SYS") || !window[1].IsSymbol(".")) continue;
      for (const char* table : {"OBJ$", "SYN$", "USER$"}) {
        if (!NamesWord(window[2], table) || MayReadSysTable(storage, userId, table)) continue;
        Raise(HoldsSystemPrivilege(storage, userId, "SELECT ANY DICTIONARY") ? 1031 : 942, window[0].offset);
      }
    }
  } catch (const EOraError& e) {
    if (e.code() == 1740 || e.code() == 1756) return;  // the query parser reports those
    throw;
  }
}

}  // namespace

bool IsQuery(const std::string& sql) {
  Token t = FirstToken(sql);
  return t.Is("SELECT") || t.Is("WITH") || t.IsSymbol("(");
}

uint16_t SessionImpl::StatementType(const std::string& sql) const {
  Token t;
  try {
    t = FirstToken(sql);
  } catch (const EOraError&) {
    return 0;
  }
  static const struct {
    const char* word;
    uint16_t type;
  } kinds[] = {{"SELECT", 1}, {"WITH", 1},  {"UPDATE", 2}, {"DELETE", 3},  {"INSERT", 4}, {"CREATE", 5},
               {"DROP", 6},   {"ALTER", 7}, {"BEGIN", 8},  {"DECLARE", 9}, {"CALL", 10},  {"MERGE", 16}};
  if (t.IsSymbol("(")) return 1;
  for (const auto& k : kinds)
    if (t.Is(k.word)) return k.type;
  return 0;
}

Result SessionImpl::Execute(const std::string& sql, const std::vector<Bind>& binds, bool describeOnly) {
  std::lock_guard<std::mutex> lock(db_->mutex());
  // Oracle's lexer takes no NUL byte for a blank.
  if (size_t nul = sql.find('\0'); nul != std::string::npos) Raise(911, static_cast<int>(nul));
  try {
    if (IsQuery(sql)) {
#ifdef ORAEMU_HAVE_SELECT
      CheckSysTables(db_->storage(), userId_, sql);
      return RunSelect(db_->storage(), userId_, userName_, sql, binds, describeOnly);
#else
      (void)binds;
      (void)describeOnly;
      Raise(900);
#endif
    }
    DdlContext ctx{db_->storage(), userId_, userName_, std::nullopt};
    return ExecuteDdl(ctx, sql);
  } catch (const EStorageError& e) {
    // The file itself failed (locked past the timeout, disk full ...).
    RaiseStorageFailure(e);
  }
}

}  // namespace oraemu
