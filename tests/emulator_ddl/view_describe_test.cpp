// Views written the way real schemas write them: the columns Oracle
// describes for them, the refusals, and stored code around them.
#include <string>
#include <vector>

#include "emu_fixture.h"

namespace {

class ViewDescribe : public EmuTest {
 protected:
  void SetUp() override {
    EmuTest::SetUp();
    Exec("CREATE TABLE DEPT (DEPT_ID NUMBER(4) NOT NULL, NAME VARCHAR2(30) NOT NULL, CITY VARCHAR2(20))");
    Exec("CREATE TABLE EMP (EMP_ID NUMBER(6) NOT NULL, DEPT_ID NUMBER(4), ENAME VARCHAR2(40 CHAR) NOT NULL, "
         "HIRED DATE NOT NULL, PAY NUMBER(8,2), DOC VARCHAR2(4000))");
  }

  // "NAME TYPE(len|prec,scale) N|Y" per column of view V, in order.
  std::vector<std::string> Columns(const std::string& view) {
    oraemu::Result r = Exec(
        "SELECT COLUMN_NAME, DATA_TYPE, DATA_LENGTH, DATA_PRECISION, DATA_SCALE, NULLABLE, CHAR_USED "
        "FROM USER_TAB_COLUMNS WHERE TABLE_NAME = '" + view + "' ORDER BY COLUMN_ID");
    std::vector<std::string> out;
    for (const auto& row : r.rows) {
      std::string c = row[0].text + " " + row[1].text;
      if (row[1].text == "NUMBER" && !row[3].IsNull()) c += "(" + row[3].text + "," + row[4].text + ")";
      else if (row[1].text == "VARCHAR2" || row[1].text == "CHAR") c += "(" + row[2].text + " " + row[6].text + ")";
      out.push_back(c + " " + row[5].text);
    }
    return out;
  }

  void Check(const std::string& query, const std::vector<std::string>& expected) {
    SCOPED_TRACE(query);
    Exec("CREATE OR REPLACE VIEW V AS " + query);
    EXPECT_EQ(Columns("V"), expected);
  }
};

struct Refusal {
  const char* sql;
  int code;
  const char* at;  // the offset is where this text first occurs
};

}  // namespace

TEST_F(ViewDescribe, JoinsNameTheirColumnsAndKeepBaseTypes) {
  Check("SELECT e.emp_id, d.name AS dept_name, city FROM emp e INNER JOIN dept d ON d.dept_id = e.dept_id",
        {"EMP_ID NUMBER(6,0) N", "DEPT_NAME VARCHAR2(30 B) N", "CITY VARCHAR2(20 B) Y"});
  // USING merges the column: it is named once and read without qualifier.
  Check("SELECT dept_id, ename FROM emp JOIN dept USING (dept_id)", {"DEPT_ID NUMBER(4,0) Y", "ENAME VARCHAR2(40 C) N"});
  Check("SELECT * FROM dept NATURAL JOIN emp", {"DEPT_ID NUMBER(4,0) N", "NAME VARCHAR2(30 B) N", "CITY VARCHAR2(20 B) Y",
                                                "EMP_ID NUMBER(6,0) N", "ENAME VARCHAR2(40 C) N", "HIRED DATE N",
                                                "PAY NUMBER(8,2) Y", "DOC VARCHAR2(4000 B) Y"});
  Check("SELECT d.name, e.ename FROM dept d RIGHT OUTER JOIN emp e ON e.dept_id = d.dept_id "
        "FULL JOIN dept d2 ON d2.dept_id = d.dept_id CROSS JOIN dual",
        {"NAME VARCHAR2(30 B) N", "ENAME VARCHAR2(40 C) N"});
}

