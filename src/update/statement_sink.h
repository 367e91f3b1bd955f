// Where the compare's statements go: to the database, or into a plan.
#ifndef SKELVANE_UPDATE_STATEMENT_SINK_H
#define SKELVANE_UPDATE_STATEMENT_SINK_H

#include <string>

#include "dictionary/dictionary_snapshot.h"
#include "dictionary/dm.h"
#include "dictionary/operation_host.h"
#include "update/statement_effect.h"

namespace skelvane {

class TStatementSink {
 public:
  virtual ~TStatementSink() = default;
  // One DDL statement with the log line of its success and what it does.
  virtual void Execute(TOperationHost& host, const std::string& statement,
                       const std::string& successMessage, const TStatementEffect& effect) = 0;
};

// Sends every statement to the server through the data module. With a
// snapshot, the effect of each statement the server accepted is applied to
// it, so that the compare reading it sees the database as it now is.
class TExecutingSink : public TStatementSink {
 public:
  explicit TExecutingSink(TDM& dm, TDictionarySnapshot* snapshot = nullptr) : dm_(dm), snapshot_(snapshot) {}
  void Execute(TOperationHost& host, const std::string& statement, const std::string& successMessage,
               const TStatementEffect& effect) override;

 private:
  TDM& dm_;
  TDictionarySnapshot* snapshot_;
};

}  // namespace skelvane

#endif
