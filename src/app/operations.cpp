#include "app/operations.h"

#include "dictionary/bulk_reader.h"
#include "export/export_schema.h"
#include "update/compare_and_update.h"
#include "update/plan_sink.h"

namespace skelvane {

TOperation DefaultExportOperation() {
  return [](TOperationHost& host, TDM& dm) {
    if (!host.BulkRead()) {
      ExportSchema(host, dm);
      return;
    }
    const auto snapshot = MakeBulkSnapshot(dm.OracleSession1);
    ExportSchema(host, *snapshot);
  };
}

TOperation DefaultCompareOperation() {
  return [](TOperationHost& host, TDM& dm) {
    if (host.PlanOnly()) {
      const auto snapshot =
          host.BulkRead() ? MakeBulkSnapshot(dm.OracleSession1) : MakePerObjectSnapshot(dm.OracleSession1);
      TPlanSink sink(*snapshot);
      CompareAndUpdate(host, *snapshot, sink);
    } else if (host.BulkRead()) {
      const auto snapshot = MakeBulkSnapshot(dm.OracleSession1);
      TExecutingSink sink(dm, snapshot.get());
      CompareAndUpdate(host, *snapshot, sink);
    } else {
      CompareAndUpdate(host, dm);
    }
  };
}

}  // namespace skelvane
