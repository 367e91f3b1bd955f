// Oracle's query semantics as the emulated server applies them: visibility
// per user, NULL and empty text, exact numbers, refusals with Oracle's
// numbers.
#include <gtest/gtest.h>

#include "dictionary/dm_sql.h"
#include "emulator_query/query_fixture.h"

namespace queryfix {
namespace {

using skelvane::dm_sql::kPrivileges;

using oraemu::Bind;
using oraemu::Value;

class SemanticsTest : public QueryTest {
 protected:
  void SetUp() override {
    QueryTest::SetUp();
    scott_ = &AddUser("SCOTT");
    Exec(*scott_, "CREATE TABLE T1 (A NUMBER(5), B VARCHAR2(20))");
    Exec(*scott_, "CREATE TABLE T2 (C NUMBER)");
    Exec(*scott_, "COMMENT ON COLUMN T1.B IS 'bee'");
  }
  std::vector<std::string> One(const std::string& sql, const std::vector<Bind>& binds = {}) {
    oraemu::Result r = Query(*scott_, sql, binds);
    std::vector<std::string> out;
    for (const auto& row : r.rows) out.push_back(row.empty() ? "<none>" : row[0].IsNull() ? "<null>" : row[0].text);
    return out;
  }
  oraemu::Session* scott_ = nullptr;
};

using V = std::vector<std::string>;

TEST_F(SemanticsTest, EachUserSeesOnlyOwnObjectsAndGrantsShowForOwnerAndGrantee) {
  oraemu::Session& adams = AddUser("ADAMS");
  Exec(adams, "CREATE TABLE A1 (X NUMBER)");
  Exec(*scott_, "GRANT SELECT ON T1 TO ADAMS");
  EXPECT_EQ(One("select table_name from user_tables order by 1"), (V{"T1", "T2"}));
  EXPECT_EQ(Query(adams, "select table_name from user_tables").rows.size(), 1u);
  EXPECT_EQ(Query(adams, "select * from user_tab_cols").rows.size(), 1u);
  EXPECT_EQ(Query(adams, "select * from user_col_comments").rows.size(), 1u);

  oraemu::Result owner = Query(*scott_, Lines(kPrivileges));
  ASSERT_EQ(owner.rows.size(), 1u);
  EXPECT_EQ(Cell(owner, 0, "GRANTEE"), "ADAMS");
  EXPECT_EQ(Cell(owner, 0, "OWNER"), "SCOTT");
  // The grantee sees the grant too, but not as owner.
  EXPECT_TRUE(Query(adams, Lines(kPrivileges)).rows.empty());
  EXPECT_EQ(Query(adams, "select owner, table_name from table_privileges").rows.size(), 1u);
  // A third user sees nothing of it.
  EXPECT_TRUE(Query(AddUser("CLARK"), "select * from table_privileges").rows.empty());
}

TEST_F(SemanticsTest, OuterJoinKeepsRowsWithoutMatch) {
  oraemu::Result r = Query(*scott_,
                           "select c.column_name, m.comments from user_tab_columns c, user_col_comments m "
                           "where c.table_name = m.table_name(+) and c.column_name = m.column_name(+) "
                           "and m.comments(+) like 'b%' order by c.table_name, c.column_id");
  ASSERT_EQ(r.rows.size(), 3u);
  EXPECT_EQ(Cell(r, 1, "COMMENTS"), "bee");
  EXPECT_TRUE(IsNull(r, 0, "COMMENTS"));
  // A filter on the optional side without (+) applies after the join.
  EXPECT_EQ(One("select c.column_name from user_tab_columns c, user_col_comments m "
                "where c.table_name = m.table_name(+) and c.column_name = m.column_name(+) and m.comments is null "
                "order by 1"),
            (V{"A", "C"}));
  EXPECT_EQ(ErrorOf(*scott_, "select * from t_none"), 942);
  EXPECT_EQ(ErrorOf(*scott_, "select 1 from user_tables a, user_tables b where a.table_name(+) = b.table_name(+)"),
            1468);
  EXPECT_EQ(ErrorOf(*scott_, "select 1 from user_tables a, user_tables b "
                             "where a.table_name(+) = b.table_name or a.table_name is null"),
            1719);
  EXPECT_EQ(ErrorOf(*scott_, "select 1 from user_tables a, user_tables b "
                             "where a.table_name(+) = b.table_name and b.table_name(+) = a.table_name"),
            1416);
}

TEST_F(SemanticsTest, EmptyTextIsNullAndOracleFunctions) {
  EXPECT_EQ(One("select nvl('', 'x') from dual"), (V{"x"}));
  EXPECT_EQ(One("select 1 from dual where '' is null"), (V{"1"}));
  EXPECT_EQ(One("select decode(null, null, 'both null', 'no') from dual"), (V{"both null"}));
  EXPECT_EQ(One("select decode(2, 1, 'one', 2, 'two') from dual"), (V{"two"}));
  EXPECT_EQ(One("select decode(3, 1, 'one') from dual"), (V{"<null>"}));
  EXPECT_EQ(One("select 'a' || null || 'b' from dual"), (V{"ab"}));
  EXPECT_EQ(One("select null || '' from dual"), (V{"<null>"}));
  EXPECT_EQ(One("select upper('abc') || lower('DEF') from dual"), (V{"ABCdef"}));
  EXPECT_EQ(One("select substr('abcdef', 2, 3) || substr('abc', 0, 1) || substr('abc', -2) from dual"),
            (V{"bcdabc"}));
  EXPECT_EQ(One("select length('abc') from dual"), (V{"3"}));
  std::vector<std::string> created = One("select to_char(created, 'YYYY-MM-DD HH24:MI:SS') || '|' || "
                                         "to_char(created, 'dd.mm.yyyy') from user_objects where object_name = 'T1'");
  ASSERT_EQ(created.size(), 1u);
  ASSERT_EQ(created[0].size(), 30u) << created[0];
  EXPECT_EQ(created[0].substr(20), created[0].substr(8, 2) + "." + created[0].substr(5, 2) + "." + created[0].substr(0, 4));
  EXPECT_EQ(ErrorOf(*scott_, "select to_char(created, 'Month') from user_objects"), 3001);
  EXPECT_EQ(One("select user from dual"), (V{"SCOTT"}));
  EXPECT_EQ(One("select count(*) from dual where USER = 'SCOTT' and userenv('SCHEMAID') = uid"), (V{"1"}));
  // LIKE is case-sensitive; '_' is one byte.
  EXPECT_EQ(One("select table_name from user_tables where table_name like 'T_' order by 1"), (V{"T1", "T2"}));
  EXPECT_TRUE(One("select 1 from dual where 'T1' like 't%'").empty());
  EXPECT_EQ(One("select 1 from dual where 'A_B' like 'A\\_%' escape '\\'"), (V{"1"}));
  EXPECT_TRUE(One("select 1 from dual where 'AXB' like 'A\\_%' escape '\\'").empty());
}

TEST_F(SemanticsTest, NumbersComeBackAsExactDecimalText) {
  EXPECT_EQ(One("select 22 from dual"), (V{"22"}));
  EXPECT_EQ(One("select 7 / 2 from dual"), (V{"3.5"}));
  EXPECT_EQ(One("select 6 / 2 from dual"), (V{"3"}));
  EXPECT_EQ(One("select 1 / 4 from dual"), (V{".25"}));
  EXPECT_EQ(One("select -3 + 1 from dual"), (V{"-2"}));
  EXPECT_EQ(One("select column_id from user_tab_columns where column_id = :id", {{"id", Value::Text("1")}}),
            (V{"1", "1"}));
  EXPECT_EQ(One("select data_precision from user_tab_columns where table_name = 'T1' and column_name = 'A'"),
            (V{"5"}));
  Exec(*scott_, "CREATE SEQUENCE S_DOWN INCREMENT BY -1");
  oraemu::Result r = Query(*scott_, "select min_value, max_value, increment_by from user_sequences");
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.rows[0][0].text, "-999999999999999999999999999");
  EXPECT_EQ(r.rows[0][1].text, "-1");
  EXPECT_EQ(r.rows[0][2].text, "-1");
  EXPECT_EQ(r.rows[0][0].kind, Value::Kind::Number);
  // Numbers kept as text compare and sort as numbers.
  Exec(*scott_, "CREATE SEQUENCE S_SMALL MAXVALUE 999");
  Exec(*scott_, "CREATE SEQUENCE S_BIG MAXVALUE 100000");
  EXPECT_EQ(One("select sequence_name from user_sequences where max_value > 1000"), (V{"S_BIG"}));
  EXPECT_EQ(One("select max_value from user_sequences order by max_value"), (V{"-1", "999", "100000"}));
  Exec(*scott_, "CREATE SEQUENCE S_HUGE");
  EXPECT_EQ(One("select sequence_name from user_sequences where max_value = 9999999999999999999999999999"),
            (V{"S_HUGE"}));
  EXPECT_EQ(One("select 0099999999999999999999 from dual"), (V{"99999999999999999999"}));
}

TEST_F(SemanticsTest, SelectListNamesTypesAndShapes) {
  oraemu::Result r = Query(*scott_, "select nvl(num_rows, 0), 1 + 2 x, t.*, 'lit' \"Quoted\" from user_tables t");
  ASSERT_GE(r.columns.size(), 5u);
  EXPECT_EQ(r.columns[0].name, "NVL(NUM_ROWS,0)");
  EXPECT_EQ(r.columns[0].type, 2);
  EXPECT_EQ(r.columns[1].name, "X");
  EXPECT_EQ(r.columns[2].name, "TABLE_NAME");
  EXPECT_EQ(r.columns.back().name, "Quoted");
  EXPECT_EQ(r.columns.back().type, 96);
  EXPECT_EQ(r.columns.back().size, 3);
  EXPECT_EQ(r.columns.size(), 3u + 83u);
  ASSERT_EQ(r.rows.size(), 2u);
  EXPECT_EQ(r.rows[0][0].text, "0");
  EXPECT_EQ(Query(*scott_, "select count(*) from user_tables").columns[0].name, "COUNT(*)");

  // Describe-only reads no rows.
  oraemu::Result d = scott_->Execute("select * from user_tables", {}, true);
  EXPECT_EQ(d.columns.size(), 83u);
  EXPECT_TRUE(d.rows.empty());

  EXPECT_EQ(One("select table_name from user_tables union all select 'X' from dual order by 1 desc"),
            (V{"X", "T2", "T1"}));
  EXPECT_EQ(One("select column_name from user_tab_columns where table_name in "
                "(select table_name from user_tab_comments where table_type = 'TABLE') and exists "
                "(select 1 from dual) order by column_name desc"),
            (V{"C", "B", "A"}));
  EXPECT_EQ(One("select table_name from user_tab_columns group by table_name having count(*) > 1"), (V{"T1"}));
  EXPECT_EQ(One("select case when count(*) > 2 then 'many' else 'few' end from user_tab_columns"), (V{"many"}));
  // NULLs sort last ascending, first descending.
  EXPECT_EQ(One("select data_precision from user_tab_columns order by data_precision"), (V{"5", "<null>", "<null>"}));
  EXPECT_EQ(One("select data_precision from user_tab_columns order by 1 desc").front(), "<null>");
  // The SYS tables answer those granted them, without password hashes.
  Exec(*system_, "GRANT SELECT ON SYS.USER$ TO SCOTT");
  Exec(*system_, "GRANT SELECT ON SYS.OBJ$ TO SCOTT");
  EXPECT_EQ(One("select password from sys.user$ where name = 'SCOTT'"), (V{"<null>"}));
  EXPECT_EQ(One("select o.name from sys.obj$ o where o.owner# = uid and o.type# = 2 order by o.name"),
            (V{"T1", "T2"}));
}

// Equality on a name the views compute from a key is also answered through
// an index lookup; the rows must be those a plain filter gives.
TEST_F(SemanticsTest, NameLookupsAgreeWithPlainFilters) {
  oraemu::Session& adams = AddUser("ADAMS");
  Exec(adams, "CREATE TABLE A1 (X NUMBER CONSTRAINT PK_A1 PRIMARY KEY, Y NUMBER)");
  Exec(adams, "GRANT SELECT ON A1 TO SCOTT");
  Exec(*scott_, "ALTER TABLE T1 ADD CONSTRAINT PK_A1 PRIMARY KEY (A)");
  Exec(*scott_, "CREATE INDEX T1_B ON T1 (B)");
  Exec(*scott_, "COMMENT ON COLUMN T2.C IS 'see'");
  struct Probe {
    const char* view;
    const char* column;
    std::vector<std::string> values;
  };
  const Probe probes[] = {
      {"user_col_comments", "table_name", {"T1", "T2", "A1", "NOPE"}},
      {"all_cons_columns", "constraint_name", {"PK_A1", "NOPE"}},
      {"user_cons_columns", "constraint_name", {"PK_A1"}},
      {"user_indexes", "table_name", {"T1", "A1"}},
      {"user_constraints", "table_name", {"T1", "A1"}},
  };
  for (const Probe& p : probes) {
    for (const std::string& v : p.values) {
      std::string base = std::string("select count(*) from ") + p.view + " where ";
      std::vector<std::string> looked = One(base + p.column + " = '" + v + "'");
      std::vector<std::string> plain = One(base + p.column + " || '' = '" + v + "'");
      EXPECT_EQ(looked, plain) << p.view << " " << v;
      EXPECT_EQ(One(base + p.column + " = :v", {{"v", Value::Text(v)}}), plain) << p.view << " " << v;
    }
  }
  // The constraint of the same name in ADAMS's granted table is visible too.
  EXPECT_EQ(One("select owner from all_cons_columns where constraint_name = 'PK_A1' order by owner"),
            (V{"ADAMS", "SCOTT"}));
  EXPECT_EQ(One("select owner from user_cons_columns where constraint_name = 'PK_A1'"), (V{"SCOTT"}));
  // The outer join through a lookup keeps unmatched rows.
  EXPECT_EQ(One("select m.comments from user_tab_columns c, user_col_comments m "
                "where c.table_name = 'T2' and m.table_name(+) = c.table_name and m.column_name(+) = c.column_name"),
            (V{"see"}));
  EXPECT_EQ(One("select count(*) from user_col_comments where table_name = :v", {{"v", Value::Null()}}), (V{"0"}));
}

TEST_F(SemanticsTest, UserTablesAreEmptyAndViewsRunTheirQuery) {
  Exec(*scott_, "CREATE TABLE EMP (EMPNO NUMBER(4) NOT NULL, SAL NUMBER(7,2), NAME VARCHAR2(10 CHAR), HIRED DATE)");
  oraemu::Result r = Query(*scott_, "select e.*, sal * 2 double from emp e where empno > 1");
  EXPECT_TRUE(r.rows.empty());
  ASSERT_EQ(r.columns.size(), 5u);
  EXPECT_EQ(r.columns[0].name, "EMPNO");
  EXPECT_FALSE(r.columns[0].nullable);
  EXPECT_EQ(r.columns[1].precision, 7);
  EXPECT_EQ(r.columns[1].scale, 2);
  EXPECT_EQ(r.columns[2].type, 1);
  EXPECT_TRUE(r.columns[2].charUsed);
  EXPECT_EQ(r.columns[3].type, 12);
  EXPECT_EQ(r.columns[4].name, "DOUBLE");
  EXPECT_EQ(ErrorOf(*scott_, "select nope from emp"), 904);

  Exec(*scott_, "CREATE VIEW V_EMP (N, S) AS SELECT EMPNO, SAL FROM EMP WHERE SAL > 0");
  Exec(*scott_, "CREATE SYNONYM S_EMP FOR V_EMP");
  oraemu::Result v = Query(*scott_, "select x.s, x.n from s_emp x where x.n = 1");
  EXPECT_TRUE(v.rows.empty());
  ASSERT_EQ(v.columns.size(), 2u);
  EXPECT_EQ(v.columns[0].name, "S");
  EXPECT_EQ(v.columns[0].scale, 2);
  EXPECT_EQ(One("select count(*) from scott.emp"), (V{"0"}));

  // Another user reads SCOTT's table only once it is granted.
  oraemu::Session& adams = AddUser("ADAMS");
  EXPECT_EQ(ErrorOf(adams, "select * from scott.emp"), 942);
  EXPECT_EQ(ErrorOf(adams, "select * from emp"), 942);
  Exec(*scott_, "GRANT SELECT ON EMP TO ADAMS");
  EXPECT_EQ(Query(adams, "select * from scott.emp").columns.size(), 4u);
  Exec(*system_, "CREATE PUBLIC SYNONYM EMP FOR SCOTT.EMP");
  EXPECT_EQ(Query(adams, "select empno from emp").columns.size(), 1u);
  // Views reading the one before twice: a long chain is refused rather
  // than compiled for ever.
  Exec(*scott_, "CREATE VIEW W0 AS SELECT EMPNO FROM EMP");
  for (int i = 1; i <= 16; ++i)
    Exec(*scott_, "CREATE VIEW W" + std::to_string(i) + " AS SELECT A.EMPNO FROM W" + std::to_string(i - 1) +
                      " A, W" + std::to_string(i - 1) + " B");
  EXPECT_EQ(Query(*scott_, "select * from w4").columns.size(), 1u);
  EXPECT_EQ(ErrorOf(*scott_, "select * from w16"), 3001);
  // A dropped table is gone at once: such translations are not kept.
  Exec(*scott_, "DROP TABLE EMP");
  EXPECT_EQ(ErrorOf(*scott_, "select e.*, sal * 2 double from emp e where empno > 1"), 942);
}

TEST_F(SemanticsTest, RownumLimitsAndNumbersRows) {
  Exec(*scott_, "CREATE TABLE T3 (D NUMBER)");
  EXPECT_EQ(One("select table_name from user_tables where rownum <= 2 order by table_name").size(), 2u);
  EXPECT_EQ(One("select table_name from user_tables where 2 > rownum").size(), 1u);
  EXPECT_EQ(One("select table_name from user_tables where rownum = 1").size(), 1u);
  EXPECT_TRUE(One("select table_name from user_tables where rownum = 2").empty());
  EXPECT_TRUE(One("select table_name from user_tables where rownum > 1").empty());
  EXPECT_EQ(One("select table_name from user_tables where rownum >= 1").size(), 3u);
  EXPECT_EQ(One("select rownum from user_tables"), (V{"1", "2", "3"}));
  EXPECT_EQ(One("select 'A' from dual where rownum < 2 union all select table_name from user_tables where rownum < 2")
                .size(),
            2u);
  EXPECT_EQ(ErrorOf(*scott_, "select count(*) from user_tables where rownum <= 1"), 3001);
  EXPECT_EQ(ErrorOf(*scott_, "select 1 from user_tables where rownum + 1 = 2"), 3001);
}

TEST_F(SemanticsTest, WithClauseNamesSubqueries) {
  EXPECT_EQ(One("with t(n) as (select table_name from user_tables), c as (select n from t where n like '%2') "
                "select c.n from c"),
            (V{"T2"}));
  EXPECT_EQ(One("select count(*) from user_tables where table_name in "
                "(with x as (select 'T1' v from dual) select v from x)"),
            (V{"1"}));
  EXPECT_EQ(ErrorOf(*scott_, "with t(a, b) as (select 1 from dual) select * from t"), 32038);
  // A table of the clause sees neither itself nor those after it.
  EXPECT_EQ(ErrorOf(*scott_, "with a as (select * from b), b as (select 1 x from dual) select * from a"), 942);
  EXPECT_EQ(ErrorOf(*scott_, "with a as (select * from a) select * from a"), 942);
  // Tables that each read the one before twice: a few are fine, a long
  // chain (exponential work) is refused rather than run for ever.
  auto chain = [](int length) {
    std::string sql = "with t0 as (select 1 n from dual)";
    for (int i = 1; i <= length; ++i)
      sql += ", t" + std::to_string(i) + " as (select a.n from t" + std::to_string(i - 1) + " a, t" +
             std::to_string(i - 1) + " b)";
    return sql + " select n from t" + std::to_string(length);
  };
  EXPECT_EQ(One(chain(5)), (V{"1"}));
  EXPECT_EQ(ErrorOf(*scott_, chain(40)), 3001);
}

TEST_F(SemanticsTest, RefusalsCarryOracleNumbersAndTexts) {
  auto error = [&](const std::string& sql, std::vector<Bind> binds = {}) -> std::pair<int, std::string> {
    try {
      scott_->Execute(sql, binds);
    } catch (const oraemu::EOraError& e) {
      return {e.code(), e.what()};
    }
    return {0, ""};
  };
  EXPECT_EQ(error("select * from no_such_view"), std::make_pair(942, std::string("ORA-00942: table or view does not exist")));
  EXPECT_EQ(error("select foo from user_tables"), std::make_pair(904, std::string("ORA-00904: \"FOO\": invalid identifier")));
  EXPECT_EQ(error("select ut.foo from user_tables ut").second, "ORA-00904: \"UT\".\"FOO\": invalid identifier");
  EXPECT_EQ(error("select table_name from user_tables a, user_tab_comments b").first, 918);
  EXPECT_EQ(error("select 1 from dual where no_fn(1) = 1").second, "ORA-00904: \"NO_FN\": invalid identifier");
  EXPECT_EQ(error("select * from user_views where text like 'x%'").first, 997);
  EXPECT_EQ(error("select * from user_views order by text").first, 997);
  EXPECT_EQ(error("select * from user_tables where table_name = :t").first, 1008);
  EXPECT_EQ(error("select * from sys.user_tables x, obj$ y").first, 942);
  EXPECT_EQ(error("select 1 from dual order by 2").first, 1785);
  EXPECT_EQ(error("select table_name, count(*) from user_tables").first, 937);
  EXPECT_EQ(error("select table_name, count(*) from user_tables group by tablespace_name").first, 979);
  EXPECT_EQ(error("select 1, 2 from dual union select 1 from dual").first, 1789);
  EXPECT_EQ(error("select 1 from dual;").first, 911);
  EXPECT_EQ(error("select 1 from dual dual2 extra").first, 933);
  EXPECT_EQ(error("select from dual").first, 936);
  EXPECT_EQ(error("select 1 2 from dual").first, 923);
  EXPECT_EQ(error("select (1 from dual").first, 907);
  EXPECT_EQ(error("select 'abc from dual").first, 1756);
  EXPECT_EQ(error("select 1 from dual where 'a' like 'a' escape 'xy'").first, 1425);
  // The session still works after refusals.
  EXPECT_EQ(One("select dummy from dual"), (V{"X"}));
}

}  // namespace
}  // namespace queryfix
