// Each accepted statement shape and the dictionary rows it leaves, as
// Oracle's dictionary views would show them.
#include <cstdio>

#include "emu_fixture.h"

class DdlShapes : public EmuTest {
 protected:
  // The system name of the k-th constraint made after firstConstraint_ was read.
  std::string SystemName(int k) const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "SYS_C%07lld", static_cast<long long>(firstConstraint_ + k));
    return buf;
  }
  long long firstConstraint_ = 0;
};

namespace {

const char* kColumns =
    "SELECT c.name, c.data_type, c.data_length, c.data_precision, c.data_scale, c.nullable, c.char_used, "
    "c.char_length FROM columns c JOIN objects o ON o.obj_id = c.obj_id WHERE o.name = '";

}  // namespace

TEST_F(DdlShapes, ColumnTypesAreStoredAsTheColumnDictionaryShowsThem) {
  Exec("create table t (a varchar2(20), b varchar2(20 char), c nvarchar2(10), d char, e nchar(3), "
       "f number, g number(10), h number(12,2), i integer, j float, k float(10), l date, m clob, n blob, "
       "o long, p raw(16), q timestamp, r timestamp(3) with time zone, s interval day to second, "
       "u number(*,0), v decimal(5))");
  EXPECT_EQ(Rows(std::string(kColumns) + "T' ORDER BY c.column_id"),
            (std::vector<std::string>{
                "A|VARCHAR2|20|~|~|Y|B|20", "B|VARCHAR2|20|~|~|Y|C|20", "C|NVARCHAR2|20|~|~|Y|C|10",
                "D|CHAR|1|~|~|Y|B|1", "E|NCHAR|6|~|~|Y|C|3", "F|NUMBER|22|~|~|Y|~|0", "G|NUMBER|22|10|~|Y|~|0",
                "H|NUMBER|22|12|2|Y|~|0", "I|NUMBER|22|~|0|Y|~|0", "J|FLOAT|22|126|~|Y|~|0",
                "K|FLOAT|22|10|~|Y|~|0", "L|DATE|7|~|~|Y|~|0", "M|CLOB|4000|~|~|Y|~|0", "N|BLOB|4000|~|~|Y|~|0",
                "O|LONG|0|~|~|Y|~|0", "P|RAW|16|~|~|Y|~|0", "Q|TIMESTAMP(6)|11|~|6|Y|~|0",
                "R|TIMESTAMP(3) WITH TIME ZONE|13|~|3|Y|~|0", "S|INTERVAL DAY(2) TO SECOND(6)|11|2|6|Y|~|0",
                "U|NUMBER|22|~|0|Y|~|0", "V|NUMBER|22|5|0|Y|~|0"}));
  EXPECT_EQ(Exec("create table t2 (x number)").sqlFnCode, 1);
}

TEST_F(DdlShapes, DefaultsKeepTheirTextAndNotNullIsASystemNamedCheck) {
  const std::string sql =
      "CREATE TABLE T (ID NUMBER(10) DEFAULT 0 NOT NULL, NOTE VARCHAR2(40) DEFAULT 'a'\n   || 'b', "
      "D DATE DEFAULT sysdate)";
  firstConstraint_ = std::stoll(Row("SELECT value FROM properties WHERE name = 'next_con_id'"));
  firstConstraint_ = std::stoll(Row("SELECT value FROM properties WHERE name = 'next_con_id'"));
  Exec(sql);
  EXPECT_EQ(Rows("SELECT name, default_text, nullable FROM columns ORDER BY column_id"),
            (std::vector<std::string>{"ID|0 |N", "NOTE|'a'\n   || 'b'|Y", "D|sysdate|Y"}));
  EXPECT_EQ(Row("SELECT c.name, c.type, c.search_condition, c.generated, cc.column_name, "
                "coalesce(cc.position, 'null') FROM constraints c JOIN constraint_columns cc ON cc.con_id = c.con_id"),
            SystemName(1) + "|C|\"ID\" IS NOT NULL|GENERATED NAME|ID|null");
}

