// What every compare step works with: the window's narrow interface (logs,
// user name, options), where the database rows come from and where the
// statements go.
#ifndef SKELVANE_UPDATE_COMPARE_CONTEXT_H
#define SKELVANE_UPDATE_COMPARE_CONTEXT_H

#include <string>

#include "dictionary/dictionary_source.h"
#include "dictionary/generated_columns.h"
#include "dictionary/operation_host.h"
#include "update/statement_sink.h"

namespace skelvane {

struct TCompareContext {
  TOperationHost& Host;
  TDictionarySource& Source;
  TStatementSink& Sink;
  // The database's identity and virtual columns, read when the tables are compared.
  TGeneratedColumns Generated{};

  // A Common-log line without a time stamp.
  void Log(const std::string& text) { Host.WriteLog(text, false, false); }
  // One DDL statement; a rejection is logged and swallowed (ExecuteStatement).
  void Execute(const std::string& statement, const std::string& successMessage,
               const TStatementEffect& effect = {}) {
    Sink.Execute(Host, statement, successMessage, effect);
  }
};

}  // namespace skelvane

#endif
