// The usage text and the reading of batch mode's words. What the words mean is carried
// out by BatchRun; here only their form is checked.
#include "frame/CommandLine.h"

#include "frame/BatchRun.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace varlin {

const char* const kUsageText =
    "Usage: varlin [FILE...]\n"
    "       varlin --run SCRIPT [--no-save] [--answer yes|no|cancel] [--settings FILE]\n"
    "                    [--set NAME=VALUE]... [--trace] [--timeout SECONDS]\n"
    "                    [--print-to FILE.pdf] [FILE...]\n"
    "\n"
    "Without --run, the editor opens each FILE in its own window.\n"
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

bool ParseBatchArguments(const std::vector<std::string>& words, BatchArguments& a,
                         std::string& error) {
    bool haveScript = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            a.files.push_back(word);
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
