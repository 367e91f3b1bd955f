// The real-world schema's scripts, ready to run from a string: the tables
// with every construct, and the lending schema's views and stored code with
// its tables put in place of its "@@" line.
#ifndef SKELVANE_TESTS_REALWORLD_REALWORLD_SCRIPTS_H
#define SKELVANE_TESTS_REALWORLD_REALWORLD_SCRIPTS_H

#include <stdexcept>
#include <string>

#include "e2e/export_support.h"

namespace skelvane::realworld {

inline std::string Script(const char* name) {
  return e2e::ReadFile(e2e::SourceDir() / "tests" / "realworld" / name);
}

inline std::string TablesScript() { return Script("tables.sql"); }

inline std::string CodeScript() {
  std::string code = Script("schema_code.sql");
  const std::string include = "@@schema_code_tables";
  const size_t at = code.find(include);
  if (at == std::string::npos) throw std::runtime_error("schema_code.sql no longer includes its tables");
  code.replace(at, include.size(), Script("schema_code_tables.sql"));
  return code;
}

}  // namespace skelvane::realworld

#endif
