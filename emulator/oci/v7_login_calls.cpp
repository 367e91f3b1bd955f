// The Oracle 7 connection calls: logon and logoff over the OCI 8 handles of
// this library, message texts, transactions, and the conversion between a
// service context and a login data area.
#include <algorithm>
#include <cctype>
#include <mutex>
#include <unordered_set>

#include "oci/v7_areas.h"

namespace oraemu::oci {

namespace {

constexpr ub1 kLoginCheck = 0xA7;
constexpr ub1 kCursorCheck = 0xC7;

std::mutex& RegistryMutex() {
  static std::mutex mutex;
  return mutex;
}
std::unordered_set<const void*>& Live() {
  static std::unordered_set<const void*> live;
  return live;
}

bool IsLive(const void* state) {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  return Live().count(state) != 0;
}

}  // namespace

V7Login* LoginOf(const Lda_Def* lda) {
  if (lda == nullptr || lda->chk != kLoginCheck || !IsLive(lda->rcsp)) return nullptr;
  return static_cast<V7Login*>(lda->rcsp);
}

V7Cursor* CursorOf(const Cda_Def* cda) {
  if (cda == nullptr || cda->chk != kCursorCheck || !IsLive(cda->rcsp)) return nullptr;
  return static_cast<V7Cursor*>(cda->rcsp);
}

void AttachLogin(Lda_Def* lda, V7Login* login) {
  {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    Live().insert(login);
  }
  lda->chk = kLoginCheck;
  lda->rcsp = login;
}

void AttachCursor(Cda_Def* cda, V7Cursor* cursor) {
  {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    Live().insert(cursor);
  }
  cda->chk = kCursorCheck;
  cda->rcsp = cursor;
}

void DetachArea(cda_def* area) {
  {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    Live().erase(area->rcsp);
  }
  area->chk = 0;
  area->rcsp = nullptr;
}

sword Outcome(cda_def* area, V7Login* login, int code, const std::string& message, int offset) {
  if (area != nullptr) {
    area->rc = static_cast<ub2>(code);
    // The version 2 code: 4 at the end of the data, the error negated otherwise.
    area->v2_rc = static_cast<sb2>(code == 0 ? 0 : code == 1403 ? 4 : -std::min(code, 32767));
    area->peo = static_cast<ub2>(offset);
  }
  if (code != 0 && login != nullptr) {
    login->lastCode = code;
    login->lastMessage = message.empty() ? StandardMessage(code) : message;
  }
  return code == 0 ? 0 : code;
}

void DestroyCursor(V7Cursor* cursor) noexcept {
  if (cursor == nullptr) return;
  {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    Live().erase(cursor);
  }
  if (cursor->stmt != nullptr) OCIHandleFree(cursor->stmt, OCI_HTYPE_STMT);
  if (V7Login* login = cursor->login) {
    auto& list = login->cursors;
    list.erase(std::remove(list.begin(), list.end(), cursor), list.end());
  }
  delete cursor;
}

}  // namespace oraemu::oci

using namespace oraemu::oci;

namespace {

// The error of a logon that left no login behind, for oerhms on its area.
thread_local int failedLogonCode = 0;
thread_local std::string failedLogonMessage;

// Record 1 of an error handle: the code and text of a failed OCI 8 call.
void ReadRecord(OCIError* err, int& code, std::string& message) {
  code = 0;
  message.clear();
  if (auto* handle = As<ErrorHandle>(err, OCI_HTYPE_ERROR); handle != nullptr && handle->diag.record) {
    code = handle->diag.record->code;
    message = handle->diag.record->message;
  }
}

void NoteTrace(OCIServer* server, const std::string& line) {
  auto* handle = As<ServerHandle>(server, OCI_HTYPE_SERVER);
  if (handle != nullptr && handle->connection) handle->connection->roundTrips.Note(line);
}

// The parts of an Oracle 7 connect string "user/password@database", with an
// optional " AS SYSDBA" or " AS SYSOPER" (which this server does not
// distinguish). Double quotes keep a name's "/" and "@".
struct ConnectParts {
  std::string user, password, database;
};

ConnectParts SplitConnect(std::string text) {
  std::string upper = text;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::replace(upper.begin(), upper.end(), '\t', ' ');
  for (const char* role : {" AS SYSDBA", " AS SYSOPER"}) {
    const std::string suffix = role;
    std::string trimmed = upper;
    while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
    if (trimmed.size() >= suffix.size() && trimmed.compare(trimmed.size() - suffix.size(), suffix.size(), suffix) == 0) {
      text.resize(trimmed.size() - suffix.size());
      break;
    }
  }
  ConnectParts parts;
  std::string* into = &parts.user;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (!quoted && c == '/' && into == &parts.user) {
      into = &parts.password;
      continue;
    }
    if (!quoted && c == '@' && into != &parts.database) {
      into = &parts.database;
      continue;
    }
    *into += c;
  }
  return parts;
}

