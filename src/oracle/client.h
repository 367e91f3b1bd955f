// The process-wide client state: which Oracle client library is used, its
// entry points and which interface groups it offers. Loaded once, at the
// first logon, and kept for the life of the process.
#ifndef SKELVANE_ORACLE_CLIENT_H
#define SKELVANE_ORACLE_CLIENT_H

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>

#include "common/platform_registry.h"
#include "oracle/client_rules.h"
#include "oracle/oci_entry_points.h"
#include "oracle/oci_groups.h"

namespace skelvane::oracle {

// A counting lock. Enter takes the lock (re-entrant on one thread) and
// counts; Leave does nothing when the count is 0, else counts down and
// releases.
class TOracleCriticalSection {
 public:
  void Enter();
  void Leave();
  int Count() const;

 private:
  std::recursive_mutex mutex_;
  std::atomic<int> count_{0};
};

// Enter on construction, Leave on destruction.
class TOracleCriticalSectionGuard {
 public:
  explicit TOracleCriticalSectionGuard(TOracleCriticalSection& section) : section_(section) {
    section_.Enter();
  }
  ~TOracleCriticalSectionGuard() { section_.Leave(); }
  TOracleCriticalSectionGuard(const TOracleCriticalSectionGuard&) = delete;
  TOracleCriticalSectionGuard& operator=(const TOracleCriticalSectionGuard&) = delete;

 private:
  TOracleCriticalSection& section_;
};

// The one lock around the process-wide client state.
TOracleCriticalSection& ClientCriticalSection();

// No client library could be found, loaded or used. Not an EOracleError:
// the message is "Initialization error\r\n" + reason + "\r\n\r\n" + the
// trace lines joined by "\r\n", then "\r\n\r\n" + `hint` when one is given.
class EInitializationError : public std::runtime_error {
 public:
  EInitializationError(const std::string& reason, const std::string& trace,
                       const std::string& hint = {});
  const std::string& Reason() const { return reason_; }

 private:
  std::string reason_;
};

// Finds, loads and checks the client library; nothing happens when it is
// already loaded. Throws EInitializationError.
void InitializeClient();

bool ClientLoaded();
// The lines written while choosing and loading the library, joined by "\r\n".
std::string ClientTrace();
const TOciEntryPoints& ClientEntryPoints();
const TOci7EntryPoints& ClientEntryPoints7();
bool ClientGroupAvailable(TOciGroup group);
// OCI 8 core available and Oracle 7 not forced.
bool ClientUseOCI8();
std::string ClientLibraryPath();
std::string OracleHomeKey();
std::string OracleHomeDir();

// Forces the library path (as the OCIDLL parameter does) or the home name
// (as ORACLEHOME does); empty texts undo. Forced choices survive a failed load.
void SetForcedClientLibrary(const std::string& path);
void SetForcedOracleHome(const std::string& name);
// Makes the process speak the Oracle 7 interface even when OCI 8 is there.
void SetForceOracle7(bool force);

// Puts the current directory back when a load attempt changed it to the
// library's folder and it is still there.
void RestoreClientDirectory();

// For tests: the rules and registry the search uses (by default the
// platform's own), and a full reset that unloads the library.
void SetClientRules(const TClientRules& rules);
void SetClientRegistry(const platform::TRegistryReader* registry);
void ResetClientForTests();

}  // namespace skelvane::oracle

#endif
