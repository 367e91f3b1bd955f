// Expressions inside DDL: CHECK conditions, DEFAULT values and index keys.
// The server keeps their text as written but refuses what Oracle refuses,
// at the token where Oracle's parser stops.
#ifndef ORAEMU_DDL_EXPRESSION_H
#define ORAEMU_DDL_EXPRESSION_H

#include <string>
#include <vector>

#include "engine/parser.h"

namespace oraemu {

// Where an expression stands decides what it may name.
enum class ExprUse {
  kCheck,    // a condition; columns of the table, no system variables
  kDefault,  // a value; no columns, system variables allowed
  kIndex,    // a value; columns of the table, only pure functions
  kVirtual,  // a virtual column's value: as kIndex, with the virtual column's own refusal
};

struct ExprColumn {
  std::string name;
  int offset = 0;
};

struct ParsedExpr {
  int start = 0;  // first byte of the expression
  int end = 0;    // one past its last token
  std::vector<ExprColumn> columns;  // column references, in order of appearance
  // The expression as Oracle normalises it for USER_IND_EXPRESSIONS:
  // column names quoted, words upper-cased, no blanks around operators.
  std::string normalised;
  bool plainColumn = false;  // the whole expression is one column name
};

// Parses one expression (or, for kCheck, one condition) from the parser's
// position and leaves it on the first token after it. Raises ORA-00936,
// 00920, 00907, 00984, 02436, 01743, 54002, 02251 or 00904 (unknown function).
ParsedExpr ParseDdlExpression(Parser& p, ExprUse use);

}  // namespace oraemu

#endif
