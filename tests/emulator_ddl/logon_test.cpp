// Opening databases and logging on, with Oracle's refusals.
#include <cstdlib>

#include "emu_fixture.h"

namespace {

int OpenCode(const std::string& id) {
  try {
    oraemu::Database::Open(id);
  } catch (const oraemu::EOraError& e) {
    return e.code();
  }
  return 0;
}

int LogonCode(oraemu::Database& db, const std::string& user, const std::string& pw, bool external = false) {
  try {
    db.Logon(user, pw, external);
  } catch (const oraemu::EOraError& e) {
    return e.code();
  }
  return 0;
}

}  // namespace

using LogonTest = EmuTest;

TEST_F(LogonTest, ConnectIdentifiersThatNameNoDatabaseAreUnresolved) {
  EXPECT_EQ(OpenCode("T"), 0);
  EXPECT_EQ(OpenCode("t"), 0);  // identifiers ignore case
  EXPECT_EQ(OpenCode("XE"), 12154);
  EXPECT_EQ(OpenCode(""), 12154);
  EXPECT_EQ(OpenCode("../T"), 12154);
  EXPECT_EQ(OpenCode("/etc/passwd"), 12154);
  EXPECT_EQ(OpenCode(".hidden"), 12154);
  try {
    oraemu::Database::Open("XE");
  } catch (const oraemu::EOraError& e) {
    EXPECT_STREQ(e.what(), "ORA-12154: TNS:could not resolve the connect identifier specified");
  }
}

TEST_F(LogonTest, NamesFollowIdentifierRulesAndPasswordsAreExact) {
  EXPECT_EQ(LogonCode(*db_, "app", "secret"), 0);
  EXPECT_EQ(LogonCode(*db_, "\"APP\"", "secret"), 0);
  EXPECT_EQ(LogonCode(*db_, "\"app\"", "secret"), 1017);
  EXPECT_EQ(LogonCode(*db_, "APP", "SECRET"), 1017);
  EXPECT_EQ(LogonCode(*db_, "APP", ""), 1017);
  EXPECT_EQ(LogonCode(*db_, "NOBODY", "secret"), 1017);
  EXPECT_EQ(LogonCode(*db_, "PUBLIC", ""), 1017);
  try {
    db_->Logon("APP", "wrong", false);
  } catch (const oraemu::EOraError& e) {
    EXPECT_STREQ(e.what(), "ORA-01017: invalid username/password; logon denied");
  }
  auto s = db_->Logon("app", "secret", false);
  EXPECT_EQ(s.session->UserName(), "APP");
  EXPECT_FALSE(s.warning.has_value());
  EXPECT_NE(db_->VersionBanner().find("19c"), std::string::npos);
}

TEST_F(LogonTest, ExternalCredentialsOnlyForExternallyIdentifiedUsers) {
  ExecAs(*system_, "CREATE USER ops$jdoe IDENTIFIED EXTERNALLY");
  ExecAs(*system_, "GRANT CONNECT TO ops$jdoe");
  EXPECT_EQ(LogonCode(*db_, "jdoe", "", true), 0);
  EXPECT_EQ(LogonCode(*db_, "app", "", true), 1017);       // a password user
  EXPECT_EQ(LogonCode(*db_, "OPS$JDOE", "", false), 1017);  // no password to match
  EXPECT_EQ(db_->Logon("jdoe", "", true).session->UserName(), "OPS$JDOE");
}

TEST_F(LogonTest, ExpiringPasswordWarnsAndExpiredOneRefuses) {
  ExecAs(*system_, "ALTER USER app PASSWORD EXPIRE SOON");
  auto r = db_->Logon("APP", "secret", false);
  ASSERT_TRUE(r.warning.has_value());
  EXPECT_EQ(r.warning->code(), 28002);
  EXPECT_STREQ(r.warning->what(), "ORA-28002: the password will expire within 7 days");
  ASSERT_NE(r.session, nullptr);

  ExecAs(*system_, "ALTER USER app IDENTIFIED BY fresh");
  EXPECT_FALSE(db_->Logon("APP", "fresh", false).warning.has_value());

  ExecAs(*system_, "ALTER USER app PASSWORD EXPIRE");
  EXPECT_EQ(LogonCode(*db_, "APP", "fresh"), 28001);
}

TEST_F(LogonTest, OnlyPrivilegedUsersManageUsers) {
  EXPECT_EQ(Refuse("CREATE USER x IDENTIFIED BY y").code(), 1031);
  EXPECT_EQ(RefuseAs(*system_, "CREATE USER app IDENTIFIED BY y").code(), 1920);
  EXPECT_EQ(RefuseAs(*system_, "ALTER USER ghost IDENTIFIED BY y").code(), 1918);
  EXPECT_EQ(Refuse("ALTER USER other IDENTIFIED BY y").code(), 1031);
  Exec("ALTER USER app IDENTIFIED BY mine");  // one's own password
  EXPECT_EQ(LogonCode(*db_, "APP", "mine"), 0);
}
