// TOracleSession: one connection to an Oracle database over the run-time
// loaded client library.
#ifndef SKELVANE_ORACLE_SESSION_H
#define SKELVANE_ORACLE_SESSION_H

#include <string>
#include <vector>

#include "oracle/oci.h"
#include "oracle/oci_entry_points.h"
#include "oracle/oracle_error.h"

namespace skelvane::oracle {

struct TSessionPreferences {
  bool UseOCI7 = false;
  bool ConvertCRLF = true;
  bool TrimStringFields = true;
  int FloatPrecision = 0;
  int IntegerPrecision = 0;
  int SmallIntPrecision = -1;
  int MaxStringFieldSize = 0;
  bool ZeroDateIsNull = true;
  bool TimestampAsString = false;
};

enum class TConnectAs { Normal, SYSDBA, SYSOPER };

// Queries and data sets bound to a session; closed at LogOff.
class TOracleDependant {
 public:
  virtual ~TOracleDependant() = default;
  virtual void CloseOnLogOff() noexcept = 0;
};

class TOracleSession {
 public:
  TOracleSession();
  ~TOracleSession();
  TOracleSession(const TOracleSession&) = delete;
  TOracleSession& operator=(const TOracleSession&) = delete;

  std::string LogonUsername;
  std::string LogonPassword;
  std::string LogonDatabase;
  TConnectAs ConnectAs = TConnectAs::Normal;
  TSessionPreferences Preferences;
  bool ThreadSafe = false;
  bool StatementCache = false;
  int StatementCacheSize = 20;
  bool RollbackOnDisconnect = false;

  void LogOn();
  void LogOff();
  bool Connected() const { return connected_; }
  const std::string& LogonWarning() const { return logonWarning_; }

  // What the query layer needs. Valid while connected.
  const OciEntryPoints& Oci() const;
  OCIEnv* EnvHandle() const { return env_; }
  OCISvcCtx* SvcCtxHandle() const { return svc_; }
  OCIError* ErrorHandle() const { return err_; }
  // Whether the loaded client has the 8.1 and 9.0 groups (OCIStmtFetch2).
  bool Has81() const;
  bool Has90() const;
  bool StatementCacheInForce() const;

  // Raises EOracleError with record 1 of `errhp` (the first 1023 characters
  // of the client's text and its number). Status OCI_INVALID_HANDLE and the
  // like, which carry no record, raise with a text that names the status.
  [[noreturn]] void RaiseError(OCIError* errhp, sword status) const;
  // Reads record 1 of an error handle: number and text (trailing line end removed).
  void ReadError(OCIError* errhp, int& code, std::string& text) const;

  void AddDependant(TOracleDependant* d);
  void RemoveDependant(TOracleDependant* d);

 private:
  bool connected_ = false;
  std::string logonWarning_;
  OCIEnv* env_ = nullptr;
  OCISvcCtx* svc_ = nullptr;
  OCIServer* srv_ = nullptr;
  OCIError* err_ = nullptr;
  OCIError* err2_ = nullptr;
  OCISession* usr_ = nullptr;
  bool serverAttached_ = false;
  std::vector<TOracleDependant*> dependants_;
};

}  // namespace skelvane::oracle

#endif
