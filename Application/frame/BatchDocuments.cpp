// The documents of a batch run.
#include "frame/BatchDocuments.h"

#include "dispatch/Dispatch.h"
#include "document/TextFile.h"
#include "platform/Messages.h"
#include "resources/StringTable.h"
#include "view/DocumentWindow.h"

#include <algorithm>

namespace varlin {
namespace {

constexpr int kChangesNotSaved = 1261;
constexpr int kUntitled = 1500;

BatchDocuments* Docs(void* context) { return static_cast<BatchDocuments*>(context); }

}  // namespace

int BatchDocuments::Open(const std::string& fileName) {
    std::unique_ptr<EditWindow> w = CreateEditWindow(fileName);
    if (!w) return -1;
    EditWindow* before = ActiveEditWindow();
    SetActiveEditWindow(w.get());
    FinishOpening(*w);
    // Without a window the backup's text cannot be shown, and the file beside it may be
    // torn: it is not edited, and the backup stays (message 1269).
    if (!OfferLeftoverBackups(*w, fileName, nullptr)) {
        SetActiveEditWindow(before);
        return -1;
    }
    openedAs[w.get()] = fileName;
    open.push_back(std::move(w));
    return 0;
}

void BatchDocuments::Store(EditWindow& w) {
    if (!w.doc->FileName().empty() && StoreDocument(w) == 0) return;
    std::string name = openedAs.count(&w) ? openedAs[&w] : std::string();
    if (IsBlankFileName(name)) name = "\"" + name + "\" (" + LoadAppString(kUntitled) + ")";
    ShowMessage(kChangesNotSaved, name);
    ++unsaved;
}

void BatchDocuments::Detach(EditWindow& w) {
    auto it = std::find_if(open.begin(), open.end(), [&](const auto& p) { return p.get() == &w; });
    if (it == open.end()) return;
    closed.push_back(std::move(*it));
    open.erase(it);
    if (ActiveEditWindow() == &w) SetActiveEditWindow(open.empty() ? nullptr : open.back().get());
}

bool BatchDocuments::Close(EditWindow& w) {
    if (QueryClose(w) == 0) return false;
    Detach(w);
    return true;
}

int BatchDocuments::CloseAll() {
    std::vector<EditWindow*> windows;
    for (const auto& p : open) windows.push_back(p.get());
    for (EditWindow* w : windows) Close(*w);
    return static_cast<int>(open.size());
}

void BatchDocuments::Finish(bool save) {
    if (save)
        for (const auto& w : open)
            if (w->modified != 0) Store(*w);
    SetActiveEditWindow(nullptr);
    open.clear();
    closed.clear();
    openedAs.clear();
}

FrameWindows BatchWindows(BatchDocuments& docs) {
    FrameWindows windows;
    windows.context = &docs;
    windows.openDocument = [](void* c, const std::string& name) { return Docs(c)->Open(name); };
    windows.closeDocument = [](void* c, EditWindow& w) { return Docs(c)->Close(w); };
    windows.closeAll = [](void* c) { return Docs(c)->CloseAll(); };
    // There are no windows to arrange.
    windows.arrange = nullptr;
    return windows;
}

}  // namespace varlin
