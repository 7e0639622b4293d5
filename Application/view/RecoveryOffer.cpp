// RecoveryOffer: see the header.
#include "view/RecoveryOffer.h"

#include "editing/UndoHistory.h"
#include "editing/UndoRecord.h"
#include "platform/Messages.h"
#include "resources/StringTable.h"
#include "view/DocumentWindow.h"

#include <algorithm>
#include <sys/stat.h>

namespace varlin {
namespace {

std::string LocalTime(std::time_t time) {
    char text[40];
    std::tm parts {};
    ::localtime_r(&time, &parts);
    std::strftime(text, sizeof text, "%d.%m.%Y %H:%M:%S", &parts);
    return text;
}

// The question for one copy; a damaged one is refused without asking.
int Ask(FoundRecovery& copy, const std::string& title, const std::string& file) {
    if (copy.damaged) return IdNo;
    struct stat st {};
    const bool older = !file.empty() && ::stat(file.c_str(), &st) == 0 && st.st_mtime > copy.time;
    const std::string note = older ? LoadAppString(kRecoveryOlderNote) : std::string();
    return ShowMessage(kRecoveryQuestion, title.c_str(), LocalTime(copy.time).c_str(), note.c_str());
}

void Adopt(EditWindow& w, FoundRecovery& copy) {
    if (!w.doc->recovery) w.doc->recovery = std::make_unique<RecoveryCopy>();
    RecoveryCopy& r = *w.doc->recovery;
    r.Adopt(copy.path, copy.Release());
    r.hasCopy = true;
    r.copiedChanges = w.doc->ChangeCount();
    r.pendingSince = -1;
}

// Loads the copy into the window into() gives; false when it was damaged or no window came.
bool Recover(FoundRecovery& copy, const std::string& title, const std::function<EditWindow*()>& into) {
    std::vector<std::string> lines;
    bool utf8 = false;
    if (copy.damaged || !ReadRecoveryCopy(copy, lines, utf8)) {
        ShowMessage(kRecoveryDamaged, title.c_str(), copy.path.c_str());
        SetAsideDamagedCopy(copy);
        return false;
    }
    EditWindow* w = into();
    if (!w || !w->doc) return false;
    ApplyRecoveredText(*w, lines, utf8);
    Adopt(*w, copy);
    return true;
}

void OfferEach(std::vector<FoundRecovery> found, const std::string& title, const std::string& file,
               const std::function<EditWindow*()>& into) {
    for (FoundRecovery& copy : found) {
        if (copy.damaged) {
            Recover(copy, title, into);  // refused with its message
            continue;
        }
        const int answer = Ask(copy, title, file);
        if (answer == IdDiscard) DiscardRecoveryCopy(copy);
        else if (answer == IdYes) Recover(copy, title, into);
        // No: the copy stays for another time, and its lock goes with the record.
    }
}

}  // namespace

std::optional<RecoverySnapshot> RecoveryDue(EditWindow& w, double now, int seconds, bool writing) {
    if (!w.doc || seconds <= 0) return std::nullopt;
    LineStore& d = *w.doc;
    if (!d.recovery) d.recovery = std::make_unique<RecoveryCopy>();
    RecoveryCopy& r = *d.recovery;
    const std::uint32_t changes = d.ChangeCount();
    if (w.modified == 0) {
        // The file holds the text: a copy would only offer it again.
        if (r.hasCopy && !writing) {
            r.Remove();
            r.hasCopy = false;
        }
        r.copiedChanges = changes;
        r.pendingSince = -1;
        return std::nullopt;
    }
    if (changes == r.copiedChanges) return std::nullopt;
    if (r.pendingSince < 0) r.pendingSince = now;
    if (writing || now - r.pendingSince < seconds) return std::nullopt;
    r.copiedChanges = changes;
    r.pendingSince = -1;
    r.hasCopy = true;
    return TakeRecoverySnapshot(d, r.Generation());
}

void ApplyRecoveredText(EditWindow& w, const std::vector<std::string>& lines, bool utf8) {
    LineStore& d = *w.doc;
    ForgetUndo();
    BeginHistoryStep(w);
    const int oldCount = d.GetLineCount();
    const int newCount = static_cast<int>(lines.size());
    const int shorter = std::min(oldCount, newCount);
    int head = 0;
    while (head < shorter && d.LineView(head) == lines[std::size_t(head)]) ++head;
    int tail = 0;
    while (tail < shorter - head && d.LineView(oldCount - 1 - tail) == lines[std::size_t(newCount - 1 - tail)]) ++tail;
    const int oldMiddle = oldCount - head - tail;
    const int newMiddle = newCount - head - tail;
    if (!UndoHistoryOn() && oldMiddle == 1 && newMiddle == 1) {
        // Typing in one line, the usual case: the program's one undo step can take it back.
        w.caretLine = head;
        SaveLineForUndo(w, d.LineView(head));
        d.SetLine(head, lines[std::size_t(head)]);
        EndUndoStep(w);
        d.utf8 = utf8;
        w.modified = 1;
        PlaceCursorAt(w, head + 1, 1);
        return;
    }
    if (newMiddle > oldMiddle) d.InsertLines(head + oldMiddle, newMiddle - oldMiddle);
    else if (oldMiddle > newMiddle) d.DeleteLines(head + newMiddle, oldMiddle - newMiddle);
    for (int i = head; i < head + newMiddle; ++i) d.SetLine(i, lines[std::size_t(i)]);
    d.utf8 = utf8;
    w.modified = 1;
    PlaceCursorAt(w, head + 1, 1);
}

void OfferRecoveryCopies(EditWindow& w, const std::function<EditWindow*()>& openUntitled) {
    if (!w.doc || w.doc->FileName().empty()) return;
    const std::string name = w.doc->FileName();
    bool taken = false;
    // The first copy taken goes into the file's own window; a second one cannot join it.
    OfferEach(FindRecoveryCopies(name), name, name, [&]() -> EditWindow* {
        if (!taken) {
            taken = true;
            return &w;
        }
        return openUntitled ? openUntitled() : nullptr;
    });
}

void OfferUnnamedRecoveries(const std::function<EditWindow*()>& openUntitled) {
    OfferEach(FindRecoveryCopies(std::string()), LoadAppString(kUntitledStringId), std::string(),
              [&]() -> EditWindow* { return openUntitled ? openUntitled() : nullptr; });
}

}  // namespace varlin
