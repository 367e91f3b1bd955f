// The statement calls: prepare (with the statement cache of the 9.2
// interface), bind, define, execute and fetch.
#include <algorithm>

#include "oci/placeholders.h"
#include "oci/statement.h"
#include "oci/value_convert.h"

using namespace oraemu::oci;

namespace {

StmtHandle* Stmt(const void* p) { return As<StmtHandle>(p, OCI_HTYPE_STMT); }

BindHandle* BindFor(StmtHandle& stmt, const std::string& name, ub4 position) {
  for (auto& bind : stmt.binds) {
    if (position != 0 ? bind->position == position : (bind->position == 0 && bind->name == name)) {
      return bind.get();
    }
  }
  stmt.binds.push_back(std::make_unique<BindHandle>(OCI_HTYPE_BIND, stmt.env));
  return stmt.binds.back().get();
}

sword Bind(StmtHandle& stmt, OCIBind** bindp, const ErrorSink& sink, const std::string& sqlName,
           ub4 position, void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* alenp, ub2* rcodep,
           ub4 mode) {
  if (!IsSupportedBindType(dty) || (mode & OCI_DATA_AT_EXEC) != 0) return sink.Report(kUnimplemented);
  const std::string name = NormalBindName(sqlName);
  BindHandle* bind = BindFor(stmt, name, position);
  bind->name = name;
  bind->sqlName = sqlName;
  bind->position = position;
  bind->value = valuep;
  bind->valueSize = value_sz;
  bind->dty = dty;
  bind->indicator = indp;
  bind->actualLength = alenp;
  bind->returnCode = rcodep;
  if (bindp != nullptr) *bindp = reinterpret_cast<OCIBind*>(Out(bind));
  return OCI_SUCCESS;
}

// Drops the statements a cache holds beyond its size, oldest first.
void TrimCache(SvcCtxHandle& svc) {
  while (svc.cache.size() > svc.stmtCacheSize) {
    StmtHandle* oldest = svc.cache.front().second;
    svc.cache.erase(svc.cache.begin());
    svc.env->Release(oldest);
  }
}

}  // namespace

ORAEMU_EXPORT sword OCIStmtPrepare(OCIStmt* stmtp, OCIError* errhp, const OraText* stmt, ub4 stmt_len,
                                   ub4 /*language*/, ub4 /*mode*/) {
  StmtHandle* handle = Stmt(stmtp);
  if (handle == nullptr) return OCI_INVALID_HANDLE;
  handle->fnCode = kFnStmtPrepare;
  ErrorSink sink(errhp);
  return Guarded(sink, [&] {
    Prepare(*handle, TextArg(stmt, static_cast<sb4>(stmt_len)));
    return OCI_SUCCESS;
  });
}

ORAEMU_EXPORT sword OCIStmtPrepare2(OCISvcCtx* svchp, OCIStmt** stmtp, OCIError* errhp, const OraText* stmt,
                                    ub4 stmt_len, const OraText* key, ub4 key_len, ub4 /*language*/,
                                    ub4 mode) {
  auto* svc = As<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
  if (svc == nullptr || stmtp == nullptr) return OCI_INVALID_HANDLE;
  ErrorSink sink(errhp);
  return Guarded(sink, [&] {
    const std::string text = TextArg(stmt, static_cast<sb4>(stmt_len));
    const std::string tag = TextArg(key, static_cast<sb4>(key_len));
    const std::string& lookup = tag.empty() ? text : tag;
    StmtHandle* handle = nullptr;
    if (svc->stmtCacheEnabled) {
      auto hit = std::find_if(svc->cache.begin(), svc->cache.end(),
                              [&](const auto& entry) { return entry.first == lookup; });
      if (hit != svc->cache.end()) {
        handle = hit->second;
        svc->cache.erase(hit);
      }
    }
    if (handle == nullptr) {
      if ((mode & OCI_PREP2_CACHE_SEARCHONLY) != 0) return sink.Report(kNotInCache);
      handle = svc->env->Adopt(std::make_unique<StmtHandle>(OCI_HTYPE_STMT, svc->env));
      Prepare(*handle, text.empty() ? std::string() : text);
    } else {
      // A cached statement comes back ready to bind and execute again.
      Prepare(*handle, handle->sql);
    }
    handle->cacheKey = lookup;
    handle->cacheOwner = svc;
    handle->fnCode = kFnStmtPrepare2;
    *stmtp = reinterpret_cast<OCIStmt*>(Out(handle));
    return OCI_SUCCESS;
  });
}

