// The compare driver: reads the document named by UpdateFileName() and walks
// its sections in their fixed order, handing each object to its compare step.
#ifndef SKELVANE_UPDATE_COMPARE_AND_UPDATE_H
#define SKELVANE_UPDATE_COMPARE_AND_UPDATE_H

#include "dictionary/dm.h"
#include "dictionary/operation_host.h"

namespace skelvane {

// Expects dm's session to be logged on. Raises what a data set, a query or the
// document reader raises outside statement execution; statement rejections are
// logged and the walk goes on.
void CompareAndUpdate(TOperationHost& host, TDM& dm);

}  // namespace skelvane

#endif
