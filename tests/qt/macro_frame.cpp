// Macros in the Qt frame (offscreen): a script opens, edits, arranges and closes real
// document windows through the frame, its commands take the road of a menu item, learn
// mode refuses running, and a broken script shows message 1115.
#include "edit_view_support.h"

#include "editing/Recording.h"
#include "frame/FrameCommands.h"
#include "frame/qt/MacroFrame.h"
#include "macro/MacroRun.h"
#include "platform/TempFiles.h"

using namespace varlin;
using namespace varlin::test;

class MacroFrameTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(h_.Start());
        SetTemporaryBase(h_.dir.path().toStdString());
        InstallMacroFrame(*h_.frame);
    }
    void cleanup() {
        if (IsLearning()) ToggleLearnMode();
        InstallFrameWindows(FrameWindows{});
        // The windows go before the frame does, as when the user closes them.
        for (QMdiSubWindow* w : h_.frame->mdiArea()->subWindowList())
            if (EditView* view = EditViewOf(w)) view->window().modified = 0;
        h_.frame->CloseAllDocuments();
        QTRY_COMPARE(h_.frame->documentCount(), 0);
        h_.Stop();
    }

    void aScriptOpensAndEditsAWindowOfTheFrame() {
        const std::string script = Write("s.vlm", "New (); InsertText (\"abc\"); ArrangeTile ();"
                                                  "Print (GetTotalLines ());");
        QCOMPARE(RunMacroFile(script), MACROLIB_OK);
        QCOMPARE(h_.frame->documentCount(), 1);
        QCOMPARE(h_.Text(), std::string("abc"));
        QCOMPARE(h_.host.printedLines, std::vector<std::string>({"1"}));
    }

    void closeFromAScriptAsksAboutChanges() {
        h_.Open("one\n", "c.txt");
        h_.host.answers = {IdCancel};
        const std::string script = Write("c.vlm", "InsertText (\"x\"); Close ();");
        QCOMPARE(RunMacroFile(script), MACROLIB_OK);
        QCOMPARE(h_.host.messageIds, std::vector<int>({1306}));
        QCOMPARE(h_.frame->documentCount(), 1);
        h_.host.answers = {IdNo};
        RunMacroFile(Write("d.vlm", "Close ();"));
        QTRY_COMPARE(h_.frame->documentCount(), 0);
    }

    void sendCommandTakesTheFramesRoad() {
        h_.Open("f(a)\n");
        RunMacroFile(Write("u.vlm", "InsertText (\"zz\"); SendCommand (31);"
                                                  "SendCommand (89); SendCommand (90);"));
        QCOMPARE(h_.Text(), std::string("f(a)"));
        QVERIFY(IsLearning());
        QCOMPARE(h_.host.messageIds, std::vector<int>({1210}));
        h_.frame->RunCommand(89);
        QVERIFY(!IsLearning());
    }

    void aBrokenScriptShowsMessage1115() {
        QCOMPARE(RunMacroFile(Write("b.vlm", "Nope ();")), MACROLIB_FAILED);
        QCOMPARE(h_.host.messageIds, std::vector<int>({1115}));
    }

private:
    std::string Write(const char* name, const std::string& body) {
        const QString path = h_.dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return std::string();
        const std::string text = "Macro \"t\"\nbegin\n" + body + "\nend\n";
        file.write(text.data(), static_cast<qint64>(text.size()));
        return path.toStdString();
    }

    EditViewHarness h_;
};

QTEST_MAIN(MacroFrameTest)
#include "macro_frame.moc"
