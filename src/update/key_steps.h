// Indexes and constraints of one table.
#ifndef SKELVANE_UPDATE_KEY_STEPS_H
#define SKELVANE_UPDATE_KEY_STEPS_H

#include <string>

#include "dictionary/dictionary_source.h"
#include "sdb/tree_result.h"
#include "update/compare_context.h"

namespace skelvane {

// "SYS_C" and digits: the name Oracle makes up for an unnamed constraint,
// different in every database.
bool IsSystemConstraintName(const std::string& name);

void CheckIndexes(TCompareContext& c, const std::string& table, const TTreeResult& list,
                  TRowSet& indexes);

// Pass 1 adds every missing constraint but foreign keys; pass 2 adds those.
void CheckConstraints(TCompareContext& c, const std::string& table, const TTreeResult& list,
                      TRowSet& constraints, int pass,
                      TRowSet& indexes);

}  // namespace skelvane

#endif
