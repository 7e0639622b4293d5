// Many undo steps in a 1,000,000-line document: 1,000 places each typed over with ten
// characters (10,000 characters, one step per place) and 1,000 line edits (deleting,
// duplicating and cutting lines), with UndoSteps 10000, then Undo until nothing is left.
//   bench_undo --write FILE     writes the 1,000,000-line document
//   bench_undo --load FILE      only loads it (the baseline of the process's CPU time)
//   bench_undo FILE             loads it, edits, undoes all; checks that the document is
//                               as loaded and prints: edit seconds, undo seconds, the
//                               history's bytes after the edits, the process's peak KB
// bench/undo.sh runs the same work in the peer editor and prints the ratios.
#include "document/LineStore.h"
#include "document/TextFile.h"
#include "editing/EditActions.h"
#include "editing/UndoHistory.h"
#include "editing/UndoRecord.h"
#include "platform/HeadlessHost.h"
#include "settings/Options.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <sys/resource.h>

using namespace varlin;

namespace {

constexpr int kLines = 1000000;
constexpr int kPlaces = 1000;
constexpr int kLineEdits = 1000;

int WriteDocument(const char* name) {
    std::FILE* f = std::fopen(name, "wb");
    if (!f) return 1;
    for (int i = 0; i < kLines; ++i) std::fprintf(f, "    value_%d = compute(%d, \"text\");\n", i, i % 977);
    return std::fclose(f) == 0 ? 0 : 1;
}

// The line of the k-th edit, 1-based as the peer's script has it.
int PlaceOf(int k) { return (k * 997) % (kLines - 2 * kLineEdits) + 1; }

std::uint64_t Fingerprint(const EditWindow& w) {
    std::uint64_t h = 1469598103934665603ull;
    for (int l = 0; l < w.LineCount(); ++l) {
        for (char c : w.doc->LineView(l)) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        h = (h ^ '\n') * 1099511628211ull;
    }
    return h;
}

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    HeadlessHost host;
    host.writeMessagesToStderr = true;
    host.Install();
    if (argc == 3 && std::strcmp(argv[1], "--write") == 0) return WriteDocument(argv[2]);
    const bool loadOnly = argc == 3 && std::strcmp(argv[1], "--load") == 0;
    if (loadOnly) {
        LineStore store;
        return Load(store, argv[2], 0) == 0 ? (std::puts("loaded"), 0) : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_undo --write FILE | bench_undo FILE\n");
        return 2;
    }
    Options options;
    options.LineNumbers = 0;
    options.UndoSteps = 10000;
    options.UndoMemory = 1024;
    SetCurrentOptions(&options);
    EditWindow w;
    if (Load(*w.doc, argv[1], 0) != 0 || w.LineCount() != kLines) {
        std::fprintf(stderr, "bench_undo: cannot read %s\n", argv[1]);
        return 1;
    }
    StartHistory(w);
    SetActiveEditWindow(&w);
    const std::uint64_t original = Fingerprint(w);
    const int margin = MarginWidth(w);

    const double edit = Seconds([&] {
        for (int k = 0; k < kPlaces; ++k) {
            SetCaret(w, PlaceOf(k) - 1, margin);
            for (char c : std::string("0123456789")) InsertChar(w, c);
        }
        for (int k = 0; k < kLineEdits; ++k) {
            SetCaret(w, PlaceOf(k + kPlaces) - 1, margin + 4);
            switch (k % 3) {
            case 0: DeleteLine(w); break;
            case 1: DuplicateLine(w); break;
            default: TruncateLineEnd(w); break;
            }
        }
    });
    const HistorySize size = HistorySizeOf(w);
    int undone = 0;
    const double undo = Seconds([&] {
        while (CanUndoIn(&w)) {
            Undo(w);
            ++undone;
        }
    });
    if (Fingerprint(w) != original || undone != kPlaces + kLineEdits) {
        std::fprintf(stderr, "bench_undo: %d steps undone, the document is %s\n", undone,
                     Fingerprint(w) == original ? "as loaded" : "NOT as loaded");
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.4f %.4f %zu %ld\n", edit, undo, size.bytes, usage.ru_maxrss);
    SetActiveEditWindow(nullptr);
    SetCurrentOptions(nullptr);
    return 0;
}
