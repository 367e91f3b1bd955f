#include "app/operations.h"

#include "export/export_schema.h"
#include "update/compare_and_update.h"

namespace skelvane {

TOperation DefaultExportOperation() {
  return [](TOperationHost& host, TDM& dm) { ExportSchema(host, dm); };
}

TOperation DefaultCompareOperation() {
  return [](TOperationHost& host, TDM& dm) { CompareAndUpdate(host, dm); };
}

}  // namespace skelvane
