// The usage text and the reading of the window program's and batch mode's words. What
// the words mean is carried out by BatchRun and the frame; here only their form is
// checked, and a FILE word is told apart from a FILE at a line.
#include "frame/CommandLine.h"

#include "frame/BatchRun.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace varlin {

const char* const kUsageText =
    "Usage: varlin [--wait] [--new-frame] [--settings FILE] [--] [[+LINE] FILE[:LINE[:COL]]...]\n"
    "       varlin --run SCRIPT [--no-save] [--answer yes|no|cancel] [--settings FILE]\n"
    "                    [--set NAME=VALUE]... [--trace] [--timeout SECONDS]\n"
    "                    [--print-to FILE.pdf] [[+LINE] FILE[:LINE[:COL]]...]\n"
    "\n"
    "Without --run, the editor opens each FILE in a window of its frame. One frame serves\n"
    "each user, display and settings file: a second start hands its files to the running\n"
    "frame, which comes to the front, and ends at once.\n"
    "  +LINE FILE, FILE:LINE, FILE:LINE:COL\n"
    "                     start at that line (a line past the end: the last line) and\n"
    "                     column; a file whose name has the colons is opened as named\n"
    "  --wait             return only when every document opened is closed: exit status 0\n"
    "                     when each was saved or left unchanged, 1 when changes were\n"
    "                     discarded (for $EDITOR: git config core.editor \"varlin --wait\")\n"
    "  --new-frame        start a frame of its own even when one is running\n"
    "  --settings FILE    use this settings file (a frame of its own for each settings file)\n"
    "  --                 every word after it is a FILE, also one that starts with '-'\n"
    "\n"
    "With --run, the macro SCRIPT runs on each FILE without a window; a changed file is saved.\n"
    "Without FILE, SCRIPT runs once with no document.\n"
    "  --no-save          do not save changed files at the end (a script's own Save still saves)\n"
    "  --answer A         answer questions with yes (default), no or cancel\n"
    "  --settings FILE    use this settings file instead of the user's (created if missing)\n"
    "  --set NAME=VALUE   override one option for this run (e.g. --set TabDistance=4)\n"
    "  --trace            write beeps and recorded actions to standard error\n"
    "  --timeout SECONDS  stop the run after this many seconds (exit status 130)\n"
    "  --print-to FILE    Print () writes the document, or its marked lines, to this PDF file\n"
    "                     (A4) instead of asking for a printer; without it Print () is cancelled\n"
    "  --version          print the version\n"
    "Exit status: 0 done, 1 script error or error message, 2 bad command line, 130 aborted.\n";

namespace {

const char* const kShortUsage =
    "Usage: varlin --run SCRIPT [options] [FILE...]; varlin --help lists the options.\n";

bool IsExistingFile(const std::string& name) {
    struct stat info {};
    return ::stat(name.c_str(), &info) == 0;
}

// The number of a ":DIGITS" at the end of text (cut off there), or -1. Numbers too large
// for an int become INT_MAX, which is past every last line.
int CutNumberSuffix(std::string& text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return -1;
    long long value = 0;
    for (std::size_t i = colon + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return -1;
        value = std::min<long long>(value * 10 + (c - '0'), INT_MAX);
    }
    text.resize(colon);
    return int(value);
}

constexpr double kMaxTimeout = 1e7;  // about four months: beyond it a typo, not a limit

// "--name VALUE" or "--name=VALUE": the value, taken from the next word when needed.
bool TakeValue(const std::vector<std::string>& words, std::size_t& i, const std::string& inline_,
               bool hasInline, std::string& value, std::string& error) {
    if (hasInline) {
        value = inline_;
        return true;
    }
    if (i + 1 >= words.size()) {
        error = "option " + words[i] + " needs a value";
        return false;
    }
    value = words[++i];
    return true;
}

bool ParseTimeout(const std::string& text, double& seconds) {
    if (text.empty()) return false;
    char* end = nullptr;
    seconds = std::strtod(text.c_str(), &end);
    return end != nullptr && *end == '\0' && std::isfinite(seconds) && seconds > 0 &&
           seconds <= kMaxTimeout;
}

}  // namespace

FileSpot SpotOfWord(const std::string& word) {
    if (IsExistingFile(word)) return {word};
    std::string name = word;
    const int last = CutNumberSuffix(name);
    if (last < 0) return {word};
    if (IsExistingFile(name)) return {name, last};
    std::string shorter = name;
    const int line = CutNumberSuffix(shorter);
    if (line < 0) return {name, last};
    return {shorter, line, last};
}

bool IsLineWord(const std::string& word, int& line) {
    if (word.size() < 2 || word[0] != '+') return false;
    std::string text = "+:" + word.substr(1);  // the form CutNumberSuffix reads
    line = CutNumberSuffix(text);
    return line >= 0;
}

ProgramMode ModeOfWords(const std::vector<std::string>& words) {
    for (const std::string& word : words) {
        if (word == "--") break;
        if (word == "--version") return ProgramMode::Version;
        if (word == "--help" || word == "-h") return ProgramMode::Help;
        if (word == "--run" || word.rfind("--run=", 0) == 0) return ProgramMode::Batch;
    }
    return ProgramMode::Window;
}

