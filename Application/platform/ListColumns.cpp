// Parsing a list view's column text.
#include "platform/ListColumns.h"

#include "platform/DialogHelpers.h"

namespace varlin {

std::vector<ListColumn> ParseListColumns(const std::string& columnsText) {
    std::vector<ListColumn> columns;
    std::size_t start = 0;
    while (start <= columnsText.size()) {
        std::size_t end = columnsText.find('\t', start);
        if (end == std::string::npos) end = columnsText.size();
        const std::string part = columnsText.substr(start, end - start);
        if (!part.empty()) {
            ListColumn column;
            const std::size_t bar = part.find('|');
            column.title = part.substr(0, bar);
            long long width = 0;
            if (bar != std::string::npos && ParseStrictNumber(part.substr(bar + 1), 0, 10000, width))
                column.width = int(width);
            columns.push_back(column);
        }
        start = end + 1;
    }
    return columns;
}

}  // namespace varlin
