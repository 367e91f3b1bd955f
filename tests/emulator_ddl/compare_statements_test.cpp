// The statements a schema update sends, held to a 19c server's rules: what
// it refuses (number, text, offset, nothing changed) and what the dictionary
// views show after what it accepts.
#include <regex>

#include "emu_fixture.h"

namespace {

struct Refusal {
  const char* sql;
  int code;
  const char* at;  // the offset is where this text first occurs; "$": the end
  const char* message = nullptr;
};

class CompareStatements : public EmuTest {
 protected:
  void SetUp() override {
    EmuTest::SetUp();
    Exec("create table T (A NUMBER, B VARCHAR2(10), D DATE)");
  }

  void Check(const Refusal& c) {
    SCOPED_TRACE(c.sql);
    oraemu::EOraError e = Refuse(c.sql);
    EXPECT_EQ(e.code(), c.code) << e.what();
    const std::string sql = c.sql;
    const size_t at = std::string(c.at) == "$" ? sql.size() : sql.find(c.at);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(e.offset(), static_cast<int>(at)) << e.what();
    if (c.message) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }

  // A query's rows as the session sees them, columns joined by "|".
  std::vector<std::string> Query(const std::string& sql) { return QueryAs(*app_, sql); }
  std::vector<std::string> QueryAs(oraemu::Session& s, const std::string& sql) {
    std::vector<std::string> out;
    oraemu::Result r;
    try {
      r = s.Execute(sql, {}, false);
    } catch (const oraemu::EOraError& e) {
      ADD_FAILURE() << sql << "\n  refused: " << e.what();
      return out;
    }
    for (const auto& row : r.rows) {
      std::string line;
      for (size_t i = 0; i < row.size(); ++i) line += (i ? "|" : "") + (row[i].IsNull() ? "~" : row[i].text);
      out.push_back(line);
    }
    return out;
  }
};

}  // namespace

TEST_F(CompareStatements, CheckConditionsAndDefaultsAreRefusedWhereOracleStops) {
  for (const Refusal& c : std::vector<Refusal>{
           {"ALTER TABLE T ADD ( CONSTRAINT K1 CHECK (Z > 0))", 904, "Z >", "ORA-00904: \"Z\": invalid identifier"},
           {"ALTER TABLE T ADD ( CONSTRAINT K1 CHECK (A >))", 936, "))", "ORA-00936: missing expression"},
           {"ALTER TABLE T ADD ( CONSTRAINT K1 CHECK (A 5))", 920, "5))", "ORA-00920: invalid relational operator"},
           {"ALTER TABLE T ADD ( CONSTRAINT K1 CHECK (A))", 920, "))"},
           {"ALTER TABLE T ADD ( CONSTRAINT K1 CHECK (A > 0 AND))", 936, "))"},
           {"ALTER TABLE T ADD ( CONSTRAINT K1 CHECK (A + 1 OR B = 'x'))", 920, "OR"},
           {"ALTER TABLE T ADD ( CONSTRAINT K1 CHECK (D < SYSDATE))", 2436, "SYSDATE",
            "ORA-02436: date or system variable wrongly specified in CHECK constraint"},
           {"ALTER TABLE T ADD ( CONSTRAINT K1 CHECK (B = user))", 2436, "user"},
           {"ALTER TABLE T ADD ( CONSTRAINT K1 CHECK (A IN (SELECT 1 FROM DUAL)))", 2251, "SELECT",
            "ORA-02251: subquery not allowed here"},
           {"ALTER TABLE T ADD ( CONSTRAINT K1 CHECK (NOPE(A) > 0))", 904, "NOPE", "ORA-00904: \"NOPE\": invalid identifier"},
           {"ALTER TABLE T ADD ( CONSTRAINT K1 CHECK (A IS 0))", 908, "0))"},
           {"ALTER TABLE T ADD ( CONSTRAINT K1 CHECK (A > 0)", 907, "$"},
           {"ALTER TABLE T ADD (E NUMBER DEFAULT A + 1)", 984, "A + 1", "ORA-00984: column not allowed here"},
           {"ALTER TABLE T ADD (E NUMBER DEFAULT 1 +)", 936, ")"},
           {"ALTER TABLE T ADD (E NUMBER DEFAULT)", 936, ")"},
           {"ALTER TABLE T ADD (E NUMBER DEFAULT 1 2)", 907, "2)"},
           {"create table E (X NUMBER CHECK (Y > 0), Y NUMBER)", 2438, "Y > 0"},
           {"create table E (X NUMBER, CONSTRAINT E_K CHECK (X > (1))", 907, "$"},
       })
    Check(c);
}