TEST_F(ViewDescribe, ExpressionsTakeTheTypeOracleGivesThem) {
  Check("SELECT CASE WHEN pay > 100 THEN 'HIGH' ELSE 'LOW' END AS band, COALESCE(pay, 0) AS pay0, "
        "NVL(city, 'none') AS where_, DECODE(city, NULL, 0, 1) AS has_city, CAST(emp_id AS VARCHAR2(12)) AS k, "
        "CAST(pay AS NUMBER(10,1)) AS p, EXTRACT(YEAR FROM hired) AS y, TRUNC(hired) AS d, ROUND(pay, 1) AS r "
        "FROM emp LEFT JOIN dept USING (dept_id)",
        {"BAND VARCHAR2(4 B) Y", "PAY0 NUMBER Y", "WHERE_ VARCHAR2(20 B) Y", "HAS_CITY NUMBER Y",
         "K VARCHAR2(12 B) N", "P NUMBER(10,1) Y", "Y NUMBER Y", "D DATE Y", "R NUMBER Y"});
}

TEST_F(ViewDescribe, AnalyticAndGroupFunctions) {
  Check("SELECT emp_id, ROW_NUMBER() OVER (PARTITION BY dept_id ORDER BY hired DESC NULLS LAST) AS rn, "
        "LAG(hired, 1) OVER (ORDER BY hired) AS prev, LEAD(ename) OVER (ORDER BY hired) AS next_name, "
        "SUM(pay) OVER (PARTITION BY dept_id ORDER BY hired ROWS BETWEEN 2 PRECEDING AND CURRENT ROW) AS moving, "
        "FIRST_VALUE(pay IGNORE NULLS) OVER (ORDER BY hired RANGE UNBOUNDED PRECEDING) AS first_pay, "
        "RATIO_TO_REPORT(pay) OVER (PARTITION BY dept_id) AS pay_share FROM emp",
        {"EMP_ID NUMBER(6,0) N", "RN NUMBER Y", "PREV DATE Y", "NEXT_NAME VARCHAR2(40 C) Y", "MOVING NUMBER Y",
         "FIRST_PAY NUMBER(8,2) Y", "PAY_SHARE NUMBER Y"});
  Check("SELECT dept_id, LISTAGG(ename, ', ' ON OVERFLOW TRUNCATE '...' WITHOUT COUNT) WITHIN GROUP "
        "(ORDER BY hired) AS names, COUNT(*) AS n, MAX(hired) AS last_hire FROM emp GROUP BY dept_id",
        {"DEPT_ID NUMBER(4,0) Y", "NAMES VARCHAR2(4000 B) Y", "N NUMBER Y", "LAST_HIRE DATE Y"});
  // Several groupings: every column may come back NULL.
  Check("SELECT dept_id, emp_id, SUM(pay) AS total, GROUPING_ID(dept_id, emp_id) AS lvl FROM emp "
        "GROUP BY GROUPING SETS ((dept_id, emp_id), dept_id, ())",
        {"DEPT_ID NUMBER(4,0) Y", "EMP_ID NUMBER(6,0) Y", "TOTAL NUMBER Y", "LVL NUMBER Y"});
  Check("SELECT dept_id, emp_id, GROUPING(emp_id) AS g FROM emp GROUP BY ROLLUP (dept_id, emp_id)",
        {"DEPT_ID NUMBER(4,0) Y", "EMP_ID NUMBER(6,0) Y", "G NUMBER Y"});
  Check("SELECT dept_id, COUNT(*) AS n FROM emp GROUP BY CUBE (dept_id)", {"DEPT_ID NUMBER(4,0) Y", "N NUMBER Y"});
}

