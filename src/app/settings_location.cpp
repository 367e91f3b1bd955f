#include "app/settings_location.h"

#include "app/main_form.h"
#include "common/platform.h"

namespace skelvane {

std::string SettingsFilePath(const std::string& exeName) {
  const std::string portable = SettingsFileNameFor(exeName);
#ifdef _WIN32
  return portable;
#else
  if (platform::FileExists(portable)) return portable;
  const std::string xdg = platform::GetEnv("XDG_CONFIG_HOME");
  if (!xdg.empty() && xdg.front() == '/') return xdg + "/skelvane/skelvane.ini";
  const std::string home = platform::GetEnv("HOME");
  if (!home.empty()) return home + "/.config/skelvane/skelvane.ini";
  return portable;
#endif
}

}  // namespace skelvane
