// The document file checked before the logon, so that a mistyped name costs
// a second and not a logon.
#ifndef SKELVANE_CLI_DOCUMENT_CHECK_H
#define SKELVANE_CLI_DOCUMENT_CHECK_H

#include <string>

#include "options.h"

namespace skelvane::cli {

// Why `file` cannot serve `command` (export writes it, update reads it), as
// the message to print; empty when nothing stands in the way.
std::string DocumentProblem(TCommand command, const std::string& file);

}  // namespace skelvane::cli

#endif
