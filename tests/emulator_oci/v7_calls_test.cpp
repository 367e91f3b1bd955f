// The Oracle 7 calls of the emulator, loaded by path as a client program
// loads them: logon and its refusals, cursors described to the end of the
// select list, array fetch, LONG slices, parse error offsets, DDL run by the
// parse, the conversion between a service context and a login data area,
// and the library that exports the Oracle 7 calls alone.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "oci_client.h"
#include "oracle/oci7.h"
#include "support/emulator_tool.h"

namespace {

// One of the emulator libraries, loaded by path.
class TLibrary {
 public:
  explicit TLibrary(const std::string& path) : handle_(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
  ~TLibrary() {
    if (handle_) dlclose(handle_);
  }
  TLibrary(const TLibrary&) = delete;
  TLibrary& operator=(const TLibrary&) = delete;
  void* Symbol(const char* name) const { return handle_ ? dlsym(handle_, name) : nullptr; }
  bool Loaded() const { return handle_ != nullptr; }

 private:
  void* handle_;
};

const TLibrary& Full() {
  static TLibrary library(skelvane::testing::EmulatorLibrary());
  return library;
}

#define V7(lib, name) (reinterpret_cast<decltype(&::name)>((lib).Symbol(#name)))

OraText* Text(const std::string& s) { return reinterpret_cast<OraText*>(const_cast<char*>(s.c_str())); }

// The message oerhms gives for a return code, without its line end.
std::string Message(const TLibrary& lib, Lda_Def* lda, int code) {
  OraText buffer[512] = {0};
  V7(lib, oerhms)(lda, static_cast<sb2>(code), buffer, sizeof buffer);
  std::string text(reinterpret_cast<char*>(buffer));
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

class Oracle7Calls : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Full().Loaded());
    oci_test::CreateDatabase("XE", "manager");
    oci_test::Client admin;
    ASSERT_EQ(admin.Logon("XE", "system", "manager"), OCI_SUCCESS);
    admin.MustRun("CREATE USER scott IDENTIFIED BY tiger");
    admin.MustRun("GRANT CONNECT, RESOURCE, CREATE VIEW TO scott");
    admin.Logoff();
  }
  void TearDown() override {
    if (LoginAlive()) V7(Full(), ologof)(&lda_);
  }

  bool LoginAlive() const { return lda_.chk != 0; }
  int LogOn(const std::string& connect = "scott/tiger@XE") {
    V7(Full(), olog)(&lda_, hda_, Text(connect), -1, nullptr, -1, nullptr, -1, OCI_LM_DEF);
    return lda_.rc;
  }
  int Open(Cda_Def* cda) {
    V7(Full(), oopen)(cda, &lda_, nullptr, -1, -1, nullptr, -1);
    return cda->rc;
  }
  int Parse(Cda_Def* cda, const std::string& sql, bool deferred = false) {
    V7(Full(), oparse)(cda, Text(sql), -1, deferred ? 1 : 0, OCI7_V7_BEHAVIOUR);
    return cda->rc;
  }
  // The table names the dictionary lists, through a cursor of its own.
  std::vector<std::string> Tables() {
    Cda_Def cda{};
    std::vector<std::string> names;
    if (Open(&cda) != 0 || Parse(&cda, "select table_name from user_tables order by 1") != 0) return {"?"};
    char name[31];
    sb2 indicator = 0;
    ub2 length = 0;
    V7(Full(), odefin)(&cda, 1, reinterpret_cast<ub1*>(name), sizeof name, SQLT_STR, -1, &indicator, nullptr, -1,
                       -1, &length, nullptr);
    for (V7(Full(), oexfet)(&cda, 1, 0, 0); cda.rc == 0; V7(Full(), ofen)(&cda, 1)) names.push_back(name);
    V7(Full(), oclose)(&cda);
    return names;
  }

  oci_test::TempDataDir dir_;
  Lda_Def lda_{};
  ub1 hda_[HDA_SIZE] = {0};
};

