// A document window driven with real key, mouse and wheel events (offscreen): typing in
// the code tables, AltGr characters, Enter with indentation, marking with Shift and the
// mouse (also whole lines from the margin and with automatic scrolling), the wheel,
// undo, the accelerator of every movement, and what the painted cells look like.
#include "edit_view_support.h"

#include "textutil/CodeTables.h"

#include <QElapsedTimer>
#include <QImage>
#include <QScrollBar>
#include <QWheelEvent>

#include <functional>

using namespace varlin;
using namespace varlin::test;

namespace {

QPoint CellCenter(const EditView* view, int line, int col) {
    const EditWindow& w = view->window();
    return view->cellRect(line - w.firstLine, col - w.firstCol).center();
}

std::string Lines(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "line " + std::to_string(i) + "\n";
    return text;
}

}  // namespace

class EditViewTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(h_.Start()); }
    void cleanup() {
        CurrentOptions().CodeTable = kCodeTableAnsi;
        h_.Stop();
    }

    void typingInsertsWindows1252Bytes() {
        EditView* view = h_.Open("");
        QVERIFY(view);
        QTest::keyClicks(view, "ab");
        Type(view, QString::fromUtf8("ä€"));
        QCOMPARE(h_.Text(), std::string("ab\xE4\x80"));
        const int beeps = h_.host.beeps;
        Type(view, QString::fromUtf8("ł"));  // not in Windows-1252
        QCOMPARE(h_.host.beeps, beeps + 1);
        QCOMPARE(h_.Text(), std::string("ab\xE4\x80"));
        CurrentOptions().CodeTable = kCodeTableOem;
        Type(view, QString::fromUtf8("ä"));
        QCOMPARE(h_.Text(), std::string("ab\xE4\x80\x84"));
        QCOMPARE(view->window().modified, 1);
    }

    void altGrCharactersTypeAndRunNoAccelerator() {
        EditView* view = h_.Open("");
        Type(view, "@", Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier);
        Type(view, "{", Qt::Key_7, Qt::ControlModifier | Qt::AltModifier);
        Type(view, "s", Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);  // Save as: cancelled
        QCOMPARE(h_.Text(), std::string("@{"));
        Type(view, QString(QChar(19)), Qt::Key_S, Qt::ControlModifier);  // Ctrl+S types nothing
        QCOMPARE(h_.Text(), std::string("@{"));
    }

    void enterKeepsTheIndentation() {
        EditView* view = h_.Open("    abc\n");
        QTest::keyClick(view, Qt::Key_End);
        QTest::keyClick(view, Qt::Key_Return);
        const EditWindow& w = view->window();
        QCOMPARE(w.caretLine, 1);
        QCOMPARE(w.caretCol, MarginWidth(w) + 4);
        QTest::keyClicks(view, "x");
        QCOMPARE(h_.Text(), std::string("    abc\n    x"));
    }

    void shiftArrowsMark() {
        EditView* view = h_.Open("abcdef\nghijkl\n");
        for (int i = 0; i < 3; ++i) QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
        int l0 = 0, c0 = 0, l1 = 0, c1 = 0;
        QCOMPARE(GetDragForMacro(view->window(), l0, c0, l1, c1), 1);
        QCOMPARE(QList<int>({l0, c0, l1, c1}), QList<int>({1, 1, 1, 3}));
        QVERIFY(!view->caretDrawn());
        QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(GetDragForMacro(view->window(), l0, c0, l1, c1), 1);
        QCOMPARE(QList<int>({l0, c0, l1, c1}), QList<int>({1, 1, 2, 3}));
        QTest::keyClick(view, Qt::Key_Left);
        QVERIFY(!HasDrag(view->window()));
        QVERIFY(view->caretDrawn());
    }

    void marginDragMarksWholeLines() {
        EditView* view = h_.Open(Lines(10));
        QWidget* port = view->viewport();
        QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, CellCenter(view, 1, 1));
        QTest::mouseMove(port, CellCenter(view, 3, 2));
        QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, CellCenter(view, 3, 2));
        DragRange r;
        QCOMPARE(GetNormalizedDrag(view->window(), r), int(kDragMarked));
        QCOMPARE(QList<int>({r.FromLine, r.FromCol, r.ToLine, r.ToCol}),
                 QList<int>({1, 5, 3, MaxCols(view->window()) - 1}));
        QCOMPARE(view->window().caretCol, 5);  // the cursor stays out of the margin
    }

    void shiftClickMarksFromTheLastPlainClick() {
        EditView* view = h_.Open(Lines(10));
        QWidget* port = view->viewport();
        QTest::mouseClick(port, Qt::LeftButton, Qt::NoModifier, CellCenter(view, 0, 7));
        QTest::keyClick(view, Qt::Key_Down);  // the cursor moves; the anchor stays
        QTest::mouseClick(port, Qt::LeftButton, Qt::ShiftModifier, CellCenter(view, 2, 9));
        DragRange r;
        QCOMPARE(GetNormalizedDrag(view->window(), r), int(kDragMarked));
        QCOMPARE(QList<int>({r.FromLine, r.FromCol, r.ToLine, r.ToCol}), QList<int>({0, 7, 2, 8}));
        QCOMPARE(view->window().caretLine, 1);
    }

    void clickWithoutDraggingMarksNothing() {
        EditView* view = h_.Open(Lines(10));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(view, 4, 8));
        QCOMPARE(view->window().dragKind, int(kDragNone));
        QCOMPARE(QList<int>({view->window().caretLine, view->window().caretCol}), QList<int>({4, 8}));
    }

    // Below the window the view keeps scrolling while the mouse rests, at a pace a reader
    // can follow (at most 10 steps a second just outside, 50 far outside; a twitch of the
    // mouse adds no step), and stops once the last line has reached the top.
    void draggingBelowTheWindowKeepsScrolling() {
        EditView* view = h_.Open(Lines(60));
        QWidget* port = view->viewport();
        const EditWindow& w = view->window();
        QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, CellCenter(view, 2, 6));
        QElapsedTimer clock;
        clock.start();
        const QPoint near(40, port->height() + 5);
        QTest::mouseMove(port, near);
        QCOMPARE(w.firstLine, 1);  // one line per step with MouseHystVert 0
        for (int i = 0; i < 5; ++i) QTest::mouseMove(port, near + QPoint(i % 2, 0));
        QTRY_VERIFY(w.firstLine > 3);
        QVERIFY(w.firstLine <= 2 + clock.elapsed() / 95);
        const QPoint far(40, port->height() + 200);
        QTest::mouseMove(port, far);
        QTRY_COMPARE(w.firstLine, w.LineCount() - 1);
        QTest::qWait(60);
        QCOMPARE(w.firstLine, w.LineCount() - 1);
        QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, far);
        DragRange r;
        QCOMPARE(GetNormalizedDrag(w, r), int(kDragMarked));
        QCOMPARE(r.FromLine, 2);
        QVERIFY(r.ToLine >= w.LineCount() - 1);
    }

    void wheelScrollsWithoutMovingTheCursor() {
        EditView* view = h_.Open(Lines(200));
        const EditWindow& w = view->window();
        QWidget* port = view->viewport();
        QWheelEvent down(QPointF(50, 50), port->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(port, &down);
        QCOMPARE(w.firstLine, CurrentOptions().MouseWheelScroll);
        QCOMPARE(QList<int>({w.caretLine, w.caretCol}), QList<int>({0, 5}));
        QCOMPARE(view->verticalScrollBar()->value(), w.firstLine);
        QWheelEvent up(QPointF(50, 50), port->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 240),
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(port, &up);
        QCOMPARE(w.firstLine, 0);

        // A touchpad's small deltas add up to whole notches; a turn back cancels the rest.
        const int step = CurrentOptions().MouseWheelScroll;
        struct Turn { QList<int> deltas; int stepsDownSoFar; };
        const Turn turns[] = {{{-40, -40, -39}, 0}, {{-1}, 1}, {{-100, 60, -80}, 2}, {{-119, 119}, 2},
                              {{-360}, 5}, {{120, 60, 60}, 3}};
        for (const Turn& turn : turns) {
            for (int delta : turn.deltas) {
                QWheelEvent part(QPointF(50, 50), port->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, delta),
                                 Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(port, &part);
            }
            QCOMPARE(w.firstLine, turn.stepsDownSoFar * step);
        }
    }

    void scrollBarStepsPastTheEnd() {
        EditView* view = h_.Open(Lines(3));
        const EditWindow& w = view->window();
        for (int i = 0; i < 5; ++i) view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(w.firstLine, 5);
        QCOMPARE(w.caretLine, 0);
    }

    void theThumbScalesOverAHalvedRange() {
        EditView* view = h_.Open(Lines(100000));
        const EditWindow& w = view->window();
        QScrollBar* bar = view->verticalScrollBar();
        QCOMPARE(bar->maximum(), 25000);  // 100000 halved twice
        bar->setSliderPosition(12500);
        bar->triggerAction(QAbstractSlider::SliderMove);
        QCOMPARE(w.firstLine, 50000);
        QCOMPARE(bar->value(), 12500);
        QCOMPARE(w.caretLine, 0);
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(w.firstLine, 0);
    }

    void ctrlZTakesTypingBack() {
        EditView* view = h_.Open("start\n");
        QTest::keyClicks(view, "xyz");
        QCOMPARE(h_.Text(), std::string("xyzstart"));
        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h_.Text(), std::string("start"));
    }

    // Each movement key against the action it should run, from the same place.
    void everyMovementKeyRunsItsAction() {
        std::string text;
        for (int i = 0; i < 120; ++i) {
            text += i % 20 == 0 ? "int f" + std::to_string(i) + "(void)\n" : "    alpha beta gamma\n";
        }
        EditView* view = h_.Open(text);
        EditWindow& w = view->window();
        struct Case {
            Qt::Key key;
            Qt::KeyboardModifiers mods;
            void (*action)(EditWindow&);
        } cases[] = {
            {Qt::Key_Up, Qt::NoModifier, LineUp},           {Qt::Key_Down, Qt::NoModifier, LineDown},
            {Qt::Key_Right, Qt::NoModifier, PosRight},      {Qt::Key_Left, Qt::NoModifier, PosLeft},
            {Qt::Key_PageUp, Qt::NoModifier, PageUp},       {Qt::Key_PageDown, Qt::NoModifier, PageDown},
            {Qt::Key_PageUp, Qt::ControlModifier, PageLeft}, {Qt::Key_PageDown, Qt::ControlModifier, PageRight},
            {Qt::Key_Home, Qt::NoModifier, LineStart},      {Qt::Key_End, Qt::NoModifier, LineEnd},
            {Qt::Key_Home, Qt::ControlModifier, DocStart},  {Qt::Key_End, Qt::ControlModifier, DocEnd},
            {Qt::Key_Left, Qt::ControlModifier, ItemLeft},  {Qt::Key_Right, Qt::ControlModifier, ItemRight},
            {Qt::Key_Up, Qt::ControlModifier, PrevRoutine}, {Qt::Key_Down, Qt::ControlModifier, NextRoutine},
            {Qt::Key_A, Qt::ControlModifier, DragAll},
        };
        auto reset = [&w] {
            ClearDrag(w);
            w.firstLine = 0;
            w.firstCol = 0;
            SetCaret(w, 50, 5 + 11);
        };
        for (const Case& c : cases) {
            reset();
            c.action(w);
            const QList<int> expected{w.caretLine, w.caretCol, w.firstLine, w.firstCol, w.dragKind};
            reset();
            QTest::keyClick(view, c.key, c.mods);
            const QList<int> got{w.caretLine, w.caretCol, w.firstLine, w.firstCol, w.dragKind};
            QVERIFY2(got == expected, qPrintable(QKeySequence(c.key | c.mods).toString()));
        }
    }

    void paintedCellsFollowTheGrid() {
        EditView* view = h_.Open("int main(void)\nx = 1;   \n\ty\n");
        EditWindow& w = view->window();
        StartDrag(w, kDragMarked, 1, 5, 1, 10);  // "x = 1" inverted
        SetCaret(w, 1, 12);
        QApplication::processEvents();
        const QImage image = view->viewport()->grab().toImage();
        const Options& o = CurrentOptions();
        auto at = [&](int line, int col) {
            return image.pixelColor(view->cellRect(line, col).center() * image.devicePixelRatio());
        };
        const QColor background(ColorRed(o.ColorBackground), ColorGreen(o.ColorBackground), ColorBlue(o.ColorBackground));
        const QColor text(ColorRed(o.ColorText), ColorGreen(o.ColorText), ColorBlue(o.ColorText));
        QCOMPARE(at(1, 6), text);  // a blank inside the range is the text colour
        QCOMPARE(at(0, 8), background);  // a blank outside it
        QCOMPARE(at(1, 12), background);  // a trailing blank before the dots
        // The routine line is red: some pixel of its 'm' is.
        bool red = false;
        const QRect m = view->cellRect(0, 9);
        for (int y = m.top(); y <= m.bottom(); ++y)
            for (int x = m.left(); x <= m.right(); ++x)
                red = red || image.pixelColor(QPoint(x, y) * image.devicePixelRatio()) == QColor(255, 0, 0);
        QVERIFY(red);
        // No caret while a range is marked; once cleared it inverts its cell.
        QVERIFY(!view->caretDrawn());
        ClearDrag(w);
        QApplication::processEvents();
        QVERIFY(view->caretDrawn());
        const QImage after = view->viewport()->grab().toImage();
        const QColor caret = after.pixelColor(view->cellRect(1, 12).center() * after.devicePixelRatio());
        QCOMPARE(caret, QColor(255 ^ background.red(), 255 ^ background.green(), 255 ^ background.blue()));
    }

    // A UTF-8 document is painted by character: a two-byte umlaut in one cell, a wide
    // character in two, a byte outside any sequence in a cell of its own in the comment colour.
    void utf8DocumentIsPaintedByCharacter() {
        EditView* view = h_.Open("a\xC3\xA4\xE4\xB8\xAD" "b\n", "doc.txt");
        EditWindow& w = view->window();
        QVERIFY(w.doc->utf8);
        w.doc->SetLine(1, "x\xFFy");
        w.doc->SetLine(2, "by");
        const int m = MarginWidth(w);
        LineEnd(w);
        QCOMPARE(w.caretCol, m + 5);  // a, ä, two cells of the wide character, b
        SetCaret(w, 3, m);
        view->viewport()->update();
        QApplication::processEvents();
        const QImage image = view->viewport()->grab().toImage();
        const Options& o = CurrentOptions();
        auto paints = [&](int line, int col, Color color) {
            const QColor wanted(ColorRed(color), ColorGreen(color), ColorBlue(color));
            const QRect cell = view->cellRect(line - w.firstLine, col - w.firstCol);
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x <= cell.right(); ++x)
                    if (image.pixelColor(QPoint(x, y) * image.devicePixelRatio()) == wanted) return true;
            return false;
        };
        auto cellImage = [&](int line, int col) {
            const QRect cell = view->cellRect(line - w.firstLine, col - w.firstCol);
            return image.copy(QRect(cell.topLeft() * image.devicePixelRatio(), cell.size() * image.devicePixelRatio()));
        };
        QVERIFY(paints(2, m, o.ColorText) && paints(2, m + 1, o.ColorText));
        QCOMPARE(cellImage(0, m + 4), cellImage(2, m));      // the b after the wide character, as a b alone
        QVERIFY(paints(1, m + 1, o.ColorComments));           // the lone byte
        QVERIFY(!paints(1, m + 1, o.ColorText));
        QCOMPARE(cellImage(1, m + 2), cellImage(2, m + 1));  // y right after it
    }

private:
    EditViewHarness h_;
};

QTEST_MAIN(EditViewTest)
#include "edit_view.moc"
