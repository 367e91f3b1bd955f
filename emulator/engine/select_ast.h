// The parsed form of an Oracle query. Names are already normalised (see
// select_lexer.h); `offset` fields point into the statement text so that
// refusals can report where the fault is.
#ifndef ORAEMU_SELECT_AST_H
#define ORAEMU_SELECT_AST_H

#include <memory>
#include <string>
#include <vector>

namespace oraemu::sel {

struct Query;
struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct OrderItem {
  ExprPtr expr;
  bool desc = false;
  int nulls = 0;  // 0 Oracle's default, 1 NULLS FIRST, 2 NULLS LAST
};

// A type as CAST and JSON_TABLE columns name it.
struct TypeName {
  int type = 1;         // OCI external type: 1 VARCHAR2, 96 CHAR, 2 NUMBER, 12 DATE, 112 CLOB, 187 TIMESTAMP
  int size = 4000;
  int precision = 0;
  int scale = -127;
  bool charUsed = false;
};

// OVER (PARTITION BY ... ORDER BY ... frame) of an analytic function.
struct Window {
  std::vector<ExprPtr> partition;
  std::vector<OrderItem> order;
  std::string frame;  // normalised "ROWS BETWEEN ... AND ..."; empty for the default
};

enum class ExprKind {
  Null,        // NULL or ''
  String,      // text literal
  Number,      // numeric literal
  Bind,        // :NAME
  Column,      // [schema.][table.]column, `path` holds the parts
  Pseudo,      // USER, UID, SYSDATE
  Function,    // name(args); `star` for COUNT(*), `distinct` for COUNT(DISTINCT x)
  Negate,      // unary minus
  Arith,       // + - * / ||, operator in `op`
  Compare,     // = <> < > <= >=
  And,
  Or,
  Not,
  IsNull,      // `negated` for IS NOT NULL
  Like,        // args: value, pattern[, escape]; `negated`
  InList,      // args: value, items...; `negated`
  InQuery,     // args: value (or values); `sub`; `negated`
  Between,     // args: value, low, high; `negated`
  Exists,      // `sub`
  Subquery,    // scalar subquery `sub`
  Case,        // args: [operand], when, then, ..., [else]; `hasOperand`, `hasElse`
  Cast,        // CAST(args[0] AS `castType`)
  Extract,     // EXTRACT(`text` FROM args[0])
};

struct Expr {
  ExprKind kind = ExprKind::Null;
  int offset = 0;
  std::string text;               // literal value, bind name, function or pseudo-column name
  std::string op;                 // operator of Arith / Compare
  std::vector<std::string> path;  // column reference parts
  bool outerJoin = false;         // column followed by (+)
  bool negated = false;
  bool star = false;
  bool distinct = false;
  bool hasOperand = false;
  bool hasElse = false;
  std::vector<std::unique_ptr<Expr>> args;
  std::unique_ptr<Query> sub;
  std::string source;             // the expression as written, for unaliased column names
  std::unique_ptr<Window> over;   // analytic call
  bool withinGroup = false;       // ordered-set aggregate: `withinOrder` holds its order
  std::vector<OrderItem> withinOrder;
  TypeName castType;
};

struct SelectItem {
  ExprPtr expr;                      // null for * and t.*
  std::vector<std::string> starPath; // qualifier of t.* (empty for a bare *)
  bool star = false;
  std::string alias;                 // normalised; empty when none
  int offset = 0;
};

enum class JoinKind { Comma, Inner, Left, Right, Full, Cross };

// One column of JSON_TABLE, nested paths flattened in order.
struct JsonColumn {
  std::string name;
  TypeName type;
  int offset = 0;
};


struct FromItem {
  std::vector<std::string> name;  // [schema, ]object; empty for an inline view
  std::unique_ptr<Query> sub;
  std::string alias;
  JoinKind join = JoinKind::Comma;  // how this item joins the items before it
  ExprPtr on;
  std::vector<std::string> usingCols;  // JOIN ... USING (...)
  bool natural = false;
  ExprPtr jsonInput;                  // JSON_TABLE(input, ...) when set
  std::vector<JsonColumn> jsonColumns;
  int offset = 0;
};

struct QueryBlock {
  bool distinct = false;
  std::vector<SelectItem> items;
  std::vector<FromItem> from;
  ExprPtr where;
  std::vector<ExprPtr> groupBy;  // every grouping expression, GROUPING SETS, ROLLUP and CUBE flattened
  bool groupingSets = false;     // several groupings: the grouped columns may be NULL
  int groupingOffset = 0;
  ExprPtr having;
  int offset = 0;
};

// A named subquery of a WITH clause.
struct CommonTable {
  std::string name;
  std::vector<std::string> columns;  // optional column names
  std::unique_ptr<Query> query;
  int offset = 0;
};

// Blocks joined by set operators (UNION, UNION ALL, INTERSECT, MINUS),
// preceded by the subqueries a WITH clause names.
struct Query {
  std::vector<CommonTable> with;
  std::vector<QueryBlock> blocks;
  std::vector<std::string> setOps;  // blocks.size() - 1 entries
  std::vector<OrderItem> orderBy;
  int offset = 0;
};

}  // namespace oraemu::sel

#endif
