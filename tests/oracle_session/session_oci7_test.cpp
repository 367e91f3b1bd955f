// The session on the Oracle 7 call interface, against the emulator: which
// interface a logon chooses (the library, UseOCI7, the server's version
// text), the login area converted and converted back, refusals, and the
// rules behind the choice.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "common/platform.h"
#include "oracle/client.h"
#include "oracle/query.h"
#include "oracle/session.h"
#include "support/emulator_tool.h"
#include "support/temp_folder.h"

namespace skelvane::oracle {
namespace {

using skelvane::testing::TTempFolder;

constexpr const char kOracle7Banner[] = "Oracle7 Server Release 7.3.4.0.0 - Production";

class SessionOracle7Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetClientForTests();
    platform::SetEnv("ORAEMU_DATA", data.Path());
    platform::SetEnv("ORAEMU_TRACE", data / "trace.txt");
    const std::string log = data / "tool.log";
    ASSERT_EQ(std::system((skelvane::testing::EmulatorTool() + " create DB --system-password manager > " + log +
                           " 2>&1").c_str()),
              0);
    const std::string script = data.WriteFile("users.sql", "CREATE USER scott IDENTIFIED BY tiger;\n"
                                                           "GRANT CONNECT TO scott;\n");
    ASSERT_EQ(std::system((skelvane::testing::EmulatorTool() + " run DB SYSTEM/manager " + script + " > " + log +
                           " 2>&1").c_str()),
              0);
    UseLibrary(skelvane::testing::EmulatorLibrary());
  }
  void TearDown() override {
    platform::UnsetEnv("ORAEMU_BANNER");
    platform::SetEnv("ORAEMU_TRACE", "");
    platform::ProcessParameters().clear();
    ResetClientForTests();
  }

  static void UseLibrary(const std::string& path) {
    ResetClientForTests();
    platform::ProcessParameters() = {"OCIDLL=" + path};
  }
  // The trace lines that are no round trips (logons, conversions).
  std::vector<std::string> Events() const {
    std::vector<std::string> lines;
    std::ifstream in(data / "trace.txt");
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("LOGON", 0) == 0 || line.rfind("LOGOFF", 0) == 0 || line.rfind("V7 ", 0) == 0)
        lines.push_back(line);
    }
    return lines;
  }
  static std::string User(TOracleSession& session) {
    TOracleQuery q;
    q.Session = &session;
    q.SetSQLText("select user from dual");
    q.Execute();
    return q.FieldText("USER");
  }

  TTempFolder data{"session7"};
};

TEST_F(SessionOracle7Test, TheVersionTextDecidesAnOci8ConnectionsInterface) {
  const struct {
    const char* banner;  // null: the emulator's own 19c banner
    bool oracle7;
  } cases[] = {
      {kOracle7Banner, true},
      {"ORACLE7 SERVER RELEASE 7.1.6.2.0", true},
      {nullptr, false},
      {"Oracle Database 23ai Free Release 23.0.0.0.0 - Develop, Learn, and Run for Free\nVersion 23.4.0.24.05",
       false},
      {"Oracle Database 21c Express Edition Release 21.0.0.0.0 - Production\nVersion 21.3.0.0.0", false},
      {"Oracle8i Enterprise Edition Release 8.1.7.0.0 - Production", false},
      {"Oracle9i Enterprise Edition Release 9.2.0.1.0 - Production", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.banner ? c.banner : "19c");
    if (c.banner) {
      platform::SetEnv("ORAEMU_BANNER", c.banner);
    } else {
      platform::UnsetEnv("ORAEMU_BANNER");
    }
    std::remove((data / "trace.txt").c_str());
    TOracleSession session;
    session.LogonUsername = "scott/tiger@DB";
    ASSERT_NO_THROW(session.LogOn());
    EXPECT_EQ(session.UsesOCI8(), !c.oracle7);
    EXPECT_EQ(session.LoginAreaConverted(), c.oracle7);
    EXPECT_EQ(User(session), "SCOTT") << "queries run on either interface";
    session.LogOff();
    EXPECT_FALSE(session.LoginAreaConverted());
    const std::vector<std::string> expected =
        c.oracle7 ? std::vector<std::string>{"LOGON SCOTT", "V7 OCISvcCtxToLda", "V7 OCILdaToSvcCtx", "LOGOFF SCOTT"}
                  : std::vector<std::string>{"LOGON SCOTT", "LOGOFF SCOTT"};
    EXPECT_EQ(Events(), expected);
  }
}

