// The settings sheet's tables and the rules that need no window: radio value tables,
// the bounds of the number fields, the filter list as rows, applying and closing.
#include "settings/SettingsSheet.h"

#include "platform/Host.h"
#include "platform/Messages.h"
#include "platform/Registry.h"

namespace varlin {
namespace {

// String ids of the sheet's texts.
enum : int {
    kWorkModeGroup = 3210, kIndentText, kAutoOpenText, kInsertText, kAutoDelDragText,
    kBufferGroup, kLineBufferText, kLockingGroup, kLockText, kCodeGroup, kAsciiText, kAnsiText,
    kUndoGroup, kUndoStepsText, kDetectUtf8Text,
    kFillGroup = 3225, kDotsText, kFillBlankText, kTabCharGroup, kArrowText, kTabBlankText,
    kTabDistanceGroup, kOptionsGroup, kLineNumbersText, kLanguagesText, kKeepLineEndsText,
    kThemeIconsText,
    kNewFilesLfText, kTabSpacesText,
    kColorTextLabel = 3251, kColorLineNumbersLabel, kColorHighlightLabel, kColorKeywordsLabel,
    kColorCommentsLabel, kColorBackgroundLabel,
};

constexpr int kNumberRefused = 1230;
constexpr int kFilterHasBar = 1231;
constexpr int kFilterListFull = 1232;
constexpr int kWriteError = 1024;

constexpr int kLineBufferLowest = 100;  // below this, ordinary source lines would be split
constexpr int kTabDistanceLowest = 2;   // the tab grid treats smaller distances as 2
constexpr int kTabDistanceHighest = 1000;

const LookupEntry kCodeTableRadios[] = {{802, kCodeTableOem}, {803, kCodeTableAnsi}, {-1, -1}};
const LookupEntry kFillRadios[] = {{310, 250}, {311, 32}, {-1, -1}};
const LookupEntry kTabCharRadios[] = {{314, 26}, {316, 32}, {-1, -1}};

SheetControl Check(int id, int textId, OptionField field) {
    return {SheetControlKind::Check, id, textId, field};
}
SheetControl Number(int id, int textId, OptionField field, int lowest, int highest) {
    return {SheetControlKind::Number, id, textId, field, lowest, highest};
}
SheetControl Radio(int id, int textId) { return {SheetControlKind::Radio, id, textId}; }

// The number of UTF-8 characters' bytes that make up at most n characters of text.
std::size_t CharactersPrefix(const std::string& text, int n) {
    std::size_t i = 0;
    for (int count = 0; i < text.size(); ++count) {
        if (count == n) break;
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    }
    return i;
}

}  // namespace

const std::vector<SheetGroup>& GeneralPageGroups() {
    static const std::vector<SheetGroup> groups = {
        {0, kWorkModeGroup, {Check(204, kIndentText, &Options::IndentMode),
                             Check(205, kAutoOpenText, &Options::AutoOpen),
                             Check(206, kInsertText, &Options::InsertMode),
                             Check(208, kAutoDelDragText, &Options::AutoDelDrag),
                             Check(209, kKeepLineEndsText, &Options::KeepLineEnds),
                             Check(210, kNewFilesLfText, &Options::NewFilesLf),
                             Check(211, kTabSpacesText, &Options::TabSpaces)}},
        {0, kBufferGroup, {Number(402, kLineBufferText, &Options::LngLineBuffer, kLineBufferLowest,
                                  kMaxLineBuffer)}},
        {0, kUndoGroup, {Number(403, kUndoStepsText, &Options::UndoSteps, 1, kMaxUndoSteps)}},
        {0, kLockingGroup, {Check(207, kLockText, &Options::LockMode)}},
        {801, kCodeGroup,
         {Radio(802, kAsciiText), Radio(803, kAnsiText), Check(804, kDetectUtf8Text, &Options::DetectUtf8)},
         kCodeTableRadios, &Options::CodeTable},
    };
    return groups;
}

const std::vector<SheetGroup>& ViewPageGroups() {
    static const std::vector<SheetGroup> groups = {
        {309, kFillGroup, {Radio(310, kDotsText), Radio(311, kFillBlankText)}, kFillRadios,
         &Options::VbChar},
        {315, kTabCharGroup, {Radio(314, kArrowText), Radio(316, kTabBlankText)}, kTabCharRadios,
         &Options::TabChar},
        {317, kTabDistanceGroup, {Number(1004, 0, &Options::TabDistance, kTabDistanceLowest,
                                         kTabDistanceHighest)}},
        {321, kOptionsGroup, {Check(301, kLineNumbersText, &Options::LineNumbers),
                              Check(307, kLanguagesText, &Options::HighLightLang),
                              Check(308, kThemeIconsText, &Options::ThemeIcons)}},
    };
    return groups;
}

const std::vector<SheetColorRow>& ColorRows() {
    static const std::vector<SheetColorRow> rows = {
        {kColorTextLabel, 1017, 1018, 1019, 1005, 1007, &Options::ColorText},
        {kColorLineNumbersLabel, 1020, 1021, 1022, 1012, 1006, &Options::ColorLineNumbers},
        {kColorHighlightLabel, 1023, 1024, 1025, 1013, 1008, &Options::ColorHighlight},
        {kColorKeywordsLabel, 1026, 1027, 1028, 1014, 1009, &Options::ColorKeywords},
        {kColorCommentsLabel, 1029, 1030, 1031, 1015, 1010, &Options::ColorComments},
        {kColorBackgroundLabel, 1032, 1033, 1034, 1016, 1011, &Options::ColorBackground},
    };
    return rows;
}

int RadioForValue(const SheetGroup& group, int value) {
    return LookupPairReverse(value, group.radioTable);
}

int ValueForRadio(const SheetGroup& group, int checkedId) {
    const int value = LookupPair(checkedId, group.radioTable);
    return value != -1 ? value : group.radioTable[0].value;
}

bool NumberTextAcceptable(const std::string& text, int lowest, int highest) {
    return !text.empty() && ValidateIntText(text, lowest, highest);
}

std::string RangeText(int lowest, int highest) {
    return std::to_string(lowest) + " - " + std::to_string(highest);
}

void ShowNumberRefused(int lowest, int highest) {
    ShowMessage(kNumberRefused, RangeText(lowest, highest));
}

std::vector<FilterRow> ParseFilterList(const std::string& text) {
    std::vector<std::string> tokens;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = text.find('|', start);
        std::string token = text.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        token.resize(CharactersPrefix(token, kFilterFieldLength));
        tokens.push_back(std::move(token));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    std::vector<FilterRow> rows;
    for (std::size_t i = 0; i + 1 < tokens.size(); i += 2) rows.push_back({tokens[i], tokens[i + 1]});
    return rows;
}

std::string JoinFilterList(const std::vector<FilterRow>& rows, int* stored) {
    std::string text;
    int taken = 0;
    for (const FilterRow& row : rows) {
        const std::string piece = row.description + "|" + row.pattern + "|";
        // A row cut in half would come back as a wrong pattern: only whole rows are kept.
        if (text.size() + piece.size() > std::size_t(kFilterListLength)) break;
        text += piece;
        ++taken;
    }
    if (stored) *stored = taken;
    return text;
}

int FilterRowProblem(const std::vector<FilterRow>& rows, const FilterRow& added) {
    if (added.description.find('|') != std::string::npos || added.pattern.find('|') != std::string::npos)
        return kFilterHasBar;
    std::vector<FilterRow> all = rows;
    all.push_back(added);
    int stored = 0;
    JoinFilterList(all, &stored);
    return stored == int(all.size()) ? 0 : kFilterListFull;
}

bool ApplySettings(SettingsSheetRecord& record, const Options& before) {
    // The store tells what failed with the file's name; a store that says nothing (the
    // native one) gets the general write error.
    RetellSettingsProblems();
    const int told = SettingsProblemsTold();
    const bool stored = record.options && SaveOptions(*record.options);
    if (!stored && SettingsProblemsTold() == told) ShowMessage(kWriteError, SettingsFileName());
    if (record.optionsChanged) record.optionsChanged(before);
    if (record.repaintDocuments) record.repaintDocuments();
    if (record.refreshStatus) record.refreshStatus();
    return stored;
}

int EditOptions(SettingsSheetRecord record) {
    const int result = HostRunDialog(DialogId::Settings, &record);
    if (record.repaintDocuments) record.repaintDocuments();
    if (record.refreshStatus) record.refreshStatus();
    return result;
}

}  // namespace varlin
