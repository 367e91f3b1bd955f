// The plan: statements written out as a SQL*Plus script instead of being
// executed, each one's effect applied to the snapshot the compare reads, so
// that later steps see what it would have done.
#ifndef SKELVANE_UPDATE_PLAN_SINK_H
#define SKELVANE_UPDATE_PLAN_SINK_H

#include <string>

#include "dictionary/dictionary_snapshot.h"
#include "update/statement_sink.h"

namespace skelvane {

// The statement as a script holds it: ";" after plain DDL, "/" on a line of
// its own after a PL/SQL unit.
std::string ScriptText(const std::string& statement, const TStatementEffect& effect);

class TPlanSink : public TStatementSink {
 public:
  explicit TPlanSink(TDictionarySnapshot& snapshot) : snapshot_(snapshot) {}
  // Hands the script text to host.WritePlan; nothing reaches the logs.
  void Execute(TOperationHost& host, const std::string& statement, const std::string& successMessage,
               const TStatementEffect& effect) override;
  int Statements() const { return statements_; }

 private:
  TDictionarySnapshot& snapshot_;
  int statements_ = 0;
};

}  // namespace skelvane

#endif
