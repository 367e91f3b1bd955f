// Prints the cost of one round trip (execute + fetch of one row) of two
// one-row dictionary queries, first on a small database, then after another
// user has created 10,000 tables in it. Usage: oraemu_bench [liboraemu.so]
// (default: ../lib/liboraemu.so beside this program).
#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "oracle/oci.h"

namespace {

using Clock = std::chrono::steady_clock;

class Oci {
 public:
  explicit Oci(const std::string& path) : handle_(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
    if (handle_ == nullptr) throw std::runtime_error(std::string("cannot load ") + path + ": " + dlerror());
  }
  ~Oci() { dlclose(handle_); }
  template <class F>
  F* Get(const char* name) const {
    void* symbol = dlsym(handle_, name);
    if (symbol == nullptr) throw std::runtime_error(std::string("missing ") + name);
    return reinterpret_cast<F*>(symbol);
  }

 private:
  void* handle_;
};

#define CALL(oci, name) (oci).Get<decltype(::name)>(#name)

class Session {
 public:
  Session(const Oci& oci, const std::string& user, const std::string& password) : oci_(oci) {
    CALL(oci_, OCIEnvCreate)(&env_, OCI_OBJECT, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
    CALL(oci_, OCIHandleAlloc)(env_, reinterpret_cast<void**>(&err_), OCI_HTYPE_ERROR, 0, nullptr);
    const std::string db = "BENCH";
    Check(CALL(oci_, OCILogon)(env_, err_, &svc_, reinterpret_cast<const OraText*>(user.data()),
                               static_cast<ub4>(user.size()), reinterpret_cast<const OraText*>(password.data()),
                               static_cast<ub4>(password.size()), reinterpret_cast<const OraText*>(db.data()),
                               static_cast<ub4>(db.size())),
          "logon");
  }
  ~Session() {
    CALL(oci_, OCILogoff)(svc_, err_);
    CALL(oci_, OCIHandleFree)(env_, OCI_HTYPE_ENV);
  }
  void Check(sword status, const std::string& what) const {
    if (status == OCI_SUCCESS || status == OCI_SUCCESS_WITH_INFO) return;
    char text[1024] = "";
    sb4 code = 0;
    CALL(oci_, OCIErrorGet)(err_, 1, nullptr, &code, reinterpret_cast<OraText*>(text), sizeof text, OCI_HTYPE_ERROR);
    throw std::runtime_error(what + ": " + text);
  }
  void Run(const std::string& sql) {
    OCIStmt* stmt = Prepare(sql);
    Check(CALL(oci_, OCIStmtExecute)(svc_, stmt, err_, 1, 0, nullptr, nullptr, OCI_DEFAULT), sql);
    CALL(oci_, OCIHandleFree)(stmt, OCI_HTYPE_STMT);
  }
  OCIStmt* Prepare(const std::string& sql) {
    OCIStmt* stmt = nullptr;
    CALL(oci_, OCIHandleAlloc)(env_, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
    Check(CALL(oci_, OCIStmtPrepare)(stmt, err_, reinterpret_cast<const OraText*>(sql.data()),
                                     static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
          sql);
    return stmt;
  }

  // Microseconds per round trip: the median of `rounds` rounds of `count`
  // executions, each executing with one iteration (execute + first row).
  double TimeQuery(const std::string& sql, const char* bindName, const std::string& bindValue, int count,
                   int rounds) {
    OCIStmt* stmt = Prepare(sql);
    std::vector<char> value(bindValue.begin(), bindValue.end());
    value.push_back('\0');
    if (bindName != nullptr) {
      OCIBind* bind = nullptr;
      Check(CALL(oci_, OCIBindByName)(stmt, &bind, err_, reinterpret_cast<const OraText*>(bindName), -1, value.data(),
                                      static_cast<sb4>(value.size()), SQLT_STR, nullptr, nullptr, nullptr, 0, nullptr,
                                      OCI_DEFAULT),
            "bind");
    }
    Check(CALL(oci_, OCIStmtExecute)(svc_, stmt, err_, 0, 0, nullptr, nullptr, OCI_DESCRIBE_ONLY), "describe");
    ub4 columns = 0;
    CALL(oci_, OCIAttrGet)(stmt, OCI_HTYPE_STMT, &columns, nullptr, OCI_ATTR_PARAM_COUNT, err_);
    std::vector<std::vector<char>> buffers(columns, std::vector<char>(256));
    std::vector<sb2> indicators(columns);
    for (ub4 i = 0; i < columns; ++i) {
      OCIDefine* define = nullptr;
      Check(CALL(oci_, OCIDefineByPos)(stmt, &define, err_, i + 1, buffers[i].data(), 256, SQLT_STR, &indicators[i],
                                       nullptr, nullptr, OCI_DEFAULT),
            "define");
    }
    auto execute = CALL(oci_, OCIStmtExecute);
    std::vector<double> results;
    for (int r = 0; r < rounds; ++r) {
      const auto start = Clock::now();
      for (int i = 0; i < count; ++i) Check(execute(svc_, stmt, err_, 1, 0, nullptr, nullptr, OCI_DEFAULT), sql);
      const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
      results.push_back(spent.count() / count);
    }
    CALL(oci_, OCIHandleFree)(stmt, OCI_HTYPE_STMT);
    std::sort(results.begin(), results.end());
    return results[results.size() / 2];
  }

 private:
  const Oci& oci_;
  OCIEnv* env_ = nullptr;
  OCIError* err_ = nullptr;
  OCISvcCtx* svc_ = nullptr;
};

struct Figures {
  double sequence;
  double user;
};

Figures Measure(const Oci& oci) {
  Session session(oci, "BENCH", "bench");
  Figures f{};
  f.sequence = session.TimeQuery("select * from user_sequences where sequence_name = :NAME", ":NAME", "S1", 2000, 5);
  f.user = session.TimeQuery("select user from dual", nullptr, "", 2000, 5);
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    std::string library = argc > 1 ? argv[1]
                                   : (std::filesystem::canonical("/proc/self/exe").parent_path().parent_path() /
                                      "lib" / "liboraemu.so")
                                         .string();
    std::string dir = (std::filesystem::temp_directory_path() / "oraemu-bench-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    setenv("ORAEMU_DATA", dir.c_str(), 1);
    unsetenv("ORAEMU_TRACE");
    unsetenv("ORAEMU_LATENCY_US");
    unsetenv("ORAEMU_FAIL_AFTER");
    oraemu::Database::Create("BENCH", "manager");
    Oci oci(library);
    {
      Session admin(oci, "SYSTEM", "manager");
      admin.Run("CREATE USER BENCH IDENTIFIED BY bench");
      admin.Run("CREATE USER OTHER IDENTIFIED BY other");
      admin.Run("GRANT CONNECT, RESOURCE, CREATE VIEW, CREATE SYNONYM TO BENCH, OTHER");
      for (const char* table : {"OBJ$", "SYN$", "USER$"}) admin.Run(std::string("GRANT SELECT ON SYS.") + table + " TO BENCH");
    }
    {
      Session bench(oci, "BENCH", "bench");
      bench.Run("CREATE SEQUENCE S1");
      bench.Run("CREATE TABLE B1 (A NUMBER)");
    }
    const Figures small = Measure(oci);
    std::printf("small database:       user_sequences by :NAME %7.2f us/round trip, select user from dual %7.2f us\n",
                small.sequence, small.user);

    const int kTables = 10000;
    const auto start = Clock::now();
    {
      Session other(oci, "OTHER", "other");
      for (int i = 0; i < kTables; ++i) {
        other.Run("CREATE TABLE T" + std::to_string(i) + " (ID NUMBER(10) NOT NULL, NAME VARCHAR2(30))");
        if ((i + 1) % 1000 == 0) std::fprintf(stderr, "  %d tables...\n", i + 1);
      }
    }
    const std::chrono::duration<double> built = Clock::now() - start;
    std::printf("created %d tables of another user in %.1f s\n", kTables, built.count());

    const Figures large = Measure(oci);
    std::printf("with %d other tables: user_sequences by :NAME %7.2f us/round trip, select user from dual %7.2f us\n",
                kTables, large.sequence, large.user);
    std::printf("slowdown: user_sequences %.2fx, dual %.2fx (limit 2x); target < 50 us per round trip\n",
                large.sequence / small.sequence, large.user / small.user);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "oraemu_bench: %s\n", error.what());
    return 1;
  }
}
