// Tables, columns and comments.
#ifndef SKELVANE_UPDATE_TABLE_STEPS_H
#define SKELVANE_UPDATE_TABLE_STEPS_H

#include <string>

#include "dictionary/dictionary_source.h"
#include "sdb/tree_result.h"
#include "update/compare_context.h"
#include "update/statement_effect.h"

namespace skelvane {

// The column node `index` (from 0) of the object's "fields"; false, with `info`
// untouched, when there is none.
bool ReadFieldInfo(int index, const TTreeResult& object, TFieldInfo& info);

// Logs "\t\t" doc "=" db when the two differ; returns the flag, set when they do.
bool ReportDifference(TCompareContext& c, const std::string& documentValue,
                      const std::string& databaseValue, bool flag);

void CreateTable(TCompareContext& c, const std::string& table, const TTreeResult& list);
// `columns`: the table's columns as the driver opened them.
void CheckFields(TCompareContext& c, const std::string& table, const TTreeResult& list, TRowSet& columns);
void AlterField(TCompareContext& c, const std::string& table, const TFieldInfo& info);
void CheckComments(TCompareContext& c, const std::string& object, const TTreeResult& list,
                   const std::string& databaseComment, TRowSet& columns);

}  // namespace skelvane

#endif
