// The Oracle 7 cursor calls: open, parse, bind, describe, define, execute,
// fetch, LONG slices and close, over the statement machinery of the OCI 8
// calls. The outcome of each call is in the cursor data area: return code,
// rows processed, SQL function code and parse error offset.
#include <algorithm>

#include "oci/statement.h"
#include "oci/v7_areas.h"
#include "oci/value_convert.h"

using namespace oraemu::oci;

namespace {

// OCI 7 function codes (the area's fc) of the calls.
enum : ub1 {
  kFcParse = 54,
  kFcOpen = 14,
  kFcClose = 16,
  kFcDescribe = 38,
  kFcDefine = 48,
  kFcBind = 28,
  kFcExecute = 4,
  kFcFetch = 8,
  kFcExecFetch = 96,
  kFcLong = 66,
};

// SQL function codes of statements the parse does not run.
constexpr ub2 kFnInsert = 3, kFnSelect = 4, kFnUpdate = 5, kFnDelete = 9, kFnPlsql = 34;

ub2 FunctionCodeOfType(ub2 stmtType) {
  switch (stmtType) {
    case OCI_STMT_SELECT: return kFnSelect;
    case OCI_STMT_INSERT: return kFnInsert;
    case OCI_STMT_UPDATE: return kFnUpdate;
    case OCI_STMT_DELETE: return kFnDelete;
    case OCI_STMT_BEGIN: case OCI_STMT_DECLARE: case OCI_STMT_CALL: return kFnPlsql;
  }
  return 0;
}

// Queries, DML and PL/SQL wait for their execution; anything else (DDL)
// runs at a parse that is not deferred.
bool RunsAtParse(ub2 stmtType) {
  switch (stmtType) {
    case OCI_STMT_SELECT: case OCI_STMT_INSERT: case OCI_STMT_UPDATE: case OCI_STMT_DELETE:
    case OCI_STMT_BEGIN: case OCI_STMT_DECLARE: case OCI_STMT_CALL: case OCI_STMT_MERGE:
      return false;
  }
  return true;
}

// Runs one cursor call: refuses a dead area, turns the status or exception
// of `body` into the area's outcome, and keeps its counters current.
template <class Body>
sword OnCursor(Cda_Def* cda, ub1 fc, Body&& body) {
  V7Cursor* cursor = CursorOf(cda);
  if (cursor == nullptr) return cda == nullptr ? -1 : Outcome(cda, nullptr, kInvalidCursor);
  V7Login* login = cursor->login;
  if (login == nullptr) return Outcome(cda, nullptr, kNotLoggedOn);
  cda->fc = fc;
  ErrorHandle* err = login->Err();
  if (err != nullptr) err->diag.record.reset();
  const ErrorSink sink(login->err);
  int code = 0, offset = 0;
  std::string message;
  try {
    const sword status = body(*cursor, *cursor->Stmt(), sink);
    if (status == OCI_NO_DATA) {
      code = kNoDataFound;
    } else if (status != OCI_SUCCESS && err != nullptr && err->diag.record) {
      code = err->diag.record->code;
      message = err->diag.record->message;
      offset = err->diag.record->offset;
    } else if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) {
      code = kInternal;
    }
  } catch (const oraemu::EOraError& error) {
    code = error.code();
    message = error.what();
    offset = error.offset();
  } catch (const std::exception& error) {
    code = kInternal;
    message = ClientMessage(kInternal, error.what());
  }
  if (StmtHandle* stmt = cursor->Stmt()) {
    cda->rpc = stmt->rowCount;
    cda->ft = stmt->sqlFnCode;
  }
  return Outcome(cda, login, code, message, offset);
}

SvcCtxHandle& Service(const V7Cursor& cursor) {
  SvcCtxHandle* svc = cursor.login->Svc();
  if (svc == nullptr) throw ClientError(kNotLoggedOn);
  return *svc;
}

void RequireParsed(const V7Cursor& cursor) {
  if (!cursor.parsed) throw ClientError(kNotPrepared);
}

// Describes a query the parse left undescribed (a deferred parse).
void EnsureDescribed(V7Cursor& cursor, StmtHandle& stmt, const ErrorSink& sink) {
  if (cursor.described || stmt.stmtType != OCI_STMT_SELECT) return;
  Execute(Service(cursor), stmt, 0, 0, OCI_DESCRIBE_ONLY, sink);
  stmt.sqlFnCode = kFnSelect;
  cursor.described = true;
}

const char* TypeName(uint16_t type) {
  switch (type) {
    case 2: return "NUMBER";
    case 12: return "DATE";
    case 23: return "BINARY";
  }
  return "CHAR";
}

}  // namespace

