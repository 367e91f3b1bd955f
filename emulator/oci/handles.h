// The OCI handles and descriptors of the emulated client. Callers hold them
// as opaque pointers; every one starts with a magic word and its type so a
// wrong or stale pointer is answered with OCI_INVALID_HANDLE instead of a
// crash. The environment owns every handle allocated under it; a statement
// owns its binds, defines and select-list parameters.
#ifndef ORAEMU_OCI_HANDLES_H
#define ORAEMU_OCI_HANDLES_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/engine.h"
#include "oci/round_trips.h"
#include "oracle/oci.h"

namespace oraemu::oci {

inline constexpr uint32_t kHandleMagic = 0x554D454FU;

struct Env;

// Not polymorphic on purpose: a caller's pointer is checked by reading the
// first bytes it points at, which must be the magic word and the type.
struct Handle {
  Handle(ub4 handleType, Env* owner) : type(handleType), env(owner) {}
  ~Handle() { magic = 0; }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  uint32_t magic = kHandleMagic;
  ub4 type;
  Env* env;
  ub4 fnCode = 0;  // OCI function code of the last call made on this handle
  std::unique_ptr<std::max_align_t[]> userMemory;  // the caller's xtramem_sz
};

// The error record of an error or environment handle (one record deep, as
// the calls this library serves never stack errors).
struct ErrorRecord {
  int code = 0;
  std::string message;  // "ORA-nnnnn: text"
  int offset = 0;       // parse error offset
};

struct Diagnostics {
  std::optional<ErrorRecord> record;
  ub2 parseOffset = 0;
};

struct ErrorHandle : Handle {
  using Handle::Handle;
  Diagnostics diag;
};

struct SessionHandle;

// Ownership of a handle of any type: the deleter knows the concrete type.
using OwnedHandle = std::unique_ptr<Handle, void (*)(Handle*)>;

template <class T>
void DestroyAs(Handle* handle) {
  std::default_delete<T>()(static_cast<T*>(handle));
}

struct Env : Handle {
  explicit Env(ub4 envMode) : Handle(OCI_HTYPE_ENV, this), mode(envMode) {}
  ~Env();

  // Takes ownership of a new handle or descriptor and returns it.
  template <class T>
  T* Adopt(std::unique_ptr<T> handle) {
    T* raw = handle.get();
    std::lock_guard<std::mutex> lock(ownedMutex);
    owned.emplace(static_cast<Handle*>(raw), OwnedHandle(handle.release(), &DestroyAs<T>));
    return raw;
  }
  // Destroys a handle this environment owns; false when it owns no such handle.
  bool Release(Handle* handle);
  // Clears every pointer other handles keep to `handle`.
  void Unlink(Handle* handle);

