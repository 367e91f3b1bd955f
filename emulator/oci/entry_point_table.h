// Every entry point liboraemu exports, in one table.
//
// ORAEMU_OCI_IMPLEMENTED lists the calls this library really serves; their
// definitions are spread over the *_calls.cpp files with the prototypes of
// oracle/oci.h. ORAEMU_OCI_UNIMPLEMENTED lists the rest of the OCI 8 to 9.2
// interface: each answers ORA-03001 "unimplemented feature". Its second
// column says where the caller's OCIError* sits among the arguments
// (E0..E3), or that there is none: NOERR returns OCI_ERROR, VALUE is a call
// whose result is a size, pointer or flag and answers 0.
//
// A stub declares only its leading arguments, so a name that gets a full
// prototype in oracle/oci.h must move to the implemented list (the build
// says so: the two declarations would conflict).
//
// The names of the access layer's groups (oracle/oci_groups.h) are a subset;
// stub_calls.cpp checks that at compile time and the tests resolve both lists.
#ifndef ORAEMU_OCI_ENTRY_POINT_TABLE_H
#define ORAEMU_OCI_ENTRY_POINT_TABLE_H

#define ORAEMU_OCI_IMPLEMENTED(X)                                                 \
  X(OCIEnvCreate) X(OCIInitialize) X(OCIEnvInit) X(OCITerminate)                  \
  X(OCIHandleAlloc) X(OCIHandleFree) X(OCIDescriptorAlloc) X(OCIDescriptorFree)   \
  X(OCIAttrGet) X(OCIAttrSet) X(OCIParamGet) X(OCIErrorGet)                       \
  X(OCIServerAttach) X(OCIServerDetach) X(OCIServerVersion) X(OCIServerRelease)   \
  X(OCISessionBegin) X(OCISessionEnd) X(OCILogon) X(OCILogoff)                    \
  X(OCIPasswordChange) X(OCIBreak) X(OCIReset) X(OCIPing)                         \
  X(OCITransCommit) X(OCITransRollback)                                           \
  X(OCIStmtPrepare) X(OCIStmtPrepare2) X(OCIStmtRelease) X(OCIStmtExecute)        \
  X(OCIBindByName) X(OCIBindByPos) X(OCIBindArrayOfStruct)                        \
  X(OCIDefineByPos) X(OCIDefineDynamic) X(OCIDefineArrayOfStruct)                 \
  X(OCIStmtFetch) X(OCIStmtFetch2) X(OCIStmtGetPieceInfo) X(OCIStmtSetPieceInfo)  \
  X(OCIDescribeAny) X(OCISvcCtxToLda) X(OCILdaToSvcCtx)

