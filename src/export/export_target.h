// Where the export writes for the text of the export file field.
#ifndef SKELVANE_EXPORT_EXPORT_TARGET_H
#define SKELVANE_EXPORT_EXPORT_TARGET_H

#include <string>

namespace skelvane {

// A text without a directory part names a file beside the executable
// (`programDir`, no trailing separator), not in the current directory;
// any other text is used unchanged, quotes included.
std::string ExportTargetName(const std::string& fieldText, const std::string& programDir);

}  // namespace skelvane

#endif
