#include "password.h"

#include <cstdio>
#include <iostream>

#ifndef _WIN32
#include <termios.h>
#include <unistd.h>
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
    termios saved{};
    bool restore = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (restore) {
      termios silent = saved;
      silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
      silent.c_lflag |= ECHONL;
      tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    }
    std::string line = FirstLine(std::cin);
    if (restore) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    return line;
  }
#endif
  return FirstLine(std::cin);
}

}  // namespace skelvane::cli