TEST_F(CompareStatements, ValidConditionsAndDefaultsAreKeptAsWritten) {
  const std::vector<std::string> checks = {
      "A BETWEEN 1 AND 10 OR A IS NULL", "B IN ('x', 'y')", "UPPER(B) = B", "(A + 1) * 2 > 0", "NOT (A < 0)",
      "B LIKE 'a%' ESCAPE '\\'", "CASE WHEN A > 0 THEN 1 ELSE 0 END = 1", "D > DATE '2000-01-01'",
      "\"A\" > 0 AND (B IS NOT NULL OR A NOT IN (1, 2))", "\"A\" IS NOT NULL"};
  for (size_t i = 0; i < checks.size(); ++i)
    Exec("ALTER TABLE T ADD ( CONSTRAINT K" + std::to_string(i) + " CHECK (" + checks[i] + "))");
  std::vector<std::string> stored;
  for (const auto& row : Query("select search_condition from user_constraints order by constraint_name"))
    stored.push_back(row);
  std::vector<std::string> sorted = checks;  // K0..K9 sort as written
  EXPECT_EQ(stored, sorted);
  // A column named twice is one constraint column.
  EXPECT_EQ(Query("select column_name, nvl(to_char(position), '-') from user_cons_columns where constraint_name = 'K0'"),
            std::vector<std::string>{"A|-"});

  Exec("ALTER TABLE APP.T ADD (E DATE DEFAULT SYSDATE, F VARCHAR2(30) DEFAULT USER NOT NULL, "
       "G VARCHAR2(9) DEFAULT 'x' || 'y', H NUMBER DEFAULT -1, I NUMBER DEFAULT (1 + 2))");
  EXPECT_EQ(Query("select column_name, data_default, nullable from user_tab_columns where column_name > 'D' "
                  "order by column_id"),
            (std::vector<std::string>{"E|SYSDATE|Y", "F|USER |N", "G|'x' || 'y'|Y", "H|-1|Y", "I|(1 + 2)|Y"}));
}

TEST_F(CompareStatements, SystemMadeConstraintNamesDifferBetweenDatabases) {
  oraemu::Database::Create("U", "manager");
  auto other = oraemu::Database::Open("U");
  auto otherSystem = other->Logon("system", "manager", false).session;
  const std::string ddl = "CREATE TABLE SYSTEM.N (A NUMBER NOT NULL)";
  ExecAs(*system_, ddl);
  ExecAs(*otherSystem, ddl);
  const std::string names = "select constraint_name from user_constraints where table_name = 'N'";
  auto here = QueryAs(*system_, names);
  auto there = QueryAs(*otherSystem, names);
  ASSERT_EQ(here.size(), 1u);
  ASSERT_EQ(there.size(), 1u);
  EXPECT_NE(here, there);
  const std::regex shape("SYS_C[0-9]{7}");
  EXPECT_TRUE(std::regex_match(here[0], shape)) << here[0];
  EXPECT_TRUE(std::regex_match(there[0], shape)) << there[0];
}

