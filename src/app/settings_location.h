// Where the settings file lives: beside the executable when a portable
// "<executable>.ini" is already there, otherwise in the user's configuration
// folder, since an installed executable's folder is not writable.
#ifndef SKELVANE_APP_SETTINGS_LOCATION_H
#define SKELVANE_APP_SETTINGS_LOCATION_H

#include <string>

namespace skelvane {

// `exeName`: the full path of the running executable. On Windows always the
// executable's name with ".ini". Elsewhere the portable file when it exists,
// else $XDG_CONFIG_HOME/skelvane/skelvane.ini (an absolute XDG_CONFIG_HOME
// only), else $HOME/.config/skelvane/skelvane.ini, else the portable name.
std::string SettingsFilePath(const std::string& exeName);

}  // namespace skelvane

#endif
