// The lending schema's views, stored code and SQL*Plus commands load
// through oraemu-sql as a real project's script would.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

#include "engine/engine.h"
#include "support/temp_folder.h"

namespace {

class RealWorldScript : public ::testing::Test {
 protected:
  void SetUp() override {
    tool_ = std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/oraemu-sql";
    dir_ = temp_.Path();
    setenv("ORAEMU_DATA", dir_.c_str(), 1);
    ASSERT_EQ(Run(tool_ + " create DB --system-password pw"), 0);
    std::ofstream(dir_ + "/owner.sql") << "CREATE USER lender IDENTIFIED BY lpw;\n"
                                          "GRANT CONNECT, RESOURCE, CREATE VIEW TO lender;\n";
    ASSERT_EQ(Run(tool_ + " run DB system/pw owner.sql"), 0);
  }

  int Run(const std::string& args) {
    std::string cmd = "cd '" + dir_ + "' && " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    out_.clear();
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) out_.append(buf.data(), n);
    int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::vector<std::string> Rows(oraemu::Session& s, const std::string& sql) {
    std::vector<std::string> rows;
    for (const auto& row : s.Execute(sql, {}, false).rows) {
      std::string line;
      for (const auto& v : row) line += (line.empty() ? "" : "|") + v.text;
      rows.push_back(line);
    }
    return rows;
  }

  std::string tool_;
  ::skelvane::testing::TTempFolder temp_;
  std::string dir_;
  std::string out_;
};

}  // namespace

TEST_F(RealWorldScript, ViewsAndStoredCodeLoadWithoutARefusal) {
  const std::string script = std::string(EMUDDL_SOURCE_DIR) + "/tests/realworld/schema_code.sql";
  // Run from elsewhere: "@@" names its tables relative to the script.
  ASSERT_EQ(Run(tool_ + " run DB lender/lpw '" + script + "'"), 0) << out_;
  size_t statements = 0;
  for (size_t at = 0; at < out_.size(); at = out_.find('\n', at) + 1) {
    EXPECT_EQ(out_.compare(at, 3, "ok\n"), 0) << out_.substr(at, out_.find('\n', at) - at);
    ++statements;
  }
  EXPECT_EQ(statements, 23u);

  auto db = oraemu::Database::Open("DB");
  auto session = std::move(db->Logon("LENDER", "lpw", false).session);
  EXPECT_EQ(Rows(*session, "SELECT OBJECT_TYPE, COUNT(*) FROM USER_OBJECTS GROUP BY OBJECT_TYPE ORDER BY 1"),
            (std::vector<std::string>{"FUNCTION|1", "INDEX|3", "PACKAGE|1", "PACKAGE BODY|1", "PROCEDURE|1",
                                      "TABLE|4", "TRIGGER|3", "VIEW|12"}));
  EXPECT_EQ(Rows(*session, "SELECT NAME, TYPE, COUNT(*), MIN(TEXT) FROM USER_SOURCE WHERE NAME = 'LIB_LENDING' "
                           "GROUP BY NAME, TYPE ORDER BY TYPE"),
            (std::vector<std::string>{"LIB_LENDING|PACKAGE|5|  FUNCTION open_loans(p_member_id IN NUMBER) RETURN NUMBER;\n",
                                      "LIB_LENDING|PACKAGE BODY|15|\n"}));
  EXPECT_EQ(Rows(*session, "SELECT STATUS, COUNT(*) FROM USER_OBJECTS GROUP BY STATUS"),
            (std::vector<std::string>{"VALID|26"}));
  EXPECT_EQ(Rows(*session, "SELECT TRIGGER_NAME, TRIGGER_TYPE, WHEN_CLAUSE, BASE_OBJECT_TYPE, AFTER_STATEMENT "
                           "FROM USER_TRIGGERS ORDER BY 1"),
            (std::vector<std::string>{"LIB_LOANS_AUDIT|COMPOUND||TABLE|YES",
                                      "LIB_LOANS_FEE_BI|BEFORE EACH ROW|new.fee < 0|TABLE|NO",
                                      "LIB_LOAN_OVERVIEW_IO|INSTEAD OF||VIEW|NO"}));
}

TEST_F(RealWorldScript, AMissingScriptIsReportedAndTheRestStillRuns) {
  std::ofstream(dir_ + "/main.sql") << "@@nowhere\nCREATE TABLE t (x NUMBER);\n";
  EXPECT_EQ(Run(tool_ + " run DB lender/lpw main.sql"), 1);
  EXPECT_EQ(out_, "SP2-0310: unable to open file \"nowhere.sql\"\nok\n");
  // A script that runs itself stops at the nesting limit instead of looping.
  std::ofstream(dir_ + "/self.sql") << "@@self\n";
  EXPECT_EQ(Run(tool_ + " run DB lender/lpw self.sql"), 1);
  EXPECT_NE(out_.find("SP2-0309"), std::string::npos) << out_;
}
