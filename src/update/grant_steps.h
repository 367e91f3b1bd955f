// Table privileges, synonyms and database links.
#ifndef SKELVANE_UPDATE_GRANT_STEPS_H
#define SKELVANE_UPDATE_GRANT_STEPS_H

#include <string>

#include "dictionary/dictionary_source.h"
#include "sdb/tree_result.h"
#include "update/compare_context.h"

namespace skelvane {

// `privilegeRows` is positioned on the row the driver located.
void CheckGrant(TCompareContext& c, const std::string& object, const std::string& grantee,
                const std::string& privileges, TRowSet& privilegeRows);
void AddGrant(TCompareContext& c, const std::string& object, const std::string& grantee,
              const std::string& privileges);
void AddSynonym(TCompareContext& c, const std::string& object, const std::string& grantee,
                const std::string& synonym);
// `links` is positioned on the link when it was located.
void CheckDbLink(TCompareContext& c, const std::string& linkName, const TTreeResult& link,
                 TRowSet& links, bool missing);

}  // namespace skelvane

#endif
