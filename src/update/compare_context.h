// What every compare step works with: the window's narrow interface (logs,
// user name, options) and the data module with its queries and data sets.
#ifndef SKELVANE_UPDATE_COMPARE_CONTEXT_H
#define SKELVANE_UPDATE_COMPARE_CONTEXT_H

#include <string>

#include "dictionary/dm.h"
#include "dictionary/operation_host.h"

namespace skelvane {

struct TCompareContext {
  TOperationHost& Host;
  TDM& DM;

  // A Common-log line without a time stamp.
  void Log(const std::string& text) { Host.WriteLog(text, false, false); }
  // One DDL statement; a rejection is logged and swallowed (ExecuteStatement).
  void Execute(const std::string& statement, const std::string& successMessage) {
    DM.ExecuteStatement(Host, statement, successMessage);
  }
};

}  // namespace skelvane

#endif
