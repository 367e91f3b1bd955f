#include "update/grant_steps.h"

namespace skelvane {

// Filled in with the compare of these kinds.

void CheckGrant(TCompareContext&, const std::string&, const std::string&, const std::string&,
                oracle::TOracleDataSet&) {}
void AddGrant(TCompareContext&, const std::string&, const std::string&, const std::string&) {}
void AddSynonym(TCompareContext&, const std::string&, const std::string&, const std::string&) {}
void CheckDbLink(TCompareContext&, const std::string&, const TTreeResult&, oracle::TOracleDataSet&,
                 bool) {}

}  // namespace skelvane
