// Creating the sequences the database lacks.
#ifndef SKELVANE_UPDATE_SEQUENCE_STEP_H
#define SKELVANE_UPDATE_SEQUENCE_STEP_H

#include "dictionary/dictionary_source.h"
#include "sdb/tree_result.h"
#include "update/compare_context.h"

namespace skelvane {

// `sequences`: every sequence, open; the step moves its current row.
void CheckSequence(TCompareContext& c, const TTreeResult& sequence, TRowSet& sequences);

}  // namespace skelvane

#endif
