#include <gtest/gtest.h>

#include <cctype>


#include "emulator_fixture.h"
#include "oracle/field_format.h"
#include "oracle/query.h"

namespace skelvane::oracle::testing {

namespace {

std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "<no exception>";
}

}  // namespace

class QueryTest : public EmulatorTest {
 protected:
  // Reads column N of every row and checks they run 0..count-1.
  void ExpectNumbers(TOracleQuery& q, int count) {
    int expected = 0;
    for (q.Execute(); !q.Eof(); q.Next()) {
      ASSERT_EQ(q.FieldText("n"), std::to_string(expected));
      ++expected;
    }
    EXPECT_EQ(expected, count);
  }
  TOracleQuery q;
};

TEST_F(QueryTest, RowsArriveInBatchesOfTheReadBuffer) {
  LogOn(true);
  q.Session = &session;
  q.SetSQLText(NumbersQuery(24));
  ExpectNumbers(q, 24);
  EXPECT_EQ(CountTrace("FETCH"), 1);  // a short batch ends the rows

  q.SetSQLText(NumbersQuery(25));
  ExpectNumbers(q, 25);
  EXPECT_EQ(CountTrace("FETCH"), 1 + 2);  // a full batch needs one more fetch
  EXPECT_EQ(q.ProcessedRows(), 25);

  q.SetSQLText(NumbersQuery(60));
  ExpectNumbers(q, 60);
  EXPECT_EQ(CountTrace("FETCH"), 3 + 3);

  q.SetSQLText(NumbersQuery(60) + "\n");
  q.ReadBuffer = 7;
  ExpectNumbers(q, 60);
  EXPECT_EQ(CountTrace("FETCH"), 6 + 9);
}

TEST_F(QueryTest, NoRowsMeansEofAtOnce) {
  LogOn();
  q.Session = &session;
  q.SetSQLText("select sequence_name from user_sequences");
  q.Execute();
  EXPECT_TRUE(q.Eof());
  EXPECT_EQ(MessageOf([&] { q.FieldText("sequence_name"); }), "You cannot access field data beyond Eof");
  EXPECT_EQ(MessageOf([&] { q.FieldText("nothing"); }), "Field nothing does not exist");
  EXPECT_EQ(MessageOf([&] { q.FieldText(5); }), "Field 5 does not exist");
  q.Next();  // harmless at Eof
  EXPECT_TRUE(q.Eof());
}

TEST_F(QueryTest, NumbersNullsDatesAndNames) {
  RunScript("APPU/secret", "CREATE SEQUENCE S1 INCREMENT BY 22 MAXVALUE 1000000000000000000000000000;\n");
  LogOn();
  q.Session = &session;
  q.SetSQL({"select sequence_name, increment_by, max_value, min_value, created,",
            "       1 a, 2 A, '' nothing",
            "from user_sequences, user_objects where object_name = sequence_name"});
  q.Execute();
  ASSERT_FALSE(q.Eof());
  EXPECT_EQ(q.FieldText("SEQUENCE_NAME"), "S1");
  EXPECT_EQ(q.FieldText("increment_by"), "22");
  EXPECT_EQ(q.FieldText("max_value"), "1E27");
  EXPECT_EQ(q.FieldText("min_value"), "1");
  EXPECT_EQ(q.FieldText("a"), "1");  // the first of two equal names
  EXPECT_EQ(q.FieldText("nothing"), "");
  // dd.mm.yyyy, then " hh:nn:ss" unless midnight
  const std::string created = q.FieldText("created");
  const std::string shape = created.size() == 10 ? "dd.dd.dddd" : "dd.dd.dddd dd:dd:dd";
  ASSERT_EQ(created.size(), shape.size()) << created;
  for (size_t i = 0; i < shape.size(); ++i)
    EXPECT_TRUE(shape[i] == 'd' ? std::isdigit(static_cast<unsigned char>(created[i])) != 0 : created[i] == shape[i])
        << created;
  q.Next();
  EXPECT_TRUE(q.Eof());

  TOracleQuery strings;
  strings.Session = &session;
  strings.StringFieldsOnly = true;
  strings.SetSQL(q.SQL());
  strings.Execute();
  ASSERT_FALSE(strings.Eof());
  EXPECT_EQ(strings.FieldType(strings.FieldIndex("increment_by")), TExternalType::Text);
  EXPECT_EQ(strings.FieldText("increment_by"), "22");
}

TEST_F(QueryTest, LongValueComesBackWholeWithCrLf) {
  std::string body = "SELECT C\nFROM T\nWHERE 1 = 1";
  for (int i = 0; body.size() < 100000; ++i) body += "\n  AND " + std::to_string(i) + " = " + std::to_string(i);
  RunScript("APPU/secret", "CREATE TABLE T (C NUMBER);\nCREATE OR REPLACE VIEW BIGV AS " + body + ";\n");
  LogOn();
  q.Session = &session;
  q.SetSQLText("select view_name, text from user_views where view_name = :v");
  q.AddVariable("v", otString);
  q.AssignVariable("v", TVariant("BIGV"));
  q.Execute();
  ASSERT_FALSE(q.Eof());
  const std::string text = q.FieldText("text");
  EXPECT_GE(RemoveCR(text).size(), 100000u);
  EXPECT_EQ(text, NormaliseLineEnds(body));
  session.Preferences.ConvertCRLF = false;
  EXPECT_EQ(q.FieldText("text"), body);
}

