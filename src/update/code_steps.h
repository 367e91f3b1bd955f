// Triggers, stored functions and procedures, and views: created or replaced
// from the document's text when missing or different.
#ifndef SKELVANE_UPDATE_CODE_STEPS_H
#define SKELVANE_UPDATE_CODE_STEPS_H

#include <string>

#include "oracle/dataset.h"
#include "oracle/query.h"
#include "sdb/tree_result.h"
#include "update/compare_context.h"

namespace skelvane {

void CheckTrigger(TCompareContext& c, const TTreeResult& trigger);

// `query` is Q_Function2 or Q_Procedure2; `kind` is "function" or "procedure".
void CheckStoredCode(TCompareContext& c, const TTreeResult& routine, oracle::TOracleQuery& query,
                     const std::string& kind);

// When `missing` is false the driver has executed `view2` (Q_View2, on the
// view's row) and opened `columns` (oDS_TableFields) for the view; when it is
// true both are null.
void CheckView(TCompareContext& c, const std::string& viewName, const TTreeResult& view,
               oracle::TOracleQuery* view2, oracle::TOracleDataSet* columns, bool missing);

}  // namespace skelvane

#endif
