#include "update/sequence_step.h"

namespace skelvane {

// Filled in with the compare of these kinds.

void CheckSequence(TCompareContext&, const TTreeResult&, oracle::TOracleDataSet&) {}

}  // namespace skelvane
