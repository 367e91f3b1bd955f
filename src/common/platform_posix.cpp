// The platform layer on POSIX systems.
#ifndef _WIN32

#include <dirent.h>
#include <dlfcn.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "common/platform.h"

namespace skelvane::platform {

TDynamicLibrary TDynamicLibrary::Open(const std::string& path) {
  TDynamicLibrary library;
  // RTLD_LOCAL keeps two client libraries' symbols apart.
  library.handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library.handle_) {
    const char* message = ::dlerror();
    library.loaderMessage_ = message ? message : "";
  }
  return library;
}

void* TDynamicLibrary::Symbol(const std::string& name) const {
  if (!handle_) return nullptr;
  return ::dlsym(handle_, name.c_str());
}

void TDynamicLibrary::Free() {
  if (handle_) {
    ::dlclose(handle_);
    handle_ = nullptr;
  }
}

std::string GetEnv(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}

bool EnvIsSet(const std::string& name) { return std::getenv(name.c_str()) != nullptr; }

void SetEnv(const std::string& name, const std::string& value) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

void UnsetEnv(const std::string& name) { ::unsetenv(name.c_str()); }

bool FileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern,
                                   bool ignoreCase) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (!WildcardMatch(pattern, name, ignoreCase)) continue;
    std::string full = folder;
    if (!full.empty() && full.back() != '/') full += '/';
    if (FileExists(full + name)) names.push_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

std::string CurrentDirectory() {
  char buffer[PATH_MAX];
  return ::getcwd(buffer, sizeof buffer) ? buffer : "";
}

bool ChangeDirectory(const std::string& path) { return ::chdir(path.c_str()) == 0; }

std::string ExecutablePath() {
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : "";
}

char PathSeparator() { return '/'; }
char PathListSeparator() { return ':'; }

}  // namespace skelvane::platform

#endif
