// Errors the client side raises itself (the server's come as EOraError from
// the engine with their texts already filled in).
#ifndef ORAEMU_OCI_CLIENT_ERRORS_H
#define ORAEMU_OCI_CLIENT_ERRORS_H

#include <string>

#include "engine/engine.h"

namespace oraemu::oci {

enum ClientCode : int {
  kInvalidCursor = 1001,
  kFetchOutOfSequence = 1002,
  kNotLoggedOn = 1012,
  kNoDataFound = 1403,
  kNullFetched = 1405,
  kTruncated = 1406,
  kNotInSelectList = 1007,
  kIllegalVariable = 1036,
  kIntegerOverflow = 1455,
  kInvalidNumber = 1722,
  kLiteralMismatch = 1861,
  kInconsistentTypes = 932,
  kUnimplemented = 3001,
  kEndOfFile = 3113,
  kNotConnected = 3114,
  kNetServiceName = 12162,
  kIllegalAttribute = 24315,
  kIllegalParameter = 24316,
  kZeroIterations = 24333,
  kNoDescriptor = 24334,
  kNotPrepared = 24337,
  kNotExecuted = 24338,
  kAlreadyConnected = 24309,
  kNotInCache = 24431,
  kInternal = 600,
  kCallbackError = 24343,
  kInvalidFetch = 24391,
  kServiceNotInitialized = 24324,
  kOperationNotAllowed = 24325,
};

// "ORA-nnnnn: " + the standard text of a client-side error.
std::string ClientMessage(int code, const std::string& argument = {});
oraemu::EOraError ClientError(int code, const std::string& argument = {});
// Whether the client has a text of its own for `code`.
bool IsClientCode(int code);

}  // namespace oraemu::oci

#endif
