// The entry points of the loaded client library, resolved by name. A null
// pointer means the library does not export that name.
#ifndef SKELVANE_ORACLE_OCI_ENTRY_POINTS_H
#define SKELVANE_ORACLE_OCI_ENTRY_POINTS_H

#include "oracle/oci.h"
#include "oracle/oci7.h"

// X(name) once per entry point this system calls through TOciEntryPoints.
#define SKELVANE_OCI_ENTRY_POINTS(X)                                          \
  X(OCIEnvCreate) X(OCIInitialize) X(OCIEnvInit) X(OCIHandleAlloc)            \
  X(OCIHandleFree) X(OCIDescriptorAlloc) X(OCIDescriptorFree)                 \
  X(OCIServerAttach) X(OCIServerDetach) X(OCISessionBegin) X(OCISessionEnd)   \
  X(OCIAttrSet) X(OCIAttrGet) X(OCIServerVersion) X(OCIStmtPrepare)           \
  X(OCIStmtPrepare2) X(OCIStmtRelease) X(OCIStmtExecute) X(OCIBindByName)     \
  X(OCIBindByPos) X(OCIDefineByPos) X(OCIDefineDynamic) X(OCIStmtFetch)       \
  X(OCIStmtFetch2) X(OCIStmtGetPieceInfo) X(OCIStmtSetPieceInfo)              \
  X(OCIParamGet) X(OCIErrorGet) X(OCITransCommit) X(OCITransRollback)         \
  X(OCIBreak) X(OCIReset) X(OCISvcCtxToLda) X(OCILdaToSvcCtx)

namespace skelvane::oracle {

struct TOciEntryPoints {
#define SKELVANE_OCI_FN(name) decltype(&::name) name = nullptr;
  SKELVANE_OCI_ENTRY_POINTS(SKELVANE_OCI_FN)
#undef SKELVANE_OCI_FN
};

// The Oracle 7 calls, resolved the same way.
struct TOci7EntryPoints {
#define SKELVANE_OCI_FN(name) decltype(&::name) name = nullptr;
  SKELVANE_OCI7_ENTRY_POINTS(SKELVANE_OCI_FN)
#undef SKELVANE_OCI_FN
};

}  // namespace skelvane::oracle

#endif