TEST_F(DdlShapes, SystemNamesSkipNamesUsersHaveTaken) {
  firstConstraint_ = std::stoll(Row("SELECT value FROM properties WHERE name = 'next_con_id'"));
  Exec("CREATE TABLE G (A NUMBER, CONSTRAINT " + SystemName(2) + " CHECK (A > 0))");
  Exec("ALTER TABLE G ADD (B NUMBER NOT NULL, C NUMBER PRIMARY KEY)");
  EXPECT_EQ(Rows("SELECT c.name, c.type, c.generated, coalesce(o.name, '-') FROM constraints c "
                 "LEFT JOIN objects o ON o.obj_id = c.index_obj_id ORDER BY c.con_id"),
            (std::vector<std::string>{SystemName(2) + "|C|USER NAME|-", SystemName(3) + "|C|GENERATED NAME|-",
                                      SystemName(4) + "|P|GENERATED NAME|" + SystemName(4)}));
}

TEST_F(DdlShapes, IdentifierRules) {
  Exec("create table app.\"Mixed Case\" (\"lower\" number, plain number, \"SELECT\" number)");
  Exec("CREATE TABLE Other_Name (x number)");
  EXPECT_EQ(Rows("SELECT name FROM objects WHERE type = 2 AND owner_id <> 0 ORDER BY obj_id"),
            (std::vector<std::string>{"Mixed Case", "OTHER_NAME"}));
  EXPECT_EQ(Rows("SELECT name FROM columns ORDER BY obj_id, column_id"),
            (std::vector<std::string>{"lower", "PLAIN", "SELECT", "X"}));
  // Another schema needs a privileged user; SYSTEM may.
  ExecAs(*system_, "create table app.by_system (x number)");
  EXPECT_EQ(Row("SELECT u.name FROM objects o JOIN users u ON u.user_id = o.owner_id WHERE o.name = 'BY_SYSTEM'"),
            "APP");
}

TEST_F(DdlShapes, AlterTableAddsColumnsAndKeysWithTheirIndexes) {
  Exec("CREATE TABLE P (A NUMBER, B NUMBER, C VARCHAR2(5))");
  EXPECT_EQ(Exec("ALTER TABLE APP.P ADD (D DATE DEFAULT sysdate NOT NULL, E NUMBER(3))").sqlFnCode, 26);
  EXPECT_EQ(Rows("SELECT name, column_id FROM columns ORDER BY column_id"),
            (std::vector<std::string>{"A|1", "B|2", "C|3", "D|4", "E|5"}));

  // A primary key makes its own unique index, named like it, and NOT NULL columns.
  Exec("ALTER TABLE P ADD ( CONSTRAINT P_PK PRIMARY KEY (A,B))");
  EXPECT_EQ(Row("SELECT o.name, i.uniqueness, group_concat(ic.column_name) FROM indexes i JOIN objects o ON "
                "o.obj_id = i.obj_id JOIN index_columns ic ON ic.index_obj_id = i.obj_id"),
            "P_PK|UNIQUE|A,B");
  EXPECT_EQ(Row("SELECT group_concat(nullable, '') FROM columns WHERE name IN ('A','B')"), "NN");

  // A unique key over an already indexed column list uses that index.
  Exec("CREATE INDEX P_C_IX ON P(C)");
  Exec("ALTER TABLE P ADD ( CONSTRAINT P_C_UK UNIQUE (C))");
  EXPECT_EQ(Row("SELECT o.name FROM constraints c JOIN objects o ON o.obj_id = c.index_obj_id WHERE c.name = 'P_C_UK'"),
            "P_C_IX");

  // A foreign key over two columns; its columns pair with the key's positions.
  Exec("CREATE TABLE K (X NUMBER, Y NUMBER)");
  Exec("ALTER TABLE K ADD ( CONSTRAINT K_FK FOREIGN KEY (Y,X) REFERENCES P (B,A))");
  EXPECT_EQ(Row("SELECT c.type, r.name, c.delete_rule, group_concat(cc.column_name || cc.position) FROM constraints c "
                "JOIN constraints r ON r.con_id = c.r_con_id JOIN constraint_columns cc ON cc.con_id = c.con_id "
                "WHERE c.name = 'K_FK' ORDER BY cc.position"),
            "R|P_PK|NO ACTION|X1,Y2");

  Exec("ALTER TABLE K ADD ( CONSTRAINT K_CK CHECK (X > 0 AND \"Y\" < X))");
  EXPECT_EQ(Rows("SELECT c.search_condition, cc.column_name FROM constraints c JOIN constraint_columns cc "
                 "ON cc.con_id = c.con_id WHERE c.name = 'K_CK' ORDER BY cc.column_name"),
            (std::vector<std::string>{"X > 0 AND \"Y\" < X|X", "X > 0 AND \"Y\" < X|Y"}));
}

