// Every statement of the data module against an emulator schema, the
// grouped lists fed by real queries and data sets, and ExecuteStatement.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "dictionary/dm.h"
#include "dictionary/grouped_lists.h"
#include "dictionary/row_sources.h"
#include "support/emulator_database.h"
#include "support/query_error.h"
#include "support/recording_host.h"
#include "support/test_schema.h"

namespace skelvane {
namespace {

using Strings = std::vector<std::string>;

class DictionaryDb : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.RunAsSystem(testing::kTestUsers);
    db_.Run("APPU/secret", testing::kTestSchema);
    AddObjects();
    db_.UseInThisProcess();
    dm_.OracleSession1.LogonUsername = "APPU";
    dm_.OracleSession1.LogonPassword = "secret";
    dm_.OracleSession1.LogonDatabase = db_.Id();
    dm_.OracleSession1.LogOn();
  }
  void TearDown() override { dm_.OracleSession1.LogOff(); }
  // Objects a test needs beyond the shared schema, made before the logon.
  virtual void AddObjects() {}

  // Executes and collects one column of every row.
  static Strings Column(oracle::TOracleQuery& q, const std::string& column) {
    q.Execute();
    Strings values;
    for (; !q.Eof(); q.Next()) values.push_back(q.FieldText(column));
    return values;
  }

  testing::TEmulatorDatabase db_;
  TDM dm_;
};

TEST_F(DictionaryDb, ExportQueriesListEachKindInOrder) {
  EXPECT_EQ(Column(dm_.Q_Tables, "table_name"), (Strings{"T1", "T2"}));
  EXPECT_EQ(Column(dm_.Q_Tables, "comments"), (Strings{"first table", ""}));
  EXPECT_EQ(Column(dm_.Q_Sequences, "sequence_name"), (Strings{"S1", "S2"}));
  EXPECT_EQ(Column(dm_.Q_Sequences, "increment_by"), (Strings{"1", "2"}));
  EXPECT_EQ(Column(dm_.Q_Triggers, "trigger_name"), (Strings{"TR1", "TR2"}));
  EXPECT_EQ(Column(dm_.Q_Views, "view_name"), (Strings{"V1", "V2"}));
  EXPECT_EQ(Column(dm_.Q_Views, "comments"), (Strings{"first view", ""}));
  EXPECT_EQ(Column(dm_.Q_DbLink, "db_link").size(), 2u);
  EXPECT_EQ(Column(dm_.Q_DbLink, "host"), (Strings{"host1", "host2"}));
  EXPECT_EQ(Column(dm_.Q_Synonyms, "s_name"), (Strings{"SY1", "SY2"}));
  EXPECT_EQ(Column(dm_.Q_Synonyms, "o_name"), (Strings{"T1", "T2"}));
  EXPECT_EQ(Column(dm_.Q_Synonyms, "grantee"), (Strings{"", ""}));  // the user's own
}

TEST_F(DictionaryDb, ColumnsOfATableWithAndWithoutComments) {
  dm_.Q_TableFields.AssignVariable("table_name", "T1");
  EXPECT_EQ(Column(dm_.Q_TableFields, "column_name"), (Strings{"ID", "NAME"}));
  EXPECT_EQ(Column(dm_.Q_TableFields, "comments"), (Strings{"", "the name"}));  // outer join
  EXPECT_EQ(Column(dm_.Q_TableFields, "nullable"), (Strings{"N", "Y"}));
  dm_.Q_TableFields.AssignVariable("TABLE_NAME", "V2");  // views have columns too
  EXPECT_EQ(Column(dm_.Q_TableFields, "column_name"), (Strings{"A", "C"}));
}

