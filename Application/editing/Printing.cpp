// The print command and the page arithmetic: one printed line per pass, a continuation
// of an over-wide line before the next line, a new page with its header as soon as the
// next line would reach the bottom margin.
#include "editing/Printing.h"

#include "editing/EditActions.h"
#include "document/SafeWrite.h"
#include "editing/EditWindow.h"
#include "editing/RowLayout.h"
#include "editing/Utf8Layout.h"
#include "editing/MacroCommands.h"
#include "editing/Recording.h"
#include "platform/FileKinds.h"
#include "platform/FileNames.h"
#include "platform/Host.h"
#include "platform/Messages.h"
#include "resources/StringTable.h"
#include "settings/Options.h"
#include "textutil/CodeTables.h"
#include "textutil/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace varlin {
namespace {

constexpr int kProgressTitle = 1508;  // "Drucken"
constexpr int kNamedHeader = 1705;    // "Datei: %s"
constexpr int kUnnamedHeader = 1706;  // "Datei ist ohne Namen"
constexpr int kPageText = 1707;       // "Seite %d"
constexpr int kFolderMissing = 1031;  // "Verzeichnis existiert nicht"
constexpr int kOutOfMemory = 1002;

int g_finishedJobs = 0;
PdfJobOpener g_pdfJobOpener = nullptr;

std::string ReplaceFirst(std::string text, const char* marker, const std::string& value) {
    const std::size_t at = text.find(marker);
    if (at != std::string::npos) text.replace(at, std::strlen(marker), value);
    return text;
}

// The page text and the name text in the ANSI bytes the device prints.
std::string PageText(int page) {
    return FileNameAsAnsi(ReplaceFirst(LoadAppString(kPageText), "%d", std::to_string(page)).substr(0, 199));
}

std::string NameText(const EditWindow& w) {
    const std::string& name = w.doc->FileName();
    if (name.empty()) return FileNameAsAnsi(LoadAppString(kUnnamedHeader));
    std::string upper = FileNameAsAnsi(std::string_view(name).substr(0, 511));
    for (char& c : upper) c = static_cast<char>(AnsiUpper(static_cast<unsigned char>(c)));
    return ReplaceFirst(FileNameAsAnsi(LoadAppString(kNamedHeader)), "%s", upper);
}

// Why a job could not start or finish: the file's message for a file, else the reason.
void ReportFailure(const PrintJob& job, int error) {
    if (job.outputName.empty()) {
        ShowMessage(kPrintFailedMessage, error > 0 ? std::strerror(error) : "");
        return;
    }
    if (error == ENOENT) {
        const std::string folder = Korvel_StripFileName(job.outputName);
        ShowMessage(kFolderMissing, folder.empty() ? job.outputName : folder);
        return;
    }
    ShowFileError(job.outputName, error > 0 ? error : EIO);
}

// Whether a file job may write name, as a save could replace it; else false after the
// message. Checked before the job starts, so that nothing is printed for nothing.
bool MayReplaceWithPrintout(const EditWindow& w, const PrintJob& job) {
    const std::string& name = job.outputName;
    // Temporary files of replacements of it that were cut short (a kill -9) go first.
    RemoveLeftoverTemporaries(name);
    const std::string target = ResolveLinks(name);
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) {
        const int error = errno;
        struct stat folder {};
        if (error == ENOENT && ::stat(DirectoryOf(target).c_str(), &folder) == 0) return true;  // a new name
        ReportFailure(job, error);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        ShowFileError(name, EISDIR);
        return false;
    }
    if (RefuseSpecialFile(target)) return false;
    struct stat doc {};
    if (!w.doc->FileName().empty() && ::stat(w.doc->FileName().c_str(), &doc) == 0 &&
        doc.st_dev == st.st_dev && doc.st_ino == st.st_ino) {
        ShowMessage(kPrintOverDocumentMessage, name);
        return false;
    }
    // Root may write anything: a file that nobody may write is still refused.
    if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
        ShowFileError(name, EACCES);
        return false;
    }
    return true;
}

// The device's finished output becomes the file name by the rules of a save; 0 or -1
// after the message.
int PutPrintout(const std::string& finished, const std::string& name) {
    const int from = ::open(finished.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) {
        ShowFileError(name, errno);
        return -1;
    }
    const int result = WriteFileSafely(name, [&](ByteSink& sink) {
        std::vector<char> buffer(std::size_t(1) << 16);
        for (;;) {
            const ssize_t got = ::read(from, buffer.data(), buffer.size());
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return got == 0;
            if (!sink.Write(buffer.data(), std::size_t(got))) return false;
        }
    });
    ::close(from);
    return result;
}