void FreeLogin(V7Login* login) noexcept {
  if (login->env != nullptr && !login->converted) {
    OCIHandleFree(login->env, OCI_HTYPE_ENV);  // frees every handle under it
  } else if (login->err != nullptr) {
    OCIHandleFree(login->err, OCI_HTYPE_ERROR);
  }
  delete login;
}

sword Logon(Lda_Def* lda, ub1* hda, OraText* uid, sword uidl, OraText* pswd, sword pswdl, OraText* conn,
            sword connl) {
  if (lda == nullptr) return -1;
  if (hda == nullptr) return Outcome(lda, nullptr, kNotLoggedOn);
  lda->chk = 0;
  lda->rcsp = nullptr;
  ConnectParts parts = SplitConnect(TextArg(uid, uidl));
  if (pswd != nullptr) parts.password = TextArg(pswd, pswdl);
  if (conn != nullptr) parts.database = TextArg(conn, connl);

  auto* login = new V7Login;
  int code = 0;
  std::string message;
  auto failed = [&](sword status) {
    if (status == OCI_SUCCESS) return false;
    ReadRecord(login->err, code, message);
    if (status == OCI_SUCCESS_WITH_INFO) return false;  // a logon warning: the logon stands
    if (code == 0) code = kNotLoggedOn;
    return true;
  };
  bool bad = OCIEnvCreate(&login->env, OCI_DEFAULT, nullptr, nullptr, nullptr, nullptr, 0, nullptr) != OCI_SUCCESS;
  for (auto [slot, type] : {std::pair<void**, ub4>{reinterpret_cast<void**>(&login->err), OCI_HTYPE_ERROR},
                            {reinterpret_cast<void**>(&login->server), OCI_HTYPE_SERVER},
                            {reinterpret_cast<void**>(&login->svc), OCI_HTYPE_SVCCTX},
                            {reinterpret_cast<void**>(&login->session), OCI_HTYPE_SESSION}}) {
    if (!bad) bad = OCIHandleAlloc(login->env, slot, type, 0, nullptr) != OCI_SUCCESS;
  }
  if (bad) code = 4030;
  if (!bad) {
    bad = failed(OCIServerAttach(login->server, login->err,
                                 reinterpret_cast<const OraText*>(parts.database.data()),
                                 static_cast<sb4>(parts.database.size()), OCI_DEFAULT));
  }
  if (!bad) {
    NoteTrace(login->server, "V7 LOGON " + parts.user + (parts.database.empty() ? "" : "@" + parts.database));
    OCIAttrSet(login->svc, OCI_HTYPE_SVCCTX, login->server, 0, OCI_ATTR_SERVER, login->err);
    OCIAttrSet(login->svc, OCI_HTYPE_SVCCTX, login->session, 0, OCI_ATTR_SESSION, login->err);
    const bool external = parts.user.empty() && parts.password.empty();
    OCIAttrSet(login->session, OCI_HTYPE_SESSION, parts.user.data(), static_cast<ub4>(parts.user.size()),
               OCI_ATTR_USERNAME, login->err);
    OCIAttrSet(login->session, OCI_HTYPE_SESSION, parts.password.data(),
               static_cast<ub4>(parts.password.size()), OCI_ATTR_PASSWORD, login->err);
    bad = failed(OCISessionBegin(login->svc, login->err, login->session,
                                 external ? OCI_CRED_EXT : OCI_CRED_RDBMS, OCI_DEFAULT));
  }
  std::fill(parts.password.begin(), parts.password.end(), '\0');
  if (bad) {
    if (message.empty()) message = StandardMessage(code);
    failedLogonCode = code;
    failedLogonMessage = message;
    FreeLogin(login);
    return Outcome(lda, nullptr, code, message);
  }
  AttachLogin(lda, login);
  lda->fc = 52;  // OCI 7 function code of a logon
  if (code != 0) {
    // ORA-28002 and the like: connected, and the area says why.
    Outcome(lda, login, code, message);
    return 0;
  }
  return Outcome(lda, login, 0);
}