#define ORAEMU_OCI_UNIMPLEMENTED(X)                                               \
  /* statements and binds */                                                      \
  X(OCIBindObject, E1) X(OCIBindDynamic, E1) X(OCIDefineObject, E1)              \
  X(OCIStmtGetBindInfo, E1) X(OCIParamSet, E2) X(OCIResultSetToStmt, E1)         \
  /* transactions */                                                              \
  X(OCITransStart, E1) X(OCITransDetach, E1) X(OCITransPrepare, E1)              \
  X(OCITransForget, E1) X(OCITransMultiPrepare, E1)                              \
  /* LOBs */                                                                      \
  X(OCILobAppend, E1) X(OCILobAssign, E1) X(OCILobCharSetForm, E1)               \
  X(OCILobCharSetId, E1) X(OCILobCopy, E1) X(OCILobDisableBuffering, E1)         \
  X(OCILobEnableBuffering, E1) X(OCILobErase, E1) X(OCILobFileClose, E1)         \
  X(OCILobFileCloseAll, E1) X(OCILobFileExists, E1) X(OCILobFileGetName, E1)     \
  X(OCILobFileIsOpen, E1) X(OCILobFileOpen, E1) X(OCILobFileSetName, E1)         \
  X(OCILobFlushBuffer, E1) X(OCILobGetLength, E1) X(OCILobIsEqual, NOERR)        \
  X(OCILobLoadFromFile, E1) X(OCILobLocatorIsInit, E1) X(OCILobRead, E1)         \
  X(OCILobTrim, E1) X(OCILobWrite, E1) X(OCILobOpen, E1) X(OCILobClose, E1)      \
  X(OCILobIsOpen, E1) X(OCILobGetChunkSize, E1) X(OCILobLocatorAssign, E1)       \
  X(OCILobWriteAppend, E1) X(OCILobCreateTemporary, E1)                          \
  X(OCILobFreeTemporary, E1) X(OCILobIsTemporary, E1)                            \
  /* navigational objects and the object cache */                                 \
  X(OCIObjectNew, E1) X(OCIObjectPin, E1) X(OCIObjectUnpin, E1)                  \
  X(OCIObjectFree, E1) X(OCIObjectMarkUpdate, E1) X(OCIObjectMarkDelete, E1)     \
  X(OCIObjectFlush, E1) X(OCIObjectRefresh, E1) X(OCIObjectCopy, E1)             \
  X(OCIObjectGetTypeRef, E1) X(OCIObjectGetObjectRef, E1)                        \
  X(OCIObjectGetInd, E1) X(OCIObjectExists, E1) X(OCIObjectIsLocked, E1)         \
  X(OCIObjectIsDirty, E1) X(OCIObjectPinTable, E1) X(OCIObjectLock, E1)          \
  X(OCIObjectUnmark, E1) X(OCIObjectGetAttr, E1) X(OCIObjectSetAttr, E1)         \
  X(OCICacheFlush, E1) X(OCICacheRefresh, E1) X(OCICacheUnpin, E1)               \
  X(OCICacheFree, E1) X(OCICacheUnmark, E1)                                      \
  /* types */                                                                     \
  X(OCITypeByName, E1) X(OCITypeByRef, E1) X(OCITypeArrayByName, E1)            \
  X(OCITypeArrayByRef, E1) X(OCITypeTypeCode, E1) X(OCITypeName, E1)            \
  X(OCITypeSchema, E1) X(OCITypeAttrs, E1) X(OCITypeAttrByName, E1)             \
  X(OCITypeCollTypeCode, E1) X(OCITypeVersion, E1) X(OCITypeMethods, E1)        \
  /* strings */                                                                   \
  X(OCIStringAssign, E1) X(OCIStringAssignText, E1) X(OCIStringResize, E1)      \
  X(OCIStringSize, VALUE) X(OCIStringPtr, VALUE) X(OCIStringAllocSize, E1)      \
  /* numbers */                                                                   \
  X(OCINumberAdd, E0) X(OCINumberSub, E0) X(OCINumberMul, E0)                   \
  X(OCINumberDiv, E0) X(OCINumberMod, E0) X(OCINumberAssign, E0)                \
  X(OCINumberCmp, E0) X(OCINumberFromInt, E0) X(OCINumberToInt, E0)             \
  X(OCINumberFromReal, E0) X(OCINumberToReal, E0) X(OCINumberFromText, E0)      \
  X(OCINumberToText, E0) X(OCINumberIsZero, E0) X(OCINumberSetZero, E0)        \
  X(OCINumberInc, E0) X(OCINumberDec, E0) X(OCINumberNeg, E0)                   \
  X(OCINumberAbs, E0) X(OCINumberSign, E0) X(OCINumberRound, E0)                \
  X(OCINumberTrunc, E0) X(OCINumberPower, E0) X(OCINumberSqrt, E0)             \
  /* dates */                                                                     \
  X(OCIDateAssign, E0) X(OCIDateToText, E0) X(OCIDateFromText, E0)              \
  X(OCIDateCompare, E0) X(OCIDateAddMonths, E0) X(OCIDateAddDays, E0)           \
  X(OCIDateLastDay, E0) X(OCIDateDaysBetween, E0) X(OCIDateNextDay, E0)         \
  X(OCIDateCheck, E0) X(OCIDateSysDate, E0)                                      \
  /* raws */                                                                      \
  X(OCIRawAssignRaw, E1) X(OCIRawAssignBytes, E1) X(OCIRawResize, E1)           \
  X(OCIRawSize, VALUE) X(OCIRawPtr, VALUE) X(OCIRawAllocSize, E1)               \
  /* references */                                                                \
  X(OCIRefClear, VALUE) X(OCIRefAssign, E1) X(OCIRefIsEqual, VALUE)             \
  X(OCIRefIsNull, VALUE) X(OCIRefHexSize, VALUE) X(OCIRefFromHex, E1)           \
  X(OCIRefToHex, E1)                                                              \
  /* collections, iterators, nested tables */                                     \
  X(OCICollSize, E1) X(OCICollMax, VALUE) X(OCICollGetElem, E1)                 \
  X(OCICollAssignElem, E1) X(OCICollAssign, E1) X(OCICollAppend, E1)            \
  X(OCICollTrim, E1) X(OCICollIsLocator, E1)                                      \
  X(OCIIterCreate, E1) X(OCIIterDelete, E1) X(OCIIterInit, E1)                   \
  X(OCIIterGetCurrent, E1) X(OCIIterNext, E1) X(OCIIterPrev, E1)                 \
  X(OCITableSize, E1) X(OCITableExists, E1) X(OCITableDelete, E1)               \
  X(OCITableFirst, E1) X(OCITableLast, E1) X(OCITableNext, E1)                  \
  X(OCITablePrev, E1)                                                             \
  /* internal message calls of the 8.0 client */                                  \
  X(ociepgoe, NOERR) X(ociepmsg, NOERR)                                          \
  /* direct path loading */                                                       \
  X(OCIDirPathPrepare, E2) X(OCIDirPathLoadStream, E2) X(OCIDirPathFinish, E1)  \
  X(OCIDirPathAbort, E1) X(OCIDirPathDataSave, E1) X(OCIDirPathFlushRow, E1)    \
  X(OCIDirPathColArrayEntryGet, E1) X(OCIDirPathColArrayEntrySet, E1)           \
  X(OCIDirPathColArrayRowGet, E1) X(OCIDirPathColArrayReset, E1)                \
  X(OCIDirPathColArrayToStream, E3) X(OCIDirPathStreamReset, E1)                \
  /* date-time and interval descriptors */                                        \
  X(OCIDateTimeAssign, E1) X(OCIDateTimeCheck, E1) X(OCIDateTimeCompare, E1)    \
  X(OCIDateTimeConstruct, E1) X(OCIDateTimeConvert, E1)                         \
  X(OCIDateTimeFromArray, E1) X(OCIDateTimeFromText, E1)                        \
  X(OCIDateTimeGetDate, E1) X(OCIDateTimeGetTime, E1)                           \
  X(OCIDateTimeGetTimeZoneName, E1) X(OCIDateTimeGetTimeZoneOffset, E1)         \
  X(OCIDateTimeIntervalAdd, E1) X(OCIDateTimeIntervalSub, E1)                   \
  X(OCIDateTimeSubtract, E1) X(OCIDateTimeSysTimeStamp, E1)                     \
  X(OCIDateTimeToArray, E1) X(OCIDateTimeToText, E1)                            \
  X(OCIIntervalAdd, E1) X(OCIIntervalAssign, E1) X(OCIIntervalCheck, E1)        \
  X(OCIIntervalCompare, E1) X(OCIIntervalDivide, E1)                            \
  X(OCIIntervalFromNumber, E1) X(OCIIntervalFromText, E1)                       \
  X(OCIIntervalFromTZ, E1) X(OCIIntervalGetDaySecond, E1)                       \
  X(OCIIntervalGetYearMonth, E1) X(OCIIntervalMultiply, E1)                     \
  X(OCIIntervalSetDaySecond, E1) X(OCIIntervalSetYearMonth, E1)                 \
  X(OCIIntervalSubtract, E1) X(OCIIntervalToNumber, E1)                         \
  X(OCIIntervalToText, E1)                                                        \
  /* session pools */                                                             \
  X(OCISessionPoolCreate, E1) X(OCISessionPoolDestroy, E1)                       \
  X(OCISessionGet, E1) X(OCISessionRelease, E1)

#endif
