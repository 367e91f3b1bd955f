// The snapshot's compact storage: cells whose codes widen as a column's
// values grow in number, texts held once, and the rows of each object kept
// in their order through edits, interleaved with other objects' rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary/dictionary_snapshot.h"

namespace skelvane {
namespace {

using R = TDictionaryRead;
using K = TSnapshotKind;

oracle::TFieldSpec Spec(const std::string& name) {
  oracle::TFieldSpec spec;
  spec.Name = name;
  return spec;
}

std::vector<std::string> Column(TDictionarySource& source, R read, const std::string& name,
                                const std::string& column) {
  std::vector<std::string> values;
  for (auto rows = source.Query(read, name); !rows->Eof(); rows->Next()) values.push_back(rows->Value(column));
  return values;
}

// Each row's value is the n-th of `distinct` texts, so the column's codes
// cross one- and two-byte widths at the larger counts; NULLs are mixed in.
TEST(SnapshotStorage, EveryCellReadsBackAcrossCodeWidths) {
  struct TCase {
    int distinct;
    int rows;
  };
  for (const TCase c : {TCase{1, 10}, TCase{255, 600}, TCase{256, 600}, TCase{257, 600}, TCase{300, 300},
                        TCase{65535, 65600}, TCase{65536, 65600}, TCase{70000, 70000}}) {
    TDictionarySnapshot s;
    s.Define(K::Sequences, {Spec("SEQUENCE_NAME"), Spec("LAST_NUMBER")}, true);
    for (int row = 0; row < c.rows; ++row) {
      const std::string value = "v" + std::to_string(row % c.distinct);
      s.Append(K::Sequences, {s.Intern(value), row % 7 == 0 ? TDictionarySnapshot::kNull : s.Intern("1")});
    }
    s.MarkComplete(K::Sequences);
    int row = 0;
    bool allRight = true;
    for (auto rows = s.Query(R::Sequences); !rows->Eof(); rows->Next(), ++row) {
      allRight = allRight && rows->Value("sequence_name") == "v" + std::to_string(row % c.distinct) &&
                 rows->Value("LAST_NUMBER") == (row % 7 == 0 ? "" : "1");
    }
    EXPECT_TRUE(allRight) << c.distinct << " values";
    EXPECT_EQ(row, c.rows) << c.distinct << " values";
    // Rows added after the kind was complete keep the codes already given.
    s.Insert(K::Sequences, {{"SEQUENCE_NAME", "v0"}, {"LAST_NUMBER", "2"}});
    s.Insert(K::Sequences, {{"SEQUENCE_NAME", "new"}});
    auto rows = s.Open(R::Sequences);
    EXPECT_EQ(rows->RecordCount(), c.rows + 2);
    ASSERT_TRUE(rows->Locate("sequence_name", oracle::TVariant("new")));
    EXPECT_EQ(rows->Value("last_number"), "");
    EXPECT_TRUE(rows->Locate("sequence_name;last_number", oracle::TVariant({std::string("v0"), std::string("2")})));
    EXPECT_TRUE(rows->Locate("sequence_name", oracle::TVariant("v" + std::to_string(c.distinct - 1))));
  }
}

TEST(SnapshotStorage, TextsAreHeldOnceAndComeBackExactly) {
  TDictionarySnapshot s;
  const std::vector<std::string> texts = {"A", "a", "A ", std::string("x\0y", 3), std::string(5000, 'L'), "\xC3\xA9"};
  std::vector<uint32_t> ids;
  for (const std::string& text : texts) ids.push_back(s.Intern(text));
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(s.Intern(texts[i]), ids[i]);
    EXPECT_EQ(s.Text(ids[i]), texts[i]);
  }
  for (int i = 0; i < 5000; ++i) s.Intern("n" + std::to_string(i));  // the table grows past its first size
  for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(s.Intern(texts[i]), ids[i]);
  EXPECT_NE(s.Intern(""), TDictionarySnapshot::kNull);
}

// Objects' rows arrive interleaved and are edited: each object's read keeps
// its own rows in order, and the read of all keeps the global order.
TEST(SnapshotStorage, ObjectRowsStayInOrderThroughEdits) {
  TDictionarySnapshot s;
  s.Define(K::Columns, {Spec("TABLE_NAME"), Spec("COLUMN_NAME"), Spec("COMMENTS")}, true);
  for (const char* column : {"A", "B", "C"})
    for (const char* table : {"T", "U"}) s.Append(K::Columns, {s.Intern(table), s.Intern(column), 0});
  s.MarkComplete(K::Columns);
  EXPECT_EQ(Column(s, R::TableColumns, "T", "column_name"), (std::vector<std::string>{"A", "B", "C"}));

  s.Update(K::Columns, "T", [](const auto& row) { return row("COLUMN_NAME") != "B"; }, {{"COMMENTS", "x"}});
  EXPECT_EQ(Column(s, R::TableColumns, "T", "comments"), (std::vector<std::string>{"x", "", "x"}));
  EXPECT_EQ(Column(s, R::TableColumns, "U", "comments"), (std::vector<std::string>{"", "", ""}));

  s.Remove(K::Columns, "T", [](const auto& row) { return row("COLUMN_NAME") == "A"; });
  EXPECT_EQ(Column(s, R::TableColumns, "T", "column_name"), (std::vector<std::string>{"B", "C"}));
  s.Insert(K::Columns, {{"TABLE_NAME", "T"}, {"COLUMN_NAME", "D"}});
  EXPECT_EQ(Column(s, R::TableColumns, "T", "column_name"), (std::vector<std::string>{"B", "C", "D"}));

  s.ReplaceObject(K::Columns, "U", {{s.Intern("U"), s.Intern("Z"), 0}});
  EXPECT_EQ(Column(s, R::TableColumns, "U", "column_name"), (std::vector<std::string>{"Z"}));
  EXPECT_EQ(s.Open(R::TableColumns, "T")->RecordCount(), 3);

  s.Remove(K::Columns, "T", [](const auto&) { return true; });
  EXPECT_TRUE(Column(s, R::TableColumns, "T", "column_name").empty());
  EXPECT_EQ(s.RowCount(K::Columns), 1u);
  s.Insert(K::Columns, {{"TABLE_NAME", "T"}, {"COLUMN_NAME", "E"}});
  EXPECT_EQ(Column(s, R::TableColumns, "T", "column_name"), (std::vector<std::string>{"E"}));
}

// A column of few values costs about a byte a row, not four: 100,000 rows of
// eight columns stay under 3 MB with every index counted, where cells of
// four bytes alone would take 3.2 MB.
TEST(SnapshotStorage, FewValuesPerColumnCostAByteARow) {
  TDictionarySnapshot s;
  std::vector<oracle::TFieldSpec> specs{Spec("TABLE_NAME")};
  for (int i = 1; i < 8; ++i) specs.push_back(Spec("C" + std::to_string(i)));
  s.Define(K::Columns, specs, true);
  const uint32_t yes = s.Intern("Y");
  for (int row = 0; row < 100000; ++row) {
    std::vector<uint32_t> cells(8, row % 2 ? yes : TDictionarySnapshot::kNull);
    cells[0] = s.Intern("T" + std::to_string(row / 10));
    s.Append(K::Columns, cells);
  }
  s.MarkComplete(K::Columns);
  EXPECT_LT(s.MemoryUsed(), 3000000u) << s.MemoryUsed();
  EXPECT_GT(s.MemoryUsed(), 100000u * 8);
  EXPECT_EQ(Column(s, R::TableColumns, "T9999", "c1"), (std::vector<std::string>{"", "Y", "", "Y", "", "Y", "", "Y", "", "Y"}));
}

}  // namespace
}  // namespace skelvane
