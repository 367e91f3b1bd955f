// The entry-point groups of the client library. The access layer resolves
// every member of every group by name when it loads a library; a group
// counts as available only when all its members resolve and the group it
// requires is available. The emulator exports every name listed here so
// that it counts as a complete 9.2 client.
//
// Each list is an X-macro: X(name) once per exported symbol. The header
// has no dependencies, so the emulator can include it too.
#ifndef SKELVANE_ORACLE_OCI_GROUPS_H
#define SKELVANE_ORACLE_OCI_GROUPS_H

#define SKELVANE_OCI_GROUP_ORACLE7_CORE(X)                                    \
  X(orlon) X(ologof) X(oerhms) X(oopen) X(oparse) X(odefin) X(oexfet)         \
  X(ofen) X(oflng) X(oclose) X(odescr) X(oexec) X(oexn) X(ocom) X(orol)       \
  X(ocon) X(ocof) X(obreak) X(obndra) X(odessp)

#define SKELVANE_OCI_GROUP_OLOG(X) X(olog)

#define SKELVANE_OCI_GROUP_OPINIT(X) X(opinit)

#define SKELVANE_OCI_TRANSACTION_CALLS(X)                                     \
  X(OCITransStart) X(OCITransDetach) X(OCITransCommit) X(OCITransRollback)    \
  X(OCITransPrepare) X(OCITransForget)

#define SKELVANE_OCI_LOB_CALLS(X)                                             \
  X(OCILobAppend) X(OCILobAssign) X(OCILobCharSetForm) X(OCILobCharSetId)     \
  X(OCILobCopy) X(OCILobDisableBuffering) X(OCILobEnableBuffering)            \
  X(OCILobErase) X(OCILobFileClose) X(OCILobFileCloseAll) X(OCILobFileExists) \
  X(OCILobFileGetName) X(OCILobFileIsOpen) X(OCILobFileOpen)                  \
  X(OCILobFileSetName) X(OCILobFlushBuffer) X(OCILobGetLength)                \
  X(OCILobIsEqual) X(OCILobLoadFromFile) X(OCILobLocatorIsInit) X(OCILobRead) \
  X(OCILobTrim) X(OCILobWrite)

// Object, type, string, number, raw, reference and collection calls.
#define SKELVANE_OCI_OBJECT_CALLS(X)                                          \
  X(OCIObjectNew) X(OCIObjectPin) X(OCIObjectUnpin) X(OCIObjectFree)          \
  X(OCIObjectMarkUpdate) X(OCIObjectMarkDelete) X(OCIObjectFlush)             \
  X(OCIObjectRefresh) X(OCIObjectCopy) X(OCIObjectGetTypeRef)                 \
  X(OCIObjectGetObjectRef) X(OCIObjectGetInd) X(OCIObjectExists)              \
  X(OCIObjectIsLocked) X(OCIObjectIsDirty) X(OCIObjectPinTable)               \
  X(OCIObjectLock)                                                            \
  X(OCITypeByName) X(OCITypeByRef) X(OCITypeTypeCode) X(OCITypeName)          \
  X(OCITypeSchema) X(OCITypeAttrs) X(OCITypeAttrByName)                       \
  X(OCIStringAssign) X(OCIStringAssignText) X(OCIStringResize)                \
  X(OCIStringSize) X(OCIStringPtr) X(OCIStringAllocSize)                      \
  X(OCINumberAdd) X(OCINumberSub) X(OCINumberMul) X(OCINumberDiv)             \
  X(OCINumberAssign) X(OCINumberCmp) X(OCINumberFromInt) X(OCINumberToInt)    \
  X(OCINumberFromReal) X(OCINumberToReal) X(OCINumberFromText)                \
  X(OCINumberToText) X(OCINumberIsZero)                                       \
  X(OCIRawAssignRaw) X(OCIRawAssignBytes) X(OCIRawResize) X(OCIRawSize)       \
  X(OCIRawPtr) X(OCIRawAllocSize)                                             \
  X(OCIRefClear) X(OCIRefAssign) X(OCIRefIsEqual) X(OCIRefIsNull)             \
  X(OCIRefHexSize) X(OCIRefFromHex) X(OCIRefToHex)                            \
  X(OCICollSize) X(OCICollMax) X(OCICollGetElem) X(OCICollAssignElem)         \
  X(OCICollAssign) X(OCICollAppend) X(OCICollTrim)                            \
  X(OCIIterCreate) X(OCIIterDelete) X(OCIIterInit) X(OCIIterGetCurrent)       \
  X(OCIIterNext) X(OCIIterPrev)                                               \
  X(OCITableSize) X(OCITableExists) X(OCITableDelete) X(OCITableFirst)        \
  X(OCITableLast) X(OCITableNext) X(OCITablePrev)

