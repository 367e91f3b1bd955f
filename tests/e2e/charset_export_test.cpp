// One schema exported from a database of each character set: the column
// types read back as they were declared, whatever the byte lengths.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "e2e/export_support.h"
#include "support/emulator_tool.h"

namespace skelvane::e2e {
namespace {

const char kSchema[] =
    "create table T (A varchar2(20 char), B nvarchar2(40), C raw(16), D varchar2(10 byte), "
    "E char(3 char), F nchar(7), G varchar2(1500 char));\n";

// The type texts the document must hold, one per column of kSchema.
const char* const kTypes[] = {"VARCHAR2(20 CHAR)", "NVARCHAR2(40)", "RAW(16)",          "VARCHAR2(10 BYTE)",
                              "CHAR(3 CHAR)",      "NCHAR(7)",      "VARCHAR2(1500 CHAR)"};

void CreateWithCharset(const fs::path& dir, const std::string& charset) {
  ASSERT_NO_THROW(CreateDatabase(dir, "XE", charset));
}

TEST(CharsetExport, TypeTextsSurviveEveryDatabaseCharacterSet) {
  for (const char* charset : {"CL8MSWIN1251", "AL32UTF8"}) {
    SCOPED_TRACE(charset);
    TScratch scratch(std::string("charset-") + charset);
    CreateWithCharset(scratch.Dir(), charset);
    RunScript(scratch.Dir(), "XE", "SYSTEM/manager", ::skelvane::testing::OwnerGrants("CS_OWNER", "pw"));
    RunScript(scratch.Dir(), "XE", "CS_OWNER/pw", kSchema);
    const fs::path doc = scratch.Dir() / "cs._sdb";
    TCliRun run = RunCli(scratch.Dir(), {"export", "--user", "CS_OWNER", "--file", doc.string()}, "pw");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string text = ReadFile(doc);
    for (const char* type : kTypes) {
      EXPECT_NE(text.find(std::string("{type ") + type + "}"), std::string::npos) << type << "\n" << text;
    }
  }
}

}  // namespace
}  // namespace skelvane::e2e
