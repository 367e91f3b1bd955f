// The terminal's echo turned off while a password is typed, and turned back
// on however the prompt ends: a line, the end of input, or a signal that
// ends the program (Ctrl-C among them).
#ifndef SKELVANE_CLI_TERMINAL_ECHO_H
#define SKELVANE_CLI_TERMINAL_ECHO_H

#include <optional>
#include <string>

namespace skelvane::cli {

#ifndef _WIN32

// Echo off on the terminal `fd` for the object's lifetime (a new line typed
// is still echoed). The saved settings come back at destruction, and from a
// handler for SIGINT, SIGTERM, SIGHUP and SIGQUIT, which then lets the
// signal take its former course. One at a time per process. Does nothing
// when `fd` is not a terminal.
class TEchoOff {
 public:
  explicit TEchoOff(int fd);
  ~TEchoOff();
  TEchoOff(const TEchoOff&) = delete;
  TEchoOff& operator=(const TEchoOff&) = delete;

  bool Active() const { return active_; }

 private:
  bool active_ = false;
};

// One line from the terminal `fd` with echo off, without its line end;
// nothing when input ends before any character.
std::optional<std::string> ReadHiddenLine(int fd);

#endif

}  // namespace skelvane::cli

#endif
