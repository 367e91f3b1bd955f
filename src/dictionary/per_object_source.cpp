#include "dictionary/per_object_source.h"

#include <stdexcept>

namespace skelvane {
namespace {

using oracle::TOracleDataSet;
using oracle::TOracleQuery;
using oracle::TVariant;

class TQueryReader : public TRowSource {
 public:
  TQueryReader(TOracleQuery& query, bool closeAfter) : query_(query), closeAfter_(closeAfter) {}
  ~TQueryReader() override {
    if (closeAfter_) query_.Close();
  }
  bool Eof() const override { return query_.Eof(); }
  void Next() override { query_.Next(); }
  std::string Value(const std::string& column) const override { return query_.FieldText(column); }

 private:
  TOracleQuery& query_;
  bool closeAfter_;
};

class TDataSetReader : public TRowSet {
 public:
  explicit TDataSetReader(TOracleDataSet& dataSet) : dataSet_(dataSet) {}
  ~TDataSetReader() override { dataSet_.Close(); }
  bool Eof() const override { return dataSet_.Eof(); }
  void Next() override { dataSet_.Next(); }
  std::string Value(const std::string& column) const override {
    return dataSet_.FieldForColumn(column).AsString();
  }
  int RecordCount() const override { return dataSet_.RecordCount(); }
  void First() override { dataSet_.First(); }
  bool Locate(const std::string& keyColumns, const TVariant& values) override {
    return dataSet_.LocateRecord(keyColumns, values);
  }

 private:
  TOracleDataSet& dataSet_;
};

[[noreturn]] void NoSuchRead(const char* kind) {
  throw std::logic_error(std::string("no per-object ") + kind + " for this dictionary read");
}

}  // namespace

std::unique_ptr<TRowSource> TPerObjectSource::Query(TDictionaryRead read, const std::string& name) {
  using R = TDictionaryRead;
  TOracleQuery* query = nullptr;
  const char* variable = nullptr;
  bool closeAfter = false;
  switch (read) {
    case R::Tables: query = &dm_.Q_Tables; break;
    case R::TableColumns: query = &dm_.Q_TableFields; variable = "table_name"; break;
    case R::TableIndexes: query = &dm_.Q_TableIndexes; variable = "table_name"; break;
    case R::TableConstraints: query = &dm_.Q_TableConstraints; variable = "table_name"; break;
    case R::Sequences: query = &dm_.Q_Sequences; break;
    case R::Triggers: query = &dm_.Q_Triggers; break;
    case R::OneTrigger: query = &dm_.Q_Trigger2; variable = "TRIGGER_NAME"; closeAfter = true; break;
    case R::Functions: query = &dm_.Q_Functions; break;
    case R::OneFunction: query = &dm_.Q_Function2; variable = "NAME"; closeAfter = true; break;
    case R::Procedures: query = &dm_.Q_Procedures; break;
    case R::OneProcedure: query = &dm_.Q_Procedure2; variable = "NAME"; closeAfter = true; break;
    case R::Views: query = &dm_.Q_Views; break;
    case R::OneView: query = &dm_.Q_View2; variable = "view_name"; closeAfter = true; break;
    case R::Synonyms: query = &dm_.Q_Synonyms; break;
    case R::Privileges: query = &dm_.Q_Privileges; break;
    case R::DbLinks: query = &dm_.Q_DbLink; break;
    case R::IdentityColumns: query = &dm_.Q_IdentityColumns; closeAfter = true; break;
    case R::VirtualColumns: query = &dm_.Q_VirtualColumns; closeAfter = true; break;
    case R::OneTable:
    case R::AllSynonyms: NoSuchRead("query");
  }
  auto reader = std::make_unique<TQueryReader>(*query, closeAfter);
  if (variable) query->AssignVariable(variable, TVariant(name));
  query->Execute();
  return reader;
}

std::unique_ptr<TRowSet> TPerObjectSource::Open(TDictionaryRead read, const std::string& name) {
  using R = TDictionaryRead;
  TOracleDataSet* dataSet = nullptr;
  const char* variable = nullptr;
  switch (read) {
    case R::OneTable: dataSet = &dm_.oDS_Tables; variable = "table_name"; break;
    case R::TableColumns: dataSet = &dm_.oDS_TableFields; variable = "table_name"; break;
    case R::TableIndexes: dataSet = &dm_.oDS_Indexes; variable = "table_name"; break;
    case R::TableConstraints: dataSet = &dm_.oDS_Constraints; variable = "table_name"; break;
    case R::Sequences: dataSet = &dm_.oDS_Sequences; break;
    case R::AllSynonyms: dataSet = &dm_.oDS_Synonyms; break;
    case R::Privileges: dataSet = &dm_.oDS_Privileges; break;
    case R::DbLinks: dataSet = &dm_.oDS_DbLink; break;
    default: NoSuchRead("data set");
  }
  if (variable) dataSet->AssignVariable(variable, TVariant(name));
  dataSet->Open();
  return std::make_unique<TDataSetReader>(*dataSet);
}

}  // namespace skelvane
