#pragma once
// Creating the sequences the database lacks.

#include "oracle/dataset.h"
#include "sdb/tree_result.h"
#include "update/compare_context.h"

namespace skelvane {

// `sequences` is oDS_Sequences, open; the step moves its current row.
void CheckSequence(TCompareContext& c, const TTreeResult& sequence,
                   oracle::TOracleDataSet& sequences);

}  // namespace skelvane
