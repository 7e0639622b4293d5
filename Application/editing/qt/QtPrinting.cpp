// The print job on a QPrinter and the print dialog.
#include "editing/qt/QtPrinting.h"

#include "editing/Utf8Layout.h"
#include "platform/TempFiles.h"
#include "platform/qt/QtHost.h"
#include "textutil/Utf8.h"
#include "resources/StringTable.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <memory>
#include <unistd.h>

namespace varlin {
namespace {

constexpr int kPointSize = 10;
constexpr int kPollMilliseconds = 50;

// The printer's font: the fixed font of the program at 10 points, on the device.
QFont PrinterFont() {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(kPointSize);
    return font;
}

struct QtPrintJob {
    std::unique_ptr<QPrinter> printer;
    QPainter painter;
    QFont font = PrinterFont();
    int ascent = 0;
    int cellWidth = 1;
    std::string target;  // the PDF file asked for; "" for a printer
    std::string temp;    // the file the device writes, until the job is released
    bool firstPage = true;
    bool withProgress = false;
    std::unique_ptr<QProgressDialog> progress;
    QElapsedTimer sincePoll;
    QPointer<QWidget> focus;  // gets the focus back when the job is over

    void RemoveTemp() {
        if (!temp.empty()) ::unlink(temp.c_str());
        temp.clear();
    }
};

QtPrintJob& Job(void* context) { return *static_cast<QtPrintJob*>(context); }

PageMetrics Measure(void* context) {
    QtPrintJob& job = Job(context);
    const QFontMetrics metrics(job.font, job.printer.get());
    PageMetrics m;
    m.pageWidth = job.printer->width();
    m.pageHeight = job.printer->height();
    m.lineHeight = std::max(1, metrics.height());
    m.charWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
    job.cellWidth = m.charWidth;
    return m;
}

// The device writes into a file of our own in the private temporary folder, held while
// this process lives (a killed run's file is swept as stale); the core then makes the
// target from it by the rules of a save.
int MakeTemp(QtPrintJob& job) {
    job.temp = CreateTemporaryFileName("PDF");
    return job.temp.empty() ? (errno != 0 ? errno : EIO) : 0;
}

int StartDocument(void* context, const char* jobName) {
    QtPrintJob& job = Job(context);
    job.printer->setDocName(QString::fromUtf8(jobName));
    if (!job.target.empty()) {
        if (const int error = MakeTemp(job); error != 0) return error;
        job.printer->setOutputFileName(QString::fromStdString(job.temp));
    }
    if (!job.painter.begin(job.printer.get())) {
        job.RemoveTemp();
        return EIO;
    }
    job.painter.setFont(job.font);
    job.ascent = job.painter.fontMetrics().ascent();
    return 0;
}

void StartPage(void* context) {
    QtPrintJob& job = Job(context);
    if (!job.firstPage) job.printer->newPage();
    job.firstPage = false;
}

void TextOut(void* context, int x, int y, std::string_view ansi) {
    QtPrintJob& job = Job(context);
    if (ansi.empty()) return;
    job.painter.drawText(x, y + job.ascent, BytesToWindows1252(std::string(ansi)));
}

// Runs of characters that the printer font has and that take one cell are drawn as one
// text; every other character alone in its cells, so that one taken from another font,
// with an advance of its own, moves nothing after it.
void TextOutCells(void* context, int x, int y, std::u32string_view cells) {
    QtPrintJob& job = Job(context);
    const QFontMetrics metrics(job.font, job.printer.get());
    QString run;
    int runStart = 0;
    auto flush = [&] {
        if (!run.isEmpty()) job.painter.drawText(x + runStart * job.cellWidth, y + job.ascent, run);
        run.clear();
    };
    for (std::size_t i = 0; i < cells.size(); ++i) {
        char32_t cp = cells[i];
        if (cp == kCellWideTail) continue;
        if (cp & kCellInvalidByte) cp &= ~kCellInvalidByte;
        const bool single = CellWidth(cp) == 1 && metrics.inFontUcs4(uint(cp));
        if (!single || run.isEmpty()) flush();
        if (run.isEmpty()) runStart = int(i);
        run += QString::fromUcs4(&cp, 1);
        if (!single) flush();
    }
    flush();
}

void EndPage(void*) {}  // a page ends with the next one or with the job

// Whether the written file is whole: Qt's PDF writer reports no failed write, so the
// file must end with the trailer's end mark before it may replace the target.
bool PdfComplete(const std::string& name) {
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) return false;
    char tail[64] = {};
    std::size_t got = 0;
    if (std::fseek(file, -long(sizeof tail - 1), SEEK_END) == 0)
        got = std::fread(tail, 1, sizeof tail - 1, file);
    const bool flushed = std::fclose(file) == 0;
    return flushed && got > 0 && std::string(tail, got).find("%%EOF") != std::string::npos;
}

int EndDocument(void* context) {
    QtPrintJob& job = Job(context);
    if (!job.painter.end()) {
        job.RemoveTemp();
        return EIO;
    }
    if (job.target.empty()) return 0;
    if (!PdfComplete(job.temp)) {
        job.RemoveTemp();
        return EIO;
    }
    return 0;
}

std::string FinishedFile(void* context) { return Job(context).temp; }

void AbortDocument(void* context) {
    QtPrintJob& job = Job(context);
    if (job.painter.isActive()) {
        job.printer->abort();
        job.painter.end();
    }
    job.RemoveTemp();
}

bool CreateProgress(void* context, const std::string& title, int first, int end) {
    QtPrintJob& job = Job(context);
    const bool english = GetAppLanguage() == int(AppLanguage::English);
    job.progress = std::make_unique<QProgressDialog>(
        QString::fromUtf8(title), english ? QStringLiteral("Cancel") : QStringLiteral("Abbrechen"),
        first, end, QtHostParent());
    job.progress->setWindowTitle(QString::fromUtf8(title));
    job.progress->setWindowModality(Qt::ApplicationModal);
    job.progress->setMinimumDuration(0);
    job.progress->setValue(first);
    job.sincePoll.start();
    return true;
}

void UpdateProgress(void* context, int value) {
    QtPrintJob& job = Job(context);
    if (job.progress) job.progress->setValue(value);
}

// Looks at the user's input now and then only: every line would cost more than it prints.
bool ProgressAborted(void* context) {
    QtPrintJob& job = Job(context);
    if (!job.progress) return false;
    if (job.sincePoll.elapsed() >= kPollMilliseconds) {
        QCoreApplication::processEvents();
        job.sincePoll.restart();
    }
    return job.progress->wasCanceled();
}

void DestroyProgress(void* context) { Job(context).progress.reset(); }

void Release(void* context) {
    QtPrintJob* job = &Job(context);
    if (job->painter.isActive()) AbortDocument(job);
    job->RemoveTemp();
    QPointer<QWidget> focus = job->focus;
    delete job;
    if (focus) focus->setFocus();
}

PrintJob MakePrintJob(QtPrintJob* job) {
    PrintJob p;
    p.context = job;
    p.outputName = job->target;
    p.measure = Measure;
    p.startDocument = StartDocument;
    p.startPage = StartPage;
    p.textOut = TextOut;
    p.textOutCells = TextOutCells;
    p.endPage = EndPage;
    p.endDocument = EndDocument;
    p.finishedFile = FinishedFile;
    p.abortDocument = AbortDocument;
    if (job->withProgress) {
        p.createProgress = CreateProgress;
        p.updateProgress = UpdateProgress;
        p.progressAborted = ProgressAborted;
        p.destroyProgress = DestroyProgress;
    }
    p.release = Release;
    return p;
}

// The platform's dialog may still offer a page range of its own (a "Pages" field next to
// the options): printing has no page numbers to choose, so every such field is greyed
// once the dialog has set up its widgets.
class NoPageRange : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            for (QWidget* w : static_cast<QWidget*>(watched)->findChildren<QWidget*>()) {
                if (IsPageRangeControl(w->objectName())) w->setEnabled(false);
            }
        }
        return false;
    }
    static bool IsPageRangeControl(const QString& name) {
        static const QStringList names = {"printRange", "from", "to", "pagesRadioButton", "pagesLineEdit"};
        return names.contains(name);
    }
};

