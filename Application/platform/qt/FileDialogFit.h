// The file dialogs in the program's language and of a workable size: sizes and dates of
// the listed files written as the user interface's language writes them (Qt's file list
// uses the system's locale, which need not be the program's), the type names through the
// default locale, and the columns wide enough for their contents.
#pragma once

#include <QLocale>

class QFileDialog;

namespace varlin {

// The locale of the program's language (German or English).
QLocale ProgramLocale();

// Makes ProgramLocale the default locale, and fits a file dialog not yet shown.
void FitFileDialog(QFileDialog& dialog);

}  // namespace varlin
