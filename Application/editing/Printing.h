// Printing a document: the whole of it or the lines of its marked range, on pages with a
// header line (the file name and the page number), each line laid out like a screen row
// with blanks for tabs and fill, a line wider than the page continued on further printed
// lines. The print dialog and the device belong to the host (DialogId::Print): it fills
// a PrintJob, through whose hooks this code puts text on pages. The page arithmetic is
// here, so that it holds for any device and can be checked without a printer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varlin {

struct EditWindow;

constexpr int kPrintCommandId = 16;
constexpr const char* kPrintJobName = "VARLIN";
constexpr int kPrintFailedMessage = 1044;  // "Der Druckauftrag ist fehlgeschlagen" with the reason
constexpr int kPrintOverDocumentMessage = 1267;  // the printout would replace the document's file

// What the device measures when a job starts, in its pixels: the printable page and the
// cell of its fixed font.
struct PageMetrics {
    int pageWidth = 0;
    int pageHeight = 0;
    int lineHeight = 1;
    int charWidth = 1;
};

// The margins and the text area derived from the metrics.
struct PageLayout {
    int topMargin = 0;     // 6 lines; the header stands at half of it
    int bottomMargin = 0;  // 4 lines
    int leftMargin = 0;    // 2 cells
    int rightMargin = 0;   // 3 cells
    int cols = 0;          // cells of a printed line
    int headerY = 0;
};
PageLayout PageLayoutOf(const PageMetrics& metrics);

// One print job on a device: a printer, a PDF file, or a test's recorder. Each hook gets
// context. Results of the int hooks: 0 done, else an errno value (or -1) saying why not.
struct PrintJob {
    void* context = nullptr;
    // The file the job writes (a PDF), "" for a printer: names the file in messages.
    std::string outputName;
    PageMetrics (*measure)(void* context) = nullptr;
    int (*startDocument)(void* context, const char* jobName) = nullptr;
    void (*startPage)(void* context) = nullptr;
    // Text at a pixel position (x of its first cell, y of the top of the row): bytes of
    // the ANSI code table (Windows-1252).
    void (*textOut)(void* context, int x, int y, std::string_view ansi) = nullptr;
    // The text of a UTF-8 document: one character per cell from x on (kCellWideTail in the
    // second cell of a wide one, kCellInvalidByte or'ed onto the glyph of an invalid byte),
    // each drawn in its cell by whichever font has it. Null: such text is printed through
    // textOut as Windows-1252 bytes ('?' for characters that have none).
    void (*textOutCells)(void* context, int x, int y, std::u32string_view cells) = nullptr;
    void (*endPage)(void* context) = nullptr;
    // Finishes the job; for a file, the output is whole only when this gives 0.
    int (*endDocument)(void* context) = nullptr;
    // A file job: the device's own temporary file that holds the finished output. The
    // file named outputName is made from it by the rules of a save (a regular file or a
    // new name only, its mode and owner kept), never by the device itself. Null for a
    // printer, or for a device that writes outputName itself.
    std::string (*finishedFile)(void* context) = nullptr;
    // Abandons the job: nothing more is printed, a file being written is removed.
    void (*abortDocument)(void* context) = nullptr;
    // The progress indicator "Drucken" over lines first ... end; false when it cannot be
    // shown. aborted is asked after every printed line and is true once the user chose
    // to abandon the job. Null hooks: no indicator, never aborted.
    bool (*createProgress)(void* context, const std::string& title, int first, int end) = nullptr;
    void (*updateProgress)(void* context, int value) = nullptr;
    bool (*progressAborted)(void* context) = nullptr;
    void (*destroyProgress)(void* context) = nullptr;
    // Frees the device and the job's memory; the job is not used afterwards.
    void (*release)(void* context) = nullptr;
};

// The record of the print dialog: the selection is offered (and preselected) only when
// a range is marked; on OK the host says whether it was chosen and fills job.
struct PrintDialogRecord {
    bool selectionOffered = false;
    bool selectionChosen = false;
    PrintJob job;
};

enum class PrintResult { Printed, Aborted, Failed };

// The print command (16, F2 D) and macro action Print (26): records itself, beeps on an
// empty document, asks the dialog, prints the document or the whole lines of the marked
// range (beeps when the selection is chosen without a finished range).
void Print(EditWindow& w);

// Prints lines from ... to (0-based, both included, to within the document) as one job.
// A device that cannot start or finish the job gets a message naming the file or the
// reason; a user's abort abandons the job quietly. A file job is refused before it starts
// (with a message) when its file could not be replaced by a save: something other than a
// regular file (a device, a pipe), a read-only file (also for root), or the document's
// own file.
PrintResult PrintLines(EditWindow& w, PrintJob& job, int from, int to);

// The header of a page: "Seite N" right-aligned in the text area, the file name ("Datei:
// NAME" in capitals, or "Datei ist ohne Namen") at the left, cut so that one cell stays
// free before the page number.
void PrintHeader(const EditWindow& w, PrintJob& job, int page, const PageLayout& layout,
                 const PageMetrics& metrics);

// A file name (UTF-8, or bytes that are no UTF-8) as ANSI bytes, as the header prints it;
// characters without an ANSI byte become '?'.
std::string FileNameAsAnsi(std::string_view name);

// Opens a job that writes a PDF file without a dialog (the Qt part provides it, batch
// mode's --print-to uses it); 0, or an errno value when the job cannot be made.
using PdfJobOpener = int (*)(const std::string& fileName, PrintJob& job);
void SetPdfJobOpener(PdfJobOpener opener);
PdfJobOpener ThePdfJobOpener();

// How many jobs have been finished since the program started (batch mode checks that
// --print-to got a file).
int FinishedPrintJobs();

}  // namespace varlin
