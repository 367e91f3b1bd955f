// Errors of the access layer.
#ifndef SKELVANE_ORACLE_ORACLE_ERROR_H
#define SKELVANE_ORACLE_ORACLE_ERROR_H

#include <cstddef>
#include <stdexcept>
#include <string>

namespace skelvane::oracle {

class TOracleSession;

// Fixed messages of the plain exceptions that report misuse of the layer.
inline constexpr const char kNotLoggedOn[] = "Not logged on";
inline constexpr const char kSessionUndefined[] = "Session undefined";
// A session set to use the Oracle 7 calls, on a client library without them.
inline constexpr const char kOracle7NotSupported[] =
    "The client library does not offer the Oracle 7 call interface";
// A server that speaks only the Oracle 7 calls, on a client library without
// them; the server's version text follows.
inline constexpr const char kOracle7ServerNeedsCalls[] =
    "The server speaks only the Oracle 7 call interface, which the client library does not offer: ";

// Longest message an EOracleError carries.
inline constexpr std::size_t kMaxErrorMessage = 1023;

// An error reported by the database or the client library: the client's
// message unchanged (at most 1023 characters) and the Oracle error number.
// The operations catch this class and nothing else.
class EOracleError : public std::runtime_error {
 public:
  EOracleError(std::string message, int errorCode, const TOracleSession* session = nullptr,
               std::string component = {});
  int ErrorCode() const { return errorCode_; }
  const std::string& Message() const { return message_; }
  const TOracleSession* Session() const { return session_; }
  const std::string& Component() const { return component_; }

 private:
  std::string message_;
  int errorCode_;
  const TOracleSession* session_;
  std::string component_;
};

// True for the errors after which the session can run nothing more (the
// connection dropped, the session was killed or ended): no later statement
// of the operation can succeed, so reporting one as merely refused would
// hide the failure.
bool IsConnectionLost(int errorCode);

}  // namespace skelvane::oracle

#endif
