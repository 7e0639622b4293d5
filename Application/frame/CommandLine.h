// The command line: the usage text and the words of batch mode ("varlin --run SCRIPT
// [options] [FILE...]", which runs a macro script on files without a window, the way
// "sed -i" runs a script).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace varlin {

extern const char* const kUsageText;

// Exit statuses of batch mode.
enum BatchExit : int { kBatchDone = 0, kBatchFailed = 1, kBatchBadCommandLine = 2, kBatchAborted = 130 };

enum class BatchAnswer { Yes, No, Cancel };

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
    std::vector<std::string> files;
};

// Reads the words after the program's name. False for a bad command line, with the
// reason in error. Options may stand anywhere before "--"; every other word is a FILE.
bool ParseBatchArguments(const std::vector<std::string>& words, BatchArguments& arguments,
                         std::string& error);

// Batch mode from main(): returns the exit status (BatchExit).
int RunBatch(int argc, char** argv);
// Whether a good batch command line asks for --print-to (the window program runs it).
bool BatchPrintsToPdf(int argc, char** argv);

}  // namespace varlin
