// Server attach and detach, sessions, version banners, transactions and the
// other connection-level calls.
#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <cstring>

#include "oci/calls_common.h"

using namespace oraemu::oci;

namespace {

// The connect identifier of an empty database name: as a real client, the
// TWO_TASK variable, else the local ORACLE_SID.
std::string DefaultConnectId() {
  for (const char* name : {"TWO_TASK", "ORACLE_SID"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  throw ClientError(kNetServiceName);
}

// The operating-system user that external credentials stand for.
std::string OsUserName() {
  const char* user = std::getenv("USER");
  if (user != nullptr && *user != '\0') return user;
#ifdef _WIN32
  char name[257];
  DWORD length = sizeof name;
  if (::GetUserNameA(name, &length) && length > 0) return std::string(name, length - 1);
#else
  if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_name != nullptr) {
    return entry->pw_name;
  }
#endif
  return {};
}

Connection& LiveConnection(ServerHandle* server) {
  if (server == nullptr || !server->connection) throw ClientError(kNotConnected);
  server->connection->roundTrips.CheckConnected();
  return *server->connection;
}

ServerHandle* ServerOf(void* hndlp, ub1 hndltype) {
  if (hndltype == OCI_HTYPE_SERVER) return As<ServerHandle>(hndlp, OCI_HTYPE_SERVER);
  if (hndltype == OCI_HTYPE_SVCCTX) {
    if (auto* svc = As<SvcCtxHandle>(hndlp, OCI_HTYPE_SVCCTX)) return svc->server;
  }
  return nullptr;
}

// The server's version text: ORAEMU_BANNER when set, so that tests can meet
// servers of other releases; else the database's own banner.
std::string Banner(const oraemu::Database& database) {
  const char* banner = std::getenv("ORAEMU_BANNER");
  if (banner != nullptr && *banner != '\0') return banner;
  return database.VersionBanner();
}

void CopyText(const std::string& text, OraText* bufp, ub4 bufsz) {
  if (bufp == nullptr || bufsz == 0) return;
  const size_t n = std::min<size_t>(text.size(), bufsz - 1);
  std::memcpy(bufp, text.data(), n);
  bufp[n] = '\0';
}

// The release number packed as OCIServerRelease reports it, read from the
// "Version a.b.c.d.e" line of the banner (or its "Release" line).
ub4 PackedRelease(const std::string& banner) {
  size_t at = banner.find("Version ");
  if (at == std::string::npos) at = banner.find("Release ");
  if (at == std::string::npos) return 0;
  unsigned parts[5] = {0, 0, 0, 0, 0};
  const char* p = banner.c_str() + at + 8;
  for (unsigned& part : parts) {
    char* end = nullptr;
    part = static_cast<unsigned>(std::strtoul(p, &end, 10));
    if (end == p || *end != '.') break;
    p = end + 1;
  }
  if (parts[0] >= 18) {
    return (parts[0] << 24) | ((parts[1] & 0xFF) << 16) | ((parts[2] & 0xF) << 12) |
           ((parts[3] & 0xFF) << 4) | (parts[4] & 0xF);
  }
  return (parts[0] << 24) | ((parts[1] & 0xF) << 20) | ((parts[2] & 0xFF) << 12) |
         ((parts[3] & 0xF) << 8) | (parts[4] & 0xFF);
}

void EndSession(SessionHandle* session) {
  if (session->server != nullptr && session->server->connection && session->session) {
    session->server->connection->roundTrips.Note("LOGOFF " + session->session->UserName());
  }
  session->session.reset();
  if (session->env->lastSession == session) session->env->lastSession = nullptr;
}

sword Attach(ServerHandle* server, const ErrorSink& sink, const std::string& dblink) {
  if (server->connection) return sink.Report(kAlreadyConnected);
  std::string connectId = dblink.empty() ? DefaultConnectId() : dblink;
  auto database = oraemu::Database::Open(connectId);
  server->connection = Connection{connectId, std::move(database), RoundTrips::FromEnvironment()};
  return OCI_SUCCESS;
}

sword Begin(SvcCtxHandle* svc, SessionHandle* user, const ErrorSink& sink, ub4 credt, ub4 mode) {
  Connection& connection = LiveConnection(svc->server);
  if (user->session) throw oraemu::EOraError(24313, "ORA-24313: user already authenticated");
  oraemu::LogonResult logon;
  switch (credt) {
    case OCI_CRED_RDBMS:
      logon = connection.database->Logon(user->userName, user->password, false);
      break;
    case OCI_CRED_EXT:
      logon = connection.database->Logon(OsUserName(), std::string(), true);
      break;
    default:
      return sink.Report(kUnimplemented);
  }
  user->database = connection.database;
  user->session = std::move(logon.session);
  user->server = svc->server;
  user->env->lastSession = user;
  svc->session = user;
  svc->stmtCacheEnabled = (mode & OCI_STMT_CACHE) != 0;
  connection.roundTrips.Note("LOGON " + user->session->UserName());
  if (logon.warning) return sink.Report(*logon.warning, OCI_SUCCESS_WITH_INFO);
  return OCI_SUCCESS;
}

}  // namespace

ORAEMU_EXPORT sword OCIServerAttach(OCIServer* srvhp, OCIError* errhp, const OraText* dblink,
                                    sb4 dblink_len, ub4 /*mode*/) {
  auto* server = As<ServerHandle>(srvhp, OCI_HTYPE_SERVER);
  if (server == nullptr) return OCI_INVALID_HANDLE;
  server->fnCode = kFnServerAttach;
  ErrorSink sink(errhp);
  return Guarded(sink, [&] { return Attach(server, sink, TextArg(dblink, dblink_len)); });
}

ORAEMU_EXPORT sword OCIServerDetach(OCIServer* srvhp, OCIError* errhp, ub4 /*mode*/) {
  auto* server = As<ServerHandle>(srvhp, OCI_HTYPE_SERVER);
  if (server == nullptr) return OCI_INVALID_HANDLE;
  server->fnCode = kFnServerDetach;
  ErrorSink sink(errhp);
  if (!server->connection) return sink.Report(kNotConnected);
  // Sessions still open on this server end with it.
  for (auto& [raw, kept] : server->env->owned) {
    if (raw->type == OCI_HTYPE_SESSION && static_cast<SessionHandle*>(raw)->server == server) {
      EndSession(static_cast<SessionHandle*>(raw));
    }
  }
  server->connection.reset();
  return OCI_SUCCESS;
}

ORAEMU_EXPORT sword OCISessionBegin(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt,
                                    ub4 mode) {
  auto* svc = As<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
  auto* user = As<SessionHandle>(usrhp, OCI_HTYPE_SESSION);
  if (svc == nullptr || user == nullptr) return OCI_INVALID_HANDLE;
  svc->fnCode = kFnSessionBegin;
  ErrorSink sink(errhp);
  return Guarded(sink, [&] { return Begin(svc, user, sink, credt, mode); });
}

ORAEMU_EXPORT sword OCISessionEnd(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 /*mode*/) {
  auto* svc = As<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
  if (svc == nullptr) return OCI_INVALID_HANDLE;
  svc->fnCode = kFnSessionEnd;
  if (svc->lentToLda) return ErrorSink(errhp).Report(kOperationNotAllowed);
  auto* user = usrhp != nullptr ? As<SessionHandle>(usrhp, OCI_HTYPE_SESSION) : svc->session;
  ErrorSink sink(errhp);
  if (user == nullptr || !user->session) return sink.Report(kNotConnected);
  const bool lost = user->server == nullptr || !user->server->connection ||
                    user->server->connection->roundTrips.Broken();
  EndSession(user);
  if (svc->session == user) svc->session = nullptr;
  // A session on a lost connection is gone all the same, but the call says so.
  return lost ? sink.Report(kNotConnected) : OCI_SUCCESS;
}

ORAEMU_EXPORT sword OCIServerVersion(void* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz,
                                     ub1 hndltype) {
  if (AnyHandle(hndlp) == nullptr) return OCI_INVALID_HANDLE;
  ErrorSink sink(errhp);
  return Guarded(sink, [&] {
    CopyText(Banner(*LiveConnection(ServerOf(hndlp, hndltype)).database), bufp, bufsz);
    AnyHandle(hndlp)->fnCode = kFnServerVersion;
    return OCI_SUCCESS;
  });
}

ORAEMU_EXPORT sword OCIServerRelease(void* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz,
                                     ub1 hndltype, ub4* version) {
  if (AnyHandle(hndlp) == nullptr) return OCI_INVALID_HANDLE;
  ErrorSink sink(errhp);
  return Guarded(sink, [&] {
    const std::string banner = Banner(*LiveConnection(ServerOf(hndlp, hndltype)).database);
    CopyText(banner, bufp, bufsz);
    if (version != nullptr) *version = PackedRelease(banner);
    return OCI_SUCCESS;
  });
}

ORAEMU_EXPORT sword OCILogon(OCIEnv* envhp, OCIError* errhp, OCISvcCtx** svchp, const OraText* username,
                             ub4 uname_len, const OraText* password, ub4 passwd_len,
                             const OraText* dbname, ub4 dbname_len) {
  auto* env = As<Env>(envhp, OCI_HTYPE_ENV);
  if (env == nullptr || svchp == nullptr) return OCI_INVALID_HANDLE;
  ErrorSink sink(errhp);
  auto* server = env->Adopt(std::make_unique<ServerHandle>(OCI_HTYPE_SERVER, env));
  auto* svc = env->Adopt(std::make_unique<SvcCtxHandle>(OCI_HTYPE_SVCCTX, env));
  auto* user = env->Adopt(std::make_unique<SessionHandle>(OCI_HTYPE_SESSION, env));
  user->userName = TextArg(username, static_cast<sb4>(uname_len));
  user->password = TextArg(password, static_cast<sb4>(passwd_len));
  svc->server = server;
  svc->session = user;
  sword status = Guarded(sink, [&] {
    sword attached = Attach(server, sink, TextArg(dbname, static_cast<sb4>(dbname_len)));
    return attached != OCI_SUCCESS ? attached : Begin(svc, user, sink, OCI_CRED_RDBMS, OCI_DEFAULT);
  });
  if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) {
    env->Release(user);
    env->Release(svc);
    env->Release(server);
    *svchp = nullptr;
    return status;
  }
  svc->fnCode = kFnLogon;
  *svchp = reinterpret_cast<OCISvcCtx*>(Out(svc));
  return status;
}

