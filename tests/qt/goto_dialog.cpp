// The go-to dialog as a real widget (offscreen): the slot buttons follow the remembered
// positions, "&Letze" fills the fields and keeps "&Ok" the default, bad numbers are refused
// with their messages and the focus on the faulty field, the preview shows the lines around
// the typed line with that line highlighted, and command 39 reaches the dialog through the
// Qt host (cancel leaves the cursor but clears the range).
#include "modal_support.h"
#include "dispatch/CommandTable.h"
#include "editing/EditWindow.h"
#include "editing/EditActions.h"
#include "platform/HeadlessHost.h"
#include "platform/qt/QtHost.h"
#include "settings/Options.h"
#include "view/qt/GotoDialog.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace varlin;

using varlin::test::WhenModalShows;

namespace {

template <typename W>
W* Control(QWidget* d, int id) { return d->findChild<W*>(QString::number(id)); }
QLineEdit* Edit(QWidget* d, int id) { return Control<QLineEdit>(d, id); }
QPushButton* Button(QWidget* d, int id) { return Control<QPushButton>(d, id); }

}  // namespace

class GotoDialogTest : public QObject {
    Q_OBJECT
    Options options;
    HeadlessHost headless;
    std::unique_ptr<EditWindow> w;

private slots:
    void init() {
        options = Options{};
        options.LineNumbers = 0;
        SetCurrentOptions(&options);
        headless.Reset();
        headless.writeMessagesToStderr = false;
        headless.Install();
        w = std::make_unique<EditWindow>();
        for (int i = 0; i < 40; ++i) w->doc->SetLine(i, "line " + std::to_string(i));
    }
    void cleanup() {
        w.reset();
        SetCurrentOptions(nullptr);
    }

    void slotButtonsFollowTheRememberedPositions() {
        GotoDialogRecord record{1, 1, w.get()};
        {
            GotoDialog d(record);
            for (int id : {501, 504, 508, 509}) QVERIFY(!Button(&d, id)->isEnabled());
            QCOMPARE(Button(&d, 501)->text(), QString("&Letze"));
            QCOMPARE(d.windowTitle(), QString("Sprung auf Position"));
        }
        w->caretLine = 10;
        w->caretCol = 0;
        PushPosition(*w);
        w->caretLine = 3;
        w->caretCol = 7;
        PushPosition(*w);
        GotoDialog d(record);
        QVERIFY(Button(&d, 501)->isEnabled());
        QVERIFY(Button(&d, 504)->isEnabled());
        QVERIFY(!Button(&d, 508)->isEnabled());
        Button(&d, 504)->click();  // the older one: line 10, column 0
        QCOMPARE(Edit(&d, 511)->text(), QString("11"));
        QCOMPARE(Edit(&d, 512)->text(), QString("1"));
        QVERIFY(Button(&d, 1)->isDefault());
        QCOMPARE(Control<GotoPreview>(&d, 515)->targetLine(), 10);
        Button(&d, 501)->click();
        QCOMPARE(Edit(&d, 511)->text(), QString("4"));
        QCOMPARE(Edit(&d, 512)->text(), QString("8"));
    }

    void badNumbersAreRefusedAndTheDialogStays_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("message");
        QTest::addColumn<int>("focusField");
        QTest::newRow("letters") << "12a" << "1" << 1111 << 511;
        QTest::newRow("zero") << "0" << "1" << 1111 << 511;
        QTest::newRow("too far") << "1000000" << "1" << 1111 << 511;
        QTest::newRow("empty") << "" << "1" << 1111 << 511;
        QTest::newRow("column 5001") << "12" << "5001" << 1112 << 512;
        QTest::newRow("column 0") << "12" << "0" << 1112 << 512;
    }
    void badNumbersAreRefusedAndTheDialogStays() {
        QFETCH(QString, line);
        QFETCH(QString, column);
        QFETCH(int, message);
        QFETCH(int, focusField);
        GotoDialogRecord record{5, 6, w.get()};
        WhenModalShows<GotoDialog>([&](GotoDialog* d) {
            QTRY_COMPARE(d->focusWidget(), static_cast<QWidget*>(Edit(d, 511)));
            QCOMPARE(Edit(d, 511)->selectedText(), QString("5"));
            Edit(d, 511)->setText(line);
            Edit(d, 512)->setText(column);
            Button(d, 1)->click();
            QCOMPARE(headless.messageIds, std::vector<int>{message});
            QVERIFY(d->isVisible());
            QCOMPARE(d->focusWidget(), static_cast<QWidget*>(Edit(d, focusField)));
            Edit(d, 511)->setText("999999");
            Edit(d, 512)->setText("5000");
            QTest::keyClick(d, Qt::Key_Return);
        });
        QCOMPARE(RunGotoDialog(nullptr, record), 1);
        QCOMPARE(record.line, 999999);
        QCOMPARE(record.column, 5000);
    }

    void previewShowsTheLinesAroundTheTypedLine() {
        GotoDialogRecord record{1, 1, w.get()};
        GotoDialog d(record);
        d.show();
        auto* preview = Control<GotoPreview>(&d, 515);
        Edit(&d, 511)->setText("21");
        const std::vector<int> lines = preview->shownLines();
        QVERIFY(lines.size() >= 5);
        QCOMPARE(preview->targetLine(), 20);
        // The target stands in the middle row (the upper of two middle rows).
        const int middle = int(lines.size()) / 2 - 1;
        QCOMPARE(lines[std::size_t(middle)], 20);
        // Drawn: the target row in ColorHighlight (red), the others in ColorText (black).
        QImage image(preview->size(), QImage::Format_RGB32);
        preview->render(&image);
        const int row = preview->rowHeight();
        auto redInRow = [&](int r) {
            for (int y = 5 + r * row; y < 5 + (r + 1) * row && y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (c.red() > 150 && c.green() < 100 && c.blue() < 100) return true;
                }
            return false;
        };
        QVERIFY(redInRow(middle));
        QVERIFY(!redInRow(0));
    }

    void commandGoesThroughTheHostAndCancelKeepsTheCursor() {
        InstallQtHost();
        RegisterGotoDialog();
        w->caretLine = 2;
        w->caretCol = 3;
        StartDrag(*w, kDragMarked, 2, 0, 4, 3);
        WhenModalShows<GotoDialog>([](GotoDialog* d) {
            QCOMPARE(Edit(d, 511)->text(), QString("3"));
            QCOMPARE(Edit(d, 512)->text(), QString("4"));
            Button(d, 2)->click();
        });
        RunWindowCommand(*w, 39);
        QCOMPARE(w->caretLine, 2);
        QCOMPARE(w->caretCol, 3);
        QVERIFY(!HasDrag(*w));
        WhenModalShows<GotoDialog>([](GotoDialog* d) {
            Edit(d, 511)->setText("30");
            Edit(d, 512)->setText("2");
            Button(d, 1)->click();
        });
        RunWindowCommand(*w, 39);
        QCOMPARE(w->caretLine, 29);
        QCOMPARE(w->caretCol, 1);
        headless.Install();
    }
};

QTEST_MAIN(GotoDialogTest)
#include "goto_dialog.moc"
