// Button sets and their files.
#include "frame/ButtonSet.h"

#include "document/SafeWrite.h"
#include "platform/FileNames.h"
#include "platform/Registry.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>

namespace varlin {
namespace {

constexpr std::string_view kHeader = "VarlinButtons 1";
constexpr const char* kButtonsKey = "Buttons";
// A button file is a short list; anything much larger is not one of ours.
constexpr std::streamoff kMaxButtonFileSize = 1 << 20;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool ParseId(std::string_view text, int& id) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    return error == std::errc() && end == text.data() + text.size() && id > 0;
}

// One line of a set; false for lines that are skipped.
bool ParseLine(std::string_view line, ButtonSpec& entry) {
    std::size_t blank = line.find_first_of(" \t");
    std::string_view word = line.substr(0, blank);
    std::string_view rest = blank == std::string_view::npos ? std::string_view() : Trim(line.substr(blank));
    if (word == "separator" && rest.empty()) {
        entry = {ButtonKind::Separator, 0, {}};
        return true;
    }
    int id = 0;
    if (word == "button" && ParseId(rest, id)) {
        entry = {ButtonKind::Command, id, {}};
        return true;
    }
    if (word == "control" && ParseId(rest, id) && id == kRoutineListControl) {
        entry = {ButtonKind::Control, id, {}};
        return true;
    }
    if (word == "macro" && !rest.empty()) {
        entry = {ButtonKind::Macro, 0, std::string(rest)};
        return true;
    }
    return false;
}

bool HasControl(const ButtonSet& set, int id) {
    return std::any_of(set.buttons.begin(), set.buttons.end(), [id](const ButtonSpec& b) {
        return b.kind == ButtonKind::Control && b.id == id;
    });
}

}  // namespace

const std::vector<int>& CommandsWithImages() {
    static const std::vector<int> ids = {11, 12, 13, 15, 16, 18, 19, 31, 33, 34, 35, 36, 37,
                                         38, 39, 40, 41, 42, 81, 212, 213, 216, 217, 401, 402};
    return ids;
}

bool HasButtonImage(int commandId) {
    const auto& ids = CommandsWithImages();
    return std::find(ids.begin(), ids.end(), commandId) != ids.end();
}

bool ParseButtonSet(std::string_view text, ButtonSet& set) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a UTF-8 mark from an editor
    std::size_t end = text.find('\n');
    if (Trim(text.substr(0, end)) != kHeader) return false;
    ButtonSet read;
    while (end != std::string_view::npos) {
        std::size_t start = end + 1;
        end = text.find('\n', start);
        std::string_view line = Trim(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        ButtonSpec entry;
        if (!ParseLine(line, entry)) continue;
        // The routine list exists once; a second one would be a second window of it.
        if (entry.kind == ButtonKind::Control && HasControl(read, entry.id)) continue;
        read.buttons.push_back(std::move(entry));
    }
    set = std::move(read);
    return true;
}

std::string FormatButtonSet(const ButtonSet& set) {
    std::string text(kHeader);
    text += '\n';
    for (const ButtonSpec& b : set.buttons) {
        switch (b.kind) {
        case ButtonKind::Command: text += "button " + std::to_string(b.id); break;
        case ButtonKind::Control: text += "control " + std::to_string(b.id); break;
        case ButtonKind::Separator: text += "separator"; break;
        case ButtonKind::Macro:
            // A name with a line break cannot be written back; such a button is dropped.
            if (b.macroFile.find_first_of("\r\n") != std::string::npos || Trim(b.macroFile).empty()) continue;
            text += "macro " + b.macroFile;
            break;
        }
        text += '\n';
    }
    return text;
}

bool ReadButtonFile(const std::string& path, ButtonSet& set) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxButtonFileSize) return false;
    in.seekg(0);
    std::string text(std::size_t(size), '\0');
    if (!in.read(text.data(), size)) return false;
    return ParseButtonSet(text, set);
}

bool WriteButtonFile(const std::string& path, const ButtonSet& set) {
    const std::string text = FormatButtonSet(set);
    return WriteFileSafely(path, [&text](ByteSink& sink) { return sink.Write(text.data(), text.size()); }) == 0;
}

ButtonSet BuiltInButtonSet() {
    // The same buttons as stdbutt.vlb (a test keeps the two alike).
    static constexpr std::string_view kStandard =
        "VarlinButtons 1\n"
        "button 11\nbutton 12\nbutton 13\nbutton 15\nseparator\n"
        "button 16\nseparator\n"
        "button 31\nbutton 402\nbutton 33\nbutton 34\nbutton 35\nseparator\n"
        "button 36\nbutton 37\nbutton 38\nseparator\n"
        "button 39\nbutton 40\nbutton 41\nbutton 42\nseparator\n"
        "button 212\nbutton 213\nbutton 216\nbutton 217\ncontrol 300\nseparator\n"
        "button 81\nbutton 401\nseparator\n"
        "button 18\nbutton 19\n";
    ButtonSet set;
    ParseButtonSet(kStandard, set);
    return set;
}

std::string StandardButtonFilePath(const std::string& programDirectory) {
    return Korvel_Assemble_FileName(programDirectory, "stdbutt", "vlb");
}

std::string DefaultCurrentButtonFilePath(const std::string& userDirectory) {
    return Korvel_Assemble_FileName(userDirectory, "CurrentButtons", "vlb");
}

std::string CurrentButtonFilePath(const std::string& userDirectory) {
    std::string path = Korvel_ReadStringFromHKCU(kButtonsKey, "CurrentButtons", "", 512);
    return path.empty() ? DefaultCurrentButtonFilePath(userDirectory) : path;
}

bool SaveCurrentButtonFilePath(const std::string& path) {
    return Korvel_WriteStringToHKCU(kButtonsKey, "CurrentButtons", path);
}

ButtonSet LoadCurrentButtonSet(const std::string& programDirectory, const std::string& userDirectory) {
    ButtonSet set;
    if (ReadButtonFile(CurrentButtonFilePath(userDirectory), set)) return set;
    if (ReadButtonFile(StandardButtonFilePath(programDirectory), set)) return set;
    return BuiltInButtonSet();
}

int LoadButtonsLocation() {
    int location = Korvel_ReadLongFromHKCU(kButtonsKey, "Location", kButtonsTop);
    return location >= kButtonsLeft && location <= kButtonsBottom ? location : kButtonsHidden;
}

bool SaveButtonsLocation(int location) {
    return Korvel_WriteLongToHKCU(kButtonsKey, "Location", location);
}

}  // namespace varlin
