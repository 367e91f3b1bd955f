// Failures of reading and querying a schema document. They are not database
// errors: they end the running operation and reach the user's error display.
#ifndef SKELVANE_SDB_SDB_ERROR_H
#define SKELVANE_SDB_SDB_ERROR_H

#include <stdexcept>
#include <string>

namespace skelvane {

class ESdbError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The text cannot be read as a tree, e.g. a "}" that closes no node.
class ESdbSyntaxError : public ESdbError {
 public:
  ESdbSyntaxError(const std::string& message, long line) : ESdbError(message), line_(line) {}
  long Line() const { return line_; }

 private:
  long line_;
};

// The file was opened but reading it failed.
class ESdbReadError : public ESdbError {
 public:
  using ESdbError::ESdbError;
};

// A result list was asked for an entry it does not have.
class ESdbEntryNotFound : public ESdbError {
 public:
  using ESdbError::ESdbError;
};

}  // namespace skelvane

#endif