  ub4 mode;
  Diagnostics diag;
  // Threads that share an environment allocate and free handles in it.
  std::mutex ownedMutex;
  std::unordered_map<Handle*, OwnedHandle> owned;
  SessionHandle* lastSession = nullptr;  // decides statement types at prepare time
};

// A connection to an emulated database, made by OCIServerAttach.
struct Connection {
  std::string connectId;
  std::shared_ptr<oraemu::Database> database;
  RoundTrips roundTrips;
};

struct ServerHandle : Handle {
  using Handle::Handle;
  std::optional<Connection> connection;
  std::string externalName, internalName;
};

struct SessionHandle : Handle {
  using Handle::Handle;
  ~SessionHandle();
  std::string userName, password;
  std::map<ub4, std::string> textAttributes;  // module, action, client info ...
  std::shared_ptr<oraemu::Database> database;  // outlives `session`, even past a detach
  std::unique_ptr<oraemu::Session> session;
  ServerHandle* server = nullptr;  // where the session was begun
};

struct StmtHandle;

struct SvcCtxHandle : Handle {
  using Handle::Handle;
  ServerHandle* server = nullptr;
  SessionHandle* session = nullptr;
  Handle* transaction = nullptr;
  ub4 stmtCacheSize = 20;
  bool stmtCacheEnabled = false;
  // Lent to an Oracle 7 login data area (OCISvcCtxToLda): OCI 8 calls on it
  // are refused until OCILdaToSvcCtx gives it back.
  bool lentToLda = false;
  // Released statements kept for OCIStmtPrepare2, keyed by tag or text.
  std::vector<std::pair<std::string, StmtHandle*>> cache;
};

struct BindHandle : Handle {
  using Handle::Handle;
  std::string name;     // upper case without the colon
  std::string sqlName;  // the placeholder as the statement spells it
  ub4 position = 0;     // 1-based for OCIBindByPos, else 0
  void* value = nullptr;
  sb4 valueSize = 0;
  ub2 dty = 0;
  void* indicator = nullptr;
  ub2* actualLength = nullptr;
  ub2* returnCode = nullptr;
  ub4 valueSkip = 0, indicatorSkip = 0, lengthSkip = 0, returnCodeSkip = 0;
  ub4 maxDataSize = 0;
  ub2 charsetId = 0;
  ub1 charsetForm = 1;  // SQLCS_IMPLICIT
};

struct DefineHandle : Handle {
  using Handle::Handle;
  ub4 position = 0;
  void* value = nullptr;
  sb4 valueSize = 0;
  ub2 dty = 0;
  sb2* indicator = nullptr;
  ub2* returnLength = nullptr;
  ub2* returnCode = nullptr;
  ub4 mode = OCI_DEFAULT;
  ub4 valueSkip = 0, indicatorSkip = 0, lengthSkip = 0, returnCodeSkip = 0;
  void* callbackContext = nullptr;
  OCICallbackDefine callback = nullptr;
  ub4 maxDataSize = 0;
  ub2 charsetId = 0;
  ub1 charsetForm = 1;
};

// A select-list column as OCIParamGet hands it out.
struct ParamDescriptor : Handle {
  ParamDescriptor(Env* owner, oraemu::ColumnDesc desc)
      : Handle(OCI_DTYPE_PARAM, owner), column(std::move(desc)) {}
  oraemu::ColumnDesc column;
};

struct StmtHandle : Handle {
  using Handle::Handle;
  // Forgets binds, defines and results: a new text or a new handle.
  void Reset();

  std::string sql;
  std::vector<std::string> placeholders;
  ub2 stmtType = OCI_STMT_UNKNOWN;
  std::vector<std::unique_ptr<BindHandle>> binds;
  std::vector<std::unique_ptr<DefineHandle>> defines;
  std::vector<std::unique_ptr<ParamDescriptor>> params;
  ub4 prefetchRows = 1, prefetchMemory = 0;

  // State of the last execution.
  bool executed = false;
  bool isQuery = false;
  oraemu::Result result;
  std::size_t nextRow = 0;
  ub4 rowCount = 0;
  ub4 rowsFetched = 0;
  ub2 sqlFnCode = 0;
  ub2 parseErrorOffset = 0;
  SvcCtxHandle* svc = nullptr;  // the service context of the last execution

  // Statement caching: the tag this handle was prepared under.
  std::string cacheKey;
  SvcCtxHandle* cacheOwner = nullptr;  // set by OCIStmtPrepare2
  bool typeKnown = false;              // stmtType came from a session
  bool endReported = false;            // OCI_NO_DATA was returned
};

// Handles and descriptors without behaviour of their own here (describe and
// transaction handles, LOB locators, row ids, date-time values): they exist
// so callers can allocate, pass and free them.
struct PlainHandle : Handle {
  using Handle::Handle;
};

// The magic word and type at the start of whatever `pointer` points at;
// read as bytes so a pointer that is no handle is never used as one.
inline bool LooksLike(const void* pointer, ub4* type) {
  if (pointer == nullptr) return false;
  uint32_t header[2];
  std::memcpy(header, pointer, sizeof header);
  *type = header[1];
  return header[0] == kHandleMagic;
}

// Checked conversion of a caller's pointer; null when it is not a live
// handle of that type.
template <class T>
T* As(const void* pointer, ub4 type) {
  ub4 actual = 0;
  if (!LooksLike(pointer, &actual) || actual != type) return nullptr;
  return static_cast<T*>(static_cast<Handle*>(const_cast<void*>(pointer)));
}

// Any live handle, whatever its type.
inline Handle* AnyHandle(const void* pointer) {
  ub4 actual = 0;
  return LooksLike(pointer, &actual) ? static_cast<Handle*>(const_cast<void*>(pointer)) : nullptr;
}

inline void* Out(Handle* handle) { return static_cast<void*>(handle); }

}  // namespace oraemu::oci

#endif
