// The operating system as the rest of the system sees it: dynamic libraries,
// environment variables, files and folders, the executable and the process's
// command-line parameters. Everything platform-specific stays behind this
// header (and platform_registry.h).
#ifndef SKELVANE_COMMON_PLATFORM_H
#define SKELVANE_COMMON_PLATFORM_H

#include <cstdint>
#include <string>
#include <vector>

namespace skelvane::platform {

// A loaded dynamic library; unloaded when the object goes away or Free() is
// called. Move-only.
class TDynamicLibrary {
 public:
  TDynamicLibrary() = default;
  ~TDynamicLibrary();
  TDynamicLibrary(TDynamicLibrary&& other) noexcept;
  TDynamicLibrary& operator=(TDynamicLibrary&& other) noexcept;
  TDynamicLibrary(const TDynamicLibrary&) = delete;
  TDynamicLibrary& operator=(const TDynamicLibrary&) = delete;

  // Loads `path` (a bare name goes through the system loader's search).
  // On failure the result is not Loaded() and LoaderMessage() says why.
  static TDynamicLibrary Open(const std::string& path);

  bool Loaded() const { return handle_ != nullptr; }
  // The address of an exported name, or nullptr.
  void* Symbol(const std::string& name) const;
  void Free();
  // The handle as a number (0 when nothing is loaded), for trace lines.
  std::uintptr_t HandleValue() const { return reinterpret_cast<std::uintptr_t>(handle_); }
  const std::string& LoaderMessage() const { return loaderMessage_; }

 private:
  void* handle_ = nullptr;
  std::string loaderMessage_;
};

// Environment. A variable that is not set reads as the empty text.
std::string GetEnv(const std::string& name);
bool EnvIsSet(const std::string& name);
void SetEnv(const std::string& name, const std::string& value);
void UnsetEnv(const std::string& name);

// Files and folders.
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Names (not paths) of the plain files in `folder` that match `pattern`
// ('*' any run, '?' one character), sorted by name. Folders are skipped.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern,
                                   bool ignoreCase);
bool WildcardMatch(const std::string& pattern, const std::string& name, bool ignoreCase);
std::string CurrentDirectory();
bool ChangeDirectory(const std::string& path);

// The running executable's full path.
std::string ExecutablePath();

// The native path separator and the separator of search-path lists.
char PathSeparator();
char PathListSeparator();

// The process's command-line parameters without the program name. `main`
// fills them (tests set them directly); nothing else writes them.
std::vector<std::string>& ProcessParameters();
void SetProcessParameters(int argc, const char* const* argv);

// The value of the first parameter that contains NAME "=" (letter case
// ignored): the text after that "=", at most 255 characters. Empty when no
// parameter matches.
std::string ParameterValue(const std::vector<std::string>& parameters, const std::string& name);
std::string ProcessParameterValue(const std::string& name);

}  // namespace skelvane::platform

#endif