TEST_F(DdlShapes, CommentsIndexesAndDropIndex) {
  Exec("CREATE TABLE T (A NUMBER, B NUMBER)");
  EXPECT_EQ(Exec("COMMENT ON TABLE T IS 'It''s\r\nmine'").sqlFnCode, 38);
  Exec("COMMENT ON COLUMN app.T.B IS 'bee'");
  EXPECT_EQ(Row("SELECT comments FROM tables"), "It's\r\nmine");
  EXPECT_EQ(Rows("SELECT name, coalesce(comments, '-') FROM columns ORDER BY column_id"),
            (std::vector<std::string>{"A|-", "B|bee"}));
  Exec("COMMENT ON COLUMN T.B IS ''");  // the empty text is NULL
  EXPECT_EQ(Row("SELECT coalesce(comments, '-') FROM columns WHERE name = 'B'"), "-");

  EXPECT_EQ(Exec("CREATE  INDEX T_AB ON T(A,B)").sqlFnCode, 20);
  Exec("CREATE UNIQUE INDEX T_B ON T(B)");
  EXPECT_EQ(Rows("SELECT o.name, i.uniqueness, ic.position, ic.column_name FROM indexes i JOIN objects o ON "
                 "o.obj_id = i.obj_id JOIN index_columns ic ON ic.index_obj_id = i.obj_id ORDER BY 1, 3"),
            (std::vector<std::string>{"T_AB|NONUNIQUE|1|A", "T_AB|NONUNIQUE|2|B", "T_B|UNIQUE|1|B"}));
  EXPECT_EQ(Exec("DROP INDEX T_AB").sqlFnCode, 21);
  EXPECT_EQ(Rows("SELECT name FROM objects WHERE type = 1"), std::vector<std::string>{"T_B"});
  EXPECT_EQ(Rows("SELECT count(*) FROM index_columns"), std::vector<std::string>{"1"});
}

TEST_F(DdlShapes, SequencesAsUserSequencesShowsThem) {
  EXPECT_EQ(Exec("CREATE SEQUENCE APP.S1 START WITH 21 NOMAXVALUE MINVALUE 1 NOCYCLE NOORDER CACHE 20").sqlFnCode, 13);
  Exec("CREATE SEQUENCE S2 START WITH 5 MAXVALUE 999999999999999999999999999 MINVALUE 1 INCREMENT BY 2 CYCLE ORDER NOCACHE");
  Exec("CREATE SEQUENCE S3");
  Exec("CREATE SEQUENCE S4 INCREMENT BY -1");
  Exec("CREATE SEQUENCE S5 MAXVALUE 1E3 START WITH 0010");
  const char* q = "SELECT o.name, min_value, max_value, increment_by, cycle_flag, order_flag, cache_size, last_number "
                  "FROM sequences s JOIN objects o ON o.obj_id = s.obj_id ORDER BY o.name";
  EXPECT_EQ(Rows(q), (std::vector<std::string>{
                         "S1|1|9999999999999999999999999999|1|N|N|20|21",
                         "S2|1|999999999999999999999999999|2|Y|Y|0|5",
                         "S3|1|9999999999999999999999999999|1|N|N|20|1",
                         "S4|-999999999999999999999999999|-1|-1|N|N|20|-1",
                         "S5|1|1000|1|N|N|20|10"}));
}

TEST_F(DdlShapes, TriggerSplitsIntoDescriptionAndBody) {
  Exec("CREATE TABLE T (A NUMBER)");
  const std::string text =
      "trg_t\nBEFORE INSERT OR UPDATE ON t\nFOR EACH ROW\nBEGIN\n  :new.a := 1;\nEND;";
  EXPECT_EQ(Exec("CREATE OR REPLACE TRIGGER " + text).sqlFnCode, 59);
  EXPECT_EQ(Row("SELECT o.name, g.trigger_type, g.triggering_event, g.status, g.base_object_type, t.name FROM "
                "triggers g JOIN objects o ON o.obj_id = g.obj_id JOIN objects t ON t.obj_id = g.table_obj_id"),
            "TRG_T|BEFORE EACH ROW|INSERT OR UPDATE|ENABLED|TABLE|T");
  EXPECT_EQ(Row("SELECT description || '#' || trigger_body FROM triggers"),
            "trg_t\nBEFORE INSERT OR UPDATE ON t\nFOR EACH ROW\n#BEGIN\n  :new.a := 1;\nEND;");

  // Replacing keeps the object; WHEN goes to its own column.
  Exec("CREATE OR REPLACE TRIGGER trg_t AFTER DELETE ON t FOR EACH ROW WHEN (old.a > 0) BEGIN NULL; END;");
  EXPECT_EQ(Row("SELECT count(*), trigger_type, when_clause, description FROM triggers"),
            "1|AFTER EACH ROW|old.a > 0|trg_t AFTER DELETE ON t FOR EACH ROW ");
  Exec("CREATE TRIGGER s_t AFTER INSERT ON t BEGIN NULL; END;");
  EXPECT_EQ(Row("SELECT trigger_type FROM triggers g JOIN objects o ON o.obj_id = g.obj_id WHERE o.name = 'S_T'"),
            "AFTER STATEMENT");
}

