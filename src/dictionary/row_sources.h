// Row sources over the access layer's query and data set, as Fill and
// PrivilegeText read them.
#ifndef SKELVANE_DICTIONARY_ROW_SOURCES_H
#define SKELVANE_DICTIONARY_ROW_SOURCES_H

#include <string>

#include "common/text.h"
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

// Another source's values trimmed at both ends, as the lists of a data set
// are filled.
class TTrimmedRows : public TRowSource {
 public:
  explicit TTrimmedRows(TRowSource& rows) : rows_(rows) {}
  bool Eof() const override { return rows_.Eof(); }
  void Next() override { rows_.Next(); }
  std::string Value(const std::string& column) const override { return Trimmed(rows_.Value(column)); }

 private:
  TRowSource& rows_;
};

}  // namespace skelvane

#endif
