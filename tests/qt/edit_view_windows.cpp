// Document windows in the frame (offscreen): opening and failing to open, saving with the
// keys, the questions before closing a changed window, the size remembered under
// "EditWind", menu items greyed from the window's state, and the routine list.
#include "edit_view_support.h"

#include "document/Language.h"
#include "editing/Recording.h"
#include "frame/qt/MacroFrame.h"
#include "frame/qt/StatusLine.h"
#include "frame/qt/Toolbar.h"
#include "view/DocumentWindow.h"

#include <QMdiSubWindow>
#include <QMenu>
#include <QToolButton>

using namespace varlin;
using namespace varlin::test;

namespace {

QMenu* PopupOf(QAction* action) {
    for (QObject* o : action->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(o)) return menu;
    }
    return nullptr;
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

}  // namespace

class EditWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(h_.Start()); }
    void cleanup() {
        if (IsLearning()) ToggleLearnMode();
        h_.Stop();
    }

    void aNewWindowHasNoName() {
        QCOMPARE(OpenEditWindow(*h_.frame, "  "), 0);
        QCOMPARE(h_.frame->currentDocument()->windowTitle(), QString("Ohne Namen"));
        QCOMPARE(h_.Current()->window().caretCol, 5);
    }

    void aFileThatCannotBeReadOpensNoWindow() {
        h_.host.answers.push_back(IdNo);  // 1209: not "without a name" either
        QCOMPARE(OpenEditWindow(*h_.frame, h_.dir.filePath("missing.c").toStdString()), -1);
        QCOMPARE(h_.host.messageIds, std::vector<int>({1209}));
        QCOMPARE(h_.frame->documentCount(), 0);
    }

    void aFileHeldByAnotherWindowOpensWithoutAName() {
        CurrentOptions().LockMode = 1;
        h_.Open("held\n", "held.txt");
        h_.host.answers = {IdYes};  // 1209: open it in a window without a name all the same
        QCOMPARE(OpenEditWindow(*h_.frame, h_.dir.filePath("held.txt").toStdString()), 0);
        QCOMPARE(h_.host.messageIds, std::vector<int>({1209}));
        QCOMPARE(h_.frame->documentCount(), 2);
        QCOMPARE(h_.frame->currentDocument()->windowTitle(), QString("Ohne Namen"));
        QCOMPARE(h_.Text(), std::string("held"));
    }

    void shiftIsRecordedOnceWhileHeld() {
        EditView* view = h_.Open("abc\n");
        ToggleLearnMode();
        // Events of their own: Qt's key helpers press and release Shift around each key.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, QString(), true);
        QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::ShiftModifier);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
        for (QKeyEvent* e : {&press, &repeat, &right, &release}) QApplication::sendEvent(view, e);
        ToggleLearnMode();
        QFile learned(QString::fromStdString(TheLearnRecorder().LearnFileName));
        QVERIFY(learned.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(learned.readAll());
        QCOMPARE(text.count("ShiftKeyDown"), 1);
        QVERIFY(text.indexOf("ShiftKeyDown") < text.indexOf("PosRight"));
        QVERIFY(text.indexOf("PosRight") < text.indexOf("ShiftKeyUp"));
    }

    void ctrlSSavesAndSaveAsTakesTheNewName() {
        EditView* view = h_.Open("one\n", "a.txt");
        const QString name = h_.dir.filePath("a.txt");
        QTest::keyClicks(view, "x");
        QTRY_COMPARE(h_.frame->currentDocument()->windowTitle(), name + "*");  // the change marker
        QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(FileBytes(h_.dir.filePath("a.txt")), QByteArray("xone\n"));  // its own LF kept
        QCOMPARE(view->window().modified, 0);
        QTRY_COMPARE(h_.frame->currentDocument()->windowTitle(), name);
        QTest::keyClicks(view, "y");
        QTRY_COMPARE(h_.frame->currentDocument()->windowTitle(), name + "*");
        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);  // undone to the saved text
        QTRY_COMPARE(h_.frame->currentDocument()->windowTitle(), name);
        const QString other = h_.dir.filePath("b.txt");
        h_.host.fileNameAnswers.push_back({other.toStdString()});
        QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(FileBytes(other), QByteArray("xone\n"));  // and kept through Save As
        QCOMPARE(h_.frame->currentDocument()->windowTitle(), other);
    }

    void closingAChangedFileAsks() {
        EditView* view = h_.Open("one\n", "c.txt");
        QTest::keyClicks(view, "x");
        h_.host.answers = {IdCancel};
        QTest::keyClick(view, Qt::Key_Escape);
        QCOMPARE(h_.host.messageIds.back(), 1306);
        QVERIFY(h_.host.messageTexts.back().find("c.txt") != std::string::npos);
        QCOMPARE(h_.frame->documentCount(), 1);
        h_.host.answers = {IdYes};
        QTest::keyClick(view, Qt::Key_Escape);
        QTRY_COMPARE(h_.frame->documentCount(), 0);
        QCOMPARE(FileBytes(h_.dir.filePath("c.txt")), QByteArray("xone\n"));
    }

    void closingAChangedFileWithoutSaving() {
        EditView* view = h_.Open("one\n", "d.txt");
        QTest::keyClicks(view, "x");
        h_.host.answers = {IdNo};
        h_.frame->currentDocument()->close();
        QTRY_COMPARE(h_.frame->documentCount(), 0);
        QCOMPARE(FileBytes(h_.dir.filePath("d.txt")), QByteArray("one\n"));
    }

    void aFileChangedByAnotherProgramIsOfferedAgainAndAskedBeforeASave() {
        CurrentOptions().LockMode = 0;
        EditView* view = h_.Open("one\n", "e.txt");
        QTest::keyClicks(view, "x");
        QFile other(h_.dir.filePath("e.txt"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("theirs\n");
        other.close();
        h_.host.messageIds.clear();
        h_.host.answers = {IdNo};  // 1332: not now; the same change is not offered again
        h_.frame->RefreshMenu();
        h_.frame->RefreshMenu();
        QCOMPARE(h_.host.messageIds, std::vector<int>({1332}));
        h_.host.answers = {IdNo};  // 1331 before the save: keep their file
        QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(h_.host.messageIds.back(), 1331);
        QCOMPARE(FileBytes(h_.dir.filePath("e.txt")), QByteArray("theirs\n"));
        h_.host.answers = {IdYes};  // 1332 again after their next change: load it, as UTF-8 now
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("theirs, l\xC3\xA4nger\n");
        other.close();
        h_.frame->RefreshMenu();
        QCOMPARE(h_.Text(), std::string("theirs, l\xC3\xA4nger"));
        QCOMPARE(h_.Current()->window().modified, 0);
        QVERIFY(h_.Current()->window().doc->utf8);
        CurrentOptions().LockMode = 1;
    }

    void aLeftoverBackupIsOfferedInAWindowWithoutNameAndKeptUntilDiscarded() {
        auto leave = [&](const char* name) {
            QFile left(h_.dir.filePath(name));
            QVERIFY(left.open(QIODevice::WriteOnly));
            left.write("old one\nold two\n");
        };
        leave(".g.txt.backup-AbC123");
        leave(".h.txt.backup-AbC123");
        h_.host.answers = {IdNo};  // 1333 declined: nothing else opens, the backup stays
        h_.Open("mixed\n", "g.txt");
        QCOMPARE(h_.host.messageIds, std::vector<int>({1333}));
        QVERIFY(h_.host.messageTexts.back().find(".g.txt.backup-AbC123") != std::string::npos);
        QCOMPARE(h_.frame->documentCount(), 1);
        QVERIFY(QFile::exists(h_.dir.filePath(".g.txt.backup-AbC123")));
        h_.host.answers = {IdYes};
        h_.Open("mixed\n", "h.txt");
        QCOMPARE(h_.frame->documentCount(), 3);
        QTRY_COMPARE(h_.frame->currentDocument()->windowTitle(), QString("Ohne Namen*"));  // a change
        QCOMPARE(h_.Text(), std::string("old one\nold two"));
        QCOMPARE(h_.Current()->window().modified, 1);
        const QString backup = h_.dir.filePath(".h.txt.backup-AbC123");
        QVERIFY(QFile::exists(backup));
        h_.host.answers = {IdNo};  // 1305: not saved; the text is thrown away, and its backup
        QVERIFY(h_.frame->currentDocument()->close());
        QCOMPARE(h_.host.messageIds.back(), 1305);
        QVERIFY(!QFile::exists(backup));
    }

    void aClosedDocumentOpensAgainAtOnceWithoutBeingHeld() {
        h_.Open("x\n", "again.txt");
        h_.host.messageIds.clear();
        QVERIFY(h_.frame->currentDocument()->close());
        QCOMPARE(OpenEditWindow(*h_.frame, h_.dir.filePath("again.txt").toStdString()), 0);
        QVERIFY(h_.host.messageIds.empty());  // no 1209: the closed window let the file go
        QCOMPARE(h_.Text(), std::string("x"));
    }

    void closingAChangedWindowWithoutName() {
        QCOMPARE(OpenEditWindow(*h_.frame, ""), 0);
        QTest::keyClicks(h_.Current(), "new");
        h_.host.answers = {IdYes};  // and the "Speichern als" dialog is cancelled
        QVERIFY(!h_.frame->currentDocument()->close());
        QCOMPARE(h_.host.messageIds.back(), 1305);
        QCOMPARE(h_.frame->documentCount(), 1);
        const QString path = h_.dir.filePath("named.txt");
        h_.host.answers = {IdYes};
        h_.host.fileNameAnswers.push_back({path.toStdString()});
        QVERIFY(h_.frame->currentDocument()->close());
        QCOMPARE(FileBytes(path), QByteArray("new\n"));  // a new document gets LF
    }

    void anUnchangedWindowClosesWithoutAsking() {
        h_.Open("one\n");
        QVERIFY(h_.frame->currentDocument()->close());
        QCOMPARE(h_.host.messageIds, std::vector<int>());
    }

    void theSizeIsRemembered() {
        Korvel_WriteLongToHKCU("EditWind", "WindowWidth", 500);
        Korvel_WriteLongToHKCU("EditWind", "WindowHeight", 300);
        h_.Open("one\n");
        QMdiSubWindow* sub = h_.frame->currentDocument();
        QCOMPARE(sub->size(), QSize(500, 300));
        QVERIFY(!sub->isMaximized());
        sub->showMaximized();
        QCOMPARE(Korvel_ReadLongFromHKCU("EditWind", "Maximized", -1), 1);
        h_.frame->resize(800, 500);
        QApplication::processEvents();
        QCOMPARE(Korvel_ReadLongFromHKCU("EditWind", "WindowWidth", -1), 500);
        QCOMPARE(Korvel_ReadLongFromHKCU("EditWind", "WindowHeight", -1), 300);
        sub->showNormal();
        QCOMPARE(Korvel_ReadLongFromHKCU("EditWind", "Maximized", -1), 0);
        sub->resize(420, 260);
        QCOMPARE(Korvel_ReadLongFromHKCU("EditWind", "WindowWidth", -1), 420);
        QCOMPARE(Korvel_ReadLongFromHKCU("EditWind", "WindowHeight", -1), 260);
    }

    void menuItemsFollowTheWindowsState() {
        for (int id : {88, 89, 90, 91, 92, 93}) h_.frame->RegisterCommand(id, [] {});  // the macro part's
        EditView* view = h_.Open("abc\n");
        QTRY_COMPARE(h_.frame->currentMenuId(), 108);
        auto enabled = [this](int id) {
            QAction* action = h_.frame->findAction(id);
            if (!action) return false;
            emit PopupOf(action)->aboutToShow();
            return action->isEnabled();
        };
        QVERIFY(!enabled(13));  // Save: nothing changed
        QVERIFY(!enabled(33) && !enabled(34));  // Cut, Copy: nothing marked
        QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY(enabled(33) && enabled(34));
        QTest::keyClicks(view, "x");
        QVERIFY(enabled(13));
        for (int id : {88, 90, 91, 92, 93}) QVERIFY(enabled(id));
        ToggleLearnMode();
        for (int id : {88, 90, 91, 92, 93}) QVERIFY2(!enabled(id), qPrintable(QString::number(id)));
        QVERIFY(enabled(89));
        ToggleLearnMode();
        // "Als UTF-8 lesen" carries a check mark while the document reads as UTF-8.
        QAction* utf8 = h_.frame->findAction(405);
        QVERIFY(enabled(405) && !utf8->isChecked());
        h_.frame->RunCommand(405);
        QVERIFY(enabled(405) && utf8->isChecked() && view->window().doc->utf8);
        h_.frame->RunCommand(405);
        QVERIFY(enabled(405) && !utf8->isChecked());
    }

    void routineNames() {
        const struct {
            const char* line;
            const char* name;
        } cases[] = {
            {"int main(void)", "main"},
            {"void CView::OnDraw(CDC* pDC)", "CView::OnDraw"},
            {"f(x)", "f"},
            {"int main  (void)", "main  "},
            {"static int\tcount(x)", "\tcount"},
        };
        for (const auto& c : cases) QCOMPARE(RoutineName(c.line), std::string(c.name));
    }

    void theRoutineListFollowsTheActiveWindow() {
        EditView* view = h_.Open("  int f(void)\n{\n}\nint g(void)\n{\n}\n");
        QComboBox* list = ActiveRoutineList(*h_.frame);
        QVERIFY(list);
        QTRY_COMPARE(list->count(), 1);  // the indented head is no routine line
        QCOMPARE(list->itemText(0), QString("g"));
        QCOMPARE(list->itemData(0, Qt::UserRole).toInt(), 3);
        emit list->activated(0);
        QCOMPARE(view->window().caretLine, 3);
        QCOMPARE(view->window().caretCol, 5);
        QCOMPARE(OpenEditWindow(*h_.frame, ""), 0);
        QTRY_COMPARE(list->count(), 0);
    }

    // Ctrl+N, Ctrl+F6 and a click: the toolbar's list shows the routines of the window that
    // became active, without being dropped down first.
    void theToolbarsRoutineListIsRefilledOnActivation() {
        WithBars();
        EditView* first = h_.Open("int f(void)\n{\n}\nint g(void)\n", "a.c");
        QComboBox* list = ActiveRoutineList(*h_.frame);
        QVERIFY(list && list == h_.frame->hooks().routineList());
        QTRY_COMPARE(list->count(), 2);
        QTest::keyClick(first, Qt::Key_N, Qt::ControlModifier);
        QTRY_COMPARE(h_.frame->documentCount(), 2);
        QTRY_COMPARE(list->count(), 0);
        QCOMPARE(list->currentText(), QString());
        QTest::keyClick(h_.Current(), Qt::Key_F6, Qt::ControlModifier);
        QTRY_COMPARE(h_.Current(), first);
        QTRY_COMPARE(list->count(), 2);
        QCOMPARE(list->currentText(), QString("f"));
    }

    // A script that names its document, from a toolbar button, retitles the window and its
    // line in "&Fenster"; so does Save () of a window without a name.
    void everyRoadOfANewNameRetitlesTheWindow() {
        WithBars();
        const struct {
            const char* file;      // empty: a new window
            const char* command;   // %1: the new name
        } cases[] = {{"old.c", "SaveAs (\"%1\");"}, {"", "Save ();"}};
        int round = 0;
        for (const auto& c : cases) {
            if (*c.file) h_.Open("text\n", c.file);
            else QCOMPARE(OpenEditWindow(*h_.frame, ""), 0);
            const QString target = h_.dir.filePath(QStringLiteral("named%1.c").arg(++round));
            if (!*c.file) h_.host.fileNameAnswers.push_back({target.toStdString()});
            const QString script = h_.dir.filePath("name.vlm");
            QFile f(script);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QStringLiteral("Macro \"n\"\nbegin\n  %1\nend\n").arg(QString(c.command).arg(target)).toUtf8());
            f.close();
            InstallMacroFrame(*h_.frame);  // scripts reach the frame's windows
            ButtonSet set;
            set.buttons.push_back({ButtonKind::Macro, 0, script.toStdString()});
            FrameAreaOf(*h_.frame)->ApplyButtons(set, 0);
            QToolBar* bar = FrameAreaOf(*h_.frame)->toolbar();
            bar->actions().back()->trigger();  // the new button
            QVERIFY(QFile::exists(target));
            QCOMPARE(h_.frame->currentDocument()->windowTitle(), target);
            QTRY_COMPARE(h_.frame->currentMenuId(), 108);
            QMenu* windows = PopupOf(h_.frame->findAction(103));
            emit windows->aboutToShow();
            QStringList labels;
            for (QAction* a : windows->actions()) labels << a->text();
            QVERIFY2(labels.filter(target).size() == 1, qPrintable(labels.join('|')));
        }
    }

    // A new window is coloured as C/C++ whatever HighLightLang says; a file read while it is
    // 0 stays plain text.
    void aNewDocumentIsColouredAsCpp() {
        WithBars();
        CurrentOptions().HighLightLang = 0;
        QTest::keyClick(h_.frame.get(), Qt::Key_N, Qt::ControlModifier);
        QTRY_VERIFY(h_.Current());
        QCOMPARE(GetLanguageLabelId(*h_.Current()->window().doc), int(kLabelCpp));
        h_.Open("int f(void)\n", "plain.c");
        QCOMPARE(GetLanguageLabelId(*h_.Current()->window().doc), int(kLabelText));
        CurrentOptions().HighLightLang = 1;
    }

    // The toolbar's command buttons are greyed with their menu items: document commands
    // without a document, Save before a change, Cut before a range.
    void toolbarButtonsFollowTheMenuEnabling() {
        WithBars();
        FrameToolbar* bar = FrameAreaOf(*h_.frame)->toolbar();
        auto enabled = [bar](int id) { return bar->commandAction(id) && bar->commandAction(id)->isEnabled(); };
        const int document[] = {13, 33, 34, 40};
        QVERIFY(enabled(11) && enabled(12));
        for (int id : document) QVERIFY2(!enabled(id), qPrintable(QString::number(id)));
        EditView* view = h_.Open("abc\n");
        QTRY_VERIFY(enabled(40));
        QVERIFY(!enabled(13) && !enabled(33));
        QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY(enabled(33) && enabled(34));
        QTest::keyClicks(view, "x");
        QVERIFY(enabled(13));
        h_.host.answers = {IdNo};  // not saved
        QTest::keyClick(view, Qt::Key_F4, Qt::ControlModifier);
        QTRY_COMPARE(h_.frame->documentCount(), 0);
        QTRY_VERIFY(!enabled(40));
        for (int id : document) QVERIFY(!enabled(id));
    }

    // The status fields keep their places while the numbers grow by digits, typed or as a
    // million-line file would show them.
    void statusFieldsKeepTheirWidth() {
        WithBars();
        StatusLine* status = FrameAreaOf(*h_.frame)->statusLine();
        auto lefts = [status] {
            QApplication::processEvents();
            std::vector<int> at;
            for (int field = 500; field <= 508; ++field)
                if (StatusFieldLabel* l = status->fieldLabel(field)) at.push_back(l->geometry().left());
            return at;
        };
        EditView* view = h_.Open("one\n");
        const std::vector<int> before = lefts();
        QVERIFY(before.size() > 3);
        for (int i = 0; i < 10; ++i) QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(status->fieldText(502), QString("Zeilen 11"));
        QCOMPARE(lefts(), before);
        status->SetFieldText(500, QStringLiteral("Zeile 999999"));
        status->SetFieldText(502, QStringLiteral("Zeilen 1000000"));
        QCOMPARE(lefts(), before);
    }

private:
    // The frame again, with the program's toolbar and status line.
    void WithBars() {
        h_.Stop();
        QVERIFY(h_.Start(true));
    }

    EditViewHarness h_;
};

QTEST_MAIN(EditWindowsTest)
#include "edit_view_windows.moc"