ORAEMU_EXPORT sword oopen(Cda_Def* cursor, Lda_Def* lda, OraText* /*dbn*/, sword /*dbnl*/, sword /*arsize*/,
                          OraText* /*uid*/, sword /*uidl*/) {
  if (cursor == nullptr) return -1;
  V7Login* login = LoginOf(lda);
  cursor->chk = 0;
  cursor->rcsp = nullptr;
  cursor->fc = kFcOpen;
  if (login == nullptr) return Outcome(cursor, nullptr, kNotLoggedOn);
  auto* state = new V7Cursor;
  state->login = login;
  if (OCIHandleAlloc(login->env, reinterpret_cast<void**>(&state->stmt), OCI_HTYPE_STMT, 0, nullptr) != OCI_SUCCESS) {
    delete state;
    return Outcome(cursor, login, kInternal, ClientMessage(kInternal, "oopen"));
  }
  login->cursors.push_back(state);
  AttachCursor(cursor, state);
  cursor->rpc = 0;
  cursor->ft = 0;
  return Outcome(cursor, login, 0);
}

ORAEMU_EXPORT sword oclose(Cda_Def* cda) {
  V7Cursor* cursor = CursorOf(cda);
  if (cursor == nullptr) return cda == nullptr ? -1 : Outcome(cda, nullptr, kInvalidCursor);
  V7Login* login = cursor->login;
  DetachArea(cda);
  DestroyCursor(cursor);
  cda->fc = kFcClose;
  return Outcome(cda, login, 0);
}

ORAEMU_EXPORT sword oparse(Cda_Def* cda, OraText* sqlstm, sb4 sqllen, sword defflg, ub4 lngflg) {
  return OnCursor(cda, kFcParse, [&](V7Cursor& cursor, StmtHandle& stmt, const ErrorSink& sink) -> sword {
    cursor.parsed = cursor.described = cursor.executedAtParse = false;
    if (lngflg > OCI7_V7_BEHAVIOUR) return sink.Report(kIllegalParameter);
    if (sqlstm == nullptr) return sink.Report(kIllegalParameter);
    Prepare(stmt, TextArg(sqlstm, sqllen));
    if (!stmt.typeKnown) {
      SessionHandle* user = Service(cursor).session;
      if (user == nullptr || !user->session) throw ClientError(kNotLoggedOn);
      stmt.stmtType = user->session->StatementType(stmt.sql);
      stmt.typeKnown = true;
    }
    stmt.sqlFnCode = FunctionCodeOfType(stmt.stmtType);
    cursor.parsed = true;
    if (defflg != 0) return OCI_SUCCESS;
    // Not deferred: the server parses now, and runs DDL at once.
    if (stmt.stmtType == OCI_STMT_SELECT) {
      EnsureDescribed(cursor, stmt, sink);
      return OCI_SUCCESS;
    }
    if (!RunsAtParse(stmt.stmtType)) return OCI_SUCCESS;
    const sword status = Execute(Service(cursor), stmt, 1, 0, OCI_DEFAULT, sink);
    cursor.executedAtParse = true;
    return status;
  });
}

ORAEMU_EXPORT sword obndra(Cda_Def* cda, OraText* sqlvar, sword sqlvl, ub1* progv, sword progvl, sword ftype,
                           sword /*scale*/, sb2* indp, ub2* alen, ub2* arcode, ub4 maxsiz, ub4* cursiz,
                           OraText* /*fmt*/, sword /*fmtl*/, sword /*fmtt*/) {
  return OnCursor(cda, kFcBind, [&](V7Cursor& cursor, StmtHandle& stmt, const ErrorSink&) -> sword {
    RequireParsed(cursor);
    OCIBind* bind = nullptr;
    return OCIBindByName(reinterpret_cast<OCIStmt*>(Out(&stmt)), &bind, cursor.login->err, sqlvar, sqlvl, progv,
                         progvl, static_cast<ub2>(ftype), indp, alen, arcode, maxsiz, cursiz, OCI_DEFAULT);
  });
}

ORAEMU_EXPORT sword odescr(Cda_Def* cda, sword pos, sb4* dbsize, sb2* dbtype, sb1* cbuf, sb4* cbufl, sb4* dsize,
                           sb2* prec, sb2* scale, sb2* nullok) {
  return OnCursor(cda, kFcDescribe, [&](V7Cursor& cursor, StmtHandle& stmt, const ErrorSink& sink) -> sword {
    RequireParsed(cursor);
    EnsureDescribed(cursor, stmt, sink);
    if (pos < 1 || static_cast<size_t>(pos) > stmt.params.size()) return sink.Report(kNotInSelectList);
    const oraemu::ColumnDesc& column = stmt.params[static_cast<size_t>(pos) - 1]->column;
    // Oracle 7 describes a ROWID as its internal type.
    const sb2 type = column.type == SQLT_RDD ? SQLT_RID : static_cast<sb2>(column.type);
    if (dbsize != nullptr) *dbsize = column.size;
    if (dbtype != nullptr) *dbtype = type;
    if (cbuf != nullptr && cbufl != nullptr) {
      const size_t n = std::min<size_t>(column.name.size(), *cbufl > 0 ? static_cast<size_t>(*cbufl) : 0);
      std::memcpy(cbuf, column.name.data(), n);
      *cbufl = static_cast<sb4>(n);
    } else if (cbufl != nullptr) {
      *cbufl = static_cast<sb4>(column.name.size());
    }
    if (dsize != nullptr) {
      *dsize = type == 2 ? 40 : type == 12 ? 9 : type == 8 || type == 24 ? 0 : column.size;
    }
    if (prec != nullptr) *prec = column.precision;
    if (scale != nullptr) *scale = column.scale;
    if (nullok != nullptr) *nullok = column.nullable ? 1 : 0;
    return OCI_SUCCESS;
  });
}

