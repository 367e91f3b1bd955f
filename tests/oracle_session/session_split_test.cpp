// Splitting a connect string typed as the user name.
#include <gtest/gtest.h>

#include "oracle/session.h"

namespace skelvane::oracle {
namespace {

constexpr TConnectAs kNormal = TConnectAs::Normal;
constexpr TConnectAs kSysdba = TConnectAs::SYSDBA;
constexpr TConnectAs kSysoper = TConnectAs::SYSOPER;

TEST(SplitLogonTest, ConnectStringsAndTheFieldsTheyOverwrite) {
  const struct {
    TLogonData typed;     // user name as typed, then the password, database and mode fields
    TLogonData expected;
  } cases[] = {
      // A full connect string overwrites the fields it names.
      {{"scott/tiger@XE", "", "", kNormal}, {"scott", "tiger", "XE", kNormal}},
      {{"scott/tiger@XE", "field", "ORCL", kNormal}, {"scott", "tiger", "XE", kNormal}},
      // The first "@" ends the password; later ones belong to the database.
      {{"scott/t/ig@XE@x", "", "", kNormal}, {"scott", "t/ig", "XE@x", kNormal}},
      {{"scott@XE", "pw", "", kNormal}, {"scott", "pw", "XE", kNormal}},
      // A role in any case and with tabs; a field the string does not name stays.
      {{"sys as sysdba", "pw", "XE", kNormal}, {"sys", "pw", "XE", kSysdba}},
      {{"Sys/pw@XE\tAs\tSysOper ", "", "", kNormal}, {"Sys", "pw", "XE", kSysoper}},
      {{"scott AS nobody", "", "", kNormal}, {"scott", "", "", kNormal}},
      // "AS" glued to the name is no role.
      {{"scottas sysdba", "", "", kNormal}, {"scottas sysdba", "", "", kNormal}},
      // Quotes protect "/" and "@" and are kept.
      {{"\"we/ird@name\"/pw@db", "", "", kNormal}, {"\"we/ird@name\"", "pw", "db", kNormal}},
      // A plain name is no connect string: every field stays, the mode too.
      {{"scott", "tiger", "XE", kNormal}, {"scott", "tiger", "XE", kNormal}},
      {{"scott", "", "", kSysoper}, {"scott", "", "", kSysoper}},
      // A lone "/" asks for external credentials.
      {{"/", "stale", "XE", kSysdba}, {"", "", "XE", kNormal}},
      {{"/ as sysdba", "", "XE", kNormal}, {"", "", "XE", kSysdba}},
  };
  for (const auto& c : cases) {
    const TLogonData d = SplitLogon(c.typed);
    SCOPED_TRACE(c.typed.Username);
    EXPECT_EQ(d.Username, c.expected.Username);
    EXPECT_EQ(d.Password, c.expected.Password);
    EXPECT_EQ(d.Database, c.expected.Database);
    EXPECT_EQ(d.ConnectAs, c.expected.ConnectAs);
  }
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
