// Stored code whose text is visibly broken is kept, marked invalid, listed
// in USER_ERRORS and answered with ORA-24344; sound code is valid.
#include <string>

#include "emu_fixture.h"

namespace {

struct UnitCase {
  const char* sql;
  const char* name;
  int errorLine;  // 0: compiles
};

const UnitCase kUnits[] = {
    {"CREATE PROCEDURE P IS\nBEGIN\n  NULL;\nEND;", "P", 0},
    {"CREATE OR REPLACE FUNCTION F RETURN NUMBER IS\n  x NUMBER := 1;\nBEGIN\n"
     "  IF x > 0 THEN\n    FOR i IN 1 .. 3 LOOP\n      x := CASE WHEN i = 2 THEN x + 1 ELSE x END;\n"
     "    END LOOP;\n  END IF;\n  CASE x WHEN 1 THEN NULL; ELSE NULL; END CASE;\n  RETURN x;\nEND F;",
     "F", 0},
    {"CREATE PROCEDURE P IS\n  PROCEDURE inner IS BEGIN NULL; END inner;\nBEGIN\n  inner; -- END\n"
     "  DBMS_OUTPUT.PUT_LINE('END; BEGIN');\n  /* END */\nEND;", "P", 0},
    {"CREATE PROCEDURE P IS\nBEGIN\n  NULL;\n", "P", 4},                       // no END
    {"CREATE PROCEDURE P IS\nBEGIN\n  NULL;\nEND;\nEND;", "P", 5},              // END without a block
    {"CREATE PROCEDURE P IS\nBEGIN\n  x := 'abc;\nEND;", "P", 3},               // string left open
    {"CREATE FUNCTION F RETURN NUMBER IS\nBEGIN\n  IF 1 = 1 THEN\n    RETURN 1;\nEND;", "F", 5},  // IF unclosed
    {"CREATE PROCEDURE P IS\nBEGIN\n  BEGIN\n    NULL;\nEND;", "P", 5},           // outer block unclosed
    {"CREATE PROCEDURE P IS\nBEGIN\n  /* never closed\nEND;", "P", 3},
    {"CREATE TRIGGER G BEFORE INSERT ON T FOR EACH ROW\nBEGIN\n  :new.a := 1;\n", "G", 4},
    {"CREATE TRIGGER G BEFORE INSERT ON T FOR EACH ROW\nBEGIN\n  :new.a := 1;\nEND;", "G", 0},
};

class CompileErrors : public EmuTest {
 protected:
  void SetUp() override {
    EmuTest::SetUp();
    Exec("CREATE TABLE T (A NUMBER)");
  }
};

TEST_F(CompileErrors, BrokenUnitsAreKeptInvalidWithTheirErrorLine) {
  for (const UnitCase& c : kUnits) {
    SCOPED_TRACE(c.sql);
    oraemu::Result r = Exec(c.sql);
    const std::string status =
        Row(std::string("SELECT status FROM objects WHERE name = '") + c.name + "' AND owner_id >= 100");
    auto errors = app_->Execute(std::string("select line, text from user_errors where name = '") + c.name + "'", {});
    if (c.errorLine == 0) {
      EXPECT_FALSE(r.warning.has_value());
      EXPECT_EQ(status, "1");
      EXPECT_TRUE(errors.rows.empty());
    } else {
      ASSERT_TRUE(r.warning.has_value());
      EXPECT_EQ(r.warning->code(), 24344);
      EXPECT_STREQ(r.warning->what(), "ORA-24344: success with compilation error");
      EXPECT_NE(status, "1");
      ASSERT_EQ(errors.rows.size(), 1u);
      EXPECT_EQ(errors.rows[0][0].text, std::to_string(c.errorLine));
      EXPECT_EQ(errors.rows[0][1].text.rfind("PLS-00103: ", 0), 0u) << errors.rows[0][1].text;
    }
    auto objects = app_->Execute(std::string("select status from user_objects where object_name = '") + c.name + "'", {});
    ASSERT_EQ(objects.rows.size(), 1u);
    EXPECT_EQ(objects.rows[0][0].text, c.errorLine ? "INVALID" : "VALID");
    Exec(std::string(c.name[0] == 'G' ? "DROP TRIGGER " : c.name[0] == 'F' ? "DROP FUNCTION " : "DROP PROCEDURE ") +
         c.name);
  }
}

TEST_F(CompileErrors, ReplacingWithSoundCodeClearsTheErrors) {
  EXPECT_TRUE(Exec("CREATE OR REPLACE PROCEDURE P IS\nBEGIN\n  NULL;\n").warning.has_value());
  EXPECT_FALSE(Exec("CREATE OR REPLACE PROCEDURE P IS\nBEGIN\n  NULL;\nEND;").warning.has_value());
  EXPECT_EQ(Row("SELECT status FROM objects WHERE name = 'P'"), "1");
  EXPECT_EQ(Row("SELECT count(*) FROM code_errors"), "0");
  // Dropping the unit drops its errors.
  Exec("CREATE OR REPLACE PROCEDURE P IS\nBEGIN\n");
  Exec("DROP PROCEDURE P");
  EXPECT_EQ(Row("SELECT count(*) FROM code_errors"), "0");
}

}  // namespace