TEST_F(SessionOracle7Test, AConvertedSessionLogsOnAgainAndConvertsAgain) {
  platform::SetEnv("ORAEMU_BANNER", kOracle7Banner);
  TOracleSession session;
  session.LogonUsername = "scott";
  session.LogonPassword = "tiger";
  session.LogonDatabase = "DB";
  session.LogOn();
  TOracleQuery q;
  q.Session = &session;
  q.SetSQLText("select user from dual");
  q.Execute();
  session.LogOn();  // logs off first: the query's cursor closes with the login area
  EXPECT_TRUE(session.LoginAreaConverted());
  q.Execute();
  EXPECT_EQ(q.FieldText("user"), "SCOTT");
  session.LogOff();
  EXPECT_EQ(Events(), (std::vector<std::string>{"LOGON SCOTT", "V7 OCISvcCtxToLda", "V7 OCILdaToSvcCtx",
                                                "LOGOFF SCOTT", "LOGON SCOTT", "V7 OCISvcCtxToLda",
                                                "V7 OCILdaToSvcCtx", "LOGOFF SCOTT"}));
}

TEST_F(SessionOracle7Test, Oracle7LogonsTakeTheConnectStringAndEndWithOlogof) {
  const struct {
    const char* library;
    bool useOCI7;
  } cases[] = {{"liboraemu7.so", false}, {"liboraemu.so", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.library);
    UseLibrary(skelvane::testing::BinaryDir() + "/lib/" + c.library);
    std::remove((data / "trace.txt").c_str());
    TOracleSession session;
    session.Preferences.UseOCI7 = c.useOCI7;
    // A role in the user name keeps the password typed in its own field.
    session.LogonUsername = "scott as sysdba";
    session.LogonPassword = "tiger";
    session.LogonDatabase = "DB";
    ASSERT_NO_THROW(session.LogOn());
    EXPECT_FALSE(session.UsesOCI8());
    EXPECT_FALSE(session.LoginAreaConverted());
    EXPECT_EQ(session.ConnectAs, TConnectAs::SYSDBA);
    EXPECT_EQ(User(session), "SCOTT");
    session.LogOff();
    EXPECT_FALSE(session.Connected());
    EXPECT_EQ(Events(), (std::vector<std::string>{"V7 LOGON scott@DB", "LOGON SCOTT", "V7 LOGOFF", "LOGOFF SCOTT"}));
  }
}

TEST_F(SessionOracle7Test, ARefusedOracle7LogonRaisesTheServersError) {
  const struct {
    const char* user;
    int code;
    const char* message;
  } cases[] = {
      {"scott/wrong@DB", 1017, "ORA-01017: invalid username/password; logon denied"},
      {"scott/tiger@NOSUCH", 12154, "ORA-12154: TNS:could not resolve the connect identifier specified"},
  };
  UseLibrary(skelvane::testing::Oracle7EmulatorLibrary());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.user);
    TOracleSession session;
    session.LogonUsername = c.user;
    try {
      session.LogOn();
      FAIL() << "logged on";
    } catch (const EOracleError& e) {
      EXPECT_EQ(e.ErrorCode(), c.code);
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_FALSE(session.Connected());
    EXPECT_NO_THROW(session.LogOff()) << "nothing is left to log off";
  }
}

