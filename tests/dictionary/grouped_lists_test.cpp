// Grouping rules of the three lists and the privilege text, on rows held in
// memory. The same rules through real queries and data sets are in
// dictionary_db_test.cpp.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "dictionary/fake_rows.h"
#include "dictionary/grouped_lists.h"

namespace skelvane {
namespace {

using testing::ConstraintRow;
using testing::FakeRows;
using testing::IndexRow;
using testing::SourceRow;

TEST(IndexList, AdjacentRowsFoldIntoOneRecordInRowOrder) {
  FakeRows rows({IndexRow("I1", "A", "UNIQUE"), IndexRow("I1", "B", "NONUNIQUE"),
                 IndexRow("I2", "C", "NONUNIQUE")});
  TIndexList list;
  list.Fill(rows);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Item(0).IndexName, "I1");
  EXPECT_EQ(list.Item(0).Uniqueness, "UNIQUE");  // header from the group's first row
  EXPECT_EQ(list.Item(0).Columns, "A,B");
  EXPECT_EQ(list.Item(1).IndexName, "I2");
  EXPECT_EQ(list.Item(1).Columns, "C");
  EXPECT_TRUE(rows.Eof());  // Fill leaves the source at its end
}

TEST(IndexList, KeysGroupCaseSensitivelyAndOnlyWhenAdjacent_FindIgnoresCase) {
  FakeRows rows({IndexRow("X", "A"), IndexRow("Y", "B"), IndexRow("X", "C"),
                 IndexRow("Ab", "D"), IndexRow("AB", "E")});
  TIndexList list;
  list.Fill(rows);
  ASSERT_EQ(list.Count(), 5);
  const TIndexData* x = list.FindByName("x");
  ASSERT_NE(x, nullptr);
  EXPECT_EQ(x, &list.Item(0));
  EXPECT_EQ(list.FindByName("ab"), &list.Item(3));
  EXPECT_EQ(list.FindByName("Z"), nullptr);
}

TEST(IndexList, EmptyColumnValuesStillTakeTheirPlace) {
  FakeRows rows({IndexRow("I1", "A"), IndexRow("I1", ""), IndexRow("I1", "A")});
  TIndexList list;
  list.Fill(rows);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Item(0).Columns, "A,,A");
}

TEST(IndexList, RowsWithoutKeyBeforeTheFirstKeyAreDropped) {
  FakeRows onlyBlank({IndexRow("", "Q")});
  TIndexList list;
  list.Fill(onlyBlank);  // no record to store into: must not crash
  EXPECT_EQ(list.Count(), 0);

  FakeRows rows({IndexRow("", "Q"), IndexRow("", "R"), IndexRow("I1", "A")});
  list.Fill(rows);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Item(0).Columns, "A");
}

TEST(IndexList, FillAppendsClearItemsEmpties_AndEmptySourceChangesNothing) {
  TIndexList list;
  FakeRows first({IndexRow("T1_I", "A")});
  list.Fill(first);
  FakeRows empty({});
  list.Fill(empty);
  EXPECT_EQ(list.Count(), 1);
  FakeRows second({IndexRow("T2_I", "B")});
  list.Fill(second);
  EXPECT_EQ(list.Count(), 2);  // Fill does not clear first

  list.ClearItems();
  EXPECT_EQ(list.Count(), 0);
  list.ClearItems();  // harmless on an empty list
  FakeRows third({IndexRow("T3_I", "C")});
  list.Fill(third);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Item(0).IndexName, "T3_I");
}

TEST(IndexList, ItemOutsideTheListThrows) {
  TIndexList list;
  EXPECT_THROW(list.Item(0), std::out_of_range);
  FakeRows rows({IndexRow("I1", "A")});
  list.Fill(rows);
  EXPECT_NO_THROW(list.Item(0));
  EXPECT_THROW(list.Item(1), std::out_of_range);
  EXPECT_THROW(list.Item(-1), std::out_of_range);
}

TEST(IndexList, MissingColumnStopsFillKeepingWhatWasBuilt) {
  FakeRows::Row broken = {{"index_name", "I2"}, {"uniqueness", "UNIQUE"}};  // no column_name
  FakeRows rows({IndexRow("I1", "A"), IndexRow("I1", "B"), broken});
  TIndexList list;
  EXPECT_THROW(list.Fill(rows), std::runtime_error);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Item(0).Columns, "A,B");
  EXPECT_EQ(list.Item(1).IndexName, "I2");
  EXPECT_EQ(list.Item(1).Uniqueness, "UNIQUE");
  EXPECT_EQ(list.Item(1).Columns, "");
}

