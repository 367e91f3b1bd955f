// Reading the logon password when the command line does not give it.
#ifndef SKELVANE_CLI_PASSWORD_H
#define SKELVANE_CLI_PASSWORD_H

#include <istream>
#include <stdexcept>
#include <string>

namespace skelvane::cli {

// The input ended at the password prompt: the user gave up on the logon.
class EPasswordNotGiven : public std::runtime_error {
 public:
  EPasswordNotGiven() : std::runtime_error("no password was entered") {}
};

// From the terminal without echo (prompting on standard error) when standard
// input is a terminal, else the first line of standard input. The text is
// returned to the caller only; nothing is printed or kept. Throws
// EPasswordNotGiven when the terminal's input ends before a line.
std::string ReadPasswordFromStdin();

// The first line of `in` without its line end; empty when there is none.
std::string FirstLine(std::istream& in);

}  // namespace skelvane::cli

#endif