// The laid-out cells of one printed line, and the part still to print. A UTF-8 row's
// cells are characters (cells32) when the job draws characters, bytes otherwise.
struct Row {
    std::vector<unsigned char> cells;
    std::u32string cells32;
    bool characters = false;
    std::string text;
    int length = 0;     // cells laid out
    int printed = 0;    // cells already printed
    int indent = 0;     // cells of indentation of its continuations
    bool Pending() const { return printed < length; }
};

// Lays the document's line out with blanks for tabs and fill. The row is only as long as
// the text can need, which gives the same cells as a row of MaxCols.
void LayoutPrintedLine(const EditWindow& w, int line, const RowGeometry& g, int lineLimit,
                       bool characters, Row& row) {
    std::string_view stored = w.doc->LineView(line);
    if (stored.size() > std::size_t(lineLimit)) stored = stored.substr(0, std::size_t(lineLimit));
    row.text.assign(stored);
    row.characters = characters && w.doc->utf8;
    // Without a device that draws characters, a UTF-8 document prints as its Windows-1252
    // bytes ('?' where there is none).
    if (w.doc->utf8 && !row.characters) row.text = Utf8ToAnsi(row.text);
    else if (!w.doc->utf8 && CurrentOptions().CodeTable == kCodeTableOem) OemToAnsiBytes(row.text);
    const long long need = g.margin + static_cast<long long>(row.text.size()) * std::max(g.tabStep, 1) + 2;
    const int size = int(std::clamp<long long>(need, kMinRowCells, MaxCols(w)));
    row.printed = 0;
    if (!row.characters) {
        row.length = LayoutLine(line, row.text, row.cells.data(), size, ' ', ' ', g);
        return;
    }
    // The number field and fill from the common layout, the text's cells from the UTF-8 one.
    row.length = LayoutLine(line, std::string_view(), row.cells.data(), size, ' ', ' ', g);
    row.cells32.assign(row.cells.begin(), row.cells.begin() + size);
    if (size >= kMinRowCells) row.length = LayoutUtf8Text(row.text, row.cells32.data(), size, U' ', g.margin, g.tabStep);
}

std::string_view Cells(const Row& row, int first, int count) {
    return std::string_view(reinterpret_cast<const char*>(row.cells.data()) + first, std::size_t(count));
}

void PrintCells(PrintJob& job, int x, int y, const Row& row, int first, int count) {
    if (row.characters) job.textOutCells(job.context, x, y, std::u32string_view(row.cells32).substr(std::size_t(first), std::size_t(count)));
    else job.textOut(job.context, x, y, Cells(row, first, count));
}

}  // namespace

PageLayout PageLayoutOf(const PageMetrics& m) {
    PageLayout p;
    p.topMargin = 6 * m.lineHeight;
    p.bottomMargin = 4 * m.lineHeight;
    p.leftMargin = 2 * m.charWidth;
    p.rightMargin = 3 * m.charWidth;
    p.cols = m.charWidth > 0 ? (m.pageWidth - p.leftMargin - p.rightMargin) / m.charWidth : 0;
    p.headerY = p.topMargin / 2;
    return p;
}

std::string FileNameAsAnsi(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        char32_t code = length == 1 ? c : c & (0x3F >> (length - 1));
        bool valid = c < 0x80 || (c >= 0xC2 && c <= 0xF4 && i + std::size_t(length) <= name.size());
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(name[i + std::size_t(k)]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!valid) {  // not UTF-8: the byte stands for itself
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        char ansi = '?';
        if (code < 0x80) ansi = static_cast<char>(code);
        else
            for (int b = 0x80; b <= 0xFF; ++b)
                if (AnsiGlyph(static_cast<unsigned char>(b)) == code) {
                    ansi = static_cast<char>(b);
                    break;
                }
        out += ansi;
        i += std::size_t(length);
    }
    return out;
}

void PrintHeader(const EditWindow& w, PrintJob& job, int page, const PageLayout& layout,
                 const PageMetrics& metrics) {
    const std::string pageText = PageText(page);
    const int pageLength = int(pageText.size());
    job.textOut(job.context, (layout.cols - pageLength) * metrics.charWidth + layout.leftMargin,
                layout.headerY, pageText);
    std::string name = NameText(w);
    const int room = std::max(0, layout.cols - pageLength - 1);
    if (int(name.size()) > room) name.resize(std::size_t(room));
    job.textOut(job.context, layout.leftMargin, layout.headerY, name);
}