TEST_F(DdlShapes, StoredCodeKeepsItsLinesWithTheirLineEnds) {
  const std::string text = "FUNCTION f1 RETURN NUMBER IS\r\nBEGIN\n  RETURN 1;\nEND;";
  EXPECT_EQ(Exec("CREATE OR REPLACE " + text).sqlFnCode, 91);
  EXPECT_EQ(Rows("SELECT line, text FROM source ORDER BY line"),
            (std::vector<std::string>{"1|FUNCTION f1 RETURN NUMBER IS\r\n", "2|BEGIN\n", "3|  RETURN 1;\n",
                                      "4|END;"}));
  Exec("create or replace function F1 return number is begin return 2; end;");
  EXPECT_EQ(Rows("SELECT line, text FROM source"),
            std::vector<std::string>{"1|function F1 return number is begin return 2; end;"});
  EXPECT_EQ(Exec("CREATE PROCEDURE p1 IS BEGIN NULL; END;").sqlFnCode, 24);
  Exec("CREATE OR REPLACE EDITIONABLE PROCEDURE p2 IS BEGIN NULL; END;");
  Exec("CREATE PACKAGE pk IS x NUMBER; END;");
  Exec("CREATE PACKAGE BODY pk IS END;");
  EXPECT_EQ(Rows("SELECT o.name, o.type, s.text FROM objects o JOIN source s ON s.obj_id = o.obj_id "
                 "WHERE o.type IN (7, 8, 9, 11) AND s.line = 1 ORDER BY o.name, o.type"),
            (std::vector<std::string>{"F1|8|function F1 return number is begin return 2; end;",
                                      "P1|7|PROCEDURE p1 IS BEGIN NULL; END;", "P2|7|PROCEDURE p2 IS BEGIN NULL; END;",
                                      "PK|9|PACKAGE pk IS x NUMBER; END;", "PK|11|PACKAGE BODY pk IS END;"}));
}

TEST_F(DdlShapes, ViewColumnsComeFromTheListOrTheSelectList) {
  Exec("CREATE TABLE E (ID NUMBER NOT NULL, NAME VARCHAR2(30), DEPT NUMBER)");
  EXPECT_EQ(Exec("CREATE OR REPLACE VIEW V1 (A, B) AS select id, name from e").sqlFnCode, 10);
  Exec("CREATE TABLE D (DNO NUMBER(4), DNAME VARCHAR2(20))");
  Exec("CREATE VIEW V2 AS SELECT e.id, e.name AS who, upper(name) up, x.* FROM e, d x WHERE e.dept = x.dno");
  EXPECT_EQ(Rows("SELECT o.name, c.name, c.data_type, c.nullable FROM columns c JOIN objects o ON o.obj_id = c.obj_id "
                 "WHERE o.type = 4 ORDER BY o.name, c.column_id"),
            (std::vector<std::string>{"V1|A|NUMBER|N", "V1|B|VARCHAR2|Y", "V2|ID|NUMBER|N", "V2|WHO|VARCHAR2|Y",
                                      "V2|UP|VARCHAR2|Y", "V2|DNO|NUMBER|Y", "V2|DNAME|VARCHAR2|Y"}));
  EXPECT_EQ(Row("SELECT text, text_length FROM views v JOIN objects o ON o.obj_id = v.obj_id WHERE o.name = 'V1'"),
            "select id, name from e|22");
  // Set operators end the tables of the first branch; WITH queries are described by the query engine.
  Exec("CREATE VIEW V3 AS SELECT id, name FROM e WHERE id > 0 UNION SELECT dno, dname FROM d");
  Exec("CREATE SYNONYM ES FOR E");
  Exec("CREATE VIEW V4 AS WITH x AS (SELECT id, dept FROM es) SELECT dept, id FROM x");
  EXPECT_EQ(Rows("SELECT o.name, c.name, c.data_type FROM columns c JOIN objects o ON o.obj_id = c.obj_id "
                 "WHERE o.name IN ('V3', 'V4') ORDER BY o.name, c.column_id"),
            (std::vector<std::string>{"V3|ID|NUMBER", "V3|NAME|VARCHAR2", "V4|DEPT|NUMBER", "V4|ID|NUMBER"}));
  EXPECT_EQ(Refuse("CREATE VIEW V5 AS WITH x AS (SELECT id FROM nope) SELECT id FROM x").code(), 942);

  // Replacing keeps the comments of columns that stay.
  Exec("COMMENT ON COLUMN V1.B IS 'bee'");
  Exec("CREATE OR REPLACE VIEW V1 (A, B, C) AS select id, name, dept from e");
  EXPECT_EQ(Rows("SELECT c.name, coalesce(c.comments, '-') FROM columns c JOIN objects o ON o.obj_id = c.obj_id "
                 "WHERE o.name = 'V1' ORDER BY c.column_id"),
            (std::vector<std::string>{"A|-", "B|bee", "C|-"}));
}

