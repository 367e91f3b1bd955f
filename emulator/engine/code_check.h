// The compilation errors this server can see in stored code without
// compiling it: quotes or comments left open, END without a block, a block
// without its END.
#ifndef ORAEMU_CODE_CHECK_H
#define ORAEMU_CODE_CHECK_H

#include <optional>
#include <string>

namespace oraemu {

struct CodeError {
  int line = 1;      // 1-based, within the unit's source
  int position = 1;  // 1-based column
  std::string text;  // as USER_ERRORS.TEXT shows it
};

// Checks the source of a function, procedure or trigger body (the text
// from the kind word on, as USER_SOURCE keeps it); the first error found.
std::optional<CodeError> FindVisibleError(const std::string& unit);

}  // namespace oraemu

#endif
