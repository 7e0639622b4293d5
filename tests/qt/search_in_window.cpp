// Find, FindNext and Replace in a document window on screen (offscreen): the accelerators
// reach the commands, the hit is centred with the cursor on it, and replacing all repaints
// the window's lines through its real view hooks. The dialogs are answered by the headless
// host; their widgets have tests of their own (search_dialogs.cpp).
#include "edit_view_support.h"

#include "search/FindReplace.h"
#include "search/FindSettings.h"
#include "search/qt/FindDialogs.h"

#include <QTimer>

using namespace varlin;

class SearchInWindowTest : public QObject {
    Q_OBJECT
    test::EditViewHarness h_;

    // The next find or replace dialog ends with OK after `fill`.
    template <typename F>
    void Answer(F fill) {
        h_.host.dialogAnswers.push_back([fill](DialogId, void* record) {
            fill(*static_cast<FindSettings*>(record));
            return 1;
        });
    }

    static std::string Lines(int count, int hitAt, const char* hit) {
        std::string text;
        for (int i = 0; i < count; ++i) text += i == hitAt ? std::string(hit) + "\n" : "line " + std::to_string(i) + "\n";
        return text;
    }

private slots:
    void init() { QVERIFY(h_.Start()); }
    void cleanup() { h_.Stop(); }

    void ctrlFFindsAndAltF1FindsTheNext() {
        EditView* view = h_.Open(Lines(300, 200, "  target and target"), "a.txt");
        QVERIFY(view);
        Answer([](FindSettings& s) { s.FindString = "TARGET"; });
        QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
        EditWindow& w = view->window();
        QCOMPARE(h_.host.dialogsWanted, std::vector<DialogId>{DialogId::Find});
        QCOMPARE(w.caretLine, 200);
        QCOMPARE(w.caretCol, MarginWidth(w) + 2);
        int lines = 0;
        int cols = 0;
        VisibleSize(w, lines, cols);
        QCOMPARE(w.firstLine, 200 - lines / 2);
        QTest::keyClick(view, Qt::Key_F1, Qt::AltModifier);
        QCOMPARE(w.caretCol, MarginWidth(w) + 13);
        QTest::keyClick(view, Qt::Key_F1, Qt::AltModifier);  // no wrap-around: only a beep
        QCOMPARE(w.caretCol, MarginWidth(w) + 13);
        QCOMPARE(h_.host.beeps, 1);
    }

    void ctrlRReplacesAllInTheWindow() {
        EditView* view = h_.Open("int a;\nint b; int c;\n/* int */\n", "b.c");
        QVERIFY(view);
        Answer([](FindSettings& s) {
            s.FindString = "int";
            s.ReplaceString = "long";
            s.CapsSens = 1;
            s.ReplaceAll = 1;
        });
        QTest::keyClick(view, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(QString::fromStdString(h_.Text()), QString("long a;\nlong b; long c;\n/* long */"));
        EditWindow& w = view->window();
        QCOMPARE(w.modified, 1);
        QCOMPARE(w.dragKind, int(kDragMarked));
        QCOMPARE(w.caretLine, 2);
        QCOMPARE(w.caretCol, MarginWidth(w) + 3);
        QVERIFY(h_.host.messageIds.empty());
    }

    // Ctrl+R, asking at every hit: the question ("Ersetzen") shows where it leaves the hit's
    // line in sight, whether the hit stands at the top of the window or centred in it.
    void theQuestionLeavesTheHitInSight() {
        std::string text = "x\nfirst hit\n";
        for (int i = 2; i < 300; ++i) text += i == 150 || i == 290 ? "another hit\n" : "line\n";
        EditView* view = h_.Open(text, "q.txt");
        QVERIFY(view);
        Answer([](FindSettings& s) {
            s.FindString = "hit";
            s.ReplaceString = "HIT";
            s.ReplaceAll = 0;
        });
        std::vector<QRect> questions;
        std::vector<QRect> hitLines;
        for (int i = 0; i < 3; ++i) {
            h_.host.dialogAnswers.push_back([&](DialogId, void* record) {
                auto* timer = new QTimer;  // answers "Nein" once the question shows
                timer->setInterval(5);
                QObject::connect(timer, &QTimer::timeout, [&, timer] {
                    auto* d = qobject_cast<ReplaceQuestionDialog*>(QApplication::activeModalWidget());
                    if (!d) return;
                    timer->deleteLater();
                    timer->stop();
                    const QRect cell = view->cellRect(view->caretCell().y(), view->caretCell().x());
                    const QPoint top = view->viewport()->mapToGlobal(QPoint(0, cell.top()));
                    hitLines.push_back(QRect(top, QSize(view->viewport()->width(), cell.height())));
                    questions.push_back(d->frameGeometry());
                    d->done(kAnswerSkip);
                });
                timer->start();
                return RunReplaceQuestion(h_.frame.get(), *static_cast<FindSettings*>(record));
            });
        }
        QTest::keyClick(view, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(questions.size(), std::size_t(3));
        for (std::size_t i = 0; i < questions.size(); ++i) {
            QVERIFY2(!questions[i].intersects(hitLines[i].adjusted(0, -2, 0, 2)), qPrintable(QString::number(i)));
            QVERIFY(questions[i].intersects(h_.frame->geometry()));  // still beside the window
        }
    }
};

QTEST_MAIN(SearchInWindowTest)
#include "search_in_window.moc"
