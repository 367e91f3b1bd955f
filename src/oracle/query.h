// TOracleQuery: one SQL statement on a session; batched fetch; values as text.
// Public interface fixed for the layers above; the implementation may add
// private members freely.
#ifndef SKELVANE_ORACLE_QUERY_H
#define SKELVANE_ORACLE_QUERY_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "oracle/session.h"
#include "oracle/variables.h"
#include "oracle/variant.h"

namespace skelvane::oracle {

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

  // The hook behind Debug: shows the SQL and the variables (the front ends set it).
  static std::function<void(const std::string&)>& DebugHook();

  void CloseOnLogOff() noexcept override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace skelvane::oracle

#endif
