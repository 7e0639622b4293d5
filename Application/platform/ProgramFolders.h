// Where the program finds the files it ships and where it puts the files it writes on its
// own account. Run from its build folder, or from any folder that holds its data beside it,
// the program uses that one folder for both, as it always has. Installed (bin/varlin with
// its data in share/varlin) it reads the shipped files from the shared data folder and
// writes its own into the user's settings folder, since a user may write into neither.
#pragma once

#include <string>

namespace varlin {

struct ProgramFolders {
    std::string data;   // the shipped files: the standard button set
    std::string user;   // the files made by default: the current button set
};

// The folders for a program in binaryDirectory. markerFile names a file that is always
// shipped; installedDataDirectory is the data folder relative to the binary's folder when
// installed ("../share/varlin"); settingsFileName is the user's settings file, whose
// folder takes the user's files of an installed program. Where the marker is in neither
// place the binary's folder is used for both (the program then falls back on what it has
// built in).
ProgramFolders FindProgramFolders(const std::string& binaryDirectory, const std::string& markerFile,
                                  const std::string& installedDataDirectory,
                                  const std::string& settingsFileName);

}  // namespace varlin