TEST_F(CompareStatements, ExpressionAndDescendingIndexesShowTheirHiddenColumns) {
  Exec("CREATE  INDEX T_UP ON T(UPPER(b))");
  Exec("CREATE UNIQUE INDEX T_DESC ON T(A DESC, D)");
  EXPECT_EQ(Query("select index_name, column_name, column_position, descend from user_ind_columns "
                  "order by index_name, column_position"),
            (std::vector<std::string>{"T_DESC|SYS_NC00005$|1|DESC", "T_DESC|D|2|ASC", "T_UP|SYS_NC00004$|1|ASC"}));
  EXPECT_EQ(Query("select index_name, column_expression, column_position from user_ind_expressions "
                  "order by index_name"),
            (std::vector<std::string>{"T_DESC|\"A\"|1", "T_UP|UPPER(\"B\")|1"}));
  EXPECT_EQ(Query("select index_name, index_type, uniqueness from user_indexes order by index_name"),
            (std::vector<std::string>{"T_DESC|FUNCTION-BASED NORMAL|UNIQUE", "T_UP|FUNCTION-BASED NORMAL|NONUNIQUE"}));
  EXPECT_EQ(Query("select column_name, nvl(to_char(column_id), '-'), hidden_column, virtual_column, data_type, "
                  "data_length, internal_column_id, data_default from user_tab_cols where table_name = 'T' "
                  "order by internal_column_id"),
            (std::vector<std::string>{"A|1|NO|NO|NUMBER|22|1|~", "B|2|NO|NO|VARCHAR2|10|2|~", "D|3|NO|NO|DATE|7|3|~",
                                      "SYS_NC00004$|-|YES|YES|VARCHAR2|10|4|UPPER(\"B\")",
                                      "SYS_NC00005$|-|YES|YES|NUMBER|22|5|\"A\""}));
  EXPECT_EQ(Query("select column_name from user_tab_columns where table_name = 'T' order by column_id"),
            (std::vector<std::string>{"A", "B", "D"}));
  // The column query of the compare lists the hidden columns after the declared ones.
  EXPECT_EQ(Query("select UTC.column_name, UTC.hidden_column from user_tab_cols UTC, USER_COL_COMMENTS UCC "
                  "where UTC.table_name = 'T' and UTC.COLUMN_NAME = UCC.COLUMN_NAME(+) "
                  "and UTC.TABLE_NAME = UCC.TABLE_NAME(+) order by UTC.column_id"),
            (std::vector<std::string>{"A|NO", "B|NO", "D|NO", "SYS_NC00004$|YES", "SYS_NC00005$|YES"}));

  for (const Refusal& c : std::vector<Refusal>{
           {"CREATE  INDEX T_UP2 ON T(upper(B))", 1408, "upper", "ORA-01408: such column list already indexed"},
           {"CREATE  INDEX T_X ON T(UPPER(NOPE))", 904, "NOPE", "ORA-00904: \"NOPE\": invalid identifier"},
           {"CREATE  INDEX T_X ON T(D + SYSDATE)", 1743, "SYSDATE", "ORA-01743: only pure functions can be indexed"},
           {"CREATE  INDEX T_X ON T()", 936, ")"},
           {"CREATE  INDEX T_X ON T(A, A)", 957, "A)"},
           {"ALTER TABLE T ADD (SYS_NC00004$ NUMBER)", 1430, "SYS_NC"},
       })
    Check(c);

  Exec("DROP INDEX T_UP");
  EXPECT_EQ(Query("select column_name from user_tab_cols where table_name = 'T' and hidden_column = 'YES'"),
            std::vector<std::string>{"SYS_NC00005$"});
  EXPECT_TRUE(Query("select index_name from user_ind_expressions where index_name = 'T_UP'").empty());
  // The next expression takes the next internal number.
  Exec("CREATE  INDEX T_LOW ON T(LOWER(B))");
  EXPECT_EQ(Query("select column_name from user_ind_columns where index_name = 'T_LOW'"),
            std::vector<std::string>{"SYS_NC00006$"});
}

