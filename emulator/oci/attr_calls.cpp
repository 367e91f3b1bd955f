// Attributes: the same number means different things on different handle
// types, so every lookup dispatches on (handle type, attribute).
#include <cstdlib>
#include <cstring>

#include "oci/calls_common.h"

using namespace oraemu::oci;

namespace {

// The character set this client speaks. Texts pass through unchanged, so it
// is the database's: the set NLS_LANG names (".AL32UTF8"), else the default
// database set.
ub2 ClientCharset() {
  const char* nls = std::getenv("NLS_LANG");
  const char* dot = nls ? std::strrchr(nls, '.') : nullptr;
  if (dot) {
    if (const ub2 id = oraemu::CharsetId(dot + 1)) return id;
  }
  return oraemu::CharsetId(oraemu::kDefaultCharset);
}

// The national set of the client: NLS_NCHAR, else the client's own set.
ub2 ClientNCharset() {
  const char* nchar = std::getenv("NLS_NCHAR");
  if (nchar) {
    if (const ub2 id = oraemu::CharsetId(nchar)) return id;
  }
  return ClientCharset();
}

constexpr ub4 kAttrEnvCharsetId = 31;
constexpr ub4 kAttrEnvNCharsetId = 262;

// The type code a select-list describe reports for a stored type.
ub2 DescribeType(uint16_t stored) {
  switch (stored) {
    case 69: case 208: return SQLT_RDD;   // ROWID, UROWID
    case 180: return SQLT_TIMESTAMP;
    case 181: return SQLT_TIMESTAMP_TZ;
    case 231: return SQLT_TIMESTAMP_LTZ;
    case 182: return SQLT_INTERVAL_YM;
    case 183: return SQLT_INTERVAL_DS;
  }
  return stored;
}

sword GetParam(const ParamDescriptor& param, void* attributep, ub4* sizep, ub4 attr) {
  const oraemu::ColumnDesc& c = param.column;
  switch (attr) {
    case OCI_ATTR_DATA_SIZE: PutValue<ub2>(attributep, sizep, c.size); return OCI_SUCCESS;
    case OCI_ATTR_DATA_TYPE: PutValue<ub2>(attributep, sizep, DescribeType(c.type)); return OCI_SUCCESS;
    case OCI_ATTR_DISP_SIZE: PutValue<ub2>(attributep, sizep, c.size); return OCI_SUCCESS;
    case OCI_ATTR_NAME: PutText(attributep, sizep, c.name); return OCI_SUCCESS;
    case OCI_ATTR_PRECISION: PutValue<sb2>(attributep, sizep, c.precision); return OCI_SUCCESS;
    case OCI_ATTR_SCALE: PutValue<sb1>(attributep, sizep, c.scale); return OCI_SUCCESS;
    case OCI_ATTR_IS_NULL: PutValue<ub1>(attributep, sizep, c.nullable ? 1 : 0); return OCI_SUCCESS;
    case OCI_ATTR_CHAR_USED: PutValue<ub1>(attributep, sizep, c.charUsed ? 1 : 0); return OCI_SUCCESS;
    case OCI_ATTR_CHAR_SIZE: PutValue<ub2>(attributep, sizep, c.charSize); return OCI_SUCCESS;
    case OCI_ATTR_CHARSET_ID: PutValue<ub2>(attributep, sizep, ClientCharset()); return OCI_SUCCESS;
    case OCI_ATTR_CHARSET_FORM: PutValue<ub1>(attributep, sizep, 1); return OCI_SUCCESS;
  }
  return OCI_ERROR;
}

sword GetStmt(const StmtHandle& stmt, void* attributep, ub4* sizep, ub4 attr) {
  switch (attr) {
    case OCI_ATTR_STMT_TYPE: PutValue<ub2>(attributep, sizep, stmt.stmtType); return OCI_SUCCESS;
    case OCI_ATTR_ROW_COUNT:
    case OCI_ATTR_CURRENT_POSITION: PutValue<ub4>(attributep, sizep, stmt.rowCount); return OCI_SUCCESS;
    case OCI_ATTR_ROWS_FETCHED: PutValue<ub4>(attributep, sizep, stmt.rowsFetched); return OCI_SUCCESS;
    case OCI_ATTR_SQLFNCODE: PutValue<ub2>(attributep, sizep, stmt.sqlFnCode); return OCI_SUCCESS;
    case OCI_ATTR_PARAM_COUNT: PutValue<ub4>(attributep, sizep, static_cast<ub4>(stmt.params.size())); return OCI_SUCCESS;
    case OCI_ATTR_PREFETCH_ROWS: PutValue<ub4>(attributep, sizep, stmt.prefetchRows); return OCI_SUCCESS;
    case OCI_ATTR_PREFETCH_MEMORY: PutValue<ub4>(attributep, sizep, stmt.prefetchMemory); return OCI_SUCCESS;
    case OCI_ATTR_STATEMENT: PutText(attributep, sizep, stmt.sql); return OCI_SUCCESS;
    case OCI_ATTR_BIND_COUNT: PutValue<ub4>(attributep, sizep, static_cast<ub4>(stmt.placeholders.size())); return OCI_SUCCESS;
    case OCI_ATTR_PARSE_ERROR_OFFSET:
    case OCI_ATTR_PARSE_ERROR_OFFSET_OLD: PutValue<ub2>(attributep, sizep, stmt.parseErrorOffset); return OCI_SUCCESS;
  }
  return OCI_ERROR;
}

}  // namespace

