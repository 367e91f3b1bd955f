// The compare driver: reads the document named by UpdateFileName() and walks
// its sections in their fixed order, handing each object to its compare step.
#ifndef SKELVANE_UPDATE_COMPARE_AND_UPDATE_H
#define SKELVANE_UPDATE_COMPARE_AND_UPDATE_H

#include "dictionary/dictionary_source.h"
#include "dictionary/dm.h"
#include "dictionary/operation_host.h"
#include "update/statement_sink.h"

namespace skelvane {

// Expects dm's session to be logged on. Raises what a data set, a query or the
// document reader raises outside statement execution; statement rejections are
// logged and the walk goes on.
void CompareAndUpdate(TOperationHost& host, TDM& dm);

// The same walk with the database rows from `source` and the statements to `sink`.
void CompareAndUpdate(TOperationHost& host, TDictionarySource& source, TStatementSink& sink);

}  // namespace skelvane

#endif
