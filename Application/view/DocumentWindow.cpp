// The document window's operations apart from its widget: creation and loading, title,
// the close question, the remembered size and the routine list.
#include "view/DocumentWindow.h"

#include "dispatch/Dispatch.h"
#include "document/DocumentStyle.h"
#include "document/Language.h"
#include "document/TextFile.h"
#include "editing/EditActions.h"
#include "editing/UndoRecord.h"
#include "platform/Messages.h"
#include "platform/Registry.h"
#include "resources/StringTable.h"
#include "settings/Options.h"
#include "textutil/CodeTables.h"

#include <algorithm>
#include <new>

namespace varlin {
namespace {

const char* const kSizeKey = "EditWind";
constexpr int kOutOfMemory = 1002;

}  // namespace

void LoadEditWindowSize(EditWindow& w) {
    w.Maximized = Korvel_ReadLongFromHKCU(kSizeKey, "Maximized", 1);
    w.WindowHeight = Korvel_ReadLongFromHKCU(kSizeKey, "WindowHeight", 286);
    w.WindowWidth = Korvel_ReadLongFromHKCU(kSizeKey, "WindowWidth", 612);
}

void SaveEditWindowSize(const EditWindow& w) {
    RegistryBatch batch;
    Korvel_WriteLongToHKCU(kSizeKey, "Maximized", w.Maximized);
    Korvel_WriteLongToHKCU(kSizeKey, "WindowHeight", w.WindowHeight);
    Korvel_WriteLongToHKCU(kSizeKey, "WindowWidth", w.WindowWidth);
    batch.Commit();
}

void NoteEditWindowSize(EditWindow& w, int width, int height) {
    if (w.Maximized == 0) {
        w.WindowHeight = height;
        w.WindowWidth = width;
    }
    SaveEditWindowSize(w);
}

void NoteEditWindowMaximized(EditWindow& w, bool maximized) {
    w.Maximized = maximized ? 1 : 0;
    Korvel_WriteLongToHKCU(kSizeKey, "Maximized", w.Maximized);
}

std::unique_ptr<EditWindow> CreateEditWindow(const std::string& fileName) {
    std::unique_ptr<EditWindow> w(new (std::nothrow) EditWindow());
    if (!w || !w->doc) {
        ShowMessage(kOutOfMemory);
        return nullptr;
    }
    LoadEditWindowSize(*w);
    if (w->doc->IsFailed()) return nullptr;
    if (IsBlankFileName(fileName))
        StartNewDocument(*w->doc);
    else if (Load(*w->doc, fileName, CurrentOptions().HighLightLang) < 0)
        return nullptr;
    // A new document keeps the store's own choice, C/C++ colouring: HighLightLang only
    // applies to files read.
    return w;
}

void FinishOpening(EditWindow& w) {
    SetCaret(w, 0, MarginWidth(w));
    w.doc->TrimTail();
    RefreshStatus(w, kStatusAll);
}

int OfferReloadIfChanged(EditWindow& w) {
    if (CurrentOptions().LockMode != 0 || !w.doc) return 0;
    const std::string name = w.doc->FileName();
    if (name.empty() || !ChangedOnDisk(w.doc->disk, name)) return 0;
    if (w.doc->declinedReload.known && !ChangedOnDisk(w.doc->declinedReload, name)) return 0;
    if (ShowMessage(kReloadQuestion, name) != IdYes) {
        w.doc->declinedReload = CurrentIdentity(name);
        return 0;
    }
    auto fresh = std::make_unique<LineStore>(&w);
    if (Load(*fresh, name, CurrentOptions().HighLightLang) != 0) return 0;
    ForgetUndoOf(w);
    ClearDrag(w);
    w.doc = std::move(fresh);
    w.modified = 0;
    FinishOpening(w);
    RepaintAll(w);
    return 1;
}

bool OfferLeftoverBackups(EditWindow& w, const std::string& name,
                          const std::function<EditWindow*()>& openUntitled) {
    if (!w.doc) return true;
    const std::vector<std::string> backups = std::move(w.doc->leftoverBackups);
    w.doc->leftoverBackups.clear();
    if (!openUntitled && !backups.empty()) {
        // Nobody can look at the backup's text here, and the file may be torn: a script
        // run on it would make the mix the file's new content. The file is left for a
        // person to compare in a window; the backup stays.
        ShowMessage(kLeftoverBackupRefusal, name.c_str(), backups.front().c_str());
        return false;
    }
    for (const std::string& backup : backups) {
        // Not offered, or declined: the backup stays, and is offered again next time.
        if (ShowMessage(kLeftoverBackupQuestion, name.c_str(), backup.c_str()) != IdYes ||
            !openUntitled)
            continue;
        // Null when another editor has taken it over since it was found.
        std::unique_ptr<AdoptedBackup> held = AdoptedBackup::Adopt(backup);
        if (!held) continue;
        EditWindow* untitled = openUntitled();
        if (!untitled || !untitled->doc) continue;
        if (LoadLeftoverBackup(*untitled->doc, std::move(held), name,
                               CurrentOptions().HighLightLang) != 0)
            continue;
        untitled->modified = 1;  // closing it asks whether to keep the text
        FinishOpening(*untitled);
        RepaintAll(*untitled);
    }
    return true;
}

std::string WindowTitle(const EditWindow& w) {
    std::string title = w.doc->FileName();
    if (title.empty()) title = LoadAppString(kUntitledStringId);
    if (title.size() > kMaxTitleLength) title.resize(kMaxTitleLength);
    if (w.modified != 0) title += '*';  // changed since it was loaded or saved
    return title;
}

void PlaceCursorAt(EditWindow& w, int line, int column) {
    const int count = std::max(w.doc->GetLineCount(), 1);
    const int l = std::clamp(line, 1, count) - 1;
    const std::string_view text = w.doc->LineView(l);
    int index = 0;
    for (int c = 1; c < column && index < int(text.size()); ++c) index = NextCharIndex(w, text, index);
    const int col = IndexToColumn(w, text, index);
    ClearDrag(w);
    CenterOn(w, l, col);
    SetCaret(w, l, col);
    RepaintAll(w);
    RefreshStatus(w, kStatusAll);
}

int QueryClose(EditWindow& w) {
    if (w.modified == 0) return 1;
    // The name is shown and saved under as it stands: on a file system that tells case
    // apart, a lower-cased name would be another file.
    std::string name = w.doc->FileName();
    if (name.size() > kMaxTitleLength) name.resize(kMaxTitleLength);
    int answer = name.empty() ? ShowMessage(kUntitledChangedMessage)
                              : ShowMessage(kFileChangedMessage, name);
    if (answer == IdCancel) return 0;
    if (answer == IdNo) {
        // Discarded: a leftover backup whose text this was has served its purpose.
        if (w.doc->adoptedBackup) w.doc->adoptedBackup->Remove();
        w.doc->adoptedBackup.reset();
        return 1;
    }
    if (answer != IdYes) return 0;
    if (name.empty()) return SaveDocumentAs(w, "") == 0 ? 1 : 0;
    return StoreDocument(w) == 0 ? 1 : 0;
}

std::string RoutineName(std::string_view text) {
    const std::size_t paren = text.find('(');
    if (paren == std::string_view::npos || paren == 0) return std::string();
    long long i = static_cast<long long>(paren) - 1;
    while (i > 0 && text[static_cast<std::size_t>(i)] == ' ') --i;
    auto inWord = [&](long long k) {
        const auto c = static_cast<unsigned char>(text[static_cast<std::size_t>(k)]);
        return c >= 33 && c <= 127;
    };
    while (i > 0 && inWord(i)) --i;
    std::size_t start = static_cast<std::size_t>(i);
    if (text[start] == ' ') ++start;
    return std::string(text.substr(start, paren - start));
}

std::vector<RoutineEntry> RoutineList(const EditWindow& w) {
    std::vector<RoutineEntry> entries;
    const int count = w.LineCount();
    const bool oem = DocumentCodeTable(w) == kCodeTableOem;
    for (int line = 0; line < count; ++line) {
        std::string_view stored = w.doc->LineView(line);
        std::string_view text = stored.substr(0, static_cast<std::size_t>(WorkBufferSize(w) - 1));
        std::string name;
        if (!IsDocumentRoutineLine(*w.doc, text, &name)) continue;
        if (!HasRoutineRule(*w.doc)) name = RoutineName(text);
        if (oem) OemToAnsiBytes(name);
        entries.push_back(RoutineEntry{std::move(name), line});
    }
    w.doc->ReleaseReadPages();
    return entries;
}

}  // namespace varlin
