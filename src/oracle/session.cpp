#include "oracle/session.h"

#include <algorithm>
#include <optional>

#include "common/text.h"
#include "oracle/client.h"

namespace skelvane::oracle {

namespace {

constexpr int kErrorBufferSize = 4001;
constexpr int kVersionBufferSize = 501;

// Logon warnings: the session stands, the message is kept.
bool IsLogonWarning(int code) { return code == 28002 || code == 28011; }

std::string StatusName(sword status) {
  switch (status) {
    case OCI_INVALID_HANDLE: return "OCI_INVALID_HANDLE";
    case OCI_STILL_EXECUTING: return "OCI_STILL_EXECUTING";
    case OCI_NEED_DATA: return "OCI_NEED_DATA";
    case OCI_NO_DATA: return "OCI_NO_DATA";
    case OCI_CONTINUE: return "OCI_CONTINUE";
    case OCI_ERROR: return "OCI_ERROR";
    case OCI_SUCCESS_WITH_INFO: return "OCI_SUCCESS_WITH_INFO";
    default: return "status " + std::to_string(status);
  }
}

void ReadRecord(const TOciEntryPoints& oci, void* handle, ub4 type, int& code, std::string& text) {
  code = 0;
  text.clear();
  if (!handle || !oci.OCIErrorGet) return;
  std::string buffer(kErrorBufferSize, '\0');
  sb4 number = 0;
  const sword status = oci.OCIErrorGet(handle, 1, nullptr, &number,
                                       reinterpret_cast<OraText*>(buffer.data()),
                                       kErrorBufferSize, type);
  if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) return;
  buffer.resize(std::min(buffer.find('\0'), buffer.size()));
  while (!buffer.empty() && (buffer.back() == '\n' || buffer.back() == '\r')) buffer.pop_back();
  code = number;
  text = std::move(buffer);
}

// Shows the session's cursor while it lives, then the previous one.
class TCursorScope {
 public:
  explicit TCursorScope(int cursor) {
    auto& hook = TOracleSession::CursorHook();
    if (hook) previous_ = hook(cursor);
  }
  ~TCursorScope() {
    auto& hook = TOracleSession::CursorHook();
    if (hook && previous_) hook(*previous_);
  }
  TCursorScope(const TCursorScope&) = delete;
  TCursorScope& operator=(const TCursorScope&) = delete;

 private:
  std::optional<int> previous_;
};

}  // namespace

TLogonData SplitLogon(const TLogonData& data) {
  TLogonData result = data;
  if (data.Username.empty()) return result;

  std::string logon = data.Username;
  std::string role;
  std::string upper = AnsiUpperCase(data.Username);
  std::replace(upper.begin(), upper.end(), '\t', ' ');
  const size_t as = upper.find(" AS ");
  if (as != std::string::npos) {
    role = Trimmed(upper.substr(as + 4));
    logon = Trimmed(data.Username.substr(0, as));
  }

  enum class Part { User, Password, Database };
  Part part = Part::User;
  bool quoted = false, sawSlash = false, sawAt = false;
  std::string user, password, database;
  for (const char c : logon) {
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == '/' && part == Part::User) {
      part = Part::Password;
      sawSlash = true;
      continue;
    } else if (!quoted && c == '@' && part != Part::Database) {
      part = Part::Database;
      sawAt = true;
      continue;
    }
    (part == Part::User ? user : part == Part::Password ? password : database) += c;
  }

  const bool full = !password.empty() || !database.empty() || !role.empty() || data.Username == "/";
  if (!full) return result;
  result.Username = user;
  // Only what the connect string names replaces a field: "scott AS SYSDBA"
  // keeps the password typed in its own field.
  if (sawSlash) result.Password = password;
  if (sawAt) result.Database = database;
  result.ConnectAs = role == "SYSDBA"   ? TConnectAs::SYSDBA
                     : role == "SYSOPER" ? TConnectAs::SYSOPER
                                         : TConnectAs::Normal;
  return result;
}

std::string Oracle7ConnectString(const TLogonData& data) {
  std::string text = data.Username;
  if (!data.Password.empty()) text += "/" + data.Password;
  if (!data.Database.empty()) text += "@" + data.Database;
  if (data.ConnectAs == TConnectAs::SYSDBA) text += " as SYSDBA";
  if (data.ConnectAs == TConnectAs::SYSOPER) text += " as SYSOPER";
  return text;
}

bool NamesOracle7Server(const std::string& versionText) {
  const std::string upper = AnsiUpperCase(versionText);
  for (const char* mark : {"ORACLE8", "ORACLE9", "RELEASE 1"})
    if (upper.find(mark) != std::string::npos) return false;
  return upper.find("ORACLE7") != std::string::npos || upper.find("RELEASE 7.") != std::string::npos;
}