TEST(ConstraintList, ReferenceTextForForeignKeysAndOthers) {
  FakeRows rows({
      ConstraintRow("FK", "R", "A", "T2", "X", "1", "1"),
      ConstraintRow("FK", "R", "B", "T2", "Y", "2", "2"),
      ConstraintRow("PK", "P", "ID"),
  });
  TConstraintList list;
  list.Fill(rows);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Item(0).ConstraintName, "FK");
  EXPECT_EQ(list.Item(0).ConstraintType, "R");
  EXPECT_EQ(list.Item(0).Status, "ENABLED");
  EXPECT_EQ(list.Item(0).Reference, "(A,B) REFERENCES T2 (X,Y)");
  // Closed at the end of the stream, with the to-table empty: two blanks.
  EXPECT_EQ(list.Item(1).Reference, "(ID) REFERENCES  ()");
  EXPECT_EQ(list.FindByName("pk"), &list.Item(1));
}

// The query joins every column of a foreign key with every column of the key
// it references, in no particular order of the referenced columns; only the
// pairs at equal positions make the reference.
struct TForeignKeyCase {
  const char* name;
  std::vector<FakeRows::Row> rows;
  std::vector<std::string> references;  // one per record, in list order
};

TEST(ConstraintList, ForeignKeyColumnsPairByPositionWhateverTheRowOrder) {
  auto fk = [](const char* name, const char* from, const char* fromPos, const char* to,
               const char* toPos) {
    return ConstraintRow(name, "R", from, "P", to, fromPos, toPos);
  };
  const std::vector<TForeignKeyCase> cases = {
      {"two columns, referenced ones reversed",
       {fk("FK", "A", "1", "Y", "2"), fk("FK", "A", "1", "X", "1"),
        fk("FK", "B", "2", "Y", "2"), fk("FK", "B", "2", "X", "1")},
       {"(A,B) REFERENCES P (X,Y)"}},
      {"three columns, every pairing present",
       {fk("FK", "C", "1", "Z", "3"), fk("FK", "C", "1", "X", "1"), fk("FK", "C", "1", "Y", "2"),
        fk("FK", "A", "2", "Y", "2"), fk("FK", "A", "2", "Z", "3"), fk("FK", "A", "2", "X", "1"),
        fk("FK", "B", "3", "X", "1"), fk("FK", "B", "3", "Y", "2"), fk("FK", "B", "3", "Z", "3")},
       {"(C,A,B) REFERENCES P (X,Y,Z)"}},
      {"positions compared without surrounding blanks",
       {fk("FK", "A", " 1", "X", "1 "), fk("FK", "A", " 1", "Y", "2"),
        fk("FK", "B", "2", "X", "1"), fk("FK", "B", "2", "Y", " 2")},
       {"(A,B) REFERENCES P (X,Y)"}},
      {"positions are numbers, not prefixes",
       {fk("FK", "A", "1", "K", "10"), fk("FK", "A", "1", "X", "1"),
        fk("FK", "J", "10", "K", "10"), fk("FK", "J", "10", "X", "1")},
       {"(A,J) REFERENCES P (X,K)"}},
      {"a mismatched last row does not end the stream early",
       {fk("F1", "A", "1", "X", "1"), fk("F1", "A", "1", "Y", "2"), fk("F1", "B", "2", "Y", "2"),
        fk("F2", "Q", "1", "X", "1"), fk("F2", "Q", "1", "Y", "2")},
       {"(A,B) REFERENCES P (X,Y)", "(Q) REFERENCES P (X)"}},
      {"an unreadable referenced key leaves the to-columns empty",
       {ConstraintRow("FK", "R", "A", "", "", "1", ""), ConstraintRow("FK", "R", "B", "", "", "2", "")},
       {"(A,B) REFERENCES  ()"}},
      {"other constraints keep every column",
       {ConstraintRow("UK", "U", "A", "", "", "1"), ConstraintRow("UK", "U", "B", "", "", "2"),
        fk("ZFK", "A", "1", "X", "1")},
       {"(A,B) REFERENCES  ()", "(A) REFERENCES P (X)"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeRows rows(c.rows);
    TConstraintList list;
    list.Fill(rows);
    std::vector<std::string> references;
    for (int i = 0; i < list.Count(); ++i) references.push_back(list.Item(i).Reference);
    EXPECT_EQ(references, c.references);
    EXPECT_TRUE(rows.Eof());
  }
}

TEST(ConstraintList, GroupWhoseFirstRowIsSkippedStillTakesItsHeader) {
  FakeRows::Row first = ConstraintRow("FK", "R", "A", "P", "Y", "1", "2");
  first["status"] = "DISABLED";
  FakeRows::Row second = ConstraintRow("FK", "R", "A", "P", "X", "1", "1");
  second["status"] = "DISABLED";
  FakeRows rows({first, second});
  TConstraintList list;
  list.Fill(rows);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Item(0).ConstraintName, "FK");
  EXPECT_EQ(list.Item(0).Status, "DISABLED");
  EXPECT_EQ(list.Item(0).Reference, "(A) REFERENCES P (X)");
}

TEST(ConstraintList, ToTableComesFromTheGroupsLastRow) {
  FakeRows rows({ConstraintRow("C1", "R", "A", "T_FIRST", "X"),
                 ConstraintRow("C1", "R", "B", "T_LAST", "Y"),
                 ConstraintRow("C2", "C", "Z")});
  TConstraintList list;
  list.Fill(rows);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Item(0).Reference, "(A,B) REFERENCES T_LAST (X,Y)");
  EXPECT_EQ(list.Item(1).Reference, "(Z) REFERENCES  ()");
}

