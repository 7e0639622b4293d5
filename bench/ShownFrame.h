// The frame window of the painting benchmarks: offscreen, shown at 1400 x 1200, with a
// private settings file and a host that answers Yes (the question above 500,000 lines).
// A QApplication must exist before Start. OpenSized opens a document window of a given
// number of rows and columns.
#pragma once

#include "frame/Application.h"
#include "frame/qt/DocumentWindows.h"
#include "frame/qt/MainFrame.h"
#include "platform/HeadlessHost.h"
#include "platform/Registry.h"
#include "view/qt/EditView.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <memory>

namespace varlin::bench {

struct ShownFrame {
    QTemporaryDir dir;
    HeadlessHost host;
    Application app;
    std::unique_ptr<MainFrame> frame;

    bool Start() {
        SetSettingsFile(dir.filePath("settings.ini").toStdString());
        host.writeMessagesToStderr = false;
        host.defaultAnswer = HeadlessHost::DefaultAnswer::Yes;
        host.Install();
        if (InitApplication(app, {}, "/tmp") != 1) return false;
        Korvel_WriteLongToHKCU("EditWind", "Maximized", 0);
        frame = std::make_unique<MainFrame>(app);
        InstallDocumentWindows(*frame);
        frame->resize(1400, 1200);
        frame->show();
        QApplication::processEvents();
        return true;
    }

    // Opens path in a document window of exactly rows x columns cells; null when it did
    // not open.
    EditView* OpenSized(const std::string& path, int rows, int columns) {
        OpenEditWindow(*frame, path);
        EditView* view = EditViewOf(frame->currentDocument());
        if (!view) return nullptr;
        QMdiSubWindow* sub = frame->currentDocument();
        const int extraH = sub->height() - view->viewport()->height();
        const int extraW = sub->width() - view->viewport()->width();
        sub->resize(columns * view->cellWidth() + 4 + extraW, rows * view->cellHeight() + 4 + extraH);
        QApplication::processEvents();
        return view;
    }
};

}  // namespace varlin::bench
