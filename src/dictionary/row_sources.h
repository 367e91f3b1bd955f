// Row sources over the access layer's query and data set, as Fill and
// PrivilegeText read them.
#ifndef SKELVANE_DICTIONARY_ROW_SOURCES_H
#define SKELVANE_DICTIONARY_ROW_SOURCES_H

#include <string>

#include "dictionary/row_source.h"
#include "oracle/dataset.h"
#include "oracle/query.h"

namespace skelvane {

// Values as FieldText gives them, unchanged.
class TQueryRows : public TRowSource {
 public:
  explicit TQueryRows(oracle::TOracleQuery& query) : query_(query) {}
  bool Eof() const override { return query_.Eof(); }
  void Next() override { query_.Next(); }
  std::string Value(const std::string& column) const override { return query_.FieldText(column); }

 private:
  oracle::TOracleQuery& query_;
};

// Values of the field FieldForColumn finds; trimmed at both ends when asked
// (the lists are filled from trimmed values, the privilege text reads them
// untrimmed).
class TDataSetRows : public TRowSource {
 public:
  TDataSetRows(oracle::TOracleDataSet& dataSet, bool trim) : dataSet_(dataSet), trim_(trim) {}
  bool Eof() const override { return dataSet_.Eof(); }
  void Next() override { dataSet_.Next(); }
  std::string Value(const std::string& column) const override;

 private:
  oracle::TOracleDataSet& dataSet_;
  bool trim_;
};

}  // namespace skelvane

#endif