TEST(FuncList, SourceLinesJoinWithoutAddedCharacters) {
  FakeRows rows({SourceRow("F1", "FUNCTION F1 RETURN NUMBER IS\n"), SourceRow("F1", "BEGIN RETURN 1; END;\n"),
                 SourceRow("F2", "FUNCTION F2\n")});
  TFuncList list;
  list.Fill(rows);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Item(0).Text, "FUNCTION F1 RETURN NUMBER IS\nBEGIN RETURN 1; END;\n");
  EXPECT_EQ(list.Item(1).Text, "FUNCTION F2\n");
  EXPECT_EQ(list.FindByName("f2"), &list.Item(1));
}

TEST(PrivilegeText, KeywordsInTableOrderAndOnlyExactNGrantsNothing) {
  auto row = [](std::map<std::string, std::string> flags) {
    FakeRows::Row r;
    for (const auto& [column, keyword] : PrivilegeColumns) r[column] = "N";
    for (auto& [k, v] : flags) r[k] = v;
    return FakeRows({r});
  };
  EXPECT_EQ(PrivilegeText(row({})), "");
  EXPECT_EQ(PrivilegeText(row({{"update_priv", "G"}, {"select_priv", "Y"}})), "SELECT,UPDATE");
  // Anything but exactly "N" counts, the empty value and "n" included.
  EXPECT_EQ(PrivilegeText(row({{"index_priv", ""}, {"alter_priv", "n"}, {"insert_priv", "Y"}})),
            "INSERT,ALTER,INDEX");
  EXPECT_EQ(PrivilegeText(row({{"select_priv", "Y"}, {"insert_priv", "Y"}, {"delete_priv", "Y"},
                               {"update_priv", "Y"}, {"references_priv", "Y"},
                               {"alter_priv", "Y"}, {"index_priv", "Y"}})),
            "SELECT,INSERT,DELETE,UPDATE,REFERENCES,ALTER,INDEX");
  EXPECT_EQ(AddPrivilegeKeyword("", "Y", "SELECT"), "SELECT");
  EXPECT_EQ(AddPrivilegeKeyword("SELECT", "N", "INSERT"), "SELECT");
}

}  // namespace
}  // namespace skelvane

namespace skelvane {
namespace {

using testing::ConstraintRow;
using testing::FakeRows;

// A foreign key row with its delete rule and deferrability as the dictionary gives them.
FakeRows::Row ForeignKeyRow(const std::string& name, const std::string& deleteRule,
                            const std::string& deferrable, const std::string& deferred) {
  FakeRows::Row row = ConstraintRow(name, "R", "A", "T2", "X", "1", "1");
  row["delete_rule"] = deleteRule;
  row["deferrable"] = deferrable;
  row["deferred"] = deferred;
  return row;
}

TEST(ConstraintList, ForeignKeyReferenceKeepsDeleteRuleAndDeferrability) {
  struct TCase {
    const char* deleteRule;
    const char* deferrable;
    const char* deferred;
    const char* reference;
  };
  const TCase cases[] = {
      {"NO ACTION", "NOT DEFERRABLE", "IMMEDIATE", "(A) REFERENCES T2 (X)"},
      {"CASCADE", "NOT DEFERRABLE", "IMMEDIATE", "(A) REFERENCES T2 (X) ON DELETE CASCADE"},
      {"SET NULL", "NOT DEFERRABLE", "IMMEDIATE", "(A) REFERENCES T2 (X) ON DELETE SET NULL"},
      {"NO ACTION", "DEFERRABLE", "IMMEDIATE", "(A) REFERENCES T2 (X) DEFERRABLE"},
      {"NO ACTION", "DEFERRABLE", "DEFERRED", "(A) REFERENCES T2 (X) DEFERRABLE INITIALLY DEFERRED"},
      {"CASCADE ", "DEFERRABLE ", "DEFERRED ",
       "(A) REFERENCES T2 (X) ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED"},
      {"", "", "", "(A) REFERENCES T2 (X)"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.reference);
    // Two keys in a row: each keeps its own rules, the first closing with the second's start.
    FakeRows rows({ForeignKeyRow("FK1", c.deleteRule, c.deferrable, c.deferred),
                   ForeignKeyRow("FK2", "NO ACTION", "NOT DEFERRABLE", "IMMEDIATE")});
    TConstraintList list;
    list.Fill(rows);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(0).Reference, c.reference);
    EXPECT_EQ(list.Item(1).Reference, "(A) REFERENCES T2 (X)");
  }
}

}  // namespace
}  // namespace skelvane
