// The find, replace and question dialogs as real widgets (offscreen): their texts and
// controls, the prefilled fields with the search text selected, "&Ok" refusing an empty
// search text, "&Abbruch" and Escape leaving the record alone, the question's four end
// codes, and the replace command reaching them through the Qt host.
#include "modal_support.h"
#include "editing/EditWindow.h"
#include "platform/HeadlessHost.h"
#include "platform/Registry.h"
#include "platform/TestFolder.h"
#include "platform/qt/QtHost.h"
#include "search/FindReplace.h"
#include "search/qt/FindDialogs.h"
#include "settings/Options.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
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
QCheckBox* Check(QWidget* d, int id) { return Control<QCheckBox>(d, id); }
QPushButton* Button(QWidget* d, int id) { return Control<QPushButton>(d, id); }
QString Label(QWidget* d, int id) { return Control<QLabel>(d, id)->text(); }

// The widget that Tab moves to from w.
QWidget* NextTabStop(QWidget* w) {
    QWidget* next = w->nextInFocusChain();
    while (next != w && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
    return next;
}

FindSettings Record(FindDialogKind kind) {
    FindSettings s;
    s.FindString = "alt";
    s.ReplaceString = "neu";
    s.CapsSens = 1;
    s.EndOfLine = 1;
    s.DialogKind = kind;
    return s;
}

}  // namespace

class SearchDialogsTest : public QObject {
    Q_OBJECT
    HeadlessHost headless;

private slots:
    void init() {
        headless.Reset();
        headless.writeMessagesToStderr = false;
        headless.Install();
    }

    void findDialogShowsTheRecordAndItsTexts() {
        FindSettings s = Record(FindDialogKind::Find);
        FindReplaceDialog d(s);
        QCOMPARE(d.windowTitle(), QString("Suchen"));
        QCOMPARE(Label(&d, 2203), QString("&Suchbegriff"));
        QCOMPARE(Edit(&d, 2202)->text(), QString("alt"));
        QCOMPARE(Check(&d, 2201)->text(), QString("&Groß-Kleinschreibung berücksichtigen"));
        QCOMPARE(Check(&d, 2204)->text(), QString("Suchbegriff muß am Zeilenanfang stehen"));
        QCOMPARE(Check(&d, 2205)->text(), QString("Suchbegriff muß am Zeilenende stehen"));
        QCOMPARE(Check(&d, 2207)->text(), QString("Ersatzdarstellung für Steuerzeichen erkennen"));
        QVERIFY(Check(&d, 2201)->isChecked());
        QVERIFY(!Check(&d, 2204)->isChecked());
        QVERIFY(Check(&d, 2205)->isChecked());
        QVERIFY(!Check(&d, 2207)->isChecked());
        QCOMPARE(Button(&d, 1)->text(), QString("&Ok"));
        QVERIFY(Button(&d, 1)->isDefault());
        QCOMPARE(Button(&d, 2)->text(), QString("&Abbruch"));
        QVERIFY(!Edit(&d, 902));
        QVERIFY(!Check(&d, 903));
    }

    void searchFieldHasTheFocusWithItsTextSelected() {
        FindSettings s = Record(FindDialogKind::Find);
        WhenModalShows<FindReplaceDialog>([](FindReplaceDialog* d) {
            QTRY_COMPARE(d->focusWidget(), static_cast<QWidget*>(Edit(d, 2202)));
            QCOMPARE(Edit(d, 2202)->selectedText(), QString("alt"));
            QTest::keyClicks(d->focusWidget(), "neu");  // typing replaces the old text
            QTest::keyClick(d, Qt::Key_Return);
        });
        QCOMPARE(RunFindReplaceDialog(nullptr, s), 1);
        QCOMPARE(QString::fromStdString(s.FindString), QString("neu"));
    }