std::function<int(int)>& TOracleSession::CursorHook() {
  static std::function<int(int)> hook;
  return hook;
}

bool& TimestampAsStringDefault() {
  static bool timestampAsString = false;
  return timestampAsString;
}

TOracleSession::TOracleSession() { Preferences.TimestampAsString = TimestampAsStringDefault(); }

TOracleSession::~TOracleSession() {
  // Errors at this point have nobody to go to.
  (void)Disconnect();
}

const TOciEntryPoints& TOracleSession::Oci() const { return ClientEntryPoints(); }

const TOci7EntryPoints& TOracleSession::Oci7() const { return ClientEntryPoints7(); }

void TOracleSession::RaiseError7(int code) const {
  std::string text;
  if (const auto oerhms = Oci7().oerhms) {
    std::string buffer(kErrorBufferSize, '\0');
    oerhms(const_cast<Lda_Def*>(&lda_), static_cast<sb2>(code), reinterpret_cast<OraText*>(buffer.data()),
           kErrorBufferSize);
    buffer.resize(std::min(buffer.find('\0'), buffer.size()));
    while (!buffer.empty() && (buffer.back() == '\n' || buffer.back() == '\r')) buffer.pop_back();
    text = std::move(buffer);
  }
  if (text.empty()) text = "Oracle 7 call failed: return code " + std::to_string(code);
  throw EOracleError(text, code, this);
}

bool TOracleSession::Has81() const { return ClientGroupAvailable(TOciGroup::Oci81); }

bool TOracleSession::Has90() const { return ClientGroupAvailable(TOciGroup::Oci90); }

bool TOracleSession::StatementCacheInForce() const { return statementCacheInForce_; }

void TOracleSession::ReadError(OCIError* errhp, int& code, std::string& text) const {
  ReadRecord(Oci(), errhp, OCI_HTYPE_ERROR, code, text);
}

void TOracleSession::RaiseError(OCIError* errhp, sword status) const {
  int code = 0;
  std::string text;
  if (status != OCI_INVALID_HANDLE) ReadError(errhp, code, text);
  if (text.empty()) text = "OCI call failed: " + StatusName(status);
  throw EOracleError(text, code, this);
}

void TOracleSession::RaiseEnvError(sword status, const char* call) const {
  int code = 0;
  std::string text;
  if (status != OCI_INVALID_HANDLE) ReadRecord(Oci(), env_, OCI_HTYPE_ENV, code, text);
  if (text.empty()) text = std::string(call) + " failed: " + StatusName(status);
  throw EOracleError(text, code, this);
}

void TOracleSession::AddDependant(TOracleDependant* d) {
  if (d && std::find(dependants_.begin(), dependants_.end(), d) == dependants_.end()) {
    dependants_.push_back(d);
  }
}

void TOracleSession::RemoveDependant(TOracleDependant* d) {
  dependants_.erase(std::remove(dependants_.begin(), dependants_.end(), d), dependants_.end());
}

void TOracleSession::LogOn() {
  if (BeforeLogOn) BeforeLogOn(*this);
  std::optional<TOracleCriticalSectionGuard> lock;
  if (ThreadSafe) lock.emplace(ClientCriticalSection());
  struct TDirectoryRestore {
    ~TDirectoryRestore() { RestoreClientDirectory(); }
  } restore;

  {
    TCursorScope cursor(Cursor);
    InitializeClient();
  }
  LogOff();
  oci8InUse_ = !Preferences.UseOCI7 && ClientUseOCI8();
  if (!oci8InUse_ && !ClientGroupAvailable(TOciGroup::Oracle7Core)) {
    throw std::runtime_error(kOracle7NotSupported);
  }

  const TLogonData split = SplitLogon({LogonUsername, LogonPassword, LogonDatabase, ConnectAs});
  LogonUsername = split.Username;
  LogonPassword = split.Password;
  LogonDatabase = split.Database;
  ConnectAs = split.ConnectAs;
  hda_.fill(0);
  lda_ = Lda_Def{};

  try {
    if (oci8InUse_) {
      Connect();
      if (NamesOracle7Server(serverVersion_)) SwitchToOracle7();
    } else {
      // Built from the parts, so that a password typed in its own field
      // reaches the server also when the user name carries a role.
      std::string connectString = Oracle7ConnectString(split);
      try {
        Connect7(connectString);
      } catch (...) {
        std::fill(connectString.begin(), connectString.end(), '\0');
        throw;
      }
      std::fill(connectString.begin(), connectString.end(), '\0');
    }
  } catch (...) {
    // A refused logon keeps nothing attached.
    (void)Disconnect();
    throw;
  }
  connected_ = true;

  lock.reset();
  if (AfterLogOn) AfterLogOn(*this);
  if (OnChange) OnChange(*this);
}

