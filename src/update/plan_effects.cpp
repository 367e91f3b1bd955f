#include "update/plan_effects.h"

#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "dictionary/grouped_lists.h"

namespace skelvane {
namespace {

using K = TSnapshotKind;
using TValues = std::vector<std::pair<std::string, std::string>>;
using TRowReader = std::function<std::string(const std::string&)>;

// The names of a comma-separated list, as stored.
std::vector<std::string> StoredNames(const std::string& list) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    const std::string name = Trimmed(std::string_view(list).substr(start, comma - start));
    if (!name.empty()) names.push_back(StoredName(name));
    start = comma + 1;
  }
  return names;
}

auto Named(const char* column, const std::string& value) {
  return [column, value](const TRowReader& row) { return row(column) == value; };
}

auto Any() {
  return [](const TRowReader&) { return true; };
}

// Oracle names an unnamed NOT NULL check of a column itself; any name will
// do, the compare finds such checks by their condition.
std::string NotNullCheckName() {
  static int made = 0;
  return "SYS_C" + std::to_string(9000000 + ++made);
}

void AddColumns(TDictionarySnapshot& snapshot, const std::string& table,
                const std::vector<TFieldInfo>& columns, size_t firstId) {
  size_t id = firstId;
  for (const TFieldInfo& info : columns) {
    const std::string column = StoredName(info.Name);
    snapshot.Insert(K::Columns, {{"TABLE_NAME", table},
                                 {"COLUMN_NAME", column},
                                 {"COLUMN_ID", std::to_string(id++)},
                                 {"HIDDEN_COLUMN", "NO"},
                                 {"NULLABLE", info.Null == "N" ? "N" : "Y"},
                                 {"DATA_DEFAULT", info.Default}});
    if (info.Null == "N") {
      snapshot.Insert(K::Constraints, {{"TABLE_NAME", table},
                                       {"CONSTRAINT_NAME", info.NotNullName.empty() ? NotNullCheckName()
                                                                                     : StoredName(info.NotNullName)},
                                       {"CONSTRAINT_TYPE", "C"},
                                       {"SEARCH_CONDITION", "\"" + column + "\" IS NOT NULL"},
                                       {"STATUS", "ENABLED"},
                                       {"F_COL_NAME", column},
                                       {"F_POS", "1"}});
    }
  }
}

size_t ColumnCount(TDictionarySnapshot& snapshot, const std::string& table) {
  size_t count = 0;
  for (auto rows = snapshot.Query(TDictionaryRead::TableColumns, table); !rows->Eof(); rows->Next()) ++count;
  return count;
}

// The privilege flags of a grant row after granting (`value` "Y") or
// revoking ("N") the keywords.
TValues PrivilegeFlags(const std::string& keywords, const std::string& value) {
  TValues flags;
  for (const std::string& keyword : StoredNames(keywords)) {
    for (const auto& [column, word] : PrivilegeColumns)
      if (SameText(keyword, word)) flags.push_back({column, value});
  }
  return flags;
}

void Grant(TDictionarySnapshot& snapshot, const TStatementEffect& e, bool grant) {
  const std::string object = StoredName(e.Object);
  const std::string grantee = StoredName(e.Name);
  auto match = [&](const TRowReader& row) { return row("TABLE_NAME") == object && row("GRANTEE") == grantee; };
  bool found = false;
  snapshot.Remove(K::Privileges, {}, [&](const TRowReader& row) {
    found = found || match(row);
    return false;
  });
  const TValues flags = PrivilegeFlags(e.Text, grant ? "Y" : "N");
  if (found) {
    snapshot.Update(K::Privileges, {}, match, flags);
    snapshot.Remove(K::Privileges, {}, [&](const TRowReader& row) {
      if (!match(row)) return false;
      for (const auto& [column, word] : PrivilegeColumns)
        if (row(column) != "N") return false;
      return true;
    });
  } else if (grant) {
    TValues values{{"TABLE_NAME", object}, {"GRANTEE", grantee}};
    for (const auto& [column, word] : PrivilegeColumns) values.push_back({column, "N"});
    for (const auto& flag : flags)
      for (auto& value : values)
        if (value.first == flag.first) value.second = "Y";
    snapshot.Insert(K::Privileges, values);
  }
}

}  // namespace

std::string StoredName(const std::string& name) {
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') return name.substr(1, name.size() - 2);
  return AnsiUpperCase(name);
}

