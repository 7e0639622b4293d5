// Printing on Qt Print Support: the print dialog (QPrintDialog, the selection offered when
// a range is marked) and a print job on a QPrinter, which a printer or a PDF file takes.
// A PDF file is written beside its target under a temporary name and renamed over it only
// when the job finished, so an abandoned or failed job leaves no half-written file.
#pragma once

#include "editing/Printing.h"

namespace varlin {

// Lets the Qt host run the print dialog for DialogId::Print; start-up calls it once. The
// job shows its progress as a QProgressDialog "Drucken" whose "Abbrechen" abandons it.
void RegisterPrintDialog();

// A job that writes the PDF file fileName, without a dialog and without a progress
// indicator (batch mode's --print-to). Starts Qt's GUI part offscreen when no Qt
// application runs yet. Always 0: a file that cannot be written fails when the job starts.
int OpenPdfPrintJob(const std::string& fileName, PrintJob& job);
// Ends the Qt application that OpenPdfPrintJob started, with its fonts and caches; the
// end of a batch run calls it.
void EndPdfPrinting();

}  // namespace varlin
