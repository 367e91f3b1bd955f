// The bulk reader against an emulator schema: column defaults of every
// length come back whole, as the per-object reads give them, whether the
// column arrays hold them, the query of the long defaults completes them,
// or the table is read again on its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary/bulk_reader.h"
#include "dictionary/dm.h"
#include "support/emulator_database.h"
#include "support/test_schema.h"

namespace skelvane {
namespace {

using R = TDictionaryRead;

// A quoted literal of exactly `bytes` bytes, quotes included.
std::string Literal(size_t bytes) { return "'" + std::string(bytes - 2, 'd') + "'"; }

TEST(BulkReaderDb, DefaultsOfEveryLengthComeBackWhole) {
  // Around the arrays' cut (127 bytes), the long query's floor (97) and the
  // LONG arrays' cut (4,000 bytes).
  const std::vector<size_t> lengths = {3, 96, 97, 126, 127, 128, 129, 200, 3999, 4000, 4001, 6000};
  testing::TEmulatorDatabase db;
  db.RunAsSystem(testing::kTestUsers);
  std::string script;
  for (const char* table : {"D1", "D2"}) {
    script += std::string("CREATE TABLE ") + table + " (ID NUMBER";
    for (size_t i = 0; i < lengths.size(); ++i)
      script += ", C" + std::to_string(i) + " VARCHAR2(4000) DEFAULT " + Literal(lengths[i]);
    script += ");\n";
  }
  script += "CREATE TABLE D3 (ID NUMBER DEFAULT 1, N VARCHAR2(300) DEFAULT " + Literal(250) + ");\n";
  db.Run("APPU/secret", script);
  db.UseInThisProcess();
  TDM dm;
  dm.OracleSession1.LogonUsername = "APPU";
  dm.OracleSession1.LogonPassword = "secret";
  dm.OracleSession1.LogonDatabase = db.Id();
  dm.OracleSession1.LogOn();

  const auto bulk = MakeBulkSnapshot(dm.OracleSession1);
  const auto perObject = MakePerObjectSnapshot(dm.OracleSession1);
  for (const char* table : {"D1", "D2", "D3"}) {
    auto expected = perObject->Query(R::TableColumns, table);
    auto got = bulk->Query(R::TableColumns, table);
    for (; !expected->Eof() && !got->Eof(); expected->Next(), got->Next()) {
      const std::string column = got->Value("column_name");
      EXPECT_EQ(column, expected->Value("column_name"));
      EXPECT_EQ(got->Value("data_default"), expected->Value("data_default")) << table << "." << column;
      if (table != std::string("D3") && column != "ID") {
        EXPECT_EQ(got->Value("data_default"), Literal(lengths[std::stoul(column.substr(1))])) << table << "." << column;
      }
    }
    EXPECT_TRUE(expected->Eof() && got->Eof()) << table;
  }
  dm.OracleSession1.LogOff();
}

}  // namespace
}  // namespace skelvane
