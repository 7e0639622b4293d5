// The macro list's lines and command 95. The dialog itself is the host's (a window of
// its own in the editor; batch mode cancels it).
#include "macro/MacroList.h"

#include "editing/EditActions.h"
#include "editing/EditWindow.h"
#include "editing/MacroCommands.h"
#include "platform/Host.h"

#include <algorithm>
#include <cctype>

namespace varlin {
namespace {

bool ListBoxOrder(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

void AddLines(std::vector<std::string>& lines, const MacroCommand* table) {
    if (table == nullptr) return;
    for (const MacroCommand* e = table; e->Name != nullptr; ++e)
        if (e->Signature != nullptr) lines.push_back(MacroListLine(*e));
}

}  // namespace

std::string MacroListLine(const MacroCommand& entry) {
    std::string line = std::string(entry.Name) + " (" + (entry.ArgNames ? entry.ArgNames : "") + ")";
    if (line.size() > kMacroListLineSize - 1) line.resize(kMacroListLineSize - 1);
    return line;
}

std::vector<std::string> MacroListLines(const MacroCommand* editorTable,
                                        const MacroCommand* internalTable) {
    std::vector<std::string> lines;
    AddLines(lines, editorTable);
    AddLines(lines, internalTable);
    std::stable_sort(lines.begin(), lines.end(), ListBoxOrder);
    return lines;
}

void TakeMacroListLine(MacroListRequest& request, const std::string& line) {
    request.text = line.size() < kMacroListTextSize - 1 ? line : std::string();
}

int CommandMacroList() {
    MacroListRequest request;
    request.lines = MacroListLines(MacroCommandTable(),
                                   Get_MacroLib_InternalFunctionList(MACROLIB_VERSION));
    request.canTake = ActiveEditWindow() != nullptr;
    if (HostRunDialog(DialogId::MacroList, &request) != 1) return 0;
    // The window may have gone while the dialog was open.
    EditWindow* w = ActiveEditWindow();
    if (w == nullptr) return 0;
    for (char c : request.text) InsertChar(*w, static_cast<unsigned char>(c));
    return 0;
}

}  // namespace varlin
