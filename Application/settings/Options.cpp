// Options: the program-wide settings record and its storage under key "Options". Values
// are used as stored (no clamping); the two accessors LineBufferSize and TabStep give the
// sound working values where a stored value could crash or hang the program.
#include "settings/Options.h"

#include "platform/DialogHelpers.h"
#include "platform/Registry.h"
#include "resources/StringTable.h"

#include <cctype>

namespace varlin {

int Options::LineBufferSize() const {
    if (LngLineBuffer < 1) return 1;
    return LngLineBuffer > kMaxLineBuffer ? kMaxLineBuffer : LngLineBuffer;
}

int Options::TabStep() const {
    if (TabDistance < 2) return 2;
    return TabDistance > 1000 ? 1000 : TabDistance;
}

int Options::UndoStepLimit() const {
    if (UndoSteps < 1) return 1;
    return UndoSteps > kMaxUndoSteps ? kMaxUndoSteps : UndoSteps;
}

std::size_t Options::UndoByteLimit() const {
    const std::size_t megabytes = UndoMemory < 1 ? 1 : static_cast<std::size_t>(UndoMemory);
    return megabytes << 20;
}

void SetDefaultColors(Options& options) {
    options.ColorText = MakeColor(0, 0, 0);
    options.ColorLineNumbers = MakeColor(64, 64, 64);
    options.ColorHighlight = MakeColor(255, 0, 0);
    options.ColorKeywords = MakeColor(0, 157, 0);
    options.ColorComments = MakeColor(0, 0, 255);
    options.ColorBackground = MakeColor(255, 251, 240);
}

namespace {

constexpr const char* kKey = "Options";
constexpr int kTextSize = 500;       // texts are cut at 499 characters
constexpr int kFilterDefaultId = 1400;

// Every stored field by its registry value name, in record order.
enum class Kind { Long, Color, Text };
struct FieldInfo {
    const char* name;
    Kind kind;
    std::int32_t Options::*longField;
    Color Options::*colorField;
    std::string Options::*textField;
};

constexpr FieldInfo L(const char* name, std::int32_t Options::*f) { return {name, Kind::Long, f, nullptr, nullptr}; }
constexpr FieldInfo C(const char* name, Color Options::*f) { return {name, Kind::Color, nullptr, f, nullptr}; }
constexpr FieldInfo T(const char* name, std::string Options::*f) { return {name, Kind::Text, nullptr, nullptr, f}; }

const FieldInfo kFields[] = {
    L("LngLineBuffer", &Options::LngLineBuffer),
    L("ApplicationLanguage", &Options::ApplicationLanguage),
    L("CodeTable", &Options::CodeTable),
    L("InsertMode", &Options::InsertMode),
    L("IndentMode", &Options::IndentMode),
    L("AutoOpen", &Options::AutoOpen),
    L("LockMode", &Options::LockMode),
    L("KeepLineEnds", &Options::KeepLineEnds),
    L("NewFilesLf", &Options::NewFilesLf),
    L("TabSpaces", &Options::TabSpaces),
    L("AutoDelDrag", &Options::AutoDelDrag),
    L("MouseWheelScroll", &Options::MouseWheelScroll),
    L("LineNumbers", &Options::LineNumbers),
    L("HighLightLang", &Options::HighLightLang),
    L("VbChar", &Options::VbChar),
    L("TabChar", &Options::TabChar),
    L("TabDistance", &Options::TabDistance),
    L("CaretHystVert", &Options::CaretHystVert),
    L("CaretHystHori", &Options::CaretHystHori),
    L("MouseHystVert", &Options::MouseHystVert),
    L("MouseHystHori", &Options::MouseHystHori),
    L("UndoSteps", &Options::UndoSteps),
    L("UndoMemory", &Options::UndoMemory),
    L("DetectUtf8", &Options::DetectUtf8),
    L("RecoverySeconds", &Options::RecoverySeconds),
    L("ThemeIcons", &Options::ThemeIcons),
    C("ColorText", &Options::ColorText),
    C("ColorLineNumbers", &Options::ColorLineNumbers),
    C("ColorHighlight", &Options::ColorHighlight),
    C("ColorKeywords", &Options::ColorKeywords),
    C("ColorComments", &Options::ColorComments),
    C("ColorBackground", &Options::ColorBackground),
    T("BracketList", &Options::BracketList),
    T("FileNameFilter", &Options::FileNameFilter),
};

// The default of every integer and text field is that of a fresh record.
const Options& Defaults() {
    static const Options defaults;
    return defaults;
}

std::string DefaultFileNameFilter() {
    char buffer[1000];
    LoadAppString(kFilterDefaultId, buffer, sizeof buffer);
    return buffer;
}

bool SameName(const char* a, const std::string& b) {
    std::size_t i = 0;
    for (; a[i] && i < b.size(); ++i)
        if (std::tolower((unsigned char)a[i]) != std::tolower((unsigned char)b[i])) return false;
    return a[i] == '\0' && i == b.size();
}

std::string CutText(const std::string& text) {
    return text.size() < std::size_t(kTextSize) ? text : text.substr(0, kTextSize - 1);
}

}  // namespace

std::string DialogFileFilter(const std::string& stored) {
    for (int language : {int(AppLanguage::German), int(AppLanguage::English)}) {
        const char* builtIn = BuiltInString(kFilterDefaultId, language);
        if (builtIn && stored == builtIn) return DefaultFileNameFilter();
    }
    return stored.empty() ? DefaultFileNameFilter() : stored;
}

void LoadOptions(Options& options) {
    RegistryBatch snapshot;  // one read of the store for all fields; never committed
    const Options& d = Defaults();
    for (const FieldInfo& f : kFields) {
        switch (f.kind) {
        case Kind::Long:
            options.*f.longField = Korvel_ReadLongFromHKCU(kKey, f.name, d.*f.longField);
            break;
        case Kind::Color:
            // The default is the field's current value, so callers set the colours first.
            options.*f.colorField = Korvel_ReadColorFromHKCU(kKey, f.name, options.*f.colorField);
            break;
        case Kind::Text: {
            std::string fallback = f.textField == &Options::FileNameFilter ? DefaultFileNameFilter()
                                                                            : d.*f.textField;
            options.*f.textField = Korvel_ReadStringFromHKCU(kKey, f.name, fallback, kTextSize);
            break;
        }
        }
    }
}

bool SaveOptions(const Options& options) {
    RegistryBatch batch;
    for (const FieldInfo& f : kFields) {
        switch (f.kind) {
        case Kind::Long: Korvel_WriteLongToHKCU(kKey, f.name, options.*f.longField); break;
        case Kind::Color: Korvel_WriteColorToHKCU(kKey, f.name, options.*f.colorField); break;
        case Kind::Text: Korvel_WriteStringToHKCU(kKey, f.name, CutText(options.*f.textField)); break;
        }
    }
    return batch.Commit();
}

void InitOptions(Options& options) {
    SetDefaultColors(options);
    LoadOptions(options);
}

bool SetOptionByName(Options& options, const std::string& name, const std::string& value) {
    for (const FieldInfo& f : kFields) {
        if (!SameName(f.name, name)) continue;
        long long number = 0;
        switch (f.kind) {
        case Kind::Long:
            if (!ParseStrictNumber(value, INT32_MIN, INT32_MAX, number)) return false;
            options.*f.longField = std::int32_t(number);
            return true;
        case Kind::Color:
            if (!ParseStrictNumber(value, 0, 0xFFFFFF, number)) return false;
            options.*f.colorField = Color(number);
            return true;
        case Kind::Text:
            options.*f.textField = CutText(value);
            return true;
        }
    }
    return false;
}

namespace {
Options g_programOptions;
Options* g_current = nullptr;
}  // namespace

Options& CurrentOptions() { return g_current ? *g_current : g_programOptions; }
void SetCurrentOptions(Options* options) { g_current = options; }

}  // namespace varlin
