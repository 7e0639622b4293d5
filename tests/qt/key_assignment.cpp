// F3 keys through real key events (offscreen): a macro learned with F2 L, saved with F2 Y
// (which opens the assignment dialog), assigned to F3 A there, runs with F3 a after the
// editor was ended and started again from the same settings file. A key stored as
// ACTION=40 runs the find command and keeps it, after a macro was assigned, until the
// next exit stores only the macro; "Zuordnung aufheben" stores ACTION=-1. A failing F3
// macro tells where it failed and leaves the document as the script left it.
#include "edit_view_support.h"

#include "frame/FrameCommands.h"
#include "frame/KeyTableStore.h"
#include "frame/qt/GuiMain.h"
#include "frame/qt/KeyAssignmentDialog.h"
#include "editing/Recording.h"
#include "platform/TempFiles.h"

#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

using namespace varlin;
using namespace varlin::test;

class KeyAssignmentTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(StartEditor()); }
    void cleanup() { EndEditor(false); }

    void learnSaveAssignAndRunAfterARestart() {
        EditView* view = h_.Open("abc\n");
        QVERIFY(view);
        Keys(view, {Qt::Key_F2, Qt::Key_L});
        QVERIFY(IsLearning());
        QTest::keyClicks(view, "xy");
        Keys(view, {Qt::Key_F2, Qt::Key_L});
        QVERIFY(!IsLearning());

        const std::string macro = h_.dir.filePath("xy.vlm").toStdString();
        h_.host.fileNameAnswers.push_back({macro});  // F2 Y's target
        QStringList rowA;
        OnDialog([&](KeyAssignmentDialog& d) {
            QCOMPARE(d.selectedRow(), 0);  // F3 A
            QVERIFY(!Button(d, kClearButton)->isEnabled());
            h_.host.fileNameAnswers.push_back({macro});
            QTest::mouseClick(Button(d, kAssignButton), Qt::LeftButton);
            rowA = RowTexts(d, 0);
            QVERIFY(Button(d, kClearButton)->isEnabled());
        });
        Keys(view, {Qt::Key_F2, Qt::Key_Y});
        QCOMPARE(rowA, (QStringList{"F3 A", QString::fromStdString(macro), "Recorded"}));
        QCOMPARE(h_.Text(), std::string("xyabc"));

        EndEditor(true);
        QVERIFY(StartEditor());
        QCOMPARE(Stored("CHAR-065"), "MACRO=" + macro);
        view = h_.Open("abc\n");
        Keys(view, {Qt::Key_F3, Qt::Key_A});
        QCOMPARE(h_.Text(), std::string("xyabc"));
        QCOMPARE(h_.host.messageIds, std::vector<int>{});
    }

    void storedCommandRunsAndStaysUntilTheNextExit() {
        EndEditor(false);
        SetSettingsFile(h_.dir.filePath("settings.ini").toStdString());
        Korvel_WriteStringToHKCU(kF3RegistryKey, "CHAR-070", "ACTION=40");
        QVERIFY(StartEditor());
        EditView* view = h_.Open("abc\n");
        Keys(view, {Qt::Key_F3, Qt::Key_F});
        QCOMPARE(h_.host.dialogsWanted, std::vector<DialogId>{DialogId::Find});

        const std::string macro = WriteScript("z.vlm", "InsertText (\"z\");");
        OnDialog([&](KeyAssignmentDialog& d) {
            d.list()->selectRow(5);  // F3 F
            h_.host.fileNameAnswers.push_back({macro});
            const QPoint cell = d.list()->visualRect(d.list()->model()->index(5, 1)).center();
            QTest::mouseClick(d.list()->viewport(), Qt::LeftButton, {}, cell);  // a view's double
            QTest::mouseDClick(d.list()->viewport(), Qt::LeftButton, {}, cell); // click follows one
            QCOMPARE(RowTexts(d, 5).value(1), QString::fromStdString(macro));
        });
        Keys(view, {Qt::Key_F2, Qt::Key_Z});
        h_.host.dialogsWanted.clear();
        Keys(view, {Qt::Key_F3, Qt::Key_F});  // both: the find dialog, then the macro
        QCOMPARE(h_.host.dialogsWanted, std::vector<DialogId>{DialogId::Find});
        QCOMPARE(h_.Text(), std::string("zabc"));
        EndEditor(true);
        QCOMPARE(Stored("CHAR-070"), "MACRO=" + macro);

        QVERIFY(StartEditor());
        view = h_.Open("abc\n");
        OnDialog([&](KeyAssignmentDialog& d) {
            d.list()->selectRow(5);
            QTest::mouseClick(Button(d, kClearButton), Qt::LeftButton);
            QCOMPARE(RowTexts(d, 5), (QStringList{"F3 F", "", ""}));
            QVERIFY(!Button(d, kClearButton)->isEnabled());
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        h_.frame->RunCommand(94);  // the menu's road
        Keys(view, {Qt::Key_F3, Qt::Key_F});  // nothing, and no beep
        QCOMPARE(h_.Text(), std::string("abc"));
        EndEditor(true);
        QCOMPARE(Stored("CHAR-070"), "ACTION=-1");
    }

    // Learn mode does not refuse an F3 key: its macro runs and is recorded.
    void failingMacroTellsWhereAndKeepsWhatItDid() {
        const std::string macro = WriteScript("bad.vlm", "InsertText (\"q\");\nPrint (1 div 0);");
        h_.app->keyTableF3.entries[1].macroFile = macro;  // F3 B
        EditView* view = h_.Open("abc\n");
        Keys(view, {Qt::Key_F2, Qt::Key_L});
        Keys(view, {Qt::Key_F3, Qt::Key_B});
        Keys(view, {Qt::Key_F2, Qt::Key_L});
        QCOMPARE(h_.Text(), std::string("qabc"));
        QCOMPARE(h_.host.messageIds, std::vector<int>{1115});
        QVERIFY2(QString::fromStdString(h_.host.messageTexts.at(0)).contains(QString::fromStdString(macro) + ":4:"),
                 h_.host.messageTexts.at(0).c_str());
        QVERIFY(ReadAll(TheLearnRecorder().LearnFileName).find("InsertChar (113);") != std::string::npos);
    }

private:
    bool StartEditor() {
        if (!h_.Start()) return false;
        SetTemporaryBase(h_.dir.path().toStdString());
        InstallFrameParts(*h_.frame);
        h_.frame->RefreshMenu();
        return true;
    }
    // Ends the editor as the user would; the settings are written at exit when asked.
    void EndEditor(bool save) {
        if (!h_.frame) return;
        if (IsLearning()) ToggleLearnMode();
        if (save) SaveOnExit(*h_.app);
        InstallFrameWindows(FrameWindows{});
        h_.Stop();
        SetSettingsFile(h_.dir.filePath("settings.ini").toStdString());  // to read it back
    }

    void Keys(QWidget* target, std::initializer_list<int> keys) {
        for (int key : keys) {
            const QString text = key >= Qt::Key_A && key <= Qt::Key_Z ? QString(QChar(key - Qt::Key_A + 'a')) : QString();
            Type(target, text, key);
        }
    }

    // Runs the real dialog when the core asks for it, with the test's steps on it, and
    // closes it unless the steps did.
    void OnDialog(std::function<void(KeyAssignmentDialog&)> steps) {
        h_.host.dialogAnswers.push_back([this, steps](DialogId id, void* record) {
            if (id != DialogId::KeyTable) return 2;
            KeyAssignmentDialog dialog(*static_cast<KeyAssignmentRecord*>(record), h_.frame.get());
            QTimer::singleShot(0, &dialog, [&dialog, steps] {
                steps(dialog);
                if (dialog.isVisible()) QTest::mouseClick(Button(dialog, 2), Qt::LeftButton);
            });
            const int result = dialog.exec();
            if (result != 2) qWarning("the dialog ended with %d", result);
            return result;
        });
    }

    static QPushButton* Button(QDialog& d, int id) {
        return d.findChild<QPushButton*>(QString::number(id));
    }
    static QStringList RowTexts(KeyAssignmentDialog& d, int row) {
        QStringList texts;
        for (int c = 0; c < d.list()->columnCount(); ++c) texts << d.list()->item(row, c)->text();
        return texts;
    }

    std::string Stored(const std::string& value) {
        return Korvel_ReadStringFromHKCU(kF3RegistryKey, value, "<none>", 5000);
    }
    std::string WriteScript(const char* name, const std::string& body) {
        const QString path = h_.dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return {};
        const std::string text = "Macro \"t\"\nbegin\n" + body + "\nend\n";
        file.write(text.data(), qint64(text.size()));
        return path.toStdString();
    }
    static std::string ReadAll(const std::string& path) {
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::ReadOnly)) return {};
        return file.readAll().toStdString();
    }

    EditViewHarness h_;
};

QTEST_MAIN(KeyAssignmentTest)
#include "key_assignment.moc"
