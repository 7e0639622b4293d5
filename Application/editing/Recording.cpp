// Recording: the record operations of learn mode and the learned-macro file. Each action
// line is the action's name from the macro command table with its arguments in one of six
// fixed formats; texts are quoted so that the script reads back exactly the original.
#include "editing/Recording.h"

#include "editing/MacroCommands.h"
#include "platform/Messages.h"
#include "platform/TempFiles.h"
#include "platform/TextHelpers.h"

#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace varlin {
namespace {

constexpr int kQuoteBufferSize = 512;   // the quoting buffer; output stops 3 bytes before
constexpr std::size_t kMaxFileName = 511;
constexpr int kMessageLearnFileBusy = 1114;

// Writes one action line (tab, name, " (", arguments, ");", CR LF). Write errors are
// ignored: recording never stops an action.
void WriteLine(int actionId, const std::string& arguments) {
    const LearnRecorder& r = TheLearnRecorder();
    std::FILE* file = r.LearnFile;
    const char* name = MacroActionName(actionId);
    if ((file == nullptr && r.traceLine == nullptr) || name == nullptr) return;
    std::string text = name;
    text += " (";
    text += arguments;
    text += ");";
    if (r.traceLine) r.traceLine(text);
    if (file == nullptr) return;
    std::string line = "\t" + text + "\r\n";
    std::fwrite(line.data(), 1, line.size(), file);
    std::fflush(file);
}

// Whether a record operation has anyone to write to: learn mode, or a trace.
bool Wanted() { return IsLearning() || TheLearnRecorder().traceLine != nullptr; }

std::string Quoted(std::string_view text) { return "\"" + QuoteRecordedText(text) + "\""; }

// Opens the learned-macro file for writing with others kept out: a file that another
// holder (a document window with its lock) has open is refused before it is emptied.
std::FILE* OpenExclusive(const std::string& name) {
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
#ifdef F_OFD_SETLK
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        ::close(fd);
        return nullptr;
    }
#endif
    if (::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) ::close(fd);
    return file;
}

void WriteRaw(std::FILE* file, const char* text) {
    std::fputs(text, file);
    std::fflush(file);
}

}  // namespace

LearnRecorder& TheLearnRecorder() {
    static LearnRecorder recorder;
    return recorder;
}

bool IsLearning() { return TheLearnRecorder().LearnFile != nullptr; }

std::string QuoteRecordedText(std::string_view text) {
    // The script reads \" as a quote and \\ as one backslash, any other backslash as
    // itself; so a backslash is doubled when a backslash, a quote or the end follows it.
    std::string out;
    bool endsInPlainBackslash = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (kQuoteBufferSize - static_cast<int>(out.size()) < 3) {
            // Cut here: a plain backslash now ends the text and would swallow the quote.
            if (endsInPlainBackslash) out += '\\';
            break;
        }
        char c = text[i];
        char next = i + 1 < text.size() ? text[i + 1] : '\0';
        bool last = i + 1 == text.size();
        bool escape = c == '"' || (c == '\\' && (last || next == '"' || next == '\\'));
        if (escape) out += '\\';
        out += c;
        endsInPlainBackslash = c == '\\' && !escape;
    }
    return out;
}

void RecordAction(int actionId) {
    if (Wanted()) WriteLine(actionId, "");
}

void RecordText(int actionId, std::string_view text) {
    if (Wanted()) WriteLine(actionId, Quoted(text));
}

void RecordFileName(int actionId, std::string_view fileName) {
    if (!Wanted()) return;
    std::string name(fileName.substr(0, kMaxFileName));
    BackslashesToSlashes(name.data());
    RecordText(actionId, name);
}

void RecordLong(int actionId, std::int32_t value) {
    if (Wanted()) WriteLine(actionId, std::to_string(value));
}

void RecordTwoLongs(int actionId, std::int32_t first, std::int32_t second) {
    if (Wanted()) WriteLine(actionId, std::to_string(first) + "," + std::to_string(second));
}

void RecordTextLong(int actionId, std::string_view text, std::int32_t value) {
    if (Wanted()) WriteLine(actionId, Quoted(text) + "," + std::to_string(value));
}

void RecordTwoTextsLong(int actionId, std::string_view text1, std::string_view text2,
                        std::int32_t value) {
    if (Wanted())
        WriteLine(actionId, Quoted(text1) + "," + Quoted(text2) + "," + std::to_string(value));
}

void EnsureLearnFileName() {
    LearnRecorder& r = TheLearnRecorder();
    if (!r.LearnFileName.empty()) return;
    r.LearnFileName = CreateTemporaryFileName("LR");
}

void DiscardLearnFile() {
    LearnRecorder& r = TheLearnRecorder();
    if (r.LearnFile != nullptr) {  // no window is told: they may be gone by now
        std::fclose(r.LearnFile);
        r.LearnFile = nullptr;
    }
    if (!r.LearnFileName.empty()) std::remove(r.LearnFileName.c_str());
    r.LearnFileName.clear();
}

bool ToggleLearnMode() {
    LearnRecorder& r = TheLearnRecorder();
    if (r.LearnFile != nullptr) {
        WriteRaw(r.LearnFile, "\tend\r\n");
        std::fclose(r.LearnFile);
        r.LearnFile = nullptr;
        if (r.learnModeChanged) r.learnModeChanged(false);
        return false;
    }
    EnsureLearnFileName();
    std::FILE* file = r.LearnFileName.empty() ? nullptr : OpenExclusive(r.LearnFileName);
    if (file == nullptr) {
        ShowMessage(kMessageLearnFileBusy);
        return false;
    }
    r.LearnFile = file;
    WriteRaw(file, "Macro \"Recorded\"\r\n\r\n\tbegin\r\n");
    if (r.learnModeChanged) r.learnModeChanged(true);
    return true;
}

}  // namespace varlin
