// The two operations the window's buttons start, as the frame runs them.
#ifndef SKELVANE_APP_OPERATIONS_H
#define SKELVANE_APP_OPERATIONS_H

#include "app/main_form.h"

namespace skelvane {

// ExportSchema: writes the logged-on user's schema to ExportFileName().
TOperation DefaultExportOperation();
// CompareAndUpdate: brings the schema in line with UpdateFileName().
TOperation DefaultCompareOperation();

// Whether each operation is in this build; an absent one runs as a no-op
// (the frame still logs on and off) and the front ends say so.
bool ExportOperationBuilt();
bool CompareOperationBuilt();

}  // namespace skelvane

#endif