TEST_F(Oracle7Calls, LogonRefusalsLeaveTheirNumberInTheAreaAndTheirTextInOerhms) {
  const struct {
    const char* connect;
    int code;
    const char* text;
  } cases[] = {
      {"scott/wrong@XE", 1017, "ORA-01017: invalid username/password; logon denied"},
      {"scott/tiger@NOSUCH", 12154, "ORA-12154: TNS:could not resolve the connect identifier specified"},
      {"nobody/x@XE", 1017, "ORA-01017: invalid username/password; logon denied"},
      {"scott/tiger@XE", 0, ""},
      {"SCOTT/tiger@XE as sysdba", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.connect);
    EXPECT_EQ(LogOn(c.connect), c.code);
    EXPECT_EQ(LoginAlive(), c.code == 0);
    if (c.code != 0) {
      EXPECT_EQ(Message(Full(), &lda_, c.code), c.text);
    }
    if (LoginAlive()) {
      EXPECT_EQ(V7(Full(), ologof)(&lda_), 0);
      EXPECT_FALSE(LoginAlive());
    }
  }
  // The user and password may also come as separate arguments (orlon); the
  // database is then the local one, as ORACLE_SID names it.
  setenv("ORACLE_SID", "XE", 1);
  V7(Full(), orlon)(&lda_, hda_, Text("scott"), -1, Text("tiger"), -1, 0);
  unsetenv("ORACLE_SID");
  EXPECT_EQ(lda_.rc, 0);
  EXPECT_TRUE(LoginAlive());
}

TEST_F(Oracle7Calls, DeadAreasAreRefusedNotFollowed) {
  Cda_Def cda{};
  EXPECT_EQ(Open(&cda), 1012) << "a login area that never logged on";
  EXPECT_EQ(Parse(&cda, "select 1 from dual"), 1001) << "a cursor that never opened";
  ASSERT_EQ(LogOn(), 0);
  ASSERT_EQ(Open(&cda), 0);
  EXPECT_EQ(V7(Full(), oclose)(&cda), 0);
  EXPECT_EQ(Parse(&cda, "select 1 from dual"), 1001) << "a closed cursor";
  ASSERT_EQ(Open(&cda), 0);
  V7(Full(), ologof)(&lda_);
  EXPECT_EQ(Parse(&cda, "select 1 from dual"), 1001) << "the logoff closed it";
  EXPECT_EQ(Open(&cda), 1012) << "a login area after its logoff";
}

TEST_F(Oracle7Calls, AQueryIsDescribedToTheEndOfItsSelectListAndFetchedInBatches) {
  ASSERT_EQ(LogOn(), 0);
  Cda_Def ddl{};
  ASSERT_EQ(Open(&ddl), 0);
  for (int i = 0; i < 30; ++i) {
    char sql[64];
    std::snprintf(sql, sizeof sql, "create table T%02d (ID number(9) not null)", i);
    ASSERT_EQ(Parse(&ddl, sql), 0) << Message(Full(), &lda_, ddl.rc);
    ASSERT_EQ(V7(Full(), oexn)(&ddl, 1, 0), 0);
  }
  Cda_Def cda{};
  ASSERT_EQ(Open(&cda), 0);
  ASSERT_EQ(Parse(&cda, "select table_name, 22 n from user_tables order by table_name"), 0);
  EXPECT_EQ(cda.ft, 4);
  sb4 size = 0, nameLength = 30, displaySize = 0;
  sb2 type = 0, precision = 0, scale = 0, nullable = 0;
  sb1 name[30];
  V7(Full(), odescr)(&cda, 1, &size, &type, name, &nameLength, &displaySize, &precision, &scale, &nullable);
  EXPECT_EQ(cda.rc, 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(name), static_cast<size_t>(nameLength)), "TABLE_NAME");
  EXPECT_EQ(type, 1);
  EXPECT_EQ(size, 128);
  EXPECT_EQ(nullable, 0);
  nameLength = 30;
  V7(Full(), odescr)(&cda, 2, &size, &type, name, &nameLength, &displaySize, &precision, &scale, &nullable);
  EXPECT_EQ(cda.rc, 0);
  EXPECT_EQ(type, 2);
  nameLength = 30;
  V7(Full(), odescr)(&cda, 3, &size, &type, name, &nameLength, &displaySize, &precision, &scale, &nullable);
  EXPECT_EQ(cda.rc, 1007);
  EXPECT_EQ(Message(Full(), &lda_, 1007), "ORA-01007: variable not in select list");

  char names[25][129];
  sb2 indicators[25];
  ub2 lengths[25];
  sword numbers[25];
  V7(Full(), odefin)(&cda, 1, reinterpret_cast<ub1*>(names), 129, SQLT_STR, -1, indicators, nullptr, -1, -1,
                     lengths, nullptr);
  V7(Full(), odefin)(&cda, 2, reinterpret_cast<ub1*>(numbers), sizeof(sword), SQLT_INT, -1, nullptr, nullptr, -1,
                     -1, nullptr, nullptr);
  V7(Full(), oexfet)(&cda, 25, 0, 0);
  EXPECT_EQ(cda.rc, 0);
  EXPECT_EQ(cda.rpc, 25u);
  EXPECT_STREQ(names[0], "T00");
  EXPECT_STREQ(names[24], "T24");
  EXPECT_EQ(numbers[24], 22);
  V7(Full(), ofen)(&cda, 25);
  EXPECT_EQ(cda.rc, 1403) << "five rows, then the end";
  EXPECT_EQ(cda.rpc, 30u);
  EXPECT_STREQ(names[4], "T29");
  V7(Full(), ofen)(&cda, 25);
  EXPECT_EQ(cda.rc, 1002);
}

