// Whether a file can be written or read, asked before a long run starts so
// that a mistyped name fails at once with the system's own reason.
#ifndef SKELVANE_COMMON_FILE_ACCESS_H
#define SKELVANE_COMMON_FILE_ACCESS_H

#include <string>

namespace skelvane {

// Empty when `path` can be created or overwritten; else the system's reason
// ("No such file or directory", "Is a directory", ...). An existing file is
// neither truncated nor changed, and a file made for the test is removed.
std::string CannotCreateReason(const std::string& path);

// Empty when `path` can be opened and read; else the system's reason. A
// folder cannot be read as a file.
std::string CannotReadReason(const std::string& path);

}  // namespace skelvane

#endif