ORAEMU_EXPORT sword OCIAttrGet(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep, ub4 attrtype,
                               OCIError* errhp) {
  Handle* handle = AnyHandle(trgthndlp);
  if (handle == nullptr || handle->type != trghndltyp) return OCI_INVALID_HANDLE;
  ErrorSink sink(errhp);
  if (trghndltyp == OCI_DTYPE_PARAM) {
    if (GetParam(*static_cast<ParamDescriptor*>(handle), attributep, sizep, attrtype) == OCI_SUCCESS) {
      return OCI_SUCCESS;
    }
    return sink.Report(kIllegalAttribute);
  }
  if (attrtype == OCI_ATTR_FNCODE) {
    PutValue<ub4>(attributep, sizep, handle->fnCode);
    return OCI_SUCCESS;
  }
  if (attrtype == OCI_ATTR_ENV) {
    PutHandle(attributep, sizep, handle->env);
    return OCI_SUCCESS;
  }
  switch (trghndltyp) {
    case OCI_HTYPE_ENV:
      if (attrtype == kAttrEnvCharsetId || attrtype == kAttrEnvNCharsetId) {
        PutValue<ub2>(attributep, sizep, attrtype == kAttrEnvCharsetId ? ClientCharset() : ClientNCharset());
        return OCI_SUCCESS;
      }
      break;
    case OCI_HTYPE_ERROR:
      if (attrtype == OCI_ATTR_PARSE_ERROR_OFFSET || attrtype == OCI_ATTR_PARSE_ERROR_OFFSET_OLD) {
        PutValue<ub2>(attributep, sizep, static_cast<ErrorHandle*>(handle)->diag.parseOffset);
        return OCI_SUCCESS;
      }
      break;
    case OCI_HTYPE_SVCCTX: {
      auto* svc = static_cast<SvcCtxHandle*>(handle);
      switch (attrtype) {
        case OCI_ATTR_SERVER: PutHandle(attributep, sizep, svc->server); return OCI_SUCCESS;
        case OCI_ATTR_SESSION: PutHandle(attributep, sizep, svc->session); return OCI_SUCCESS;
        case OCI_ATTR_TRANS: PutHandle(attributep, sizep, svc->transaction); return OCI_SUCCESS;
        case OCI_ATTR_STMTCACHESIZE: PutValue<ub4>(attributep, sizep, svc->stmtCacheSize); return OCI_SUCCESS;
      }
      break;
    }
    case OCI_HTYPE_SERVER: {
      auto* server = static_cast<ServerHandle*>(handle);
      switch (attrtype) {
        case OCI_ATTR_SERVER_STATUS: {
          const bool up = server->connection && !server->connection->roundTrips.Broken();
          PutValue<ub4>(attributep, sizep, up ? OCI_SERVER_NORMAL : OCI_SERVER_NOT_CONNECTED);
          return OCI_SUCCESS;
        }
        case OCI_ATTR_EXTERNAL_NAME: PutText(attributep, sizep, server->externalName); return OCI_SUCCESS;
        case OCI_ATTR_INTERNAL_NAME: PutText(attributep, sizep, server->internalName); return OCI_SUCCESS;
      }
      break;
    }
    case OCI_HTYPE_SESSION: {
      auto* user = static_cast<SessionHandle*>(handle);
      if (attrtype == OCI_ATTR_USERNAME) {
        PutText(attributep, sizep, user->userName);
        return OCI_SUCCESS;
      }
      if (auto found = user->textAttributes.find(attrtype); found != user->textAttributes.end()) {
        PutText(attributep, sizep, found->second);
        return OCI_SUCCESS;
      }
      break;
    }
    case OCI_HTYPE_STMT:
      if (GetStmt(*static_cast<StmtHandle*>(handle), attributep, sizep, attrtype) == OCI_SUCCESS) return OCI_SUCCESS;
      if (attrtype == OCI_ATTR_ROWID) return sink.Report(kUnimplemented);  // the server keeps no row ids
      break;
    case OCI_HTYPE_BIND: {
      auto* bind = static_cast<BindHandle*>(handle);
      switch (attrtype) {
        case OCI_ATTR_ROWS_RETURNED: PutValue<ub4>(attributep, sizep, 0); return OCI_SUCCESS;
        case OCI_ATTR_MAXDATA_SIZE: PutValue<sb4>(attributep, sizep, static_cast<sb4>(bind->maxDataSize)); return OCI_SUCCESS;
        case OCI_ATTR_CHARSET_ID: PutValue<ub2>(attributep, sizep, bind->charsetId ? bind->charsetId : ClientCharset()); return OCI_SUCCESS;
        case OCI_ATTR_CHARSET_FORM: PutValue<ub1>(attributep, sizep, bind->charsetForm); return OCI_SUCCESS;
      }
      break;
    }
    case OCI_HTYPE_DEFINE: {
      auto* define = static_cast<DefineHandle*>(handle);
      switch (attrtype) {
        case OCI_ATTR_MAXDATA_SIZE: PutValue<sb4>(attributep, sizep, static_cast<sb4>(define->maxDataSize)); return OCI_SUCCESS;
        case OCI_ATTR_CHARSET_ID: PutValue<ub2>(attributep, sizep, define->charsetId ? define->charsetId : ClientCharset()); return OCI_SUCCESS;
        case OCI_ATTR_CHARSET_FORM: PutValue<ub1>(attributep, sizep, define->charsetForm); return OCI_SUCCESS;
      }
      break;
    }
  }
  return sink.Report(kIllegalAttribute);
}

