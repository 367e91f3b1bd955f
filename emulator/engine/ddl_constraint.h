// Column definitions and constraints, shared by CREATE TABLE and ALTER TABLE.
#ifndef ORAEMU_DDL_CONSTRAINT_H
#define ORAEMU_DDL_CONSTRAINT_H

#include <optional>
#include <string>
#include <vector>

#include "engine/catalog.h"
#include "engine/ddl_expression.h"
#include "engine/parser.h"

namespace oraemu {

struct ColumnRef {
  std::string name;
  int offset = 0;
};

struct ConstraintSpec {
  std::optional<Ident> name;
  int offset = 0;      // where the clause starts
  char type = 0;       // 'P', 'U', 'R', 'C', or 'N' for NOT NULL
  std::vector<ColumnRef> columns;
  std::string condition;           // 'C'
  std::vector<ExprColumn> conditionColumns;  // 'C': the columns it names
  QualifiedName refTable;          // 'R'
  std::vector<ColumnRef> refColumns;
  std::string deleteRule = "NO ACTION";
  std::string status = "ENABLED";
  std::string deferrable = "NOT DEFERRABLE";
  std::string deferred = "IMMEDIATE";
  std::string validated = "VALIDATED";
};

struct ColumnSpec {
  Ident name;
  ColumnRow row;
  std::vector<ConstraintSpec> constraints;
};

// True when the next tokens start an out-of-line constraint.
bool AtTableConstraint(Parser& p);
// [CONSTRAINT name] PRIMARY KEY (..) | UNIQUE (..) | CHECK (..) | FOREIGN KEY (..) REFERENCES ..
ConstraintSpec ParseTableConstraint(Parser& p);
// name type [DEFAULT expr] [inline constraints]; a column without a type is
// `missingTypeCode` at the token after its name.
ColumnSpec ParseColumnDef(Parser& p, int missingTypeCode);

// Adds one constraint (with its enforcing index) to a stored table.
void ApplyConstraint(DdlContext& ctx, const ObjectRow& table, const ConstraintSpec& spec);

// "(a, b)" column list.
std::vector<ColumnRef> ParseColumnList(Parser& p);

}  // namespace oraemu

#endif
