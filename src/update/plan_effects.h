// A statement's effect applied to a dictionary snapshot: the rows the
// dictionary would show once the statement has run, as far as later steps of
// the same compare read them.
#ifndef SKELVANE_UPDATE_PLAN_EFFECTS_H
#define SKELVANE_UPDATE_PLAN_EFFECTS_H

#include <string>

#include "dictionary/dictionary_snapshot.h"
#include "update/statement_effect.h"

namespace skelvane {

// A name as the dictionary stores it: a quoted one without its quotes, any
// other upper-cased.
std::string StoredName(const std::string& name);

void ApplyEffect(TDictionarySnapshot& snapshot, const TStatementEffect& effect);

}  // namespace skelvane

#endif
