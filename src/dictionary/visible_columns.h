// The columns of a table as its owner declared them. user_tab_cols also lists
// the hidden columns Oracle keeps for itself (function-based index
// expressions, columns set unused, ...): HIDDEN_COLUMN 'YES' and no
// COLUMN_ID. They cannot be created by hand, so neither the document nor the
// compare may see them.
#ifndef SKELVANE_DICTIONARY_VISIBLE_COLUMNS_H
#define SKELVANE_DICTIONARY_VISIBLE_COLUMNS_H

#include <string>

#include "common/text.h"
#include "dictionary/row_source.h"

namespace skelvane {

inline bool IsHiddenColumn(const TRowSource& column) {
  return Trimmed(column.Value("hidden_column")) == "YES";
}

// Passes the rows of a column source through, stepping over hidden columns:
// the current row is never a hidden one. Made after the source is positioned
// on its first row (the query executed, the data set opened).
class TVisibleColumns : public TRowSource {
 public:
  explicit TVisibleColumns(TRowSource& columns) : columns_(columns) { SkipHidden(); }
  bool Eof() const override { return columns_.Eof(); }
  void Next() override {
    columns_.Next();
    SkipHidden();
  }
  std::string Value(const std::string& column) const override { return columns_.Value(column); }

 private:
  void SkipHidden() {
    while (!columns_.Eof() && IsHiddenColumn(columns_)) columns_.Next();
  }
  TRowSource& columns_;
};

}  // namespace skelvane

#endif