ORAEMU_EXPORT sword OCILogoff(OCISvcCtx* svchp, OCIError* errhp) {
  auto* svc = As<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
  if (svc == nullptr) return OCI_INVALID_HANDLE;
  ErrorSink sink(errhp);
  Env* env = svc->env;
  SessionHandle* user = svc->session;
  ServerHandle* server = svc->server;
  bool lost = false;
  if (user != nullptr) {
    lost = user->server == nullptr || !user->server->connection || user->server->connection->roundTrips.Broken();
    EndSession(user);
    env->Release(user);
  }
  if (server != nullptr) {
    server->connection.reset();
    env->Release(server);
  }
  env->Release(svc);
  return lost ? sink.Report(kNotConnected) : OCI_SUCCESS;
}

ORAEMU_EXPORT sword OCIPasswordChange(OCISvcCtx* svchp, OCIError* errhp, const OraText*, ub4,
                                      const OraText*, ub4, const OraText*, ub4, ub4) {
  if (As<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX) == nullptr) return OCI_INVALID_HANDLE;
  return ErrorSink(errhp).Report(kUnimplemented);
}

ORAEMU_EXPORT sword OCIBreak(void* hndlp, OCIError* errhp) {
  if (AnyHandle(hndlp) == nullptr) return OCI_INVALID_HANDLE;
  ErrorSink sink(errhp);
  // Every call here completes before it returns, so there is never one to interrupt.
  return OCI_SUCCESS;
}

