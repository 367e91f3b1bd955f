// Statements Oracle refuses: the error number and text, the parse error
// offset, and a dictionary left exactly as it was.
#include <cstdlib>
#include <random>

#include "emu_fixture.h"
#include "engine/storage.h"

namespace {

struct Case {
  const char* sql;
  int code;
  const char* at;  // the offset is where this text first occurs; null: 0; "$": the end
  const char* message = nullptr;
};

class DdlRefusals : public EmuTest {
 protected:
  void SetUp() override {
    EmuTest::SetUp();
    Exec("CREATE TABLE T (A NUMBER, B NUMBER, C VARCHAR2(10))");
    Exec("ALTER TABLE T ADD ( CONSTRAINT T_PK PRIMARY KEY (A))");
    Exec("CREATE INDEX T_B_IX ON T(B)");
    Exec("CREATE SEQUENCE SQ");
    Exec("CREATE SYNONYM SYN FOR T");
    Exec("CREATE DATABASE LINK \"LNK\" CONNECT TO U IDENTIFIED BY \"P\" USING 'H'");
  }

  void Check(const Case& c) {
    SCOPED_TRACE(c.sql);
    oraemu::EOraError e = Refuse(c.sql);
    EXPECT_EQ(e.code(), c.code) << e.what();
    std::string sql = c.sql;
    int offset = !c.at ? 0 : std::string(c.at) == "$" ? static_cast<int>(sql.size()) : static_cast<int>(sql.find(c.at));
    ASSERT_GE(offset, 0);
    EXPECT_EQ(e.offset(), offset) << e.what();
    if (c.message) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
};

}  // namespace

TEST_F(DdlRefusals, Tables) {
  for (const Case& c : std::vector<Case>{
           {"ALTER TABLE T ADD (A NUMBER)", 1430, "A NUMBER",
            "ORA-01430: column being added already exists in table"},
           {"ALTER TABLE APP.T ADD (X NUMBER, B DATE)", 1430, "B DATE"},
           {"CREATE TABLE T (X NUMBER)", 955, "T (", "ORA-00955: name is already used by an existing object"},
           {"CREATE TABLE SQ (X NUMBER)", 955, "SQ"},
           {"create table E (" ")", 904, ")", "ORA-00904: : invalid identifier"},
           {"CREATE TABLE E (X NUMBR)", 902, "NUMBR", "ORA-00902: invalid datatype"},
           {"CREATE TABLE E (X)", 2263, ")"},
           {"CREATE TABLE E (X NUMBER, X DATE)", 957, "X DATE"},
           {"CREATE TABLE E (X VARCHAR2)", 906, ")"},
           {"CREATE TABLE E (X NUMBER(39))", 1727, "39"},
           {"CREATE TABLE E (X VARCHAR2(4001))", 910, "4001"},
           {"CREATE TABLE E (X NUMBER", 907, "$"},
           {"CREATE TABLE E (X NUMBER);", 911, ";", "ORA-00911: invalid character"},
           {"CREATE TABLE E (DATE NUMBER)", 904, "DATE"},
           {"CREATE TABLE \"\" (X NUMBER)", 1741, "\"\""},
           {"ALTER TABLE NOPE ADD (X NUMBER)", 942, "NOPE", "ORA-00942: table or view does not exist"},
           {"ALTER TABLE T ADD (X)", 902, ")"},
           {"ALTER TABLE T ADD (Q NUMBER) MODIFY (A NULL)", 1735, "MODIFY"},
           {"ALTER TABLE T DROP COLUMN A", 1735, "DROP"},
           {"ALTER TABLE OTHER.T ADD (X NUMBER)", 942, "OTHER"},
           {"COMMENT ON TABLE NOPE IS 'x'", 942, "NOPE"},
           {"COMMENT ON COLUMN T.NOPE IS 'x'", 904, "NOPE", "ORA-00904: \"NOPE\": invalid identifier"},
           {"COMMENT ON TABLE T IS 'it's'", 933, "s'"},
           {"COMMENT ON TABLE T IS 'open", 1756, "'open"},
       })
    Check(c);
}

TEST_F(DdlRefusals, IndexesAndConstraints) {
  for (const Case& c : std::vector<Case>{
           {"CREATE INDEX I ON NOPE(A)", 942, "NOPE"},
           {"CREATE INDEX I ON T(NOPE)", 904, "NOPE", "ORA-00904: \"NOPE\": invalid identifier"},
           {"CREATE INDEX T_B_IX ON T(C)", 955, "T_B_IX"},
           {"CREATE INDEX I2 ON T(B)", 1408, "B)", "ORA-01408: such column list already indexed"},
           {"CREATE INDEX I2 ON T(A)", 1408, "A)"},
           {"CREATE TABLE L (X LONG, Y CLOB, Z LONG RAW)", 1754, "Z LONG"},
           {"CREATE TABLE L (X NUMBER, Y CLOB, CONSTRAINT L_UK UNIQUE (X, Y))", 2327, "Y)",
            "ORA-02327: cannot create index on expression with datatype LOB"},
           {"DROP INDEX NOPE", 1418, "NOPE", "ORA-01418: specified index does not exist"},
           {"DROP INDEX T_PK", 2429, "T_PK", "ORA-02429: cannot drop index used for enforcement of unique/primary key"},
           {"ALTER TABLE T ADD ( CONSTRAINT T_PK2 PRIMARY KEY (B))", 2260, "CONSTRAINT",
            "ORA-02260: table can have only one primary key"},
           {"ALTER TABLE T ADD ( CONSTRAINT T_PK CHECK (A > 0))", 2264, "T_PK CHECK",
            "ORA-02264: name already used by an existing constraint"},
           {"ALTER TABLE T ADD ( CONSTRAINT U1 UNIQUE (A))", 2261, "CONSTRAINT"},
           {"ALTER TABLE T ADD ( CONSTRAINT N)", 904, ")", "ORA-00904: : invalid identifier"},
           {"ALTER TABLE T ADD ( CONSTRAINT F FOREIGN KEY (B) REFERENCES T (C))", 2270, "CONSTRAINT",
            "ORA-02270: no matching unique or primary key for this column-list"},
           {"ALTER TABLE T ADD ( CONSTRAINT F FOREIGN KEY (B) REFERENCES NOPE (A))", 942, "NOPE"},
           {"ALTER TABLE T ADD ( CONSTRAINT F FOREIGN KEY (B,C) REFERENCES T (A))", 2256, "CONSTRAINT"},
           {"ALTER TABLE T ADD ( CONSTRAINT F FOREIGN KEY (C) REFERENCES T)", 2267, "C)"},
           {"ALTER TABLE T ADD ( CONSTRAINT K CHECK ())", 936, "))"},
           {"ALTER TABLE T ADD ( CONSTRAINT U2 UNIQUE (NOPE))", 904, "NOPE"},
           // A statement that fails late leaves no trace of its earlier parts.
           {"ALTER TABLE T ADD (Z NUMBER NOT NULL, CONSTRAINT Z_UK UNIQUE (Z), CONSTRAINT T_PK CHECK (Z > 0))", 2264,
            "T_PK CHECK"},
       })
    Check(c);
}

TEST_F(DdlRefusals, SequencesAndStoredObjects) {
  for (const Case& c : std::vector<Case>{
           {"CREATE SEQUENCE S1 START WITH 0", 4006, "S1", "ORA-04006: START WITH cannot be less than MINVALUE"},
           {"CREATE SEQUENCE S1 START WITH 11 MAXVALUE 10", 4008, "S1",
            "ORA-04008: START WITH cannot be more than MAXVALUE"},
           {"CREATE SEQUENCE SQ", 955, "SQ"},
           {"CREATE SEQUENCE S1 MINVALUE 5 MAXVALUE 5", 4004, "S1"},
           {"CREATE SEQUENCE S1 INCREMENT BY 0", 4002, "S1"},
           {"CREATE SEQUENCE S1 MAXVALUE 10 INCREMENT BY 10", 4005, "S1"},
           {"CREATE SEQUENCE S1 MAXVALUE 1E28", 4003, "1E28",
            "ORA-04003: sequence parameter MAXVALUE exceeds maximum size allowed (28 digits)"},
           {"CREATE SEQUENCE S1 MAXVALUE 10 CACHE 20", 4013, "S1"},
           {"CREATE SEQUENCE S1 CACHE 1", 4010, "S1"},
           {"CREATE SEQUENCE S1 START WITH 1.5", 4001, "1.5", "ORA-04001: sequence parameter START WITH must be an integer"},
           {"CREATE SEQUENCE S1 MINVALUE  NOCYCLE", 1722, "NOCYCLE"},
           {"CREATE OR REPLACE TRIGGER TR BEFORE INSERT ON NOPE FOR EACH ROW BEGIN NULL; END;", 942, "NOPE"},
           {"CREATE OR REPLACE TRIGGER TR ON T BEGIN NULL; END;", 4071, "ON"},
           {"CREATE OR REPLACE VIEW V AS select a from nope", 942, "nope"},
           {"CREATE OR REPLACE VIEW V AS select zz from t", 904, "zz"},
           {"CREATE OR REPLACE VIEW V (X) AS select a, b from t", 1730, "V (X)"},
           {"CREATE OR REPLACE VIEW V AS select a, a from t", 957, "a from"},
           {"CREATE OR REPLACE VIEW V AS select a + 1 from t", 998, "a + 1"},
           {"CREATE OR REPLACE VIEW T AS select a from t", 955, "T AS"},
           {"CREATE OR REPLACE ", 901, "$"},
           {"CREATE OR REPLACE FUNCTION SQ RETURN NUMBER IS BEGIN RETURN 1; END;", 955, "SQ"},
       })
    Check(c);
}

TEST_F(DdlRefusals, GrantsSynonymsLinksAndUnknownStatements) {
  for (const Case& c : std::vector<Case>{
           {"GRANT  ON T TO OTHER", 990, "ON", "ORA-00990: missing or invalid privilege"},
           {"GRANT SELECT ON NOPE TO OTHER", 942, "NOPE"},
           {"GRANT SELECT ON T TO NOBODY", 1917, "NOBODY", "ORA-01917: user or role 'NOBODY' does not exist"},
           {"GRANT SELECT ON T TO APP", 1749, "APP"},
           {"GRANT EXECUTE ON T TO OTHER", 2224, "EXECUTE"},
           {"REVOKE ALL ON T FROM OTHER", 1927, "OTHER"},
           {"CREATE SYNONYM SYN FOR T", 955, "SYN FOR"},
           {"CREATE SYNONYM T FOR SQ", 955, "T FOR"},
           {"CREATE DATABASE LINK \"LNK\" CONNECT TO U IDENTIFIED BY \"P\" USING 'H'", 2011, "\"LNK\"",
            "ORA-02011: duplicate database link name"},
           {"DROP DATABASE LINK \"NOPE\"", 2024, "\"NOPE\"", "ORA-02024: database link not found"},
           {"DROP DATABASE LINK lnk2", 2024, "lnk2"},
           {"HELLO WORLD", 900, nullptr, "ORA-00900: invalid SQL statement"},
           {"", 900, nullptr},
           {"CREATE THING X", 901, "THING", "ORA-00901: invalid CREATE command"},
           {"INSERT INTO T VALUES (1, 2, 'x')", 3001, nullptr},
           {"DROP TABLE NOPE", 942, "NOPE"},
           {"DROP SEQUENCE NOPE", 2289, "NOPE"},
           {"DROP SYNONYM NOPE", 1434, "NOPE"},
       })
    Check(c);
}

TEST_F(DdlRefusals, DropTableNeedsCascadeWhenReferenced) {
  Exec("CREATE TABLE K (X NUMBER REFERENCES T)");
  Check({"DROP TABLE app.T", 2449, "app.T"});
  Exec("DROP TABLE T CASCADE CONSTRAINTS");
  EXPECT_TRUE(Rows("SELECT name FROM objects WHERE name IN ('T', 'T_PK', 'T_B_IX')").empty());
  EXPECT_EQ(Rows("SELECT count(*) FROM constraints"), std::vector<std::string>{"0"});
}

// Garbled statements are refused with an ORA error, never a crash, and
// never leave a half-applied change.
TEST_F(DdlRefusals, GarbledStatementsNeverCrash) {
  const std::vector<std::string> seeds = {
      "CREATE TABLE X1 (A NUMBER(10,2) DEFAULT 0 NOT NULL, B VARCHAR2(5 CHAR), CONSTRAINT X1_PK PRIMARY KEY (A))",
      "ALTER TABLE T ADD ( CONSTRAINT F1 FOREIGN KEY (B) REFERENCES T (A))",
      "CREATE SEQUENCE S9 START WITH 3 MAXVALUE 99 MINVALUE 1 INCREMENT BY 2 CYCLE NOORDER NOCACHE",
      "CREATE OR REPLACE TRIGGER TR9 BEFORE INSERT ON T FOR EACH ROW WHEN (new.a > 0) BEGIN NULL; END;",
      "CREATE OR REPLACE VIEW V9 (P, Q) AS select a, \"B\" from app.t where a > 1",
      "GRANT SELECT, INSERT ON T TO OTHER WITH GRANT OPTION",
      "COMMENT ON COLUMN T.A IS 'it''s ok'",
      "create database link \"D9\" connect to u identified by \"p\" using 'h'",
  };
  const std::string alphabet = "()'\",.;: -*/\n\"AB0129xyz";
  std::mt19937 rng(12345);
  int refused = 0;
  // EMUDDL_FUZZ_ROUNDS runs a longer campaign by hand.
  const char* roundsEnv = std::getenv("EMUDDL_FUZZ_ROUNDS");
  const int rounds = roundsEnv ? std::atoi(roundsEnv) : 400;
  for (int round = 0; round < rounds; ++round) {
    std::string sql = seeds[rng() % seeds.size()];
    int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !sql.empty(); ++e) {
      size_t at = rng() % sql.size();
      switch (rng() % 3) {
        case 0: sql.erase(at, 1 + rng() % 6); break;
        case 1: sql.insert(at, 1, alphabet[rng() % alphabet.size()]); break;
        default: sql.resize(at); break;
      }
    }
    std::string before = Snapshot();
    try {
      app_->Execute(sql, {}, false);
    } catch (const oraemu::EOraError& e) {
      ++refused;
      ASSERT_EQ(std::string(e.what()).rfind("ORA-", 0), 0u) << sql;
      ASSERT_GE(e.offset(), 0);
      ASSERT_LE(e.offset(), static_cast<int>(sql.size())) << sql;
      ASSERT_EQ(before, Snapshot()) << "refused but changed: " << sql;
    }
  }
  EXPECT_GT(refused, rounds * 3 / 8);
  auto storage = oraemu::Storage::Open(dir_ + "/T.sqlite", false);
  auto fk = storage->Query("PRAGMA foreign_key_check");
  EXPECT_FALSE(fk.Step()) << "dangling reference in table " << fk.Text(0);
}
