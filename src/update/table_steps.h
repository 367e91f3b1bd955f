// Tables, columns and comments.
#ifndef SKELVANE_UPDATE_TABLE_STEPS_H
#define SKELVANE_UPDATE_TABLE_STEPS_H

#include <string>

#include "oracle/dataset.h"
#include "sdb/tree_result.h"
#include "update/compare_context.h"

namespace skelvane {

// One column as the document states it; empty texts for missing entries.
struct TFieldInfo {
  std::string Name;
  std::string Type;
  std::string Null;
  std::string Default;
  std::string Comments;
};

// The column node `index` (from 0) of the object's "fields"; false, with `info`
// untouched, when there is none.
bool ReadFieldInfo(int index, const TTreeResult& object, TFieldInfo& info);

// Logs "\t\t" doc "=" db when the two differ; returns the flag, set when they do.
bool ReportDifference(TCompareContext& c, const std::string& documentValue,
                      const std::string& databaseValue, bool flag);

void CreateTable(TCompareContext& c, const std::string& table, const TTreeResult& list);
// Uses DM.oDS_TableFields as the driver opened it for the table.
void CheckFields(TCompareContext& c, const std::string& table, const TTreeResult& list);
void AlterField(TCompareContext& c, const std::string& table, const TFieldInfo& info);
void CheckComments(TCompareContext& c, const std::string& object, const TTreeResult& list,
                   const std::string& databaseComment, oracle::TOracleDataSet& columns);

}  // namespace skelvane

#endif
