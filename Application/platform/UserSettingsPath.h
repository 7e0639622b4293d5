// Where the user's own settings file lives on Linux, worked out without Qt: the place
// QSettings("Korvel Software", "Varlin") has always used there, so that batch mode, which
// runs with the core alone, reads and writes the same file as the editor's windows.
#pragma once

#include <string>

namespace varlin {

// $XDG_CONFIG_HOME (else $HOME/.config, "/" standing for an empty HOME), then
// "Korvel Software/Varlin.conf"; made absolute against the current folder and cleaned of
// ".", ".." and doubled slashes.
std::string UserSettingsPath();

// path made absolute against `folder` and cleaned as above.
std::string CleanAbsolutePath(const std::string& path, const std::string& folder);

}  // namespace varlin
