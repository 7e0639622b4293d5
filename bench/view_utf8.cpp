// A UTF-8 document against the same bytes read as Windows-1252 (offscreen platform): the
// load of a 1,000,000-line file with umlauts and a CJK line every 10 lines (recognised as
// UTF-8 with DetectUtf8 on, read as Windows-1252 with it off), and full repaints of a
// 50-row window at three places. The peer is the same work on the same bytes in a
// Windows-1252 document; the target is at most 1.2 times its time.
#include "PaintSource.h"
#include "ShownFrame.h"
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
#include <vector>

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

double LoadOnce(const std::string& path, bool utf8) {
    CurrentOptions().DetectUtf8 = utf8 ? 1 : 0;
    const auto start = Clock::now();
    auto w = CreateEditWindow(path);
    const double ms = Millis(start, Clock::now());
    if (!w || w->doc->utf8 != utf8) std::printf("  (the document was not read as expected)\n");
    return ms;
}

// Ten full repaints of the window at line `at`, its document read as UTF-8 or not.
double PaintTen(EditView* view, int at, bool utf8) {
    EditWindow& w = view->window();
    w.doc->utf8 = utf8;
    w.firstLine = at;
    view->viewport()->repaint();  // the first one lays out the new reading
    const auto start = Clock::now();
    for (int i = 0; i < 10; ++i) view->viewport()->repaint();
    return Millis(start, Clock::now());
}

struct Pairs {
    std::vector<double> ansi, utf8, ratio;
    void Add(double a, double u) {
        ansi.push_back(a);
        utf8.push_back(u);
        ratio.push_back(u / a);
    }
};

void Report(const char* what, const Pairs& p) {
    std::printf("  %-34s %10.3f ms   Windows-1252 %10.3f ms   ratio %.2f (target 1.2)\n", what, Median(p.utf8),
                Median(p.ansi), Median(p.ratio));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    bench::ShownFrame shown;
    if (!shown.Start()) return 1;
    const QTemporaryDir& dir = shown.dir;

    const std::string path = dir.filePath("text.c").toStdString();
    WriteUtf8Text(path);
    // The two readings alternate pair by pair, so that the machine's load falls on both
    // alike; each figure is a median, the ratio the median of the pairs' ratios.
    Pairs load;
    for (int round = 0; round < 15; ++round) {
        const double a = LoadOnce(path, false);
        load.Add(a, LoadOnce(path, true));
    }
    // Painting: one window, its document switched between the two readings (the bytes
    // stay the same), at three places of the file.
    CurrentOptions().DetectUtf8 = 1;
    EditView* view = shown.OpenSized(path, 50, 100);  // 50 rows of 100 columns
    if (!view) return 1;
    Pairs paint, both;
    for (int round = 0; round < 15; ++round) {
        double a = 0, u = 0;
        for (int at : {0, kLines / 2, kLines - 60}) {
            a += PaintTen(view, at, false);
            u += PaintTen(view, at, true);
        }
        paint.Add(a / 10, u / 10);
        both.Add(load.ansi[round] + a / 10, load.utf8[round] + u / 10);
    }
    std::printf("1,000,000 lines with umlauts and a CJK line every 10 (medians of 15 alternating pairs):\n");
    Report("load", load);
    Report("three full repaints, 50 x 100", paint);
    Report("load + three repaints", both);
    return 0;
}