TEST_F(ViewDescribe, SetOperatorsSubqueriesAndJsonTable) {
  Check("SELECT emp_id AS id, ename AS label FROM emp UNION ALL SELECT dept_id, name FROM dept "
        "INTERSECT SELECT dept_id, city FROM dept",
        {"ID NUMBER(6,0) N", "LABEL VARCHAR2(40 C) Y"});
  Check("SELECT d.name, (SELECT COUNT(*) FROM emp e WHERE e.dept_id = d.dept_id) AS staff FROM dept d "
        "WHERE EXISTS (SELECT 1 FROM emp e WHERE e.dept_id = d.dept_id) AND d.dept_id IN (SELECT dept_id FROM emp)",
        {"NAME VARCHAR2(30 B) N", "STAFF NUMBER Y"});
  Check("SELECT e.emp_id, j.* FROM emp e, JSON_TABLE(e.doc, '$' COLUMNS (n FOR ORDINALITY, "
        "kind VARCHAR2(10 CHAR) PATH '$.kind', NESTED PATH '$.items[*]' COLUMNS (qty NUMBER(5) PATH '$.q', "
        "at DATE PATH '$.at', flag VARCHAR2(5) EXISTS PATH '$.f'))) j",
        {"EMP_ID NUMBER(6,0) N", "N NUMBER Y", "KIND VARCHAR2(10 C) Y", "QTY NUMBER(5,0) Y", "AT DATE Y",
         "FLAG VARCHAR2(5 B) Y"});
}

TEST_F(ViewDescribe, MissingNamesAndMisplacedFunctionsAreRefused) {
  for (const Refusal& c : std::vector<Refusal>{
           {"CREATE VIEW V AS SELECT e.emp_id FROM emp e JOIN nosuch n ON n.id = e.emp_id", 942, "nosuch"},
           {"CREATE VIEW V AS SELECT e.emp_id FROM emp e JOIN dept d ON d.nope = e.dept_id", 904, "d.nope"},
           {"CREATE VIEW V AS SELECT emp_id FROM emp JOIN dept USING (nope)", 904, "dept USING"},
           {"CREATE VIEW V AS SELECT emp.dept_id FROM emp JOIN dept USING (dept_id)", 25154, "emp.dept_id"},
           {"CREATE VIEW V AS SELECT emp_id FROM emp WHERE ROW_NUMBER() OVER (ORDER BY hired) = 1", 30483, "ROW_"},
           {"CREATE VIEW V AS SELECT RANK() AS r FROM emp", 30484, "RANK"},
           {"CREATE VIEW V AS SELECT LAG(pay) OVER (PARTITION BY dept_id) AS r FROM emp", 30485, "LAG"},
           {"CREATE VIEW V AS SELECT COUNT(*) FROM emp", 998, "COUNT"},
           {"CREATE VIEW V AS SELECT dept_id, SUM(pay) AS s FROM emp GROUP BY ROLLUP (emp_id)", 979, "dept_id,"},
           {"CREATE VIEW V AS SELECT j.nope FROM emp, JSON_TABLE(doc, '$' COLUMNS (a NUMBER PATH '$.a')) j", 904,
            "j.nope"},
           {"CREATE VIEW V AS SELECT j.a FROM JSON_TABLE(nope, '$' COLUMNS (a NUMBER PATH '$.a')) j", 904, "nope"},
           {"CREATE VIEW V AS SELECT CAST(pay AS NUMBR) AS p FROM emp", 902, "NUMBR"},
       }) {
    SCOPED_TRACE(c.sql);
    oraemu::EOraError e = Refuse(c.sql);
    EXPECT_EQ(e.code(), c.code) << e.what();
    EXPECT_EQ(e.offset(), static_cast<int>(std::string(c.sql).find(c.at))) << e.what();
  }
}

TEST_F(ViewDescribe, ClausesTheEngineDoesNotReadLeaveTheSelectListToJudge) {
  Check("SELECT emp_id, ename FROM emp WITH READ ONLY", {"EMP_ID NUMBER(6,0) N", "ENAME VARCHAR2(40 C) N"});
  Check("SELECT emp_id FROM emp WHERE pay > 0 WITH CHECK OPTION CONSTRAINT v_ck", {"EMP_ID NUMBER(6,0) N"});
  Check("SELECT emp_id FROM emp START WITH dept_id IS NULL CONNECT BY PRIOR emp_id = dept_id",
        {"EMP_ID NUMBER(6,0) N"});
  EXPECT_EQ(Refuse("CREATE VIEW V2 AS SELECT nope FROM emp WITH READ ONLY").code(), 904);
}

