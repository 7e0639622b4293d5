// The record of the browse-and-open dialog: where it searches (a folder with a wildcard
// pattern, kept under "LastUsed"/"OpenFile" like the open dialog's last folder), what it
// searches for and how (its own values under "Find", beside but apart from the find
// dialog's six), and, after OK, the names the user chose, in order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varlin {

struct BrowseOpenRecord {
    std::string path;                 // folder and pattern: "/src/*.cpp"
    std::string filter;               // FileNameFilter: the choices offered for the pattern
    std::string searchText;           // "Find"/"BrowseText", at most 255 bytes
    std::int32_t subfolders = 1;      // "Find"/"BrowseSubfolders"
    std::int32_t capsSens = 0;        // "Find"/"BrowseCapsSens"
    std::int32_t expandEscapes = 0;   // "Find"/"BrowseEscapes"
    std::int32_t regex = 0;           // "Find"/"BrowseRegex": the text is a regular expression
    int codeTable = 2;                // the documents' code table, for the comparison
    std::vector<std::string> chosen;  // set by the dialog when it closes with OK
};

// Fills the stored fields: the search values from "Find" (missing or malformed ones give
// the defaults) and the path from "LastUsed"/"OpenFile" turned into a pattern for the
// files like the last one opened (a remembered folder gives "folder/*.*").
void LoadBrowseOpen(BrowseOpenRecord& record);
// Writes them back, the path to "LastUsed"/"OpenFile"; false when the store failed.
bool StoreBrowseOpen(const BrowseOpenRecord& record);

// The path's folder and pattern ("/src/*.cpp" -> "/src", "*.cpp"); a path without a
// folder part has the folder "".
void SplitBrowsePath(const std::string& path, std::string& folder, std::string& pattern);
std::string JoinBrowsePath(const std::string& folder, const std::string& pattern);

}  // namespace varlin
