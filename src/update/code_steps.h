// Triggers, stored functions and procedures, and views: created or replaced
// from the document's text when missing or different.
#ifndef SKELVANE_UPDATE_CODE_STEPS_H
#define SKELVANE_UPDATE_CODE_STEPS_H

#include <string>

#include "dictionary/dictionary_source.h"
#include "sdb/tree_result.h"
#include "update/compare_context.h"

namespace skelvane {

void CheckTrigger(TCompareContext& c, const TTreeResult& trigger);

// The object a trigger's text fires on, upper-cased without quotes or owner:
// the name after the first ON of its header ("" for ON SCHEMA, ON DATABASE
// or a text without ON). A nested table's trigger names its view.
std::string TriggerTarget(const std::string& text);

// `read` is OneFunction or OneProcedure; `kind` is "function" or "procedure".
void CheckStoredCode(TCompareContext& c, const TTreeResult& routine, TDictionaryRead read,
                     const std::string& kind);

// When `missing` is false the driver has read `view2` (the view's row) and
// opened `columns` for the view; when it is true both are null.
void CheckView(TCompareContext& c, const std::string& viewName, const TTreeResult& view,
               const TRowSource* view2, TRowSet* columns, bool missing);

}  // namespace skelvane

#endif
