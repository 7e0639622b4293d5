// The window program killed (kill -9) before, during and after a recovery copy is
// written: the next start offers exactly the text typed up to the last whole copy, never
// a mix, and once that start ends normally no copy is left. The window program is this
// test's own binary started again as a child (RECOVERY_CHILD set): the frame with its
// document windows and the recovery timer, typing what the parent sends on its input.
#include "edit_view_support.h"

#include "document/RecoveryCopy.h"
#include "frame/qt/RecoveryWriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <sys/stat.h>

using namespace varlin;
using namespace varlin::test;

namespace {

// The child: "type TEXT" types it, "text" prints the document, "quit" closes the frame
// as the user would (changes discarded) and ends; each answered by a line "ok".
int RunWindowChild() {
    EditViewHarness h;
    if (!h.Start()) return 3;
    h.host.defaultAnswer = qgetenv("RECOVERY_ANSWER") == "yes" ? HeadlessHost::DefaultAnswer::Yes
                                                                : HeadlessHost::DefaultAnswer::No;
    CurrentOptions().RecoverySeconds = 1;
    StartRecovery(*h.frame);
    if (OpenEditWindow(*h.frame, qgetenv("RECOVERY_FILE").toStdString()) != 0) return 4;
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        std::string line;
        if (!std::getline(std::cin, line)) std::exit(5);
        if (line.rfind("type ", 0) == 0) {
            for (char c : line.substr(5)) Type(h.Current(), QString(QChar(c)));
        } else if (line == "text") {
            std::cout << h.Text() << "\n";
        } else if (line == "quit") {
            h.host.answers = {IdNo};
            h.frame->close();
            h.frame.reset();
            std::cout << "ok" << std::endl;
            std::exit(0);
        }
        std::cout << "ok" << std::endl;
    });
    return QApplication::exec();
}

}  // namespace

class CrashRecoveryTest : public QObject {
    Q_OBJECT
    QTemporaryDir state;
    QString file;

    QString Folder() const { return state.filePath("varlin/recovery"); }
    QStringList Entries(const QString& pattern) const {
        return QDir(Folder()).entryList({pattern}, QDir::Files | QDir::Hidden);
    }
    // Waits until the condition holds, 15 s at most.
    static bool WaitFor(const std::function<bool()>& condition) {
        QElapsedTimer t;
        t.start();
        while (!condition()) {
            if (t.elapsed() > 15000) return false;
            QTest::qWait(10);
        }
        return true;
    }
    ino_t CopyInode() const {
        const QStringList copies = Entries("copy-*");
        struct stat st {};
        if (copies.size() != 1 || ::stat(QDir(Folder()).filePath(copies[0]).toLocal8Bit().constData(), &st) != 0)
            return 0;
        return st.st_ino;
    }
    bool StartChild(QProcess& p, const char* answer, int pause = 0) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("RECOVERY_CHILD", "1");
        env.insert("RECOVERY_FILE", file);
        env.insert("RECOVERY_ANSWER", answer);
        env.insert("XDG_STATE_HOME", state.path());
        if (pause) env.insert("VARLIN_TEST_RECOVERY_PAUSE", QString::number(pause));
        p.setProcessEnvironment(env);
        p.start(QCoreApplication::applicationFilePath(), {});
        return p.waitForStarted();
    }
    static QString Send(QProcess& p, const QByteArray& command) {
        p.write(command + "\n");
        QByteArray out;
        while (!out.endsWith("ok\n") && p.waitForReadyRead(15000)) out += p.readAllStandardOutput();
        return QString::fromUtf8(out.left(out.size() - 3)).trimmed();
    }

private slots:
    void init() {
        qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
        QDir(Folder()).removeRecursively();
        file = state.filePath("doc.txt");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("alt\n");
    }

    void theNextStartOffersTheLastWholeCopy_data() {
        QTest::addColumn<QString>("when");
        QTest::addColumn<QString>("offered");
        QTest::newRow("before the second copy") << "before" << "einsalt";
        QTest::newRow("while the second copy is written") << "during" << "einsalt";
        QTest::newRow("after the second copy") << "after" << "einszweialt";
    }
    void theNextStartOffersTheLastWholeCopy() {
        QFETCH(QString, when);
        QFETCH(QString, offered);
        QProcess first;
        QVERIFY(StartChild(first, "no", when == "during" ? 2000 : 0));
        Send(first, "type eins");
        QVERIFY(WaitFor([&] { return CopyInode() != 0; }));
        const ino_t firstCopy = CopyInode();
        Send(first, "type zwei");
        if (when == "during") {
            QVERIFY(WaitFor([&] {
                const QStringList parts = Entries(".part-*");
                return !parts.isEmpty() && QFileInfo(QDir(Folder()).filePath(parts[0])).size() > 0;
            }));
        } else if (when == "after") {
            QVERIFY(WaitFor([&] { return CopyInode() != firstCopy && CopyInode() != 0; }));
        }
        ::kill(pid_t(first.processId()), SIGKILL);
        QVERIFY(first.waitForFinished());
        QCOMPARE(Entries("copy-*").size(), 1);

        QProcess next;
        QVERIFY(StartChild(next, "yes"));
        QCOMPARE(Send(next, "text"), offered);
        QCOMPARE(Entries(".part-*"), QStringList());  // a cut write's temporary file is swept
        Send(next, "quit");
        QVERIFY(next.waitForFinished());
        QCOMPARE(next.exitCode(), 0);
        QCOMPARE(Entries("*"), QStringList());  // a normal end leaves no copy
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("RECOVERY_CHILD")) return RunWindowChild();
    CrashRecoveryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "crash_recovery.moc"
