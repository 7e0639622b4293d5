// Recording: learn mode writes every recordable action, as it runs, as one line of a
// macro script into the learned-macro file, which can then be run, edited or saved. The
// actions call the record operations themselves; outside learn mode these do nothing.
//
// The file starts with the head `Macro "Recorded"`, an empty line and a tab with `begin`,
// has one line per action (tab, name, arguments, semicolon) and ends with a tab and `end`
// when learn mode ends. Lines end with CR LF.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace varlin {

struct LearnRecorder {
    // The learned-macro file's name, made once (prefix "LR") and kept while the program
    // runs; the file is not deleted at exit.
    std::string LearnFileName;
    // Open while learn mode is on; learn mode is on exactly when this is not null.
    std::FILE* LearnFile = nullptr;
    // Called after learn mode went on or off (status field 506, toolbar button 89).
    void (*learnModeChanged)(bool on) = nullptr;
    // Batch mode's --trace: told every action line (without tab and line end) as it is
    // recorded, also outside learn mode.
    void (*traceLine)(const std::string& line) = nullptr;
};

// The program's one recorder.
LearnRecorder& TheLearnRecorder();
bool IsLearning();

// Each writes the action's line under its name in the macro command table (nothing for an
// id the table lacks).
void RecordAction(int actionId);
void RecordText(int actionId, std::string_view text);
void RecordFileName(int actionId, std::string_view fileName);
void RecordLong(int actionId, std::int32_t value);
void RecordTwoLongs(int actionId, std::int32_t first, std::int32_t second);
void RecordTextLong(int actionId, std::string_view text, std::int32_t value);
void RecordTwoTextsLong(int actionId, std::string_view text1, std::string_view text2,
                        std::int32_t value);

// The text as a script reads it back between double quotes: a backslash before every
// double quote, and a backslash that a quote, a backslash or the end follows doubled;
// every other byte unchanged. Output stops when fewer than 3 of 512 bytes are left.
std::string QuoteRecordedText(std::string_view text);

// Command 89: ends learn mode (writes the foot and closes the file) or starts it (empties
// the file and writes the head; message 1114 when it cannot be opened). Returns whether
// learn mode is on afterwards.
bool ToggleLearnMode();

// Makes LearnFileName when it is still empty (start-up calls it; ToggleLearnMode too).
void EnsureLearnFileName();
// At the end of the program: learn mode off, and the learned macro's temporary file
// removed (it lives as long as the program, not longer).
void DiscardLearnFile();

}  // namespace varlin
