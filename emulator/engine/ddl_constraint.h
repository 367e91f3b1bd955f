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
  // USING INDEX name, or USING INDEX (CREATE INDEX ...) kept as its text.
  std::optional<QualifiedName> usingIndex;
  std::string usingIndexCreate;
  int usingIndexOffset = 0;
};

// GENERATED ALWAYS | BY DEFAULT [ON NULL] AS IDENTITY [(options)]
struct IdentitySpec {
  std::string generation = "ALWAYS";
  bool onNull = false;
  std::string options;  // the sequence options as written inside the parentheses
  int offset = 0;
};

struct ColumnSpec {
  Ident name;
  ColumnRow row;
  bool typed = true;  // false: a virtual column whose type comes from its expression
  std::optional<IdentitySpec> identity;
  std::vector<ExprColumn> virtualColumns;  // the columns a virtual column's expression names
  bool virtualConcatenates = false;
  std::vector<ConstraintSpec> constraints;
};

// Storage and logging attributes of a table, an index or a LOB segment,
// which this server accepts and does not keep. Consumes one if it is next.
bool AcceptPhysicalAttribute(Parser& p);

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
