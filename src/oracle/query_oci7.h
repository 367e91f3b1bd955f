// A query's cursor on the Oracle 7 call interface: a cursor data area on the
// session's login data area, and the steps of TOracleQuery (parse, bind,
// describe, define, execute, fetch, LONG reads) in Oracle 7 calls. Errors
// raise EOracleError with the text of oerhms.
#ifndef SKELVANE_ORACLE_QUERY_OCI7_H
#define SKELVANE_ORACLE_QUERY_OCI7_H

#include <memory>
#include <string>
#include <vector>

#include "oracle/oci7.h"
#include "oracle/query_columns.h"
#include "oracle/session.h"
#include "oracle/variables.h"

namespace skelvane::oracle {

// Size of the define buffer of a LONG or LONG RAW column; the rest of a
// longer value is read with oflng.
inline constexpr int kLongDefineSize = 4096;
// The largest single oflng read.
inline constexpr int kLongReadLimit = 64000;

// The sizes of the oflng reads that follow the define buffer: requests grow
// from 4096 bytes, doubling while below 32768, and a request above the read
// limit is split into reads of at most that limit. `requestIndex` counts the
// requests from 0; the result is that request's reads.
std::vector<int> LongReadSizes(int requestIndex);

class TCursor7 {
 public:
  TCursor7() = default;
  TCursor7(const TCursor7&) = delete;
  TCursor7& operator=(const TCursor7&) = delete;

  bool IsOpen() const { return open_; }
  void Open(TOracleSession& s);
  // oclose and a zeroed area; errors are of no use to anyone here.
  void Close(TOracleSession& s) noexcept;

  // oparse with the text zero-terminated, Oracle 7 behaviour; deferred
  // leaves the work (and its errors) to the describe or the execution.
  // Returns the return code (0 when the parse succeeded).
  int Parse(TOracleSession& s, const std::string& text, bool deferred);
  // The SQL function code the cursor reports.
  int FunctionCode() const { return cda_.ft; }
  int RowCount() const { return static_cast<int>(cda_.rpc); }
  int ErrorOffset() const { return cda_.peo; }
  int ReturnCode() const { return cda_.rc; }

  // Binds every declared variable but substitutions whose buffer moved.
  void Bind(TOracleSession& s, TVariables& variables);
  // odescr per position until 1007; returns the return code of a failure
  // other than the end of the select list (0 when the describe succeeded).
  int Describe(TOracleSession& s, std::vector<std::unique_ptr<TFieldData>>& columns, int& rowsPerFetch,
               int readBuffer, bool stringFieldsOnly, const TSessionPreferences& prefs);
  void Define(TOracleSession& s, std::vector<std::unique_ptr<TFieldData>>& columns, int rowsPerFetch);
  // oexfet / ofen / oexn; return the return code (1403 and 1406 included).
  int ExecuteFetch(TOracleSession& s, int rows);
  int Fetch(TOracleSession& s, int rows);
  int Execute(TOracleSession& s, int iterations);
  // After a fetch of one row: the whole value of each LONG column, the
  // define buffer followed by oflng reads.
  void ReadLongs(TOracleSession& s, std::vector<std::unique_ptr<TFieldData>>& columns);

 private:
  Cda_Def cda_{};
  bool open_ = false;
};

}  // namespace skelvane::oracle

#endif
