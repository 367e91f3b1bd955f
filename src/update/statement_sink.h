// Where the compare's statements go: to the database, or into a plan.
#ifndef SKELVANE_UPDATE_STATEMENT_SINK_H
#define SKELVANE_UPDATE_STATEMENT_SINK_H

#include <string>

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

// Sends every statement to the server through the data module.
class TExecutingSink : public TStatementSink {
 public:
  explicit TExecutingSink(TDM& dm) : dm_(dm) {}
  void Execute(TOperationHost& host, const std::string& statement, const std::string& successMessage,
               const TStatementEffect&) override {
    dm_.ExecuteStatement(host, statement, successMessage);
  }

 private:
  TDM& dm_;
};

}  // namespace skelvane

#endif