TEST_F(DictionaryDb, StoredCodeFoldsIntoOneRecordPerRoutine) {
  TFuncList functions;
  dm_.Q_Functions.Execute();
  TQueryRows functionRows(dm_.Q_Functions);
  functions.Fill(functionRows);
  ASSERT_EQ(functions.Count(), 2);
  EXPECT_EQ(functions.Item(0).Name, "F1");
  // The session hands line ends out as CR LF (ConvertCRLF).
  EXPECT_EQ(functions.Item(0).Text, "FUNCTION F1 RETURN NUMBER IS\r\nBEGIN\r\n  RETURN 1;\r\nEND;");
  EXPECT_NE(functions.FindByName("f2"), nullptr);

  TFuncList procedures;
  dm_.Q_Procedures.Execute();
  TQueryRows procedureRows(dm_.Q_Procedures);
  procedures.Fill(procedureRows);
  ASSERT_EQ(procedures.Count(), 2);
  EXPECT_EQ(procedures.Item(1).Name, "P2");

  dm_.Q_Function2.AssignVariable("name", "F2");
  TFuncList one;
  dm_.Q_Function2.Execute();
  TQueryRows oneRows(dm_.Q_Function2);
  one.Fill(oneRows);
  ASSERT_EQ(one.Count(), 1);
  EXPECT_EQ(one.Item(0).Text, "FUNCTION F2 RETURN NUMBER IS\r\nBEGIN\r\n  RETURN 2;\r\nEND;");

  dm_.Q_Procedure2.AssignVariable("NAME", "P1");
  EXPECT_EQ(Column(dm_.Q_Procedure2, "name"), (Strings{"P1", "P1", "P1", "P1"}));
}

TEST_F(DictionaryDb, IndexesGroupTheSameFromQueryAndDataSet) {
  dm_.Q_TableIndexes.AssignVariable("table_name", "T2");
  dm_.Q_TableIndexes.Execute();
  TIndexList fromQuery;
  TQueryRows queryRows(dm_.Q_TableIndexes);
  fromQuery.Fill(queryRows);
  ASSERT_EQ(fromQuery.Count(), 2);
  EXPECT_EQ(fromQuery.Item(0).IndexName, "T2_C_I");
  EXPECT_EQ(fromQuery.Item(0).Columns, "C,A");  // column position order, not name order
  EXPECT_EQ(fromQuery.Item(0).Uniqueness, "NONUNIQUE");
  EXPECT_EQ(fromQuery.Item(1).IndexName, "T2_UK");
  EXPECT_EQ(fromQuery.Item(1).Columns, "A,B");
  EXPECT_EQ(fromQuery.Item(1).Uniqueness, "UNIQUE");

  dm_.oDS_Indexes.AssignVariable("TABLE_NAME", "T2");
  dm_.oDS_Indexes.Open();
  TIndexList fromDataSet;
  TDataSetRows dataSetRows(dm_.oDS_Indexes, true);
  fromDataSet.Fill(dataSetRows);
  ASSERT_EQ(fromDataSet.Count(), 2);
  EXPECT_EQ(fromDataSet.Item(0).Columns, "C,A");
  EXPECT_TRUE(dm_.oDS_Indexes.Eof());
}

TEST_F(DictionaryDb, DataSetValuesAreTrimmedQueryValuesAreNot) {
  dm_.Q_TableIndexes.AssignVariable("table_name", "T1");
  dm_.Q_TableIndexes.Execute();
  TIndexList fromQuery;
  TQueryRows queryRows(dm_.Q_TableIndexes);
  fromQuery.Fill(queryRows);
  ASSERT_EQ(fromQuery.Count(), 2);
  EXPECT_EQ(fromQuery.Item(0).IndexName, " I_SP");

  dm_.oDS_Indexes.AssignVariable("table_name", "T1");
  dm_.oDS_Indexes.Open();
  TIndexList fromDataSet;
  TDataSetRows dataSetRows(dm_.oDS_Indexes, true);
  fromDataSet.Fill(dataSetRows);
  ASSERT_EQ(fromDataSet.Count(), 2);
  EXPECT_EQ(fromDataSet.Item(0).IndexName, "I_SP");
  EXPECT_EQ(fromDataSet.FindByName("t1_pk"), &fromDataSet.Item(1));
}