bool ParseWindowArguments(const std::vector<std::string>& words, WindowArguments& a,
                          std::string& error) {
    bool optionsEnded = false;
    int pendingLine = 0;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.empty()) continue;  // no file has an empty name
        int line = 0;
        if (!optionsEnded && IsLineWord(word, line)) {
            pendingLine = line;
            continue;
        }
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            FileSpot spot = SpotOfWord(word);
            if (pendingLine > 0) spot = {word, pendingLine};
            pendingLine = 0;
            a.files.push_back(spot);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == "--new-frame") {
            a.newFrame = true;
        } else if (word == "--wait") {
            a.wait = true;
        } else if (word == "--settings" || word.rfind("--settings=", 0) == 0) {
            const bool hasInline = word != "--settings";
            std::string value;
            if (!TakeValue(words, i, hasInline ? word.substr(11) : std::string(), hasInline, value, error))
                return false;
            if (value.empty()) {
                error = "--settings needs a file name";
                return false;
            }
            a.hasSettingsFile = true;
            a.settingsFile = value;
        } else {
            error = "unknown option " + word + " (a file of that name: varlin -- " + word + ")";
            return false;
        }
    }
    return true;
}

bool ParseBatchArguments(const std::vector<std::string>& words, BatchArguments& a,
                         std::string& error) {
    bool haveScript = false;
    bool optionsEnded = false;
    int pendingLine = 0;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        int line = 0;
        if (!optionsEnded && IsLineWord(word, line)) {
            pendingLine = line;
            continue;
        }
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            a.files.push_back(pendingLine > 0 ? FileSpot{word, pendingLine} : SpotOfWord(word));
            pendingLine = 0;
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = word;
        std::string inlineValue;
        const std::size_t eq = word.find('=');
        const bool hasInline = word.rfind("--", 0) == 0 && eq != std::string::npos;
        if (hasInline) {
            name = word.substr(0, eq);
            inlineValue = word.substr(eq + 1);
        }
        std::string value;
        if (name == "--run") {
            if (haveScript) {
                error = "--run given twice";
                return false;
            }
            if (!TakeValue(words, i, inlineValue, hasInline, value, error)) return false;
            a.script = value;
            haveScript = true;
        } else if (name == "--no-save" && !hasInline) {
            a.noSave = true;
        } else if (name == "--trace" && !hasInline) {
            a.trace = true;
        } else if (name == "--answer") {
            if (!TakeValue(words, i, inlineValue, hasInline, value, error)) return false;
            if (value == "yes") a.answer = BatchAnswer::Yes;
            else if (value == "no") a.answer = BatchAnswer::No;
            else if (value == "cancel") a.answer = BatchAnswer::Cancel;
            else {
                error = "--answer takes yes, no or cancel, not '" + value + "'";
                return false;
            }
        } else if (name == "--settings") {
            if (!TakeValue(words, i, inlineValue, hasInline, value, error)) return false;
            if (value.empty()) {
                error = "--settings needs a file name";
                return false;
            }
            a.hasSettingsFile = true;
            a.settingsFile = value;
        } else if (name == "--set") {
            if (!TakeValue(words, i, inlineValue, hasInline, value, error)) return false;
            const std::size_t sep = value.find('=');
            if (sep == std::string::npos || sep == 0) {
                error = "--set takes NAME=VALUE, not '" + value + "'";
                return false;
            }
            a.sets.emplace_back(value.substr(0, sep), value.substr(sep + 1));
        } else if (name == "--print-to") {
            if (!TakeValue(words, i, inlineValue, hasInline, value, error)) return false;
            if (value.empty()) {
                error = "--print-to needs a file name";
                return false;
            }
            a.printTo = value;
        } else if (name == "--timeout") {
            if (!TakeValue(words, i, inlineValue, hasInline, value, error)) return false;
            if (!ParseTimeout(value, a.timeoutSeconds)) {
                error = "--timeout takes a number of seconds above 0, not '" + value + "'";
                return false;
            }
        } else {
            error = "unknown option " + word;
            return false;
        }
    }
    if (!haveScript || a.script.empty()) {
        error = "--run needs a SCRIPT";
        return false;
    }
    return true;
}

namespace {
std::vector<std::string> WordsOf(int argc, char** argv) {
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) words.emplace_back(argv[i]);
    return words;
}
}  // namespace

bool BatchPrintsToPdf(int argc, char** argv) {
    BatchArguments arguments;
    std::string error;
    return ParseBatchArguments(WordsOf(argc, argv), arguments, error) && !arguments.printTo.empty();
}

int RunBatch(int argc, char** argv) {
    BatchArguments arguments;
    std::string error;
    if (!ParseBatchArguments(WordsOf(argc, argv), arguments, error)) {
        std::fprintf(stderr, "varlin: %s\n%s", error.c_str(), kShortUsage);
        return kBatchBadCommandLine;
    }
    return RunBatch(arguments);
}

}  // namespace varlin