PrintResult PrintLines(EditWindow& w, PrintJob& job, int from, int to) {
    const PageMetrics m = job.measure(job.context);
    const PageLayout p = PageLayoutOf(m);
    if (p.cols < 1 || m.lineHeight < 1 || p.topMargin + m.lineHeight >= m.pageHeight - p.bottomMargin) {
        ShowMessage(kPrintFailedMessage, "page too small for one line of text");
        return PrintResult::Failed;
    }
    Row row;
    try {
        row.cells.resize(std::size_t(MaxCols(w)));
        row.text.reserve(std::size_t(CurrentOptions().LineBufferSize()));
    } catch (const std::bad_alloc&) {
        ShowMessage(kOutOfMemory);
        return PrintResult::Failed;
    }
    if (!job.outputName.empty() && !MayReplaceWithPrintout(w, job)) return PrintResult::Failed;
    if (const int error = job.startDocument(job.context, kPrintJobName); error != 0) {
        ReportFailure(job, error);
        return PrintResult::Failed;
    }
    job.startPage(job.context);
    int page = 1;
    PrintHeader(w, job, page, p, m);
    int y = p.topMargin;
    if (job.createProgress &&
        !job.createProgress(job.context, LoadAppString(kProgressTitle), from, to + 1)) {
        job.abortDocument(job.context);
        return PrintResult::Failed;
    }
    const int step = (to - from) / 100 >= 2 ? (to - from) / 100 : 1;
    const RowGeometry geometry = GeometryOf(w);
    const int lineLimit = std::max(0, WorkBufferSize(w) - 1);
    int lastUpdate = from;
    for (int line = from;;) {
        if (line > to && !row.Pending()) break;
        if (!row.Pending()) {
            LayoutPrintedLine(w, line, geometry, lineLimit, job.textOutCells != nullptr, row);
            row.indent = std::min(geometry.margin, p.cols / 2);
            row.printed = std::min(row.length, p.cols);
            PrintCells(job, p.leftMargin, y, row, 0, row.printed);
            ++line;
        } else {
            const int count = std::min(p.cols - row.indent, row.length - row.printed);
            PrintCells(job, p.leftMargin + row.indent * m.charWidth, y, row, row.printed, count);
            row.printed += count;
        }
        y += m.lineHeight;
        if (job.progressAborted && job.progressAborted(job.context)) {
            if (job.destroyProgress) job.destroyProgress(job.context);
            job.endPage(job.context);
            job.abortDocument(job.context);
            return PrintResult::Aborted;
        }
        if (line - lastUpdate > step) {
            if (job.updateProgress) job.updateProgress(job.context, line);
            lastUpdate = line;
        }
        if (y + m.lineHeight >= m.pageHeight - p.bottomMargin) {
            job.endPage(job.context);
            job.startPage(job.context);
            PrintHeader(w, job, ++page, p, m);
            y = p.topMargin;
        }
    }
    if (job.destroyProgress) job.destroyProgress(job.context);
    job.endPage(job.context);
    if (const int error = job.endDocument(job.context); error != 0) {
        ReportFailure(job, error);
        return PrintResult::Failed;
    }
    if (!job.outputName.empty() && job.finishedFile &&
        PutPrintout(job.finishedFile(job.context), job.outputName) != 0)
        return PrintResult::Failed;
    ++g_finishedJobs;
    return PrintResult::Printed;
}

void Print(EditWindow& w) {
    RecordAction(kMacroPrint);
    const int count = w.LineCount();
    if (count == 0) {
        HostBeep();
        return;
    }
    PrintDialogRecord record;
    record.selectionOffered = HasDrag(w);
    record.selectionChosen = record.selectionOffered;
    if (HostRunDialog(DialogId::Print, &record) != 1 || record.job.measure == nullptr) return;
    PrintJob& job = record.job;
    int from = 0;
    int to = count - 1;
    DragRange range;
    if (record.selectionChosen) {
        if (GetNormalizedDrag(w, range) != kDragMarked) {
            HostBeep();
            if (job.release) job.release(job.context);
            return;
        }
        from = range.FromLine;
        to = std::min(range.ToLine, count - 1);
    }
    PrintLines(w, job, from, to);
    if (job.release) job.release(job.context);
}

int FinishedPrintJobs() { return g_finishedJobs; }

void SetPdfJobOpener(PdfJobOpener opener) { g_pdfJobOpener = opener; }
PdfJobOpener ThePdfJobOpener() { return g_pdfJobOpener; }

}  // namespace varlin
