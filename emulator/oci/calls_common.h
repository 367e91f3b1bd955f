// What every exported call shares: C linkage with default visibility, the
// error record of the caller's error handle, and the guard that turns every
// exception into an OCI status (nothing may unwind into a C caller).
#ifndef ORAEMU_OCI_CALLS_COMMON_H
#define ORAEMU_OCI_CALLS_COMMON_H

#include <cstring>
#include <exception>
#include <new>
#include <string>

#include "engine/engine.h"
#include "oci/client_errors.h"
#include "oci/handles.h"
#include "oracle/oci.h"

#ifdef _WIN32
#define ORAEMU_EXPORT extern "C" __declspec(dllexport)
#else
#define ORAEMU_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace oraemu::oci {

// OCI function codes (OCI_ATTR_FNCODE) of the calls that record one.
enum FnCode : ub4 {
  kFnHandleAlloc = 2,
  kFnServerAttach = 7,
  kFnServerDetach = 8,
  kFnSessionBegin = 10,
  kFnSessionEnd = 11,
  kFnStmtPrepare = 13,
  kFnBindByPos = 14,
  kFnBindByName = 15,
  kFnStmtExecute = 21,
  kFnDefine = 24,
  kFnDefineDynamic = 26,
  kFnStmtFetch = 28,
  kFnTransCommit = 35,
  kFnServerVersion = 51,
  kFnParamGet = 57,
  kFnTransRollback = 64,
  kFnLogon = 76,
  kFnLogoff = 77,
  kFnStmtPrepare2 = 108,
  kFnStmtRelease = 109,
};

// Where errors of a call go: an error handle, or nowhere when the caller
// passed none (the status alone then tells). A successful call leaves the
// record alone: callers read the parse error offset with OCIAttrGet on the
// same error handle before they read the error itself.
class ErrorSink {
 public:
  explicit ErrorSink(const void* errhp) : handle_(As<ErrorHandle>(errhp, OCI_HTYPE_ERROR)) {}
  sword Report(const oraemu::EOraError& error, sword status = OCI_ERROR) const {
    if (handle_ != nullptr) {
      handle_->diag.record = ErrorRecord{error.code(), error.what(), error.offset()};
      handle_->diag.parseOffset = static_cast<ub2>(error.offset());
    }
    return status;
  }
  sword Report(int clientCode, sword status = OCI_ERROR) const {
    return Report(ClientError(clientCode), status);
  }

 private:
  ErrorHandle* handle_;
};

// Runs `body` (returning a status) and answers every exception through `sink`.
template <class Body>
sword Guarded(const ErrorSink& sink, Body&& body) {
  try {
    return body();
  } catch (const oraemu::EOraError& error) {
    return sink.Report(error);
  } catch (const std::bad_alloc&) {
    return sink.Report(oraemu::EOraError(4030, "ORA-04030: out of process memory"));
  } catch (const std::exception& error) {
    return sink.Report(ClientError(kInternal, error.what()));
  }
}

// Writers of attribute values into the caller's memory.
template <class T>
void PutValue(void* attributep, ub4* sizep, T value) {
  if (attributep != nullptr) std::memcpy(attributep, &value, sizeof(T));
  if (sizep != nullptr) *sizep = sizeof(T);
}
inline void PutText(void* attributep, ub4* sizep, const std::string& text) {
  if (attributep != nullptr) {
    *static_cast<const OraText**>(attributep) = reinterpret_cast<const OraText*>(text.c_str());
  }
  if (sizep != nullptr) *sizep = static_cast<ub4>(text.size());
}
inline void PutHandle(void* attributep, ub4* sizep, Handle* handle) {
  if (attributep != nullptr) *static_cast<void**>(attributep) = handle;
  if (sizep != nullptr) *sizep = sizeof(void*);
}

// A text argument given with its length; a negative length means NUL-terminated.
inline std::string TextArg(const OraText* text, sb4 length) {
  if (text == nullptr) return {};
  const char* chars = reinterpret_cast<const char*>(text);
  return length < 0 ? std::string(chars) : std::string(chars, static_cast<std::size_t>(length));
}

}  // namespace oraemu::oci

#endif
