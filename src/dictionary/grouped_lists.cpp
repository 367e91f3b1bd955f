#include "dictionary/grouped_lists.h"

#include <stdexcept>

namespace skelvane {

void ThrowListIndexError(int index) {
  throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

namespace {

// Every entry adds exactly one item, even an empty one, after the first.
void AddToColumnList(std::string& list, const std::string& value) {
  if (!list.empty()) list += ',';
  list += value;
}

std::string ComposeReference(const std::string& fromColumns, const std::string& toTable,
                             const std::string& toColumns, const std::string& rules) {
  return "(" + fromColumns + ") REFERENCES " + toTable + " (" + toColumns + ")" + rules;
}

// What a foreign key does on delete and when it is checked, as the clauses
// that make it so; nothing for the defaults (NO ACTION, NOT DEFERRABLE).
std::string ReferenceRules(const TRowSource& row) {
  std::string rules;
  const std::string deleteRule = Trimmed(row.Value("delete_rule"));
  if (deleteRule == "CASCADE" || deleteRule == "SET NULL") rules += " ON DELETE " + deleteRule;
  if (Trimmed(row.Value("deferrable")) == "DEFERRABLE") {
    rules += " DEFERRABLE";
    if (Trimmed(row.Value("deferred")) == "DEFERRED") rules += " INITIALLY DEFERRED";
  }
  return rules;
}

// A row pairing a foreign key column with a referenced column at another
// position. Positions are compared as trimmed text: a query hands them out
// untrimmed, a data set trimmed.
bool PairsOtherPositions(const TRowSource& row) {
  const std::string toPosition = Trimmed(row.Value("to_pos"));
  return !toPosition.empty() && toPosition != Trimmed(row.Value("f_pos"));
}

}  // namespace

// The three Fill loops share one shape: a new record starts whenever the key
// differs from the previous row's (case-sensitive); the accumulated members
// are stored when the group closes. Rows with an empty key before the first
// keyed row belong to no record and are dropped.

void TIndexList::Fill(TRowSource& rows) {
  std::string group, columns;
  TIndexData* current = nullptr;
  while (!rows.Eof()) {
    std::string key = rows.Value("index_name");
    std::string uniqueness = rows.Value("uniqueness");
    if (key != group) {
      if (!group.empty()) current->Columns = columns;
      current = &Append();
      current->IndexName = key;
      current->Uniqueness = std::move(uniqueness);
      group = std::move(key);
      columns.clear();
    }
    AddToColumnList(columns, rows.Value("column_name"));
    rows.Next();
  }
  if (!columns.empty() && current) current->Columns = columns;
}

void TConstraintList::Fill(TRowSource& rows) {
  std::string group, fromColumns, toColumns, toTable, rules;
  TConstraintData* current = nullptr;
  for (; !rows.Eof(); rows.Next()) {
    if (PairsOtherPositions(rows)) continue;
    std::string key = rows.Value("constraint_name");
    std::string type = rows.Value("constraint_type");
    std::string indexName = rows.Value("index_name");
    std::string condition = rows.Value("search_condition");
    std::string status = rows.Value("status");
    if (key != group) {
      if (!group.empty()) current->Reference = ComposeReference(fromColumns, toTable, toColumns, rules);
      current = &Append();
      current->ConstraintName = key;
      current->ConstraintType = std::move(type);
      current->IndexName = std::move(indexName);
      current->SearchCondition = std::move(condition);
      current->Status = std::move(status);
      group = std::move(key);
      fromColumns.clear();
      toColumns.clear();
      rules = current->ConstraintType == "R" ? ReferenceRules(rows) : std::string();
    }
    AddToColumnList(fromColumns, rows.Value("f_col_name"));
    AddToColumnList(toColumns, rows.Value("to_col_name"));
    toTable = rows.Value("to_table_name");
  }
  if (!fromColumns.empty() && current)
    current->Reference = ComposeReference(fromColumns, toTable, toColumns, rules);
}

void TFuncList::Fill(TRowSource& rows) {
  std::string group, text;
  TFuncData* current = nullptr;
  while (!rows.Eof()) {
    std::string key = rows.Value("name");
    if (key != group) {
      if (!group.empty()) current->Text = text;
      current = &Append();
      current->Name = key;
      group = std::move(key);
      text.clear();
    }
    text += rows.Value("text");
    rows.Next();
  }
  if (!text.empty() && current) current->Text = text;
}

const std::array<std::pair<const char*, const char*>, 7> PrivilegeColumns = {{
    {"select_priv", "SELECT"},
    {"insert_priv", "INSERT"},
    {"delete_priv", "DELETE"},
    {"update_priv", "UPDATE"},
    {"references_priv", "REFERENCES"},
    {"alter_priv", "ALTER"},
    {"index_priv", "INDEX"},
}};

std::string AddPrivilegeKeyword(const std::string& text, const std::string& flag,
                                const std::string& keyword) {
  if (flag == "N") return text;
  return text.empty() ? keyword : text + "," + keyword;
}

std::string PrivilegeText(const TRowSource& row) {
  std::string text;
  for (const auto& [column, keyword] : PrivilegeColumns)
    text = AddPrivilegeKeyword(text, row.Value(column), keyword);
  return text;
}

}  // namespace skelvane
