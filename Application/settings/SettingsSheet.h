// The settings sheet's core: what each page shows and where its values go, as tables
// (check boxes, radio groups with their value tables, number fields with their bounds,
// colour rows), the filter list as rows, and what applying and closing the sheet do.
// The Qt sheet builds its pages from these tables, so an option gains its control by a
// row here.
#pragma once

#include "platform/DialogHelpers.h"
#include "settings/Options.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace varlin {

using OptionField = std::int32_t Options::*;

// One control of a page that maps to an option: a check box (ticked 1, else 0), a
// number field (refused outside [lowest, highest]) or a radio button of its group.
enum class SheetControlKind { Check, Number, Radio };
struct SheetControl {
    SheetControlKind kind;
    int id;        // control id (the widget's objectName)
    int textId;    // string id of its text or label, 0 for none
    OptionField field = nullptr;  // radio buttons: the group's field
    int lowest = 0;
    int highest = 0;
};

// A group box of a page and its controls, in screen order. A radio group maps the ids
// of its buttons to option values through radioTable.
struct SheetGroup {
    int groupId;   // control id of the group box, 0 when it has none
    int titleId;
    std::vector<SheetControl> controls;
    const LookupEntry* radioTable = nullptr;
    OptionField radioField = nullptr;
};

// One colour row of the colour page.
struct SheetColorRow {
    int labelId;
    int redId, greenId, blueId;
    int sampleId;
    int changeId;
    Color Options::*field;
};

const std::vector<SheetGroup>& GeneralPageGroups();  // page "&Einstellungen"
const std::vector<SheetGroup>& ViewPageGroups();     // page "&Ansicht"
const std::vector<SheetColorRow>& ColorRows();       // page "&Farben"

// The radio id for an option value (-1 when the table holds none), and the value of
// the group read back from the first checked id (the first button's when none is).
int RadioForValue(const SheetGroup& group, int value);
int ValueForRadio(const SheetGroup& group, int checkedId);

// Colour fields accept 0 to 999; each component keeps its low 8 bits (300 gives 44).
constexpr int kColorFieldLowest = 0;
constexpr int kColorFieldHighest = 999;

// Whether a number field's text is acceptable ("" and text that is not a whole number
// are not); the range text of the message that refuses it ("2 - 1000").
bool NumberTextAcceptable(const std::string& text, int lowest, int highest);
std::string RangeText(int lowest, int highest);
// Shows that a field's text was refused (message 1230 with the range).
void ShowNumberRefused(int lowest, int highest);

// The filter list as rows of description and pattern.
struct FilterRow {
    std::string description;
    std::string pattern;
};
constexpr int kFilterFieldLength = 99;    // characters of a description or a pattern
constexpr int kFilterListLength = 499;    // bytes of the whole stored list

// FileNameFilter as rows: tokens between "|" (each cut at 99 characters, empty ones
// count), two tokens to a row; a description without its pattern at the end is dropped.
std::vector<FilterRow> ParseFilterList(const std::string& text);
// The rows as "desc|pattern|" in order, as many whole rows as fit in 499 bytes; *stored
// (if given) receives how many rows were taken.
std::string JoinFilterList(const std::vector<FilterRow>& rows, int* stored = nullptr);
// Why a new row cannot be added: 0 when it can, else the message id (1231 for a "|" in a
// field, 1232 when the list would pass its length).
int FilterRowProblem(const std::vector<FilterRow>& rows, const FilterRow& added);

// The record that the host's settings dialog works on.
struct SettingsSheetRecord {
    Options* options = nullptr;
    // Repaints every document window that is not minimised (after an apply and when the
    // sheet closes, since "Ändern..." changes a colour at once).
    std::function<void()> repaintDocuments;
    std::function<void()> refreshStatus;
    // The options were applied; before holds them as they were (the windows' positions
    // follow a new margin or tab distance).
    std::function<void(const Options& before)> optionsChanged;
};

// What the sheet does once the shown pages were read into the options (which held
// before until then): stores them (message 1024 naming the settings file when that
// failed; the old file stays whole), lets the windows follow and repaints them. Returns
// whether the store succeeded.
bool ApplySettings(SettingsSheetRecord& record, const Options& before);

// Command 73: runs the sheet on record.options through the host, then repaints the
// windows and refreshes the status line. Returns the dialog's result.
int EditOptions(SettingsSheetRecord record);

}  // namespace varlin
