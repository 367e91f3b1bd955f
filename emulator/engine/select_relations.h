// The user tables and views a query may read, found in the storage.
#ifndef ORAEMU_SELECT_RELATIONS_H
#define ORAEMU_SELECT_RELATIONS_H

#include <string>

#include "engine/select_compile.h"

namespace oraemu {
class Storage;
}

namespace oraemu::sel {

// Oracle's name resolution for the logged-on user: an unqualified name is
// an object of the user's schema, else a public synonym; synonyms lead to
// their targets; another user's object needs a SELECT grant to the user or
// PUBLIC (SYS and SYSTEM read everything).
class StorageRelations : public RelationSource {
 public:
  StorageRelations(Storage& storage, int userId) : storage_(storage), userId_(userId) {}
  std::optional<Relation> Find(const std::string& owner, const std::string& name) override;

 private:
  std::optional<Relation> Resolve(int ownerId, const std::string& name, bool publicToo, int depth);
  Storage& storage_;
  int userId_;
};

// The describe data of a stored column type as USER_TAB_COLUMNS shows it.
ColumnDesc DescribeStoredColumn(const std::string& name, const std::string& dataType, int64_t length,
                                const std::optional<int64_t>& precision, const std::optional<int64_t>& scale,
                                bool nullable, bool charUsed, int64_t charLength);

}  // namespace oraemu::sel

#endif
