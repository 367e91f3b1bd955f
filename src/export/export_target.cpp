#include "export/export_target.h"

namespace skelvane {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
bool IsDirectoryDelimiter(char c) { return c == '\\' || c == '/' || c == ':'; }
#else
constexpr char kSeparator = '/';
bool IsDirectoryDelimiter(char c) { return c == '/'; }
#endif

}  // namespace

std::string ExportTargetName(const std::string& fieldText, const std::string& programDir) {
  for (char c : fieldText) {
    if (IsDirectoryDelimiter(c)) return fieldText;
  }
  return programDir + kSeparator + fieldText;
}

}  // namespace skelvane
