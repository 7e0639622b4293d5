// Browse and open in the Qt frame (offscreen): command 18 fills its dialog from
// "LastUsed"/"OpenFile", the search lists the hits, the chosen files open in the order of
// the list, and the dialog's values go back under "Find" beside the find dialog's;
// "Abbrechen" and Escape stop a running search and keep the dialog; hits read as the
// documents show them.
#include "edit_view_support.h"

#include "frame/FrameCommands.h"
#include "frame/qt/CommonDialogs.h"
#include "frame/qt/MacroFrame.h"
#include "search/qt/BrowseOpenDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace varlin;
using namespace varlin::test;

class BrowseOpenTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(h_.Start());
        InstallMacroFrame(*h_.frame);
        InstallCommonDialogs(*h_.frame);
        QVERIFY(QDir(h_.dir.path()).mkpath("src/sub"));
    }
    void cleanup() {
        InstallFrameWindows(FrameWindows{});
        h_.Stop();
    }

    void theChosenFilesOpenInTheOrderOfTheList() {
        Write("src/b.c", "one\nNeedle two\n");
        Write("src/sub/a.c", "needle\n");
        Write("src/a.c", "x needle\n");
        Write("src/c.h", "needle\n");
        Write("src/d.c", "nothing\n");
        Korvel_WriteStringToHKCU("LastUsed", "OpenFile", Path("src/old.c"));
        h_.host.dialogAnswers.push_back([this](DialogId id, void* record) {
            if (id != DialogId::BrowseOpen) return 2;
            BrowseOpenDialog d(*static_cast<BrowseOpenRecord*>(record));
            if (Field(d, 3322)->text() != QString::fromStdString(Path("src"))) return 2;
            if (!d.findChild<QComboBox*>("3321")->currentText().endsWith("(*.c)")) return 2;
            Field(d, 3320)->setText("NEEDLE");
            if (!d.StartSearch()) return 2;
            for (int waited = 0; d.searching() && waited < 5000; waited += 10) QTest::qWait(10);
            QTreeWidget* hits = d.hitList();
            QStringList lines;
            for (int i = 0; i < hits->topLevelItemCount(); ++i) lines << hits->topLevelItem(i)->text(1);
            if (lines != QStringList({"1: x needle", "2: Needle two", "1: needle"})) return 2;
            if (!d.findChild<QLabel*>("3324")->text().contains("3 Dateien")) return 2;
            hits->topLevelItem(2)->setSelected(true);  // chosen out of order
            hits->topLevelItem(0)->setSelected(true);
            d.findChild<QPushButton*>("3309")->click();
            return d.result() == QDialog::Accepted ? 1 : 2;
        });
        h_.frame->RunCommand(18);
        QVERIFY(h_.host.dialogAnswers.empty());
        QCOMPARE(h_.frame->documentCount(), 2);
        QCOMPARE(h_.Current()->window().doc->FileName(), Path("src/sub/a.c"));  // the last one opened
        QCOMPARE(Korvel_ReadStringFromHKCU("Find", "BrowseText", ""), std::string("NEEDLE"));
        QCOMPARE(Korvel_ReadStringFromHKCU("LastUsed", "OpenFile", ""), Path("src/*.c"));
        QCOMPARE(Korvel_ReadStringFromHKCU("Find", "FindString", "untouched"), std::string("untouched"));
    }

    void cancelAndEscapeStopTheSearchButKeepTheDialog() {
        for (int i = 0; i < 3000; ++i) Write("src/f" + std::to_string(i), "needle\n");
        BrowseOpenRecord record;
        record.path = Path("src/*.*");
        record.searchText = "needle";
        BrowseOpenDialog d(record);
        d.show();
        QVERIFY(d.StartSearch());
        d.findChild<QPushButton*>("3311")->click();
        QVERIFY(!d.searching());
        QVERIFY(d.findChild<QLabel*>("3324")->text().startsWith("Abgebrochen"));
        QVERIFY(d.hitList()->topLevelItemCount() < 3000);
        QVERIFY(d.StartSearch());
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(!d.searching());
        QVERIFY(d.isVisible());
        Field(d, 3320)->setText("other");
        QTest::keyClick(&d, Qt::Key_Escape);  // now it closes, and keeps what was typed
        QVERIFY(!d.isVisible());
        QCOMPARE(record.searchText, std::string("other"));
        QVERIFY(record.chosen.empty());
    }

    void refusesAnEmptyTextAndAMissingFolder() {
        BrowseOpenRecord record;
        record.path = Path("nowhere/*.c");
        BrowseOpenDialog d(record);
        QVERIFY(!d.StartSearch());
        Field(d, 3320)->setText("x");
        QVERIFY(!d.StartSearch());
        QCOMPARE(h_.host.messageIds, std::vector<int>({1102, 1031}));
    }

    void regularExpressionsMatchLinesAndABadOneIsNamed() {
        QVERIFY(QDir(h_.dir.path()).mkpath("rx"));
        Write("rx/a.c", "x needle\n");
        Write("rx/b.c", "neeedle\n");
        BrowseOpenRecord record;
        record.path = Path("rx/*.c");
        record.searchText = "ne(+dle";
        record.regex = 1;
        BrowseOpenDialog d(record);
        QVERIFY(!d.findChild<QCheckBox*>("3307")->isEnabled());  // no escape notation meanwhile
        QVERIFY(!d.StartSearch());
        QCOMPARE(h_.host.messageIds, std::vector<int>({1240}));
        Field(d, 3320)->setText("^ne+dle$");
        QVERIFY(d.StartSearch());
        for (int waited = 0; d.searching() && waited < 5000; waited += 10) QTest::qWait(10);
        QCOMPARE(d.hitList()->topLevelItemCount(), 1);
        QCOMPARE(d.hitList()->topLevelItem(0)->text(1), QString("1: neeedle"));
        d.findChild<QCheckBox*>("3318")->click();
        QVERIFY(d.findChild<QCheckBox*>("3307")->isEnabled());
    }

    // A hit's line as the documents show it: UTF-8 as UTF-8, other bytes as Windows-1252.
    void hitsShowUtf8AndWindows1252LinesAsTheDocumentsDo() {
        QVERIFY(QDir(h_.dir.path()).mkpath("u"));
        Write("u/a.c", "gr\xc3\xbc\xc3\x9f" "e needle\n");
        Write("u/b.c", "gr\xfc\xdf" "e needle\n");
        BrowseOpenRecord record;
        record.path = Path("u/*.c");
        BrowseOpenDialog d(record);
        d.show();
        QTest::keyClicks(Field(d, 3320), "needle");
        QTest::mouseClick(d.findChild<QPushButton*>("3308"), Qt::LeftButton);
        for (int waited = 0; d.searching() && waited < 5000; waited += 10) QTest::qWait(10);
        QCOMPARE(d.hitList()->topLevelItemCount(), 2);
        for (int i = 0; i < 2; ++i) QCOMPARE(d.hitList()->topLevelItem(i)->text(1), QString::fromUtf8("1: grüße needle"));
    }

private:
    std::string Path(const std::string& name) { return h_.dir.filePath(QString::fromStdString(name)).toStdString(); }
    void Write(const std::string& name, const std::string& text) {
        QFile file(QString::fromStdString(Path(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.data(), qint64(text.size()));
    }
    static QLineEdit* Field(QWidget& d, int id) { return d.findChild<QLineEdit*>(QString::number(id)); }

    EditViewHarness h_;
};

QTEST_MAIN(BrowseOpenTest)
#include "browse_open.moc"
