// The command line: the usage text, the words of the window program ("varlin [options]
// [FILE...]") and of batch mode ("varlin --run SCRIPT [options] [FILE...]", which runs a
// macro script on files without a window, the way "sed -i" runs a script), and the files
// named at a line ("+LINE FILE", "FILE:LINE", "FILE:LINE:COL") in both.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace varlin {

extern const char* const kUsageText;

// Exit statuses of batch mode.
enum BatchExit : int { kBatchDone = 0, kBatchFailed = 1, kBatchBadCommandLine = 2, kBatchAborted = 130 };

enum class BatchAnswer { Yes, No, Cancel };

// A file of the command line and where its cursor starts: line and column are 1-based, 0
// when not given (the column counts characters of the line, a tab as one).
struct FileSpot {
    std::string name;
    int line = 0;
    int column = 0;
    bool operator==(const FileSpot&) const = default;
};

// A FILE word as a spot: "NAME:LINE" and "NAME:LINE:COL" (digits only) name NAME at that
// place, unless the whole word, or the word without its last ":COL", is an existing file:
// a name that exists with its colons stays that file.
FileSpot SpotOfWord(const std::string& word);
// "+LINE" (vim, nano, emacs): the line the next FILE starts at; false for any other word.
bool IsLineWord(const std::string& word, int& line);

struct BatchArguments {
    std::string script;
    bool noSave = false;
    BatchAnswer answer = BatchAnswer::Yes;
    bool hasSettingsFile = false;
    std::string settingsFile;
    std::vector<std::pair<std::string, std::string>> sets;  // --set NAME=VALUE, in order
    bool trace = false;
    double timeoutSeconds = 0;  // 0: no limit
    std::string printTo;        // --print-to: the PDF file that Print () writes; "" none
    std::vector<FileSpot> files;
};

// Reads the words after the program's name. False for a bad command line, with the
// reason in error. Options may stand anywhere before "--"; every other word is a FILE.
bool ParseBatchArguments(const std::vector<std::string>& words, BatchArguments& arguments,
                         std::string& error);

// The window program's words: files (with their lines), --new-frame, --wait and
// --settings FILE. False for a bad command line (an unknown option among them), with the
// reason in error. "--" ends the options, so that "-x" or "--help" can be a file.
struct WindowArguments {
    std::vector<FileSpot> files;
    bool newFrame = false;  // a frame of its own, even when one runs already
    bool wait = false;      // return only when every document it opened is closed
    bool hasSettingsFile = false;
    std::string settingsFile;
};
bool ParseWindowArguments(const std::vector<std::string>& words, WindowArguments& arguments,
                          std::string& error);

// Whether the program answers the words at once without a window or a file (--help,
// --version; before a "--" only) or runs batch mode (--run).
enum class ProgramMode { Window, Help, Version, Batch };
ProgramMode ModeOfWords(const std::vector<std::string>& words);

// Batch mode from main(): returns the exit status (BatchExit).
int RunBatch(int argc, char** argv);
// Whether a good batch command line asks for --print-to (the window program runs it).
bool BatchPrintsToPdf(int argc, char** argv);

}  // namespace varlin
