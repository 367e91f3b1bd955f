#include "oci/client_errors.h"

#include <cstdio>

namespace oraemu::oci {

namespace {

const char* Text(int code) {
  switch (code) {
    case kInconsistentTypes: return "inconsistent datatypes: expected %s";
    case kNotInSelectList: return "variable not in select list";
    case kIllegalVariable: return "illegal variable name/number";
    case kNoDataFound: return "no data found";
    case kNullFetched: return "fetched column value is NULL";
    case kTruncated: return "fetched column value was truncated";
    case kIntegerOverflow: return "converting column overflows integer datatype";
    case kInvalidNumber: return "invalid number";
    case kLiteralMismatch: return "literal does not match format string";
    case kUnimplemented: return "unimplemented feature";
    case kEndOfFile: return "end-of-file on communication channel";
    case kNotConnected: return "not connected to ORACLE";
    case kNetServiceName: return "TNS:net service name is incorrectly specified";
    case kIllegalAttribute: return "illegal attribute type";
    case kIllegalParameter: return "illegal parameter value";
    case kZeroIterations: return "zero iteration count";
    case kNoDescriptor: return "no descriptor for this position";
    case kNotPrepared: return "statement handle not prepared";
    case kNotExecuted: return "statement handle not executed";
    case kAlreadyConnected: return "already connected to a server";
    case kNotInCache: return "Statement does not exist in the cache";
    case kInternal: return "internal error code, arguments: [%s]";
    case kFetchOutOfSequence: return "fetch out of sequence";
    case kCallbackError: return "user defined callback error";
    case kInvalidFetch: return "invalid fetch operation";
    case kInvalidCursor: return "invalid cursor";
    case kNotLoggedOn: return "not logged on";
    case kServiceNotInitialized: return "service handle not initialized";
    case kOperationNotAllowed: return "this OCI operation is not currently allowed";
  }
  return "unknown error";
}

}  // namespace

std::string ClientMessage(int code, const std::string& argument) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", code);
  std::string text = Text(code);
  if (auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, argument);
  return prefix + text;
}

bool IsClientCode(int code) { return std::string(Text(code)) != "unknown error"; }

oraemu::EOraError ClientError(int code, const std::string& argument) {
  return oraemu::EOraError(code, ClientMessage(code, argument));
}

}  // namespace oraemu::oci
