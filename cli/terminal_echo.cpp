#include "terminal_echo.h"

#ifndef _WIN32

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <iterator>

namespace skelvane::cli {

namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// A signal handler reaches only static storage: the settings to put back and
// the actions to hand the signal on to.
struct TSavedTerminal {
  int fd = -1;
  termios settings{};
  struct sigaction previous[std::size(kEndingSignals)] = {};
};
TSavedTerminal saved;
volatile sig_atomic_t armed = 0;

void RestoreActions() {
  for (size_t i = 0; i < std::size(kEndingSignals); ++i)
    sigaction(kEndingSignals[i], &saved.previous[i], nullptr);
}

extern "C" void RestoreEchoAndResignal(int signal) {
  if (armed) {
    armed = 0;
    tcsetattr(saved.fd, TCSAFLUSH, &saved.settings);
    // The typed line was never finished: end it, so the shell's prompt
    // starts on a line of its own.
    const ssize_t ignored = write(STDERR_FILENO, "\n", 1);
    (void)ignored;
  }
  RestoreActions();
  raise(signal);  // delivered once this handler returns, with the former action
}

}  // namespace

TEchoOff::TEchoOff(int fd) {
  if (!isatty(fd) || armed || tcgetattr(fd, &saved.settings) != 0) return;
  saved.fd = fd;
  struct sigaction action = {};
  action.sa_handler = RestoreEchoAndResignal;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < std::size(kEndingSignals); ++i)
    sigaction(kEndingSignals[i], &action, &saved.previous[i]);
  armed = 1;
  termios silent = saved.settings;
  silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  silent.c_lflag |= ECHONL;
  tcsetattr(fd, TCSAFLUSH, &silent);
  active_ = true;
}

TEchoOff::~TEchoOff() {
  if (!active_) return;
  armed = 0;
  tcsetattr(saved.fd, TCSAFLUSH, &saved.settings);
  RestoreActions();
}

std::optional<std::string> ReadHiddenLine(int fd) {
  TEchoOff echoOff(fd);
  std::string line;
  for (;;) {
    char c;
    const ssize_t n = read(fd, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (line.empty()) return std::nullopt;
      break;
    }
    if (c == '\n') break;
    line += c;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace skelvane::cli

#endif
