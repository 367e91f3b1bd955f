#include "dictionary/bulk_reader.h"

#include <map>
#include <set>
#include <string>
#include <vector>

#include "dictionary/bulk_sql.h"
#include "dictionary/dm_sql.h"
#include "oracle/query.h"

namespace skelvane {
namespace {

using K = TSnapshotKind;

struct TKindStatements {
  const std::vector<std::string>* All;
  // The per-object statement of a kind with LONG columns, and its variable.
  const std::vector<std::string>* One = nullptr;
  const char* Variable = nullptr;
};

TKindStatements StatementsOf(TSnapshotKind kind) {
  switch (kind) {
    case K::Tables: return {&dm_sql::kTables};
    case K::Columns: return {&bulk_sql::kAllTableFields, &dm_sql::kTableFields, ":TABLE_NAME"};
    case K::Indexes: return {&bulk_sql::kAllTableIndexes};
    case K::Constraints:
      return {&bulk_sql::kAllTableConstraints, &dm_sql::kTableConstraints, ":TABLE_NAME"};
    case K::Sequences: return {&dm_sql::kSequences};
    case K::Triggers: return {&dm_sql::kTriggers, &dm_sql::kOneTrigger, ":TRIGGER_NAME"};
    case K::Functions: return {&dm_sql::kFunctions};
    case K::Procedures: return {&dm_sql::kProcedures};
    case K::Views: return {&dm_sql::kViews, &dm_sql::kOneView, ":VIEW_NAME"};
    case K::Synonyms: return {&dm_sql::kSynonyms};
    case K::AllSynonyms: return {&dm_sql::kSynonymsDataSet};
    case K::Privileges: return {&dm_sql::kPrivileges};
    case K::DbLinks: return {&dm_sql::kDbLinks};
    case K::IdentityColumns: return {&dm_sql::kIdentityColumns};
    case K::VirtualColumns: return {&dm_sql::kVirtualColumns};
  }
  return {&dm_sql::kTables};
}

std::vector<uint32_t> RowCells(TDictionarySnapshot& snapshot, const oracle::TOracleQuery& query) {
  std::vector<uint32_t> cells(static_cast<size_t>(query.FieldCount()));
  for (int i = 0; i < query.FieldCount(); ++i) {
    cells[static_cast<size_t>(i)] =
        query.FieldIsNull(i) ? TDictionarySnapshot::kNull : snapshot.Intern(query.FieldText(i));
  }
  return cells;
}

void DefineFrom(TDictionarySnapshot& snapshot, TSnapshotKind kind, const oracle::TOracleQuery& query,
                const oracle::TOracleSession& session) {
  std::vector<oracle::TFieldSpec> specs;
  for (int i = 0; i < query.FieldCount(); ++i)
    specs.push_back(oracle::FieldSpecFor(query, i, session.Preferences));
  snapshot.Define(kind, std::move(specs), session.Preferences.TrimStringFields);
}

// The per-object statement of one object of a kind, and its variable.
std::pair<const std::vector<std::string>*, const char*> OneObjectStatement(TSnapshotKind kind) {
  switch (kind) {
    case K::Tables: return {&dm_sql::kOneTable, ":TABLE_NAME"};
    case K::Columns: return {&dm_sql::kTableFields, ":TABLE_NAME"};
    case K::Indexes: return {&dm_sql::kTableIndexes, ":TABLE_NAME"};
    case K::Constraints: return {&dm_sql::kTableConstraints, ":TABLE_NAME"};
    case K::Triggers: return {&dm_sql::kOneTrigger, ":TRIGGER_NAME"};
    case K::Functions: return {&dm_sql::kOneFunction, ":NAME"};
    case K::Procedures: return {&dm_sql::kOneProcedure, ":NAME"};
    case K::Views: return {&dm_sql::kOneView, ":VIEW_NAME"};
    default: return {nullptr, nullptr};
  }
}

// The statements the compare's data sets run for the lists without objects.
const std::vector<std::string>& DataSetStatement(TSnapshotKind kind) {
  switch (kind) {
    case K::Privileges: return dm_sql::kPrivilegesDataSet;
    default: return *StatementsOf(kind).All;
  }
}

void LoadPerObject(TDictionarySnapshot& snapshot, TSnapshotKind kind, const std::string* key,
                   oracle::TOracleSession& session) {
  const auto [one, variable] = OneObjectStatement(kind);
  if (key == nullptr || one == nullptr) {
    LoadInBulk(snapshot, kind, session);
    return;
  }
  oracle::TOracleQuery query;
  query.Name = "object";
  query.Session = &session;
  query.SetSQL(*one);
  query.AddVariable(variable, oracle::otString);
  query.AssignVariable(variable, oracle::TVariant(*key));
  query.Execute();
  if (!snapshot.Defined(kind)) DefineFrom(snapshot, kind, query, session);
  for (; !query.Eof(); query.Next()) snapshot.Append(kind, RowCells(snapshot, query));
  query.Close();
}

// Whether a value of the row was cut, other than column `except`'s.
bool AnyTruncated(const oracle::TOracleQuery& query, int except) {
  for (int i = 0; i < query.FieldCount(); ++i)
    if (i != except && query.FieldTruncated(i)) return true;
  return false;
}

using TCutDefaults = std::map<std::pair<std::string, std::string>, uint32_t>;

// Completes the column rows whose default the arrays cut (by table and
// column name) from the query of the long defaults; the tables of those it
// cannot complete go to `cut`, to be read again per object.
void ReadLongDefaults(TDictionarySnapshot& snapshot, oracle::TOracleSession& session, int dataDefault,
                      TCutDefaults& cutDefaults, std::set<std::string>& cut) {
  oracle::TOracleQuery query;
  query.Name = "bulk";
  query.Session = &session;
  query.ReadBuffer = BulkFetchRows(K::Indexes);  // rows of about the same width
  query.LongBufferSize = kBulkLongBytes;
  query.SetSQL(bulk_sql::kLongDefaults);
  query.Execute();
  const int table = query.FieldIndex("TABLE_NAME");
  const int column = query.FieldIndex("COLUMN_NAME");
  const int value = query.FieldIndex("DATA_DEFAULT");
  for (; !query.Eof(); query.Next()) {
    const auto it = cutDefaults.find({query.FieldText(table), query.FieldText(column)});
    if (it == cutDefaults.end() || AnyTruncated(query, -1)) continue;
    snapshot.SetCell(K::Columns, it->second, static_cast<size_t>(dataDefault),
                     query.FieldIsNull(value) ? TDictionarySnapshot::kNull : snapshot.Intern(query.FieldText(value)));
    cutDefaults.erase(it);
  }
  query.Close();
  for (const auto& [name, row] : cutDefaults) cut.insert(name.first);
}

}  // namespace

int BulkFetchRows(TSnapshotKind kind) {
  switch (kind) {
    case K::Tables: return 5000;
    case K::Columns: return 2500;
    case K::Constraints: return 2000;
    case K::Indexes: return 8000;
    default: return 1000;
  }
}

void LoadInBulk(TDictionarySnapshot& snapshot, TSnapshotKind kind, oracle::TOracleSession& session) {
  const TKindStatements statements = StatementsOf(kind);
  oracle::TOracleQuery query;
  query.Name = "bulk";
  query.Session = &session;
  query.ReadBuffer = BulkFetchRows(kind);
  query.LongBufferSize = kind == K::Columns ? kBulkDefaultBytes : kBulkLongBytes;
  query.SetSQL(DataSetStatement(kind));
  query.Execute();
  DefineFrom(snapshot, kind, query, session);
  const std::string keyColumn = SnapshotKeyColumn(kind);
  const int key = keyColumn.empty() ? -1 : query.FieldIndex(keyColumn);
  const int dataDefault = kind == K::Columns ? query.FieldIndex("DATA_DEFAULT") : -1;
  const int columnName = kind == K::Columns ? query.FieldIndex("COLUMN_NAME") : -1;

  bool cutWhole = false;
  std::set<std::string> cut;
  TCutDefaults cutDefaults;
  for (; !query.Eof(); query.Next()) {
    const bool cutHere = AnyTruncated(query, dataDefault);
    const bool defaultCut = dataDefault >= 0 && query.FieldTruncated(dataDefault);
    const uint32_t row = snapshot.Append(kind, RowCells(snapshot, query));
    if (cutHere || (defaultCut && (key < 0 || columnName < 0))) {
      if (key >= 0 && statements.One) {
        cut.insert(query.FieldText(key));
      } else {
        cutWhole = true;
      }
    } else if (defaultCut) {
      cutDefaults.emplace(std::make_pair(query.FieldText(key), query.FieldText(columnName)), row);
    }
  }
  query.Close();

  if (cutWhole) {
    // Nothing names the object of the cut value: the read runs again in pieces.
    query.LongBufferSize = 0;
    query.SetSQL(DataSetStatement(kind));
    query.Execute();
    DefineFrom(snapshot, kind, query, session);
    for (; !query.Eof(); query.Next()) snapshot.Append(kind, RowCells(snapshot, query));
    query.Close();
    snapshot.MarkComplete(kind);
    return;
  }
  if (!cutDefaults.empty()) ReadLongDefaults(snapshot, session, dataDefault, cutDefaults, cut);
  snapshot.MarkComplete(kind);
  if (cut.empty()) return;
  oracle::TOracleQuery one;
  one.Name = "bulk";
  one.Session = &session;
  one.SetSQL(*statements.One);
  one.AddVariable(statements.Variable, oracle::otString);
  for (const std::string& name : cut) {
    one.AssignVariable(statements.Variable, oracle::TVariant(name));
    one.Execute();
    std::vector<std::vector<uint32_t>> rows;
    for (; !one.Eof(); one.Next()) rows.push_back(RowCells(snapshot, one));
    snapshot.ReplaceObject(kind, name, std::move(rows));
  }
  one.Close();
}

std::unique_ptr<TDictionarySnapshot> MakeBulkSnapshot(oracle::TOracleSession& session) {
  return std::make_unique<TDictionarySnapshot>(
      [&session](TDictionarySnapshot& snapshot, TSnapshotKind kind, const std::string*) {
        LoadInBulk(snapshot, kind, session);
      });
}

std::unique_ptr<TDictionarySnapshot> MakePerObjectSnapshot(oracle::TOracleSession& session) {
  return std::make_unique<TDictionarySnapshot>(
      [&session](TDictionarySnapshot& snapshot, TSnapshotKind kind, const std::string* key) {
        LoadPerObject(snapshot, kind, key, session);
      });
}

}  // namespace skelvane
