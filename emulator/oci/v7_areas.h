// The Oracle 7 calls' view of a connection. A login data area (LDA) or
// cursor data area (CDA) is the caller's memory; the emulator keeps its own
// state beside it and points at it from the area's reserved pointer, checked
// against a registry so that a stale or foreign area is refused (ORA-01012,
// ORA-01001) instead of being followed.
#ifndef ORAEMU_OCI_V7_AREAS_H
#define ORAEMU_OCI_V7_AREAS_H

#include <string>
#include <vector>

#include "oci/calls_common.h"
#include "oracle/oci7.h"

namespace oraemu::oci {

struct V7Cursor;

// A connection as the Oracle 7 calls use it: the OCI 8 handles behind it,
// owned unless they were lent by OCISvcCtxToLda.
struct V7Login {
  bool converted = false;
  OCIEnv* env = nullptr;
  OCIServer* server = nullptr;
  OCISvcCtx* svc = nullptr;
  OCISession* session = nullptr;
  OCIError* err = nullptr;
  // The last error of any call on this login or its cursors, for oerhms.
  int lastCode = 0;
  std::string lastMessage;
  std::vector<V7Cursor*> cursors;

  SvcCtxHandle* Svc() const { return As<SvcCtxHandle>(svc, OCI_HTYPE_SVCCTX); }
  ErrorHandle* Err() const { return As<ErrorHandle>(err, OCI_HTYPE_ERROR); }
};

struct V7Cursor {
  V7Login* login = nullptr;
  OCIStmt* stmt = nullptr;
  bool parsed = false;
  bool described = false;
  // A statement other than a query or DML, run by a parse that was not
  // deferred (as Oracle 7 does); the next execution only reports it.
  bool executedAtParse = false;

  StmtHandle* Stmt() const { return As<StmtHandle>(stmt, OCI_HTYPE_STMT); }
};

// The text of any error number without its arguments: the client's own
// texts first, then the server's message file.
inline std::string StandardMessage(int code) {
  return IsClientCode(code) ? ClientMessage(code) : oraemu::OraMessage(code);
}

// The state an area points at, or null when it is no live area of that kind.
V7Login* LoginOf(const Lda_Def* lda);
V7Cursor* CursorOf(const Cda_Def* cda);

// Attaches state to an area / detaches it (the area then reads as closed).
void AttachLogin(Lda_Def* lda, V7Login* login);
void AttachCursor(Cda_Def* cda, V7Cursor* cursor);
void DetachArea(cda_def* area);

// Records the outcome of a call in an area (return code, V2 code, parse
// error offset) and, for an error, in the login's last error. Returns the
// call's result: 0 on success, else the return code.
sword Outcome(cda_def* area, V7Login* login, int code, const std::string& message = {}, int offset = 0);

// Frees a cursor's statement and state; the caller detaches its area.
void DestroyCursor(V7Cursor* cursor) noexcept;

}  // namespace oraemu::oci

#endif
