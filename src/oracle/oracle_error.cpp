#include "oracle/oracle_error.h"

namespace skelvane::oracle {

EOracleError::EOracleError(std::string message, int errorCode, const TOracleSession* session,
                           std::string component)
    : std::runtime_error(message.substr(0, kMaxErrorMessage)),
      message_(message.substr(0, kMaxErrorMessage)),
      errorCode_(errorCode),
      session_(session),
      component_(std::move(component)) {}

}  // namespace skelvane::oracle
