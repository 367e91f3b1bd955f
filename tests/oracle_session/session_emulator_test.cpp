// Logon and logoff against the emulated client and server, loaded exactly as
// a real client library is: selected by OCIDLL=, or found through a home.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>

#include "common/platform.h"
#include "common/text.h"
#include "oracle/client.h"
#include "oracle/session.h"
#include "support/emulator_tool.h"
#include "support/temp_folder.h"

namespace skelvane::oracle {
namespace {

using skelvane::testing::TTempFolder;

using skelvane::testing::EmulatorLibrary;
using skelvane::testing::EmulatorTool;

struct TCountingDependant : TOracleDependant {
  int closed = 0;
  void CloseOnLogOff() noexcept override { ++closed; }
};

class SessionEmulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetClientForTests();
    platform::SetEnv("ORAEMU_DATA", data.Path());
    platform::UnsetEnv("ORACLE_HOME");
    ASSERT_EQ(Tool("create DB --system-password manager"), 0);
    osUser = platform::GetEnv("USER");
    if (osUser.empty()) osUser = "tester";
    platform::SetEnv("USER", osUser);
    ASSERT_EQ(RunScript("CREATE USER scott IDENTIFIED BY tiger;\n"
                        "CREATE USER \"OPS$" + AnsiUpperCase(osUser) + "\" IDENTIFIED EXTERNALLY;\n"
                        "GRANT CONNECT TO scott, \"OPS$" + AnsiUpperCase(osUser) + "\";\n"),
              0);
    platform::ProcessParameters() = {"OCIDLL=" + EmulatorLibrary()};
  }
  void TearDown() override {
    platform::ProcessParameters().clear();
    ResetClientForTests();
  }

  int Tool(const std::string& arguments) {
    const std::string command = EmulatorTool() + " " + arguments + " > " + (data / "tool.log") + " 2>&1";
    return std::system(command.c_str());
  }
  int RunScript(const std::string& sql) {
    const std::string file = data.WriteFile("script.sql", sql);
    return Tool("run DB SYSTEM/manager " + file);
  }
  // Logs on with the given user text and returns the database error, if any.
  static std::optional<EOracleError> TryLogOn(TOracleSession& session) {
    try {
      session.LogOn();
    } catch (const EOracleError& e) {
      return e;
    }
    return std::nullopt;
  }

  TTempFolder data;
  std::string osUser;
};

TEST_F(SessionEmulatorTest, LogOnLogOffAndLogOnAgain) {
  TOracleSession session;
  int changes = 0;
  session.OnChange = [&changes](TOracleSession&) { ++changes; };
  TCountingDependant query;
  session.AddDependant(&query);
  session.LogonUsername = "scott";
  session.LogonPassword = "tiger";
  session.LogonDatabase = "DB";
  ASSERT_NO_THROW(session.LogOn());
  EXPECT_TRUE(session.Connected());
  EXPECT_EQ(session.LogonWarning(), "");
  EXPECT_NE(session.EnvHandle(), nullptr);
  EXPECT_NE(session.SvcCtxHandle(), nullptr);
  EXPECT_NE(session.ErrorHandle(), nullptr);
  EXPECT_TRUE(session.Has81());
  EXPECT_TRUE(session.Has90());
  EXPECT_NE(AnsiUpperCase(session.ServerVersion()).find("RELEASE 1"), std::string::npos);
  EXPECT_EQ(changes, 1);

  session.LogOff();
  EXPECT_FALSE(session.Connected());
  EXPECT_EQ(session.EnvHandle(), nullptr);
  EXPECT_EQ(query.closed, 1);
  EXPECT_EQ(changes, 2);
  session.LogOff();  // not connected: nothing to close
  EXPECT_EQ(query.closed, 1);

  ASSERT_NO_THROW(session.LogOn());
  EXPECT_TRUE(session.Connected());
  // LogOn on a connected session logs off first.
  ASSERT_NO_THROW(session.LogOn());
  EXPECT_EQ(query.closed, 2);
  EXPECT_TRUE(session.Connected());
  session.RemoveDependant(&query);
  session.LogOff();
  EXPECT_EQ(query.closed, 2);
}

TEST_F(SessionEmulatorTest, DatabaseErrorsPassTheClientTextOnUnchanged) {
  TOracleSession session;
  session.LogonUsername = "scott/wrong@DB";
  auto error = TryLogOn(session);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->ErrorCode(), 1017);
  EXPECT_EQ(error->Message(), "ORA-01017: invalid username/password; logon denied");
  EXPECT_EQ(error->Session(), &session);
  EXPECT_FALSE(session.Connected());

  session.LogonUsername = "scott/tiger@NOSUCHDB";
  error = TryLogOn(session);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->ErrorCode(), 12154);
  EXPECT_EQ(error->Message(), "ORA-12154: TNS:could not resolve the connect identifier specified");
  EXPECT_FALSE(session.Connected());

  // The refused attempts left nothing behind that spoils the next logon.
  session.LogonUsername = "scott/tiger@DB";
  EXPECT_FALSE(TryLogOn(session));
  EXPECT_TRUE(session.Connected());
}