TEST_F(QueryTest, ErrorOnSecondLineGivesLineAndColumn) {
  LogOn();
  q.Session = &session;
  q.SetSQL({"create table t9 (", "  a numbr(3))"});
  try {
    q.Execute();
    FAIL() << "accepted";
  } catch (const EOracleError& e) {
    EXPECT_NE(e.ErrorCode(), 0);
  }
  EXPECT_EQ(q.ParseErrorLine(), 2);
  EXPECT_EQ(q.ParseErrorColumn(), 5);
  EXPECT_TRUE(q.Eof());

  q.SetSQL({"create table t9 (a number(3))"});  // the query works again after a failure
  q.Execute();
  EXPECT_EQ(q.ParseErrorLine(), 0);
  EXPECT_TRUE(q.Eof());
}

TEST_F(QueryTest, UnchangedTextIsNotParsedAgain) {
  RunScript("APPU/secret", "CREATE SEQUENCE S1;\nCREATE SEQUENCE S2;\n");
  LogOn(true);
  q.Session = &session;
  q.SetSQL({"select sequence_name from user_sequences where sequence_name = :name"});
  q.AddVariable("name", otString);
  for (const char* name : {"S1", "S2", "S3"}) {
    q.AssignVariable("name", TVariant(name));
    q.Execute();
    if (std::string(name) == "S3") {
      EXPECT_TRUE(q.Eof());
    } else {
      ASSERT_FALSE(q.Eof());
      EXPECT_EQ(q.FieldText("sequence_name"), name);  // the new value reached the server
    }
  }
  EXPECT_EQ(CountTrace("PREPARE"), 1);
  EXPECT_EQ(CountTrace("DESCRIBE"), 0);

  q.SetSQL(q.SQL());  // setting the text forces a parse even when it is the same
  q.Execute();
  EXPECT_EQ(CountTrace("PREPARE"), 2);
  q.Optimize = false;
  q.Execute();
  EXPECT_EQ(CountTrace("PREPARE"), 3);
}

TEST_F(QueryTest, SubstitutionVariablesChangeTheText) {
  RunScript("APPU/secret", "CREATE SEQUENCE S1;\n");
  LogOn();
  q.Session = &session;
  q.SetSQLText("select :what from :view");
  q.AddVariable("what", otSubst);
  q.AddVariable("view", otSubst);
  q.AssignVariable("what", TVariant("sequence_name"));
  q.AssignVariable("view", TVariant("user_sequences"));
  std::string shown;
  TOracleQuery::DebugHook() = [&](const std::string& text) { shown = text; };
  q.Debug = true;
  q.Execute();
  TOracleQuery::DebugHook() = nullptr;
  EXPECT_EQ(shown, "select :what from :view\r\n\r:WHAT = sequence_name\r:VIEW = user_sequences");
  ASSERT_FALSE(q.Eof());
  EXPECT_EQ(q.FieldText("sequence_name"), "S1");
}

TEST_F(QueryTest, DdlAndMisuse) {
  EXPECT_EQ(MessageOf([&] { q.Execute(); }), "Session undefined");
  q.Session = &session;
  EXPECT_EQ(MessageOf([&] { q.Execute(); }), "Not logged on");
  LogOn();
  q.SetSQLText("create sequence s5");
  q.Execute();
  EXPECT_TRUE(q.Eof());
  try {
    q.Execute();  // the name is taken now
    FAIL() << "accepted twice";
  } catch (const EOracleError& e) {
    EXPECT_EQ(e.ErrorCode(), 955);
  }

  // LogOff closes the query; after a new logon it runs again.
  q.SetSQLText("select sequence_name from user_sequences");
  q.Execute();
  ASSERT_FALSE(q.Eof());
  session.LogOff();
  EXPECT_TRUE(q.Eof());
  EXPECT_EQ(MessageOf([&] { q.Execute(); }), "Not logged on");
  LogOn();
  q.Execute();
  ASSERT_FALSE(q.Eof());
  EXPECT_EQ(q.FieldText("sequence_name"), "S5");
}

TEST_F(QueryTest, DescribeWithoutFetching) {
  LogOn(true);
  q.Session = &session;
  q.SetSQLText("select table_name, tablespace_name from user_tables");
  q.Describe();
  EXPECT_EQ(q.FieldCount(), 2);
  EXPECT_EQ(q.FieldName(1), "TABLESPACE_NAME");
  EXPECT_TRUE(q.Eof());
  EXPECT_EQ(CountTrace("FETCH"), 0);
  q.Execute();  // uses the description
  EXPECT_EQ(CountTrace("PREPARE"), 1);
}

}  // namespace skelvane::oracle::testing
