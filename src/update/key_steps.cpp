#include "update/key_steps.h"

#include <string>

#include "common/text.h"
#include "dictionary/grouped_lists.h"
#include "dictionary/row_sources.h"
#include "update/statement_effect.h"
#include "sdb/document_vocabulary.h"
#include "sdb/entry.h"

namespace skelvane {
namespace {

const TSdbPath kMemberPath{std::string(1, sdb::kNodeIndex)};

}  // namespace

bool IsSystemConstraintName(const std::string& name) {
  static const std::string kPrefix = "SYS_C";
  if (name.size() <= kPrefix.size() || name.compare(0, kPrefix.size(), kPrefix) != 0) return false;
  for (size_t i = kPrefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return false;
  }
  return true;
}

namespace {

// `"COL" IS NOT NULL`, the condition Oracle writes for a NOT NULL column.
bool IsNotNullCondition(const std::string& condition) {
  static const std::string kTail = "\" IS NOT NULL";
  if (condition.size() <= kTail.size() + 1 || condition[0] != '"') return false;
  const size_t close = condition.find('"', 1);
  return close == condition.size() - kTail.size() &&
         condition.compare(close, kTail.size(), kTail) == 0;
}

// A NOT NULL check that Oracle named itself is the same constraint in every
// database whatever its name, so it is found by its condition.
bool HasSameNotNullCheck(const TConstraintList& live, const std::string& type,
                         const std::string& name, const std::string& condition) {
  if (type != "C" || !IsSystemConstraintName(name) || !IsNotNullCondition(Trimmed(condition))) return false;
  for (int i = 0; i < live.Count(); ++i) {
    const TConstraintData& row = live.Item(i);
    if (row.ConstraintType == "C" && row.SearchCondition == Trimmed(condition)) return true;
  }
  return false;
}

}  // namespace

void CheckIndexes(TCompareContext& c, const std::string& table, const TTreeResult& list,
                  TRowSet& indexes) {
  // Values trimmed, as the dictionary lists of a data set give them.
  TTrimmedRows indexRows(indexes);
  TIndexList live;
  live.Fill(indexRows);
  TTreeResult entry;
  for (int i = 0; SelectInEntry(list, sdb::kGroupIndexes, i, kMemberPath, entry); ++i) {
    const std::string name = GetEntryValue(entry, sdb::kKeyName);
    const std::string uniqueness = GetEntryValue(entry, sdb::kKeyUniqueness);
    const std::string columns = GetEntryValue(entry, sdb::kKeyColumns);
    const std::string prefix = uniqueness == "UNIQUE" ? uniqueness : std::string();
    const std::string create = "CREATE " + prefix + " INDEX " + name + " ON " + table + "(" + columns + ")";
    const std::string described = name + " " + uniqueness + " " + columns;
    const TIndexData* found = live.FindByName(name);
    const TStatementEffect created{TEffectKind::CreateIndex, table, name, uniqueness, columns};
    if (found == nullptr) {
      c.Execute(create, "\t\tNot found, Add " + described, created);
    } else if (uniqueness != found->Uniqueness || columns != found->Columns) {
      // The create runs whatever became of the drop.
      c.Execute("DROP INDEX " + name, "\t\tDrop " + name, {TEffectKind::DropIndex, table, name});
      c.Execute(create, "\t\tCorrect " + described, created);
    }
    c.Log("\t\t" + described);
  }
  c.Log("\tcheck index");
}

void CheckConstraints(TCompareContext& c, const std::string& table, const TTreeResult& list,
                      TRowSet& constraints, int pass, TRowSet& indexes) {
  TTrimmedRows indexRows(indexes), constraintRows(constraints);
  TIndexList liveIndexes;
  liveIndexes.Fill(indexRows);
  TConstraintList live;
  live.Fill(constraintRows);
  TTreeResult entry;
  for (int i = 0; SelectInEntry(list, sdb::kGroupConstraints, i, kMemberPath, entry); ++i) {
    const std::string name = GetEntryValue(entry, sdb::kKeyName);
    const std::string type = GetEntryValue(entry, sdb::kKeyType);
    const std::string condition = GetEntryValue(entry, sdb::kKeyExpr);
    if (live.FindByName(name) != nullptr || HasSameNotNullCheck(live, type, name, condition)) {
      c.Log("\t\tCheck constraint " + name);
      continue;
    }
    std::string statement = "ALTER TABLE " + table + " ADD ( CONSTRAINT " + name;
    TStatementEffect effect{TEffectKind::AddConstraint, table, name, type};
    if (type == "P" || type == "U") {
      // A unique key is made from its index like a primary key; without its
      // clause the statement could never succeed.
      if (const TIndexData* index = liveIndexes.FindByName(GetEntryValue(entry, sdb::kKeyIndex))) {
        statement += (type == "P" ? " PRIMARY KEY (" : " UNIQUE (") + index->Columns + ")";
        effect.IndexName = index->IndexName;
        effect.Text = index->Columns;
      }
    } else if (type == "C") {
      statement += " CHECK (" + condition + ")";
      effect.Text = condition;
    } else if (type == "R") {
      statement += " FOREIGN KEY " + GetEntryValue(entry, sdb::kKeyRef);
      effect.Reference = GetEntryValue(entry, sdb::kKeyRef);
    }
    // A rule switched off where the document was written stays off here.
    if (GetEntryValue(entry, sdb::kKeyStatus) == sdb::kStatusDisabled) {
      statement += " DISABLE";
      effect.Disabled = true;
    }
    statement += ")";
    // Foreign keys wait for the second pass, when every key they refer to exists.
    if ((type == "R") == (pass == 2)) c.Execute(statement, "\t\tNot found constraint " + name, effect);
  }
}

}  // namespace skelvane