    void okWithEmptySearchTextKeepsTheDialogOpen() {
        FindSettings s = Record(FindDialogKind::Find);
        WhenModalShows<FindReplaceDialog>([this](FindReplaceDialog* d) {
            Edit(d, 2202)->clear();
            Button(d, 1)->click();
            QCOMPARE(headless.messageIds, std::vector<int>{1102});
            QVERIFY(d->isVisible());
            QCOMPARE(d->focusWidget(), static_cast<QWidget*>(Edit(d, 2202)));
            Edit(d, 2202)->setText(QString(300, QChar('x')) + QString::fromUtf8("ä"));
            Check(d, 2204)->setChecked(true);
            Check(d, 2201)->setChecked(false);
            Button(d, 1)->click();
        });
        QCOMPARE(RunFindReplaceDialog(nullptr, s), 1);
        QCOMPARE(s.FindString, std::string(255, 'x'));  // cut at 255
        QCOMPARE(s.CapsSens, 0);
        QCOMPARE(s.StartOfLine, 1);
        QCOMPARE(s.EndOfLine, 1);
    }

    void umlautsAreWindows1252Bytes() {
        FindSettings s = Record(FindDialogKind::Find);
        s.FindString = "\xE4";
        WhenModalShows<FindReplaceDialog>([](FindReplaceDialog* d) {
            QCOMPARE(Edit(d, 2202)->text(), QString::fromUtf8("ä"));
            Edit(d, 2202)->setText(QString::fromUtf8("Ü"));
            Button(d, 1)->click();
        });
        QCOMPARE(RunFindReplaceDialog(nullptr, s), 1);
        QCOMPARE(s.FindString, std::string("\xDC"));
    }

    void cancelAndEscapeLeaveTheRecord() {
        for (bool escape : {false, true}) {
            FindSettings s = Record(FindDialogKind::Replace);
            WhenModalShows<FindReplaceDialog>([escape](FindReplaceDialog* d) {
                Edit(d, 2202)->setText("other");
                Check(d, 903)->setChecked(true);
                if (escape)
                    QTest::keyClick(d, Qt::Key_Escape);
                else
                    Button(d, 2)->click();
            });
            QCOMPARE(RunFindReplaceDialog(nullptr, s), 2);
            QCOMPARE(QString::fromStdString(s.FindString), QString("alt"));
            QCOMPARE(s.ReplaceAll, 0);
        }
    }

    void replaceDialogHasItsControlsInScreenOrder() {
        FindSettings s = Record(FindDialogKind::Replace);
        FindReplaceDialog d(s);
        d.show();
        QCOMPARE(d.windowTitle(), QString("Ersetzen"));
        QCOMPARE(Label(&d, 216), QString("&Suchbegriff"));
        QCOMPARE(Label(&d, 901), QString("&Ersetzung"));
        QCOMPARE(Edit(&d, 902)->text(), QString("neu"));
        QCOMPARE(Check(&d, 903)->text(), QString("Al&le gefundenen Begriffe ersetzen"));
        QVERIFY(!Check(&d, 903)->isChecked());
        // Top to bottom, which is also the Tab order.
        const QList<QWidget*> order = {Edit(&d, 2202), Edit(&d, 902), Check(&d, 2201), Check(&d, 2204),
                                       Check(&d, 2205), Check(&d, 2207), Check(&d, 2206), Check(&d, 903),
                                       Button(&d, 1)};
        for (int i = 1; i < order.size(); ++i) {
            QVERIFY(order[i - 1]->mapTo(&d, QPoint()).y() < order[i]->mapTo(&d, QPoint()).y());
            QCOMPARE(NextTabStop(order[i - 1]), order[i]);
        }
    }

    void regexBoxDisablesTheEscapeNotationAndIsTakenBack() {
        FindSettings s = Record(FindDialogKind::Find);
        s.Regex = 1;
        s.ExpandEscapes = 1;
        FindReplaceDialog d(s);
        QCOMPARE(Check(&d, 2206)->text(), QString("Regulärer Ausdruck"));
        QVERIFY(!Check(&d, 2207)->isEnabled());
        Check(&d, 2206)->click();
        QVERIFY(Check(&d, 2207)->isEnabled());
        Button(&d, 1)->click();
        QCOMPARE(s.Regex, 0);
        QCOMPARE(s.ExpandEscapes, 1);
    }

