// Fetching: array fetch with its counters and end, conversions of numbers
// to every external type, truncation and NULL rules, and a LONG value
// arriving piecewise through the define callback.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "oci_client.h"

namespace {

using oci_test::Client;

class Fetch : public ::testing::Test {
 protected:
  void SetUp() override {
    oci_test::CreateDatabase("XE", "manager");
    ASSERT_EQ(client_.Logon("XE", "system", "manager"), OCI_SUCCESS) << client_.Error().text;
    stmt_ = client_.NewStmt();
  }
  void TearDown() override { OCI(OCIHandleFree)(stmt_, OCI_HTYPE_STMT); }

  void CreateTable(const std::string& name, int columns) {
    std::string sql = "CREATE TABLE " + name + " (";
    for (int i = 1; i <= columns; ++i) sql += (i > 1 ? ", C" : "C") + std::to_string(i) + " NUMBER";
    client_.MustRun(sql + ")");
  }
  void Run(const std::string& sql, ub4 iters = 0) {
    ASSERT_EQ(OCI(OCIStmtPrepare)(stmt_, client_.err, reinterpret_cast<const OraText*>(sql.data()),
                                  static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
              OCI_SUCCESS);
    ASSERT_EQ(OCI(OCIStmtExecute)(client_.svc, stmt_, client_.err, iters, 0, nullptr, nullptr, OCI_DEFAULT),
              OCI_SUCCESS)
        << client_.Error().text;
  }
  sword FetchRows(ub4 rows) { return OCI(OCIStmtFetch2)(stmt_, client_.err, rows, OCI_FETCH_NEXT, 0, OCI_DEFAULT); }
  ub4 Counter(ub4 attr) {
    ub4 value = 0;
    OCI(OCIAttrGet)(stmt_, OCI_HTYPE_STMT, &value, nullptr, attr, client_.err);
    return value;
  }
  void Define(ub4 position, void* buffer, sb4 size, ub2 type, sb2* indicator = nullptr, ub2* length = nullptr,
              ub2* code = nullptr) {
    OCIDefine* define = nullptr;
    ASSERT_EQ(OCI(OCIDefineByPos)(stmt_, &define, client_.err, position, buffer, size, type, indicator, length, code,
                                  OCI_DEFAULT),
              OCI_SUCCESS);
  }

  oci_test::TempDataDir dir_;
  Client client_;
  OCIStmt* stmt_ = nullptr;
};

TEST_F(Fetch, ArrayFetchCountsRowsAndEndsWithNoData) {
  CreateTable("WIDE", 30);
  Run("select column_name, column_id from user_tab_columns where table_name = 'WIDE' order by column_id");
  char names[25][16];
  int ids[25];
  Define(1, names, sizeof names[0], SQLT_STR);
  Define(2, ids, sizeof ids[0], SQLT_INT);
  ASSERT_EQ(FetchRows(25), OCI_SUCCESS) << client_.Error().text;
  EXPECT_EQ(Counter(OCI_ATTR_ROWS_FETCHED), 25u);
  EXPECT_EQ(Counter(OCI_ATTR_ROW_COUNT), 25u);
  EXPECT_STREQ(names[0], "C1");
  EXPECT_STREQ(names[24], "C25");
  EXPECT_EQ(ids[24], 25);
  // The last batch brings the remaining five rows and says that the data ended.
  ASSERT_EQ(FetchRows(25), OCI_NO_DATA);
  EXPECT_EQ(client_.Error().code, 1403);
  EXPECT_EQ(client_.Error().text, "ORA-01403: no data found\n");
  EXPECT_EQ(Counter(OCI_ATTR_ROWS_FETCHED), 5u);
  EXPECT_EQ(Counter(OCI_ATTR_ROW_COUNT), 30u);
  EXPECT_STREQ(names[4], "C30");
  EXPECT_STREQ(names[5], "C6");  // untouched beyond the delivered rows
  // Fetching past the end is out of sequence.
  EXPECT_EQ(FetchRows(1), OCI_ERROR);
  EXPECT_EQ(client_.Error().code, 1002);
}

TEST_F(Fetch, ExactBatchNeedsOneMoreFetchAndExecuteCanDeliverTheFirst) {
  CreateTable("T25", 25);
  const std::string sql = "select column_name from user_tab_columns where table_name = 'T25' order by column_id";
  ASSERT_EQ(OCI(OCIStmtPrepare)(stmt_, client_.err, reinterpret_cast<const OraText*>(sql.data()),
                                static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
            OCI_SUCCESS);
  char names[25][8];
  Define(1, names, sizeof names[0], SQLT_STR);
  // Executing with 25 iterations delivers the first batch in the same call.
  ASSERT_EQ(OCI(OCIStmtExecute)(client_.svc, stmt_, client_.err, 25, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS)
      << client_.Error().text;
  EXPECT_EQ(Counter(OCI_ATTR_ROW_COUNT), 25u);
  EXPECT_STREQ(names[24], "C25");
  EXPECT_EQ(FetchRows(25), OCI_NO_DATA);
  EXPECT_EQ(Counter(OCI_ATTR_ROWS_FETCHED), 0u);
  EXPECT_EQ(Counter(OCI_ATTR_ROW_COUNT), 25u);
}

TEST_F(Fetch, NumbersConvertExactlyToEveryExternalType) {
  client_.MustRun("CREATE TABLE T (A VARCHAR2(22))");
  client_.MustRun("CREATE SEQUENCE S27 MAXVALUE 1000000000000000000000000000");
  Run("select data_length, data_length, data_length, data_length from user_tab_columns where table_name = 'T'");
  int asInt = 0;
  double asDouble = 0;
  float asFloat = 0;
  char asText[8];
  Define(1, &asInt, sizeof asInt, SQLT_INT);
  Define(2, &asDouble, sizeof asDouble, SQLT_FLT);
  Define(3, &asFloat, sizeof asFloat, SQLT_FLT);
  Define(4, asText, sizeof asText, SQLT_STR);
  ASSERT_EQ(FetchRows(1), OCI_SUCCESS) << client_.Error().text;
  EXPECT_EQ(asInt, 22);
  EXPECT_EQ(asDouble, 22.0);
  EXPECT_EQ(asFloat, 22.0f);
  EXPECT_STREQ(asText, "22");

  Run("select max_value, max_value, max_value from user_sequences where sequence_name = 'S27'");
  char big[40];
  long long asLong = 0;
  Define(1, &asDouble, sizeof asDouble, SQLT_FLT);
  Define(2, big, sizeof big, SQLT_STR);
  Define(3, &asLong, sizeof asLong, SQLT_INT);
  // 10^27 does not fit a 64-bit integer: the fetch says so instead of wrapping.
  EXPECT_EQ(FetchRows(1), OCI_ERROR);
  EXPECT_EQ(client_.Error().code, 1455);
  Run("select max_value, max_value from user_sequences where sequence_name = 'S27'");
  Define(1, &asDouble, sizeof asDouble, SQLT_FLT);
  Define(2, big, sizeof big, SQLT_STR);
  ASSERT_EQ(FetchRows(1), OCI_SUCCESS) << client_.Error().text;
  EXPECT_EQ(asDouble, 1e27);
  EXPECT_STREQ(big, "1000000000000000000000000000");
}

TEST_F(Fetch, DatesArriveAsSevenBytesAndAsDefaultText) {
  client_.MustRun("CREATE TABLE T1 (A NUMBER)");
  Run("select created, created from user_objects where object_name = 'T1'");
  unsigned char date[7] = {};
  char text[16];
  Define(1, date, sizeof date, SQLT_DAT);
  Define(2, text, sizeof text, SQLT_STR);
  ASSERT_EQ(FetchRows(1), OCI_SUCCESS) << client_.Error().text;
  static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                        "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  ASSERT_GE(date[0], 120);  // this century: 100 + 20
  ASSERT_TRUE(date[2] >= 1 && date[2] <= 12);
  char expected[16];
  std::snprintf(expected, sizeof expected, "%02d-%s-%02d", date[3], kMonths[date[2] - 1], date[1] - 100);
  EXPECT_STREQ(text, expected);
  EXPECT_TRUE(date[4] >= 1 && date[4] <= 24 && date[5] >= 1 && date[5] <= 60 && date[6] >= 1 && date[6] <= 60);
}

TEST_F(Fetch, TruncationAndNullFollowTheIndicatorRules) {
  client_.MustRun("CREATE TABLE LONG_NAMED_TABLE (A VARCHAR2(5))");
  Run("select table_name, data_precision from user_tab_columns where table_name = 'LONG_NAMED_TABLE'");
  char name[5];
  sb2 nameIndicator = 0, precisionIndicator = 0;
  ub2 nameLength = 0, nameCode = 0, precisionCode = 0;
  int precision = 7;
  Define(1, name, sizeof name, SQLT_STR, &nameIndicator, &nameLength, &nameCode);
  Define(2, &precision, sizeof precision, SQLT_INT, &precisionIndicator, nullptr, &precisionCode);
  EXPECT_EQ(FetchRows(1), OCI_SUCCESS_WITH_INFO);
  EXPECT_EQ(client_.Error().code, 1406);
  EXPECT_STREQ(name, "LONG");              // four bytes and the terminator
  EXPECT_EQ(nameIndicator, 16);            // the untruncated length
  EXPECT_EQ(nameCode, 1406);
  EXPECT_EQ(nameLength, 4);
  EXPECT_EQ(precisionIndicator, -1);       // VARCHAR2 has no precision
  EXPECT_EQ(precision, 7);                 // the buffer is left alone

  // Without indicators, both are errors.
  Run("select data_precision from user_tab_columns where table_name = 'LONG_NAMED_TABLE'");
  Define(1, &precision, sizeof precision, SQLT_INT);
  EXPECT_EQ(FetchRows(1), OCI_ERROR);
  EXPECT_EQ(client_.Error().code, 1405);
  Run("select table_name from user_tab_columns where table_name = 'LONG_NAMED_TABLE'");
  Define(1, name, sizeof name, SQLT_CHR);
  EXPECT_EQ(FetchRows(1), OCI_ERROR);
  EXPECT_EQ(client_.Error().code, 1406);
}

// The access layer's LONG protocol: pieces of 4096, 8192, 16384, 32768 bytes.
struct PieceCollector {
  std::string value;
  std::vector<ub1> pieces;  // what each call was told
  std::vector<char> buffer;
  ub4 length = 0;
  sb2 indicator = 0;
  ub2 code = 0;
  ub4 nextSize = 4096;

  static sb4 Callback(void* context, OCIDefine*, ub4, void** bufpp, ub4** alenp, ub1* piecep, void** indp,
                      ub2** rcodep) {
    auto* self = static_cast<PieceCollector*>(context);
    if (*piecep == OCI_NEXT_PIECE) {
      self->value.append(self->buffer.data(), self->length);  // the previous piece is complete
      if (self->nextSize < 32768) self->nextSize *= 2;
    }
    self->pieces.push_back(*piecep);
    self->buffer.assign(self->nextSize, '\0');
    self->length = self->nextSize;
    *bufpp = self->buffer.data();
    *alenp = &self->length;
    *indp = &self->indicator;
    *rcodep = &self->code;
    return OCI_CONTINUE;
  }
};

TEST_F(Fetch, LongValueArrivesWholeInPieces) {
  const std::string head = "select /*", tail = "*/ A\nfrom T1";
  std::string filler;
  while (filler.size() < 100000) filler += "padding line of the view text\n";
  filler.resize(100000 - head.size() - tail.size());
  const std::string text = head + filler + tail;
  ASSERT_EQ(text.size(), 100000u);
  client_.MustRun("CREATE TABLE T1 (A NUMBER)");
  client_.MustRun("CREATE VIEW V100 AS " + text);
  Run("select text, text_length from user_views where view_name = 'V100'");
  PieceCollector collector;
  OCIDefine* define = nullptr;
  ASSERT_EQ(OCI(OCIDefineByPos)(stmt_, &define, client_.err, 1, nullptr, 0x7FFFFFFF, SQLT_LNG, nullptr, nullptr,
                                nullptr, OCI_DYNAMIC_FETCH),
            OCI_SUCCESS);
  ASSERT_EQ(OCI(OCIDefineDynamic)(define, client_.err, &collector, &PieceCollector::Callback), OCI_SUCCESS);
  int textLength = 0;
  Define(2, &textLength, sizeof textLength, SQLT_INT);
  ASSERT_EQ(FetchRows(1), OCI_SUCCESS) << client_.Error().text;
  collector.value.append(collector.buffer.data(), collector.length);  // the last piece
  EXPECT_EQ(textLength, 100000);
  EXPECT_EQ(collector.value.size(), 100000u);
  EXPECT_TRUE(collector.value == text);
  EXPECT_EQ(collector.indicator, 0);
  // 4096 + 8192 + 16384 + 32768 + 32768 < 100000: six calls, the first FIRST_PIECE.
  ASSERT_EQ(collector.pieces.size(), 6u);
  EXPECT_EQ(collector.pieces[0], OCI_FIRST_PIECE);
  for (size_t i = 1; i < collector.pieces.size(); ++i) EXPECT_EQ(collector.pieces[i], OCI_NEXT_PIECE);
}

TEST_F(Fetch, CallbackThatDoesNotContinueStopsTheFetch) {
  client_.MustRun("CREATE TABLE T1 (A NUMBER)");
  client_.MustRun("CREATE VIEW V1 AS select A from T1");
  Run("select text from user_views where view_name = 'V1'");
  OCIDefine* define = nullptr;
  OCI(OCIDefineByPos)(stmt_, &define, client_.err, 1, nullptr, 0x7FFFFFFF, SQLT_LNG, nullptr, nullptr, nullptr,
                      OCI_DYNAMIC_FETCH);
  auto refuse = [](void*, OCIDefine*, ub4, void**, ub4**, ub1*, void**, ub2**) -> sb4 { return OCI_ERROR; };
  OCI(OCIDefineDynamic)(define, client_.err, nullptr, refuse);
  EXPECT_EQ(FetchRows(1), OCI_ERROR);
  EXPECT_EQ(client_.Error().code, 24343);
}

}  // namespace