TEST_F(Oracle7Calls, ParseErrorsCarryTheOffsetOfTheOffendingWord) {
  ASSERT_EQ(LogOn(), 0);
  Cda_Def cda{};
  ASSERT_EQ(Open(&cda), 0);
  // The parse reports it at once ...
  EXPECT_EQ(Parse(&cda, "select *\nfrom nosuch"), 942);
  EXPECT_EQ(cda.peo, 14);
  EXPECT_EQ(Message(Full(), &lda_, 942), "ORA-00942: table or view does not exist");
  EXPECT_EQ(Parse(&cda, "create table X (\n  A numbr(3))"), 902);
  EXPECT_EQ(cda.peo, 21);
  // ... a deferred parse at the describe.
  EXPECT_EQ(Parse(&cda, "select *\nfrom nosuch", true), 0);
  sb4 size = 0, nameLength = 30, displaySize = 0;
  sb2 type = 0, precision = 0, scale = 0, nullable = 0;
  sb1 name[30];
  V7(Full(), odescr)(&cda, 1, &size, &type, name, &nameLength, &displaySize, &precision, &scale, &nullable);
  EXPECT_EQ(cda.rc, 942);
  EXPECT_EQ(cda.peo, 14);
}

TEST_F(Oracle7Calls, DdlRunsAtAParseThatIsNotDeferred) {
  ASSERT_EQ(LogOn(), 0);
  Cda_Def cda{};
  ASSERT_EQ(Open(&cda), 0);
  ASSERT_EQ(Parse(&cda, "create table A (ID number)"), 0);
  EXPECT_EQ(Tables(), std::vector<std::string>{"A"});
  EXPECT_EQ(V7(Full(), oexn)(&cda, 1, 0), 0) << "the execution only reports the parse's work";
  EXPECT_EQ(cda.ft, 1);
  ASSERT_EQ(Parse(&cda, "create table B (ID number)", true), 0);
  EXPECT_EQ(Tables(), std::vector<std::string>{"A"});
  EXPECT_EQ(V7(Full(), oexn)(&cda, 1, 0), 0);
  EXPECT_EQ(Tables(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(V7(Full(), oexn)(&cda, 1, 0), 955) << "a second execution runs it again";
  EXPECT_EQ(Message(Full(), &lda_, 955), "ORA-00955: name is already used by an existing object");
}

TEST_F(Oracle7Calls, LongValuesFillTheDefineAndTheRestComesFromOflng) {
  ASSERT_EQ(LogOn(), 0);
  std::string body = "select 1 A from dual where 1 = 1";
  for (int i = 0; body.size() < 100000; ++i) body += "\n and " + std::to_string(i) + " = " + std::to_string(i);
  Cda_Def cda{};
  ASSERT_EQ(Open(&cda), 0);
  ASSERT_EQ(Parse(&cda, "create view BIGV as " + body), 0) << Message(Full(), &lda_, cda.rc);
  ASSERT_EQ(Parse(&cda, "select text, view_name from user_views"), 0);
  std::vector<ub1> buffer(4096);
  sb2 indicator = 0;
  ub2 length = 0, code = 0;
  V7(Full(), odefin)(&cda, 1, buffer.data(), 4096, SQLT_LNG, -1, &indicator, nullptr, -1, -1, &length, &code);
  V7(Full(), oexfet)(&cda, 1, 0, 0);
  EXPECT_EQ(cda.rc, 1406);
  EXPECT_EQ(code, 1406);
  EXPECT_EQ(length, 4096);
  std::string value(reinterpret_cast<char*>(buffer.data()), length);
  std::vector<ub1> slice(10000);
  for (ub4 got = 1; got > 0;) {
    V7(Full(), oflng)(&cda, 1, slice.data(), static_cast<sb4>(slice.size()), SQLT_LNG, &got,
                      static_cast<sb4>(value.size()));
    ASSERT_EQ(cda.rc, 0);
    value.append(reinterpret_cast<char*>(slice.data()), got);
  }
  EXPECT_EQ(value, body);
  ub4 got = 7;
  V7(Full(), oflng)(&cda, 2, slice.data(), 100, SQLT_LNG, &got, 0);
  EXPECT_EQ(cda.rc, 932) << "VIEW_NAME is no LONG";
  V7(Full(), oflng)(&cda, 3, slice.data(), 100, SQLT_LNG, &got, 0);
  EXPECT_EQ(cda.rc, 1007);
  V7(Full(), ofen)(&cda, 1);
  EXPECT_EQ(cda.rc, 1403);
}

TEST_F(Oracle7Calls, BindsGoByNameAndUnknownNamesAreRefused) {
  ASSERT_EQ(LogOn(), 0);
  Cda_Def cda{};
  ASSERT_EQ(Open(&cda), 0);
  ASSERT_EQ(Parse(&cda, "select user from dual where user = :NAME"), 0);
  char value[] = "SCOTT";
  sb2 indicator = 0;
  V7(Full(), obndra)(&cda, Text(":OTHER"), -1, reinterpret_cast<ub1*>(value), sizeof value, SQLT_STR, -1,
                     &indicator, nullptr, nullptr, 0, nullptr, nullptr, -1, -1);
  EXPECT_EQ(cda.rc, 1036);
  V7(Full(), obndra)(&cda, Text(":name"), -1, reinterpret_cast<ub1*>(value), sizeof value, SQLT_STR, -1,
                     &indicator, nullptr, nullptr, 0, nullptr, nullptr, -1, -1);
  EXPECT_EQ(cda.rc, 0);
  char name[129] = {0};
  V7(Full(), odefin)(&cda, 1, reinterpret_cast<ub1*>(name), sizeof name, SQLT_STR, -1, nullptr, nullptr, -1, -1,
                     nullptr, nullptr);
  V7(Full(), oexfet)(&cda, 5, 0, 0);
  EXPECT_EQ(cda.rc, 1403);
  EXPECT_EQ(cda.rpc, 1u);
  EXPECT_STREQ(name, "SCOTT");
}

TEST_F(Oracle7Calls, AServiceContextLentToALoginAreaServesOnlyOracle7CallsUntilGivenBack) {
  oci_test::Client client;
  ASSERT_EQ(client.Logon("XE", "scott", "tiger"), OCI_SUCCESS);
  Lda_Def lda{};
  // An area that did not come from a service context does not turn into one.
  OCISvcCtx* back = nullptr;
  EXPECT_EQ(V7(Full(), OCILdaToSvcCtx)(&back, client.err, &lda), OCI_ERROR);
  EXPECT_EQ(client.Error().code, 24325);

  ASSERT_EQ(V7(Full(), OCISvcCtxToLda)(client.svc, client.err, &lda), OCI_SUCCESS);
  EXPECT_EQ(client.Run("create table LENT (ID number)"), OCI_ERROR);
  EXPECT_EQ(client.Error().code, 24325);
  EXPECT_EQ(V7(Full(), OCISvcCtxToLda)(client.svc, client.err, &lda), OCI_ERROR) << "lent already";
  Cda_Def cda{};
  V7(Full(), oopen)(&cda, &lda, nullptr, -1, -1, nullptr, -1);
  ASSERT_EQ(cda.rc, 0);
  V7(Full(), oparse)(&cda, Text("create table LENT (ID number)"), -1, 0, OCI7_V7_BEHAVIOUR);
  EXPECT_EQ(cda.rc, 0);
  EXPECT_EQ(V7(Full(), ologof)(&lda), 24325) << "a lent context goes back, it is not logged off";

  ASSERT_EQ(V7(Full(), OCILdaToSvcCtx)(&back, client.err, &lda), OCI_SUCCESS);
  EXPECT_EQ(back, client.svc);
  V7(Full(), oparse)(&cda, Text("select 1 from dual"), -1, 0, OCI7_V7_BEHAVIOUR);
  EXPECT_EQ(cda.rc, 1001) << "its cursors went with it";
  EXPECT_EQ(client.Rows("select table_name from user_tables"), (std::vector<std::vector<std::string>>{{"LENT"}}));
  EXPECT_EQ(V7(Full(), OCILdaToSvcCtx)(&back, client.err, &lda), OCI_ERROR) << "given back already";
}

TEST_F(Oracle7Calls, TheBannerSettingNamesTheServersVersion) {
  setenv("ORAEMU_BANNER", "Oracle7 Server Release 7.3.4.0.0 - Production", 1);
  oci_test::Client client;
  ASSERT_EQ(client.Logon("XE", "scott", "tiger"), OCI_SUCCESS);
  OraText banner[501] = {0};
  EXPECT_EQ(OCI(OCIServerVersion)(client.srv, client.err, banner, sizeof banner, OCI_HTYPE_SERVER), OCI_SUCCESS);
  unsetenv("ORAEMU_BANNER");
  EXPECT_STREQ(reinterpret_cast<char*>(banner), "Oracle7 Server Release 7.3.4.0.0 - Production");
}

TEST(Oracle7Library, ExportsTheOracle7CallsAndNothingOfOci8) {
  TLibrary v7(skelvane::testing::Oracle7EmulatorLibrary());
  ASSERT_TRUE(v7.Loaded());
  for (const char* name : {"opinit", "olog", "orlon", "ologof", "oerhms", "oopen", "oparse", "odescr", "odefin",
                           "obndra", "oexec", "oexn", "oexfet", "ofen", "oflng", "oclose", "ocom", "orol", "ocon",
                           "ocof", "obreak", "odessp"}) {
    EXPECT_NE(v7.Symbol(name), nullptr) << name;
  }
  for (const char* name : {"OCIEnvCreate", "OCIInitialize", "OCIServerAttach", "OCIErrorGet", "OCISvcCtxToLda"}) {
    EXPECT_EQ(v7.Symbol(name), nullptr) << name;
  }
  TLibrary oci8(skelvane::testing::Oci8OnlyEmulatorLibrary());
  ASSERT_TRUE(oci8.Loaded());
  EXPECT_NE(oci8.Symbol("OCIEnvCreate"), nullptr);
  EXPECT_EQ(oci8.Symbol("olog"), nullptr);
  EXPECT_EQ(oci8.Symbol("oflng"), nullptr);
}

TEST(Oracle7Library, LogsOnAndQueriesWithoutOci8) {
  oci_test::TempDataDir dir;
  oci_test::CreateDatabase("XE", "manager");
  TLibrary v7(skelvane::testing::Oracle7EmulatorLibrary());
  ASSERT_TRUE(v7.Loaded());
  EXPECT_EQ(V7(v7, opinit)(OCI_EV_DEF), 0);
  Lda_Def lda{};
  ub1 hda[HDA_SIZE] = {0};
  V7(v7, olog)(&lda, hda, Text("system/manager@XE"), -1, nullptr, -1, nullptr, -1, OCI_LM_DEF);
  ASSERT_EQ(lda.rc, 0);
  Cda_Def cda{};
  V7(v7, oopen)(&cda, &lda, nullptr, -1, -1, nullptr, -1);
  V7(v7, oparse)(&cda, Text("select user from dual"), -1, 0, OCI7_V7_BEHAVIOUR);
  char user[32] = {0};
  V7(v7, odefin)(&cda, 1, reinterpret_cast<ub1*>(user), sizeof user, SQLT_STR, -1, nullptr, nullptr, -1, -1,
                 nullptr, nullptr);
  V7(v7, oexfet)(&cda, 1, 0, 0);
  EXPECT_EQ(cda.rc, 0);
  EXPECT_STREQ(user, "SYSTEM");
  EXPECT_EQ(V7(v7, oclose)(&cda), 0);
  EXPECT_EQ(V7(v7, ologof)(&lda), 0);
}

}  // namespace
