// ButtonSet: which buttons stand on the toolbar and in what order: command buttons,
// buttons that run a macro file, the routine list (control 300) and separators. A set
// is kept in a button file (*.vlb, a line-oriented text format described in
// docs/button-files.md): the standard set "stdbutt.vlb" in the program's data folder, and
// the user's current set, whose path is the value "Buttons"/"CurrentButtons".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varlin {

enum class ButtonKind { Command, Macro, Control, Separator };

struct ButtonSpec {
    ButtonKind kind = ButtonKind::Separator;
    int id = 0;              // CommandId, or the control id (300)
    std::string macroFile;   // for Macro buttons

    bool operator==(const ButtonSpec&) const = default;
};

struct ButtonSet {
    std::vector<ButtonSpec> buttons;
    bool operator==(const ButtonSet&) const = default;
};

constexpr int kRoutineListControl = 300;
constexpr int kRoutineListLabelId = 1711;   // "korvform", its name in the button editor
constexpr int kRoutineListNameId = 1712;    // "Liste der Unterprogramme", its name for screen readers

// Where the toolbar stands (value "Buttons"/"Location"); other values hide it.
enum ButtonsLocation : int {
    kButtonsHidden = 0, kButtonsLeft = 1, kButtonsRight = 2, kButtonsTop = 3, kButtonsBottom = 4,
};

// The commands the program carries a button image for.
bool HasButtonImage(int commandId);
const std::vector<int>& CommandsWithImages();

// Reads a set from the text of a button file. Unknown or malformed lines are skipped;
// false when the text does not start with the file's header line.
bool ParseButtonSet(std::string_view text, ButtonSet& set);
std::string FormatButtonSet(const ButtonSet& set);

// File forms: false (set untouched) when the file cannot be read or is no button file.
bool ReadButtonFile(const std::string& path, ButtonSet& set);
// Replaces the file safely; on failure shows the file-error message and returns false.
bool WriteButtonFile(const std::string& path, const ButtonSet& set);

// The set the program falls back on when neither file can be read (stdbutt.vlb's content).
ButtonSet BuiltInButtonSet();

// "stdbutt.vlb" in the program's folder, and the default "CurrentButtons.vlb" in the
// user's folder (the same folder in a build folder; see ProgramFolders).
std::string StandardButtonFilePath(const std::string& programDirectory);
std::string DefaultCurrentButtonFilePath(const std::string& userDirectory);
// The current set's path: "Buttons"/"CurrentButtons", or the default.
std::string CurrentButtonFilePath(const std::string& userDirectory);
bool SaveCurrentButtonFilePath(const std::string& path);

// The current set: the current file, else the standard file, else the built-in set.
ButtonSet LoadCurrentButtonSet(const std::string& programDirectory, const std::string& userDirectory);

int LoadButtonsLocation();
bool SaveButtonsLocation(int location);

}  // namespace varlin