TEST_F(SessionOracle7Test, AnOracle7LogonWarningLeavesTheSessionConnected) {
  const std::string script = data.WriteFile("expire.sql", "ALTER USER scott PASSWORD EXPIRE SOON;\n");
  ASSERT_EQ(std::system((skelvane::testing::EmulatorTool() + " run DB SYSTEM/manager " + script + " > /dev/null 2>&1")
                            .c_str()),
            0);
  UseLibrary(skelvane::testing::Oracle7EmulatorLibrary());
  TOracleSession session;
  session.LogonUsername = "scott/tiger@DB";
  ASSERT_NO_THROW(session.LogOn());
  EXPECT_TRUE(session.Connected());
  EXPECT_EQ(session.LogonWarning().rfind("ORA-28002: the password will expire within ", 0), 0u)
      << session.LogonWarning();
  EXPECT_EQ(User(session), "SCOTT");
}

TEST_F(SessionOracle7Test, ALibraryWithoutTheOracle7CallsIsRefusedWhereTheyAreNeeded) {
  UseLibrary(skelvane::testing::Oci8OnlyEmulatorLibrary());
  {
    TOracleSession session;
    session.LogonUsername = "scott/tiger@DB";
    session.Preferences.UseOCI7 = true;
    try {
      session.LogOn();
      FAIL() << "logged on";
    } catch (const EOracleError&) {
      FAIL() << "no database error";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), kOracle7NotSupported);
    }
    EXPECT_FALSE(session.Connected());
  }
  platform::SetEnv("ORAEMU_BANNER", kOracle7Banner);
  std::remove((data / "trace.txt").c_str());
  TOracleSession session;
  session.LogonUsername = "scott/tiger@DB";
  try {
    session.LogOn();
    FAIL() << "logged on";
  } catch (const EOracleError&) {
    FAIL() << "no database error";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), std::string(kOracle7ServerNeedsCalls) + kOracle7Banner);
  }
  EXPECT_FALSE(session.Connected());
  // The refused connection is not left open on the server.
  EXPECT_EQ(Events(), (std::vector<std::string>{"LOGON SCOTT", "LOGOFF SCOTT"}));
}

TEST(Oracle7Rules, OnlyABannerThatNamesAnOracle7ServerSwitches) {
  const struct {
    const char* banner;
    bool oracle7;
  } cases[] = {
      {"Oracle7 Server Release 7.3.4.0.0 - Production", true},
      {"oracle7 server release 7.0.16", true},
      {"Personal Oracle Release 7.3.2.2.0", true},
      {"Oracle8 Enterprise Edition Release 8.0.6.0.0 - Production", false},
      {"Oracle9i Release 9.2.0.1.0 - Production", false},
      {"Oracle Database 10g Release 10.2.0.1.0 - Production", false},
      {"Oracle Database 19c Enterprise Edition Release 19.0.0.0.0 - Production", false},
      {"Oracle Database 21c Express Edition Release 21.0.0.0.0 - Production", false},
      {"Oracle Database 23ai Free Release 23.0.0.0.0 - Develop, Learn, and Run for Free", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(NamesOracle7Server(c.banner), c.oracle7) << c.banner;
}

TEST(Oracle7Rules, TheConnectStringNamesEachPartThatIsSet) {
  const struct {
    TLogonData data;
    const char* connect;
  } cases[] = {
      {{"scott", "tiger", "XE", TConnectAs::Normal}, "scott/tiger@XE"},
      {{"scott", "", "", TConnectAs::Normal}, "scott"},
      {{"scott", "tiger", "", TConnectAs::Normal}, "scott/tiger"},
      {{"scott", "", "XE", TConnectAs::Normal}, "scott@XE"},
      {{"sys", "pw", "XE", TConnectAs::SYSDBA}, "sys/pw@XE as SYSDBA"},
      {{"", "", "", TConnectAs::SYSOPER}, " as SYSOPER"},
      {{"\"a/b\"", "pw", "", TConnectAs::Normal}, "\"a/b\"/pw"},
  };
  for (const auto& c : cases) EXPECT_EQ(Oracle7ConnectString(c.data), c.connect);
}

}  // namespace
}  // namespace skelvane::oracle
