// Printing to real PDF files, read back with "pdftotext -layout": the header with the
// file name and the page number on every page, a wide line continued indented, the
// header-only page when the text ends at the bottom margin, the selection printing whole
// lines, OEM byte 132 printed as ä; the print dialog's own road (command 16, the Qt
// print dialog printing to a file); and batch mode's --print-to with its failures (no
// file reported as printed unless it was written whole) and its stop by Ctrl+C or
// --timeout in the middle of a long job.
#include "TestPaths.h"
#include "dispatch/CommandTable.h"
#include "editing/EditWindow.h"
#include "editing/Printing.h"
#include "editing/qt/QtPrinting.h"
#include "platform/HeadlessHost.h"
#include "platform/qt/QtHost.h"
#include "settings/Options.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <functional>

using namespace varlin;

namespace {

QString PdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return QStringLiteral("<pdftotext failed>");
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The lines of each page, without the blank ones.
std::vector<QStringList> Pages(const QString& text) {
    std::vector<QStringList> pages;
    QStringList all = text.split(QChar('\f'));
    if (!all.isEmpty() && all.last().trimmed().isEmpty()) all.removeLast();
    for (const QString& page : all) {
        QStringList lines;
        for (const QString& line : page.split(QChar('\n')))
            if (!line.trimmed().isEmpty()) lines << line;
        pages.push_back(lines);
    }
    return pages;
}

struct BatchRun {
    int status = -1;
    QString err;
};

}  // namespace

class PrintPdfTest : public QObject {
    Q_OBJECT
    Options options;
    HeadlessHost host;
    std::unique_ptr<EditWindow> w;
    QTemporaryDir dir;

    QString PrintToPdf(const QString& name) {
        const QString pdf = dir.filePath(name);
        host.dialogAnswers.push_back([pdf](DialogId, void* r) {
            auto* record = static_cast<PrintDialogRecord*>(r);
            record->selectionChosen = record->selectionOffered;
            return OpenPdfPrintJob(pdf.toStdString(), record->job) == 0 ? 1 : 2;
        });
        Print(*w);
        return pdf;
    }
    // Lines per page of the PDF job, from the same arithmetic the printing uses.
    int LinesPerPage() {
        PrintJob job;
        OpenPdfPrintJob(dir.filePath("probe.pdf").toStdString(), job);
        const PageMetrics m = job.measure(job.context);
        job.release(job.context);
        const PageLayout p = PageLayoutOf(m);
        // A line is printed at y; the page ends once the next one would reach the margin.
        int lines = 0;
        for (int y = p.topMargin;; ) {
            ++lines;
            y += m.lineHeight;
            if (y + m.lineHeight >= m.pageHeight - p.bottomMargin) return lines;
        }
    }
    // Runs batch mode printing; `meanwhile` gets the running process.
    BatchRun RunBatch(const QStringList& arguments,
                      const std::function<void(QProcess&)>& meanwhile = nullptr) {
        QFile script(dir.filePath("print.vlm"));
        script.open(QIODevice::WriteOnly);
        script.write("Macro \"p\"\nbegin\n  Print ();\nend\n");
        script.close();
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QString::fromUtf8(VARLIN_BINARY_DIR) + QStringLiteral("/varlin"),
                QStringList{"--run", "print.vlm", "--settings", "s.ini"} + arguments);
        if (meanwhile) {
            p.waitForStarted();
            meanwhile(p);
        }
        p.waitForFinished(60000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardError())};
    }

