// FindSettings: one search request (the search and replacement texts and the flags), made
// fresh by every search command, and its stored form under the settings key "Find", which
// is the last request of a Find or Replace and what FindNext repeats. The Mode number of
// the macro actions packs the flags as bits.
#pragma once

#include <cstdint>
#include <string>

namespace varlin {

constexpr int kFindTextMax = 255;            // characters of a search or replacement text
constexpr const char* kFindKey = "Find";

// Bits of the Mode argument of Find (String, Mode) and Replace (Find, Replace, Mode).
enum FindModeBit : std::int32_t {
    kModeCapsSens = 1,
    kModeStartOfLine = 2,
    kModeEndOfLine = 4,
    kModeReplaceAll = 16,
    kModeRegex = 32,
};

enum class FindDialogKind : std::int32_t { Find = 1, Replace = 2 };

struct FindSettings {
    std::string FindString;       // as typed, at most kFindTextMax bytes
    std::string ReplaceString;    // as typed, at most kFindTextMax bytes
    std::int32_t CapsSens = 0;    // 1: case is told apart
    std::int32_t StartOfLine = 0; // 1: a hit must begin the line
    std::int32_t EndOfLine = 0;   // 1: a hit must end the line
    std::int32_t ExpandEscapes = 0;  // 1: substitute notations are expanded before use
    std::int32_t Regex = 0;       // 1: FindString is a regular expression (no escape notation)
    std::int32_t ReplaceAll = 0;  // never stored; 0 at the start of every command
    FindDialogKind DialogKind = FindDialogKind::Find;
    bool Utf8Texts = false;       // never stored: the dialogs show and take UTF-8 texts
};

// The text cut to its first kFindTextMax bytes.
std::string CutFindText(const std::string& text);

// Fills the seven stored fields from key "Find"; a missing or malformed value gives the
// default (empty text, flag 0), a flag other than 0 reads as 1, a text is cut.
void LoadFindSettings(FindSettings& settings);
// Writes the seven fields in one replacement of the settings file; false when it failed.
bool StoreFindSettings(const FindSettings& settings);

// Mode <-> flags. Find reads and records bits 1, 2, 4 and 32; Replace also 16. Other bits
// are ignored; ExpandEscapes has no bit and keeps its stored value.
enum class ModeUse { Find, Replace };
void ApplyMode(FindSettings& settings, std::int32_t mode, ModeUse use);
std::int32_t ModeOf(const FindSettings& settings, ModeUse use);

}  // namespace varlin
