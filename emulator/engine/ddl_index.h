// Stored indexes and constraints of a table, as the DDL needs to see them.
#ifndef ORAEMU_DDL_INDEX_H
#define ORAEMU_DDL_INDEX_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/storage.h"

namespace oraemu {

// Hidden virtual columns (the keys of function-based and descending
// indexes) are rows of `columns` whose column_id is this base plus their
// INTERNAL_COLUMN_ID; readers of the declared columns stop below it.
inline constexpr int kHiddenColumnBase = 100000;

struct IndexRow {
  int64_t id = 0;
  std::string name;
  std::string uniqueness;
  std::vector<std::string> columns;
};

struct ConstraintRow {
  int64_t id = 0;
  std::string name;
  std::string type;
  std::vector<std::string> columns;  // in key position order
  std::optional<int64_t> rConId;
  std::optional<int64_t> indexId;
};

std::vector<IndexRow> TableIndexes(Storage& s, int64_t tableId);
std::vector<ConstraintRow> TableConstraints(Storage& s, int64_t tableId);
int64_t InsertIndex(Storage& s, int ownerId, const std::string& name, int64_t tableId, bool unique,
                    bool generated, const std::vector<std::string>& columns);
bool ConstraintNameUsed(Storage& s, int ownerId, const std::string& name);

// Large-object and LONG columns cannot be keys of an index (ORA-02327 /
// ORA-00997 at `offset`).
void RequireIndexable(const std::string& dataType, int offset);

// Same names, any order.
bool SameColumnSet(std::vector<std::string> a, std::vector<std::string> b);

}  // namespace oraemu

#endif
