#include "oci_client.h"

#include <dlfcn.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "engine/engine.h"

namespace oci_test {

namespace {

class LoadedLibrary {
 public:
  LoadedLibrary() {
    const char* build = std::getenv("SKELVANE_BINARY_DIR");
    const std::string path = std::string(build != nullptr ? build : ".") + "/lib/liboraemu.so";
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) throw std::runtime_error(std::string("cannot load ") + path + ": " + dlerror());
  }
  ~LoadedLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  void* Find(const char* name) const { return dlsym(handle_, name); }

 private:
  void* handle_ = nullptr;
};

}  // namespace

void* Symbol(const char* name) {
  static LoadedLibrary library;
  void* symbol = library.Find(name);
  if (symbol == nullptr) throw std::runtime_error(std::string("missing entry point ") + name);
  return symbol;
}

TempDataDir::TempDataDir() { setenv("ORAEMU_DATA", Path().c_str(), 1); }

TempDataDir::~TempDataDir() {
  unsetenv("ORAEMU_DATA");
}

void CreateDatabase(const std::string& id, const std::string& systemPassword) {
  oraemu::Database::Create(id, systemPassword);
}

ErrorInfo ReadError(OCIError* err) {
  ErrorInfo info;
  sb4 code = 0;
  OraText buffer[4001] = {0};
  if (OCI(OCIErrorGet)(err, 1, nullptr, &code, buffer, sizeof buffer, OCI_HTYPE_ERROR) == OCI_SUCCESS) {
    info.code = code;
    info.text = reinterpret_cast<const char*>(buffer);
  }
  return info;
}

Client::Client() {
  if (OCI(OCIEnvCreate)(&env, OCI_OBJECT, nullptr, nullptr, nullptr, nullptr, 0, nullptr) != OCI_SUCCESS) {
    throw std::runtime_error("OCIEnvCreate failed");
  }
  OCI(OCIHandleAlloc)(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr);
}

Client::~Client() {
  if (env != nullptr) OCI(OCIHandleFree)(env, OCI_HTYPE_ENV);
}

sword Client::Logon(const std::string& db, const std::string& user, const std::string& password,
                    ub4 credentials, ub4 mode) {
  OCI(OCIHandleAlloc)(env, reinterpret_cast<void**>(&srv), OCI_HTYPE_SERVER, 0, nullptr);
  OCI(OCIHandleAlloc)(env, reinterpret_cast<void**>(&svc), OCI_HTYPE_SVCCTX, 0, nullptr);
  OCI(OCIHandleAlloc)(env, reinterpret_cast<void**>(&ses), OCI_HTYPE_SESSION, 0, nullptr);
  sword status = OCI(OCIServerAttach)(srv, err, reinterpret_cast<const OraText*>(db.data()),
                                      static_cast<sb4>(db.size()), OCI_DEFAULT);
  if (status != OCI_SUCCESS) return status;
  OCI(OCIAttrSet)(svc, OCI_HTYPE_SVCCTX, srv, 0, OCI_ATTR_SERVER, err);
  OCI(OCIAttrSet)(svc, OCI_HTYPE_SVCCTX, ses, 0, OCI_ATTR_SESSION, err);
  if (credentials == OCI_CRED_RDBMS) {
    OCI(OCIAttrSet)(ses, OCI_HTYPE_SESSION, const_cast<char*>(user.data()), static_cast<ub4>(user.size()),
                    OCI_ATTR_USERNAME, err);
    OCI(OCIAttrSet)(ses, OCI_HTYPE_SESSION, const_cast<char*>(password.data()),
                    static_cast<ub4>(password.size()), OCI_ATTR_PASSWORD, err);
  }
  return OCI(OCISessionBegin)(svc, err, ses, credentials, mode);
}

sword Client::Logoff() {
  sword status = OCI(OCISessionEnd)(svc, err, ses, OCI_DEFAULT);
  OCI(OCIServerDetach)(srv, err, OCI_DEFAULT);
  return status;
}

OCIStmt* Client::NewStmt() {
  OCIStmt* stmt = nullptr;
  OCI(OCIHandleAlloc)(env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
  return stmt;
}

sword Client::Run(const std::string& sql) {
  OCIStmt* stmt = NewStmt();
  sword status = OCI(OCIStmtPrepare)(stmt, err, reinterpret_cast<const OraText*>(sql.data()),
                                     static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT);
  if (status == OCI_SUCCESS) status = OCI(OCIStmtExecute)(svc, stmt, err, 1, 0, nullptr, nullptr, OCI_DEFAULT);
  OCI(OCIHandleFree)(stmt, OCI_HTYPE_STMT);
  return status;
}

void Client::MustRun(const std::string& sql) {
  if (Run(sql) != OCI_SUCCESS) throw std::runtime_error(sql + " -> " + Error().text);
}

std::vector<std::vector<std::string>> Client::Rows(const std::string& sql,
                                                   const std::map<std::string, std::string>& binds) {
  OCIStmt* stmt = NewStmt();
  auto fail = [&](const std::string& step) {
    std::string text = step + ": " + Error().text;
    OCI(OCIHandleFree)(stmt, OCI_HTYPE_STMT);
    throw std::runtime_error(text);
  };
  if (OCI(OCIStmtPrepare)(stmt, err, reinterpret_cast<const OraText*>(sql.data()), static_cast<ub4>(sql.size()),
                          OCI_NTV_SYNTAX, OCI_DEFAULT) != OCI_SUCCESS) {
    fail("prepare");
  }
  std::vector<std::string> values;
  values.reserve(binds.size());
  for (const auto& [name, value] : binds) {
    values.push_back(value);
    OCIBind* bind = nullptr;
    if (OCI(OCIBindByName)(stmt, &bind, err, reinterpret_cast<const OraText*>(name.data()),
                           static_cast<sb4>(name.size()), values.back().data(),
                           static_cast<sb4>(values.back().size() + 1), SQLT_STR, nullptr, nullptr, nullptr, 0,
                           nullptr, OCI_DEFAULT) != OCI_SUCCESS) {
      fail("bind " + name);
    }
  }
  if (OCI(OCIStmtExecute)(svc, stmt, err, 0, 0, nullptr, nullptr, OCI_DEFAULT) != OCI_SUCCESS) fail("execute");
  ub4 count = 0;
  OCI(OCIAttrGet)(stmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, err);
  constexpr size_t kWidth = 8192;
  std::vector<std::vector<char>> buffers(count, std::vector<char>(kWidth));
  std::vector<sb2> indicators(count);
  for (ub4 i = 0; i < count; ++i) {
    OCIDefine* define = nullptr;
    if (OCI(OCIDefineByPos)(stmt, &define, err, i + 1, buffers[i].data(), kWidth, SQLT_STR, &indicators[i],
                            nullptr, nullptr, OCI_DEFAULT) != OCI_SUCCESS) {
      fail("define");
    }
  }
  std::vector<std::vector<std::string>> rows;
  for (;;) {
    sword status = OCI(OCIStmtFetch2)(stmt, err, 1, OCI_FETCH_NEXT, 0, OCI_DEFAULT);
    if (status == OCI_NO_DATA) break;
    if (status != OCI_SUCCESS) fail("fetch");
    std::vector<std::string> row;
    for (ub4 i = 0; i < count; ++i) row.push_back(indicators[i] == -1 ? "<NULL>" : buffers[i].data());
    rows.push_back(std::move(row));
  }
  OCI(OCIHandleFree)(stmt, OCI_HTYPE_STMT);
  return rows;
}

}  // namespace oci_test
