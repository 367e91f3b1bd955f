// TOracleQuery: one SQL statement on a session; batched fetch; values as text.
// Public interface fixed for the layers above; the implementation may add
// private members freely.
#ifndef SKELVANE_ORACLE_QUERY_H
#define SKELVANE_ORACLE_QUERY_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "oracle/session.h"
#include "oracle/variables.h"
#include "oracle/variant.h"

namespace skelvane::oracle {

// How a select-list column is fetched (the external type chosen when the
// statement is described). None: a type without a text form (LOBs, objects).
enum class TExternalType { Integer, Float, Text, Long, LongRaw, Date, None };

class TOracleQuery : public TOracleDependant {
 public:
  TOracleQuery();
  ~TOracleQuery() override;
  TOracleQuery(const TOracleQuery&) = delete;
  TOracleQuery& operator=(const TOracleQuery&) = delete;

  std::string Name;                 // component name, for messages
  TOracleSession* Session = nullptr;
  int ReadBuffer = 25;
  bool StringFieldsOnly = false;
  // Above 0: LONG columns are fetched in arrays like other columns, into
  // buffers of this many bytes (terminator included); a longer value comes
  // cut and FieldTruncated tells. 0: in pieces, whole, one row per fetch.
  int LongBufferSize = 0;
  bool Optimize = true;
  bool Debug = false;

  // SQL text as lines; changing it clears the parsed text.
  const std::vector<std::string>& SQL() const;
  void SetSQL(std::vector<std::string> lines);
  void SetSQLText(const std::string& text);  // split on line ends

  TVariables& Variables();
  void AddVariable(const std::string& name, int typeCode);
  void AssignVariable(const std::string& name, const TVariant& value);

  void Execute();
  void Describe();
  void Next();
  bool Eof() const;
  std::string FieldText(const std::string& name) const;
  std::string FieldText(int index) const;
  int FieldCount() const;
  int ProcessedRows() const;
  int ParseErrorLine() const;
  int ParseErrorColumn() const;
  void Close();

  // Statement type: 0 unparsed, 3 INSERT, 4 SELECT, 5 UPDATE, 9 DELETE,
  // 34 PL/SQL block, -1 other; after a non-query, its SQL function code.
  int StatementType() const;

  // The described columns and typed access to the current row (0-based
  // index; the same checks as FieldText).
  int FieldIndex(const std::string& name) const;  // first match ignoring case, -1 when none
  const std::string& FieldName(int index) const;
  TExternalType FieldType(int index) const;
  int FieldSize(int index) const;       // the column's data size
  int FieldPrecision(int index) const;
  bool FieldIsNull(int index) const;
  // The current row's value did not fit its buffer (ORA-01406).
  bool FieldTruncated(int index) const;
  int32_t FieldInteger(int index) const;
  double FieldFloat(int index) const;
  TDateTime FieldDate(int index) const;
  std::string FieldBytes(int index) const;  // LONG RAW and LONG values unconverted

  // The hook behind Debug: shows the SQL and the variables (the front ends set it).
  static std::function<void(const std::string&)>& DebugHook();

  void CloseOnLogOff() noexcept override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace skelvane::oracle

#endif
