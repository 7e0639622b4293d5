// The columns of a list view as the string table describes them: columns separated by
// tabs, each a title and a width in pixels separated by "|" ("Taste|100\tMakrodatei|300").
#pragma once

#include <string>
#include <vector>

namespace varlin {

struct ListColumn {
    std::string title;
    int width = 0;   // 0 when the text gives none or no number
};

std::vector<ListColumn> ParseListColumns(const std::string& columnsText);

}  // namespace varlin
