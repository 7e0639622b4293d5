// Where the user's own settings file lives on Linux, worked out without Qt: the place
// QSettings("Korvel Software", "Varlin") has always used there, so that batch mode, which
// runs with the core alone, reads and writes the same file as the editor's windows.
#pragma once

#include <string>

namespace varlin {

// $XDG_CONFIG_HOME when it is an absolute path (else $HOME/.config; without HOME the
// user's home folder from the user database, "/" when there is none), then
// "Korvel Software/Varlin.conf"; cleaned of ".", ".." and doubled slashes.
std::string UserSettingsPath();

// path made absolute against `folder` and cleaned as above.
std::string CleanAbsolutePath(const std::string& path, const std::string& folder);

}  // namespace varlin