#define SKELVANE_OCI_GROUP_OCI8_CORE(X)                                       \
  X(OCIInitialize) X(OCIHandleAlloc) X(OCIHandleFree) X(OCIDescriptorAlloc)   \
  X(OCIDescriptorFree) X(OCIEnvInit) X(OCIServerAttach) X(OCIServerDetach)    \
  X(OCISessionBegin) X(OCISessionEnd) X(OCILogon) X(OCILogoff)                \
  X(OCIPasswordChange) X(OCIStmtPrepare) X(OCIBindByPos) X(OCIBindByName)     \
  X(OCIBindObject) X(OCIBindDynamic) X(OCIBindArrayOfStruct)                  \
  X(OCIStmtGetPieceInfo) X(OCIStmtSetPieceInfo) X(OCIStmtExecute)             \
  X(OCIDefineByPos) X(OCIDefineObject) X(OCIDefineDynamic)                    \
  X(OCIDefineArrayOfStruct) X(OCIStmtFetch) X(OCIStmtGetBindInfo)             \
  X(OCIDescribeAny) X(OCIParamGet) X(OCIParamSet)                             \
  SKELVANE_OCI_TRANSACTION_CALLS(X)                                           \
  X(OCIErrorGet)                                                              \
  SKELVANE_OCI_LOB_CALLS(X)                                                   \
  X(OCIBreak) X(OCIServerVersion) X(OCIAttrGet) X(OCIAttrSet)                 \
  X(OCISvcCtxToLda) X(OCILdaToSvcCtx) X(OCIResultSetToStmt)                   \
  SKELVANE_OCI_OBJECT_CALLS(X)                                                \
  X(OCICacheFlush)

#define SKELVANE_OCI_GROUP_OCI80_EXTRAS(X) X(ociepgoe) X(ociepmsg)

#define SKELVANE_OCI_DIRECT_PATH_CALLS(X)                                     \
  X(OCIDirPathAbort) X(OCIDirPathColArrayEntryGet)                            \
  X(OCIDirPathColArrayEntrySet) X(OCIDirPathColArrayRowGet)                   \
  X(OCIDirPathColArrayReset) X(OCIDirPathColArrayToStream)                    \
  X(OCIDirPathFinish) X(OCIDirPathLoadStream) X(OCIDirPathPrepare)            \
  X(OCIDirPathStreamReset)

#define SKELVANE_OCI_DATETIME_CALLS(X)                                        \
  X(OCIDateTimeAssign) X(OCIDateTimeCheck) X(OCIDateTimeCompare)              \
  X(OCIDateTimeConstruct) X(OCIDateTimeConvert) X(OCIDateTimeFromText)        \
  X(OCIDateTimeGetDate) X(OCIDateTimeGetTime)                                 \
  X(OCIDateTimeGetTimeZoneOffset) X(OCIDateTimeIntervalAdd)                   \
  X(OCIDateTimeIntervalSub) X(OCIDateTimeSubtract) X(OCIDateTimeSysTimeStamp) \
  X(OCIDateTimeToText)

#define SKELVANE_OCI_GROUP_OCI81(X)                                           \
  X(OCIEnvCreate) SKELVANE_OCI_DIRECT_PATH_CALLS(X)                           \
  X(OCILobCreateTemporary) X(OCILobFreeTemporary) X(OCILobIsTemporary)        \
  SKELVANE_OCI_DATETIME_CALLS(X)

#define SKELVANE_OCI_GROUP_OCI90(X) X(OCIStmtFetch2)

