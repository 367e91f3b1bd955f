// Prepare, bind, describe and execute: the statement type, the describe
// attributes of a select list, binds by name and position, error texts and
// parse error offsets, the statement cache.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "oci_client.h"

namespace {

using oci_test::Client;
using Rows = std::vector<std::vector<std::string>>;

class Statement : public ::testing::Test {
 protected:
  void SetUp() override {
    oci_test::CreateDatabase("XE", "manager");
    ASSERT_EQ(client_.Logon("XE", "system", "manager"), OCI_SUCCESS) << client_.Error().text;
    client_.MustRun("CREATE TABLE T1 (A NUMBER(9) NOT NULL, B VARCHAR2(30 CHAR), C DATE, D NUMBER(12,2))");
    stmt_ = client_.NewStmt();
  }
  void TearDown() override { OCI(OCIHandleFree)(stmt_, OCI_HTYPE_STMT); }

  sword Prepare(const std::string& sql) {
    return OCI(OCIStmtPrepare)(stmt_, client_.err, reinterpret_cast<const OraText*>(sql.data()),
                               static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT);
  }
  sword Execute(ub4 iters, ub4 mode = OCI_DEFAULT) {
    return OCI(OCIStmtExecute)(client_.svc, stmt_, client_.err, iters, 0, nullptr, nullptr, mode);
  }
  template <class T>
  T StmtAttr(ub4 attr, OCIError* err = nullptr) {
    T value{};
    OCI(OCIAttrGet)(stmt_, OCI_HTYPE_STMT, &value, nullptr, attr, err != nullptr ? err : client_.err);
    return value;
  }
  // Column names of the current select list, read through OCIParamGet.
  std::vector<std::string> ColumnNames() {
    std::vector<std::string> names;
    for (ub4 i = 1; i <= StmtAttr<ub4>(OCI_ATTR_PARAM_COUNT); ++i) {
      void* param = nullptr;
      EXPECT_EQ(OCI(OCIParamGet)(stmt_, OCI_HTYPE_STMT, client_.err, &param, i), OCI_SUCCESS);
      OraText* name = nullptr;
      ub4 length = 0;
      OCI(OCIAttrGet)(param, OCI_DTYPE_PARAM, &name, &length, OCI_ATTR_NAME, client_.err);
      names.emplace_back(reinterpret_cast<char*>(name), length);
    }
    return names;
  }

  oci_test::TempDataDir dir_;
  Client client_;
  OCIStmt* stmt_ = nullptr;
};

TEST_F(Statement, TypesAndFunctionCodes) {
  ASSERT_EQ(Prepare("  select * from dual"), OCI_SUCCESS);
  EXPECT_EQ(StmtAttr<ub2>(OCI_ATTR_STMT_TYPE), OCI_STMT_SELECT);
  ASSERT_EQ(Prepare("CREATE TABLE T9 (B NUMBER)"), OCI_SUCCESS);
  EXPECT_EQ(StmtAttr<ub2>(OCI_ATTR_STMT_TYPE), OCI_STMT_CREATE);
  EXPECT_EQ(Execute(0), OCI_ERROR);  // anything but a query needs an iteration
  EXPECT_EQ(client_.Error().code, 24333);
  ASSERT_EQ(Execute(1), OCI_SUCCESS) << client_.Error().text;
  EXPECT_EQ(StmtAttr<ub2>(OCI_ATTR_SQLFNCODE), 1);  // CREATE TABLE
  EXPECT_EQ(StmtAttr<ub4>(OCI_ATTR_ROW_COUNT), 0u);
  OraText* text = nullptr;
  ub4 length = 0;
  OCI(OCIAttrGet)(stmt_, OCI_HTYPE_STMT, &text, &length, OCI_ATTR_STATEMENT, client_.err);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(text), length), "CREATE TABLE T9 (B NUMBER)");
}

