// The document window with a 1,000,000-line file (offscreen platform): the time a full
// repaint of a 50-row window takes, the time from a typed character's key event to its
// painted row, the time opening adds to the load before the first screen is painted, and
// a jump with the scroll-bar thumb to the middle of the file, whose paint must cost what
// a paint at the top costs (only the shown lines are read). Medians; the targets are
// 5 ms for the repaint and the typed character and 50 ms for opening. A file without any
// block comment is measured as well: the look-back for a comment opened above the window
// must not read the lines between line 0 and the screen. There is no peer tool here.
#include "PaintSource.h"
#include "ShownFrame.h"
#include "editing/EditActions.h"
#include "frame/Application.h"
#include "frame/qt/DocumentWindows.h"
#include "frame/qt/MainFrame.h"
#include "platform/HeadlessHost.h"
#include "platform/Registry.h"
#include "settings/Options.h"
#include "view/DocumentWindow.h"
#include "view/qt/EditView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QScrollBar>
#include <QTemporaryDir>

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

// A C source of kLines lines: routines, statements with keywords and tabs, and (when
// asked) a block comment every 100 lines.
void Report(const char* what, double ms, double target) {
    std::printf("%-58s %8.3f ms   (%.2f of the %g ms target)\n", what, ms, ms / target, target);
}

void Run(ShownFrame& shown, const std::string& path, const char* label) {
    MainFrame& frame = *shown.frame;
    std::printf("%s\n", label);
    // Load alone, and opening with its first paint.
    const double load = Measure(3, [&] { CreateEditWindow(path); });
    const double open = Measure(3, [&] {
        OpenEditWindow(frame, path);
        EditViewOf(frame.currentDocument())->viewport()->repaint();
    }, [&] { frame.mdiArea()->closeAllSubWindows(); QApplication::processEvents(); });
    std::printf("%-58s %8.3f ms\n", "  load of the file", load);
    Report("  opening beyond the load, first screen painted", open - load, 50);

    EditView* view = shown.OpenSized(path, 50, 100);  // 50 rows of 100 columns
    if (!view) return;
    int lines = 0, cols = 0;
    VisibleSize(view->window(), lines, cols);
    std::printf("  window: %d rows x %d columns\n", lines, cols);
    EditWindow& w = view->window();

    for (int at : {0, kLines / 2, kLines - 60}) {
        w.firstLine = at;
        char what[80];
        std::snprintf(what, sizeof what, "  full repaint of the window at line %d", at);
        Report(what, Measure(50, [&] { view->viewport()->repaint(); }), 5);
    }

    // A typed character: key event in, its row painted.
    w.firstLine = 0;
    SetCaret(w, kLines / 2, MarginWidth(w) + 3);
    QApplication::processEvents();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    const double typed = Measure(50, [&] {
        QApplication::sendEvent(view, &press);
        QApplication::processEvents();
    }, [&] { Backspace(w); QApplication::processEvents(); });
    Report("  typed character, key event to painted row", typed, 5);

    // The thumb to the middle: the step and its paint.
    QScrollBar* bar = view->verticalScrollBar();
    const double thumb = Measure(20, [&] {
        bar->setSliderPosition(bar->maximum() / 2);
        bar->triggerAction(QAbstractSlider::SliderMove);
        view->viewport()->repaint();
    }, [&] {
        ScrollRequest(w, ScrollBar::Vertical, ScrollCode::Start);
        view->viewport()->repaint();
    });
    Report("  thumb to the middle, painted", thumb, 5);
    frame.mdiArea()->closeAllSubWindows();
    QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    bench::ShownFrame shown;
    if (!shown.Start()) return 1;
    const QTemporaryDir& dir = shown.dir;

    const std::string withComments = dir.filePath("comments.c").toStdString();
    const std::string without = dir.filePath("plain.c").toStdString();
    WriteSource(withComments, true);
    WriteSource(without, false);
    Run(shown, withComments, "1,000,000 lines, a block comment every 100 lines:");
    Run(shown, without, "1,000,000 lines without block comments:");
    return 0;
}
