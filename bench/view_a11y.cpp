// Typing with a screen reader listening and without (offscreen platform): a character typed
// near the end of a 1,000,000-line file and on line 11 of it, and a line inserted near the
// end, from the action to its painted rows with the change told to the client. With the client, every event is handed
// to a receiver that asks what a screen reader asks for each key (the caret offset and the
// line there), as Qt's bridge would hand them on; without it, nobody listens, as on a
// desktop without a screen reader.
// The two alternate round by round; medians of 200 rounds each (the quartiles of the row
// without a client as its spread) and the ratio.
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

double Quantile(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(static_cast<double>(v.size() - 1) * q)];
}

double Median(const std::vector<double>& v) { return Quantile(v, 0.5); }

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
    std::printf("action to painted rows and told events, 1,000,000 lines:\n");
    const int nearEnd = bench::kSourceLines - 10;
    struct Row {
        const char* what;
        int line;
        bool typed;  // else a line inserted (and deleted again)
    } rows[] = {{"typed character", nearEnd, true}, {"typed character", 10, true}, {"inserted line", nearEnd, false},
                 {"inserted line", 10, false}};
    for (const Row& row : rows) {
        SetCaret(w, row.line, MarginWidth(w) + 3);
        QApplication::processEvents();
        std::vector<double> off;
        std::vector<double> on;
        for (int round = 0; round < 400; ++round) {
            const bool client = round % 2 == 1;
            SetAccessibleEventSink(client ? ReadLikeAScreenReader : nullptr);
            const auto start = std::chrono::steady_clock::now();
            if (row.typed) QApplication::sendEvent(view, &press);
            else InsertLine(w);
            QApplication::processEvents();
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            (client ? on : off).push_back(ms);
            if (row.typed) Backspace(w);
            else DeleteLine(w);
            QApplication::processEvents();
        }
        std::printf("  %s, line %7d: without a client %.3f ms (%.3f-%.3f), with one %.3f ms, ratio %.2f\n",
                    row.what, row.line + 1, Median(off), Quantile(off, 0.25), Quantile(off, 0.75), Median(on),
                    Median(on) / Median(off));
    }
    SetAccessibleEventSink(nullptr);
    std::printf("(%d characters read by the client)\n", asked);
    shown.frame->mdiArea()->closeAllSubWindows();
    QApplication::processEvents();
    return 0;
}
