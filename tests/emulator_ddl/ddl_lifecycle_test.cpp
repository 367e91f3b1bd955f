// Objects over their life: dropping, privileges passed on, several
// connections to one file, and the dictionary queries reading the result.
#include "dictionary/dm_sql.h"
#include "emu_fixture.h"

using DdlLifecycle = EmuTest;

namespace {

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

}  // namespace

TEST_F(DdlLifecycle, DroppingATableTakesItsDependentsAlong) {
  Exec("CREATE TABLE T (A NUMBER PRIMARY KEY, B NUMBER NOT NULL)");
  Exec("CREATE INDEX T_B ON T(B)");
  Exec("CREATE TRIGGER T_TRG BEFORE INSERT ON T BEGIN NULL; END;");
  Exec("COMMENT ON TABLE T IS 'x'");
  Exec("GRANT SELECT ON T TO OTHER");
  Exec("CREATE SYNONYM T_SYN FOR T");
  EXPECT_EQ(Exec("DROP TABLE T").sqlFnCode, 8);
  // Synonyms outlive their target, as in Oracle.
  EXPECT_EQ(Rows("SELECT name FROM objects WHERE obj_id >= 70000"), std::vector<std::string>{"T_SYN"});
  for (const char* table : {"columns", "constraints", "constraint_columns", "indexes", "index_columns", "triggers",
                            "grants", "tables", "source"})
    EXPECT_EQ(Row(std::string("SELECT count(*) FROM ") + table), "0") << table;
  Exec("CREATE TABLE T (A NUMBER)");  // the name is free again
}

TEST_F(DdlLifecycle, DropStatementsForEachKind) {
  Exec("CREATE TABLE T (A NUMBER)");
  Exec("CREATE VIEW V AS SELECT a FROM t");
  Exec("CREATE SEQUENCE S");
  Exec("CREATE PROCEDURE P IS BEGIN NULL; END;");
  Exec("CREATE FUNCTION F RETURN NUMBER IS BEGIN RETURN 1; END;");
  Exec("CREATE TRIGGER TR AFTER INSERT ON T BEGIN NULL; END;");
  Exec("CREATE PUBLIC SYNONYM PS FOR T");
  EXPECT_EQ(Exec("DROP VIEW V").sqlFnCode, 7);
  EXPECT_EQ(Exec("DROP SEQUENCE S").sqlFnCode, 16);
  EXPECT_EQ(Exec("DROP PROCEDURE P").sqlFnCode, 68);
  EXPECT_EQ(Exec("DROP FUNCTION F").sqlFnCode, 93);
  EXPECT_EQ(Exec("DROP TRIGGER TR").sqlFnCode, 61);
  EXPECT_EQ(Exec("DROP PUBLIC SYNONYM PS").sqlFnCode, 31);
  EXPECT_EQ(Rows("SELECT name FROM objects WHERE obj_id >= 70000"), std::vector<std::string>{"T"});
  EXPECT_EQ(Refuse("DROP TRIGGER TR").code(), 4080);
  EXPECT_EQ(Refuse("DROP FUNCTION F").code(), 4043);
  EXPECT_EQ(Refuse("DROP PUBLIC SYNONYM PS").code(), 1432);
  EXPECT_EQ(Refuse("DROP VIEW T").code(), 942);  // a table is no view
}

TEST_F(DdlLifecycle, DroppingAUserNeedsCascadeWhenItOwnsObjects) {
  auto other = db_->Logon("OTHER", "pw", false).session;
  ExecAs(*other, "CREATE TABLE K (A NUMBER PRIMARY KEY)");
  Exec("CREATE TABLE R (X NUMBER)");
  ExecAs(*other, "GRANT REFERENCES ON K TO APP");
  ExecAs(*system_, "ALTER TABLE APP.R ADD (CONSTRAINT R_FK FOREIGN KEY (X) REFERENCES OTHER.K (A))");
  EXPECT_EQ(RefuseAs(*system_, "DROP USER other").code(), 1922);
  EXPECT_EQ(Refuse("DROP USER other").code(), 1031);
  ExecAs(*system_, "DROP USER other CASCADE");
  EXPECT_EQ(Rows("SELECT name FROM users WHERE name = 'OTHER'").size(), 0u);
  EXPECT_EQ(Rows("SELECT name FROM constraints"), std::vector<std::string>{});  // the foreign key went too
  EXPECT_EQ(Rows("SELECT name FROM objects WHERE obj_id >= 70000"), std::vector<std::string>{"R"});
}