TEST_F(DictionaryDb, ConstraintsCarryTheirReferenceText) {
  dm_.Q_TableConstraints.AssignVariable("table_name", "T2");
  dm_.Q_TableConstraints.Execute();
  TConstraintList list;
  TQueryRows queryRows(dm_.Q_TableConstraints);
  list.Fill(queryRows);
  ASSERT_EQ(list.Count(), 3);
  const TConstraintData* fk = list.FindByName("T2_FK");
  ASSERT_NE(fk, nullptr);
  EXPECT_EQ(fk->ConstraintType, "R");
  EXPECT_EQ(fk->Reference, "(A) REFERENCES T1 (ID)");
  const TConstraintData* uk = list.FindByName("t2_uk");
  ASSERT_NE(uk, nullptr);
  EXPECT_EQ(uk->ConstraintType, "U");
  EXPECT_EQ(uk->IndexName, "T2_UK");
  // An empty value added to an empty list leaves it empty: no ",".
  EXPECT_EQ(uk->Reference, "(A,B) REFERENCES  ()");
  const TConstraintData* ck = list.FindByName("T2_CK");
  ASSERT_NE(ck, nullptr);
  EXPECT_EQ(ck->SearchCondition, "B > 0");

  dm_.oDS_Constraints.AssignVariable("TABLE_NAME", "T2");
  dm_.oDS_Constraints.Open();
  TConstraintList fromDataSet;
  TDataSetRows dataSetRows(dm_.oDS_Constraints, true);
  fromDataSet.Fill(dataSetRows);
  ASSERT_EQ(fromDataSet.Count(), 3);
  EXPECT_EQ(fromDataSet.FindByName("T2_FK")->Reference, "(A) REFERENCES T1 (ID)");
}

TEST_F(DictionaryDb, PrivilegesFromQueryAndDataSet) {
  dm_.Q_Privileges.Execute();
  ASSERT_FALSE(dm_.Q_Privileges.Eof());
  EXPECT_EQ(dm_.Q_Privileges.FieldText("table_name"), "T1");
  EXPECT_EQ(dm_.Q_Privileges.FieldText("grantee"), "OTHERU");
  const TQueryRows queryRow(dm_.Q_Privileges);
  EXPECT_EQ(PrivilegeText(queryRow), "SELECT,UPDATE");
  dm_.Q_Privileges.Next();
  EXPECT_EQ(PrivilegeText(queryRow), "SELECT");
  dm_.Q_Privileges.Next();
  EXPECT_TRUE(dm_.Q_Privileges.Eof());

  dm_.oDS_Privileges.Open();
  ASSERT_TRUE(dm_.oDS_Privileges.LocateRecord("table_name;grantee",
                                              oracle::TVariant(std::vector<oracle::TVariant>{"T1", "OTHERU"})));
  EXPECT_EQ(PrivilegeText(TDataSetRows(dm_.oDS_Privileges, false)), "SELECT,UPDATE");
}

TEST_F(DictionaryDb, KeyedDataSetsFindTheirObjects) {
  using oracle::TVariant;
  dm_.oDS_Sequences.Open();
  ASSERT_TRUE(dm_.oDS_Sequences.LocateRecord("sequence_name", TVariant("S2")));
  EXPECT_EQ(dm_.oDS_Sequences.FieldForColumn("increment_by").AsString(), "2");
  EXPECT_FALSE(dm_.oDS_Sequences.LocateRecord("sequence_name", TVariant("S9")));

  dm_.oDS_Synonyms.Open();
  EXPECT_TRUE(dm_.oDS_Synonyms.LocateRecord(
      "o_name;s_name", TVariant(std::vector<TVariant>{"T2", "SY2"})));

  dm_.oDS_DbLink.Open();
  ASSERT_TRUE(dm_.oDS_DbLink.LocateRecord("db_link", TVariant(dm_.oDS_DbLink.FieldForColumn("db_link").AsString())));
  EXPECT_EQ(dm_.oDS_DbLink.RecordCount(), 2);

  dm_.oDS_Tables.AssignVariable("table_name", "T1");
  dm_.oDS_Tables.Open();
  ASSERT_EQ(dm_.oDS_Tables.RecordCount(), 1);
  EXPECT_EQ(dm_.oDS_Tables.FieldForColumn("comments").AsString(), "first table");

  dm_.oDS_TableFields.AssignVariable("table_name", "T1");
  dm_.oDS_TableFields.Open();
  EXPECT_TRUE(dm_.oDS_TableFields.LocateRecord("column_name", TVariant("NAME")));
  EXPECT_EQ(dm_.oDS_TableFields.FieldForColumn("comments").AsString(), "the name");
}

