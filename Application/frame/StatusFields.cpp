// The status fields' texts, definitions and configuration.
#include "frame/StatusFields.h"

#include "document/Language.h"
#include "document/LineStore.h"
#include "editing/EditWindow.h"
#include "editing/Recording.h"
#include "frame/Application.h"
#include "platform/Registry.h"
#include "resources/StringTable.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace varlin {
namespace {

constexpr int kFormatSize = 50;   // a format string is at most this long
constexpr int kTextSize = 100;

constexpr int kFormatLine = 1600, kFormatColumn = 1601, kNoRange = 1602, kFormatRange = 1603;
constexpr int kFormatLineCount = 1604, kCodeAnsi = 1605, kCodeAscii = 1606, kCodeUtf8 = 1618;
constexpr int kPrefixTexts[] = {1607, 1608, 1609};  // "F2", "F3", "F4"
constexpr int kLearnText = 1612, kInsertText = 1613;

constexpr const char* kStatusKey = "Status";

std::string Format(int formatId, long a, long b = 0, long c = 0, long d = 0) {
    char format[kFormatSize + 1];
    if (LoadAppString(formatId, format, sizeof format) == 0) return {};
    char text[kTextSize];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

std::string RangeText(const EditWindow& w) {
    DragRange r;
    if (GetNormalizedDrag(w, r) == kDragNone) return LoadAppString(kNoRange);
    const long m = MarginWidth(w);
    // A range that takes its last line's line break ends, as the user drew it, at the
    // start of the next line; its stored end column is only the mark "to the line end".
    if (r.ToCol >= MaxCols(w) - 1) return Format(kFormatRange, long(r.FromLine) + 1, long(r.FromCol) + 1 - m, long(r.ToLine) + 2, 1);
    return Format(kFormatRange, long(r.FromLine) + 1, long(r.FromCol) + 1 - m,
                  long(r.ToLine) + 1, long(r.ToCol) + 1 - m);
}

std::string DocumentFieldText(int field, const EditWindow& w) {
    switch (field) {
    case kFieldLine: return Format(kFormatLine, long(w.caretLine) + 1);
    case kFieldColumn: return Format(kFormatColumn, long(w.caretCol) + 1 - MarginWidth(w));
    case kFieldLineCount: return Format(kFormatLineCount, long(w.LineCount()));
    case kFieldRange: return RangeText(w);
    default: return {};
    }
}

}  // namespace

std::string WidestNumberText(int field) {
    // A million lines is the store's capacity; 9999 columns is more than a line holds by default.
    constexpr long kLines = 1000000;
    constexpr long kColumns = 9999;
    switch (field) {
    case kFieldLine: return Format(kFormatLine, kLines);
    case kFieldColumn: return Format(kFormatColumn, kColumns);
    case kFieldLineCount: return Format(kFormatLineCount, kLines);
    case kFieldRange: return Format(kFormatRange, kLines, kColumns, kLines, kColumns);
    default: return {};
    }
}

namespace {

std::string LanguageText(const EditWindow* w) {
    return w && w->doc ? LanguageLabel(*w->doc) : LoadAppString(kLabelText);
}

std::string JoinFields(const std::vector<int>& fields) {
    std::string text;
    for (int f : fields) {
        if (!text.empty()) text += ',';
        text += std::to_string(f);
    }
    return text;
}

}  // namespace

StatusInputs CurrentStatusInputs(const Application& app, const EditWindow* document) {
    StatusInputs in;
    in.document = document;
    if (app.options) {
        in.codeTable = app.options->CodeTable;
        in.insertMode = app.options->InsertMode != 0;
        in.keepLineEnds = app.options->KeepLineEnds != 0;
    }
    in.prefixState = app.prefixState;
    in.learning = IsLearning();
    return in;
}

std::string StatusFieldText(int field, const StatusInputs& in) {
    switch (field) {
    case kFieldLine:
    case kFieldColumn:
    case kFieldLineCount:
    case kFieldRange: return in.document && in.document->doc ? DocumentFieldText(field, *in.document) : "";
    case kFieldCodeTable:
        if (in.document && in.document->doc && in.document->doc->utf8) return LoadAppString(kCodeUtf8);
        if (in.codeTable == 1) return LoadAppString(kCodeAscii);
        if (in.codeTable == 2) return LoadAppString(kCodeAnsi);
        return {};
    case kFieldPrefix:
        if (in.prefixState >= 2 && in.prefixState <= 4) return LoadAppString(kPrefixTexts[in.prefixState - 2]);
        return {};
    case kFieldLearn: return in.learning ? LoadAppString(kLearnText) : "";
    case kFieldInsert: return in.insertMode ? LoadAppString(kInsertText) : "";
    case kFieldLanguage: return LanguageText(in.document);
    case kFieldLineEnds:
        // What a save writes: the document's own ends, or CR LF when they are not kept.
        if (!in.document || !in.document->doc) return {};
        return (in.keepLineEnds || in.document->doc->lineEndsChosen) && in.document->doc->lineEnds == LineEnds::Lf
                   ? "LF"
                   : "CRLF";
    default: return {};
    }
}

bool ParseStatusFieldDefinition(std::string_view text, StatusFieldDefinition& definition) {
    int numbers[6];
    std::size_t pos = 0;
    for (int i = 0; i < 6; ++i) {
        while (pos < text.size() && text[pos] == ' ') ++pos;
        const char* first = text.data() + pos;
        const char* last = text.data() + text.size();
        auto [end, error] = std::from_chars(first, last, numbers[i]);
        if (error != std::errc()) return false;
        pos = std::size_t(end - text.data());
        while (pos < text.size() && text[pos] == ' ') ++pos;
        if (i < 5) {
            if (pos >= text.size() || text[pos] != ',') return false;
            ++pos;
        }
    }
    if (pos != text.size() || numbers[4] < 0) return false;
    definition = {numbers[0], numbers[4], numbers[5]};
    return true;
}

std::vector<StatusFieldDefinition> LoadStatusFieldDefinitions() {
    std::vector<StatusFieldDefinition> definitions;
    for (int id = kFirstFieldDefinitionId;; ++id) {
        const char* text = FindAppString(id);
        StatusFieldDefinition d;
        if (!text || !ParseStatusFieldDefinition(text, d)) break;
        definitions.push_back(d);
    }
    return definitions;
}

StatusConfig DefaultStatusConfig() {
    StatusConfig config;
    for (int f = kFirstStatusField; f <= kLastDefaultStatusField; ++f) config.shownFields.push_back(f);
    return config;
}

StatusConfig LoadStatusConfig() {
    StatusConfig config = DefaultStatusConfig();
    int location = Korvel_ReadLongFromHKCU(kStatusKey, "Location", kStatusBottom);
    if (location >= kStatusHidden && location <= kStatusBottom) config.location = location;
    const std::string all = JoinFields(config.shownFields);
    const std::string text = Korvel_ReadStringFromHKCU(kStatusKey, "Fields", all);
    config.shownFields.clear();
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t comma = std::min(text.find(',', pos), text.size());
        int field = 0;
        auto [end, error] = std::from_chars(text.data() + pos, text.data() + comma, field);
        if (error == std::errc() && end == text.data() + comma && field >= kFirstStatusField &&
            field <= kLastStatusField && !IsFieldShown(config, field)) {
            config.shownFields.push_back(field);
        }
        pos = comma + 1;
    }
    std::sort(config.shownFields.begin(), config.shownFields.end());
    return config;
}

bool SaveStatusConfig(const StatusConfig& config) {
    RegistryBatch batch;
    Korvel_WriteLongToHKCU(kStatusKey, "Location", config.location);
    Korvel_WriteStringToHKCU(kStatusKey, "Fields", JoinFields(config.shownFields));
    return batch.Commit();
}

bool IsFieldShown(const StatusConfig& config, int field) {
    return std::find(config.shownFields.begin(), config.shownFields.end(), field) !=
           config.shownFields.end();
}

}  // namespace varlin