TEST_F(CompareStatements, SequencesWithEveryClause) {
  Exec("CREATE SEQUENCE APP.S1 START WITH 21 NOMAXVALUE MINVALUE 1 NOCYCLE NOORDER CACHE 20");
  Exec("CREATE SEQUENCE APP.S2 START WITH 5 MAXVALUE 100 MINVALUE 1 INCREMENT BY -1 CYCLE ORDER NOCACHE");
  EXPECT_EQ(Query("select sequence_name, min_value, max_value, increment_by, cycle_flag, order_flag, cache_size, "
                  "last_number from user_sequences order by sequence_name"),
            (std::vector<std::string>{"S1|1|9999999999999999999999999999|1|N|N|20|21", "S2|1|100|-1|Y|Y|0|5"}));
  for (const Refusal& c : std::vector<Refusal>{
           {"CREATE SEQUENCE APP.S1 START WITH 1 NOMAXVALUE MINVALUE 1 NOCYCLE NOORDER NOCACHE", 955, "APP.S1",
            "ORA-00955: name is already used by an existing object"},
           {"CREATE SEQUENCE APP.S3 START WITH 0 NOMAXVALUE MINVALUE 1 NOCYCLE NOORDER NOCACHE", 4006, "APP.S3"},
           {"CREATE SEQUENCE APP.S3 START WITH 500 MAXVALUE 100 MINVALUE 1 NOCYCLE NOORDER NOCACHE", 4008, "APP.S3"},
           {"CREATE SEQUENCE APP.S3 START WITH 1 MAXVALUE 99999999999999999999999999999 MINVALUE 1 NOCYCLE NOORDER "
            "NOCACHE",
            4003, "999", "ORA-04003: sequence parameter MAXVALUE exceeds maximum size allowed (28 digits)"},
           {"CREATE SEQUENCE APP.S3 START WITH 1 MAXVALUE 1E28 MINVALUE 1 NOCYCLE NOORDER CACHE 20", 4003, "1E28"},
           {"CREATE SEQUENCE APP.S3 START WITH 1 MAXVALUE 5 MINVALUE 10 NOCYCLE NOORDER NOCACHE", 4004, "APP.S3"},
           {"CREATE SEQUENCE APP.S3 START WITH 1 NOMAXVALUE MINVALUE  NOCYCLE NOORDER CACHE ", 1722, "NOCYCLE"},
       })
    Check(c);
}

TEST_F(CompareStatements, GrantsRefuseRepeatsAndRevokesCascade) {
  ExecAs(*system_, "CREATE USER third IDENTIFIED BY pw");
  ExecAs(*system_, "GRANT CONNECT TO third");
  Exec("GRANT SELECT,INSERT ON T TO OTHER");
  for (const Refusal& c : std::vector<Refusal>{
           {"GRANT SELECT,UPDATE,SELECT ON T TO OTHER", 1711, "SELECT ON", "ORA-01711: duplicate privilege listed"},
           {"REVOKE DELETE,SELECT ON T FROM OTHER", 1927, "OTHER", "ORA-01927: cannot REVOKE privileges you did not grant"},
           {"REVOKE SELECT ON T FROM NOBODY", 1917, "NOBODY"},
           {"GRANT SELECT ON T TO NOBODY", 1917, "NOBODY", "ORA-01917: user or role 'NOBODY' does not exist"},
       })
    Check(c);
  Exec("REVOKE INSERT ON T FROM OTHER");
  EXPECT_EQ(Query("select grantee, select_priv, insert_priv from table_privileges where table_name = 'T'"),
            std::vector<std::string>{"OTHER|Y|N"});

  // What OTHER passed on with the grant option goes when OTHER loses it,
  // unless THIRD holds it from the owner as well.
  Exec("GRANT SELECT,UPDATE ON T TO OTHER WITH GRANT OPTION");
  auto other = db_->Logon("OTHER", "pw", false).session;
  ExecAs(*other, "GRANT SELECT,UPDATE ON APP.T TO THIRD");
  Exec("GRANT UPDATE ON T TO THIRD");
  Exec("REVOKE SELECT,UPDATE ON T FROM OTHER");
  EXPECT_EQ(Rows("SELECT u.name, g.privilege FROM grants g JOIN users u ON u.user_id = g.grantee_id "
                 "ORDER BY u.name, g.privilege"),
            std::vector<std::string>{"THIRD|UPDATE"});
}

