// One frame per settings file, with real second starts (the window program run as a
// child process): the start ends at once and its files open in this frame at their
// lines, also names with quotes and leading dashes; files wait while a modal dialog is
// open; --wait returns when the documents close, with 1 after discarded changes; a stale
// socket of a crashed frame is taken over by the next frame.
#include "TestPaths.h"
#include "edit_view_support.h"
#include "frame/HandOver.h"
#include "frame/qt/SingleFrame.h"
#include "platform/RuntimeFolder.h"

#include <QDialog>
#include <QLocalSocket>
#include <QProcess>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace varlin;

namespace {

constexpr int kEndsWithinMs = 10000;

QString WindowProgram() { return QString::fromUtf8(VARLIN_BINARY_DIR) + QStringLiteral("/varlin-window"); }

void WriteText(const QString& path, const QByteArray& text) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(text);
}

QByteArray ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class HandOverTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // The display is part of the frame's key: none here and in the children.
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
        ::chmod(runtime_.path().toUtf8().constData(), 0700);
        QVERIFY(h_.Start());
        settings_ = h_.dir.filePath("settings.ini");
        std::string error;
        const std::string folder = UserRuntimeFolder(error);
        QVERIFY2(!folder.empty(), error.c_str());
        const std::string socket = FrameSocketPath(folder, "", settings_.toStdString());
        QVERIFY(lock_.TryTake(FrameLockPath(socket)));  // this test's frame is the one
        QVERIFY(ServeHandOvers(*h_.frame, socket));
    }
    void cleanupTestCase() { h_.Stop(); }

    void secondStartEndsAndItsFilesOpenAtTheirLines() {
        const QString plain = h_.dir.filePath("five.txt");
        const QString odd = h_.dir.filePath("-q\"x y.txt");
        WriteText(plain, "1\n2\nabcdef\n4\n5\n");
        WriteText(odd, "only\n");
        const int before = h_.frame->documentCount();
        auto start = Start({"--", plain + ":3:4", odd + ":99"});
        QTRY_COMPARE_WITH_TIMEOUT(start->state(), QProcess::NotRunning, kEndsWithinMs);
        QCOMPARE(start->exitCode(), 0);
        QTRY_COMPARE(h_.frame->documentCount(), before + 2);
        EditView* first = Find(plain);
        QVERIFY(first);
        QCOMPARE(first->window().caretLine, 2);
        QCOMPARE(first->window().caretCol, MarginWidth(first->window()) + 3);
        QVERIFY(Find(odd));
        QCOMPARE(Find(odd)->window().caretLine, 0);  // past the end: the last line
        QCOMPARE(h_.Current(), Find(odd));
    }

    void filesWaitWhileAModalDialogIsOpen() {
        const QString name = h_.dir.filePath("later.txt");
        WriteText(name, "x\n");
        const int before = h_.frame->documentCount();
        QDialog dialog(h_.frame.get());
        dialog.setModal(true);
        dialog.show();
        auto start = Start({name});
        QTRY_COMPARE_WITH_TIMEOUT(start->state(), QProcess::NotRunning, kEndsWithinMs);
        QCOMPARE(start->exitCode(), 0);
        QTest::qWait(400);
        QCOMPARE(h_.frame->documentCount(), before);
        dialog.close();
        QTRY_COMPARE(h_.frame->documentCount(), before + 1);
        QVERIFY(Find(name));
    }

    void waitReturnsWhenEveryDocumentIsClosed() {
        const QString kept = h_.dir.filePath("kept.txt");
        const QString changed = h_.dir.filePath("changed.txt");
        WriteText(kept, "k\n");
        WriteText(changed, "c\n");
        auto start = Start({"--wait", kept, changed});
        QTRY_VERIFY(Find(kept) && Find(changed));
        Close(kept);
        QTest::qWait(300);
        QCOMPARE(start->state(), QProcess::Running);  // one document is still open
        Find(changed)->window().modified = 1;
        h_.host.answers.push_back(7);  // "No": the changes are discarded
        Close(changed);
        QTRY_COMPARE_WITH_TIMEOUT(start->state(), QProcess::NotRunning, kEndsWithinMs);
        QCOMPARE(start->exitCode(), 1);

        auto again = Start({"--wait", kept});
        QTRY_VERIFY(Find(kept));
        Close(kept);
        QTRY_COMPARE_WITH_TIMEOUT(again->state(), QProcess::NotRunning, kEndsWithinMs);
        QCOMPARE(again->exitCode(), 0);
    }

    void aStaleSocketIsTakenOverByTheNextFrame() {
        // Another settings file: another frame, started as a process of its own.
        QTemporaryDir other;
        const QString settings = other.filePath("other.ini");
        std::string error;
        const std::string socket = FrameSocketPath(UserRuntimeFolder(error), "", settings.toStdString());
        QVERIFY(MakeStaleSocket(socket));
        const QString file = other.filePath("handed.txt");
        const QString hook = other.filePath("hook.vlm");
        WriteText(file, "\n");
        WriteText(hook, "Macro \"mark\"\nbegin\n  InsertText (\"handed\");\n  Save ();\n  Close ();\nend\n");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("VARLIN_TEST_AFTER_HAND_OVER", hook);
        QProcess frame;
        frame.setProcessEnvironment(environment);
        frame.start(WindowProgram(), {"--settings", settings});
        QTRY_VERIFY_WITH_TIMEOUT(Listening(socket), kEndsWithinMs);
        auto start = Start({file}, settings);
        QVERIFY(start->waitForFinished(kEndsWithinMs));
        QCOMPARE(start->exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(ReadText(file), QByteArray("handed\n"), kEndsWithinMs);
        frame.terminate();
        QVERIFY(frame.waitForFinished(kEndsWithinMs));
    }

private:
    std::unique_ptr<QProcess> Start(const QStringList& words, const QString& settings = QString()) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(WindowProgram(), QStringList{"--settings", settings.isEmpty() ? settings_ : settings} + words);
        return process;
    }

    EditView* Find(const QString& name) const {
        for (QMdiSubWindow* w : h_.frame->mdiArea()->subWindowList()) {
            EditView* view = EditViewOf(w);
            if (view && !w->isHidden() && view->window().doc->FileName() == name.toStdString()) return view;
        }
        return nullptr;
    }

    void Close(const QString& name) {
        EditView* view = Find(name);
        if (!view) return;
        for (QMdiSubWindow* w : h_.frame->mdiArea()->subWindowList()) {
            if (EditViewOf(w) == view) w->close();
        }
    }

    static bool MakeStaleSocket(const std::string& path) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);  // the file stays, nobody listens
        return bound;
    }

    static bool Listening(const std::string& path) {
        QLocalSocket probe;
        probe.connectToServer(QString::fromStdString(path));
        return probe.waitForConnected(200);
    }

    test::EditViewHarness h_;
    QTemporaryDir runtime_;
    QString settings_;
    ExclusiveLock lock_;
};

QTEST_MAIN(HandOverTest)
#include "hand_over.moc"
