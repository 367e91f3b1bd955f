// The parts of the platform layer that are the same everywhere.
#include "common/platform.h"

#include <algorithm>

#include "common/text.h"

namespace skelvane::platform {

TDynamicLibrary::TDynamicLibrary(TDynamicLibrary&& other) noexcept
    : handle_(other.handle_), loaderMessage_(std::move(other.loaderMessage_)) {
  other.handle_ = nullptr;
}

TDynamicLibrary& TDynamicLibrary::operator=(TDynamicLibrary&& other) noexcept {
  if (this != &other) {
    Free();
    handle_ = other.handle_;
    loaderMessage_ = std::move(other.loaderMessage_);
    other.handle_ = nullptr;
  }
  return *this;
}

TDynamicLibrary::~TDynamicLibrary() { Free(); }

namespace {

char Fold(char c, bool ignoreCase) {
  return (ignoreCase && c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name, bool ignoreCase) {
  // Iterative match with one backtrack point: linear enough for file names.
  size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || Fold(pattern[p], ignoreCase) == Fold(name[n], ignoreCase))) {
      ++p;
      ++n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<std::string>& ProcessParameters() {
  static std::vector<std::string> parameters;
  return parameters;
}

void SetProcessParameters(int argc, const char* const* argv) {
  auto& parameters = ProcessParameters();
  parameters.clear();
  for (int i = 1; i < argc; ++i) parameters.emplace_back(argv[i] ? argv[i] : "");
}

std::string ParameterValue(const std::vector<std::string>& parameters, const std::string& name) {
  const std::string wanted = AnsiUpperCase(name) + "=";
  for (const auto& parameter : parameters) {
    const size_t at = AnsiUpperCase(parameter).find(wanted);
    if (at == std::string::npos) continue;
    return parameter.substr(at + wanted.size(), 255);
  }
  return {};
}

std::string ProcessParameterValue(const std::string& name) {
  return ParameterValue(ProcessParameters(), name);
}

}  // namespace skelvane::platform
