// oraemu-sql as a user runs it, and the demo database built with it.
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

class ToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The tool is built next to this test program.
    tool_ = std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/oraemu-sql";
    ASSERT_TRUE(std::filesystem::exists(tool_)) << tool_;
    dir_ = temp_.Path();
    setenv("ORAEMU_DATA", dir_.c_str(), 1);
  }
  // Runs a shell command line; returns the exit status and standard output.
  int Run(const std::string& args, std::string& out) {
    std::string cmd = "cd '" + dir_ + "' && " + args + " 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    out.clear();
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) out.append(buf.data(), n);
    int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ + "/" + name, std::ios::binary) << text;
  }

  std::string tool_;
  ::skelvane::testing::TTempFolder temp_;
  std::string dir_;
};

}  // namespace

TEST_F(ToolTest, ScriptStatementsRunOneByOneWithTheirOutcome) {
  std::string out;
  ASSERT_EQ(Run(tool_ + " create DB --system-password pw", out), 0);
  EXPECT_NE(Run(tool_ + " create DB --system-password pw", out), 0);  // never overwrites
  Write("users.sql", "CREATE USER app IDENTIFIED BY apw;\nGRANT CONNECT, RESOURCE TO app;\n");
  ASSERT_EQ(Run(tool_ + " run DB system/pw users.sql", out), 0);
  EXPECT_EQ(out, "ok\nok\n");
  Write("s.sql",
        "-- a comment line\n"
        "\n"
        "CREATE TABLE t (\n"
        "  a NUMBER DEFAULT 1\n"
        "    + 2,\n"
        "  b VARCHAR2(10)\n"
        ")  ;\n"
        "CREATE OR REPLACE FUNCTION f RETURN NUMBER IS\n"
        "BEGIN\n"
        "  RETURN 1; -- ends with ;\n"
        "END;\n"
        "/\n"
        "CREATE TABLE t (x NUMBER);\n"
        "COMMENT ON TABLE t IS 'done';\n");
  EXPECT_EQ(Run(tool_ + " run DB app/apw s.sql", out), 1);
  EXPECT_EQ(out, "ok\nok\nORA-00955: name is already used by an existing object\nok\n");
  EXPECT_EQ(Run(tool_ + " run DB app/wrong s.sql", out), 2);
  EXPECT_EQ(out, "ORA-01017: invalid username/password; logon denied\n");
  EXPECT_EQ(Run(tool_ + " run NODB app/apw s.sql", out), 2);

  auto db = oraemu::Database::Open("DB");
  auto s = db->Logon("APP", "apw", false).session;
  auto r = s->Execute("select data_default from user_tab_columns where column_name = 'A'", {}, false);
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.rows[0][0].text, "1\n    + 2");
  r = s->Execute("select text from user_source where name = 'F' order by line", {}, false);
  ASSERT_EQ(r.rows.size(), 4u);
  EXPECT_EQ(r.rows[3][0].text, "END;");
}

TEST_F(ToolTest, StandardInputAndTheExpiringPasswordState) {
  std::string out;
  ASSERT_EQ(Run(tool_ + " create DB --system-password pw", out), 0);
  EXPECT_EQ(Run("printf 'CREATE USER u IDENTIFIED BY p;\\nGRANT CONNECT TO u;\\n' | " + tool_ + " run DB system/pw",
                out),
            0);
  EXPECT_EQ(out, "ok\nok\n");
  EXPECT_EQ(Run(tool_ + " expire-soon DB u 3", out), 0);
  auto r = oraemu::Database::Open("DB")->Logon("u", "p", false);
  ASSERT_TRUE(r.warning.has_value());
  EXPECT_STREQ(r.warning->what(), "ORA-28002: the password will expire within 3 days");
  EXPECT_EQ(Run(tool_ + " expire-soon DB NOBODY", out), 2);
  EXPECT_EQ(Run(tool_ + " frobnicate", out), 64);
  EXPECT_EQ(Run(tool_ + " --help", out), 0);
  EXPECT_NE(out.find("expire-soon"), std::string::npos);
}

TEST_F(ToolTest, DemoDatabaseBuildsWithoutAFailedStatement) {
  const std::string src = EMUDDL_SOURCE_DIR;
  std::string out;
  ASSERT_EQ(Run(src + "/demo/make-demo.sh '" + dir_ + "/demo' " + tool_, out), 0) << out;
  setenv("ORAEMU_DATA", (dir_ + "/demo").c_str(), 1);
  auto db = oraemu::Database::Open("DEMO");
  auto app = db->Logon("DEMO_APP", "demo_app_pw", false).session;
  auto count = [&](const std::string& sql) {
    auto r = app->Execute(sql, {}, false);
    return r.rows.empty() ? std::string() : r.rows[0][0].text;
  };
  EXPECT_GE(std::stoi(count("select count(*) from user_tables")), 8);
  EXPECT_EQ(count("select count(*) from user_sequences"), "3");
  EXPECT_EQ(count("select count(*) from user_triggers"), "2");
  EXPECT_EQ(count("select count(*) from user_views"), "2");
  EXPECT_EQ(count("select count(*) from user_db_links"), "1");
  auto reader = db->Logon("DEMO_READER", "demo_reader_pw", false).session;
  auto r = reader->Execute("select table_owner, table_name from user_synonyms", {}, false);
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.rows[0][0].text, "DEMO_APP");
  // The owner reads the SYS tables the synonym lists need; the reader does not.
  EXPECT_EQ(count("select count(*) from sys.user$ where name = 'DEMO_APP'"), "1");
  EXPECT_THROW(reader->Execute("select count(*) from sys.obj$", {}, false), oraemu::EOraError);
  EXPECT_THROW(reader->Execute("create table x (a number)", {}, false), oraemu::EOraError);
}

TEST_F(ToolTest, CreateTakesTheCharacterSetAndScriptsFailOnCompilationErrors) {
  std::string out;
  EXPECT_EQ(Run(tool_ + " create U8 --system-password pw --charset al32utf8", out), 0) << out;
  EXPECT_EQ(Run(tool_ + " create W1 --charset CL8MSWIN1251 --system-password pw", out), 0) << out;
  EXPECT_EQ(Run("(" + tool_ + " create X1 --system-password pw --charset WE8ISO8859P1 2>&1)", out), 64);
  EXPECT_NE(out.find("unknown character set WE8ISO8859P1"), std::string::npos) << out;
  EXPECT_EQ(Run(tool_ + " create X2 --charset AL32UTF8", out), 64);
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/X1.sqlite"));
  auto db = oraemu::Database::Open("U8");
  auto s = db->Logon("SYSTEM", "pw", false).session;
  auto r = s->Execute("select value from nls_database_parameters where parameter = 'NLS_CHARACTERSET'", {}, false);
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.rows[0][0].text, "AL32UTF8");

  Write("p.sql", "CREATE PROCEDURE P IS\nBEGIN\n  NULL;\n/\nCREATE TABLE T (A NUMBER);\n");
  EXPECT_EQ(Run(tool_ + " run U8 system/pw p.sql", out), 1);
  EXPECT_EQ(out, "ORA-24344: success with compilation error\nok\n");
}
