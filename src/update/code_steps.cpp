#include "update/code_steps.h"

namespace skelvane {

// Filled in with the compare of these kinds.

void CheckTrigger(TCompareContext&, const TTreeResult&) {}
void CheckStoredCode(TCompareContext&, const TTreeResult&, oracle::TOracleQuery&, const std::string&) {}
void CheckView(TCompareContext&, const std::string&, const TTreeResult&, oracle::TOracleQuery*,
               oracle::TOracleDataSet*, bool) {}

}  // namespace skelvane
