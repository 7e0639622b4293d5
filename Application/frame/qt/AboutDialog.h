// The about box (command 122): the program's icon, title and version, the modules and
// libraries it runs on with their versions, and the rights note.
#pragma once

#include <QDialog>

namespace varlin {

struct Application;

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    AboutDialog(const Application& app, QWidget* parent = nullptr);
};

// The lines of the module list, in the current language.
QStringList AboutModuleLines();

}  // namespace varlin
