// Typing with a screen reader listening and without (offscreen platform): a character typed
// on line 500,000 of a 1,000,000-line file and on line 10 of it, from the key event to its
// painted row with the change told to the client. With the client, every event is handed
// to a receiver that asks what a screen reader asks for each key (the caret offset and the
// line there), as Qt's bridge would hand them on; without it, nobody listens, as on a
// desktop without a screen reader.
// The two alternate round by round; medians of 200 rounds each and the ratio.
#include "PaintSource.h"
#include "ShownFrame.h"
#include "editing/EditActions.h"
#include "view/qt/EditViewAccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace varlin;

namespace {

int asked = 0;

// What a screen reader reads on each caret event: the offset and the line there.
void ReadLikeAScreenReader(QAccessibleEvent* event) {
    if (event->type() != QAccessible::TextCaretMoved) return;
    QAccessibleTextInterface* text = event->accessibleInterface()->textInterface();
    int start = 0;
    int end = 0;
    asked += text->textAtOffset(text->cursorPosition(), QAccessible::LineBoundary, &start, &end).size();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    bench::ShownFrame shown;
    if (!shown.Start()) return 1;
    const std::string path = shown.dir.filePath("source.c").toStdString();
    bench::WriteSource(path, true);
    EditView* view = shown.OpenSized(path, 50, 100);
    if (!view) return 1;
    EditWindow& w = view->window();
    view->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    std::printf("typed character, key event to painted row and told events, 1,000,000 lines:\n");
    for (int line : {bench::kSourceLines / 2, 10}) {
        SetCaret(w, line, MarginWidth(w) + 3);
        QApplication::processEvents();
        std::vector<double> off;
        std::vector<double> on;
        for (int round = 0; round < 400; ++round) {
            const bool client = round % 2 == 1;
            SetAccessibleEventSink(client ? ReadLikeAScreenReader : nullptr);
            const auto start = std::chrono::steady_clock::now();
            QApplication::sendEvent(view, &press);
            QApplication::processEvents();
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            (client ? on : off).push_back(ms);
            Backspace(w);
            QApplication::processEvents();
        }
        std::printf("  line %7d: without a client %.3f ms, with one %.3f ms, ratio %.2f\n", line + 1,
                    Median(off), Median(on), Median(on) / Median(off));
    }
    SetAccessibleEventSink(nullptr);
    std::printf("(%d characters read by the client)\n", asked);
    shown.frame->mdiArea()->closeAllSubWindows();
    QApplication::processEvents();
    return 0;
}
