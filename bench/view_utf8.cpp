// A UTF-8 document against the same bytes read as Windows-1252 (offscreen platform): the
// load of a 1,000,000-line file with umlauts and a CJK line every 10 lines (recognised as
// UTF-8 with DetectUtf8 on, read as Windows-1252 with it off), and full repaints of a
// 50-row window at three places. The peer is the same work on the same bytes in a
// Windows-1252 document; the target is at most 1.2 times its time.
#include "PaintSource.h"
#include "ShownFrame.h"
#include "document/DocumentEncoding.h"
#include "frame/Application.h"
#include "frame/qt/DocumentWindows.h"
#include "frame/qt/MainFrame.h"
#include "platform/HeadlessHost.h"
#include "platform/Registry.h"
#include "settings/Options.h"
#include "view/DocumentWindow.h"
#include "view/qt/EditView.h"

#include <QApplication>
#include <QMdiArea>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <string>

using namespace varlin;
using namespace varlin::bench;

namespace {

constexpr int kLines = bench::kSourceLines;

void WriteUtf8Text(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < kLines; ++i) {
        if (i % 10 == 5)
            out << "\t// \xE6\x96\x87\xE5\xAD\x97\xE5\x88\x97\xE3\x81\xAE\xE8\xA1\x8C " << i << "\r\n";  // CJK
        else
            out << "\tint gr\xC3\xBC\xC3\x9F" "e_" << i << " = m\xC3\xA4nner(\"K\xC3\xB6ln\", " << i % 97
                << ");  /* \xC3\x9C" "bergr\xC3\xB6\xC3\x9F" "e */\r\n";
    }
}

struct Figures {
    double load = 0;
    double paint = 0;
};

Figures MeasureReading(MainFrame& frame, const std::string& path, bool utf8) {
    Figures f;
    CurrentOptions().DetectUtf8 = utf8 ? 1 : 0;
    f.load = bench::Measure(5, [&] { CreateEditWindow(path); });
    OpenEditWindow(frame, path);
    EditView* view = EditViewOf(frame.currentDocument());
    QMdiSubWindow* sub = frame.currentDocument();
    const int extraH = sub->height() - view->viewport()->height();
    const int extraW = sub->width() - view->viewport()->width();
    sub->resize(100 * view->cellWidth() + 4 + extraW, 50 * view->cellHeight() + 4 + extraH);
    QApplication::processEvents();
    EditWindow& w = view->window();
    if (w.doc->utf8 != utf8) std::printf("  (the document was not read as expected)\n");
    for (int at : {0, kLines / 2, kLines - 60}) {
        w.firstLine = at;
        f.paint += bench::Measure(50, [&] { view->viewport()->repaint(); });
    }
    frame.mdiArea()->closeAllSubWindows();
    QApplication::processEvents();
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    bench::ShownFrame shown;
    if (!shown.Start()) return 1;
    MainFrame& frame = *shown.frame;
    const QTemporaryDir& dir = shown.dir;

    const std::string path = dir.filePath("text.c").toStdString();
    WriteUtf8Text(path);
    // Alternating rounds, so that the machine's load falls on both alike.
    Figures ansi, utf8;
    for (int round = 0; round < 3; ++round) {
        const Figures a = MeasureReading(frame, path, false);
        const Figures u = MeasureReading(frame, path, true);
        if (round == 0 || a.load < ansi.load) ansi.load = a.load;
        if (round == 0 || u.load < utf8.load) utf8.load = u.load;
        if (round == 0 || a.paint < ansi.paint) ansi.paint = a.paint;
        if (round == 0 || u.paint < utf8.paint) utf8.paint = u.paint;
    }
    std::printf("1,000,000 lines with umlauts and a CJK line every 10 (best of 3 rounds):\n");
    std::printf("  %-34s %10.3f ms   Windows-1252 %10.3f ms   ratio %.2f (target 1.2)\n", "load", utf8.load,
                ansi.load, utf8.load / ansi.load);
    std::printf("  %-34s %10.3f ms   Windows-1252 %10.3f ms   ratio %.2f (target 1.2)\n",
                "three full repaints, 50 x 100", utf8.paint, ansi.paint, utf8.paint / ansi.paint);
    std::printf("  %-34s %10.3f ms   Windows-1252 %10.3f ms   ratio %.2f (target 1.2)\n", "load + paint",
                utf8.load + utf8.paint, ansi.load + ansi.paint,
                (utf8.load + utf8.paint) / (ansi.load + ansi.paint));
    return 0;
}
