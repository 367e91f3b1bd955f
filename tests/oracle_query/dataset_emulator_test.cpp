#include <gtest/gtest.h>

#include "dictionary/dm_sql.h"
#include "emulator_fixture.h"
#include "oracle/dataset.h"

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

TVariant Values(std::vector<TVariant> items) { return TVariant(std::move(items)); }

const char* kSchema = R"sql(
CREATE TABLE T1 (ID NUMBER(10) NOT NULL, NAME VARCHAR2(30));
CREATE TABLE T2 (A NUMBER(10));
CREATE TABLE T3 (B NUMBER(10));
GRANT SELECT, UPDATE ON T1 TO OTHERU;
GRANT SELECT ON T2 TO OTHERU;
GRANT SELECT ON T2 TO SYSTEM;
GRANT SELECT ON T3 TO SYSTEM;
CREATE SYNONYM SY1 FOR T1;
CREATE SYNONYM SY2 FOR T2;
CREATE SEQUENCE S1;
CREATE SEQUENCE S2 INCREMENT BY 2 MAXVALUE 1000000000000000000000000000;
CREATE SEQUENCE S3 INCREMENT BY 3;
)sql";

}  // namespace

class DataSetTest : public EmulatorTest {
 protected:
  void SetUp() override {
    EmulatorTest::SetUp();
    if (HasFatalFailure()) return;
    RunScript("APPU/secret", kSchema);
    LogOn();
    ds.Name = "oDS";
    ds.SetSession(&session);
  }
  std::string Current(const char* field) { return ds.FieldForColumn(field).AsString(); }
  TOracleDataSet ds;
};

TEST_F(DataSetTest, PrivilegeRowsByTableAndGrantee) {
  ds.SetSQL({"select * from table_privileges", "where owner=USER", "order by table_name, grantee", ""});
  ds.Open();
  ASSERT_TRUE(ds.Active());
  ASSERT_EQ(ds.RecordCount(), 4);
  EXPECT_TRUE(ds.LocateRecord("table_name;grantee", Values({"T2", "SYSTEM"})));
  EXPECT_EQ(Current("table_name"), "T2");
  EXPECT_EQ(Current("GRANTEE"), "SYSTEM");
  EXPECT_TRUE(ds.LocateRecord(" table_name ; grantee ", Values({"T1", "OTHERU"})));
  EXPECT_EQ(Current("update_priv"), "A");

  // A failed search leaves the current record where it was.
  EXPECT_FALSE(ds.LocateRecord("table_name;grantee", Values({"T3", "OTHERU"})));
  EXPECT_EQ(Current("table_name"), "T1");
  EXPECT_FALSE(ds.LocateRecord("table_name;grantee", Values({"t1", "OTHERU"})));  // case counts

  EXPECT_EQ(MessageOf([&] { ds.LocateRecord("table_name;grantee", TVariant("T2")); }),
            "oDS.SearchRecord: number of fields and values do not match");
  EXPECT_EQ(MessageOf([&] { ds.LocateRecord("table_name;grantees", Values({"T2", "SYSTEM"})); }),
            "oDS: Field 'grantees' not found");
  EXPECT_EQ(MessageOf([&] { ds.LocateRecord("rowid", TVariant("x")); }),
            "You cannot search a rowid if it is not included in the select list");
  EXPECT_EQ(MessageOf([&] {
              ds.SearchRecord("table_name", TVariant("T2"),
                              {TSearchRecordOption::srFromBeginning, TSearchRecordOption::srFromEnd});
            }),
            "oDS.SearchRecord options invalid");
  EXPECT_EQ(Current("table_name"), "T1");
}

TEST_F(DataSetTest, EmptyKeyValueMatchesNullGrantee) {
  ds.SetSQL(skelvane::dm_sql::kSynonymsDataSet);
  ds.Open();
  // The user's two and the database's public synonyms of its dictionary views.
  ASSERT_GT(ds.RecordCount(), 2);
  EXPECT_TRUE(ds.LocateRecord("o_name;s_name", Values({"T2", "SY2"})));
  EXPECT_TRUE(ds.FieldForColumn("grantee").IsNull());
  EXPECT_TRUE(ds.LocateRecord("s_name;grantee", Values({"SY1", ""})));
  EXPECT_EQ(Current("o_name"), "T1");
  EXPECT_FALSE(ds.LocateRecord("s_name;grantee", Values({"SY1", "PUBLIC"})));
}

TEST_F(DataSetTest, WalkAndTypedFields) {
  ds.SetSQL({"select sequence_name, increment_by, max_value from user_sequences order by sequence_name"});
  ds.Open();
  EXPECT_EQ(ds.FieldForColumn("increment_by").Kind(), TFieldKind::Float);
  std::vector<std::string> names;
  for (ds.First(); !ds.Eof(); ds.Next()) names.push_back(Current("sequence_name"));
  EXPECT_EQ(names, (std::vector<std::string>{"S1", "S2", "S3"}));
  EXPECT_EQ(Current("sequence_name"), "S3");  // Next past the end stays on the last record
  ds.Next();
  EXPECT_EQ(Current("sequence_name"), "S3");

  EXPECT_TRUE(ds.LocateRecord("increment_by", TVariant(2)));
  EXPECT_EQ(Current("sequence_name"), "S2");
  EXPECT_EQ(Current("max_value"), "1E27");
  ds.First();
  EXPECT_EQ(Current("max_value"), "1E28");  // the default, 28 nines
  EXPECT_FALSE(ds.Eof());
  EXPECT_THROW(ds.LocateRecord("increment_by", TVariant("two")), std::exception);

  using O = TSearchRecordOption;
  EXPECT_TRUE(ds.SearchRecord("sequence_name", TVariant("s"), {O::srFromEnd, O::srIgnoreCase, O::srPartialMatch}));
  EXPECT_EQ(Current("sequence_name"), "S3");
  EXPECT_TRUE(ds.SearchRecord("sequence_name", TVariant("S"), {O::srBackward, O::srPartialMatch}));
  EXPECT_EQ(Current("sequence_name"), "S2");  // from the current record, which is not tested
  EXPECT_TRUE(ds.SearchRecord("sequence_name", TVariant("S1"), {O::srFromBeginning, O::srDontMove}));
  EXPECT_EQ(Current("sequence_name"), "S2");
  EXPECT_FALSE(ds.SearchRecord("sequence_name", TVariant("S1"), {}));  // forward from S2
}

TEST_F(DataSetTest, ClosedAndLoggedOff) {
  ds.SetSQL({"select sequence_name from user_sequences"});
  EXPECT_THROW(ds.LocateRecord("sequence_name", TVariant("S1")), EDatabaseError);
  ds.Open();
  EXPECT_EQ(MessageOf([&] { ds.FieldForColumn("nope"); }), "oDS: Field 'nope' not found");
  ds.Close();
  EXPECT_FALSE(ds.Active());
  ds.Open();
  EXPECT_EQ(ds.RecordCount(), 3);
  session.LogOff();
  EXPECT_FALSE(ds.Active());
  EXPECT_TRUE(ds.Eof());
}

}  // namespace skelvane::oracle::testing
