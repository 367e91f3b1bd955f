#include "app/operations.h"

#include "export/export_schema.h"

namespace skelvane {

TOperation DefaultExportOperation() {
  return [](TOperationHost& host, TDM& dm) { ExportSchema(host, dm); };
}

// The compare driver is not part of the build yet: until it is, this is the
// one place that stands in for it, and the run only logs on and off.
TOperation DefaultCompareOperation() {
  return [](TOperationHost&, TDM&) {};
}

bool ExportOperationBuilt() { return true; }
bool CompareOperationBuilt() { return false; }

}  // namespace skelvane
