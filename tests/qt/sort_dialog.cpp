// The sort dialog as a real widget (offscreen): it shows the record's order, writes back
// the chosen one only on OK, reads "neither selected" as ascending, and is what the menu
// command's Sort reaches through the Qt host.
#include "modal_support.h"
#include "editing/EditWindow.h"
#include "editing/Sort.h"
#include "editing/qt/SortDialog.h"
#include "platform/qt/QtHost.h"
#include "settings/Options.h"

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace varlin;

using varlin::test::WhenModalShows;

namespace {

QRadioButton* Radio(SortDialog* d, int id) { return d->findChild<QRadioButton*>(QString::number(id)); }
QPushButton* Button(SortDialog* d, const char* id) { return d->findChild<QPushButton*>(id); }

}  // namespace

class SortDialogTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheOrderAndItsTexts() {
        SortDialogRecord record{1};
        SortDialog dialog(record);
        QCOMPARE(dialog.windowTitle(), QString("Sortieren"));
        QCOMPARE(dialog.findChild<QGroupBox*>("1009")->title(), QString("Sortierung"));
        QCOMPARE(Radio(&dialog, 2401)->text(), QString("a&ufsteigend"));
        QVERIFY(!Radio(&dialog, 2401)->isChecked());
        QVERIFY(Radio(&dialog, 2402)->isChecked());
    }

    void okTakesTheSelectedOrder() {
        SortDialogRecord record{0};
        WhenModalShows<SortDialog>([](SortDialog* d) {
            QVERIFY(Radio(d, 2401)->isChecked());
            QTest::mouseClick(Radio(d, 2402), Qt::LeftButton);
            QTest::mouseClick(Button(d, "1"), Qt::LeftButton);
        });
        QCOMPARE(RunSortDialog(nullptr, record), 1);
        QCOMPARE(record.order, 1);
    }

    void cancelLeavesTheRecord() {
        SortDialogRecord record{0};
        WhenModalShows<SortDialog>([](SortDialog* d) {
            QTest::mouseClick(Radio(d, 2402), Qt::LeftButton);
            QTest::mouseClick(Button(d, "2"), Qt::LeftButton);
        });
        QCOMPARE(RunSortDialog(nullptr, record), 0);
        QCOMPARE(record.order, 0);
    }

    void escapeCancels() {
        SortDialogRecord record{1};
        WhenModalShows<SortDialog>([](SortDialog* d) { QTest::keyClick(d, Qt::Key_Escape); });
        QCOMPARE(RunSortDialog(nullptr, record), 0);
        QCOMPARE(record.order, 1);
    }

    void neitherSelectedReadsAscending() {
        SortDialogRecord record{7};
        WhenModalShows<SortDialog>([](SortDialog* d) {
            QVERIFY(!Radio(d, 2401)->isChecked() && !Radio(d, 2402)->isChecked());
            QTest::mouseClick(Button(d, "1"), Qt::LeftButton);
        });
        QCOMPARE(RunSortDialog(nullptr, record), 1);
        QCOMPARE(record.order, 0);
    }

    void menuCommandSortsThroughTheRegisteredDialog() {
        Options options;
        options.LineNumbers = 0;
        SetCurrentOptions(&options);
        InstallQtHost();
        RegisterSortDialog();
        EditWindow w;
        for (int i = 0; i < 3; ++i) w.doc->SetLine(i, std::string(1, static_cast<char>('a' + i)));
        StartDrag(w, kDragMarked, 0, 0, 3, 0);
        WhenModalShows<SortDialog>([](SortDialog* d) {
            QTest::mouseClick(Radio(d, 2402), Qt::LeftButton);
            QTest::keyClick(d, Qt::Key_Return);  // OK is the default button
        });
        CommandSort(w);
        QCOMPARE(QString::fromStdString(std::string(w.doc->LineView(0))), QString("c"));
        QCOMPARE(QString::fromStdString(std::string(w.doc->LineView(2))), QString("a"));
        QCOMPARE(w.modified, 1);
        SetCurrentOptions(nullptr);
    }
};

QTEST_MAIN(SortDialogTest)
#include "sort_dialog.moc"
