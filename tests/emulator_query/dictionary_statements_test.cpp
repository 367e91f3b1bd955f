// The program's dictionary statements, run unchanged against a schema that
// holds an object of every kind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "dictionary/dm_sql.h"
#include "emulator_query/query_fixture.h"

namespace queryfix {
namespace {

using namespace skelvane::dm_sql;
using Text = std::vector<std::string>;

using oraemu::Bind;
using oraemu::Value;
using ::testing::ElementsAre;

class StatementsTest : public QueryTest {
 protected:
  void SetUp() override {
    QueryTest::SetUp();
    adams_ = &AddUser("ADAMS");
    scott_ = &AddUser("SCOTT");
    oraemu::Session& s = *scott_;
    Exec(s, "CREATE TABLE DEPT (DEPTNO NUMBER(2) NOT NULL, DNAME VARCHAR2(14), LOC VARCHAR2(13) DEFAULT 'NY', "
            "CONSTRAINT PK_DEPT PRIMARY KEY (DEPTNO))");
    Exec(s, "CREATE TABLE EMP (EMPNO NUMBER(4) NOT NULL, ENAME VARCHAR2(10 CHAR), SAL NUMBER(7,2), "
            "DEPTNO NUMBER(2), HIRED DATE DEFAULT SYSDATE, NOTE CLOB, "
            "CONSTRAINT PK_EMP PRIMARY KEY (EMPNO, ENAME), "
            "CONSTRAINT FK_DEPT FOREIGN KEY (DEPTNO) REFERENCES DEPT (DEPTNO), "
            "CONSTRAINT CK_SAL CHECK (SAL > 0))");
    Exec(s, "COMMENT ON TABLE EMP IS 'Employees'");
    Exec(s, "COMMENT ON COLUMN EMP.ENAME IS 'Name'");
    Exec(s, "CREATE INDEX EMP_SAL_NAME ON EMP (SAL, ENAME)");
    Exec(s, "CREATE UNIQUE INDEX DEPT_NAME ON DEPT (DNAME)");
    Exec(s, "CREATE SEQUENCE EMP_SEQ");
    Exec(s, "CREATE SEQUENCE ORD_SEQ START WITH 100 INCREMENT BY 5 MAXVALUE 100000 CYCLE NOCACHE ORDER");
    Exec(s, "CREATE OR REPLACE TRIGGER EMP_BI BEFORE INSERT ON EMP FOR EACH ROW\nBEGIN\n  :NEW.SAL := 1;\nEND;");
    Exec(s, "CREATE OR REPLACE FUNCTION F_ONE RETURN NUMBER IS\nBEGIN\n  RETURN 1;\nEND;");
    Exec(s, "CREATE OR REPLACE PROCEDURE P_NOP IS\nBEGIN\n  NULL;\nEND;");
    Exec(s, "CREATE OR REPLACE VIEW V_EMP AS SELECT EMPNO, ENAME FROM EMP");
    Exec(s, "COMMENT ON TABLE V_EMP IS 'Employee names'");
    Exec(s, "CREATE SYNONYM S_EMP FOR EMP");
    Exec(s, "GRANT SELECT ON EMP TO ADAMS");
    Exec(s, "GRANT SELECT, INSERT ON DEPT TO ADAMS WITH GRANT OPTION");
    Exec(s, "CREATE DATABASE LINK REMOTE CONNECT TO BOB IDENTIFIED BY SECRET USING 'remote_db'");
  }

  oraemu::Result Run(const Text& text, const std::vector<Bind>& binds = {}) {
    return Query(*scott_, Lines(text), binds);
  }