void TOracleSession::Connect() {
  const TOciEntryPoints& oci = Oci();
  if (!env_) {
    sword status;
    if (Has81()) {
      const ub4 mode = ThreadSafe ? (OCI_THREADED | OCI_OBJECT) : OCI_OBJECT;
      status = oci.OCIEnvCreate(&env_, mode, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
    } else {
      const ub4 mode = ThreadSafe ? OCI_DEFAULT : OCI_ENV_NO_MUTEX;
      status = oci.OCIEnvInit(&env_, mode, 0, nullptr);
    }
    if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) {
      RaiseEnvError(status, Has81() ? "OCIEnvCreate" : "OCIEnvInit");
    }
  }
  auto alloc = [&](void** handle, ub4 type) {
    if (*handle) return;
    const sword status = oci.OCIHandleAlloc(env_, handle, type, 0, nullptr);
    if (status != OCI_SUCCESS) RaiseEnvError(status, "OCIHandleAlloc");
  };
  alloc(reinterpret_cast<void**>(&svc_), OCI_HTYPE_SVCCTX);
  alloc(reinterpret_cast<void**>(&srv_), OCI_HTYPE_SERVER);
  alloc(reinterpret_cast<void**>(&err_), OCI_HTYPE_ERROR);
  alloc(reinterpret_cast<void**>(&err2_), OCI_HTYPE_ERROR);
  alloc(reinterpret_cast<void**>(&usr_), OCI_HTYPE_SESSION);

  if (serverAttached_) {
    serverAttached_ = false;
    oci.OCIServerDetach(srv_, err2_, OCI_DEFAULT);
  }
  sword status = oci.OCIServerAttach(srv_, err_, reinterpret_cast<const OraText*>(LogonDatabase.data()),
                                     static_cast<sb4>(LogonDatabase.size()), OCI_DEFAULT);
  if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) RaiseError(err_, status);
  serverAttached_ = true;

  status = oci.OCIAttrSet(svc_, OCI_HTYPE_SVCCTX, srv_, 0, OCI_ATTR_SERVER, err_);
  if (status != OCI_SUCCESS) RaiseError(err_, status);
  status = oci.OCIAttrSet(svc_, OCI_HTYPE_SVCCTX, usr_, 0, OCI_ATTR_SESSION, err_);
  if (status != OCI_SUCCESS) RaiseError(err_, status);

  ub4 credentials = OCI_CRED_EXT;
  if (!LogonUsername.empty() || !LogonPassword.empty()) {
    credentials = OCI_CRED_RDBMS;
    status = oci.OCIAttrSet(usr_, OCI_HTYPE_SESSION, LogonUsername.data(),
                            static_cast<ub4>(LogonUsername.size()), OCI_ATTR_USERNAME, err_);
    if (status != OCI_SUCCESS) RaiseError(err_, status);
    status = oci.OCIAttrSet(usr_, OCI_HTYPE_SESSION, LogonPassword.data(),
                            static_cast<ub4>(LogonPassword.size()), OCI_ATTR_PASSWORD, err_);
    if (status != OCI_SUCCESS) RaiseError(err_, status);
  }
  ub4 mode = ConnectAs == TConnectAs::SYSDBA    ? OCI_SYSDBA
             : ConnectAs == TConnectAs::SYSOPER ? OCI_SYSOPER
                                                : OCI_DEFAULT;
  statementCacheInForce_ = StatementCache && ClientGroupAvailable(TOciGroup::Oci92);
  if (statementCacheInForce_) mode |= OCI_STMT_CACHE;

  status = oci.OCISessionBegin(svc_, err_, usr_, credentials, mode);
  logonWarning_.clear();
  if (status != OCI_SUCCESS) {
    int code = 0;
    std::string text;
    ReadError(err_, code, text);
    if (status == OCI_SUCCESS_WITH_INFO && IsLogonWarning(code)) {
      logonWarning_ = EOracleError(text, code, this).Message();
    } else if (status != OCI_SUCCESS_WITH_INFO || code != 0) {
      RaiseError(err_, status);
    }
  }

  std::string version(kVersionBufferSize, '\0');
  status = oci.OCIServerVersion(srv_, err_, reinterpret_cast<OraText*>(version.data()),
                                kVersionBufferSize, OCI_HTYPE_SERVER);
  if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) RaiseError(err_, status);
  version.resize(std::min(version.find('\0'), version.size()));
  serverVersion_ = version;

  if (statementCacheInForce_) {
    ub4 size = static_cast<ub4>(StatementCacheSize);
    status = oci.OCIAttrSet(svc_, OCI_HTYPE_SVCCTX, &size, 0, OCI_ATTR_STMTCACHESIZE, err_);
    if (status != OCI_SUCCESS) RaiseError(err_, status);
  }
}

