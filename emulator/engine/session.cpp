#include "engine/session_impl.h"

#include <mutex>

#include "engine/catalog.h"
#include "engine/database_impl.h"
#include "engine/ddl.h"
#include "engine/errors.h"
#include "engine/lexer.h"

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

}  // namespace

bool IsQuery(const std::string& sql) {
  Token t = FirstToken(sql);
  return t.Is("SELECT") || t.Is("WITH") || t.IsSymbol("(");
}

uint16_t SessionImpl::StatementType(const std::string& sql) const {
  Token t;
  try {
    t = FirstToken(sql);
  } catch (const OraError&) {
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
  try {
    if (IsQuery(sql)) {
#ifdef ORAEMU_HAVE_SELECT
      return RunSelect(db_->storage(), userId_, userName_, sql, binds, describeOnly);
#else
      (void)binds;
      (void)describeOnly;
      Raise(900);
#endif
    }
    DdlContext ctx{db_->storage(), userId_, userName_};
    return ExecuteDdl(ctx, sql);
  } catch (const StorageError& e) {
    // The file itself failed (locked past the timeout, disk full ...).
    throw OraError(604, OraMessage(604, {"1"}) + "\n" + e.what());
  }
}

}  // namespace oraemu