ORAEMU_EXPORT sword OCIStmtRelease(OCIStmt* stmtp, OCIError* errhp, const OraText* key, ub4 key_len,
                                   ub4 mode) {
  StmtHandle* handle = Stmt(stmtp);
  if (handle == nullptr) return OCI_INVALID_HANDLE;
  ErrorSink sink(errhp);
  SvcCtxHandle* svc = handle->cacheOwner;
  if (svc == nullptr || !svc->stmtCacheEnabled || (mode & OCI_STRLS_CACHE_DELETE) != 0 ||
      svc->stmtCacheSize == 0) {
    handle->env->Release(handle);
    return OCI_SUCCESS;
  }
  const std::string tag = TextArg(key, static_cast<sb4>(key_len));
  svc->cache.emplace_back(tag.empty() ? handle->cacheKey : tag, handle);
  TrimCache(*svc);
  return OCI_SUCCESS;
}

ORAEMU_EXPORT sword OCIBindByName(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, const OraText* placeholder,
                                  sb4 placeh_len, void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* alenp,
                                  ub2* rcodep, ub4 /*maxarr_len*/, ub4* /*curelep*/, ub4 mode) {
  StmtHandle* stmt = Stmt(stmtp);
  if (stmt == nullptr) return OCI_INVALID_HANDLE;
  stmt->fnCode = kFnBindByName;
  ErrorSink sink(errhp);
  return Guarded(sink, [&] {
    const std::string wanted = NormalBindName(TextArg(placeholder, placeh_len));
    auto spelled = std::find_if(stmt->placeholders.begin(), stmt->placeholders.end(),
                                [&](const std::string& name) { return NormalBindName(name) == wanted; });
    if (wanted.empty() || spelled == stmt->placeholders.end()) return sink.Report(kIllegalVariable);
    return Bind(*stmt, bindp, sink, *spelled, 0, valuep, value_sz, dty, indp, alenp, rcodep, mode);
  });
}

ORAEMU_EXPORT sword OCIBindByPos(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, ub4 position, void* valuep,
                                 sb4 value_sz, ub2 dty, void* indp, ub2* alenp, ub2* rcodep,
                                 ub4 /*maxarr_len*/, ub4* /*curelep*/, ub4 mode) {
  StmtHandle* stmt = Stmt(stmtp);
  if (stmt == nullptr) return OCI_INVALID_HANDLE;
  stmt->fnCode = kFnBindByPos;
  ErrorSink sink(errhp);
  return Guarded(sink, [&] {
    if (position == 0 || position > stmt->placeholders.size()) return sink.Report(kIllegalVariable);
    return Bind(*stmt, bindp, sink, stmt->placeholders[position - 1], position, valuep, value_sz, dty, indp,
                alenp, rcodep, mode);
  });
}

ORAEMU_EXPORT sword OCIBindArrayOfStruct(OCIBind* bindp, OCIError* errhp, ub4 pvskip, ub4 indskip, ub4 alskip,
                                         ub4 rcskip) {
  auto* bind = As<BindHandle>(bindp, OCI_HTYPE_BIND);
  if (bind == nullptr) return OCI_INVALID_HANDLE;
  ErrorSink sink(errhp);
  bind->valueSkip = pvskip;
  bind->indicatorSkip = indskip;
  bind->lengthSkip = alskip;
  bind->returnCodeSkip = rcskip;
  return OCI_SUCCESS;
}

ORAEMU_EXPORT sword OCIDefineByPos(OCIStmt* stmtp, OCIDefine** defnp, OCIError* errhp, ub4 position, void* valuep,
                                   sb4 value_sz, ub2 dty, void* indp, ub2* rlenp, ub2* rcodep, ub4 mode) {
  StmtHandle* stmt = Stmt(stmtp);
  if (stmt == nullptr) return OCI_INVALID_HANDLE;
  stmt->fnCode = kFnDefine;
  ErrorSink sink(errhp);
  return Guarded(sink, [&] {
    if (position == 0) return sink.Report(kNotInSelectList);
    if (!stmt->params.empty() && position > stmt->params.size()) return sink.Report(kNotInSelectList);
    if (!IsSupportedDefineType(dty)) return sink.Report(kUnimplemented);
    if (stmt->defines.size() < position) stmt->defines.resize(position);
    auto& slot = stmt->defines[position - 1];
    if (slot == nullptr) slot = std::make_unique<DefineHandle>(OCI_HTYPE_DEFINE, stmt->env);
    DefineHandle& define = *slot;
    define.position = position;
    define.value = valuep;
    define.valueSize = value_sz;
    define.dty = dty;
    define.indicator = static_cast<sb2*>(indp);
    define.returnLength = rlenp;
    define.returnCode = rcodep;
    define.mode = mode;
    define.callback = nullptr;
    define.callbackContext = nullptr;
    define.valueSkip = define.indicatorSkip = define.lengthSkip = define.returnCodeSkip = 0;
    if (defnp != nullptr) *defnp = reinterpret_cast<OCIDefine*>(Out(&define));
    return OCI_SUCCESS;
  });
}