TEST_F(DictionaryDb, SingleObjectQueries) {
  dm_.Q_Trigger2.AssignVariable("TRIGGER_NAME", "TR2");
  EXPECT_EQ(Column(dm_.Q_Trigger2, "trigger_name"), (Strings{"TR2"}));
  dm_.Q_View2.AssignVariable("view_name", "V1");
  EXPECT_EQ(Column(dm_.Q_View2, "comments"), (Strings{"first view"}));
  dm_.Q_View2.AssignVariable("view_name", "NOPE");
  EXPECT_TRUE(Column(dm_.Q_View2, "view_name").empty());
}

TEST_F(DictionaryDb, ExecuteStatementLogsSuccessInBothLogsAndFailureOnceWithTime) {
  testing::TRecordingHost host;
  dm_.ExecuteStatement(host, "CREATE SEQUENCE S3", "\tCreate sequence S3");
  ASSERT_EQ(host.common.size(), 1u);
  EXPECT_EQ(host.common[0].text, "\tCreate sequence S3");
  EXPECT_FALSE(host.common[0].withTime);
  EXPECT_EQ(host.update, (Strings{"\tCreate sequence S3"}));
  EXPECT_EQ(Column(dm_.Q_Sequences, "sequence_name"), (Strings{"S1", "S2", "S3"}));
  EXPECT_EQ(dm_.RejectedStatements, 0);

  dm_.ExecuteStatement(host, "CREATE SEQUENCE S3", "never written");
  ASSERT_EQ(host.common.size(), 2u);
  EXPECT_TRUE(host.common[1].withTime);
  EXPECT_EQ(host.common[1].text.rfind(testing::kQueryErrorPrefix, 0), 0u)
      << host.common[1].text;
  EXPECT_NE(host.common[1].text.find(" колонка:"), std::string::npos);
  EXPECT_NE(host.common[1].text.find(" причина:ORA-00955"), std::string::npos) << host.common[1].text;
  EXPECT_EQ(host.update.size(), 1u);
  EXPECT_EQ(dm_.RejectedStatements, 1);

  // The session is still usable after a rejected statement.
  dm_.ExecuteStatement(host, "COMMENT ON TABLE T2 IS 'two\nlines'", "\t\tAdd comment ");
  EXPECT_EQ(host.update.back(), "\t\tAdd comment ");
  EXPECT_EQ(Column(dm_.Q_Tables, "comments"), (Strings{"first table", "two\r\nlines"}));
}

TEST_F(DictionaryDb, ExecuteStatementLogsAUnitCreatedWithCompilationErrorsAsRejected) {
  testing::TRecordingHost host;
  dm_.ExecuteStatement(host, "CREATE OR REPLACE PROCEDURE P9 IS\nBEGIN\n  NULL;\n", "\tCreate procedure P9");
  ASSERT_EQ(host.common.size(), 1u);
  EXPECT_TRUE(host.common[0].withTime);
  EXPECT_NE(host.common[0].text.find(" причина:ORA-24344: success with compilation error"), std::string::npos)
      << host.common[0].text;
  EXPECT_TRUE(host.update.empty());
  EXPECT_EQ(dm_.RejectedStatements, 1);

  dm_.ExecuteStatement(host, "CREATE OR REPLACE PROCEDURE P9 IS\nBEGIN\n  NULL;\nEND;", "\tCreate procedure P9");
  EXPECT_EQ(host.update, (Strings{"\tCreate procedure P9"}));
  EXPECT_EQ(dm_.RejectedStatements, 1);
}