int RunPrintDialog(QWidget* parent, PrintDialogRecord& record) {
    auto job = std::make_unique<QtPrintJob>();
    job->printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    job->focus = QApplication::focusWidget();
    QPrintDialog dialog(job->printer.get(), parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, record.selectionOffered);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setPrintRange(record.selectionOffered ? QAbstractPrintDialog::Selection
                                                 : QAbstractPrintDialog::AllPages);
    NoPageRange noPageRange;
    dialog.installEventFilter(&noPageRange);
    if (dialog.exec() != QDialog::Accepted) return 2;
    record.selectionChosen = job->printer->printRange() == QPrinter::Selection;
    if (job->printer->outputFormat() == QPrinter::PdfFormat)
        job->target = job->printer->outputFileName().toStdString();
    job->withProgress = true;
    record.job = MakePrintJob(job.release());
    return 1;
}

}  // namespace

void RegisterPrintDialog() {
    RegisterQtDialog(DialogId::Print, [](QWidget* parent, void* record) {
        return record ? RunPrintDialog(parent, *static_cast<PrintDialogRecord*>(record)) : 0;
    });
}

namespace {
// The application object that a PDF job without a running Qt application started.
std::unique_ptr<QGuiApplication> g_batchApplication;
}  // namespace

int OpenPdfPrintJob(const std::string& fileName, PrintJob& job) {
    if (QCoreApplication::instance() == nullptr) {
        // Batch mode has no application object: Qt's GUI part, without a screen.
        static int argc = 1;
        static char name[] = "varlin";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Standard error carries the editor's messages only, not Qt's notes on its setup.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "varlin: %s\n", text.toLocal8Bit().constData());
        });
        g_batchApplication = std::make_unique<QGuiApplication>(argc, argv);
    }
    auto* qtJob = new QtPrintJob;
    qtJob->printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    qtJob->printer->setOutputFormat(QPrinter::PdfFormat);
    qtJob->printer->setPageSize(QPageSize(QPageSize::A4));
    qtJob->target = fileName;
    job = MakePrintJob(qtJob);
    return 0;
}

void EndPdfPrinting() { g_batchApplication.reset(); }

}  // namespace varlin
