// Support for the block and undo tests: a document made from raw lines (any byte), the
// document read back as one text, files in a folder of the test's own, and a host that
// also remembers the last file-dialog request.
#pragma once

#include "EditTestSupport.h"

#include "editing/BlockActions.h"
#include "editing/UndoRecord.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace varlin::test {

struct BlockFixture : EditFixture {
    std::filesystem::path folder;
    static inline FileDialogRequest lastRequest;
    static inline int dialogs = 0;

    void SetUp() override {
        EditFixture::SetUp();
        ResetUndoRecord();
        char pattern[] = "/tmp/varlin-block-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = pattern;
        // The headless host, with the file dialog watched.
        Host h = host.MakeHost();
        dialogs = 0;
        lastRequest = FileDialogRequest();
        static bool (*headlessAsk)(void*, const FileDialogRequest&, std::vector<std::string>&);
        headlessAsk = h.askFileNames;
        h.askFileNames = [](void* context, const FileDialogRequest& request, std::vector<std::string>& names) {
            ++dialogs;
            lastRequest = request;
            return headlessAsk(context, request, names);
        };
        InstallHost(h);
    }
    void TearDown() override {
        ResetUndoRecord();
        std::filesystem::remove_all(folder);
        EditFixture::TearDown();
    }

    std::string PathOf(const std::string& name) const { return (folder / name).string(); }

    std::string WriteFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
        return PathOf(name);
    }
    std::string ReadFile(const std::string& name) const {
        std::ifstream in(PathOf(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

// The document's lines joined by '\n', bytes as they are.
inline std::string DocText(const EditWindow& w) {
    std::string out;
    for (int l = 0; l < w.LineCount(); ++l) {
        if (l > 0) out += '\n';
        out += w.doc->LineView(l);
    }
    return out;
}

// Replaces the document by lines (any bytes), cursor at the start.
inline void SetLines(EditWindow& w, const std::vector<std::string>& lines) {
    w.doc->Clear();
    for (std::size_t i = 0; i < lines.size(); ++i) w.doc->SetLine(static_cast<int>(i), lines[i]);
    w.caretLine = 0;
    w.caretCol = MarginWidth(w);
    w.firstLine = 0;
    w.firstCol = 0;
    w.dragKind = kDragNone;
}

}  // namespace varlin::test
