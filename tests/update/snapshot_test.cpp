// The dictionary snapshot without a database: its reads as a query and a data
// set give them, edits that readers opened before do not see, loading on
// demand, the effects a plan applies, and the script text of a statement.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary/column_type_text.h"
#include "dictionary/dictionary_snapshot.h"
#include "update/document_snapshot.h"
#include "update/plan_effects.h"
#include "update/plan_sink.h"

namespace skelvane {
namespace {

using R = TDictionaryRead;
using K = TSnapshotKind;

oracle::TFieldSpec Spec(const std::string& name, bool fromLong = false) {
  oracle::TFieldSpec spec;
  spec.Name = name;
  if (fromLong) {
    spec.Kind = oracle::TFieldKind::Memo;
    spec.FromLong = true;
  }
  return spec;
}

void DefineColumns(TDictionarySnapshot& s) {
  s.Define(K::Columns, {Spec("TABLE_NAME"), Spec("COLUMN_NAME"), Spec("DATA_DEFAULT", true), Spec("COMMENTS")},
           true);
  s.MarkComplete(K::Columns);
}

TEST(Snapshot, ReadsGiveQueryTextsAndDataSetValues) {
  TDictionarySnapshot s;
  DefineColumns(s);
  s.Insert(K::Columns, {{"TABLE_NAME", "T"}, {"COLUMN_NAME", "A"}, {"DATA_DEFAULT", "'x'  "}, {"COMMENTS", "c  "}});
  s.Insert(K::Columns, {{"TABLE_NAME", "U"}, {"COLUMN_NAME", "Z"}});
  s.Insert(K::Columns, {{"TABLE_NAME", "T"}, {"COLUMN_NAME", "B"}});

  auto query = s.Query(R::TableColumns, "T");
  std::vector<std::string> seen;
  for (; !query->Eof(); query->Next()) seen.push_back(query->Value("column_name") + "|" + query->Value("COMMENTS"));
  EXPECT_EQ(seen, (std::vector<std::string>{"A|c  ", "B|"}));
  EXPECT_THROW(query->Value("column_name"), std::runtime_error);  // beyond the last row

  auto rows = s.Open(R::TableColumns, "T");
  EXPECT_EQ(rows->RecordCount(), 2);
  EXPECT_EQ(rows->Value("comments"), "c");        // strings right-trimmed
  EXPECT_EQ(rows->Value("data_default"), "'x'  ");  // LONG text as fetched
  EXPECT_TRUE(rows->Locate("column_name", oracle::TVariant("B")));
  EXPECT_EQ(rows->Value("comments"), "");
  EXPECT_FALSE(rows->Locate("column_name", oracle::TVariant("Z")));
  EXPECT_EQ(rows->Value("column_name"), "B");  // a failed search does not move
  rows->Next();
  EXPECT_TRUE(rows->Eof());
  EXPECT_EQ(rows->Value("column_name"), "B");  // the last row stays current
  EXPECT_THROW(rows->Value("no_such"), std::exception);

  // The statement's equality on the name: exact, case and all.
  EXPECT_EQ(s.Open(R::TableColumns, "t")->RecordCount(), 0);
  EXPECT_TRUE(s.Open(R::TableColumns, "t")->Eof());
  EXPECT_EQ(s.Open(R::TableColumns, "")->RecordCount(), 0);
}

TEST(Snapshot, EditsReachNewReadersOnly) {
  TDictionarySnapshot s;
  DefineColumns(s);
  s.Insert(K::Columns, {{"TABLE_NAME", "T"}, {"COLUMN_NAME", "A"}, {"COMMENTS", "old"}});
  auto before = s.Open(R::TableColumns, "T");
  s.Update(K::Columns, "T", [](const auto& row) { return row("COLUMN_NAME") == "A"; }, {{"COMMENTS", "new"}});
  s.Insert(K::Columns, {{"TABLE_NAME", "T"}, {"COLUMN_NAME", "B"}});
  EXPECT_EQ(before->RecordCount(), 1);
  EXPECT_EQ(before->Value("comments"), "old");
  auto after = s.Open(R::TableColumns, "T");
  EXPECT_EQ(after->RecordCount(), 2);
  EXPECT_EQ(after->Value("comments"), "new");
  s.Remove(K::Columns, "T", [](const auto& row) { return row("COLUMN_NAME") == "A"; });
  auto last = s.Open(R::TableColumns, "T");
  ASSERT_EQ(last->RecordCount(), 1);
  EXPECT_EQ(last->Value("column_name"), "B");
  EXPECT_EQ(after->RecordCount(), 2);
}

TEST(Snapshot, LoadsEachObjectOnceAndWholeKindsOnce) {
  std::vector<std::string> loads;
  TDictionarySnapshot s([&](TDictionarySnapshot& snapshot, K kind, const std::string* key) {
    loads.push_back(key ? *key : "*");
    if (!snapshot.Defined(kind)) {
      snapshot.Define(kind, {Spec("TABLE_NAME"), Spec("COLUMN_NAME"), Spec("DATA_DEFAULT", true), Spec("COMMENTS")},
                      true);
    }
    if (key) {
      snapshot.Append(kind, {snapshot.Intern(*key), snapshot.Intern("C"), TDictionarySnapshot::kNull,
                             TDictionarySnapshot::kNull});
    } else {
      snapshot.MarkComplete(kind);
    }
  });
  EXPECT_EQ(s.Open(R::TableColumns, "T")->RecordCount(), 1);
  EXPECT_EQ(s.Open(R::TableColumns, "T")->RecordCount(), 1);
  EXPECT_EQ(s.Open(R::TableColumns, "U")->RecordCount(), 1);
  // An edit of an object not read yet reads it first, so its rows are not lost.
  s.Insert(K::Columns, {{"TABLE_NAME", "V"}, {"COLUMN_NAME", "D"}});
  EXPECT_EQ(s.Open(R::TableColumns, "V")->RecordCount(), 2);
  EXPECT_EQ(loads, (std::vector<std::string>{"T", "U", "V"}));
}

// The columns of a document's type text render back to the same text.
TEST(DocumentSnapshot, TypeTextsGiveTheDictionaryColumnsTheyCameFrom) {
  const std::vector<std::string> texts = {"NUMBER",         "NUMBER(10)",     "NUMBER(8,2)",   "VARCHAR2(30 BYTE)",
                                          "VARCHAR2(80 CHAR)", "CHAR(1 BYTE)", "NVARCHAR2(30)", "NCHAR(2)",
                                          "RAW(16)",        "DATE",           "TIMESTAMP(6)",  "CLOB",
                                          "FLOAT(126)",     "VARCHAR2(20)"};
  for (const std::string& text : texts) {
    const TTypeColumns t = TypeColumnsOf(text);
    const TColumnTypeFields fields{t.DataType, t.Precision, t.Scale, t.Length, t.CharLength, t.CharUsed};
    EXPECT_TRUE(ColumnTypeText(fields) == text || LegacyColumnTypeText(fields) == text) << text;
  }
  EXPECT_EQ(TypeColumnsOf("VARCHAR2(80 CHAR)").CharUsed, "C");
  EXPECT_EQ(TypeColumnsOf("NUMBER(8,2)").Scale, "2");
  EXPECT_EQ(TypeColumnsOf("TIMESTAMP(6)").DataType, "TIMESTAMP(6)");
}

TEST(PlanEffects, CreatedTablesAndGrantsAreSeenByLaterReads) {
  TDictionarySnapshot s;
  s.Define(K::Tables, {Spec("TABLE_NAME"), Spec("COMMENTS")}, true);
  s.Define(K::Columns, {Spec("TABLE_NAME"), Spec("COLUMN_NAME"), Spec("COLUMN_ID"), Spec("HIDDEN_COLUMN"),
                        Spec("NULLABLE"), Spec("DATA_DEFAULT", true), Spec("COMMENTS")},
           true);
  s.Define(K::Constraints, {Spec("TABLE_NAME"), Spec("CONSTRAINT_NAME"), Spec("CONSTRAINT_TYPE"),
                            Spec("SEARCH_CONDITION", true), Spec("F_COL_NAME")},
           true);
  std::vector<oracle::TFieldSpec> privileges{Spec("TABLE_NAME"), Spec("GRANTEE")};
  for (const char* c : {"SELECT_PRIV", "INSERT_PRIV", "DELETE_PRIV", "UPDATE_PRIV", "REFERENCES_PRIV",
                        "ALTER_PRIV", "INDEX_PRIV"})
    privileges.push_back(Spec(c));
  s.Define(K::Privileges, privileges, true);
  for (K k : {K::Tables, K::Columns, K::Constraints, K::Privileges}) s.MarkComplete(k);

  TStatementEffect create{TEffectKind::CreateTable, "orders"};
  create.Columns = {{"id", "NUMBER", "N"}, {"\"Note\"", "VARCHAR2(10 BYTE)", "Y", "'x'"}};
  ApplyEffect(s, create);
  // Unquoted names are stored upper-cased: the document's lower-case name finds nothing.
  EXPECT_EQ(s.Open(R::OneTable, "orders")->RecordCount(), 0);
  EXPECT_EQ(s.Open(R::OneTable, "ORDERS")->RecordCount(), 1);
  auto columns = s.Open(R::TableColumns, "ORDERS");
  EXPECT_TRUE(columns->Locate("column_name", oracle::TVariant("ID")));
  EXPECT_EQ(columns->Value("nullable"), "N");
  EXPECT_TRUE(columns->Locate("column_name", oracle::TVariant("Note")));
  EXPECT_EQ(columns->Value("data_default"), "'x'");
  auto checks = s.Query(R::TableConstraints, "ORDERS");
  ASSERT_FALSE(checks->Eof());
  EXPECT_EQ(checks->Value("search_condition"), "\"ID\" IS NOT NULL");
  checks->Next();
  EXPECT_TRUE(checks->Eof());

  ApplyEffect(s, {TEffectKind::CommentColumn, "ORDERS", "id", {}, "key"});
  auto commented = s.Open(R::TableColumns, "ORDERS");
  ASSERT_TRUE(commented->Locate("column_name", oracle::TVariant("ID")));
  EXPECT_EQ(commented->Value("comments"), "key");

  ApplyEffect(s, {TEffectKind::Grant, "ORDERS", "peer", {}, "SELECT,update"});
  auto grants = s.Open(R::Privileges);
  ASSERT_TRUE(grants->Locate("table_name;grantee", oracle::TVariant({std::string("ORDERS"), std::string("PEER")})));
  EXPECT_EQ(grants->Value("select_priv") + grants->Value("update_priv") + grants->Value("insert_priv"), "YYN");
  ApplyEffect(s, {TEffectKind::Revoke, "ORDERS", "PEER", {}, "UPDATE"});
  EXPECT_EQ(s.Open(R::Privileges)->RecordCount(), 1);
  ApplyEffect(s, {TEffectKind::Revoke, "ORDERS", "PEER", {}, "SELECT"});
  EXPECT_EQ(s.Open(R::Privileges)->RecordCount(), 0);  // nothing left granted: no row
}

TEST(PlanEffects, SwitchedOffTriggersAndConstraintsAreSeenSwitchedOff) {
  TDictionarySnapshot s;
  s.Define(K::Triggers, {Spec("TRIGGER_NAME"), Spec("DESCRIPTION"), Spec("STATUS")}, true);
  s.Define(K::Constraints, {Spec("TABLE_NAME"), Spec("CONSTRAINT_NAME"), Spec("CONSTRAINT_TYPE"),
                            Spec("STATUS"), Spec("SEARCH_CONDITION", true), Spec("F_COL_NAME")},
           true);
  for (K k : {K::Triggers, K::Constraints}) s.MarkComplete(k);

  ApplyEffect(s, {TEffectKind::ReplaceTrigger, {}, "audit_ins", {}, "audit_ins before insert on t"});
  EXPECT_NE(s.Query(R::OneTrigger, "AUDIT_INS")->Value("status"), "DISABLED");
  ApplyEffect(s, {TEffectKind::DisableTrigger, {}, "audit_ins"});
  EXPECT_EQ(s.Query(R::OneTrigger, "AUDIT_INS")->Value("status"), "DISABLED");

  TStatementEffect off{TEffectKind::AddConstraint, "t", "t_qty_ck", "C", "qty > 0"};
  off.Disabled = true;
  ApplyEffect(s, off);
  ApplyEffect(s, {TEffectKind::AddConstraint, "t", "t_price_ck", "C", "price > 0"});
  auto checks = s.Open(R::TableConstraints, "T");
  ASSERT_TRUE(checks->Locate("constraint_name", oracle::TVariant("T_QTY_CK")));
  EXPECT_EQ(checks->Value("status"), "DISABLED");
  ASSERT_TRUE(checks->Locate("constraint_name", oracle::TVariant("T_PRICE_CK")));
  EXPECT_EQ(checks->Value("status"), "ENABLED");
}

TEST(PlanScript, PlsqlUnitsEndWithASlashLineOtherStatementsWithASemicolon) {
  struct TCase {
    TEffectKind kind;
    const char* expected;
  };
  const TCase cases[] = {
      {TEffectKind::ReplaceTrigger, "S\n/"},   {TEffectKind::ReplaceFunction, "S\n/"},
      {TEffectKind::ReplaceProcedure, "S\n/"}, {TEffectKind::ReplaceView, "S;"},
      {TEffectKind::CreateTable, "S;"},        {TEffectKind::Grant, "S;"},
      {TEffectKind::None, "S;"},
  };
  for (const TCase& c : cases) {
    TStatementEffect effect;
    effect.Kind = c.kind;
    EXPECT_EQ(ScriptText("S", effect), c.expected) << static_cast<int>(c.kind);
  }
}

}  // namespace
}  // namespace skelvane