ORAEMU_EXPORT sword OCIReset(void* hndlp, OCIError* errhp) {
  if (AnyHandle(hndlp) == nullptr) return OCI_INVALID_HANDLE;
  ErrorSink sink(errhp);
  return OCI_SUCCESS;
}

ORAEMU_EXPORT sword OCIPing(OCISvcCtx* svchp, OCIError* errhp, ub4 /*mode*/) {
  auto* svc = As<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
  if (svc == nullptr) return OCI_INVALID_HANDLE;
  ErrorSink sink(errhp);
  return Guarded(sink, [&] {
    LiveConnection(svc->server);
    return OCI_SUCCESS;
  });
}

namespace {

// Statements apply whole when they run (DDL commits itself), so a commit or
// a rollback only has to find the session alive.
sword EndTransaction(OCISvcCtx* svchp, OCIError* errhp, ub4 fnCode) {
  auto* svc = As<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
  if (svc == nullptr) return OCI_INVALID_HANDLE;
  svc->fnCode = fnCode;
  ErrorSink sink(errhp);
  if (svc->lentToLda) return sink.Report(kOperationNotAllowed);
  return Guarded(sink, [&] {
    if (svc->session == nullptr || !svc->session->session) throw ClientError(kNotConnected);
    LiveConnection(svc->session->server);
    return OCI_SUCCESS;
  });
}

}  // namespace

ORAEMU_EXPORT sword OCITransCommit(OCISvcCtx* svchp, OCIError* errhp, ub4 /*flags*/) {
  return EndTransaction(svchp, errhp, kFnTransCommit);
}

ORAEMU_EXPORT sword OCITransRollback(OCISvcCtx* svchp, OCIError* errhp, ub4 /*flags*/) {
  return EndTransaction(svchp, errhp, kFnTransRollback);
}

ORAEMU_EXPORT sword OCIDescribeAny(OCISvcCtx* svchp, OCIError* errhp, void*, ub4, ub1, ub1, ub1,
                                   OCIDescribe*) {
  if (AnyHandle(svchp) == nullptr) return OCI_INVALID_HANDLE;
  return ErrorSink(errhp).Report(kUnimplemented);
}