ORAEMU_EXPORT sword OCIDefineDynamic(OCIDefine* defnp, OCIError* errhp, void* octxp, OCICallbackDefine ocbfp) {
  auto* define = As<DefineHandle>(defnp, OCI_HTYPE_DEFINE);
  if (define == nullptr) return OCI_INVALID_HANDLE;
  define->fnCode = kFnDefineDynamic;
  ErrorSink sink(errhp);
  if ((define->mode & OCI_DYNAMIC_FETCH) == 0) return sink.Report(kIllegalParameter);
  define->callbackContext = octxp;
  define->callback = ocbfp;
  return OCI_SUCCESS;
}

ORAEMU_EXPORT sword OCIDefineArrayOfStruct(OCIDefine* defnp, OCIError* errhp, ub4 pvskip, ub4 indskip,
                                           ub4 rlskip, ub4 rcskip) {
  auto* define = As<DefineHandle>(defnp, OCI_HTYPE_DEFINE);
  if (define == nullptr) return OCI_INVALID_HANDLE;
  ErrorSink sink(errhp);
  define->valueSkip = pvskip;
  define->indicatorSkip = indskip;
  define->lengthSkip = rlskip;
  define->returnCodeSkip = rcskip;
  return OCI_SUCCESS;
}

ORAEMU_EXPORT sword OCIStmtExecute(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters, ub4 rowoff,
                                   const OCISnapshot* /*snap_in*/, OCISnapshot* /*snap_out*/, ub4 mode) {
  auto* svc = As<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
  StmtHandle* stmt = Stmt(stmtp);
  if (svc == nullptr || stmt == nullptr) return OCI_INVALID_HANDLE;
  stmt->fnCode = kFnStmtExecute;
  ErrorSink sink(errhp);
  // A service context lent to an Oracle 7 login area serves only Oracle 7 calls.
  if (svc->lentToLda) return sink.Report(kOperationNotAllowed);
  return Guarded(sink, [&] { return Execute(*svc, *stmt, iters, rowoff, mode, sink); });
}

ORAEMU_EXPORT sword OCIStmtFetch2(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation,
                                  sb4 /*scrollOffset*/, ub4 /*mode*/) {
  StmtHandle* stmt = Stmt(stmtp);
  if (stmt == nullptr) return OCI_INVALID_HANDLE;
  stmt->fnCode = kFnStmtFetch;
  ErrorSink sink(errhp);
  return Guarded(sink, [&] { return Fetch(*stmt, nrows, orientation, sink); });
}

ORAEMU_EXPORT sword OCIStmtFetch(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation, ub4 mode) {
  return OCIStmtFetch2(stmtp, errhp, nrows, orientation, 0, mode);
}

// The polling form of piecewise operations (OCI_NEED_DATA) is not served:
// LONG values arrive through OCIDefineDynamic callbacks.
ORAEMU_EXPORT sword OCIStmtGetPieceInfo(OCIStmt* stmtp, OCIError* errhp, void**, ub4*, ub1*, ub4*, ub4*, ub1*) {
  if (Stmt(stmtp) == nullptr) return OCI_INVALID_HANDLE;
  return ErrorSink(errhp).Report(kUnimplemented);
}

ORAEMU_EXPORT sword OCIStmtSetPieceInfo(void* hndlp, ub4, OCIError* errhp, const void*, ub4*, ub1, const void*,
                                       ub2*) {
  if (AnyHandle(hndlp) == nullptr) return OCI_INVALID_HANDLE;
  return ErrorSink(errhp).Report(kUnimplemented);
}
