// Translates a parsed Oracle query into one SQLite statement over the
// storage, resolving names against the dictionary views and typing every
// select-list column as Oracle describes it.
#ifndef ORAEMU_SELECT_COMPILE_H
#define ORAEMU_SELECT_COMPILE_H

#include <optional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/select_ast.h"

namespace oraemu::sel {

struct CompiledQuery {
  std::string sql;                  // SQLite text; ?1 user id, ?2 user name
  std::vector<ColumnDesc> columns;  // the select list as OCI describes it
  std::vector<std::string> binds;   // parameter ?(3+i) carries bind binds[i]
  // False when the translation read a user's table or view, so that it
  // holds only for the current state of the schema.
  bool reusable = true;
  // Offset of a construct this engine describes but cannot run (GROUPING
  // SETS, JSON_TABLE, ordered LISTAGG); -1 when it runs all of it.
  int unsupportedAt = -1;
};

// A user's table or view as a query sees it.
struct Relation {
  std::string owner;                // the object's owner
  std::vector<ColumnDesc> columns;
  bool isView = false;
  std::string viewText;             // the query of a view
};

// Finds the tables and views (through synonyms too) of the logged-on user
// and those granted to it.
class RelationSource {
 public:
  virtual ~RelationSource() = default;
  // `owner` empty: the user's own schema, then public synonyms. nullopt
  // when no such object is visible to the user.
  virtual std::optional<Relation> Find(const std::string& owner, const std::string& name) = 0;
};

// Throws EOraError: ORA-00942 unknown table or view, ORA-00904 unknown
// column or function, ORA-00918 ambiguous column, ORA-00997 misuse of a LONG
// column, the outer-join refusals (ORA-01416, ORA-01468, ORA-01719) ...
// Dictionary views take precedence over user objects of the same name.
CompiledQuery Compile(const Query& query, RelationSource* relations = nullptr);

}  // namespace oraemu::sel

#endif
