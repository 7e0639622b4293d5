// BlockActions: Cut, Copy, Paste, Append and Split with their dialogs and messages. A
// failure leaves the document as it was: Cut deletes only what reached the clipboard,
// Paste reads the clipboard before it replaces a range, and Split replaces its file only
// when the whole text was written.
#include "editing/BlockActions.h"

#include "document/SafeWrite.h"
#include "editing/BlockInsert.h"
#include "editing/Clipboard.h"
#include "editing/EditActions.h"
#include "editing/RangeText.h"
#include "editing/Recording.h"
#include "editing/UndoRecord.h"
#include "platform/FileNames.h"
#include "platform/Host.h"
#include "platform/Messages.h"
#include "resources/StringTable.h"
#include "settings/Options.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace varlin {
namespace {

constexpr std::size_t kMaxFileName = 511;  // the 512-byte name buffer
constexpr std::size_t kMaxExtension = 19;

bool MarkedRange(const EditWindow& w, DragRange& range) {
    return GetNormalizedDrag(w, range) == kDragMarked;
}

// The given name, or one asked for; false when the dialog was cancelled.
bool NameOrAsk(std::string_view given, FileDialogMode mode, int titleId, std::string& name) {
    if (!given.empty()) {
        name.assign(given.substr(0, kMaxFileName));
        return true;
    }
    FileDialogRequest request;
    request.mode = mode;
    request.titleId = titleId;
    request.filter = DialogFileFilter(CurrentOptions().FileNameFilter);
    request.registryValue = kAppendFileValue;
    std::vector<std::string> names;
    if (!HostAskFileNames(request, names) || names.empty() || names[0].empty()) return false;
    name = names[0].substr(0, kMaxFileName);
    return true;
}

bool IsRegExtension(const std::string& name) {
    std::string ext = Korvel_GetExtension(name, kMaxExtension);
    if (ext.size() != 3) return false;
    for (char& c : ext) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return ext == "REG";
}

bool StartsWithByteOrderMark(int fd) {
    unsigned char mark[2] = {0, 0};
    ssize_t got = ::pread(fd, mark, 2, 0);
    return got == 2 && mark[0] == 0xFF && mark[1] == 0xFE;
}

// Opens a file to insert: a regular file only (a folder, device or pipe is refused with
// the file error message). -1 after the message.
int OpenForInsert(const std::string& name) {
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        ShowFileError(name, errno);
        return -1;
    }
    struct stat st {};
    int error = 0;
    if (::fstat(fd, &st) != 0)
        error = errno;
    else if (S_ISDIR(st.st_mode))
        error = EISDIR;
    else if (!S_ISREG(st.st_mode))
        error = EINVAL;
    if (error != 0) {
        ::close(fd);
        ShowFileError(name, error);
        return -1;
    }
    return fd;
}

// The deletion of a marked range that Cut shares with Delete.
void DeleteMarked(EditWindow& w, const DragRange& r) {
    SaveRangeForUndo(w, r);
    int col = DeleteRange(w, r);
    if (col < 0) {
        ForgetUndo();  // nothing was deleted: the saved text must not come back
        return;
    }
    const int line = std::max(r.FromLine, 0);
    SetCaret(w, line, col);
    EndUndoStep(w);
    RepaintFrom(w, line);
    RefreshStatus(w, kStatusAll);
    ClearDrag(w);
    w.modified = 1;
}

void Inserted(EditWindow& w, int fromLine) {
    EndInsertUndo(w);
    RepaintFrom(w, std::max(fromLine, 0));
    RefreshStatus(w, kStatusAll);
    w.modified = 1;
}

}  // namespace

void Cut(EditWindow& w) {
    RecordAction(kActCut);
    DragRange r;
    if (!MarkedRange(w, r)) {
        HostBeep();
        return;
    }
    if (CopyRangeToClipboard(w, r) == 0) DeleteMarked(w, r);
}

void Copy(EditWindow& w) {
    RecordAction(kActCopy);
    ForgetUndo();
    DragRange r;
    if (!MarkedRange(w, r)) {
        HostBeep();
        return;
    }
    CopyRangeToClipboard(w, r);
}

void Paste(EditWindow& w) {
    RecordAction(kActPaste);
    BeginInsertUndo(w);
    // Read first: a clipboard that cannot be read must not cost the marked range.
    std::string text;
    if (!ReadClipboardText(text, ClipboardKindOf(w))) return;
    int fromLine = w.caretLine;
    DragRange r;
    if (CurrentOptions().AutoDelDrag && MarkedRange(w, r)) {
        int col = DeleteRange(w, r);
        if (col < 0) return;
        fromLine = std::max(r.FromLine, 0);
        SetCaret(w, fromLine, col);
        ClearDrag(w);
        w.modified = 1;
        // The insertion starts where the range was, not where the cursor stood.
        BeginInsertUndo(w);
    }
    if (!text.empty() && InsertTextAtCursor(w, text, LineEndRule::Reader) != 0) {
        RepaintFrom(w, std::max(fromLine, 0));
        return;
    }
    Inserted(w, fromLine);
    ClearDrag(w);
}

void Append(EditWindow& w, std::string_view fileName) {
    ForgetUndo();
    ClearDrag(w);
    std::string name;
    if (!NameOrAsk(fileName, FileDialogMode::Open, kAppendDialogTitle, name)) return;
    RecordFileName(kActAppend, name);
    int fd = OpenForInsert(name);
    if (fd < 0) return;
    const bool wide = IsRegExtension(name) && StartsWithByteOrderMark(fd);
    const int fromLine = w.caretLine;
    BeginInsertUndo(w);
    int result = wide ? InsertStream(w, fd, 2, PieceKind::Wide, name)
                      : InsertStream(w, fd, 0, PieceKind::Plain, name);
    ::close(fd);
    if (result != 0) return;
    Inserted(w, fromLine);
}

void Split(EditWindow& w, std::string_view fileName) {
    ForgetUndo();
    DragRange r;
    if (!MarkedRange(w, r)) {
        HostBeep();
        return;
    }
    std::string name;
    if (!NameOrAsk(fileName, FileDialogMode::Save, kSplitDialogTitle, name)) return;
    RecordFileName(kActSplit, name);
    WaitCursor wait;
    // The file is replaced whole or not at all (a read-only file is refused first).
    WriteFileSafely(name, [&w, &r](ByteSink& sink) {
        return ForEachSlice(w, r, [&sink](std::string_view bytes, bool lineBreak) {
            return sink.Write(bytes.data(), bytes.size()) && (!lineBreak || sink.Write("\r\n", 2));
        });
    });
}

}  // namespace varlin