TEST_F(DdlShapes, GrantsRevokesSynonymsAndLinks) {
  Exec("CREATE TABLE T (A NUMBER)");
  EXPECT_EQ(Exec("GRANT SELECT,UPDATE ON T TO OTHER").sqlFnCode, 28);
  Exec("GRANT INSERT ON T TO other WITH GRANT OPTION");
  const char* grants = "SELECT privilege, grantable, u.name FROM grants g JOIN users u ON u.user_id = g.grantee_id "
                       "ORDER BY privilege";
  EXPECT_EQ(Rows(grants), (std::vector<std::string>{"INSERT|YES|OTHER", "SELECT|NO|OTHER", "UPDATE|NO|OTHER"}));
  EXPECT_EQ(Exec("REVOKE ALL ON T FROM OTHER").sqlFnCode, 29);
  EXPECT_TRUE(Rows(grants).empty());
  Exec("GRANT ALL ON T TO PUBLIC");
  EXPECT_EQ(Rows("SELECT count(*) FROM grants WHERE grantee_id = 1"), std::vector<std::string>{"12"});

  EXPECT_EQ(Exec("CREATE  SYNONYM TS FOR T").sqlFnCode, 30);
  Exec("CREATE PUBLIC SYNONYM PT FOR app.T");
  Exec("CREATE SYNONYM RS FOR x.y@remote.link");
  EXPECT_EQ(Rows("SELECT u.name, o.name, coalesce(s.target_owner, '-'), s.target_name, coalesce(s.db_link, '-') "
                 "FROM synonyms s JOIN objects o ON o.obj_id = s.obj_id JOIN users u ON u.user_id = o.owner_id "
                 "WHERE o.obj_id >= 70000 ORDER BY o.name"),
            (std::vector<std::string>{"PUBLIC|PT|APP|T|-", "APP|RS|X|Y|REMOTE.LINK", "APP|TS|APP|T|-"}));

  EXPECT_EQ(Exec("create database link \"L1\" connect to scott identified by \"<pwd>\" using 'host:1521/X'").sqlFnCode,
            42);
  Exec("CREATE DATABASE LINK l2 CONNECT TO \"Mixed\" IDENTIFIED BY Tiger USING 'h2'");
  EXPECT_EQ(Rows("SELECT name, username, password, host FROM db_links ORDER BY name"),
            (std::vector<std::string>{"L1|SCOTT|<pwd>|host:1521/X", "L2|Mixed|Tiger|h2"}));
  EXPECT_EQ(Exec("DROP DATABASE LINK \"L1\"").sqlFnCode, 43);
  EXPECT_EQ(Rows("SELECT name FROM db_links"), std::vector<std::string>{"L2"});
}

TEST_F(DdlShapes, QueriesGoToTheQueryEngine) {
  Exec("CREATE TABLE T (A NUMBER)");
  auto r = app_->Execute("select table_name from user_tables", {}, false);
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.rows[0][0].text, "T");
  EXPECT_EQ(app_->StatementType("  (select 1 from dual)"), 1);
  EXPECT_EQ(app_->StatementType("create table x (a number)"), 5);
  EXPECT_EQ(app_->StatementType("BEGIN NULL; END;"), 8);
  EXPECT_EQ(app_->StatementType("'unterminated"), 0);
}