TEST_F(CompareStatements, ViewsStoreTheirStarsExpandedAndReadTheDictionary) {
  Exec("CREATE OR REPLACE VIEW V AS select * from T");
  Exec("CREATE OR REPLACE VIEW V2 (X, Y, Z) AS select t.* from T t where A > 0");
  Exec("CREATE OR REPLACE VIEW VD AS select * from dual");
  Exec("CREATE OR REPLACE VIEW VS AS select dummy from sys.dual");
  EXPECT_EQ(Query("select view_name, text, text_length from user_views order by view_name"),
            (std::vector<std::string>{"V|select \"A\",\"B\",\"D\" from T|25",
                                      "V2|select t.\"A\",t.\"B\",t.\"D\" from T t where A > 0|45",
                                      "VD|select \"DUMMY\" from dual|24", "VS|select dummy from sys.dual|26"}));
  EXPECT_EQ(Query("select table_name, column_name, data_type, data_length from user_tab_columns "
                  "where table_name like 'V%' order by table_name, column_id"),
            (std::vector<std::string>{"V|A|NUMBER|22", "V|B|VARCHAR2|10", "V|D|DATE|7", "V2|X|NUMBER|22",
                                      "V2|Y|VARCHAR2|10", "V2|Z|DATE|7", "VD|DUMMY|VARCHAR2|1",
                                      "VS|DUMMY|VARCHAR2|1"}));
  EXPECT_EQ(Query("select * from VD"), std::vector<std::string>{"X"});
  Exec("CREATE OR REPLACE VIEW VE (N, M) AS select sysdate, a + 1 from t");
  EXPECT_EQ(Query("select column_name, data_type from user_tab_columns where table_name = 'VE' order by column_id"),
            (std::vector<std::string>{"N|DATE", "M|NUMBER"}));
  Check({"CREATE OR REPLACE VIEW V3 AS select * from nowhere", 942, "nowhere"});
}

TEST_F(CompareStatements, NewDatabaseHoldsThousandsOfPublicSynonymsForSystemObjects) {
  const auto counts = Rows("SELECT count(*), count(DISTINCT o.name), min(s.target_owner), max(s.target_owner), "
                           "sum(s.target_name = o.name) FROM objects o JOIN synonyms s ON s.obj_id = o.obj_id "
                           "WHERE o.owner_id = 1");
  ASSERT_EQ(counts.size(), 1u);
  const int n = std::stoi(counts[0]);
  EXPECT_GT(n, 2000);
  EXPECT_EQ(counts[0], std::to_string(n) + "|" + std::to_string(n) + "|SYS|SYS|" + std::to_string(n));
  for (const char* name : {"DUAL", "USER_TABLES", "ALL_OBJECTS", "DBA_USERS", "V$SESSION", "DBMS_JOB"})
    EXPECT_EQ(Rows(std::string("SELECT count(*) FROM objects WHERE owner_id = 1 AND name = '") + name + "'"),
              std::vector<std::string>{"1"}) << name;
  // The dictionary still answers through them, and their names are taken.
  EXPECT_EQ(Query("select dummy from dual"), std::vector<std::string>{"X"});
  EXPECT_EQ(Query("select count(*) from user_tables"), std::vector<std::string>{"1"});
  oraemu::EOraError e = RefuseAs(*system_, "CREATE PUBLIC SYNONYM DUAL FOR APP.T");
  EXPECT_EQ(e.code(), 955);
}
