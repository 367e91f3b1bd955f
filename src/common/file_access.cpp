#include "common/file_access.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace skelvane {

namespace {

std::string LastReason() { return std::strerror(errno != 0 ? errno : EIO); }

}  // namespace

std::string CannotCreateReason(const std::string& path) {
  errno = 0;
  // "r+" opens an existing file for writing without truncating it.
  if (std::FILE* file = std::fopen(path.c_str(), "r+b")) {
    std::fclose(file);
    return {};
  }
  if (errno != ENOENT) return LastReason();
  // "x": made here and now, so removing it afterwards deletes nobody's file.
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "wxb");
  if (!file) return LastReason();
  std::fclose(file);
  std::remove(path.c_str());
  return {};
}

std::string CannotReadReason(const std::string& path) {
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return LastReason();
  // Opening a folder succeeds on some systems; the first read tells.
  errno = 0;
  std::fgetc(file);
  const bool failed = std::ferror(file) != 0;
  std::string reason = failed ? LastReason() : std::string();
  std::fclose(file);
  return reason;
}

}  // namespace skelvane