TEST_F(ViewDescribe, QueriesThisServerCannotRunAreDescribedButNotRun) {
  Exec("CREATE VIEW V_ROLLUP AS SELECT dept_id, COUNT(*) AS n FROM emp GROUP BY ROLLUP (dept_id)");
  Exec("CREATE VIEW V_RANK AS SELECT emp_id, RANK() OVER (ORDER BY pay) AS r FROM emp");
  // Window functions run (the table holds no rows); several groupings do not.
  EXPECT_TRUE(Exec("SELECT * FROM v_rank").rows.empty());
  EXPECT_EQ(Exec("SELECT r FROM v_rank").columns.size(), 1u);
  std::string sql = "SELECT * FROM v_rollup";
  oraemu::EOraError e = RefuseAs(*app_, sql);
  EXPECT_EQ(e.code(), 3001);
  EXPECT_EQ(e.offset(), static_cast<int>(sql.find("v_rollup")));
}

TEST_F(ViewDescribe, TriggersOnViewsAndTablesFollowOraclesRules) {
  Exec("CREATE VIEW EV AS SELECT emp_id, pay FROM emp");
  for (const Refusal& c : std::vector<Refusal>{
           {"CREATE TRIGGER T1 INSTEAD OF UPDATE ON emp FOR EACH ROW BEGIN NULL; END;", 25002, "emp"},
           {"CREATE TRIGGER T1 BEFORE UPDATE ON ev FOR EACH ROW BEGIN NULL; END;", 25001, "ev"},
           {"CREATE TRIGGER T1 AFTER INSERT ON emp WHEN (1 = 1) BEGIN NULL; END;", 4077, "WHEN"},
           {"CREATE TRIGGER T1 INSTEAD OF DELETE ON ev FOR EACH ROW WHEN (old.pay > 0) BEGIN NULL; END;", 25004,
            "WHEN"},
           {"CREATE TRIGGER T1 FOR INSERT ON emp BEGIN NULL; END;", 4071, "BEGIN"},
           {"CREATE TRIGGER T1 BEFORE INSERT ON emp COMPOUND TRIGGER BEFORE STATEMENT IS BEGIN NULL; END BEFORE "
            "STATEMENT; END;",
            4071, "COMPOUND"},
       }) {
    SCOPED_TRACE(c.sql);
    oraemu::EOraError e = Refuse(c.sql);
    EXPECT_EQ(e.code(), c.code) << e.what();
    EXPECT_EQ(e.offset(), static_cast<int>(std::string(c.sql).find(c.at))) << e.what();
  }
  Exec("CREATE TRIGGER EV_IO INSTEAD OF UPDATE ON ev FOR EACH ROW BEGIN UPDATE emp SET pay = :new.pay; END;");
  Exec("CREATE TRIGGER EMP_C FOR INSERT OR DELETE ON emp COMPOUND TRIGGER\n"
       "  BEFORE STATEMENT IS\n  BEGIN\n    NULL;\n  END BEFORE STATEMENT;\n"
       "  AFTER EACH ROW IS\n  BEGIN\n    NULL;\n  END AFTER EACH ROW;\nEND EMP_C;");
  oraemu::Result r = Exec(
      "SELECT TRIGGER_NAME, TRIGGER_TYPE, TRIGGERING_EVENT, BASE_OBJECT_TYPE, BEFORE_STATEMENT, BEFORE_ROW, "
      "AFTER_ROW, AFTER_STATEMENT, INSTEAD_OF_ROW FROM USER_TRIGGERS ORDER BY TRIGGER_NAME");
  std::vector<std::string> rows;
  for (const auto& row : r.rows) {
    std::string line;
    for (const auto& v : row) line += (line.empty() ? "" : "|") + v.text;
    rows.push_back(line);
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"EMP_C|COMPOUND|INSERT OR DELETE|TABLE|YES|NO|YES|NO|NO",
                                            "EV_IO|INSTEAD OF|UPDATE|VIEW|NO|NO|NO|NO|YES"}));
}
