// The program's data and user folders, found from where the binary is.
#include "platform/ProgramFolders.h"

#include <filesystem>
#include <system_error>

namespace varlin {

ProgramFolders FindProgramFolders(const std::string& binaryDirectory, const std::string& markerFile,
                                  const std::string& installedDataDirectory,
                                  const std::string& settingsFileName) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path binary(binaryDirectory);
    if (fs::is_regular_file(binary / markerFile, error)) return {binaryDirectory, binaryDirectory};
    const fs::path installed = (binary / installedDataDirectory).lexically_normal();
    if (installedDataDirectory.empty() || !fs::is_regular_file(installed / markerFile, error))
        return {binaryDirectory, binaryDirectory};
    std::string data = installed.string();
    if (data.size() > 1 && data.back() == '/') data.pop_back();
    const std::string user = fs::path(settingsFileName).parent_path().string();
    return {data, user.empty() ? data : user};
}

}  // namespace varlin
