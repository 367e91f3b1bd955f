// The entry points of the loaded client library, resolved by name. A null
// pointer means the library does not export that name.
#ifndef SKELVANE_ORACLE_OCI_ENTRY_POINTS_H
#define SKELVANE_ORACLE_OCI_ENTRY_POINTS_H

#include "oracle/oci.h"

namespace skelvane::oracle {

struct OciEntryPoints {
#define SKELVANE_OCI_FN(name) decltype(&::name) name = nullptr;
  SKELVANE_OCI_FN(OCIEnvCreate)
  SKELVANE_OCI_FN(OCIInitialize)
  SKELVANE_OCI_FN(OCIEnvInit)
  SKELVANE_OCI_FN(OCIHandleAlloc)
  SKELVANE_OCI_FN(OCIHandleFree)
  SKELVANE_OCI_FN(OCIDescriptorAlloc)
  SKELVANE_OCI_FN(OCIDescriptorFree)
  SKELVANE_OCI_FN(OCIServerAttach)
  SKELVANE_OCI_FN(OCIServerDetach)
  SKELVANE_OCI_FN(OCISessionBegin)
  SKELVANE_OCI_FN(OCISessionEnd)
  SKELVANE_OCI_FN(OCIAttrSet)
  SKELVANE_OCI_FN(OCIAttrGet)
  SKELVANE_OCI_FN(OCIServerVersion)
  SKELVANE_OCI_FN(OCIStmtPrepare)
  SKELVANE_OCI_FN(OCIStmtRelease)
  SKELVANE_OCI_FN(OCIStmtExecute)
  SKELVANE_OCI_FN(OCIBindByName)
  SKELVANE_OCI_FN(OCIDefineByPos)
  SKELVANE_OCI_FN(OCIDefineDynamic)
  SKELVANE_OCI_FN(OCIStmtFetch)
  SKELVANE_OCI_FN(OCIStmtFetch2)
  SKELVANE_OCI_FN(OCIParamGet)
  SKELVANE_OCI_FN(OCIErrorGet)
  SKELVANE_OCI_FN(OCITransRollback)
  SKELVANE_OCI_FN(OCISvcCtxToLda)
  SKELVANE_OCI_FN(OCILdaToSvcCtx)
#undef SKELVANE_OCI_FN
};

}  // namespace skelvane::oracle

#endif
