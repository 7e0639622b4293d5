// Recovery copies while typing in a 1,000,000-line file (offscreen, the frame's recovery
// timer and worker as the window program runs them):
// - typing at 50 characters a second on line 500,000, recovery off (RecoverySeconds 0)
//   and on (1, so a copy of the whole text is due every second), alternating block by
//   block: the key event to its painted row, and the longest the event loop was held
//   between two keys (where the timer's snapshot runs);
// - one copy of the document: the snapshot on the window's thread and the write with its
//   flush on the worker, against dd writing the file's bytes with conv=fsync (a peer
//   process, alternating).
#include "PaintSource.h"
#include "ShownFrame.h"
#include "document/RecoveryCopy.h"
#include "editing/EditActions.h"
#include "frame/qt/RecoveryWriter.h"
#include "settings/Options.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace varlin;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
double Max(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

struct Typing {
    std::vector<double> keys;   // key event to painted row
    std::vector<double> holds;  // the longest single pass of the event loop between keys
};

// Types `count` characters 20 ms apart (and takes them back), the event loop running between.
void TypeBlock(EditView* view, int count, Typing& into) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    for (int i = 0; i < count; ++i) {
        auto start = Clock::now();
        QApplication::sendEvent(view, &press);
        QApplication::processEvents();
        into.keys.push_back(Ms(start));
        double hold = 0;
        const auto gap = Clock::now();
        while (Ms(gap) < 20) {
            start = Clock::now();
            QApplication::processEvents(QEventLoop::AllEvents, 1);
            hold = std::max(hold, Ms(start));
        }
        into.holds.push_back(hold);
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    bench::ShownFrame shown;
    qputenv("XDG_STATE_HOME", shown.dir.path().toLocal8Bit());
    if (!shown.Start()) return 1;
    const std::string path = shown.dir.filePath("source.c").toStdString();
    bench::WriteSource(path, true);
    EditView* view = shown.OpenSized(path, 50, 100);
    if (!view) return 1;
    StartRecovery(*shown.frame);
    EditWindow& w = view->window();
    view->setFocus();
    SetCaret(w, bench::kSourceLines / 2, MarginWidth(w) + 3);
    QApplication::processEvents();

    Typing off, on;
    for (int block = 0; block < 16; ++block) {
        const bool recovery = block % 2 == 1;
        CurrentOptions().RecoverySeconds = recovery ? 1 : 0;
        TypeBlock(view, 100, recovery ? on : off);
    }
    std::printf("typing at 50 characters a second on line 500,000 of 1,000,000 lines (%zu keys each):\n",
                on.keys.size());
    std::printf("  key to painted row, median: off %.3f ms, on %.3f ms, ratio %.2f\n", Median(off.keys),
                Median(on.keys), Median(on.keys) / Median(off.keys));
    std::printf("  key to painted row, longest: off %.3f ms, on %.3f ms\n", Max(off.keys), Max(on.keys));
    std::printf("  event loop held between keys, longest: off %.3f ms, on %.3f ms\n", Max(off.holds),
                Max(on.holds));
    CurrentOptions().RecoverySeconds = 0;

    // One copy of the whole document, its two halves timed apart, against the peer.
    auto copy = std::make_shared<RecoveryCopy>();
    const std::string peerTarget = shown.dir.filePath("peer.c").toStdString();
    const std::string dd = "dd if='" + path + "' of='" + peerTarget + "' bs=4M conv=fsync status=none";
    std::vector<double> snapshots, writes, peers;
    std::size_t bytes = 0;
    for (int round = 0; round < 7; ++round) {
        auto start = Clock::now();
        const RecoverySnapshot s = TakeRecoverySnapshot(*w.doc, copy->Generation());
        snapshots.push_back(Ms(start));
        bytes = s.BodySize();
        start = Clock::now();
        if (copy->Write(s) != 0) return 1;
        writes.push_back(Ms(start));
        start = Clock::now();
        if (std::system(dd.c_str()) != 0) return 1;
        peers.push_back(Ms(start));
    }
    copy->Remove();
    std::printf("one copy of 1,000,000 lines (%.1f MiB), medians of 7:\n", double(bytes) / (1 << 20));
    std::printf("  on the window's thread (snapshot) %.1f ms; on the worker (write and flush) %.1f ms\n",
                Median(snapshots), Median(writes));
    std::printf("  dd conv=fsync of the file %.1f ms; ratio of the whole copy %.2f\n", Median(peers),
                (Median(snapshots) + Median(writes)) / Median(peers));
    w.modified = 0;
    shown.frame->mdiArea()->closeAllSubWindows();
    QApplication::processEvents();
    return 0;
}
