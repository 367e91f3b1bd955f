// The no-echo password prompt on a real pseudo-terminal: the typed text is
// not echoed, and echo is back however the prompt ends.
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "password.h"

namespace skelvane::cli {
namespace {

constexpr int kNotGivenStatus = 3;

bool EchoOn(int fd) {
  termios settings{};
  return tcgetattr(fd, &settings) == 0 && (settings.c_lflag & ECHO) != 0;
}

// What a child that prompted on its own terminal did.
struct TPromptRun {
  bool exited = false;
  int exitStatus = -1;
  int signal = 0;
  std::string password;  // what the prompt returned
  std::string screen;    // what the terminal showed
  bool echoAfter = false;
};

std::string DrainAvailable(int fd) {
  std::string text;
  char buffer[256];
  for (;;) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(fd, &set);
    timeval wait{0, 100000};
    if (select(fd + 1, &set, nullptr, nullptr, &wait) <= 0) break;
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  return text;
}

// Starts a child whose controlling terminal is a new pseudo-terminal, lets it
// prompt, types `keys` once its echo is off, and reports how it ended.
TPromptRun TypeAtPrompt(const std::string& keys) {
  TPromptRun run;
  int master = -1, slave = -1;
  int result[2];
  if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0 || pipe(result) != 0) {
    ADD_FAILURE() << "no pseudo-terminal";
    return run;
  }
  const pid_t child = fork();
  if (child == 0) {
    setsid();
    ioctl(slave, TIOCSCTTY, 0);
    dup2(slave, STDIN_FILENO);
    dup2(slave, STDERR_FILENO);
    close(master);
    close(result[0]);
    try {
      const std::string password = ReadPasswordFromStdin();
      const ssize_t ignored = write(result[1], password.data(), password.size());
      (void)ignored;
      _exit(0);
    } catch (const EPasswordNotGiven&) {
      _exit(kNotGivenStatus);
    }
  }
  close(result[1]);
  // Type only once echo is off, as a person would after the prompt.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (EchoOn(slave) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_FALSE(EchoOn(slave)) << "the prompt never turned echo off";
  const ssize_t typed = write(master, keys.data(), keys.size());
  EXPECT_EQ(typed, static_cast<ssize_t>(keys.size()));

  int status = 0;
  waitpid(child, &status, 0);
  run.exited = WIFEXITED(status);
  run.exitStatus = run.exited ? WEXITSTATUS(status) : -1;
  run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  run.echoAfter = EchoOn(slave);
  run.screen = DrainAvailable(master);
  char buffer[256];
  for (ssize_t n; (n = read(result[0], buffer, sizeof buffer)) > 0;)
    run.password.append(buffer, static_cast<size_t>(n));
  close(result[0]);
  close(master);
  close(slave);
  return run;
}

TEST(PasswordPrompt, EchoIsBackHoweverThePromptEnds) {
  const struct {
    const char* name;
    std::string keys;
    bool exited;
    int exitStatus;
    int signal;
    const char* password;
  } cases[] = {
      {"a typed line", "s3cret\n", true, 0, 0, "s3cret"},
      {"a line ended by CR LF", "s3cret\r\n", true, 0, 0, "s3cret"},
      {"end of input", "\x04", true, kNotGivenStatus, 0, ""},
      {"Ctrl-C", "\x03", false, -1, SIGINT, ""},
      {"Ctrl-C after some keys", "s3c\x03", false, -1, SIGINT, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TPromptRun run = TypeAtPrompt(c.keys);
    EXPECT_EQ(run.exited, c.exited);
    EXPECT_EQ(run.exitStatus, c.exitStatus);
    EXPECT_EQ(run.signal, c.signal);
    EXPECT_EQ(run.password, c.password);
    EXPECT_TRUE(run.echoAfter);
    EXPECT_EQ(run.screen.find("Password: "), 0u) << run.screen;
    EXPECT_EQ(run.screen.find("s3c"), std::string::npos) << run.screen;
  }
}

}  // namespace
}  // namespace skelvane::cli
