// The database character set chosen at creation decides the byte lengths
// of character-semantics columns, and the dictionary says which set it is.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/engine.h"
#include "support/temp_folder.h"

namespace {

class Charset : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = temp_.Path();
    setenv("ORAEMU_DATA", dir_.c_str(), 1);
  }
  // SYSTEM's session on a new database of `charset`.
  std::unique_ptr<oraemu::Session> Open(const std::string& id, const std::string& charset) {
    oraemu::Database::Create(id, "pw", charset);
    db_ = oraemu::Database::Open(id);
    return db_->Logon("system", "pw", false).session;
  }

  static std::string One(oraemu::Session& s, const std::string& query) {
    auto r = s.Execute(query, {}, false);
    if (r.rows.size() != 1) return "rows: " + std::to_string(r.rows.size());
    std::string out;
    for (const auto& v : r.rows[0]) out += (out.empty() ? "" : "|") + v.text;
    return out;
  }

  ::skelvane::testing::TTempFolder temp_;
  std::string dir_;
  std::shared_ptr<oraemu::Database> db_;
};

struct ColumnCase {
  const char* type;
  const char* singleByte;  // DATA_LENGTH|CHAR_LENGTH|CHAR_USED under CL8MSWIN1251
  const char* utf8;        // the same under AL32UTF8
};

const ColumnCase kColumns[] = {
    {"VARCHAR2(20)", "20|20|B", "20|20|B"},
    {"VARCHAR2(20 BYTE)", "20|20|B", "20|20|B"},
    {"VARCHAR2(20 CHAR)", "20|20|C", "80|20|C"},
    {"VARCHAR2(1500 CHAR)", "1500|1500|C", "4000|1500|C"},
    {"VARCHAR2(4000 CHAR)", "4000|4000|C", "4000|4000|C"},
    {"CHAR(10 CHAR)", "10|10|C", "40|10|C"},
    {"CHAR(600 CHAR)", "600|600|C", "2000|600|C"},
    {"NVARCHAR2(40)", "80|40|C", "80|40|C"},
    {"NCHAR(5)", "10|5|C", "10|5|C"},
    {"RAW(16)", "16|0|", "16|0|"},
};

TEST_F(Charset, ColumnLengthsFollowTheDatabaseSet) {
  for (const char* set : {"CL8MSWIN1251", "AL32UTF8"}) {
    SCOPED_TRACE(set);
    auto s = Open(std::string("DB_") + set, set);
    int n = 0;
    for (const ColumnCase& c : kColumns) {
      SCOPED_TRACE(c.type);
      const std::string table = "T" + std::to_string(++n);
      s->Execute("CREATE TABLE " + table + " (C " + c.type + ")", {}, false);
      EXPECT_EQ(One(*s, "select data_length, char_length, char_used from user_tab_columns where table_name = '" +
                            table + "'"),
                std::string(set) == "AL32UTF8" ? c.utf8 : c.singleByte);
    }
    // A view over a column keeps its lengths.
    s->Execute("CREATE VIEW V AS SELECT C FROM T3", {}, false);
    EXPECT_EQ(One(*s, "select data_length, char_length from user_tab_columns where table_name = 'V'"),
              std::string(set) == "AL32UTF8" ? "80|20" : "20|20");
  }
}

TEST_F(Charset, DictionaryAndSessionNameTheSameSet) {
  for (const char* set : {"CL8MSWIN1251", "AL32UTF8"}) {
    auto s = Open(std::string("DB_") + set, set);
    EXPECT_EQ(One(*s, "select value from nls_database_parameters where parameter = 'NLS_CHARACTERSET'"), set);
    EXPECT_EQ(One(*s, "select value from nls_database_parameters where parameter = 'NLS_NCHAR_CHARACTERSET'"),
              "AL16UTF16");
    EXPECT_EQ(One(*s, "select userenv('LANGUAGE') from dual"), std::string("AMERICAN_AMERICA.") + set);
  }
}

TEST_F(Charset, UnknownSetsAreRefused) {
  EXPECT_FALSE(oraemu::KnownCharset("WE8ISO8859P1"));
  EXPECT_THROW(oraemu::Database::Create("X", "pw", "UTF16"), std::exception);
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/X.sqlite"));
}

}  // namespace