#define SKELVANE_OCI_GROUP_OCI92(X)                                           \
  X(OCISessionPoolCreate) X(OCISessionPoolDestroy) X(OCISessionGet)           \
  X(OCISessionRelease) X(OCIStmtPrepare2) X(OCIStmtRelease)

// Every name an OCI 8 client up to 9.2 must export (the emulator's list).
#define SKELVANE_OCI_ALL_OCI8_NAMES(X)                                        \
  SKELVANE_OCI_GROUP_OCI8_CORE(X) SKELVANE_OCI_GROUP_OCI80_EXTRAS(X)          \
  SKELVANE_OCI_GROUP_OCI81(X) SKELVANE_OCI_GROUP_OCI90(X)                     \
  SKELVANE_OCI_GROUP_OCI92(X)

#ifdef __cplusplus

#include <array>
#include <span>
#include <string_view>

namespace skelvane::oracle {

enum class TOciGroup {
  Oracle7Core,
  Olog,
  Opinit,
  Oci8Core,
  Oci80Extras,
  Oci81,
  Oci90,
  Oci92,
};
inline constexpr int kOciGroupCount = 8;

namespace oci_groups_detail {
#define SKELVANE_OCI_NAME_ENTRY(name) std::string_view(#name),
inline constexpr std::string_view kOracle7Core[] = {SKELVANE_OCI_GROUP_ORACLE7_CORE(SKELVANE_OCI_NAME_ENTRY)};
inline constexpr std::string_view kOlog[] = {SKELVANE_OCI_GROUP_OLOG(SKELVANE_OCI_NAME_ENTRY)};
inline constexpr std::string_view kOpinit[] = {SKELVANE_OCI_GROUP_OPINIT(SKELVANE_OCI_NAME_ENTRY)};
inline constexpr std::string_view kOci8Core[] = {SKELVANE_OCI_GROUP_OCI8_CORE(SKELVANE_OCI_NAME_ENTRY)};
inline constexpr std::string_view kOci80Extras[] = {SKELVANE_OCI_GROUP_OCI80_EXTRAS(SKELVANE_OCI_NAME_ENTRY)};
inline constexpr std::string_view kOci81[] = {SKELVANE_OCI_GROUP_OCI81(SKELVANE_OCI_NAME_ENTRY)};
inline constexpr std::string_view kOci90[] = {SKELVANE_OCI_GROUP_OCI90(SKELVANE_OCI_NAME_ENTRY)};
inline constexpr std::string_view kOci92[] = {SKELVANE_OCI_GROUP_OCI92(SKELVANE_OCI_NAME_ENTRY)};
#undef SKELVANE_OCI_NAME_ENTRY
}  // namespace oci_groups_detail

struct TOciGroupInfo {
  TOciGroup group;
  std::string_view title;
  bool hasRequirement;
  TOciGroup requires_;  // meaningful only when hasRequirement
  std::span<const std::string_view> members;
};

// In dependency order: a group's requirement always comes before it.
inline constexpr std::array<TOciGroupInfo, kOciGroupCount> kOciGroups{{
    {TOciGroup::Oracle7Core, "Oracle 7 core", false, TOciGroup::Oracle7Core, oci_groups_detail::kOracle7Core},
    {TOciGroup::Olog, "olog", true, TOciGroup::Oracle7Core, oci_groups_detail::kOlog},
    {TOciGroup::Opinit, "opinit", true, TOciGroup::Olog, oci_groups_detail::kOpinit},
    {TOciGroup::Oci8Core, "OCI 8 core", false, TOciGroup::Oci8Core, oci_groups_detail::kOci8Core},
    {TOciGroup::Oci80Extras, "8.0 extras", true, TOciGroup::Oci8Core, oci_groups_detail::kOci80Extras},
    {TOciGroup::Oci81, "8.1", true, TOciGroup::Oci8Core, oci_groups_detail::kOci81},
    {TOciGroup::Oci90, "9.0", true, TOciGroup::Oci81, oci_groups_detail::kOci90},
    {TOciGroup::Oci92, "9.2", true, TOciGroup::Oci90, oci_groups_detail::kOci92},
}};

}  // namespace skelvane::oracle

#endif  // __cplusplus

#endif
