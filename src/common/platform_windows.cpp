// The platform layer on Windows (ANSI calls: texts stay 8-bit bytes).
#ifdef _WIN32

#include <windows.h>

#include <stdlib.h>

#include <algorithm>

#include "common/platform.h"
#include "common/platform_registry.h"

namespace skelvane::platform {

TDynamicLibrary TDynamicLibrary::Open(const std::string& path) {
  TDynamicLibrary library;
  library.handle_ = reinterpret_cast<void*>(::LoadLibraryA(path.c_str()));
  if (!library.handle_) library.loaderMessage_ = "error " + std::to_string(::GetLastError());
  return library;
}

void* TDynamicLibrary::Symbol(const std::string& name) const {
  if (!handle_) return nullptr;
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name.c_str()));
}

void TDynamicLibrary::Free() {
  if (handle_) {
    ::FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
  }
}

std::string GetEnv(const std::string& name) {
  const DWORD needed = ::GetEnvironmentVariableA(name.c_str(), nullptr, 0);
  if (needed == 0) return {};
  std::string value(needed, '\0');
  const DWORD length = ::GetEnvironmentVariableA(name.c_str(), value.data(), needed);
  value.resize(length < needed ? length : 0);
  return value;
}

bool EnvIsSet(const std::string& name) {
  return ::GetEnvironmentVariableA(name.c_str(), nullptr, 0) != 0 ||
         ::GetLastError() != ERROR_ENVVAR_NOT_FOUND;
}

// The C runtime keeps its own copy of the environment, which getenv reads
// (so does a client library loaded later); both copies are changed.
void SetEnv(const std::string& name, const std::string& value) {
  // An empty value removes the variable from the runtime's copy, the only
  // way it has to say "empty"; the system's copy keeps it, set and empty.
  ::_putenv_s(name.c_str(), value.c_str());
  ::SetEnvironmentVariableA(name.c_str(), value.c_str());
}

void UnsetEnv(const std::string& name) {
  ::_putenv_s(name.c_str(), "");
  ::SetEnvironmentVariableA(name.c_str(), nullptr);
}

bool FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern,
                                   bool ignoreCase) {
  std::vector<std::string> names;
  std::string base = folder;
  if (!base.empty() && base.back() != '\\' && base.back() != '/' && base.back() != ':') base += '\\';
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((base + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (WildcardMatch(pattern, data.cFileName, ignoreCase)) names.emplace_back(data.cFileName);
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

std::string CurrentDirectory() {
  char buffer[MAX_PATH + 1];
  const DWORD length = ::GetCurrentDirectoryA(sizeof buffer, buffer);
  return (length > 0 && length < sizeof buffer) ? std::string(buffer, length) : std::string();
}

bool ChangeDirectory(const std::string& path) { return ::SetCurrentDirectoryA(path.c_str()) != 0; }

std::string ExecutablePath() {
  char buffer[MAX_PATH + 1];
  const DWORD length = ::GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  return (length > 0 && length < sizeof buffer) ? std::string(buffer, length) : std::string();
}

char PathSeparator() { return '\\'; }
char PathListSeparator() { return ';'; }

std::string TWindowsRegistry::ReadString(const std::string& key, const std::string& value) const {
  HKEY handle;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return {};
  std::string result;
  DWORD type = 0, size = 0;
  if (::RegQueryValueExA(handle, value.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
    std::string buffer(size, '\0');
    if (::RegQueryValueExA(handle, value.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(buffer.data()), &size) == ERROR_SUCCESS) {
      buffer.resize(std::min<size_t>(size, buffer.size()));
      while (!buffer.empty() && buffer.back() == '\0') buffer.pop_back();
      result = buffer;
    }
  }
  ::RegCloseKey(handle);
  return result;
}

std::vector<std::string> TWindowsRegistry::SubKeys(const std::string& key) const {
  std::vector<std::string> names;
  HKEY handle;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return names;
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    const LONG rc = ::RegEnumKeyExA(handle, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  ::RegCloseKey(handle);
  return names;
}

}  // namespace skelvane::platform

#endif
