#include "oracle/oracle_error.h"

namespace skelvane::oracle {

EOracleError::EOracleError(std::string message, int errorCode, const TOracleSession* session,
                           std::string component)
    : std::runtime_error(message.substr(0, kMaxErrorMessage)),
      message_(message.substr(0, kMaxErrorMessage)),
      errorCode_(errorCode),
      session_(session),
      component_(std::move(component)) {}

bool IsConnectionLost(int errorCode) {
  switch (errorCode) {
    case 28:     // your session has been killed
    case 1012:   // not logged on
    case 1041:   // internal error, hostdef extension doesn't exist
    case 1089:   // immediate shutdown in progress
    case 1092:   // ORACLE instance terminated, disconnection forced
    case 2396:   // exceeded maximum idle time
    case 3113:   // end-of-file on communication channel
    case 3114:   // not connected to ORACLE
    case 3135:   // connection lost contact
    case 12537:  // TNS:connection closed
    case 12547:  // TNS:lost contact
    case 12570:  // TNS:packet reader failure
    case 12571:  // TNS:packet writer failure
      return true;
    default:
      return false;
  }
}

}  // namespace skelvane::oracle
