#include "update/document_snapshot.h"

#include <utility>
#include <vector>

#include "common/text.h"
#include "dictionary/column_type_text.h"
#include "dictionary/grouped_lists.h"
#include "sdb/document_vocabulary.h"
#include "sdb/entry.h"
#include "sdb/sdb_parser.h"
#include "sdb/tree_result.h"
#include "update/table_steps.h"

namespace skelvane {
namespace {

using K = TSnapshotKind;
using TValues = std::vector<std::pair<std::string, std::string>>;

// Columns of each kind: every one the compare reads. LONG columns keep
// their text untrimmed, as the data sets do.
void DefineKinds(TDictionarySnapshot& snapshot) {
  auto define = [&](K kind, std::vector<std::string> names, std::vector<std::string> longs = {}) {
    std::vector<oracle::TFieldSpec> specs;
    for (std::string& name : names) {
      oracle::TFieldSpec spec;
      spec.Name = name;
      for (const std::string& l : longs)
        if (l == name) {
          spec.Kind = oracle::TFieldKind::Memo;
          spec.FromLong = true;
        }
      specs.push_back(std::move(spec));
    }
    snapshot.Define(kind, std::move(specs), true);
    snapshot.MarkComplete(kind);
  };
  define(K::Tables, {"TABLE_NAME", "COMMENTS"});
  define(K::Columns,
         {"TABLE_NAME", "COLUMN_NAME", "DATA_TYPE", "DATA_LENGTH", "DATA_PRECISION", "DATA_SCALE", "NULLABLE",
          "COLUMN_ID", "DATA_DEFAULT", "CHAR_LENGTH", "CHAR_USED", "HIDDEN_COLUMN", "COMMENTS"},
         {"DATA_DEFAULT"});
  define(K::Indexes, {"INDEX_NAME", "TABLE_NAME", "UNIQUENESS", "COLUMN_NAME"});
  define(K::Constraints,
         {"CONSTRAINT_NAME", "CONSTRAINT_TYPE", "TABLE_NAME", "SEARCH_CONDITION", "STATUS", "INDEX_NAME",
          "F_COL_NAME", "F_POS", "TO_TABLE_NAME", "TO_COL_NAME", "TO_POS", "DELETE_RULE", "DEFERRABLE",
          "DEFERRED"},
         {"SEARCH_CONDITION"});
  define(K::Sequences, {"SEQUENCE_NAME", "MIN_VALUE", "MAX_VALUE", "INCREMENT_BY", "CYCLE_FLAG", "ORDER_FLAG",
                        "CACHE_SIZE", "LAST_NUMBER"});
  define(K::Triggers, {"TRIGGER_NAME", "DESCRIPTION", "TRIGGER_BODY", "STATUS"}, {"TRIGGER_BODY"});
  define(K::Functions, {"NAME", "TYPE", "LINE", "TEXT"});
  define(K::Procedures, {"NAME", "TYPE", "LINE", "TEXT"});
  define(K::Views, {"VIEW_NAME", "TEXT", "COMMENTS"}, {"TEXT"});
  define(K::Synonyms, {"S_NAME", "OWNER", "O_NAME", "NODE", "GRANTEE"});
  define(K::AllSynonyms, {"S_NAME", "OWNER", "O_NAME", "NODE", "GRANTEE"});
  std::vector<std::string> privileges{"GRANTEE", "OWNER", "TABLE_NAME", "GRANTOR"};
  for (const auto& [column, keyword] : PrivilegeColumns) privileges.push_back(AnsiUpperCase(column));
  define(K::Privileges, privileges);
  define(K::DbLinks, {"DB_LINK", "USERNAME", "PASSWORD", "HOST"});
  // A document's generated column carries its clause in the type text, which
  // the compare reads back whole: no clause needs adding.
  define(K::IdentityColumns, {"TABLE_NAME", "COLUMN_NAME", "GENERATION_TYPE", "DEFAULT_ON_NULL"});
  define(K::VirtualColumns, {"TABLE_NAME", "COLUMN_NAME"});
}

template <class TVisit>
void Each(const TSDB_Parser& document, const char* section, char node, TVisit visit) {
  TTreeResult result;
  const TSdbPath path{section, std::string(1, node)};
  for (int index = 0; document.Select(index, path, result); ++index) visit(result);
}

// The first "(" ... ")" of a type text split at its comma.
bool SplitArguments(const std::string& text, std::string& name, std::string& first, std::string& second) {
  const size_t open = text.find('(');
  if (open == std::string::npos || text.back() != ')') return false;
  name = text.substr(0, open);
  std::string inside = text.substr(open + 1, text.size() - open - 2);
  const size_t comma = inside.find(',');
  first = Trimmed(inside.substr(0, comma));
  second = comma == std::string::npos ? std::string() : Trimmed(inside.substr(comma + 1));
  return true;
}

void AddTable(TDictionarySnapshot& s, const TTreeResult& table, const std::string& owner) {
  const std::string name = GetEntryValue(table, sdb::kKeyName);
  s.Insert(K::Tables, {{"TABLE_NAME", name}, {"COMMENTS", GetEntryValue(table, sdb::kKeyComments)}});
  TFieldInfo info;
  for (int i = 0; ReadFieldInfo(i, table, info); ++i) {
    const TTypeColumns type = TypeColumnsOf(info.Type);
    s.Insert(K::Columns, {{"TABLE_NAME", name},
                          {"COLUMN_NAME", info.Name},
                          {"DATA_TYPE", type.DataType},
                          {"DATA_LENGTH", type.Length},
                          {"DATA_PRECISION", type.Precision},
                          {"DATA_SCALE", type.Scale},
                          {"NULLABLE", info.Null},
                          {"COLUMN_ID", std::to_string(i + 1)},
                          {"DATA_DEFAULT", info.Default},
                          {"CHAR_LENGTH", type.CharLength},
                          {"CHAR_USED", type.CharUsed},
                          {"HIDDEN_COLUMN", "NO"},
                          {"COMMENTS", info.Comments}});
  }
  TTreeResult entry;
  const TSdbPath member{std::string(1, sdb::kNodeIndex)};
  for (int i = 0; SelectInEntry(table, sdb::kGroupIndexes, i, member, entry); ++i) {
    const std::string index = GetEntryValue(entry, sdb::kKeyName);
    const std::string columns = GetEntryValue(entry, sdb::kKeyColumns);
    size_t start = 0;
    while (start <= columns.size()) {
      size_t comma = columns.find(',', start);
      if (comma == std::string::npos) comma = columns.size();
      s.Insert(K::Indexes, {{"INDEX_NAME", index},
                            {"TABLE_NAME", name},
                            {"UNIQUENESS", GetEntryValue(entry, sdb::kKeyUniqueness)},
                            {"COLUMN_NAME", columns.substr(start, comma - start)}});
      start = comma + 1;
    }
  }
  for (int i = 0; SelectInEntry(table, sdb::kGroupConstraints, i, member, entry); ++i) {
    s.Insert(K::Constraints, {{"TABLE_NAME", name},
                              {"CONSTRAINT_NAME", GetEntryValue(entry, sdb::kKeyName)},
                              {"CONSTRAINT_TYPE", GetEntryValue(entry, sdb::kKeyType)},
                              {"SEARCH_CONDITION", GetEntryValue(entry, sdb::kKeyExpr)},
                              {"STATUS", GetEntryValue(entry, sdb::kKeyStatus)},
                              {"INDEX_NAME", GetEntryValue(entry, sdb::kKeyIndex)},
                              {"F_POS", "1"}});
  }
  (void)owner;
}

}  // namespace

TTypeColumns TypeColumnsOf(const std::string& typeText) {
  TTypeColumns t;
  std::string name, first, second;
  if (!SplitArguments(typeText, name, first, second)) {
    t.DataType = typeText;
    return t;
  }
  t.DataType = name;
  if (name == "NUMBER") {
    t.Precision = first;
    t.Scale = second;
  } else if (name == "NCHAR" || name == "NVARCHAR2") {
    t.CharLength = first;
  } else if (name.find("CHAR") != std::string::npos) {
    const size_t space = first.find(' ');
    const std::string semantics = space == std::string::npos ? std::string() : first.substr(space + 1);
    const std::string length = first.substr(0, space);
    if (semantics == "CHAR") {
      t.CharUsed = "C";
      t.CharLength = length;
    } else {
      t.CharUsed = semantics == "BYTE" ? "B" : "";
      t.Length = length;
    }
  } else if (name == "RAW") {
    t.Length = first;
  }
  // Types the rendering keeps as they are (DATE, TIMESTAMP(6), FLOAT(126)...).
  const TColumnTypeFields fields{t.DataType, t.Precision, t.Scale, t.Length, t.CharLength, t.CharUsed};
  if (ColumnTypeText(fields) != typeText && LegacyColumnTypeText(fields) != typeText) {
    t = TTypeColumns();
    t.DataType = typeText;
  }
  return t;
}

TDocumentSnapshot SnapshotOfDocument(const std::string& fileName) {
  TDocumentSnapshot result;
  TSDB_Parser document(fileName);
  document.Parse();
  if (!document.FileOk()) return result;
  result.Readable = true;
  result.Snapshot = std::make_unique<TDictionarySnapshot>();
  TDictionarySnapshot& s = *result.Snapshot;
  DefineKinds(s);
  {
    TTreeResult header;
    document.Select(0, {sdb::kSectionShema}, header);
    result.Owner = GetEntryValue(header, sdb::kKeyName);
  }
  Each(document, sdb::kSectionTables, sdb::kNodeTable, [&](const TTreeResult& t) { AddTable(s, t, result.Owner); });
  Each(document, sdb::kSectionSequences, sdb::kNodeSequence, [&](const TTreeResult& q) {
    s.Insert(K::Sequences, {{"SEQUENCE_NAME", GetEntryValue(q, sdb::kKeyName)},
                            {"MIN_VALUE", GetEntryValue(q, sdb::kKeyMinValue)},
                            {"MAX_VALUE", GetEntryValue(q, sdb::kKeyMaxValue)},
                            {"INCREMENT_BY", GetEntryValue(q, sdb::kKeyIncrementBy)},
                            {"CYCLE_FLAG", GetEntryValue(q, sdb::kKeyCycle)},
                            {"ORDER_FLAG", GetEntryValue(q, sdb::kKeyOrder)},
                            {"CACHE_SIZE", GetEntryValue(q, sdb::kKeyCache)},
                            {"LAST_NUMBER", GetEntryValue(q, sdb::kKeyLastNumber)}});
  });
  Each(document, sdb::kSectionTriggers, sdb::kNodeTrigger, [&](const TTreeResult& t) {
    // The document keeps description and body joined; the compare joins them again.
    // Only a switched-off trigger carries its status.
    const bool disabled = GetEntryValue(t, sdb::kKeyStatus) == sdb::kStatusDisabled;
    s.Insert(K::Triggers, {{"TRIGGER_NAME", GetEntryValue(t, sdb::kKeyName)},
                           {"DESCRIPTION", GetEntryValue(t, sdb::kKeyTriggerBody)},
                           {"STATUS", disabled ? "DISABLED" : "ENABLED"}});
  });
  auto routines = [&](const char* section, char node, K kind, const char* type) {
    Each(document, section, node, [&](const TTreeResult& r) {
      s.Insert(kind, {{"NAME", GetEntryValue(r, sdb::kKeyName)},
                      {"TYPE", type},
                      {"LINE", "1"},
                      {"TEXT", GetEntryValue(r, sdb::kKeyText)}});
    });
  };
  routines(sdb::kSectionFunctions, sdb::kNodeFunction, K::Functions, "FUNCTION");
  routines(sdb::kSectionProcedures, sdb::kNodeProcedure, K::Procedures, "PROCEDURE");
  Each(document, sdb::kSectionViews, sdb::kNodeView, [&](const TTreeResult& v) {
    const std::string name = GetEntryValue(v, sdb::kKeyName);
    s.Insert(K::Views, {{"VIEW_NAME", name},
                        {"TEXT", GetEntryValue(v, sdb::kKeyText)},
                        {"COMMENTS", GetEntryValue(v, sdb::kKeyComments)}});
    TFieldInfo info;
    for (int i = 0; ReadFieldInfo(i, v, info); ++i) {
      s.Insert(K::Columns, {{"TABLE_NAME", name},
                            {"COLUMN_NAME", info.Name},
                            {"COLUMN_ID", std::to_string(i + 1)},
                            {"HIDDEN_COLUMN", "NO"},
                            {"COMMENTS", info.Comments}});
    }
  });
  Each(document, sdb::kSectionSynonyms, sdb::kNodeSynonym, [&](const TTreeResult& y) {
    const TValues row{{"S_NAME", GetEntryValue(y, sdb::kKeyName)},
                      {"OWNER", result.Owner},
                      {"O_NAME", GetEntryValue(y, sdb::kKeyObject)},
                      {"GRANTEE", GetEntryValue(y, sdb::kKeyGrantee)}};
    s.Insert(K::Synonyms, row);
    s.Insert(K::AllSynonyms, row);
  });
  Each(document, sdb::kSectionPrivileges, sdb::kNodePrivilege, [&](const TTreeResult& p) {
    TValues row{{"TABLE_NAME", GetEntryValue(p, sdb::kKeyObject)},
                {"GRANTEE", GetEntryValue(p, sdb::kKeyGrantee)},
                {"OWNER", result.Owner},
                {"GRANTOR", result.Owner}};
    const std::string held = GetEntryValue(p, sdb::kKeyPriv);
    for (const auto& [column, keyword] : PrivilegeColumns) {
      bool granted = false;
      size_t start = 0;
      while (start <= held.size()) {
        size_t comma = held.find(',', start);
        if (comma == std::string::npos) comma = held.size();
        granted = granted || SameText(Trimmed(held.substr(start, comma - start)), keyword);
        start = comma + 1;
      }
      row.push_back({AnsiUpperCase(column), granted ? "Y" : "N"});
    }
    s.Insert(K::Privileges, row);
  });
  Each(document, sdb::kSectionDbLinks, sdb::kNodeDbLink, [&](const TTreeResult& d) {
    s.Insert(K::DbLinks, {{"DB_LINK", GetEntryValue(d, sdb::kKeyDbLink)},
                          {"USERNAME", GetEntryValue(d, sdb::kKeyUsername)},
                          {"PASSWORD", GetEntryValue(d, sdb::kKeyPassword)},
                          {"HOST", GetEntryValue(d, sdb::kKeyHost)}});
  });
  return result;
}

}  // namespace skelvane