ORAEMU_EXPORT sword odefin(Cda_Def* cda, sword pos, ub1* buf, sword bufl, sword ftype, sword /*scale*/, sb2* indp,
                           OraText* /*fmt*/, sword /*fmtl*/, sword /*fmtt*/, ub2* rlen, ub2* rcode) {
  return OnCursor(cda, kFcDefine, [&](V7Cursor& cursor, StmtHandle& stmt, const ErrorSink& sink) -> sword {
    RequireParsed(cursor);
    EnsureDescribed(cursor, stmt, sink);
    if (bufl < 0) return sink.Report(kIllegalParameter);
    OCIDefine* define = nullptr;
    return OCIDefineByPos(reinterpret_cast<OCIStmt*>(Out(&stmt)), &define, cursor.login->err,
                          pos < 0 ? 0 : static_cast<ub4>(pos), buf, bufl, static_cast<ub2>(ftype), indp, rlen, rcode,
                          OCI_DEFAULT);
  });
}

ORAEMU_EXPORT sword oexn(Cda_Def* cda, sword iters, sword rowoff) {
  return OnCursor(cda, kFcExecute, [&](V7Cursor& cursor, StmtHandle& stmt, const ErrorSink& sink) -> sword {
    RequireParsed(cursor);
    if (cursor.executedAtParse) {
      cursor.executedAtParse = false;  // the parse ran it already
      return OCI_SUCCESS;
    }
    if (iters < 1 || rowoff < 0) return sink.Report(kIllegalParameter);
    // A query opens here; its rows come with ofen.
    const bool query = stmt.stmtType == OCI_STMT_SELECT;
    return Execute(Service(cursor), stmt, query ? 0 : static_cast<ub4>(iters), static_cast<ub4>(rowoff),
                   OCI_DEFAULT, sink);
  });
}

ORAEMU_EXPORT sword oexec(Cda_Def* cda) { return oexn(cda, 1, 0); }

ORAEMU_EXPORT sword oexfet(Cda_Def* cda, ub4 nrows, sword /*cancel*/, sword exact) {
  return OnCursor(cda, kFcExecFetch, [&](V7Cursor& cursor, StmtHandle& stmt, const ErrorSink& sink) -> sword {
    RequireParsed(cursor);
    if (stmt.stmtType != OCI_STMT_SELECT) return sink.Report(kIllegalParameter);
    if (exact != 0) return sink.Report(kUnimplemented);
    cursor.described = true;
    return Execute(Service(cursor), stmt, nrows, 0, OCI_DEFAULT, sink);
  });
}

ORAEMU_EXPORT sword ofen(Cda_Def* cda, sword nrows) {
  return OnCursor(cda, kFcFetch, [&](V7Cursor& cursor, StmtHandle& stmt, const ErrorSink& sink) -> sword {
    RequireParsed(cursor);
    if (nrows < 0) return sink.Report(kIllegalParameter);
    if (!stmt.executed || !stmt.isQuery) return sink.Report(kFetchOutOfSequence);
    return Fetch(stmt, static_cast<ub4>(nrows), OCI_FETCH_NEXT, sink);
  });
}

ORAEMU_EXPORT sword oflng(Cda_Def* cda, sword pos, ub1* buf, sb4 bufl, sword /*dtype*/, ub4* retl, sb4 offset) {
  return OnCursor(cda, kFcLong, [&](V7Cursor&, StmtHandle& stmt, const ErrorSink& sink) -> sword {
    if (retl != nullptr) *retl = 0;
    // The current row is the last one fetched.
    if (!stmt.executed || !stmt.isQuery || stmt.nextRow == 0 || stmt.rowsFetched == 0) {
      return sink.Report(kFetchOutOfSequence);
    }
    const auto& row = stmt.result.rows[stmt.nextRow - 1];
    if (pos < 1 || static_cast<size_t>(pos) > row.size()) return sink.Report(kNotInSelectList);
    const uint16_t type = stmt.params[static_cast<size_t>(pos) - 1]->column.type;
    if (type != SQLT_LNG && type != SQLT_LBI) {
      return sink.Report(ClientError(kInconsistentTypes, std::string("LONG got ") + TypeName(type)));
    }
    if (buf == nullptr || bufl < 0 || offset < 0) return sink.Report(kIllegalParameter);
    const oraemu::Value& value = row[static_cast<size_t>(pos) - 1];
    const std::string data = value.IsNull() ? std::string() : ValueText(value);
    const size_t from = std::min(data.size(), static_cast<size_t>(offset));
    const size_t n = std::min(data.size() - from, static_cast<size_t>(bufl));
    std::memcpy(buf, data.data() + from, n);
    if (retl != nullptr) *retl = static_cast<ub4>(n);
    return OCI_SUCCESS;
  });
}
