// Translates a parsed Oracle query into one SQLite statement over the
// storage, resolving names against the dictionary views and typing every
// select-list column as Oracle describes it.
#ifndef ORAEMU_SELECT_COMPILE_H
#define ORAEMU_SELECT_COMPILE_H

#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/select_ast.h"

namespace oraemu::sel {

struct CompiledQuery {
  std::string sql;                  // SQLite text; ?1 user id, ?2 user name
  std::vector<ColumnDesc> columns;  // the select list as OCI describes it
  std::vector<std::string> binds;   // parameter ?(3+i) carries bind binds[i]
};

// Throws OraError: ORA-00942 unknown table or view, ORA-00904 unknown
// column or function, ORA-00918 ambiguous column, ORA-00997 misuse of a LONG
// column, the outer-join refusals (ORA-01416, ORA-01468, ORA-01719) ...
CompiledQuery Compile(const Query& query);

}  // namespace oraemu::sel

#endif
