#include "password.h"

#include <iostream>

#ifndef _WIN32
#include <unistd.h>

#include "terminal_echo.h"
#endif

namespace skelvane::cli {

std::string FirstLine(std::istream& in) {
  std::string line;
  if (!std::getline(in, line)) return {};
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::string ReadPasswordFromStdin() {
#ifndef _WIN32
  if (isatty(STDIN_FILENO)) {
    std::cerr << "Password: " << std::flush;
    std::optional<std::string> line = ReadHiddenLine(STDIN_FILENO);
    if (!line) {
      // No line end was typed, so the terminal did not move on by itself.
      std::cerr << "\n";
      throw EPasswordNotGiven();
    }
    return *line;
  }
#endif
  return FirstLine(std::cin);
}

}  // namespace skelvane::cli
