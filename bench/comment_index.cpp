// The comment index over a 1,000,000-line C file, without the window around it: loading
// and saving, the first index far down the file after a load, the index of a 50-line
// screen at the top, in the middle and at the end, a typed character in the middle and a
// line inserted and deleted there, each followed by the index of its screen. One file has
// a block comment every 100 lines, the other none, where the look-back for a comment
// opened above the screen finds nothing until the first line. Medians in milliseconds;
// the screen's index should cost what reading its 50 lines costs wherever it is.
// Usage: bench_comment_index [FOLDER] (default /tmp); build it Release.
#include "document/LineStore.h"
#include "document/TextFile.h"
#include "platform/HeadlessHost.h"
#include "settings/Options.h"
#include "PaintSource.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace varlin;
using namespace varlin::bench;

namespace {

constexpr int kLines = bench::kSourceLines;
constexpr int kRows = 50;

void Row(const char* what, double ms) { std::printf("  %-52s %9.3f ms\n", what, ms); }

void Run(const std::string& path, const std::string& out, const char* label) {
    std::printf("%s\n", label);
    Row("load", Measure(5, [&] { LineStore s; Load(s, path, 1); }));
    {
        LineStore s;
        Load(s, path, 1);
        Row("save", Measure(5, [&] { SaveTo(s, out); }));
    }

    LineStore store;
    Load(store, path, 1);
    const int mid = kLines / 2;
    {
        const auto t = Clock::now();
        store.BuildCommentIndex(mid, mid + kRows);
        Row("first screen in the middle after the load", Millis(t, Clock::now()));
    }
    for (int at : {0, mid, kLines - kRows}) {
        char what[80];
        std::snprintf(what, sizeof what, "screen at line %d", at);
        Row(what, Measure(50, [&] { store.BuildCommentIndex(at, at + kRows); }));
    }

    const int top = mid - kRows / 2;
    const std::string line(store.LineView(mid));
    Row("typed character in the middle, its screen", Measure(50, [&] {
        store.SetLine(mid, line + "x");
        store.BuildCommentIndex(top, top + kRows);
    }, [&] { store.SetLine(mid, line); }));
    Row("typed block opener in the middle, its screen", Measure(50, [&] {
        store.SetLine(mid, line + "/*");
        store.BuildCommentIndex(top, top + kRows);
    }, [&] { store.SetLine(mid, line); }));
    Row("line inserted and deleted in the middle, its screen", Measure(50, [&] {
        store.InsertLines(mid, 1);
        store.BuildCommentIndex(top, top + kRows);
        store.DeleteLines(mid, 1);
        store.BuildCommentIndex(top, top + kRows);
    }));
}

}  // namespace

int main(int argc, char** argv) {
    HeadlessHost host;
    host.writeMessagesToStderr = false;
    host.defaultAnswer = HeadlessHost::DefaultAnswer::Yes;  // the question above 500,000 lines
    host.Install();
    Options options;
    options.LockMode = 0;
    options.HighLightLang = 1;
    SetCurrentOptions(&options);

    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const std::string withComments = folder + "/bench_comment_index_blocks.c";
    const std::string without = folder + "/bench_comment_index_plain.c";
    const std::string out = folder + "/bench_comment_index_out.c";
    WriteSource(withComments, true);
    WriteSource(without, false);
    Run(withComments, out, "1,000,000 lines, a block comment every 100 lines:");
    Run(without, out, "1,000,000 lines without block comments:");
    std::remove(withComments.c_str());
    std::remove(without.c_str());
    std::remove(out.c_str());
    return 0;
}