void CloseCursors(V7Login* login) {
  for (V7Cursor* cursor : std::vector<V7Cursor*>(login->cursors)) {
    cursor->login = nullptr;
    DestroyCursor(cursor);
  }
  login->cursors.clear();
}

sword EndTransaction(Lda_Def* lda, bool commit) {
  V7Login* login = LoginOf(lda);
  if (login == nullptr) return Outcome(lda, nullptr, kNotLoggedOn);
  SvcCtxHandle* svc = login->Svc();
  const bool lent = svc != nullptr && svc->lentToLda;
  if (lent) svc->lentToLda = false;
  const sword status = commit ? OCITransCommit(login->svc, login->err, OCI_DEFAULT)
                              : OCITransRollback(login->svc, login->err, OCI_DEFAULT);
  if (lent) svc->lentToLda = true;
  if (status == OCI_SUCCESS) return Outcome(lda, login, 0);
  int code = 0;
  std::string message;
  ReadRecord(login->err, code, message);
  return Outcome(lda, login, code != 0 ? code : kNotConnected, message);
}

}  // namespace

ORAEMU_EXPORT sword opinit(ub4 mode) {
  // Either threading mode serves: every call here completes before it returns.
  return mode == OCI_EV_DEF || mode == OCI_EV_TSF ? 0 : kIllegalParameter;
}

ORAEMU_EXPORT sword olog(Lda_Def* lda, ub1* hda, OraText* uid, sword uidl, OraText* pswd, sword pswdl,
                         OraText* conn, sword connl, ub4 mode) {
  // Non-blocking logons would need calls that return before they finish.
  if (mode != OCI_LM_DEF) return Outcome(lda, nullptr, kUnimplemented);
  return Logon(lda, hda, uid, uidl, pswd, pswdl, conn, connl);
}

ORAEMU_EXPORT sword orlon(Lda_Def* lda, ub1* hda, OraText* uid, sword uidl, OraText* pswd, sword pswdl,
                          sword /*audit*/) {
  return Logon(lda, hda, uid, uidl, pswd, pswdl, nullptr, -1);
}

ORAEMU_EXPORT sword ologof(Lda_Def* lda) {
  V7Login* login = LoginOf(lda);
  if (login == nullptr) return Outcome(lda, nullptr, kNotLoggedOn);
  // A borrowed service context goes back with OCILdaToSvcCtx, not with a logoff.
  if (login->converted) return Outcome(lda, login, kOperationNotAllowed);
  CloseCursors(login);
  NoteTrace(login->server, "V7 LOGOFF");
  const sword ended = OCISessionEnd(login->svc, login->err, login->session, OCI_DEFAULT);
  int code = 0;
  std::string message;
  if (ended != OCI_SUCCESS) ReadRecord(login->err, code, message);
  OCIServerDetach(login->server, login->err, OCI_DEFAULT);
  DetachArea(lda);
  FreeLogin(login);
  return Outcome(lda, nullptr, code, message);
}

