// Oracle error numbers the server raises, and a helper that throws them.
#ifndef ORAEMU_ERRORS_H
#define ORAEMU_ERRORS_H

#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/storage.h"

namespace oraemu {

// Throws EOraError(code, OraMessage(code, args), offset).
[[noreturn]] void Raise(int code, int offset = 0, const std::vector<std::string>& args = {});

// A storage failure as the server reports it: ORA-00054 for a file another
// process holds, otherwise ORA-00600 with the emulator's own words.
[[noreturn]] void RaiseStorageFailure(const EStorageError& e);

// `"NAME"` as Oracle quotes identifiers in ORA-00904.
std::string QuotedIdent(const std::string& name);

}  // namespace oraemu

#endif
