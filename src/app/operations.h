// The two operations the window's buttons start, as the frame runs them.
#ifndef SKELVANE_APP_OPERATIONS_H
#define SKELVANE_APP_OPERATIONS_H

#include "app/main_form.h"

namespace skelvane {

// ExportSchema: writes the logged-on user's schema to ExportFileName().
TOperation DefaultExportOperation();
// CompareAndUpdate: brings the schema in line with UpdateFileName().
TOperation DefaultCompareOperation();

}  // namespace skelvane

#endif
