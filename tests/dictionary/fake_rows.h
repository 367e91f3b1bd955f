// A row source over rows held in memory, for the grouping logic alone.
#ifndef SKELVANE_TESTS_DICTIONARY_FAKE_ROWS_H
#define SKELVANE_TESTS_DICTIONARY_FAKE_ROWS_H

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "dictionary/row_source.h"

namespace skelvane::testing {

class FakeRows : public TRowSource {
 public:
  using Row = std::map<std::string, std::string>;
  explicit FakeRows(std::vector<Row> rows) : rows_(std::move(rows)) {}
  bool Eof() const override { return pos_ >= rows_.size(); }
  void Next() override { ++pos_; }
  std::string Value(const std::string& column) const override {
    const Row& row = rows_.at(pos_);
    auto it = row.find(column);
    if (it == row.end()) throw std::runtime_error("Field '" + column + "' not found");
    return it->second;
  }
  size_t Position() const { return pos_; }

 private:
  std::vector<Row> rows_;
  size_t pos_ = 0;
};

inline FakeRows::Row IndexRow(std::string name, std::string column, std::string uniq = "UNIQUE") {
  return {{"index_name", std::move(name)}, {"uniqueness", std::move(uniq)},
          {"column_name", std::move(column)}};
}

// One row of the constraints query: a constrained column at `fromPos` and,
// for a foreign key, one column of the referenced key at `toPos`.
inline FakeRows::Row ConstraintRow(std::string name, std::string type, std::string from,
                                   std::string toTable = "", std::string toColumn = "",
                                   std::string fromPos = "1", std::string toPos = "") {
  const std::string deleteRule = type == "R" ? "NO ACTION" : "";
  return {{"constraint_name", std::move(name)}, {"constraint_type", std::move(type)},
          {"index_name", ""}, {"search_condition", ""}, {"status", "ENABLED"},
          {"delete_rule", deleteRule}, {"deferrable", "NOT DEFERRABLE"},
          {"deferred", "IMMEDIATE"},
          {"f_col_name", std::move(from)}, {"f_pos", std::move(fromPos)},
          {"to_table_name", std::move(toTable)}, {"to_col_name", std::move(toColumn)},
          {"to_pos", std::move(toPos)}};
}

inline FakeRows::Row SourceRow(std::string name, std::string text) {
  return {{"name", std::move(name)}, {"text", std::move(text)}};
}

inline FakeRows::Row ColumnRow(std::string name, std::string hidden) {
  return {{"column_name", std::move(name)}, {"hidden_column", std::move(hidden)}};
}

}  // namespace skelvane::testing

#endif