TEST_F(Statement, DescribeAttributesOfTheSelectList) {
  ASSERT_EQ(Prepare("select table_name, data_length, nullable, data_default from user_tab_columns"), OCI_SUCCESS);
  ASSERT_EQ(Execute(0, OCI_DESCRIBE_ONLY), OCI_SUCCESS) << client_.Error().text;
  EXPECT_EQ(ColumnNames(), (std::vector<std::string>{"TABLE_NAME", "DATA_LENGTH", "NULLABLE", "DATA_DEFAULT"}));
  struct Expected {
    ub2 type, size;
    ub1 nullable;
  };
  const Expected expected[] = {{SQLT_CHR, 128, 0}, {SQLT_NUM, 22, 0}, {SQLT_CHR, 1, 1}, {SQLT_LNG, 0, 1}};
  for (ub4 i = 0; i < 4; ++i) {
    void* param = nullptr;
    ASSERT_EQ(OCI(OCIParamGet)(stmt_, OCI_HTYPE_STMT, client_.err, &param, i + 1), OCI_SUCCESS);
    ub2 type = 0, size = 0;
    ub1 nullable = 9;
    OCI(OCIAttrGet)(param, OCI_DTYPE_PARAM, &type, nullptr, OCI_ATTR_DATA_TYPE, client_.err);
    OCI(OCIAttrGet)(param, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE, client_.err);
    OCI(OCIAttrGet)(param, OCI_DTYPE_PARAM, &nullable, nullptr, OCI_ATTR_IS_NULL, client_.err);
    EXPECT_EQ(type, expected[i].type) << i;
    EXPECT_EQ(size, expected[i].size) << i;
    EXPECT_EQ(nullable, expected[i].nullable) << i;
  }
  // An unconstrained NUMBER: precision 0, scale -127, written as sb2 and sb1.
  void* param = nullptr;
  OCI(OCIParamGet)(stmt_, OCI_HTYPE_STMT, client_.err, &param, 2);
  sb2 precision = 99;
  sb1 scale = 0;
  ub4 size = 0;
  OCI(OCIAttrGet)(param, OCI_DTYPE_PARAM, &precision, &size, OCI_ATTR_PRECISION, client_.err);
  EXPECT_EQ(size, sizeof(sb2));
  OCI(OCIAttrGet)(param, OCI_DTYPE_PARAM, &scale, &size, OCI_ATTR_SCALE, client_.err);
  EXPECT_EQ(size, sizeof(sb1));
  EXPECT_EQ(precision, 0);
  EXPECT_EQ(scale, -127);
  EXPECT_EQ(OCI(OCIParamGet)(stmt_, OCI_HTYPE_STMT, client_.err, &param, 5), OCI_ERROR);
  EXPECT_EQ(client_.Error().code, 24334);
  // Described only: there is nothing to fetch.
  EXPECT_EQ(OCI(OCIStmtFetch2)(stmt_, client_.err, 1, OCI_FETCH_NEXT, 0, OCI_DEFAULT), OCI_ERROR);
  EXPECT_EQ(client_.Error().code, 24338);
}

