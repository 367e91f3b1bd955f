// The test hooks of one connection: the round-trip counter, the trace file,
// the added latency and the planned failure. Read from the environment when
// the connection is made (OCIServerAttach):
//   ORAEMU_TRACE=file        append one line per event to `file`
//   ORAEMU_LATENCY_US=n      wait n microseconds in every round trip
//   ORAEMU_FAIL_AFTER=n      round trip n fails with ORA-03113; every later
//                            call on the connection fails with ORA-03114
// A round trip is one OCIStmtExecute or one fetch call; logon, prepare,
// binds and defines are not.
//
// Trace lines (n counts the connection's round trips from 1):
//   #<n> EXECUTE <sql>[ :NAME=<value>]...   round trip n executes a statement
//   #<n> DESCRIBE <sql>[ :NAME=<value>]...  round trip n describes a query only
//   #<n> FETCH <rows>                       round trip n fetched <rows> rows
//   #<n> ERROR ORA-nnnnn                    round trip n ended in that error
//   PREPARE <sql>                           a text handed to OCIStmtPrepare
//   LOGON <user>  /  LOGOFF <user>          a session begun / ended
//   V7 LOGON <user>[@<db>]  /  V7 LOGOFF    an Oracle 7 logon (olog, orlon) / ologof
//   V7 OCISvcCtxToLda  /  V7 OCILdaToSvcCtx a service context lent to a login
//                                           data area / given back
// In <sql> and in text values a backslash, CR and LF are written \\, \r and
// \n, so every event stays on one line. A value is NULL, a number's decimal
// text, 'text' with quotes doubled, or DATE 'YYYY-MM-DD HH:MM:SS'. Binds are
// listed in the order they were bound. Lines are written whole with one
// write(2) in append mode, so several processes may share a file.
#ifndef ORAEMU_OCI_ROUND_TRIPS_H
#define ORAEMU_OCI_ROUND_TRIPS_H

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/engine.h"

namespace oraemu::oci {

// An append-only file descriptor.
class TraceFile {
 public:
  TraceFile() = default;
  explicit TraceFile(const std::string& path);
  TraceFile(TraceFile&& other) noexcept;
  TraceFile& operator=(TraceFile&& other) noexcept;
  TraceFile(const TraceFile&) = delete;
  TraceFile& operator=(const TraceFile&) = delete;
  ~TraceFile();

  bool IsOpen() const { return fd_ >= 0; }
  void WriteLine(std::string line) const;

 private:
  int fd_ = -1;
};

class RoundTrips {
 public:
  RoundTrips() = default;
  static RoundTrips FromEnvironment();

  bool Tracing() const { return trace_.IsOpen(); }
  uint64_t Count() const { return count_; }
  bool Broken() const { return broken_; }

  // Throws ORA-03114 once the planned failure has happened.
  void CheckConnected() const;
  // Starts the next round trip: traces "#n " + what, waits the latency and
  // throws ORA-03113 when this is the round trip planned to fail. Returns n.
  uint64_t Begin(std::string_view what);
  // Traces that round trip n ended in `error`.
  void Failed(uint64_t n, int code);
  // A trace line that is no round trip.
  void Note(std::string_view line) const;

  // For tests of the hooks themselves.
  void Configure(TraceFile trace, int64_t latencyUs, uint64_t failAfter);

 private:
  TraceFile trace_;
  int64_t latencyUs_ = 0;
  uint64_t failAfter_ = 0;
  uint64_t count_ = 0;
  bool broken_ = false;
};

// Escapes a text for one trace line.
std::string TraceEscape(std::string_view text);
// One bind value as the trace shows it.
std::string TraceValue(const oraemu::Value& value);

}  // namespace oraemu::oci

#endif
