// Lists that fold a stream of dictionary rows (one per indexed column, per
// constrained column, per source line) into one record per object.
//
// Calling order: ClearItems, Fill (the caller has executed the query or
// opened the data set behind the row source; Fill reads from the current row
// to the end and leaves the source there), then Count, Item and FindByName.
// Only adjacent rows with the same key are folded together, compared
// case-sensitively. Nothing here depends on the access layer: the row
// sources over queries and data sets are in row_sources.h.
#ifndef SKELVANE_DICTIONARY_GROUPED_LISTS_H
#define SKELVANE_DICTIONARY_GROUPED_LISTS_H

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "dictionary/row_source.h"

namespace skelvane {

struct TIndexData {
  std::string IndexName;
  std::string Uniqueness;
  std::string Columns;  // column names in row order, joined with ","
};

struct TConstraintData {
  std::string ConstraintName;
  std::string ConstraintType;
  std::string IndexName;
  std::string SearchCondition;
  // "(" from-columns ") REFERENCES " to-table " (" to-columns ")", composed
  // for every constraint; meaningful for foreign keys (type "R") only.
  std::string Reference;
  std::string Status;
};

struct TFuncData {
  std::string Name;
  std::string Text;  // the source lines concatenated, each with its own line end
};

inline const std::string& NameOf(const TIndexData& d) { return d.IndexName; }
inline const std::string& NameOf(const TConstraintData& d) { return d.ConstraintName; }
inline const std::string& NameOf(const TFuncData& d) { return d.Name; }

// Records owned by the list, kept at stable addresses.
template <class TData>
class TOwningList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // Throws std::out_of_range "List index out of bounds (N)" outside 0..Count()-1.
  const TData& Item(int index) const;
  TData& Item(int index);
  // First record whose name equals `name` after upper-casing both
  // (AnsiUpperCase), or nullptr.
  const TData* FindByName(const std::string& name) const;
  // Releases every record, last first; the list stays usable.
  void ClearItems();

 protected:
  TData& Append();
  std::vector<std::unique_ptr<TData>> items_;
};

[[noreturn]] void ThrowListIndexError(int index);

template <class TData>
const TData& TOwningList<TData>::Item(int index) const {
  if (index < 0 || index >= Count()) ThrowListIndexError(index);
  return *items_[static_cast<size_t>(index)];
}

template <class TData>
TData& TOwningList<TData>::Item(int index) {
  if (index < 0 || index >= Count()) ThrowListIndexError(index);
  return *items_[static_cast<size_t>(index)];
}

template <class TData>
const TData* TOwningList<TData>::FindByName(const std::string& name) const {
  const std::string key = AnsiUpperCase(name);
  for (const auto& item : items_) {
    if (AnsiUpperCase(NameOf(*item)) == key) return item.get();
  }
  return nullptr;
}

template <class TData>
void TOwningList<TData>::ClearItems() {
  while (!items_.empty()) items_.pop_back();
}

template <class TData>
TData& TOwningList<TData>::Append() {
  items_.push_back(std::make_unique<TData>());
  return *items_.back();
}

class TIndexList : public TOwningList<TIndexData> {
 public:
  void Fill(TRowSource& rows);
};

class TConstraintList : public TOwningList<TConstraintData> {
 public:
  // The constraints query pairs every column of a foreign key with every
  // column of the key it references; only the pairs at the same position
  // (f_pos equal to to_pos, or no to_pos at all) are kept, so the columns
  // come out once each, in key position order.
  void Fill(TRowSource& rows);
};

class TFuncList : public TOwningList<TFuncData> {
 public:
  void Fill(TRowSource& rows);
};

// The seven privilege columns of the table-privileges view and their keywords.
extern const std::array<std::pair<const char*, const char*>, 7> PrivilegeColumns;

// Comma-separated keywords of the privileges granted in the current row.
std::string PrivilegeText(const TRowSource& row);

// One step of PrivilegeText: a flag of exactly "N" grants nothing; any other
// value, the empty one included, appends the keyword after a ",".
std::string AddPrivilegeKeyword(const std::string& text, const std::string& flag,
                                const std::string& keyword);

}  // namespace skelvane

#endif
