// Reading the logon password when the command line does not give it.
#ifndef SKELVANE_CLI_PASSWORD_H
#define SKELVANE_CLI_PASSWORD_H

#include <istream>
#include <string>

namespace skelvane::cli {

// From the terminal without echo (prompting on standard error) when standard
// input is a terminal, else the first line of standard input. The text is
// returned to the caller only; nothing is printed or kept.
std::string ReadPasswordFromStdin();

// The first line of `in` without its line end; empty when there is none.
std::string FirstLine(std::istream& in);

}  // namespace skelvane::cli

#endif
