#include "frame/qt/GuiMain.h"

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>

namespace varlin {

int RunGui(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow frame;
    frame.setWindowTitle(QStringLiteral("Varlin  4.4.0"));
    frame.setCentralWidget(new QMdiArea(&frame));
    frame.resize(900, 650);
    frame.show();
    return app.exec();
}

}  // namespace varlin