ORAEMU_EXPORT sword oerhms(Lda_Def* lda, sb2 rcode, OraText* buf, sword bufsiz) {
  if (buf == nullptr || bufsiz <= 0) return 0;
  const int code = rcode;
  std::string text;
  if (V7Login* login = LoginOf(lda); login != nullptr && login->lastCode == code) {
    text = login->lastMessage;
  } else if (failedLogonCode == code && code != 0) {
    text = failedLogonMessage;
  } else {
    text = StandardMessage(code);
  }
  text += '\n';
  const size_t n = std::min<size_t>(text.size(), static_cast<size_t>(bufsiz) - 1);
  std::memcpy(buf, text.data(), n);
  buf[n] = '\0';
  return static_cast<sword>(n);
}

ORAEMU_EXPORT sword ocom(Lda_Def* lda) { return EndTransaction(lda, true); }
ORAEMU_EXPORT sword orol(Lda_Def* lda) { return EndTransaction(lda, false); }

// Statements apply whole when they run, so autocommit changes nothing here.
ORAEMU_EXPORT sword ocon(Lda_Def* lda) {
  V7Login* login = LoginOf(lda);
  return Outcome(lda, login, login == nullptr ? kNotLoggedOn : 0);
}
ORAEMU_EXPORT sword ocof(Lda_Def* lda) {
  V7Login* login = LoginOf(lda);
  return Outcome(lda, login, login == nullptr ? kNotLoggedOn : 0);
}

ORAEMU_EXPORT sword obreak(Lda_Def* lda) {
  // Every call completes before it returns, so there is never one to interrupt.
  V7Login* login = LoginOf(lda);
  return Outcome(lda, login, login == nullptr ? kNotLoggedOn : 0);
}

// Describing stored procedures is outside what this system asks.
ORAEMU_EXPORT sword odessp(Lda_Def* lda) {
  V7Login* login = LoginOf(lda);
  return Outcome(lda, login, login == nullptr ? kNotLoggedOn : kUnimplemented);
}

ORAEMU_EXPORT sword OCISvcCtxToLda(OCISvcCtx* svchp, OCIError* errhp, void* ldap) {
  auto* svc = As<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
  if (svc == nullptr || ldap == nullptr) return OCI_INVALID_HANDLE;
  ErrorSink sink(errhp);
  if (svc->session == nullptr || !svc->session->session || svc->server == nullptr || !svc->server->connection) {
    return sink.Report(kServiceNotInitialized);
  }
  if (svc->lentToLda) return sink.Report(kOperationNotAllowed);
  auto* lda = static_cast<Lda_Def*>(ldap);
  auto* login = new V7Login;
  login->converted = true;
  login->env = reinterpret_cast<OCIEnv*>(Out(svc->env));
  login->svc = svchp;
  login->server = reinterpret_cast<OCIServer*>(Out(svc->server));
  login->session = reinterpret_cast<OCISession*>(Out(svc->session));
  if (OCIHandleAlloc(svc->env, reinterpret_cast<void**>(&login->err), OCI_HTYPE_ERROR, 0, nullptr) != OCI_SUCCESS) {
    delete login;
    return sink.Report(ClientError(kInternal, "OCISvcCtxToLda"));
  }
  std::memset(lda, 0, sizeof *lda);
  AttachLogin(lda, login);
  svc->lentToLda = true;
  svc->fnCode = 0;
  NoteTrace(login->server, "V7 OCISvcCtxToLda");
  return OCI_SUCCESS;
}

ORAEMU_EXPORT sword OCILdaToSvcCtx(OCISvcCtx** svchpp, OCIError* errhp, void* ldap) {
  ErrorSink sink(errhp);
  if (svchpp == nullptr || ldap == nullptr) return OCI_INVALID_HANDLE;
  auto* lda = static_cast<Lda_Def*>(ldap);
  V7Login* login = LoginOf(lda);
  // Only an area made from a service context turns back into one.
  if (login == nullptr || !login->converted) return sink.Report(kOperationNotAllowed);
  CloseCursors(login);
  if (SvcCtxHandle* svc = login->Svc()) svc->lentToLda = false;
  NoteTrace(login->server, "V7 OCILdaToSvcCtx");
  *svchpp = login->svc;
  DetachArea(lda);
  FreeLogin(login);
  return OCI_SUCCESS;
}