    void questionShowsTheTextsAsTypedAndEndsWithItsCodes() {
        struct Row { int button; int code; int replaceAll; };
        const Row rows[] = {{2301, 2301, 0}, {2302, 2302, 0}, {2303, 2301, 1}, {2, 2, 0}};
        for (const Row& r : rows) {
            FindSettings s = Record(FindDialogKind::Replace);
            s.FindString = "a\\tb";
            WhenModalShows<ReplaceQuestionDialog>([r](ReplaceQuestionDialog* d) {
                QCOMPARE(d->windowTitle(), QString("Ersetzen"));
                QCOMPARE(Edit(d, 2202)->text(), QString("a\\tb"));
                QVERIFY(!Edit(d, 2202)->isEnabled());
                QCOMPARE(Edit(d, 902)->text(), QString("neu"));
                QVERIFY(!Edit(d, 902)->isEnabled());
                QCOMPARE(Label(d, 2304), QString("&Ersetzen"));
                QCOMPARE(Label(d, 2305), QString("&durch"));
                QCOMPARE(Button(d, 2301)->text(), QString("&Ja"));
                QVERIFY(Button(d, 2301)->isDefault());
                QCOMPARE(Button(d, 2302)->text(), QString("&Nein"));
                QCOMPARE(Button(d, 2303)->text(), QString("&Alles ersetzen"));
                QCOMPARE(Button(d, 2)->text(), QString("Abbrechen"));
                Button(d, r.button)->click();
            });
            QCOMPARE(RunReplaceQuestion(nullptr, s), r.code);
            QCOMPARE(s.ReplaceAll, r.replaceAll);
        }
        FindSettings s = Record(FindDialogKind::Replace);
        WhenModalShows<ReplaceQuestionDialog>([](ReplaceQuestionDialog* d) { QTest::keyClick(d, Qt::Key_Escape); });
        QCOMPARE(RunReplaceQuestion(nullptr, s), 2);
    }

    void replaceCommandThroughTheQtHost() {
        test::TestFolder folder;
        SetSettingsFile(folder.File("settings.ini"));
        Options options;
        options.LineNumbers = 0;
        SetCurrentOptions(&options);
        InstallQtHost();
        RegisterSearchDialogs();
        EditWindow w;
        w.doc->SetLine(0, "abab");

        // "&Abbruch" replaces nothing and stores nothing.
        WhenModalShows<FindReplaceDialog>([](FindReplaceDialog* d) {
            Edit(d, 2202)->setText("b");
            Button(d, 2)->click();
        });
        CommandReplace(w);
        QCOMPARE(QString::fromStdString(std::string(w.doc->LineView(0))), QString("abab"));
        QCOMPARE(w.modified, 0);

        // Replace all chosen in the dialog; the next open shows the box unchecked again.
        WhenModalShows<FindReplaceDialog>([](FindReplaceDialog* d) {
            QVERIFY(!Check(d, 903)->isChecked());
            Edit(d, 2202)->setText("b");
            Edit(d, 902)->setText("c");
            Check(d, 903)->setChecked(true);
            Button(d, 1)->click();
        });
        CommandReplace(w);
        QCOMPARE(QString::fromStdString(std::string(w.doc->LineView(0))), QString("acac"));
        bool uncheckedAgain = false;
        WhenModalShows<FindReplaceDialog>([&uncheckedAgain](FindReplaceDialog* d) {
            uncheckedAgain = !Check(d, 903)->isChecked() && Edit(d, 2202)->text() == "b";
            Button(d, 2)->click();
        });
        CommandReplace(w);
        QVERIFY(uncheckedAgain);

        // Asked replace: "&Nein" then "&Alles ersetzen".
        w.doc->SetLine(0, "xyxyxy");
        w.caretCol = 0;
        WhenModalShows<FindReplaceDialog>([](FindReplaceDialog* d) {
            Edit(d, 2202)->setText("x");
            Edit(d, 902)->setText("Z");
            Button(d, 1)->click();
        });
        int questions = 0;
        std::function<void(ReplaceQuestionDialog*)> answer = [&](ReplaceQuestionDialog* d) {
            ++questions;
            Button(d, questions == 1 ? 2302 : 2303)->click();
            if (questions == 1) WhenModalShows<ReplaceQuestionDialog>(answer);
        };
        WhenModalShows<ReplaceQuestionDialog>(answer);
        CommandReplace(w);
        QCOMPARE(QString::fromStdString(std::string(w.doc->LineView(0))), QString("xyZyZy"));
        QCOMPARE(questions, 2);

        headless.Install();
        SetCurrentOptions(nullptr);
        SetSettingsFile("");
    }
};

QTEST_MAIN(SearchDialogsTest)
#include "search_dialogs.moc"
