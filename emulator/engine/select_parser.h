// Parses the text of an Oracle query into its syntax tree.
#ifndef ORAEMU_SELECT_PARSER_H
#define ORAEMU_SELECT_PARSER_H

#include <string>

#include "engine/engine.h"
#include "engine/select_ast.h"

namespace oraemu::sel {

// The refusal of a text nested or chained deeper than this engine follows
// (ORA-00907, as for a parenthesis it cannot match); Oracle itself may
// accept such a text.
class ETooDeep : public EOraError {
 public:
  using EOraError::EOraError;
};

// Throws EOraError with Oracle's number and the offset of the offending token:
// ORA-00900 not a query, ORA-00923 FROM expected, ORA-00936 missing
// expression, ORA-00907 missing parenthesis, ORA-00933 trailing text ...
Query ParseQuery(const std::string& sql);

}  // namespace oraemu::sel

#endif
