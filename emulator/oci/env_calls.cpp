// Environments, handles, descriptors and error records.
#include <cstring>
#include <memory>

#include "oci/calls_common.h"

using namespace oraemu::oci;

namespace {

// The caller's xtramem_sz: a block that lives as long as the handle.
void GiveUserMemory(Handle* handle, size_t size, void** usrmempp) {
  if (size == 0 || usrmempp == nullptr) return;
  const size_t blocks = (size + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t);
  handle->userMemory = std::make_unique<std::max_align_t[]>(blocks);
  *usrmempp = handle->userMemory.get();
}

// Texts pass through as 8-bit bytes; an environment that would speak UTF-16
// is refused rather than misread.
constexpr ub4 kUtf16Mode = 0x4000;

sword CreateEnv(OCIEnv** envp, ub4 mode, size_t xtramem_sz, void** usrmempp) {
  if (envp == nullptr) return OCI_INVALID_HANDLE;
  if ((mode & kUtf16Mode) != 0) {
    *envp = nullptr;
    return OCI_ERROR;
  }
  try {
    auto env = std::make_unique<Env>(mode);
    GiveUserMemory(env.get(), xtramem_sz, usrmempp);
    // The caller owns the environment until OCIHandleFree(OCI_HTYPE_ENV).
    *envp = reinterpret_cast<OCIEnv*>(Out(env.release()));
    return OCI_SUCCESS;
  } catch (const std::bad_alloc&) {
    *envp = nullptr;
    return OCI_ERROR;
  }
}

bool IsDescriptorType(ub4 type) {
  return type >= OCI_DTYPE_LOB && type <= OCI_DTYPE_TIMESTAMP_LTZ && type != OCI_DTYPE_PARAM;
}

}  // namespace

ORAEMU_EXPORT sword OCIEnvCreate(OCIEnv** envp, ub4 mode, void* /*ctxp*/,
                                 void* (*/*malocfp*/)(void*, size_t),
                                 void* (*/*ralocfp*/)(void*, void*, size_t),
                                 void (*/*mfreefp*/)(void*, void*), size_t xtramem_sz,
                                 void** usrmempp) {
  return CreateEnv(envp, mode, xtramem_sz, usrmempp);
}

ORAEMU_EXPORT sword OCIInitialize(ub4 /*mode*/, void* /*ctxp*/, void* (*/*malocfp*/)(void*, size_t),
                                  void* (*/*ralocfp*/)(void*, void*, size_t),
                                  void (*/*mfreefp*/)(void*, void*)) {
  // Process initialisation has nothing to set up here; environments carry all state.
  return OCI_SUCCESS;
}

ORAEMU_EXPORT sword OCIEnvInit(OCIEnv** envp, ub4 mode, size_t xtramem_sz, void** usrmempp) {
  // OCIEnvInit numbers its modes differently (OCI_ENV_NO_MUTEX is 0x08); none matters here.
  return CreateEnv(envp, mode & ~kUtf16Mode, xtramem_sz, usrmempp);
}

ORAEMU_EXPORT sword OCITerminate(ub4 /*mode*/) { return OCI_SUCCESS; }

