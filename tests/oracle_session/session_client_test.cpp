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
              "LoadLibrary(/nonexistent/libclntsh.so) returned 0");
  }
  EXPECT_FALSE(session.Connected());
}

TEST_F(SessionClientTest, AnOracle7OnlyClientIsRefusedWithAClearMessage) {
  SetForcedClientLibrary(std::string(SKELVANE_TEST_LIBRARY_DIR) + "/libskelvane_fake_oracle7.so");
  TOracleSession session;
  session.LogonUsername = "scott/tiger@XE";
  try {
    session.LogOn();
    FAIL() << "LogOn succeeded";
  } catch (const EOracleError&) {
    FAIL() << "not a database error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), kOracle7NotSupported);
  }
  EXPECT_TRUE(ClientLoaded());
  EXPECT_FALSE(session.Connected());
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
