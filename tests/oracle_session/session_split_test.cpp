// Splitting a connect string typed as the user name.
#include <gtest/gtest.h>

#include "oracle/session.h"

namespace skelvane::oracle {
namespace {

TLogonData Split(const std::string& user, const std::string& password = "",
                 const std::string& database = "") {
  return SplitLogon({user, password, database, TConnectAs::Normal});
}

TEST(SplitLogonTest, FullConnectStringOverwritesTheFields) {
  TLogonData d = Split("scott/tiger@XE");
  EXPECT_EQ(d.Username, "scott");
  EXPECT_EQ(d.Password, "tiger");
  EXPECT_EQ(d.Database, "XE");
  EXPECT_EQ(d.ConnectAs, TConnectAs::Normal);

  d = Split("scott/tiger@XE", "field", "ORCL");
  EXPECT_EQ(d.Password, "tiger");
  EXPECT_EQ(d.Database, "XE");

  // The first "@" ends the password; later ones belong to the database.
  d = Split("scott/t/ig@XE@x");
  EXPECT_EQ(d.Password, "t/ig");
  EXPECT_EQ(d.Database, "XE@x");

  d = Split("scott@XE", "pw");
  EXPECT_EQ(d.Username, "scott");
  EXPECT_EQ(d.Password, "pw");
  EXPECT_EQ(d.Database, "XE");
}

TEST(SplitLogonTest, RoleSuffixInAnyCaseSetsConnectAs) {
  TLogonData d = Split("sys as sysdba", "pw", "XE");
  EXPECT_EQ(d.Username, "sys");
  EXPECT_EQ(d.Password, "pw");  // not named by the string: the field stays
  EXPECT_EQ(d.Database, "XE");
  EXPECT_EQ(d.ConnectAs, TConnectAs::SYSDBA);

  d = Split("Sys/pw@XE\tAs\tSysOper ");
  EXPECT_EQ(d.Username, "Sys");
  EXPECT_EQ(d.Database, "XE");
  EXPECT_EQ(d.ConnectAs, TConnectAs::SYSOPER);

  d = Split("scott AS nobody");
  EXPECT_EQ(d.Username, "scott");
  EXPECT_EQ(d.ConnectAs, TConnectAs::Normal);

  // "AS" glued to the name is no role.
  d = Split("scottas sysdba");
  EXPECT_EQ(d.Username, "scottas sysdba");
  EXPECT_EQ(d.ConnectAs, TConnectAs::Normal);
}

TEST(SplitLogonTest, QuotesProtectSlashAndAtAndAreKept) {
  TLogonData d = Split("\"we/ird@name\"/pw@db");
  EXPECT_EQ(d.Username, "\"we/ird@name\"");
  EXPECT_EQ(d.Password, "pw");
  EXPECT_EQ(d.Database, "db");
}

TEST(SplitLogonTest, PlainNameAndLoneSlash) {
  TLogonData d = Split("scott", "tiger", "XE");
  EXPECT_EQ(d.Username, "scott");
  EXPECT_EQ(d.Password, "tiger");
  EXPECT_EQ(d.Database, "XE");

  d = SplitLogon({"/", "stale", "XE", TConnectAs::SYSDBA});
  EXPECT_EQ(d.Username, "");
  EXPECT_EQ(d.Password, "");
  EXPECT_EQ(d.Database, "XE");
  EXPECT_EQ(d.ConnectAs, TConnectAs::Normal);

  d = Split("/ as sysdba", "", "XE");
  EXPECT_EQ(d.Username, "");
  EXPECT_EQ(d.ConnectAs, TConnectAs::SYSDBA);

  // Not a connect string: ConnectAs set by the caller stays.
  d = SplitLogon({"scott", "", "", TConnectAs::SYSOPER});
  EXPECT_EQ(d.ConnectAs, TConnectAs::SYSOPER);
}

}  // namespace
}  // namespace skelvane::oracle

namespace skelvane::oracle {
namespace {

TEST(OracleErrorTest, MessageIsCutAt1023CharactersAndKeepsTheNumber) {
  const std::string text = "ORA-01017: " + std::string(2000, 'x');
  const EOracleError e(text, 1017);
  EXPECT_EQ(e.Message(), text.substr(0, 1023));
  EXPECT_STREQ(e.what(), text.substr(0, 1023).c_str());
  EXPECT_EQ(e.ErrorCode(), 1017);
  EXPECT_EQ(EOracleError("short", 1).Message(), "short");
}

}  // namespace
}  // namespace skelvane::oracle