ORAEMU_EXPORT sword OCIHandleAlloc(const void* parenth, void** hndlpp, const ub4 type,
                                   const size_t xtramem_sz, void** usrmempp) {
  Handle* parent = AnyHandle(parenth);
  if (parent == nullptr || hndlpp == nullptr) return OCI_INVALID_HANDLE;
  Env* env = parent->env;
  try {
    Handle* handle = nullptr;
    switch (type) {
      case OCI_HTYPE_ERROR: handle = env->Adopt(std::make_unique<ErrorHandle>(type, env)); break;
      case OCI_HTYPE_SVCCTX: handle = env->Adopt(std::make_unique<SvcCtxHandle>(type, env)); break;
      case OCI_HTYPE_STMT: handle = env->Adopt(std::make_unique<StmtHandle>(type, env)); break;
      case OCI_HTYPE_SERVER: handle = env->Adopt(std::make_unique<ServerHandle>(type, env)); break;
      case OCI_HTYPE_SESSION: handle = env->Adopt(std::make_unique<SessionHandle>(type, env)); break;
      case OCI_HTYPE_DESCRIBE:
      case OCI_HTYPE_TRANS:
      case OCI_HTYPE_CPOOL:
      case OCI_HTYPE_SPOOL: handle = env->Adopt(std::make_unique<PlainHandle>(type, env)); break;
      default: return OCI_INVALID_HANDLE;  // environments, binds and defines are not allocated here
    }
    GiveUserMemory(handle, xtramem_sz, usrmempp);
    handle->fnCode = kFnHandleAlloc;
    *hndlpp = Out(handle);
    return OCI_SUCCESS;
  } catch (const std::bad_alloc&) {
    return OCI_ERROR;
  }
}

ORAEMU_EXPORT sword OCIHandleFree(void* hndlp, const ub4 type) {
  Handle* handle = AnyHandle(hndlp);
  if (handle == nullptr || handle->type != type) return OCI_INVALID_HANDLE;
  if (type == OCI_HTYPE_ENV) {
    std::unique_ptr<Env> env(static_cast<Env*>(handle));
    return OCI_SUCCESS;
  }
  if (type == OCI_HTYPE_BIND || type == OCI_HTYPE_DEFINE) return OCI_SUCCESS;  // freed with their statement
  return handle->env->Release(handle) ? OCI_SUCCESS : OCI_INVALID_HANDLE;
}

ORAEMU_EXPORT sword OCIDescriptorAlloc(const void* parenth, void** descpp, const ub4 type,
                                       const size_t xtramem_sz, void** usrmempp) {
  Handle* parent = AnyHandle(parenth);
  if (parent == nullptr || descpp == nullptr) return OCI_INVALID_HANDLE;
  if (!IsDescriptorType(type)) return OCI_INVALID_HANDLE;
  try {
    Handle* descriptor = parent->env->Adopt(std::make_unique<PlainHandle>(type, parent->env));
    GiveUserMemory(descriptor, xtramem_sz, usrmempp);
    *descpp = Out(descriptor);
    return OCI_SUCCESS;
  } catch (const std::bad_alloc&) {
    return OCI_ERROR;
  }
}

ORAEMU_EXPORT sword OCIDescriptorFree(void* descp, const ub4 type) {
  Handle* handle = AnyHandle(descp);
  if (handle == nullptr || handle->type != type) return OCI_INVALID_HANDLE;
  // Select-list parameters belong to their statement; freeing one is allowed and a no-op.
  if (type == OCI_DTYPE_PARAM) return OCI_SUCCESS;
  return handle->env->Release(handle) ? OCI_SUCCESS : OCI_INVALID_HANDLE;
}

ORAEMU_EXPORT sword OCIErrorGet(void* hndlp, ub4 recordno, OraText* /*sqlstate*/, sb4* errcodep,
                                OraText* bufp, ub4 bufsiz, ub4 type) {
  const Diagnostics* diag = nullptr;
  if (type == OCI_HTYPE_ERROR) {
    if (auto* error = As<ErrorHandle>(hndlp, OCI_HTYPE_ERROR)) diag = &error->diag;
  } else if (type == OCI_HTYPE_ENV) {
    if (auto* env = As<Env>(hndlp, OCI_HTYPE_ENV)) diag = &env->diag;
  }
  if (diag == nullptr) return OCI_INVALID_HANDLE;
  if (recordno != 1 || !diag->record) return OCI_NO_DATA;
  if (errcodep != nullptr) *errcodep = diag->record->code;
  if (bufp != nullptr && bufsiz > 0) {
    const std::string text = diag->record->message + "\n";
    const size_t n = std::min<size_t>(text.size(), bufsiz - 1);
    std::memcpy(bufp, text.data(), n);
    bufp[n] = '\0';
  }
  return OCI_SUCCESS;
}
