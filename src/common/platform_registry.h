// Read-only access to the Windows registry under HKEY_LOCAL_MACHINE, behind
// an interface so that the Oracle home rules can run against an in-memory
// registry in tests and against an empty one where there is no registry.
#ifndef SKELVANE_COMMON_PLATFORM_REGISTRY_H
#define SKELVANE_COMMON_PLATFORM_REGISTRY_H

#include <map>
#include <string>
#include <vector>

namespace skelvane::platform {

class TRegistryReader {
 public:
  virtual ~TRegistryReader() = default;
  // A string value under HKLM\key; a missing key or value reads as "".
  virtual std::string ReadString(const std::string& key, const std::string& value) const = 0;
  // Names of the direct subkeys of HKLM\key; empty when the key is missing.
  virtual std::vector<std::string> SubKeys(const std::string& key) const = 0;
};

// Every read is empty: platforms without a registry.
class TEmptyRegistry final : public TRegistryReader {
 public:
  std::string ReadString(const std::string&, const std::string&) const override { return {}; }
  std::vector<std::string> SubKeys(const std::string&) const override { return {}; }
};

// A registry held in memory. Key and value names ignore letter case, as on
// Windows; keys are written with "\" between levels.
class TMemoryRegistry final : public TRegistryReader {
 public:
  void SetString(const std::string& key, const std::string& value, const std::string& data);
  // Creates the key (and its parents) without values.
  void AddKey(const std::string& key);
  std::string ReadString(const std::string& key, const std::string& value) const override;
  std::vector<std::string> SubKeys(const std::string& key) const override;

 private:
  struct TKey {
    std::string name;  // as written, for SubKeys
    std::map<std::string, std::string> values;  // upper-cased value name -> data
  };
  std::map<std::string, TKey> keys_;  // upper-cased full key -> key
};

#ifdef _WIN32
class TWindowsRegistry final : public TRegistryReader {
 public:
  std::string ReadString(const std::string& key, const std::string& value) const override;
  std::vector<std::string> SubKeys(const std::string& key) const override;
};
#endif

// The machine's registry: the Windows one on Windows, an empty one elsewhere.
const TRegistryReader& SystemRegistry();

}  // namespace skelvane::platform

#endif
