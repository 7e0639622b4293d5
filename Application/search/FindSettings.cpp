// The stored search request: seven values under "Find", written together so that a failed
// write cannot leave a new search text with the old flags.
#include "search/FindSettings.h"

#include "platform/Registry.h"

namespace varlin {
namespace {

std::int32_t ReadFlag(const char* name) {
    return Korvel_ReadLongFromHKCU(kFindKey, name, 0) != 0 ? 1 : 0;
}

}  // namespace

std::string CutFindText(const std::string& text) {
    return text.size() > static_cast<std::size_t>(kFindTextMax) ? text.substr(0, kFindTextMax) : text;
}

void LoadFindSettings(FindSettings& s) {
    // The store cuts at its buffer size itself; the cut here keeps the limit whatever the
    // store does with texts that end in the middle of a multi-byte character.
    s.FindString = CutFindText(Korvel_ReadStringFromHKCU(kFindKey, "FindString", "", kFindTextMax + 1));
    s.ReplaceString = CutFindText(Korvel_ReadStringFromHKCU(kFindKey, "ReplaceString", "", kFindTextMax + 1));
    s.CapsSens = ReadFlag("CapsSens");
    s.StartOfLine = ReadFlag("StartOfLine");
    s.EndOfLine = ReadFlag("EndOfLine");
    s.ExpandEscapes = ReadFlag("ExpandEscapes");
    s.Regex = ReadFlag("Regex");
}

bool StoreFindSettings(const FindSettings& s) {
    RegistryBatch batch;
    Korvel_WriteStringToHKCU(kFindKey, "FindString", CutFindText(s.FindString));
    Korvel_WriteStringToHKCU(kFindKey, "ReplaceString", CutFindText(s.ReplaceString));
    Korvel_WriteLongToHKCU(kFindKey, "CapsSens", s.CapsSens);
    Korvel_WriteLongToHKCU(kFindKey, "StartOfLine", s.StartOfLine);
    Korvel_WriteLongToHKCU(kFindKey, "EndOfLine", s.EndOfLine);
    Korvel_WriteLongToHKCU(kFindKey, "ExpandEscapes", s.ExpandEscapes);
    Korvel_WriteLongToHKCU(kFindKey, "Regex", s.Regex);
    return batch.Commit();
}

void ApplyMode(FindSettings& s, std::int32_t mode, ModeUse use) {
    s.CapsSens = (mode & kModeCapsSens) ? 1 : 0;
    s.StartOfLine = (mode & kModeStartOfLine) ? 1 : 0;
    s.EndOfLine = (mode & kModeEndOfLine) ? 1 : 0;
    s.Regex = (mode & kModeRegex) ? 1 : 0;
    if (use == ModeUse::Replace) s.ReplaceAll = (mode & kModeReplaceAll) ? 1 : 0;
}

std::int32_t ModeOf(const FindSettings& s, ModeUse use) {
    std::int32_t mode = 0;
    if (s.CapsSens) mode |= kModeCapsSens;
    if (s.StartOfLine) mode |= kModeStartOfLine;
    if (s.EndOfLine) mode |= kModeEndOfLine;
    if (s.Regex) mode |= kModeRegex;
    if (use == ModeUse::Replace && s.ReplaceAll) mode |= kModeReplaceAll;
    return mode;
}

}  // namespace varlin