void TOracleSession::SwitchToOracle7() {
  if (!ClientGroupAvailable(TOciGroup::Oracle7Core)) {
    throw std::runtime_error(kOracle7ServerNeedsCalls + serverVersion_);
  }
  const sword status = Oci().OCISvcCtxToLda(svc_, err_, &lda_);
  if (status != OCI_SUCCESS) RaiseError(err_, status);
  converted_ = true;
  oci8InUse_ = false;
}

void TOracleSession::Connect7(const std::string& connectString) {
  const TOci7EntryPoints& oci7 = Oci7();
  auto* text = reinterpret_cast<OraText*>(const_cast<char*>(connectString.c_str()));
  const sword result = ClientGroupAvailable(TOciGroup::Olog)
                           ? oci7.olog(&lda_, hda_.data(), text, -1, nullptr, -1, nullptr, -1, OCI_LM_DEF)
                           : oci7.orlon(&lda_, hda_.data(), text, -1, nullptr, -1, 0);
  const int code = lda_.rc != 0 ? lda_.rc : result;
  logonWarning_.clear();
  if (code == 0) {
    loggedOn7_ = true;
    return;
  }
  if (IsLogonWarning(code)) {
    loggedOn7_ = true;
    try {
      RaiseError7(code);
    } catch (const EOracleError& warning) {
      logonWarning_ = warning.Message();
    }
    return;
  }
  RaiseError7(code);
}

void TOracleSession::LogOff() {
  std::optional<TOracleCriticalSectionGuard> lock;
  if (ThreadSafe) lock.emplace(ClientCriticalSection());
  const bool wasConnected = connected_;
  std::exception_ptr error = Disconnect();
  lock.reset();
  if (wasConnected && OnChange) OnChange(*this);
  if (error) std::rethrow_exception(error);
}

std::exception_ptr TOracleSession::Disconnect() {
  std::exception_ptr first;
  auto keep = [&first](sword status, auto raise) {
    if (status == OCI_SUCCESS || status == OCI_SUCCESS_WITH_INFO || first) return;
    try {
      raise(status);
    } catch (...) {
      first = std::current_exception();
    }
  };
  if (!ClientLoaded()) {
    // Nothing can have been allocated without a library.
    connected_ = false;
    return first;
  }
  const TOciEntryPoints& oci = Oci();
  const bool wasConnected = connected_;
  if (connected_) {
    if (RollbackOnDisconnect) {
      if (oci8InUse_) {
        oci.OCITransRollback(svc_, err_, OCI_DEFAULT);
      } else if (Oci7().orol) {
        Oci7().orol(&lda_);
      }
    }
    for (TOracleDependant* d : std::vector<TOracleDependant*>(dependants_)) d->CloseOnLogOff();
    connected_ = false;
  }
  // A login area made from the service context goes back to it first; the
  // session behind it is then an OCI 8 session and ends as one.
  if (converted_) {
    converted_ = false;
    OCISvcCtx* svc = svc_;
    keep(oci.OCILdaToSvcCtx(&svc, err_, &lda_), [this](sword s) { RaiseError(err_, s); });
    if (svc) svc_ = svc;
    oci8InUse_ = true;
  }
  if (loggedOn7_) {
    loggedOn7_ = false;
    if (Oci7().ologof(&lda_) != 0 && lda_.rc != 0 && !first) {
      try {
        RaiseError7(lda_.rc);
      } catch (...) {
        first = std::current_exception();
      }
    }
  } else if (wasConnected) {
    keep(oci.OCISessionEnd(svc_, err_, usr_, OCI_DEFAULT), [this](sword s) { RaiseError(err_, s); });
  }
  if (serverAttached_) {
    serverAttached_ = false;
    keep(oci.OCIServerDetach(srv_, err_, OCI_DEFAULT), [this](sword s) { RaiseError(err_, s); });
  }
  FreeHandles();
  statementCacheInForce_ = false;
  return first;
}

void TOracleSession::FreeHandles() noexcept {
  const TOciEntryPoints& oci = Oci();
  auto release = [&oci](auto*& handle, ub4 type) {
    if (handle && oci.OCIHandleFree) oci.OCIHandleFree(handle, type);
    handle = nullptr;
  };
  release(srv_, OCI_HTYPE_SERVER);
  release(svc_, OCI_HTYPE_SVCCTX);
  release(err_, OCI_HTYPE_ERROR);
  release(err2_, OCI_HTYPE_ERROR);
  release(usr_, OCI_HTYPE_SESSION);
  release(env_, OCI_HTYPE_ENV);
}

}  // namespace skelvane::oracle