void ApplyEffect(TDictionarySnapshot& snapshot, const TStatementEffect& e) {
  switch (e.Kind) {
    case TEffectKind::None: return;
    case TEffectKind::CreateTable: {
      const std::string table = StoredName(e.Object);
      snapshot.Insert(K::Tables, {{"TABLE_NAME", table}});
      AddColumns(snapshot, table, e.Columns, 1);
      return;
    }
    case TEffectKind::AddColumn: {
      const std::string table = StoredName(e.Object);
      AddColumns(snapshot, table, e.Columns, ColumnCount(snapshot, table) + 1);
      return;
    }
    case TEffectKind::CommentTable: {
      const std::string object = StoredName(e.Object);
      snapshot.Update(K::Tables, object, Any(), {{"COMMENTS", e.Text}});
      snapshot.Update(K::Views, object, Any(), {{"COMMENTS", e.Text}});
      return;
    }
    case TEffectKind::CommentColumn:
      snapshot.Update(K::Columns, StoredName(e.Object), Named("COLUMN_NAME", StoredName(e.Name)),
                      {{"COMMENTS", e.Text}});
      return;
    case TEffectKind::CreateIndex: {
      const std::string table = StoredName(e.Object);
      const std::string index = StoredName(e.Name);
      for (const std::string& column : StoredNames(e.Text)) {
        snapshot.Insert(K::Indexes, {{"INDEX_NAME", index},
                                     {"TABLE_NAME", table},
                                     {"UNIQUENESS", e.Type == "UNIQUE" ? "UNIQUE" : "NONUNIQUE"},
                                     {"COLUMN_NAME", column}});
      }
      return;
    }
    case TEffectKind::DropIndex:
      snapshot.Remove(K::Indexes, StoredName(e.Object), Named("INDEX_NAME", StoredName(e.Name)));
      return;
    case TEffectKind::AddConstraint: {
      const std::string table = StoredName(e.Object);
      TValues row{{"TABLE_NAME", table},
                  {"CONSTRAINT_NAME", StoredName(e.Name)},
                  {"CONSTRAINT_TYPE", e.Type},
                  {"STATUS", e.Disabled ? "DISABLED" : "ENABLED"},
                  {"F_POS", "1"}};
      if (e.Type == "C") row.push_back({"SEARCH_CONDITION", e.Text});
      if (!e.IndexName.empty()) row.push_back({"INDEX_NAME", StoredName(e.IndexName)});
      const std::vector<std::string> columns = StoredNames(e.Text);
      if (e.Type != "C" && !columns.empty()) {
        int position = 1;
        for (const std::string& column : columns) {
          TValues each = row;
          each.push_back({"F_COL_NAME", column});
          each[4].second = std::to_string(position++);
          snapshot.Insert(K::Constraints, each);
        }
      } else {
        snapshot.Insert(K::Constraints, row);
      }
      return;
    }
    case TEffectKind::CreateSequence:
      snapshot.Insert(K::Sequences, {{"SEQUENCE_NAME", StoredName(e.Name)}});
      return;
    case TEffectKind::ReplaceTrigger: {
      const std::string name = StoredName(e.Name);
      snapshot.Remove(K::Triggers, name, Any());
      snapshot.Insert(K::Triggers, {{"TRIGGER_NAME", name}, {"DESCRIPTION", e.Text}});
      return;
    }
    case TEffectKind::DisableTrigger:
      snapshot.Update(K::Triggers, StoredName(e.Name), Any(), {{"STATUS", "DISABLED"}});
      return;
    case TEffectKind::ReplaceFunction:
    case TEffectKind::ReplaceProcedure: {
      const K kind = e.Kind == TEffectKind::ReplaceFunction ? K::Functions : K::Procedures;
      const std::string name = StoredName(e.Name);
      snapshot.Remove(kind, name, Any());
      snapshot.Insert(kind, {{"NAME", name}, {"LINE", "1"}, {"TEXT", e.Text}});
      return;
    }
    case TEffectKind::ReplaceView: {
      const std::string view = StoredName(e.Name);
      bool exists = false;
      snapshot.Remove(K::Views, view, [&](const TRowReader&) {
        exists = true;
        return false;
      });
      if (exists) {
        snapshot.Update(K::Views, view, Any(), {{"TEXT", e.Text}});
      } else {
        snapshot.Insert(K::Views, {{"VIEW_NAME", view}, {"TEXT", e.Text}});
      }
      // Comments stay with the columns that keep their names.
      std::vector<std::pair<std::string, std::string>> kept;
      snapshot.Remove(K::Columns, view, [&](const TRowReader& row) {
        kept.push_back({row("COLUMN_NAME"), row("COMMENTS")});
        return true;
      });
      size_t id = 1;
      for (const TFieldInfo& info : e.Columns) {
        const std::string column = StoredName(info.Name);
        std::string comment;
        for (const auto& [name, text] : kept)
          if (name == column) comment = text;
        snapshot.Insert(K::Columns, {{"TABLE_NAME", view},
                                     {"COLUMN_NAME", column},
                                     {"COLUMN_ID", std::to_string(id++)},
                                     {"HIDDEN_COLUMN", "NO"},
                                     {"COMMENTS", comment}});
      }
      return;
    }
    case TEffectKind::Grant: Grant(snapshot, e, true); return;
    case TEffectKind::Revoke: Grant(snapshot, e, false); return;
    case TEffectKind::CreateSynonym:
      snapshot.Insert(K::AllSynonyms, {{"S_NAME", StoredName(e.Name)},
                                       {"O_NAME", StoredName(e.Object)},
                                       {"GRANTEE", e.Type == "PUBLIC" ? "PUBLIC" : ""}});
      return;
    case TEffectKind::DropDbLink:
      snapshot.Remove(K::DbLinks, {}, Named("DB_LINK", e.Name));
      return;
    case TEffectKind::CreateDbLink: {
      const TFieldInfo& link = e.Columns.front();
      snapshot.Insert(K::DbLinks, {{"DB_LINK", e.Name}, {"USERNAME", link.Name}, {"HOST", link.Default}});
      return;
    }
  }
}

}  // namespace skelvane