TEST_F(DdlLifecycle, PrivilegesPassOnOnlyWithGrantOption) {
  ExecAs(*system_, "CREATE USER third IDENTIFIED BY pw");
  ExecAs(*system_, "GRANT CONNECT TO third");
  auto other = db_->Logon("OTHER", "pw", false).session;
  Exec("CREATE TABLE T (A NUMBER)");
  Exec("GRANT SELECT ON T TO OTHER WITH GRANT OPTION");
  Exec("GRANT UPDATE ON T TO OTHER");
  ExecAs(*other, "GRANT SELECT ON APP.T TO THIRD");
  EXPECT_EQ(RefuseAs(*other, "GRANT UPDATE ON APP.T TO THIRD").code(), 1031);
  EXPECT_EQ(Row("SELECT g.name || '>' || e.name FROM grants x JOIN users g ON g.user_id = x.grantor_id "
                "JOIN users e ON e.user_id = x.grantee_id WHERE e.name = 'THIRD'"),
            "OTHER>THIRD");
  // The owner revokes only what the owner granted.
  EXPECT_EQ(Refuse("REVOKE ALL ON T FROM THIRD").code(), 1927);
  ExecAs(*other, "REVOKE SELECT ON APP.T FROM THIRD");
  // SYSTEM grants in the owner's name.
  ExecAs(*system_, "GRANT INSERT ON APP.T TO THIRD");
  EXPECT_EQ(Row("SELECT g.name FROM grants x JOIN users g ON g.user_id = x.grantor_id WHERE x.privilege = 'INSERT'"),
            "APP");
}

TEST_F(DdlLifecycle, OtherUsersTablesNeedAPrivilegeToBuildOn) {
  auto other = db_->Logon("OTHER", "pw", false).session;
  ExecAs(*other, "CREATE TABLE K (A NUMBER PRIMARY KEY)");
  Exec("CREATE TABLE R (X NUMBER)");
  const std::string fk = "ALTER TABLE R ADD (CONSTRAINT R_FK FOREIGN KEY (X) REFERENCES OTHER.K (A))";
  const std::string view = "CREATE VIEW V AS SELECT a FROM other.k";
  EXPECT_EQ(Refuse(fk).code(), 942);    // nothing granted: the table is not visible
  EXPECT_EQ(Refuse(view).code(), 942);
  ExecAs(*other, "GRANT SELECT ON K TO APP");
  EXPECT_EQ(Refuse(fk).code(), 1031);   // visible, but REFERENCES is missing
  Exec(view);
  ExecAs(*other, "GRANT REFERENCES ON K TO PUBLIC");
  Exec(fk);
}

TEST_F(DdlLifecycle, ConnectionsToOneFileSeeEachOthersChanges) {
  auto second = oraemu::Database::Open("T");
  auto app2 = second->Logon("APP", "secret", false).session;
  Exec("CREATE TABLE T (A NUMBER)");
  EXPECT_EQ(ExecAs(*app2, "ALTER TABLE T ADD (B NUMBER)").sqlFnCode, 26);
  EXPECT_EQ(RefuseAs(*app2, "CREATE TABLE T (X NUMBER)").code(), 955);
  auto r = app_->Execute("select column_name from user_tab_columns where table_name = 'T' order by column_id", {},
                         false);
  ASSERT_EQ(r.rows.size(), 2u);
  EXPECT_EQ(r.rows[1][0].text, "B");
}

// The export's own constraint and synonym queries read what the DDL stored.
TEST_F(DdlLifecycle, ExportQueriesReadTheStoredKeysAndSynonyms) {
  Exec("CREATE TABLE P (A NUMBER, B NUMBER, CONSTRAINT P_PK PRIMARY KEY (A, B))");
  Exec("CREATE TABLE C (X NUMBER, Y NUMBER)");
  Exec("ALTER TABLE C ADD ( CONSTRAINT C_FK FOREIGN KEY (X,Y) REFERENCES P (A,B))");
  auto r = app_->Execute(Joined(skelvane::dm_sql::kTableConstraints),
                         {{"TABLE_NAME", oraemu::Value::Text("C")}}, false);
  ASSERT_EQ(r.rows.size(), 4u);  // each foreign key column with each key column
  std::vector<std::string> seen;
  const size_t n = r.columns.size();
  for (const auto& row : r.rows)
    seen.push_back(row[1].text + " " + row[n - 5].text + ">" + row[n - 3].text + "." + row[n - 2].text);
  EXPECT_EQ(seen, (std::vector<std::string>{"C_FK X>P.A", "C_FK X>P.B", "C_FK Y>P.A", "C_FK Y>P.B"}));

  Exec("CREATE SYNONYM MINE FOR P");
  ExecAs(*system_, "CREATE PUBLIC SYNONYM EVERYONE FOR APP.P");
  ExecAs(*system_, "GRANT SELECT ON SYS.SYN$ TO APP");
  ExecAs(*system_, "GRANT SELECT ON SYS.OBJ$ TO APP");
  ExecAs(*system_, "GRANT SELECT ON SYS.USER$ TO APP");
  r = app_->Execute(Joined(skelvane::dm_sql::kSynonyms), {}, false);
  ASSERT_EQ(r.rows.size(), 2u);
  EXPECT_EQ(r.rows[0][0].text + "|" + r.rows[0][4].text, "EVERYONE|PUBLIC");
  EXPECT_EQ(r.rows[1][0].text + "|" + r.rows[1][2].text + "|" + (r.rows[1][4].IsNull() ? "null" : "?"), "MINE|P|null");
}