TEST_F(Statement, BindsByNameInAnySpellingAndByPosition) {
  const std::string sql = "select column_name from user_tab_columns where table_name = :Tab order by column_id";
  ASSERT_EQ(Prepare(sql), OCI_SUCCESS);
  char value[] = "T1";
  sb2 indicator = 0;
  OCIBind* bind = nullptr;
  // Without the colon and in another case.
  ASSERT_EQ(OCI(OCIBindByName)(stmt_, &bind, client_.err, reinterpret_cast<const OraText*>("TAB"), -1, value,
                               sizeof value, SQLT_STR, &indicator, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(Execute(4), OCI_SUCCESS) << client_.Error().text;
  EXPECT_EQ(StmtAttr<ub4>(OCI_ATTR_ROW_COUNT), 4u);

  // NULL through the indicator matches nothing.
  indicator = -1;
  EXPECT_EQ(Execute(1), OCI_NO_DATA);
  EXPECT_EQ(client_.Error().code, 1403);

  // A name the statement does not have.
  EXPECT_EQ(OCI(OCIBindByName)(stmt_, &bind, client_.err, reinterpret_cast<const OraText*>(":NOPE"), 5, value,
                               sizeof value, SQLT_STR, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_ERROR);
  EXPECT_EQ(client_.Error().code, 1036);

  // SQLT_CHR with its length, and numbers as SQLT_INT and SQLT_FLT.
  EXPECT_EQ(client_.Rows("select column_name from user_tab_columns where table_name = :T and column_id = :ID",
                         {{":T", "T1"}, {":ID", "2"}}),
            (Rows{{"B"}}));
  ASSERT_EQ(Prepare("select column_name from user_tab_columns where table_name = :T and column_id = :ID"),
            OCI_SUCCESS);
  char chars[8] = {'T', '1', 'x', 'x'};
  ub2 length = 2;
  int id = 3;
  ASSERT_EQ(OCI(OCIBindByPos)(stmt_, &bind, client_.err, 1, chars, sizeof chars, SQLT_CHR, nullptr, &length, nullptr,
                              0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(OCI(OCIBindByName)(stmt_, &bind, client_.err, reinterpret_cast<const OraText*>(":id"), 3, &id, sizeof id,
                               SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  char name[32];
  OCIDefine* define = nullptr;
  ASSERT_EQ(Execute(0), OCI_SUCCESS) << client_.Error().text;
  OCI(OCIDefineByPos)(stmt_, &define, client_.err, 1, name, sizeof name, SQLT_STR, nullptr, nullptr, nullptr,
                      OCI_DEFAULT);
  ASSERT_EQ(OCI(OCIStmtFetch)(stmt_, client_.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS);
  EXPECT_STREQ(name, "C");
  double idAsDouble = 4.0;
  ASSERT_EQ(OCI(OCIBindByName)(stmt_, &bind, client_.err, reinterpret_cast<const OraText*>(":ID"), 3, &idAsDouble,
                               sizeof idAsDouble, SQLT_FLT, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(Execute(1), OCI_SUCCESS) << client_.Error().text;
  EXPECT_STREQ(name, "D");
}

TEST_F(Statement, ErrorsCarryTextAndParseOffset) {
  ASSERT_EQ(Prepare("select *\nfrom no_such_table"), OCI_SUCCESS);
  ASSERT_EQ(Execute(0), OCI_ERROR);
  // Reading the offset through the error handle leaves its record intact.
  ub2 fromErrorHandle = 0;
  OCIError* other = nullptr;
  OCI(OCIHandleAlloc)(client_.env, reinterpret_cast<void**>(&other), OCI_HTYPE_ERROR, 0, nullptr);
  OCI(OCIAttrGet)(client_.err, OCI_HTYPE_ERROR, &fromErrorHandle, nullptr, OCI_ATTR_PARSE_ERROR_OFFSET_OLD, other);
  EXPECT_EQ(fromErrorHandle, 14);
  EXPECT_EQ(StmtAttr<ub2>(OCI_ATTR_PARSE_ERROR_OFFSET), 14);  // through the same error handle
  EXPECT_EQ(client_.Error().code, 942);
  EXPECT_EQ(client_.Error().text, "ORA-00942: table or view does not exist\n");
  // Both numbers of the attribute, on the statement and on the error handle.
  EXPECT_EQ(StmtAttr<ub2>(OCI_ATTR_PARSE_ERROR_OFFSET), 14);
  ub2 offset = 0;
  OCI(OCIAttrGet)(stmt_, OCI_HTYPE_STMT, &offset, nullptr, OCI_ATTR_PARSE_ERROR_OFFSET_OLD, client_.err);
  EXPECT_EQ(offset, 14);
  // Only one record.
  sb4 code = 0;
  OraText text[64];
  EXPECT_EQ(OCI(OCIErrorGet)(client_.err, 2, nullptr, &code, text, sizeof text, OCI_HTYPE_ERROR), OCI_NO_DATA);

  // A refused DDL statement: its offset counts bytes across the line break.
  ASSERT_EQ(Prepare("CREATE TABLE\nT1 (X NUMBER)"), OCI_SUCCESS);
  ASSERT_EQ(Execute(1), OCI_ERROR);
  EXPECT_EQ(client_.Error().code, 955);
  EXPECT_EQ(StmtAttr<ub2>(OCI_ATTR_PARSE_ERROR_OFFSET), 13);
  // A later success clears the offset.
  ASSERT_EQ(Prepare("CREATE TABLE T2 (X NUMBER)"), OCI_SUCCESS);
  ASSERT_EQ(Execute(1), OCI_SUCCESS);
  EXPECT_EQ(StmtAttr<ub2>(OCI_ATTR_PARSE_ERROR_OFFSET), 0);
}

TEST_F(Statement, CachedStatementsComeBackByText) {
  Client cached;
  ASSERT_EQ(cached.Logon("XE", "system", "manager", OCI_CRED_RDBMS, OCI_STMT_CACHE), OCI_SUCCESS);
  const std::string sql = "select table_name from user_tables";
  auto prepare = [&](ub4 mode) {
    OCIStmt* stmt = nullptr;
    sword status = OCI(OCIStmtPrepare2)(cached.svc, &stmt, cached.err, reinterpret_cast<const OraText*>(sql.data()),
                                        static_cast<ub4>(sql.size()), nullptr, 0, OCI_NTV_SYNTAX, mode);
    return std::make_pair(status, stmt);
  };
  auto [status, first] = prepare(OCI_DEFAULT);
  ASSERT_EQ(status, OCI_SUCCESS);
  EXPECT_EQ(OCI(OCIStmtRelease)(first, cached.err, nullptr, 0, OCI_DEFAULT), OCI_SUCCESS);
  auto [again, second] = prepare(OCI_PREP2_CACHE_SEARCHONLY);
  ASSERT_EQ(again, OCI_SUCCESS);
  EXPECT_EQ(second, first);
  ASSERT_EQ(OCI(OCIStmtExecute)(cached.svc, second, cached.err, 0, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS)
      << cached.Error().text;
  EXPECT_EQ(OCI(OCIStmtRelease)(second, cached.err, nullptr, 0, OCI_STRLS_CACHE_DELETE), OCI_SUCCESS);
  auto [missing, none] = prepare(OCI_PREP2_CACHE_SEARCHONLY);
  EXPECT_EQ(missing, OCI_ERROR);
  EXPECT_EQ(cached.Error().code, 24431);
}

}  // namespace

namespace {

TEST_F(Statement, CompilationErrorsAndNulBytesAsTheServerAnswersThem) {
  struct Case {
    std::string sql;
    sword status;
    int code;
  } cases[] = {
      {"CREATE PROCEDURE P IS\nBEGIN\n  NULL;\nEND;", OCI_SUCCESS, 0},
      {"CREATE OR REPLACE PROCEDURE P IS\nBEGIN\n  NULL;\n", OCI_SUCCESS_WITH_INFO, 24344},
      {std::string("select 1 from dual\0", 19), OCI_ERROR, 911},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    ASSERT_EQ(Prepare(c.sql), OCI_SUCCESS);
    EXPECT_EQ(Execute(1), c.status);
    if (c.code != 0) {
      EXPECT_EQ(client_.Error().code, c.code);
    }
  }
  EXPECT_EQ(client_.Rows("select status from user_objects where object_name = 'P'"), (Rows{{"INVALID"}}));
}

TEST_F(Statement, TheClientSpeaksTheSetNlsLangNames) {
  struct Case {
    const char* nlsLang;  // null: not set
    ub2 charset;
  } cases[] = {{nullptr, 171}, {"AMERICAN_AMERICA.AL32UTF8", 873}, {"AMERICAN_AMERICA.CL8MSWIN1251", 171}};
  for (const Case& c : cases) {
    if (c.nlsLang) {
      setenv("NLS_LANG", c.nlsLang, 1);
    } else {
      unsetenv("NLS_LANG");
    }
    ub2 id = 0;
    EXPECT_EQ(OCI(OCIAttrGet)(client_.env, OCI_HTYPE_ENV, &id, nullptr, 31, client_.err), OCI_SUCCESS);
    EXPECT_EQ(id, c.charset) << (c.nlsLang ? c.nlsLang : "unset");
  }
  unsetenv("NLS_LANG");
}

}  // namespace
