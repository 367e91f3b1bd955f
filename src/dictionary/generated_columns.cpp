#include "dictionary/generated_columns.h"

#include <memory>

#include "common/text.h"
#include "oracle/oracle_error.h"

namespace skelvane {
namespace {

constexpr const char* kExpression = "%s";

// ORA-00942 (no such view) and ORA-00904 (no such column) mean the server
// does not know the feature; anything else is a real failure.
bool Unsupported(const oracle::EOracleError& e) { return e.ErrorCode() == 942 || e.ErrorCode() == 904; }

template <class TEach>
void ReadAll(TDictionarySource& source, TDictionaryRead read, TEach each) {
  std::unique_ptr<TRowSource> rows;
  try {
    rows = source.Query(read);
  } catch (const oracle::EOracleError& e) {
    if (!Unsupported(e)) throw;
    return;
  }
  for (; !rows->Eof(); rows->Next()) each(*rows);
}

}  // namespace

std::string IdentityClause(const std::string& generationType, const std::string& defaultOnNull) {
  std::string clause = "GENERATED " + generationType;
  if (generationType == "BY DEFAULT" && defaultOnNull == "YES") clause += " ON NULL";
  return clause + " AS IDENTITY";
}

void TGeneratedColumns::Read(TDictionarySource& source) {
  columns_.clear();
  ReadAll(source, TDictionaryRead::IdentityColumns, [&](const TRowSource& row) {
    Add(row.Value("table_name"), row.Value("column_name"),
        IdentityClause(Trimmed(row.Value("generation_type")), Trimmed(row.Value("default_on_null"))));
  });
  ReadAll(source, TDictionaryRead::VirtualColumns, [&](const TRowSource& row) {
    Add(row.Value("table_name"), row.Value("column_name"), std::string("GENERATED ALWAYS AS (") + kExpression + ") VIRTUAL");
  });
}

void TGeneratedColumns::Add(const std::string& table, const std::string& column, std::string clause) {
  columns_[{table, column}] = std::move(clause);
}

std::string TGeneratedColumns::Clause(const TRowSource& row) const {
  auto it = columns_.find({row.Value("table_name"), row.Value("column_name")});
  if (it == columns_.end()) return {};
  std::string clause = it->second;
  if (const size_t at = clause.find(kExpression); at != std::string::npos)
    clause.replace(at, 2, Trimmed(row.Value("data_default")));
  return clause;
}

bool IsIotSegment(const std::string& iotType) {
  return iotType == "IOT_OVERFLOW" || iotType == "IOT_MAPPING";
}

bool IsIdentitySequenceName(const std::string& name) {
  static const std::string kPrefix = "ISEQ$$_";
  if (name.size() <= kPrefix.size() || name.compare(0, kPrefix.size(), kPrefix) != 0) return false;
  for (size_t i = kPrefix.size(); i < name.size(); ++i)
    if (name[i] < '0' || name[i] > '9') return false;
  return true;
}

}  // namespace skelvane
