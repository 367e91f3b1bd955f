// Session behaviour that needs no database: what LogOn does when the client
// library is missing or offers only the Oracle 7 interface.
#include <gtest/gtest.h>

#include "common/platform.h"
#include "oracle/client.h"
#include "oracle/session.h"

namespace skelvane::oracle {
namespace {

class SessionClientTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetClientForTests(); }
  void TearDown() override {
    platform::ProcessParameters().clear();
    ResetClientForTests();
  }
};

TEST_F(SessionClientTest, LogOffBeforeAnyLogOnDoesNothing) {
  TOracleSession session;
  int changes = 0;
  session.OnChange = [&changes](TOracleSession&) { ++changes; };
  EXPECT_NO_THROW(session.LogOff());
  EXPECT_FALSE(session.Connected());
  EXPECT_EQ(changes, 0);
}

TEST_F(SessionClientTest, AMissingLibraryIsAPlainInitializationError) {
  platform::ProcessParameters() = {"OCIDLL=/nonexistent/libclntsh.so"};
  TOracleSession session;
  session.LogonUsername = "scott";
  try {
    session.LogOn();
    FAIL() << "LogOn succeeded";
  } catch (const EOracleError&) {
    FAIL() << "an initialization failure is no EOracleError";
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()),
              "Initialization error\r\nCould not load \"/nonexistent/libclntsh.so\"\r\n\r\n"
              "OCIDLL forced to /nonexistent/libclntsh.so\r\n"
              "LoadLibrary(/nonexistent/libclntsh.so) returned 0\r\n"
              "/nonexistent/libclntsh.so: cannot open shared object file: No such file or directory");
  }
  EXPECT_FALSE(session.Connected());
}

TEST_F(SessionClientTest, AnOracle7OnlyClientLogsOnWithOpinitOlogAndOlogof) {
  const std::string path = std::string(SKELVANE_TEST_LIBRARY_DIR) + "/libskelvane_fake_oracle7.so";
  SetForcedClientLibrary(path);
  auto library = platform::TDynamicLibrary::Open(path);
  auto callLog = reinterpret_cast<const char* (*)()>(library.Symbol("fake_call_log"));
  reinterpret_cast<void (*)()>(library.Symbol("fake_clear_call_log"))();
  TOracleSession session;
  session.LogonUsername = "scott/tiger@XE";
  ASSERT_NO_THROW(session.LogOn());
  EXPECT_TRUE(session.Connected());
  EXPECT_FALSE(session.UsesOCI8());
  EXPECT_STREQ(callLog(), "opinit(0) olog ");
  session.LogOff();
  EXPECT_FALSE(session.Connected());
  EXPECT_STREQ(callLog(), "opinit(0) olog ologof ");
}

TEST_F(SessionClientTest, TheCursorHookShowsTheSessionCursorWhileTheClientLoads) {
  std::vector<int> shown;
  TOracleSession::CursorHook() = [&shown](int cursor) {
    shown.push_back(cursor);
    return 0;
  };
  platform::ProcessParameters() = {"OCIDLL=/nonexistent/lib.so"};
  TOracleSession session;
  EXPECT_THROW(session.LogOn(), EInitializationError);
  TOracleSession::CursorHook() = nullptr;
  EXPECT_EQ(shown, (std::vector<int>{-11, 0}));
}

}  // namespace
}  // namespace skelvane::oracle

namespace skelvane::oracle {
namespace {

std::string FakeOci8() { return std::string(SKELVANE_TEST_LIBRARY_DIR) + "/libskelvane_fake_oci8.so"; }

std::string FakeCallLog(bool clear = false) {
  auto library = platform::TDynamicLibrary::Open(FakeOci8());
  if (clear) reinterpret_cast<void (*)()>(library.Symbol("fake_clear_call_log"))();
  return reinterpret_cast<const char* (*)()>(library.Symbol("fake_call_log"))();
}

TEST_F(SessionClientTest, APre81ClientGetsOCIEnvInitAndTheRoleMode) {
  SetForcedClientLibrary(FakeOci8());
  TOracleSession session;
  session.LogonUsername = "sys/pw@XE AS SYSDBA";
  ASSERT_NO_THROW(session.LogOn());
  EXPECT_TRUE(session.Connected());
  EXPECT_FALSE(session.Has81());
  EXPECT_EQ(FakeCallLog(),
            "OCIInitialize(3) OCIEnvInit(8) OCIHandleAlloc OCIHandleAlloc OCIHandleAlloc "
            "OCIHandleAlloc OCIHandleAlloc OCIServerAttach OCIAttrSet OCIAttrSet OCIAttrSet "
            "OCIAttrSet OCISessionBegin(1,2) OCIServerVersion ");
  FakeCallLog(true);
  session.LogOff();
  EXPECT_FALSE(session.Connected());
  EXPECT_EQ(FakeCallLog(), "OCISessionEnd OCIServerDetach ");

  // Thread-safe sessions take a mutexed environment; external credentials
  // set no user name; SYSOPER has its own mode; the lock is given back.
  FakeCallLog(true);
  session.ThreadSafe = true;
  session.LogonUsername = "/ as sysoper";
  session.RollbackOnDisconnect = true;
  ASSERT_NO_THROW(session.LogOn());
  EXPECT_EQ(ClientCriticalSection().Count(), 0);
  EXPECT_EQ(FakeCallLog(),
            "OCIEnvInit(0) OCIHandleAlloc OCIHandleAlloc OCIHandleAlloc OCIHandleAlloc "
            "OCIHandleAlloc OCIServerAttach OCIAttrSet OCIAttrSet OCISessionBegin(2,4) "
            "OCIServerVersion ");
  FakeCallLog(true);
  session.LogOff();
  EXPECT_EQ(ClientCriticalSection().Count(), 0);
  EXPECT_EQ(FakeCallLog(), "OCITransRollback OCISessionEnd OCIServerDetach ");
}

}  // namespace
}  // namespace skelvane::oracle
