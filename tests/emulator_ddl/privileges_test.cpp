// What a user may do follows the system privileges it holds, directly, through
// PUBLIC or through the predefined roles; the SYS tables stay closed to
// those without a grant.
#include <string>
#include <vector>

#include "emu_fixture.h"

namespace {

class Privileges : public EmuTest {
 protected:
  // A user with exactly `grants` (a GRANT list, empty for none) and CREATE SESSION.
  std::unique_ptr<oraemu::Session> UserWith(const std::string& name, const std::string& grants) {
    ExecAs(*system_, "CREATE USER " + name + " IDENTIFIED BY pw");
    ExecAs(*system_, "GRANT CREATE SESSION TO " + name);
    if (!grants.empty()) ExecAs(*system_, "GRANT " + grants + " TO " + name);
    return db_->Logon(name, "pw", false).session;
  }

  // 0 when the statement was accepted, else the ORA number.
  int Outcome(oraemu::Session& s, const std::string& sql) {
    try {
      s.Execute(sql, {}, false);
      return 0;
    } catch (const oraemu::EOraError& e) {
      return e.code();
    }
  }
};

struct CreateCase {
  const char* sql;
  const char* privilege;  // what the statement needs
  bool resourceSuffices;  // RESOURCE (19c) holds it
};

const CreateCase kCreates[] = {
    {"CREATE TABLE T2 (A NUMBER)", "CREATE TABLE", true},
    {"CREATE SEQUENCE S2", "CREATE SEQUENCE", true},
    {"CREATE OR REPLACE PROCEDURE P2 IS BEGIN NULL; END;", "CREATE PROCEDURE", true},
    {"CREATE FUNCTION F2 RETURN NUMBER IS BEGIN RETURN 1; END;", "CREATE PROCEDURE", true},
    {"CREATE PACKAGE K2 IS END;", "CREATE PROCEDURE", true},
    {"CREATE VIEW V2 AS SELECT A FROM APP.T", "CREATE VIEW", false},
    {"CREATE SYNONYM Y2 FOR APP.T", "CREATE SYNONYM", false},
    {"CREATE PUBLIC SYNONYM Y2 FOR APP.T", "CREATE PUBLIC SYNONYM", false},
    {"CREATE DATABASE LINK L2 CONNECT TO U IDENTIFIED BY P USING 'H'", "CREATE DATABASE LINK", false},
};

TEST_F(Privileges, EveryCreationNeedsItsSystemPrivilege) {
  Exec("CREATE TABLE T (A NUMBER)");
  Exec("GRANT SELECT ON T TO PUBLIC");
  int n = 0;
  for (const CreateCase& c : kCreates) {
    SCOPED_TRACE(c.sql);
    const std::string suffix = std::to_string(++n);
    auto none = UserWith("NONE" + suffix, "");
    auto resource = UserWith("RES" + suffix, "RESOURCE");
    auto direct = UserWith("DIRECT" + suffix, c.privilege);
    EXPECT_EQ(Outcome(*none, c.sql), 1031);
    EXPECT_EQ(Outcome(*resource, c.sql), c.resourceSuffices ? 0 : 1031);
    EXPECT_EQ(Outcome(*direct, c.sql), 0);
  }
  // Triggers on the user's own table.
  auto tablesOnly = UserWith("TABLES_ONLY", "CREATE TABLE");
  EXPECT_EQ(Outcome(*tablesOnly, "CREATE TABLE T (A NUMBER)"), 0);
  EXPECT_EQ(Outcome(*tablesOnly, "CREATE TRIGGER G BEFORE INSERT ON T FOR EACH ROW BEGIN NULL; END;"), 1031);
  ExecAs(*system_, "GRANT CREATE TRIGGER TO TABLES_ONLY");
  EXPECT_EQ(Outcome(*tablesOnly, "CREATE TRIGGER G BEFORE INSERT ON T FOR EACH ROW BEGIN NULL; END;"), 0);
}

TEST_F(Privileges, RefusedCreationLeavesTheDictionaryAlone) {
  auto connectOnly = UserWith("PLAIN", "CONNECT");
  EXPECT_EQ(RefuseAs(*connectOnly, "CREATE TABLE T (A NUMBER)").code(), 1031);
  EXPECT_EQ(RefuseAs(*connectOnly, "CREATE SEQUENCE S").code(), 1031);
  // Syntax comes before privileges.
  EXPECT_EQ(RefuseAs(*connectOnly, "CREATE TABLE T (A NUMBER").code(), 907);
}

TEST_F(Privileges, PublicAnyAndRevokedPrivileges) {
  auto user = UserWith("U1", "CONNECT");
  EXPECT_EQ(Outcome(*user, "CREATE SEQUENCE S1"), 1031);
  ExecAs(*system_, "GRANT CREATE SEQUENCE TO PUBLIC");
  EXPECT_EQ(Outcome(*user, "CREATE SEQUENCE S1"), 0);
  ExecAs(*system_, "GRANT CREATE ANY TABLE TO U1");
  EXPECT_EQ(Outcome(*user, "CREATE TABLE T1 (A NUMBER)"), 0);
  ExecAs(*system_, "REVOKE CREATE ANY TABLE FROM U1");
  EXPECT_EQ(Outcome(*user, "CREATE TABLE T2 (A NUMBER)"), 1031);
  ExecAs(*system_, "GRANT RESOURCE TO U1");
  EXPECT_EQ(Outcome(*user, "CREATE TABLE T2 (A NUMBER)"), 0);
  ExecAs(*system_, "REVOKE RESOURCE FROM U1");
  EXPECT_EQ(Outcome(*user, "CREATE TABLE T3 (A NUMBER)"), 1031);
  ExecAs(*system_, "GRANT DBA TO U1");
  EXPECT_EQ(Outcome(*user, "CREATE PUBLIC DATABASE LINK L1 USING 'H'"), 0);
}

TEST_F(Privileges, GrantsOfSystemPrivilegesAreChecked) {
  struct Case {
    const char* sql;
    int code;
    const char* message;
  } cases[] = {
      {"GRANT NO_SUCH_ROLE TO APP", 1919, "ORA-01919: role 'NO_SUCH_ROLE' does not exist"},
      {"GRANT CREATE NOTHING TO APP", 990, "ORA-00990: missing or invalid privilege"},
      {"GRANT CONNECT TO NOBODY", 1917, "ORA-01917: user or role 'NOBODY' does not exist"},
      {"REVOKE CREATE JOB FROM APP", 1952, "ORA-01952: system privileges not granted to 'APP'"},
      {"REVOKE DBA FROM APP", 1951, "ORA-01951: ROLE 'DBA' not granted to 'APP'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    auto e = RefuseAs(*system_, c.sql);
    EXPECT_EQ(e.code(), c.code);
    EXPECT_STREQ(e.what(), c.message);
  }
  // Only a holder of GRANT ANY PRIVILEGE (DBA) passes privileges on.
  EXPECT_EQ(Refuse("GRANT CREATE TABLE TO OTHER").code(), 1031);
}

TEST_F(Privileges, LogonNeedsCreateSession) {
  ExecAs(*system_, "CREATE USER LONELY IDENTIFIED BY pw");
  try {
    db_->Logon("LONELY", "pw", false);
    ADD_FAILURE() << "logged on without CREATE SESSION";
  } catch (const oraemu::EOraError& e) {
    EXPECT_STREQ(e.what(), "ORA-01045: user LONELY lacks CREATE SESSION privilege; logon denied");
  }
  ExecAs(*system_, "GRANT CONNECT TO LONELY");
  EXPECT_NE(db_->Logon("LONELY", "pw", false).session, nullptr);
}

struct SysCase {
  const char* grants;  // besides CREATE SESSION; empty for none
  const char* table;
  int code;
};

const SysCase kSysReads[] = {
    {"", "OBJ$", 942},
    {"", "SYN$", 942},
    {"", "USER$", 942},
    {"SELECT ANY DICTIONARY", "OBJ$", 0},
    {"SELECT ANY DICTIONARY", "SYN$", 0},
    {"SELECT ANY DICTIONARY", "USER$", 1031},  // left out of the privilege from 12c on
    {"DBA", "USER$", 1031},
    {"RESOURCE", "OBJ$", 942},
};

TEST_F(Privileges, SysTablesNeedADictionaryPrivilegeOrADirectGrant) {
  int n = 0;
  for (const SysCase& c : kSysReads) {
    SCOPED_TRACE(std::string(c.grants) + " reading " + c.table);
    auto reader = UserWith("R" + std::to_string(++n), c.grants);
    EXPECT_EQ(Outcome(*reader, std::string("select count(*) from sys.") + c.table), c.code);
    EXPECT_EQ(Outcome(*reader, std::string("select count(*) from \"SYS\".\"") + c.table + "\""), c.code);
  }
  auto granted = UserWith("GRANTED", "");
  for (const char* table : {"OBJ$", "SYN$", "USER$"}) {
    ExecAs(*system_, std::string("GRANT SELECT ON SYS.") + table + " TO GRANTED");
    EXPECT_EQ(Outcome(*granted, std::string("select count(*) from sys.") + table), 0) << table;
  }
  // A name in a literal reads nothing.
  auto plain = UserWith("PLAIN", "");
  EXPECT_EQ(Outcome(*plain, "select 'sys.user$' from dual"), 0);
  EXPECT_EQ(Outcome(*plain, "select count(*) from sys.user$ where 1 = 0"), 942);
}

TEST_F(Privileges, NulByteIsAnInvalidCharacter) {
  const std::string cases[] = {
      std::string("select 1 from dual\0", 19),
      std::string("CREATE TABLE X\0 (A NUMBER)", 26),
      std::string("\0", 1),
  };
  for (const auto& sql : cases) {
    auto e = Refuse(sql);
    EXPECT_EQ(e.code(), 911);
    EXPECT_EQ(static_cast<size_t>(e.offset()), sql.find('\0'));
  }
}

}  // namespace
