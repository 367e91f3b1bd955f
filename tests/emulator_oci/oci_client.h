// Test support: liboraemu loaded by path as a client program loads it, a
// temporary database folder, and a small OCI client over the loaded calls.
#ifndef SKELVANE_TESTS_EMULATOR_OCI_OCI_CLIENT_H
#define SKELVANE_TESTS_EMULATOR_OCI_OCI_CLIENT_H

#include <map>
#include <string>
#include <vector>

#include "oracle/oci.h"
#include "support/temp_folder.h"

namespace oci_test {

// The loaded library (once per test process).
void* Symbol(const char* name);

template <class F>
F* Fn(const char* name) {
  return reinterpret_cast<F*>(Symbol(name));
}

// An entry point of the loaded library with its real prototype.
#define OCI(name) (::oci_test::Fn<decltype(::name)>(#name))

// A fresh folder that ORAEMU_DATA points at while the object lives.
class TempDataDir {
 public:
  TempDataDir();
  ~TempDataDir();
  TempDataDir(const TempDataDir&) = delete;
  TempDataDir& operator=(const TempDataDir&) = delete;
  const std::string& Path() const { return folder_.Path(); }

 private:
  ::skelvane::testing::TTempFolder folder_;
};

// Creates database `id` (user SYSTEM with `systemPassword`) in ORAEMU_DATA.
void CreateDatabase(const std::string& id, const std::string& systemPassword);

// The first error record of an error handle.
struct ErrorInfo {
  int code = 0;
  std::string text;  // as OCIErrorGet returns it, trailing line end included
};
ErrorInfo ReadError(OCIError* err);

// One environment with an error handle and at most one session.
class Client {
 public:
  Client();
  ~Client();
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  sword Logon(const std::string& db, const std::string& user, const std::string& password,
              ub4 credentials = OCI_CRED_RDBMS, ub4 mode = OCI_DEFAULT);
  sword Logoff();
  // Prepares and runs a statement that is no query (one iteration).
  sword Run(const std::string& sql);
  // Runs a statement that must succeed; throws std::runtime_error otherwise.
  void MustRun(const std::string& sql);
  ErrorInfo Error() const { return ReadError(err); }

  // A query's rows as texts ("<NULL>" for NULL), every column defined as
  // SQLT_STR; string binds by name. Throws std::runtime_error on an error.
  std::vector<std::vector<std::string>> Rows(const std::string& sql,
                                             const std::map<std::string, std::string>& binds = {});

  OCIStmt* NewStmt();

  OCIEnv* env = nullptr;
  OCIError* err = nullptr;
  OCIServer* srv = nullptr;
  OCISvcCtx* svc = nullptr;
  OCISession* ses = nullptr;
};

}  // namespace oci_test

#endif
