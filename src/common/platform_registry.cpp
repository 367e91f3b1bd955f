#include "common/platform_registry.h"

#include "common/text.h"

namespace skelvane::platform {

void TMemoryRegistry::AddKey(const std::string& key) {
  // Parents exist implicitly in a real registry; make them enumerable here.
  size_t at = 0;
  while (true) {
    at = key.find('\\', at);
    const std::string prefix = key.substr(0, at);
    auto& entry = keys_[AnsiUpperCase(prefix)];
    if (entry.name.empty()) entry.name = prefix;
    if (at == std::string::npos) break;
    ++at;
  }
}

void TMemoryRegistry::SetString(const std::string& key, const std::string& value,
                               const std::string& data) {
  AddKey(key);
  keys_[AnsiUpperCase(key)].values[AnsiUpperCase(value)] = data;
}

std::string TMemoryRegistry::ReadString(const std::string& key, const std::string& value) const {
  const auto k = keys_.find(AnsiUpperCase(key));
  if (k == keys_.end()) return {};
  const auto v = k->second.values.find(AnsiUpperCase(value));
  return v == k->second.values.end() ? std::string() : v->second;
}

std::vector<std::string> TMemoryRegistry::SubKeys(const std::string& key) const {
  std::vector<std::string> names;
  const std::string prefix = AnsiUpperCase(key) + "\\";
  for (const auto& [upper, entry] : keys_) {
    if (upper.size() <= prefix.size() || upper.compare(0, prefix.size(), prefix) != 0) continue;
    if (upper.find('\\', prefix.size()) != std::string::npos) continue;  // grandchild
    names.push_back(entry.name.substr(prefix.size()));
  }
  return names;
}

const TRegistryReader& SystemRegistry() {
#ifdef _WIN32
  static const TWindowsRegistry registry;
#else
  static const TEmptyRegistry registry;
#endif
  return registry;
}

}  // namespace skelvane::platform
