// TextWriter: a document goes out line by line with its line end after each (CR LF, or
// LF for a file that had only those), null lines as empty ones, through one large buffer
// and the safe replacement of SafeWrite. Save and SaveAs are the parts of the save
// commands that need no window.
#include "document/DocumentStyle.h"
#include "document/FileLock.h"
#include "document/LeftoverBackup.h"
#include "document/RecoveryCopy.h"
#include "document/LineStore.h"
#include "document/SafeWrite.h"
#include "document/TextFile.h"
#include "platform/Host.h"
#include "platform/Messages.h"
#include "resources/StringTable.h"
#include "settings/Options.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace varlin {
namespace {

constexpr int kSaveAsTitle = 1502;

}  // namespace

namespace {

// What a save does to the lines on their way out, as the file's .editorconfig asks: blanks
// and tabs before the line end dropped, no line end after the last line.
struct WriteRules {
    bool trimTrailing = false;
    bool noFinalLineEnd = false;
};

std::string_view Trimmed(std::string_view line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    return line;
}

int WriteLines(const LineStore& store, const std::string& name, int from, int to, LineEnds ends,
               DiskIdentity* written, WriteRules rules) {
    from = std::max(from, 0);
    to = std::min(to, store.GetLineCount() - 1);
    const char* end = LineEndBytes(ends);
    const std::size_t endSize = std::strlen(end);
    return WriteFileSafely(name, [&](ByteSink& sink) {
        constexpr int kBatch = 256;
        std::string_view lines[kBatch];
        for (int i = from; i <= to; i += kBatch) {
            const int n = std::min(kBatch, to - i + 1);
            store.LineViews(i, n, lines);
            for (int k = 0; k < n; ++k) {
                const std::string_view line = rules.trimTrailing ? Trimmed(lines[k]) : lines[k];
                const bool last = rules.noFinalLineEnd && i + k == to;
                if (!sink.WriteLine(line.data(), line.size(), end, last ? 0 : endSize)) return false;
            }
        }
        return true;
    }, written);
}

}  // namespace

int WriteRange(const LineStore& store, const std::string& name, int from, int to,
               LineEnds ends, DiskIdentity* written) {
    return WriteLines(store, name, from, to, ends, written, WriteRules{});
}

int SaveTo(LineStore& store, const std::string& name) {
    // Writing over the file a text-mode load stopped short in would drop its rest.
    const bool overLoadedFile = !store.FileName().empty() && name == store.FileName();
    if (overLoadedFile && store.cutAtCtrlZ >= 0 &&
        ShowMessage(kSaveCutFileQuestion, name) != IdYes)
        return -1;
    // Another program changed the file since we read or wrote it: its change would be lost.
    if (overLoadedFile && ChangedOnDisk(store.disk, name, store.LoadedText().get()) &&
        ShowMessage(kChangedOnDiskQuestion, name) != IdYes)
        return -1;
    // A file of another name may have an .editorconfig of its own.
    if (name != store.FileName()) ApplyEditorConfig(store, name, StyleFor::Save);
    // The document's own lock would refuse the write; it is released first.
    store.lockedFile.reset();
    store.TrimTail();
    WriteRules rules;
    rules.trimTrailing = store.Style().trimTrailing == 1;
    rules.noFinalLineEnd = store.Style().finalNewline == 0;
    DiskIdentity written;
    if (WriteLines(store, name, 0, store.GetLineCount() - 1, SavedLineEnds(store), &written, rules) != 0)
        return -1;
    store.disk = written;
    store.declinedReload = DiskIdentity{};
    store.cutAtCtrlZ = -1;  // the document now belongs to a file that holds all of it
    // A leftover backup whose text this was is needed no more.
    if (store.adoptedBackup) {
        store.adoptedBackup->Remove();
        store.adoptedBackup.reset();
    }
    if (store.recovery) {
        store.recovery->Remove();
        store.recovery->hasCopy = false;
    }
    // The bytes are on the disk now, whatever follows: a lock another process took in the
    // moment after the rename is told as such, and the save still counts as done (a
    // caller that took it for lost would apply its edit a second time).
    store.SetFileName(name);
    if (CurrentOptions().LockMode != 0) {
        int error = 0;
        store.lockedFile = FileLock::Open(name, FileLock::Mode::Held, error);
        if (!store.lockedFile) ShowMessage(kNotRelockedMessage, name);
    }
    return 0;
}

bool IsBlankFileName(std::string_view name) {
    return std::all_of(name.begin(), name.end(), [](char c) {
        unsigned char u = static_cast<unsigned char>(c);
        return u >= 1 && u <= 32;
    });
}

int SaveAs(LineStore& store, std::string_view name) {
    std::string chosen(name);
    if (IsBlankFileName(name)) {
        FileDialogRequest request;
        request.mode = FileDialogMode::Save;
        request.titleId = kSaveAsTitle;
        request.filter = DialogFileFilter(CurrentOptions().FileNameFilter);
        request.registryValue = "OpenFile";
        std::vector<std::string> names;
        if (!HostAskFileNames(request, names) || names.empty() || IsBlankFileName(names[0]))
            return 2;
        chosen = names[0];
    }
    return SaveTo(store, chosen) == 0 ? 1 : 2;
}

SaveOutcome Save(LineStore& store) {
    if (store.FileName().empty())
        return SaveAs(store, {}) == 1 ? SaveOutcome::SavedAs : SaveOutcome::Cancelled;
    return SaveTo(store, store.FileName()) == 0 ? SaveOutcome::Saved : SaveOutcome::Failed;
}

}  // namespace varlin
