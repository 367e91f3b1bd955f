// The statement text a query sends and the positions reported against it.
#ifndef SKELVANE_ORACLE_QUERY_TEXT_H
#define SKELVANE_ORACLE_QUERY_TEXT_H

#include <string>
#include <vector>

#include "oracle/variables.h"

namespace skelvane::oracle {

// The lines joined by CR LF (the last line too), every substitution variable's
// ":NAME" replaced by its value (case ignored, whole names only), then every CR
// removed; an empty result becomes " ".
std::string BuildStatementText(const std::vector<std::string>& lines, const TVariables& variables);

// 1-based line and column of a byte offset into a text without CR: lines are
// counted on LF; the offset is limited to the text's length.
void ErrorPosition(const std::string& text, long offset, int& line, int& column);

// OCI_ATTR_STMT_TYPE to the query's statement type: SELECT 4, UPDATE 5,
// DELETE 9, INSERT 3, BEGIN and DECLARE 34, anything else -1.
int MapStatementType(int ociStatementType);

// Statement types whose unchanged text need not be parsed again.
bool ParseIsReusable(int statementType);

}  // namespace skelvane::oracle

#endif