// Keys of several columns and synonyms made by other users, next to the
// shared schema.
class DictionaryDbMore : public DictionaryDb {
 protected:
  void AddObjects() override {
    db_.Run("APPU/secret",
            "CREATE TABLE T3 (P NUMBER, Q NUMBER, R NUMBER, CONSTRAINT T3_PK PRIMARY KEY (P, Q, R));\n"
            "CREATE TABLE T4 (R NUMBER, Y NUMBER, X NUMBER, Q NUMBER, P NUMBER,\n"
            "  CONSTRAINT T4_T2_FK FOREIGN KEY (Y, X) REFERENCES T2 (A, B),\n"
            "  CONSTRAINT T4_T3_FK FOREIGN KEY (P, Q, R) REFERENCES T3 (P, Q, R));\n"
            "CREATE PUBLIC SYNONYM PS1 FOR APPU.T1;\n");
    db_.Run("OTHERU/other", "CREATE SYNONYM OS1 FOR APPU.T1;\n");
  }
};

TEST_F(DictionaryDbMore, ForeignKeysOfSeveralColumnsListEachColumnOnceInKeyOrder) {
  const std::string expected[] = {"(Y,X) REFERENCES T2 (A,B)", "(P,Q,R) REFERENCES T3 (P,Q,R)"};
  dm_.Q_TableConstraints.AssignVariable("table_name", "T4");
  dm_.Q_TableConstraints.Execute();
  TConstraintList fromQuery;
  TQueryRows queryRows(dm_.Q_TableConstraints);
  fromQuery.Fill(queryRows);
  ASSERT_EQ(fromQuery.Count(), 2);
  EXPECT_EQ(fromQuery.Item(0).Reference, expected[0]);
  EXPECT_EQ(fromQuery.Item(1).Reference, expected[1]);

  dm_.oDS_Constraints.AssignVariable("table_name", "T4");
  dm_.oDS_Constraints.Open();
  TConstraintList fromDataSet;
  TDataSetRows dataSetRows(dm_.oDS_Constraints, true);
  fromDataSet.Fill(dataSetRows);
  ASSERT_EQ(fromDataSet.Count(), 2);
  EXPECT_EQ(fromDataSet.FindByName("T4_T2_FK")->Reference, expected[0]);
  EXPECT_EQ(fromDataSet.FindByName("T4_T3_FK")->Reference, expected[1]);
}

TEST_F(DictionaryDbMore, SynonymsAreTheUsersOwnAndPublicOnesNotOtherUsersPrivateOnes) {
  // OTHERU's OS1 points at APPU.T1 too, but it is neither APPU's nor public.
  EXPECT_EQ(Column(dm_.Q_Synonyms, "s_name"), (Strings{"PS1", "SY1", "SY2"}));
  EXPECT_EQ(Column(dm_.Q_Synonyms, "grantee"), (Strings{"PUBLIC", "", ""}));
  // The compare's list holds every public synonym of the database besides.
  dm_.oDS_Synonyms.Open();
  std::set<std::string> fromDataSet;
  for (; !dm_.oDS_Synonyms.Eof(); dm_.oDS_Synonyms.Next())
    fromDataSet.insert(dm_.oDS_Synonyms.FieldForColumn("s_name").AsString());
  for (const char* name : {"PS1", "SY1", "SY2"}) EXPECT_EQ(fromDataSet.count(name), 1u) << name;
  EXPECT_EQ(fromDataSet.count("OS1"), 0u);
}

}  // namespace
}  // namespace skelvane