namespace {

std::string AttrText(const void* attributep, ub4 size) {
  if (attributep == nullptr) return {};
  return std::string(static_cast<const char*>(attributep), size);
}

template <class T>
T AttrNumber(const void* attributep) {
  T value{};
  if (attributep != nullptr) std::memcpy(&value, attributep, sizeof value);
  return value;
}

}  // namespace

ORAEMU_EXPORT sword OCIAttrSet(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size, ub4 attrtype,
                               OCIError* errhp) {
  Handle* handle = AnyHandle(trgthndlp);
  if (handle == nullptr || handle->type != trghndltyp) return OCI_INVALID_HANDLE;
  ErrorSink sink(errhp);
  switch (trghndltyp) {
    case OCI_HTYPE_SVCCTX: {
      auto* svc = static_cast<SvcCtxHandle*>(handle);
      switch (attrtype) {
        case OCI_ATTR_SERVER:
          // The handle itself is passed as the value.
          if (attributep != nullptr && As<ServerHandle>(attributep, OCI_HTYPE_SERVER) == nullptr) break;
          svc->server = As<ServerHandle>(attributep, OCI_HTYPE_SERVER);
          return OCI_SUCCESS;
        case OCI_ATTR_SESSION:
          if (attributep != nullptr && As<SessionHandle>(attributep, OCI_HTYPE_SESSION) == nullptr) break;
          svc->session = As<SessionHandle>(attributep, OCI_HTYPE_SESSION);
          return OCI_SUCCESS;
        case OCI_ATTR_TRANS:
          svc->transaction = As<PlainHandle>(attributep, OCI_HTYPE_TRANS);
          return OCI_SUCCESS;
        case OCI_ATTR_STMTCACHESIZE:
          svc->stmtCacheSize = AttrNumber<ub4>(attributep);
          return OCI_SUCCESS;
      }
      break;
    }
    case OCI_HTYPE_SESSION: {
      auto* user = static_cast<SessionHandle*>(handle);
      switch (attrtype) {
        case OCI_ATTR_USERNAME: user->userName = AttrText(attributep, size); return OCI_SUCCESS;
        case OCI_ATTR_PASSWORD: user->password = AttrText(attributep, size); return OCI_SUCCESS;
        case OCI_ATTR_CURRENT_SCHEMA:
        case OCI_ATTR_MODULE:
        case OCI_ATTR_ACTION:
        case OCI_ATTR_CLIENT_INFO:
        case OCI_ATTR_CLIENT_IDENTIFIER:
          user->textAttributes[attrtype] = AttrText(attributep, size);
          return OCI_SUCCESS;
      }
      break;
    }
    case OCI_HTYPE_SERVER: {
      auto* server = static_cast<ServerHandle*>(handle);
      if (attrtype == OCI_ATTR_EXTERNAL_NAME) {
        server->externalName = AttrText(attributep, size);
        return OCI_SUCCESS;
      }
      if (attrtype == OCI_ATTR_INTERNAL_NAME) {
        server->internalName = AttrText(attributep, size);
        return OCI_SUCCESS;
      }
      break;
    }
    case OCI_HTYPE_STMT: {
      auto* stmt = static_cast<StmtHandle*>(handle);
      if (attrtype == OCI_ATTR_PREFETCH_ROWS) {
        stmt->prefetchRows = AttrNumber<ub4>(attributep);
        return OCI_SUCCESS;
      }
      if (attrtype == OCI_ATTR_PREFETCH_MEMORY) {
        stmt->prefetchMemory = AttrNumber<ub4>(attributep);
        return OCI_SUCCESS;
      }
      break;
    }
    case OCI_HTYPE_BIND: {
      auto* bind = static_cast<BindHandle*>(handle);
      switch (attrtype) {
        case OCI_ATTR_MAXDATA_SIZE: bind->maxDataSize = AttrNumber<ub4>(attributep); return OCI_SUCCESS;
        case OCI_ATTR_CHARSET_ID: bind->charsetId = AttrNumber<ub2>(attributep); return OCI_SUCCESS;
        case OCI_ATTR_CHARSET_FORM: bind->charsetForm = AttrNumber<ub1>(attributep); return OCI_SUCCESS;
      }
      break;
    }
    case OCI_HTYPE_DEFINE: {
      auto* define = static_cast<DefineHandle*>(handle);
      switch (attrtype) {
        case OCI_ATTR_MAXDATA_SIZE: define->maxDataSize = AttrNumber<ub4>(attributep); return OCI_SUCCESS;
        case OCI_ATTR_CHARSET_ID: define->charsetId = AttrNumber<ub2>(attributep); return OCI_SUCCESS;
        case OCI_ATTR_CHARSET_FORM: define->charsetForm = AttrNumber<ub1>(attributep); return OCI_SUCCESS;
      }
      break;
    }
  }
  return sink.Report(kIllegalAttribute);
}

ORAEMU_EXPORT sword OCIParamGet(const void* hndlp, ub4 htype, OCIError* errhp, void** parmdpp, ub4 pos) {
  Handle* handle = AnyHandle(hndlp);
  if (handle == nullptr || handle->type != htype || parmdpp == nullptr) return OCI_INVALID_HANDLE;
  ErrorSink sink(errhp);
  if (htype != OCI_HTYPE_STMT) return sink.Report(kUnimplemented);  // explicit describes are not served
  auto* stmt = static_cast<StmtHandle*>(handle);
  stmt->fnCode = kFnParamGet;
  if (!stmt->isQuery) return sink.Report(kNotExecuted);
  if (pos == 0 || pos > stmt->params.size()) return sink.Report(kNoDescriptor);
  *parmdpp = Out(stmt->params[pos - 1].get());
  return OCI_SUCCESS;
}
