// Options: the program-wide settings record, read from key "Options" of the settings
// store at creation and written back only when the settings sheet saves it.
#pragma once

#include "platform/Color.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace varlin {

// 3 is never stored: it stands for a UTF-8 document where a code table is asked for.
enum CodeTableValue : int { kCodeTableOem = 1, kCodeTableAnsi = 2, kCodeTableUtf8 = 3 };

struct Options {
    std::int32_t LngLineBuffer = 3000;
    std::int32_t ApplicationLanguage = 49;
    std::int32_t CodeTable = kCodeTableAnsi;
    std::int32_t InsertMode = 1;
    std::int32_t IndentMode = 1;
    std::int32_t AutoOpen = 0;
    std::int32_t LockMode = 1;
    // 1: a file whose lines all end in LF alone is saved with LF again; 0: every save
    // writes CR LF.
    std::int32_t KeepLineEnds = 1;
    // 1: a new document is written with LF alone, 0: with CR LF (the platform's own).
#ifdef _WIN32
    std::int32_t NewFilesLf = 0;
#else
    std::int32_t NewFilesLf = 1;
#endif
    // 1: Tab inserts blanks up to the next tab stop in every document; 0: a tab character,
    // except in the languages that indent with blanks (document/IndentStyle.h).
    std::int32_t TabSpaces = 0;
    std::int32_t AutoDelDrag = 1;
    std::int32_t MouseWheelScroll = 15;
    std::int32_t LineNumbers = 1;
    std::int32_t HighLightLang = 1;
    std::int32_t VbChar = 250;
    std::int32_t TabChar = 26;
    std::int32_t TabDistance = 8;
    std::int32_t CaretHystVert = 0;
    std::int32_t CaretHystHori = 5;
    std::int32_t MouseHystVert = 0;
    std::int32_t MouseHystHori = 0;
    std::int32_t UndoSteps = 1;     // 1: the one undo step of the program; more: a history
    std::int32_t UndoMemory = 256;  // megabytes a document's undo history may hold
    std::int32_t DetectUtf8 = 1;    // files that read as UTF-8 open as UTF-8 documents
    std::int32_t RecoverySeconds = 5;  // a changed document's recovery copy this long after a change; 0 none
    std::int32_t ThemeIcons = 1;    // toolbar pictures from the desktop's icon theme where it has them
    Color ColorText = MakeColor(0, 0, 0);
    Color ColorLineNumbers = MakeColor(64, 64, 64);
    Color ColorHighlight = MakeColor(255, 0, 0);
    Color ColorKeywords = MakeColor(0, 157, 0);
    Color ColorComments = MakeColor(0, 0, 255);
    Color ColorBackground = MakeColor(255, 251, 240);
    std::string BracketList = "(,),begin,end,{,},[,],#if,#endif";
    std::string FileNameFilter;  // string 1400 unless stored

    // Sound working values of fields that could crash or hang the program when used as
    // stored (the stored value itself is kept and written back unchanged).
    int LineBufferSize() const;   // LngLineBuffer, at least 1 and at most kMaxLineBuffer
    int TabStep() const;          // TabDistance, below 2 counts as 2, at most 1000
    int UndoStepLimit() const;    // UndoSteps within 1 .. kMaxUndoSteps
    std::size_t UndoByteLimit() const;  // UndoMemory in bytes, at least 1 megabyte
};

constexpr int kMaxLineBuffer = 1 << 24;
constexpr int kMaxUndoSteps = 10000;
constexpr int kMaxRecoverySeconds = 3600;

void SetDefaultColors(Options& options);
// Reads every field from key "Options"; a missing or unreadable value gives the field's
// default (for colours: the field's current value, see InitOptions).
void LoadOptions(Options& options);
// Writes every field in one replacement of the settings file; false when it failed
// (the stored options then stay as they were).
bool SaveOptions(const Options& options);

// The filter list the file dialogs show for a stored FileNameFilter: the default list in
// the current language when the stored one is empty or the default of either language
// (stored while the other one was in use); any list of the user's own as it stands.
std::string DialogFileFilter(const std::string& stored);
// What creating the record does: the default colours, then LoadOptions.
void InitOptions(Options& options);

// The options of the running program. Tests and batch mode may install their own record.
Options& CurrentOptions();
void SetCurrentOptions(Options* options);  // nullptr restores the program's own record

// Reads or writes one option by its registry value name (used by --set NAME=VALUE);
// false for an unknown name or a value that is not valid for it.
bool SetOptionByName(Options& options, const std::string& name, const std::string& value);

}  // namespace varlin
