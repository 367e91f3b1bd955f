// Attaching and logging on: the refusals Oracle gives, external
// credentials, the expiry warning, the banner.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "oci_client.h"

namespace {

using oci_test::Client;

class Logon : public ::testing::Test {
 protected:
  void SetUp() override { oci_test::CreateDatabase("XE", "manager"); }
  oci_test::TempDataDir dir_;
};

TEST_F(Logon, RightAndWrongPasswordsAndMissingDatabase) {
  {
    Client client;
    EXPECT_EQ(client.Logon("XE", "system", "manager"), OCI_SUCCESS) << client.Error().text;
    EXPECT_EQ(client.Logoff(), OCI_SUCCESS);
  }
  {
    Client client;
    EXPECT_EQ(client.Logon("XE", "system", "wrong"), OCI_ERROR);
    EXPECT_EQ(client.Error().code, 1017);
    EXPECT_EQ(client.Error().text, "ORA-01017: invalid username/password; logon denied\n");
  }
  {
    Client client;
    EXPECT_EQ(client.Logon("NOSUCH", "system", "manager"), OCI_ERROR);
    EXPECT_EQ(client.Error().code, 12154);
    EXPECT_EQ(client.Error().text, "ORA-12154: TNS:could not resolve the connect identifier specified\n");
  }
}

TEST_F(Logon, ExternalCredentialsNameTheOperatingSystemUser) {
  setenv("USER", "opsuser", 1);
  {
    Client admin;
    ASSERT_EQ(admin.Logon("XE", "system", "manager"), OCI_SUCCESS);
    admin.MustRun("CREATE USER opsuser IDENTIFIED EXTERNALLY");
    admin.MustRun("CREATE USER scott IDENTIFIED BY tiger");
    admin.MustRun("GRANT CONNECT TO opsuser, scott");
  }
  {
    Client client;
    EXPECT_EQ(client.Logon("XE", "", "", OCI_CRED_EXT), OCI_SUCCESS) << client.Error().text;
    EXPECT_EQ(client.Rows("select user from dual"), (std::vector<std::vector<std::string>>{{"OPSUSER"}}));
  }
  setenv("USER", "scott", 1);  // a password user cannot be entered without its password
  {
    Client client;
    EXPECT_EQ(client.Logon("XE", "", "", OCI_CRED_EXT), OCI_ERROR);
    EXPECT_EQ(client.Error().code, 1017);
  }
}

TEST_F(Logon, ExpiringPasswordLogsOnWithAWarning) {
  {
    Client admin;
    ASSERT_EQ(admin.Logon("XE", "system", "manager"), OCI_SUCCESS);
    admin.MustRun("CREATE USER scott IDENTIFIED BY tiger");
    admin.MustRun("GRANT CONNECT TO scott");
    admin.MustRun("ALTER USER scott PASSWORD EXPIRE SOON");
  }
  Client client;
  ASSERT_EQ(client.Logon("XE", "scott", "tiger"), OCI_SUCCESS_WITH_INFO);
  EXPECT_EQ(client.Error().code, 28002);
  EXPECT_EQ(client.Error().text.rfind("ORA-28002: the password will expire within ", 0), 0u) << client.Error().text;
  // The session stands.
  EXPECT_EQ(client.Rows("select user from dual"), (std::vector<std::vector<std::string>>{{"SCOTT"}}));
}

TEST_F(Logon, VersionBannerAndRelease) {
  Client client;
  ASSERT_EQ(client.Logon("XE", "system", "manager"), OCI_SUCCESS);
  OraText banner[501] = {0};
  ASSERT_EQ(OCI(OCIServerVersion)(client.svc, client.err, banner, sizeof banner, OCI_HTYPE_SVCCTX), OCI_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(banner),
               "Oracle Database 19c Enterprise Edition Release 19.0.0.0.0 - Production\nVersion 19.3.0.0.0");
  // A short buffer gets a terminated prefix.
  OraText small[8];
  ASSERT_EQ(OCI(OCIServerVersion)(client.srv, client.err, small, sizeof small, OCI_HTYPE_SERVER), OCI_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(small), "Oracle ");
  ub4 release = 0;
  ASSERT_EQ(OCI(OCIServerRelease)(client.svc, client.err, banner, sizeof banner, OCI_HTYPE_SVCCTX, &release),
            OCI_SUCCESS);
  EXPECT_EQ(release >> 24, 19u);
  EXPECT_EQ((release >> 16) & 0xFF, 3u);
  ub4 status = 0;
  OCI(OCIAttrGet)(client.srv, OCI_HTYPE_SERVER, &status, nullptr, OCI_ATTR_SERVER_STATUS, client.err);
  EXPECT_EQ(status, static_cast<ub4>(OCI_SERVER_NORMAL));
}

TEST_F(Logon, OldStyleInitialisationAndOneCallLogon) {
  ASSERT_EQ(OCI(OCIInitialize)(OCI_THREADED | OCI_OBJECT, nullptr, nullptr, nullptr, nullptr), OCI_SUCCESS);
  OCIEnv* env = nullptr;
  ASSERT_EQ(OCI(OCIEnvInit)(&env, OCI_ENV_NO_MUTEX, 0, nullptr), OCI_SUCCESS);
  OCIError* err = nullptr;
  OCI(OCIHandleAlloc)(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr);
  OCISvcCtx* svc = nullptr;
  EXPECT_EQ(OCI(OCILogon)(env, err, &svc, reinterpret_cast<const OraText*>("system"), 6,
                          reinterpret_cast<const OraText*>("bad"), 3, reinterpret_cast<const OraText*>("XE"), 2),
            OCI_ERROR);
  EXPECT_EQ(svc, nullptr);
  EXPECT_EQ(oci_test::ReadError(err).code, 1017);
  ASSERT_EQ(OCI(OCILogon)(env, err, &svc, reinterpret_cast<const OraText*>("system"), 6,
                          reinterpret_cast<const OraText*>("manager"), 7, reinterpret_cast<const OraText*>("XE"), 2),
            OCI_SUCCESS);
  EXPECT_EQ(OCI(OCITransCommit)(svc, err, OCI_DEFAULT), OCI_SUCCESS);
  EXPECT_EQ(OCI(OCILogoff)(svc, err), OCI_SUCCESS);
  EXPECT_EQ(OCI(OCIHandleFree)(env, OCI_HTYPE_ENV), OCI_SUCCESS);
}

TEST_F(Logon, EmptyDatabaseNameFallsBackToTheLocalInstance) {
  unsetenv("TWO_TASK");
  unsetenv("ORACLE_SID");
  {
    Client client;
    EXPECT_EQ(client.Logon("", "system", "manager"), OCI_ERROR);
    EXPECT_EQ(client.Error().code, 12162);
  }
  setenv("ORACLE_SID", "XE", 1);
  Client client;
  EXPECT_EQ(client.Logon("", "system", "manager"), OCI_SUCCESS) << client.Error().text;
  unsetenv("ORACLE_SID");
}

}  // namespace