private slots:
    void init() {
        options = Options{};
        options.LineNumbers = 0;
        SetCurrentOptions(&options);
        host.Reset();
        host.writeMessagesToStderr = false;
        host.Install();
        w = std::make_unique<EditWindow>();
    }
    void cleanup() {
        w.reset();
        SetCurrentOptions(nullptr);
    }

    void everyPageHasItsHeaderAndTheLastCanHoldOnlyTheHeader() {
        const int perPage = LinesPerPage();
        for (int i = 0; i < 2 * perPage; ++i) w->doc->SetLine(i, "zeile " + std::to_string(i + 1));
        w->doc->SetFileName("/tmp/texte/brief.txt");
        const auto pages = Pages(PdfText(PrintToPdf("two.pdf")));
        // Two full pages end exactly at the bottom margin: a third holds the header only.
        QCOMPARE(int(pages.size()), 3);
        for (int p = 0; p < 3; ++p) {
            const QString header = pages[std::size_t(p)].value(0);
            QVERIFY2(header.startsWith("Datei: /TMP/TEXTE/BRIEF.TXT"), qPrintable(header));
            QVERIFY2(header.endsWith(QString("Seite %1").arg(p + 1)), qPrintable(header));
        }
        QCOMPARE(pages[0].size(), perPage + 1);
        QCOMPARE(pages[1].last().trimmed(), QString("zeile %1").arg(2 * perPage));
        QCOMPARE(pages[2].size(), 1);
        QCOMPARE(host.messageIds, std::vector<int>{});
    }

    void wideLineSelectionAndOemBytes() {
        options.LineNumbers = 1;
        options.CodeTable = kCodeTableOem;
        w->doc->SetLine(0, "kurz \x84");  // OEM 132: a-umlaut
        w->doc->SetLine(1, std::string(300, 'w'));
        for (int i = 2; i < 8; ++i) w->doc->SetLine(i, "zeile " + std::to_string(i + 1));
        auto page = Pages(PdfText(PrintToPdf("wide.pdf"))).at(0);
        QVERIFY2(page.value(0).startsWith("Datei ist ohne Namen"), qPrintable(page.value(0)));
        QCOMPARE(page.value(1).trimmed(), QString::fromUtf8("1 kurz ä"));
        // "    2 www..." and then continuations indented by the margin (5 cells).
        const QString first = page.value(2);
        QVERIFY(first.trimmed().startsWith("2 www"));
        const int textStart = int(first.indexOf('w'));
        int printed = int(first.count('w'));
        int row = 3;
        for (; page.value(row).contains('w'); ++row) {
            const QString continuation = page.value(row);
            QCOMPARE(int(continuation.indexOf('w')), textStart);
            printed += int(continuation.count('w'));
        }
        QVERIFY(row >= 5);  // at least two continuation lines
        QCOMPARE(printed, 300);
        QCOMPARE(page.value(row).trimmed(), QString("3 zeile 3"));

        // The selection from the middle of line 3 to the middle of line 5: lines 3 to 5 whole.
        StartDrag(*w, kDragMarked, 2, 8, 4, 7);
        page = Pages(PdfText(PrintToPdf("selection.pdf"))).at(0);
        QCOMPARE(page.size(), 4);
        QCOMPARE(page[1].trimmed(), QString("3 zeile 3"));
        QCOMPARE(page[3].trimmed(), QString("5 zeile 5"));
    }

    void batchPrintToWritesThePdfOrFailsClearly() {
        QFile text(dir.filePath("a.c"));
        text.open(QIODevice::WriteOnly);
        text.write("int main(void)\n{\n}\n");
        text.close();
        BatchRun run = RunBatch({"--print-to", "out.pdf", "a.c"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QString());
        QVERIFY(PdfText(dir.filePath("out.pdf")).contains("Datei: A.C"));

        run = RunBatch({"--print-to", "missing/out.pdf", "a.c"});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("varlin: 1031"), qPrintable(run.err));
        run = RunBatch({"--print-to", "a.c/out.pdf", "a.c"});  // a file where a folder must be
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("varlin: 1020"), qPrintable(run.err));
        QFile::remove(dir.filePath("out.pdf"));
        run = RunBatch({"a.c"});  // no --print-to: a cancelled dialog
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.contains("Dialog \"Drucken\" abgebrochen"), qPrintable(run.err));  // in the language of the messages
        QFile(dir.filePath("empty.txt")).open(QIODevice::WriteOnly);
        run = RunBatch({"--print-to", "out.pdf", "empty.txt"});  // nothing to print: a beep
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("Es wurde nichts gedruckt"), qPrintable(run.err));
        QVERIFY(!QFile::exists(dir.filePath("out.pdf")));
        // No temporary file is left behind by any of the runs.
        QCOMPARE(QDir(dir.path()).entryList({"*.pdf.*"}, QDir::Files), QStringList());
    }

    // --print-to replaces its file as a save would: only a regular file or a new name,
    // mode and owner kept; a device, a pipe, a read-only file (also for root) and the
    // document being printed are refused with a message and status 1, and the temporary
    // file of a killed print is swept.
    void batchPrintToReplacesOnlyWhatASaveWould() {
        QFile text(dir.filePath("a.c"));
        text.open(QIODevice::WriteOnly);
        text.write("int main(void)\n{\n}\n");
        text.close();
        const bool root = ::geteuid() == 0;
        auto path = [&](const char* name) { return dir.filePath(name).toStdString(); };
        auto put = [&](const char* name, mode_t mode) {
            QFile f(dir.filePath(name));
            f.open(QIODevice::WriteOnly);
            f.write("keep");
            f.close();
            ::chmod(path(name).c_str(), mode);
        };
        struct Case {
            const char* target;
            std::function<bool()> make;  // false: cannot be made here
            int status;
            const char* message;
            std::function<bool(const struct stat&)> after;
        };
        const Case cases[] = {
            {"fifo.pdf", [&] { return ::mkfifo(path("fifo.pdf").c_str(), 0644) == 0; }, 1, "varlin: 1265",
             [](const struct stat& st) { return S_ISFIFO(st.st_mode); }},
            {"device.pdf", [&] { return root && ::mknod(path("device.pdf").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; },
             1, "varlin: 1265", [](const struct stat& st) { return S_ISCHR(st.st_mode); }},
            {"readonly.pdf", [&] { put("readonly.pdf", 0444); return true; }, 1, "varlin: 1025",
             [](const struct stat& st) { return st.st_size == 4; }},
            {"a.c", [] { return true; }, 1, "varlin: 1267", [](const struct stat& st) { return st.st_size == 19; }},
            {"link.pdf", [&] { return ::symlink("a.c", path("link.pdf").c_str()) == 0; }, 1, "varlin: 1267",
             [](const struct stat& st) { return st.st_size == 19; }},
            {"private.pdf", [&] { put("private.pdf", 0600); return true; }, 0, "",
             [](const struct stat& st) { return (st.st_mode & 07777) == 0600 && st.st_size > 4; }},
            {"theirs.pdf", [&] { put("theirs.pdf", 0644); return root && ::chown(path("theirs.pdf").c_str(), 65534, 65534) == 0; },
             0, "", [](const struct stat& st) { return st.st_uid == 65534 && st.st_size > 4; }},
        };
        for (const Case& c : cases) {
            if (!c.make()) {
                qInfo("needs root: %s not tried", c.target);
                continue;
            }
            const BatchRun run = RunBatch({"--print-to", c.target, "a.c"});
            QVERIFY2(run.status == c.status, qPrintable(QString(c.target) + ": " + run.err));
            QVERIFY2(run.err.contains(c.message), qPrintable(QString(c.target) + ": " + run.err));
            struct stat st {};
            QVERIFY(::stat(path(c.target).c_str(), &st) == 0);
            QVERIFY2(c.after(st), c.target);
        }
        // The temporary file of a print killed before its rename.
        QFile(QString::fromStdString(path(".out.pdf.save-AbC123"))).open(QIODevice::WriteOnly);
        QCOMPARE(RunBatch({"--print-to", "out.pdf", "a.c"}).status, 0);
        QVERIFY(!QFile::exists(dir.filePath(".out.pdf.save-AbC123")));
    }

    // Ctrl+C and --timeout abandon a long job: status 130 and no file, not even a part.
    void batchStopAbandonsALongPrint_data() {
        QTest::addColumn<bool>("interrupt");
        QTest::newRow("timeout") << false;
        QTest::newRow("Ctrl+C") << true;
    }
    void batchStopAbandonsALongPrint() {
        QFETCH(bool, interrupt);
        QFile text(dir.filePath("long.txt"));
        text.open(QIODevice::WriteOnly);
        const QByteArray line(70, 'x');
        for (int i = 0; i < 300000; ++i) text.write(line + '\n');  // some 5,000 pages
        text.close();
        const BatchRun run =
            interrupt ? RunBatch({"--print-to", "long.pdf", "long.txt"},
                                 [](QProcess& p) {
                                     QTest::qWait(1500);
                                     ::kill(pid_t(p.processId()), SIGINT);
                                 })
                      : RunBatch({"--timeout", "1.5", "--print-to", "long.pdf", "long.txt"});
        QCOMPARE(run.status, 130);
        QVERIFY(!QFile::exists(dir.filePath("long.pdf")));
        QCOMPARE(QDir(dir.path()).entryList({"*.pdf.*"}, QDir::Files), QStringList());
    }

    // The window's road: command 16 opens Qt's print dialog with the selection chosen,
    // which prints the marked lines to the PDF file named in the dialog.
    void printDialogPrintsTheSelectionToAFile() {
        InstallQtHost();
        RegisterPrintDialog();
        for (int i = 0; i < 10; ++i) w->doc->SetLine(i, "zeile " + std::to_string(i + 1));
        StartDrag(*w, kDragMarked, 3, 2, 5, 3);
        const QString pdf = dir.filePath("dialog.pdf");
        bool selectionPreset = false;
        QTimer answer;
        answer.setInterval(10);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* d = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (d == nullptr) return;
            answer.stop();
            selectionPreset = d->printRange() == QAbstractPrintDialog::Selection;
            auto* file = d->findChild<QLineEdit*>(QStringLiteral("filename"));
            if (file) file->setText(pdf);
            d->accept();
        });
        answer.start();
        RunWindowCommand(*w, kPrintCommandId);
        host.Install();
        QVERIFY(selectionPreset);
        const auto pages = Pages(PdfText(pdf));
        QCOMPARE(int(pages.size()), 1);
        QCOMPARE(pages[0].size(), 4);  // the header and lines 4 to 6
        QVERIFY2(pages[0][0].startsWith("Datei ist ohne Namen"), qPrintable(pages[0][0]));
        QCOMPARE(pages[0][1].trimmed(), QString("zeile 4"));
        QCOMPARE(pages[0][3].trimmed(), QString("zeile 6"));
    }
};

QTEST_MAIN(PrintPdfTest)
#include "print_pdf.moc"
