// The Oracle dictionary views and SYS tables the emulated server answers,
// each defined over the storage schema (storage.h). A view is a list of
// columns, each with Oracle's name and describe data and the SQLite
// expression that computes it, plus the SQLite FROM clause (with its filter)
// that the expressions read. In that clause and the expressions, ?1 is the
// logged-on user's USER# and ?2 its name.
#ifndef ORAEMU_DICTIONARY_VIEWS_H
#define ORAEMU_DICTIONARY_VIEWS_H

#include <string>
#include <vector>

#include "engine/engine.h"

namespace oraemu::dict {

struct ViewColumn {
  std::string name;
  ColumnDesc desc;   // desc.name == name
  std::string expr;  // SQLite expression
  // A key column: not part of the view as users see it, only the target of
  // lookups.
  bool hidden = false;
  // For a name looked up through a key: `lookupKey` is the hidden column
  // holding the key and `lookup` a SQLite query of the keys whose name is
  // "{}". "column = v" implies "key IN (lookup of v)", which lets SQLite
  // reach the rows by index where the name itself is computed.
  std::string lookupKey;
  std::string lookup;
  bool lookupUnique = false;  // the lookup yields at most one key
};

struct View {
  std::string owner;   // SYS
  std::string name;
  bool publicSynonym;  // reachable without the SYS. prefix
  std::string from;    // "FROM ... WHERE ..."
  std::vector<ViewColumn> columns;
};

// The view `owner`.`name` (owner empty: as a public synonym resolves it),
// or nullptr when there is no such dictionary object.
const View* FindView(const std::string& owner, const std::string& name);

}  // namespace oraemu::dict

#endif
