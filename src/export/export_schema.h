// The export: reads the logged-on user's schema from the data dictionary and
// writes it to the schema document named by the window's export file field.
#ifndef SKELVANE_EXPORT_EXPORT_SCHEMA_H
#define SKELVANE_EXPORT_EXPORT_SCHEMA_H

#include "dictionary/dictionary_source.h"
#include "dictionary/dm.h"
#include "dictionary/operation_host.h"

namespace skelvane {

// Runs between logon and logoff of the operation frame. Progress goes to the
// Common log through host.WriteLog.
//
// A bare file name (no directory part) is placed in host.ProgramDirectory().
// Failures propagate: EInOutError when the file cannot be created or
// written, oracle::EOracleError from any dictionary query. Either stops the
// export at the failing step; the file is closed on every exit and keeps
// every line written before the failure.
void ExportSchema(TOperationHost& host, TDM& dm);

// The same export with the dictionary rows from `source`.
void ExportSchema(TOperationHost& host, TDictionarySource& source);

}  // namespace skelvane

#endif
