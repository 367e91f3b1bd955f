// TOracleSession: one connection to an Oracle database over the run-time
// loaded client library.
#ifndef SKELVANE_ORACLE_SESSION_H
#define SKELVANE_ORACLE_SESSION_H

#include <array>
#include <exception>
#include <functional>
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

// The process-wide default of TSessionPreferences::TimestampAsString for
// sessions created afterwards.
bool& TimestampAsStringDefault();

enum class TConnectAs { Normal, SYSDBA, SYSOPER };

// The logon data after splitting a connect string typed as the user name:
// user/password@database, optionally followed by " AS SYSDBA" or " AS SYSOPER".
struct TLogonData {
  std::string Username;
  std::string Password;
  std::string Database;
  TConnectAs ConnectAs = TConnectAs::Normal;
};

// Splits `data.Username` when it is a connect string and returns the
// resulting logon data. A part the connect string does not name (no "/",
// no "@") keeps the value of its own field; a lone "/" asks for external
// credentials. Slashes and at signs inside double quotes belong to the name.
TLogonData SplitLogon(const TLogonData& data);

// The connect string the Oracle 7 logon takes: user, "/" password,
// "@" database and " as SYSDBA" or " as SYSOPER", each part when it is set.
std::string Oracle7ConnectString(const TLogonData& data);

// Whether a server's version text names an Oracle 7 server: it has none of
// the marks "ORACLE8", "ORACLE9" and "RELEASE 1" of later servers (in any
// case) and names "ORACLE7" or "RELEASE 7.". Banners of 21c and 23ai lack
// the marks too, and stay on OCI 8.
bool NamesOracle7Server(const std::string& versionText);

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
  // Mouse cursor shown while the client library is loaded (hourglass).
  int Cursor = -11;

  // Events; none is set by this system.
  std::function<void(TOracleSession&)> BeforeLogOn;
  std::function<void(TOracleSession&)> AfterLogOn;
  std::function<void(TOracleSession&)> OnChange;

  // Sets the mouse cursor and returns the previous one; the front ends set it.
  static std::function<int(int)>& CursorHook();

  // Loads the client library on first use (EInitializationError when it
  // cannot), logs off a connected session, splits a connect string typed as
  // the user name and connects: over OCI 8 when the library offers it and
  // Preferences.UseOCI7 is off, else with the Oracle 7 calls (olog, else
  // orlon). An OCI 8 connection to a server that names itself Oracle 7
  // switches to the Oracle 7 calls through OCISvcCtxToLda; a library
  // without them is refused with a plain exception that says so. Database
  // errors raise EOracleError; ORA-28002 and ORA-28011 connect and fill
  // LogonWarning.
  void LogOn();
  // Closes the dependants, ends the session, detaches and frees the handles.
  // Every step runs even when an earlier one fails; the first error is raised.
  void LogOff();
  bool Connected() const { return connected_; }
  const std::string& LogonWarning() const { return logonWarning_; }
  // The server's version text, read at logon.
  const std::string& ServerVersion() const { return serverVersion_; }

  // What the query layer needs. Valid while connected.
  const TOciEntryPoints& Oci() const;
  OCIEnv* EnvHandle() const { return env_; }
  OCISvcCtx* SvcCtxHandle() const { return svc_; }
  OCIError* ErrorHandle() const { return err_; }
  // Whether the loaded client has the 8.1 and 9.0 groups (OCIStmtFetch2).
  bool Has81() const;
  bool Has90() const;
  bool StatementCacheInForce() const;

  // The Oracle 7 side: whether this connection speaks OCI 8, whether its
  // login data area was made from the OCI 8 service context, the area the
  // cursors open on and the calls.
  bool UsesOCI8() const { return oci8InUse_; }
  bool LoginAreaConverted() const { return converted_; }
  Lda_Def* LoginArea() { return &lda_; }
  const TOci7EntryPoints& Oci7() const;
  // Raises EOracleError with `code` and its text from oerhms.
  [[noreturn]] void RaiseError7(int code) const;

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
  bool statementCacheInForce_ = false;
  std::string serverVersion_;
  std::vector<TOracleDependant*> dependants_;
  bool oci8InUse_ = true;
  bool converted_ = false;
  bool loggedOn7_ = false;  // olog or orlon succeeded and ologof is due
  Lda_Def lda_{};
  std::array<ub1, HDA_SIZE> hda_{};

  void Connect();
  void Connect7(const std::string& connectString);
  void SwitchToOracle7();
  // Ends the session, detaches and frees every handle. Returns the first
  // error met; the work goes on regardless.
  std::exception_ptr Disconnect();
  void FreeHandles() noexcept;
  [[noreturn]] void RaiseEnvError(sword status, const char* call) const;
};

}  // namespace skelvane::oracle

#endif