TEST_F(SessionEmulatorTest, ConnectStringAndRoleAreSplitIntoTheFields) {
  TOracleSession session;
  session.LogonUsername = "system/manager@DB as sysdba";
  ASSERT_FALSE(TryLogOn(session));
  EXPECT_TRUE(session.Connected());
  EXPECT_EQ(session.LogonUsername, "system");
  EXPECT_EQ(session.LogonPassword, "manager");
  EXPECT_EQ(session.LogonDatabase, "DB");
  EXPECT_EQ(session.ConnectAs, TConnectAs::SYSDBA);
}

TEST_F(SessionEmulatorTest, EmptyUserAndPasswordLogOnWithExternalCredentials) {
  TOracleSession session;
  session.LogonDatabase = "DB";
  auto error = TryLogOn(session);
  EXPECT_FALSE(error) << error->Message();
  EXPECT_TRUE(session.Connected());

  TOracleSession slash;
  slash.LogonUsername = "/";
  slash.LogonPassword = "ignored";
  slash.LogonDatabase = "DB";
  error = TryLogOn(slash);
  EXPECT_FALSE(error) << error->Message();
  EXPECT_EQ(slash.LogonPassword, "");
}

TEST_F(SessionEmulatorTest, AnExpiringPasswordLogsOnWithAWarning) {
  ASSERT_EQ(Tool("expire-soon DB SCOTT"), 0);
  TOracleSession session;
  session.LogonUsername = "scott/tiger@DB";
  ASSERT_FALSE(TryLogOn(session));
  EXPECT_TRUE(session.Connected());
  EXPECT_EQ(session.LogonWarning().rfind("ORA-28002: the password will expire within", 0), 0u)
      << session.LogonWarning();
  session.LogOff();
  // A clean logon clears the warning.
  ASSERT_EQ(RunScript("CREATE USER adams IDENTIFIED BY wood;\nGRANT CONNECT TO adams;\n"), 0);
  session.LogonUsername = "adams/wood@DB";
  ASSERT_FALSE(TryLogOn(session));
  EXPECT_EQ(session.LogonWarning(), "");
}

TEST_F(SessionEmulatorTest, StatementCachingIsInForceWhenAsked) {
  TOracleSession session;
  session.StatementCache = true;
  session.StatementCacheSize = 5;
  session.LogonUsername = "scott/tiger@DB";
  auto error = TryLogOn(session);
  ASSERT_FALSE(error) << error->Message();
  EXPECT_TRUE(session.StatementCacheInForce());
  ub4 size = 0;
  ASSERT_EQ(session.Oci().OCIAttrGet(session.SvcCtxHandle(), OCI_HTYPE_SVCCTX, &size, nullptr,
                                     OCI_ATTR_STMTCACHESIZE, session.ErrorHandle()),
            OCI_SUCCESS);
  EXPECT_EQ(size, 5u);
  session.LogOff();
  EXPECT_FALSE(session.StatementCacheInForce());
}

TEST_F(SessionEmulatorTest, RaiseErrorReadsTheRecordOrNamesTheStatus) {
  TOracleSession session;
  session.LogonUsername = "scott/tiger@DB";
  ASSERT_FALSE(TryLogOn(session));
  try {
    session.RaiseError(session.ErrorHandle(), OCI_INVALID_HANDLE);
    FAIL() << "RaiseError returned";
  } catch (const EOracleError& e) {
    EXPECT_EQ(e.Message(), "OCI call failed: OCI_INVALID_HANDLE");
    EXPECT_EQ(e.ErrorCode(), 0);
  }
}

TEST_F(SessionEmulatorTest, DiscoveryThroughOracleHomeFindsTheClientInItsLibFolder) {
  TTempFolder home;
  home.MakeFolder("lib");
  std::filesystem::create_symlink(EmulatorLibrary(), home / "lib/libclntsh.so");
  platform::SetEnv("ORACLE_HOME", home.Path());
  platform::ProcessParameters().clear();

  TOracleSession session;
  session.LogonUsername = "scott/tiger@DB";
  auto error = TryLogOn(session);
  ASSERT_FALSE(error) << error->Message();
  EXPECT_TRUE(session.Connected());
  const std::string trace = ClientTrace();
  EXPECT_EQ(trace, "OracleHomeKey: SOFTWARE\\ORACLE\r\nOracleHomeDir: " + home.Path() +
                       "\r\nFound: libclntsh.so\r\nUsing: " + (home / "lib/libclntsh.so"));
  std::printf("%s\n", trace.c_str());
}

}  // namespace
}  // namespace skelvane::oracle

namespace skelvane::oracle {
namespace {

TEST_F(SessionEmulatorTest, ThreadSafeSessionsLogOnAndOffFromSeveralThreads) {
  auto work = [](int* failures) {
    for (int i = 0; i < 5; ++i) {
      TOracleSession session;
      session.ThreadSafe = true;
      session.LogonUsername = "scott/tiger@DB";
      try {
        session.LogOn();
        session.LogOff();
      } catch (const std::exception&) {
        ++*failures;
      }
    }
  };
  int failures[2] = {0, 0};
  std::thread first(work, &failures[0]);
  std::thread second(work, &failures[1]);
  first.join();
  second.join();
  EXPECT_EQ(failures[0] + failures[1], 0);
  EXPECT_EQ(ClientCriticalSection().Count(), 0);
}

}  // namespace
}  // namespace skelvane::oracle