  oraemu::Session* scott_ = nullptr;
  oraemu::Session* adams_ = nullptr;
};

Bind B(const std::string& name, const std::string& value) { return Bind{name, Value::Text(value)}; }

TEST_F(StatementsTest, TablesListEveryTableWithItsCommentAndOracleColumns) {
  oraemu::Result r = Run(kTables);
  ASSERT_EQ(r.columns.size(), 84u);
  EXPECT_EQ(r.columns[0].name, "TABLE_NAME");
  EXPECT_EQ(r.columns[18].name, "NUM_ROWS");
  EXPECT_EQ(r.columns[82].name, "LOGICAL_REPLICATION");
  EXPECT_EQ(r.columns[83].name, "COMMENTS");
  EXPECT_EQ(r.columns[0].type, 1);
  EXPECT_EQ(r.columns[0].size, 128);
  EXPECT_FALSE(r.columns[0].nullable);
  EXPECT_EQ(r.columns[18].type, 2);
  EXPECT_EQ(r.columns[18].scale, -127);
  EXPECT_EQ(r.columns[31].type, 12);  // LAST_ANALYZED
  EXPECT_EQ(ColumnValues(r, "TABLE_NAME"), (std::vector<std::string>{"DEPT", "EMP"}));
  EXPECT_TRUE(IsNull(r, 0, "COMMENTS"));
  EXPECT_EQ(Cell(r, 1, "COMMENTS"), "Employees");
  EXPECT_EQ(Cell(r, 1, "STATUS"), "VALID");
  EXPECT_EQ(Cell(r, 1, "TABLESPACE_NAME"), "USERS");
  EXPECT_EQ(Cell(r, 1, "PCT_FREE"), "10");
  EXPECT_EQ(r.rows[1][5].kind, Value::Kind::Number);
  EXPECT_TRUE(IsNull(r, 1, "NUM_ROWS"));

  oraemu::Result one = Run(kOneTable, {B("table_name", "EMP")});
  ASSERT_EQ(one.rows.size(), 1u);
  EXPECT_EQ(Cell(one, 0, "COMMENTS"), "Employees");
  EXPECT_TRUE(Run(kOneTable, {B("TABLE_NAME", "V_EMP")}).rows.empty());
}

TEST_F(StatementsTest, TableFieldsOuterJoinCommentsAndDescribeTypes) {
  oraemu::Result r = Run(kTableFields, {B("table_name", "EMP")});
  ASSERT_EQ(r.columns.size(), 44u);
  EXPECT_EQ(r.columns[11].name, "DATA_DEFAULT");
  EXPECT_EQ(r.columns[11].type, 8);
  EXPECT_EQ(r.columns[26].name, "CHAR_USED");
  EXPECT_EQ(r.columns[43].name, "COMMENTS");
  EXPECT_EQ(ColumnValues(r, "COLUMN_NAME"),
            (std::vector<std::string>{"EMPNO", "ENAME", "SAL", "DEPTNO", "HIRED", "NOTE"}));
  // Only ENAME has a comment; the others still come back, comment NULL.
  EXPECT_EQ(Cell(r, 1, "COMMENTS"), "Name");
  EXPECT_TRUE(IsNull(r, 0, "COMMENTS"));
  EXPECT_TRUE(IsNull(r, 5, "COMMENTS"));

  EXPECT_EQ(Cell(r, 0, "DATA_TYPE"), "NUMBER");
  EXPECT_EQ(Cell(r, 0, "DATA_LENGTH"), "22");
  EXPECT_EQ(Cell(r, 0, "DATA_PRECISION"), "4");
  EXPECT_EQ(Cell(r, 0, "DATA_SCALE"), "0");
  EXPECT_EQ(Cell(r, 0, "NULLABLE"), "N");
  EXPECT_TRUE(IsNull(r, 0, "CHAR_USED"));
  EXPECT_EQ(Cell(r, 1, "CHAR_USED"), "C");
  EXPECT_EQ(Cell(r, 1, "CHAR_LENGTH"), "10");
  EXPECT_EQ(Cell(r, 2, "DATA_SCALE"), "2");
  EXPECT_EQ(Cell(r, 4, "DATA_DEFAULT"), "SYSDATE");
  EXPECT_EQ(Cell(r, 4, "DATA_TYPE"), "DATE");
  EXPECT_TRUE(IsNull(r, 0, "DATA_DEFAULT"));

  oraemu::Result view = Run(kTableFields, {B("TABLE_NAME", "V_EMP")});
  EXPECT_EQ(ColumnValues(view, "COLUMN_NAME"), (std::vector<std::string>{"EMPNO", "ENAME"}));
  EXPECT_TRUE(Run(kTableFields, {B("table_name", "NOPE")}).rows.empty());
}

TEST_F(StatementsTest, SequencesShowExactLimits) {
  oraemu::Result r = Run(kSequences);
  EXPECT_THAT(ColumnNames(r), ElementsAre("SEQUENCE_NAME", "MIN_VALUE", "MAX_VALUE", "INCREMENT_BY", "CYCLE_FLAG",
                                          "ORDER_FLAG", "CACHE_SIZE", "LAST_NUMBER", "SCALE_FLAG", "EXTEND_FLAG",
                                          "SHARDED_FLAG", "SESSION_FLAG", "KEEP_VALUE"));
  ASSERT_EQ(r.rows.size(), 2u);
  EXPECT_EQ(Cell(r, 0, "SEQUENCE_NAME"), "EMP_SEQ");
  EXPECT_EQ(Cell(r, 0, "MAX_VALUE"), "9999999999999999999999999999");
  EXPECT_EQ(r.rows[0][2].kind, Value::Kind::Number);
  EXPECT_EQ(Cell(r, 0, "MIN_VALUE"), "1");
  EXPECT_EQ(Cell(r, 0, "CACHE_SIZE"), "20");
  EXPECT_EQ(Cell(r, 1, "INCREMENT_BY"), "5");
  EXPECT_EQ(Cell(r, 1, "MAX_VALUE"), "100000");
  EXPECT_EQ(Cell(r, 1, "CYCLE_FLAG"), "Y");
  EXPECT_EQ(Cell(r, 1, "ORDER_FLAG"), "Y");
  EXPECT_EQ(Cell(r, 1, "CACHE_SIZE"), "0");
  EXPECT_EQ(Cell(r, 1, "LAST_NUMBER"), "100");
}

TEST_F(StatementsTest, TriggersReturnTheirBodyAsLong) {
  oraemu::Result r = Run(kTriggers);
  ASSERT_EQ(r.columns.size(), 21u);
  EXPECT_EQ(r.columns[12].name, "TRIGGER_BODY");
  EXPECT_EQ(r.columns[12].type, 8);
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(Cell(r, 0, "TRIGGER_TYPE"), "BEFORE EACH ROW");
  EXPECT_EQ(Cell(r, 0, "TRIGGERING_EVENT"), "INSERT");
  EXPECT_EQ(Cell(r, 0, "TABLE_NAME"), "EMP");
  EXPECT_EQ(Cell(r, 0, "TABLE_OWNER"), "SCOTT");
  EXPECT_EQ(Cell(r, 0, "BEFORE_ROW"), "YES");
  EXPECT_NE(Cell(r, 0, "TRIGGER_BODY").find(":NEW.SAL := 1;"), std::string::npos);
  EXPECT_NE(Cell(r, 0, "DESCRIPTION").find("EMP_BI"), std::string::npos);

  EXPECT_EQ(Run(kOneTrigger, {B("TRIGGER_NAME", "EMP_BI")}).rows.size(), 1u);
  EXPECT_TRUE(Run(kOneTrigger, {B("trigger_name", "emp_bi")}).rows.empty());
}

TEST_F(StatementsTest, IndexesOneRowPerColumnInPositionOrder) {
  oraemu::Result r = Run(kTableIndexes, {B("table_name", "EMP")});
  EXPECT_THAT(ColumnNames(r), ElementsAre("INDEX_NAME", "TABLE_NAME", "UNIQUENESS", "COLUMN_NAME"));
  EXPECT_EQ(ColumnValues(r, "INDEX_NAME"), (std::vector<std::string>{"EMP_SAL_NAME", "EMP_SAL_NAME", "PK_EMP", "PK_EMP"}));
  EXPECT_EQ(ColumnValues(r, "COLUMN_NAME"), (std::vector<std::string>{"SAL", "ENAME", "EMPNO", "ENAME"}));
  EXPECT_EQ(ColumnValues(r, "UNIQUENESS"), (std::vector<std::string>{"NONUNIQUE", "NONUNIQUE", "UNIQUE", "UNIQUE"}));
  oraemu::Result dept = Run(kTableIndexes, {B("table_name", "DEPT")});
  EXPECT_EQ(ColumnValues(dept, "INDEX_NAME"), (std::vector<std::string>{"DEPT_NAME", "PK_DEPT"}));
}

TEST_F(StatementsTest, ConstraintsJoinKeyColumnsAndReferencedKey) {
  oraemu::Result r = Run(kTableConstraints, {B("table_name", "EMP")});
  ASSERT_EQ(r.columns.size(), 27u);
  EXPECT_EQ(r.columns[4].name, "SEARCH_CONDITION");
  EXPECT_EQ(r.columns[4].type, 8);
  EXPECT_EQ(r.columns[22].name, "F_COL_NAME");
  EXPECT_EQ(r.columns[26].name, "TO_POS");
  std::vector<std::string> names = ColumnValues(r, "CONSTRAINT_NAME");
  // CK_SAL, FK_DEPT, PK_EMP (2 columns) and the NOT NULL check of EMPNO.
  ASSERT_EQ(r.rows.size(), 5u) << ::testing::PrintToString(names);
  size_t fk = std::find(names.begin(), names.end(), "FK_DEPT") - names.begin();
  ASSERT_LT(fk, names.size());
  EXPECT_EQ(Cell(r, fk, "CONSTRAINT_TYPE"), "R");
  EXPECT_EQ(Cell(r, fk, "F_COL_NAME"), "DEPTNO");
  EXPECT_EQ(Cell(r, fk, "TO_TABLE_NAME"), "DEPT");
  EXPECT_EQ(Cell(r, fk, "TO_COL_NAME"), "DEPTNO");
  EXPECT_EQ(Cell(r, fk, "R_CONSTRAINT_NAME"), "PK_DEPT");
  EXPECT_EQ(Cell(r, fk, "R_OWNER"), "SCOTT");
  size_t pk = std::find(names.begin(), names.end(), "PK_EMP") - names.begin();
  ASSERT_LT(pk + 1, names.size());
  EXPECT_EQ(Cell(r, pk, "F_COL_NAME"), "EMPNO");
  EXPECT_EQ(Cell(r, pk, "F_POS"), "1");
  EXPECT_EQ(Cell(r, pk + 1, "F_COL_NAME"), "ENAME");
  EXPECT_EQ(Cell(r, pk, "INDEX_NAME"), "PK_EMP");
  EXPECT_TRUE(IsNull(r, pk, "TO_TABLE_NAME"));
  size_t ck = std::find(names.begin(), names.end(), "CK_SAL") - names.begin();
  ASSERT_LT(ck, names.size());
  EXPECT_EQ(Cell(r, ck, "SEARCH_CONDITION"), "SAL > 0");
  EXPECT_EQ(Cell(r, ck, "STATUS"), "ENABLED");
  EXPECT_EQ(Cell(r, ck, "DEFERRABLE"), "NOT DEFERRABLE");
  EXPECT_EQ(Cell(r, ck, "VALIDATED"), "VALIDATED");
  EXPECT_EQ(Cell(r, ck, "GENERATED"), "USER NAME");
}

TEST_F(StatementsTest, SourceOfFunctionsAndProcedures) {
  oraemu::Result f = Run(kFunctions);
  EXPECT_THAT(ColumnNames(f), ElementsAre("NAME", "TYPE", "LINE", "TEXT", "ORIGIN_CON_ID"));
  ASSERT_GE(f.rows.size(), 3u);
  EXPECT_EQ(Cell(f, 0, "NAME"), "F_ONE");
  EXPECT_EQ(Cell(f, 0, "LINE"), "1");
  EXPECT_EQ(Cell(f, 1, "LINE"), "2");
  EXPECT_EQ(Cell(f, 0, "TYPE"), "FUNCTION");
  for (size_t i = 0; i < f.rows.size(); ++i) EXPECT_EQ(Cell(f, i, "NAME"), "F_ONE");

  oraemu::Result p = Run(kOneProcedure, {B("NAME", "P_NOP")});
  ASSERT_GE(p.rows.size(), 3u);
  EXPECT_EQ(Cell(p, 0, "TYPE"), "PROCEDURE");
  EXPECT_TRUE(Run(kOneFunction, {B("name", "P_NOP")}).rows.empty());
  EXPECT_EQ(Run(kProcedures).rows.size(), p.rows.size());
}

TEST_F(StatementsTest, PrivilegesOfTheOwnersObjects) {
  for (const Text* text : {&kPrivileges, &kPrivilegesDataSet}) {
    oraemu::Result r = Run(*text);
    EXPECT_THAT(ColumnNames(r),
                ElementsAre("GRANTEE", "OWNER", "TABLE_NAME", "GRANTOR", "SELECT_PRIV", "INSERT_PRIV", "DELETE_PRIV",
                            "UPDATE_PRIV", "REFERENCES_PRIV", "ALTER_PRIV", "INDEX_PRIV", "CREATED"));
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(ColumnValues(r, "TABLE_NAME"), (std::vector<std::string>{"DEPT", "EMP"}));
    EXPECT_EQ(Cell(r, 0, "GRANTEE"), "ADAMS");
    EXPECT_EQ(Cell(r, 0, "GRANTOR"), "SCOTT");
    EXPECT_EQ(Cell(r, 0, "SELECT_PRIV"), "G");
    EXPECT_EQ(Cell(r, 0, "INSERT_PRIV"), "G");
    EXPECT_EQ(Cell(r, 0, "DELETE_PRIV"), "N");
    EXPECT_EQ(Cell(r, 1, "SELECT_PRIV"), "Y");
    EXPECT_EQ(Cell(r, 1, "INSERT_PRIV"), "N");
    EXPECT_TRUE(IsNull(r, 1, "CREATED"));
  }
}

TEST_F(StatementsTest, SynonymsForExportAndCompare) {
  // The synonym lists read the SYS tables, which need a direct grant.
  for (const char* table : {"OBJ$", "SYN$", "USER$"})
    for (const char* user : {"SCOTT", "ADAMS"}) Exec(*system_, std::string("GRANT SELECT ON SYS.") + table + " TO " + user);
  Exec(*system_, "CREATE PUBLIC SYNONYM P_EMP FOR SCOTT.EMP");
  Exec(*adams_, "CREATE SYNONYM A_DEPT FOR SCOTT.DEPT");
  Exec(*adams_, "CREATE SYNONYM A_OWN FOR ADAMS.NOTHING");

  oraemu::Result r = Run(kSynonyms);
  EXPECT_THAT(ColumnNames(r), ElementsAre("S_NAME", "OWNER", "O_NAME", "NODE", "GRANTEE"));
  // SCOTT's own and the public synonyms whose target is SCOTT's; ADAMS's
  // private A_DEPT is not SCOTT's to list.
  EXPECT_EQ(ColumnValues(r, "S_NAME"), (std::vector<std::string>{"P_EMP", "S_EMP"}));
  EXPECT_EQ(Cell(r, 0, "GRANTEE"), "PUBLIC");
  EXPECT_TRUE(IsNull(r, 1, "GRANTEE"));
  EXPECT_EQ(Cell(r, 1, "O_NAME"), "EMP");
  EXPECT_EQ(Cell(r, 1, "OWNER"), "SCOTT");

  // The compare's own and public synonyms, whatever their target; the
  // database's own public synonyms (of SYS objects) are left aside.
  auto users = [](const oraemu::Result& result) {
    std::vector<std::string> out;
    for (size_t row = 0; row < result.rows.size(); ++row)
      if (Cell(result, row, "OWNER") != "SYS")
        out.push_back(Cell(result, row, "S_NAME") + ":" + (IsNull(result, row, "GRANTEE") ? "-" : Cell(result, row, "GRANTEE")));
    return out;
  };
  EXPECT_EQ(users(Run(kSynonymsDataSet)), (std::vector<std::string>{"P_EMP:PUBLIC", "S_EMP:-"}));
  EXPECT_EQ(users(Query(*adams_, Lines(kSynonymsDataSet))),
            (std::vector<std::string>{"A_DEPT:-", "A_OWN:-", "P_EMP:PUBLIC"}));
}

TEST_F(StatementsTest, DatabaseLinksHideThePassword) {
  oraemu::Result r = Run(kDbLinks);
  EXPECT_THAT(ColumnNames(r), ElementsAre("DB_LINK", "USERNAME", "PASSWORD", "HOST", "CREATED", "HIDDEN",
                                          "SHARD_INTERNAL", "VALID", "INTRA_CDB"));
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(Cell(r, 0, "DB_LINK"), "REMOTE");
  EXPECT_EQ(Cell(r, 0, "USERNAME"), "BOB");
  EXPECT_TRUE(IsNull(r, 0, "PASSWORD"));
  EXPECT_EQ(Cell(r, 0, "HOST"), "remote_db");
  EXPECT_EQ(r.rows[0][4].kind, Value::Kind::Date);
}

TEST_F(StatementsTest, ViewsWithTextAsLongAndComment) {
  oraemu::Result r = Run(kViews);
  ASSERT_EQ(r.columns.size(), 25u);
  EXPECT_EQ(r.columns[2].name, "TEXT");
  EXPECT_EQ(r.columns[2].type, 8);
  EXPECT_EQ(r.columns[24].name, "COMMENTS");
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(Cell(r, 0, "VIEW_NAME"), "V_EMP");
  EXPECT_EQ(Cell(r, 0, "TEXT"), "SELECT EMPNO, ENAME FROM EMP");
  EXPECT_EQ(Cell(r, 0, "TEXT_LENGTH"), "28");
  EXPECT_EQ(Cell(r, 0, "COMMENTS"), "Employee names");

  // A long view text comes back whole.
  std::string select = "SELECT EMPNO";
  for (int i = 1; select.size() < 100000; ++i) select += ", EMPNO + " + std::to_string(i) + " C" + std::to_string(i);
  select += " FROM EMP";
  Exec(*scott_, "CREATE OR REPLACE VIEW V_LONG AS " + select);
  oraemu::Result one = Run(kOneView, {B("view_name", "V_LONG")});
  ASSERT_EQ(one.rows.size(), 1u);
  EXPECT_EQ(Cell(one, 0, "TEXT"), select);
  EXPECT_EQ(Cell(one, 0, "TEXT_LENGTH"), std::to_string(select.size()));
  EXPECT_EQ(Cell(one, 0, "TEXT_VC").size(), 4000u);
}

}  // namespace
}  // namespace queryfix
