// Benchmark of the block operations on big ranges: copying and deleting 100,000 whole
// lines (the deletion saves them for undo first), pasting 10 MB of 250,000 lines into the
// middle of a document, and undoing both. Each time is printed beside a plain copy of the
// same bytes (std::string from the same memory) and as a ratio to it; the operations
// should stay proportional to the text moved, far below half a second.
#include "editing/BlockActions.h"
#include "editing/EditActions.h"
#include "editing/RangeText.h"
#include "editing/UndoRecord.h"
#include "platform/HeadlessHost.h"
#include "settings/Options.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

using namespace varlin;

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The floor: the same number of bytes copied once in memory.
double PlainCopy(const std::string& bytes) {
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        auto start = Clock::now();
        std::string copy(bytes.data(), bytes.size());
        best = std::min(best, Since(start));
        if (copy.size() != bytes.size()) std::abort();
    }
    return best;
}

std::string Line(int i) {
    char text[64];
    std::snprintf(text, sizeof text, "    line %07d of the benchmark text, int x = %d;", i, i * 7);
    return text;
}

void Fill(EditWindow& w, int lines) {
    w.doc->Clear();
    for (int i = 0; i < lines; ++i) w.doc->SetLine(i, Line(i));
}

void Report(const char* what, double seconds, std::size_t bytes, double floor) {
    std::printf("%-40s %8.3f s  %6.1f MB  plain copy %8.4f s  ratio %7.1f\n", what, seconds,
                bytes / 1e6, floor, floor > 0 ? seconds / floor : 0.0);
}

}  // namespace

int main() {
    Options options;
    SetCurrentOptions(&options);
    HeadlessHost host;
    host.writeMessagesToStderr = true;
    host.Install();
    auto w = std::make_unique<EditWindow>();

    // 100,000 whole lines out of 300,000, marked in the line-number field.
    Fill(*w, 300000);
    StartDrag(*w, kDragMarked, 100000, 0, 199999, 0);
    DragRange r;
    GetNormalizedDrag(*w, r);
    const std::size_t rangeBytes = static_cast<std::size_t>(RangeTextSize(*w, r));
    auto start = Clock::now();
    Copy(*w);
    double copySeconds = Since(start);
    const std::string copied = host.clipboard;
    Report("Copy 100,000 whole lines", copySeconds, copied.size(), PlainCopy(copied));

    StartDrag(*w, kDragMarked, 100000, 0, 199999, 0);
    start = Clock::now();
    Delete(*w);
    Report("Delete 100,000 whole lines (undo saved)", Since(start), rangeBytes, PlainCopy(copied));
    start = Clock::now();
    Undo(*w);
    Report("Undo of that deletion", Since(start), rangeBytes, PlainCopy(copied));
    if (w->LineCount() != 300000) std::fprintf(stderr, "undo lost lines: %d\n", w->LineCount());

    // 10 MB in 250,000 lines pasted into the middle of the document.
    std::string text;
    text.reserve(10500000);
    for (int i = 0; text.size() < 10000000 - 64 || i < 250000; ++i) {
        std::string line = Line(i);
        line.resize(38, '.');
        text += line;
        text += "\r\n";
        if (i >= 250000) break;
    }
    host.clipboard = text;
    Fill(*w, 100000);
    w->caretLine = 50000;
    w->caretCol = MarginWidth(*w) + 4;
    start = Clock::now();
    Paste(*w);
    Report("Paste 250,000 lines", Since(start), text.size(), PlainCopy(text));
    start = Clock::now();
    Undo(*w);
    Report("Undo of that paste", Since(start), text.size(), PlainCopy(text));
    if (w->LineCount() != 100000) std::fprintf(stderr, "undo left %d lines\n", w->LineCount());

    w.reset();
    ResetUndoRecord();
    SetCurrentOptions(nullptr);
    return 0;
}
