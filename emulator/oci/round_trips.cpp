#include "oci/round_trips.h"

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
// Not inherited by child processes, and no CR added before each line end.
#define O_CLOEXEC (O_NOINHERIT | O_BINARY)
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>

#include "oci/client_errors.h"

namespace oraemu::oci {

TraceFile::TraceFile(const std::string& path)
    : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644)) {}

TraceFile::TraceFile(TraceFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

TraceFile& TraceFile::operator=(TraceFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

TraceFile::~TraceFile() {
  if (fd_ >= 0) ::close(fd_);
}

void TraceFile::WriteLine(std::string line) const {
  if (fd_ < 0) return;
  line += '\n';
  const char* data = line.data();
  std::size_t left = line.size();
  while (left > 0) {
    ssize_t written = ::write(fd_, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return;  // a trace that cannot be written must not break the caller
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
}

namespace {

// A positive integer from the environment, 0 when unset or not a number.
uint64_t EnvNumber(const char* name) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return 0;
  char* end = nullptr;
  errno = 0;
  unsigned long long value = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || text[0] == '-') return 0;
  return value;
}

// Sleeping alone overshoots by tens of microseconds; sleep most of the time
// and spin the rest so a measured round trip is close to the asked latency.
void Wait(int64_t microseconds) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::microseconds(microseconds);
  constexpr auto kSpin = std::chrono::microseconds(150);
  if (microseconds > kSpin.count()) std::this_thread::sleep_until(deadline - kSpin);
  while (Clock::now() < deadline) {
  }
}

}  // namespace

RoundTrips RoundTrips::FromEnvironment() {
  RoundTrips hooks;
  const char* trace = std::getenv("ORAEMU_TRACE");
  hooks.Configure(trace != nullptr && *trace != '\0' ? TraceFile(trace) : TraceFile(),
                  static_cast<int64_t>(EnvNumber("ORAEMU_LATENCY_US")),
                  EnvNumber("ORAEMU_FAIL_AFTER"));
  return hooks;
}

void RoundTrips::Configure(TraceFile trace, int64_t latencyUs, uint64_t failAfter) {
  trace_ = std::move(trace);
  latencyUs_ = latencyUs;
  failAfter_ = failAfter;
}

void RoundTrips::CheckConnected() const {
  if (broken_) throw ClientError(kNotConnected);
}

uint64_t RoundTrips::Begin(std::string_view what) {
  CheckConnected();
  const uint64_t n = ++count_;
  if (Tracing()) trace_.WriteLine("#" + std::to_string(n) + " " + std::string(what));
  if (latencyUs_ > 0) Wait(latencyUs_);
  if (failAfter_ != 0 && n == failAfter_) {
    broken_ = true;
    Failed(n, kEndOfFile);
    throw ClientError(kEndOfFile);
  }
  return n;
}

void RoundTrips::Failed(uint64_t n, int code) {
  if (!Tracing()) return;
  char text[32];
  std::snprintf(text, sizeof text, "ERROR ORA-%05d", code);
  trace_.WriteLine("#" + std::to_string(n) + " " + text);
}

void RoundTrips::Note(std::string_view line) const {
  if (Tracing()) trace_.WriteLine(std::string(line));
}

std::string TraceEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

std::string TraceValue(const oraemu::Value& value) {
  switch (value.kind) {
    case oraemu::Value::Kind::Null: return "NULL";
    case oraemu::Value::Kind::Number: return value.text;
    case oraemu::Value::Kind::Date: return "DATE '" + value.text + "'";
    case oraemu::Value::Kind::Text: break;
  }
  std::string quoted = "'";
  for (char c : TraceEscape(value.text)) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted + "'";
}

}  // namespace oraemu::oci
