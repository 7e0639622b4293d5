// The rows, buttons and changes of the key assignment dialog.
#include "frame/KeyAssignment.h"

#include "Interpreter/MacroLib.h"
#include "macro/LearnCommands.h"
#include "platform/Host.h"
#include "resources/StringTable.h"

#include <vector>

namespace varlin {
namespace {

bool ValidRow(const KeyTable& table, int row) {
    return row >= 0 && row < int(table.entries.size());
}

}  // namespace

KeyRowTexts KeyRow(const KeyTable& table, const std::string& prefixName, int row) {
    KeyRowTexts texts;
    if (!ValidRow(table, row)) return texts;
    const KeyEntry& entry = table.entries[std::size_t(row)];
    texts.key = prefixName + ' ' + char(entry.key);
    if (!HasMacroFile(entry)) {
        // A key bound to a command (ACTION= in the store) says which, with its help text.
        if (entry.commandId > 0) {
            std::string format = LoadAppString(kKeyCommandText);
            const std::size_t at = format.find("%s");
            if (at != std::string::npos) format.replace(at, 2, std::to_string(entry.commandId));
            texts.file = format;
            texts.description = LoadAppString(entry.commandId);
        }
        return texts;
    }
    texts.file = entry.macroFile;
    char description[kMacroDescriptionSize];
    if (Get_MacroHeader(entry.macroFile.c_str(), description, sizeof description) >= 0)
        texts.description = description;
    return texts;
}

bool CanAssignRow(const KeyTable& table, int row) { return ValidRow(table, row); }

bool CanClearRow(const KeyTable& table, int row) {
    return ValidRow(table, row) && HasMacroFile(table.entries[std::size_t(row)]);
}

bool AssignMacroToRow(KeyTable& table, int row) {
    if (!ValidRow(table, row)) return false;
    FileDialogRequest request;
    request.mode = FileDialogMode::Open;
    request.titleId = kMacroFileTitle;
    request.filter = LoadAppString(kMacroFilter);
    request.registryValue = "MacroFile";
    std::vector<std::string> names;
    if (!HostAskFileNames(request, names) || names.empty() || names.front().empty()) return false;
    table.entries[std::size_t(row)].macroFile = names.front();
    return true;
}

void ClearRow(KeyTable& table, int row) {
    if (!ValidRow(table, row)) return;
    KeyEntry& entry = table.entries[std::size_t(row)];
    entry.macroFile.clear();
    entry.commandId = -1;
}

int EditKeyTable(KeyTable& table, const std::string& prefixName) {
    KeyAssignmentRecord record{&table, prefixName};
    return HostRunDialog(DialogId::KeyTable, &record);
}

int CommandAssignKeys(KeyTable& f3Keys) {
    EditKeyTable(f3Keys, f3Keys.name);
    return 0;
}

}  // namespace varlin
