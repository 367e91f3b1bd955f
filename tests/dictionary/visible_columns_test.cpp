// Hidden columns (function-based index expressions, unused columns) are
// stepped over wherever they stand among a table's column rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary/fake_rows.h"
#include "dictionary/visible_columns.h"

namespace skelvane {
namespace {

using testing::ColumnRow;
using testing::FakeRows;

struct TVisibleCase {
  const char* name;
  std::vector<FakeRows::Row> rows;
  std::vector<std::string> visible;
};

std::vector<std::string> VisibleNames(TRowSource& rows) {
  std::vector<std::string> names;
  for (TVisibleColumns columns(rows); !columns.Eof(); columns.Next())
    names.push_back(columns.Value("column_name"));
  return names;
}

TEST(VisibleColumns, HiddenRowsAreSkippedWhereverTheyStand) {
  const std::vector<TVisibleCase> cases = {
      {"none hidden", {ColumnRow("A", "NO"), ColumnRow("B", "NO")}, {"A", "B"}},
      {"no rows", {}, {}},
      {"first rows hidden", {ColumnRow("SYS_NC1$", "YES"), ColumnRow("SYS_NC2$", "YES"), ColumnRow("A", "NO")}, {"A"}},
      {"hidden between", {ColumnRow("A", "NO"), ColumnRow("SYS_NC1$", "YES"), ColumnRow("B", "NO")}, {"A", "B"}},
      {"last rows hidden, as Oracle sorts them", {ColumnRow("A", "NO"), ColumnRow("SYS_NC1$", "YES"), ColumnRow("SYS_NC2$", "YES")}, {"A"}},
      {"only hidden", {ColumnRow("SYS_NC1$", "YES")}, {}},
      {"flag with blanks around it", {ColumnRow("A", " YES "), ColumnRow("B", "NO ")}, {"B"}},
      // Only Oracle's own spelling marks a column hidden; anything else is shown.
      {"other spellings are visible", {ColumnRow("A", "yes"), ColumnRow("B", ""), ColumnRow("C", "Y")}, {"A", "B", "C"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeRows rows(c.rows);
    EXPECT_EQ(VisibleNames(rows), c.visible);
    EXPECT_TRUE(rows.Eof());
  }
}

TEST(VisibleColumns, SourceWithoutTheHiddenFlagIsAnError) {
  FakeRows rows({FakeRows::Row{{"column_name", "A"}}});
  EXPECT_THROW(TVisibleColumns{rows}, std::runtime_error);
}

}  // namespace
}  // namespace skelvane
