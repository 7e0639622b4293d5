// Support for the Qt tests of the document windows: a frame with the document windows
// installed, shown offscreen, a settings file and a headless host of its own (so that
// messages are answered from a queue and counted), and documents opened from text.
#pragma once

#include "editing/EditActions.h"
#include "editing/UndoRecord.h"
#include "frame/Application.h"
#include "frame/qt/DocumentWindows.h"
#include "frame/qt/MainFrame.h"
#include "frame/qt/ToolbarFrame.h"
#include "platform/HeadlessHost.h"
#include "platform/Registry.h"
#include "settings/Options.h"
#include "view/qt/EditView.h"

#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>

namespace varlin::test {

class EditViewHarness {
public:
    QTemporaryDir dir;
    std::unique_ptr<Application> app;
    HeadlessHost host;
    std::unique_ptr<MainFrame> frame;

    // A frame 900 x 600 with every document window opened as a window of 600 x 400; with
    // bars, the frame's toolbar and status line as the program has them.
    bool Start(bool bars = false) {
        SetSettingsFile(dir.filePath("settings.ini").toStdString());
        Korvel_WriteLongToHKCU("EditWind", "Maximized", 0);
        Korvel_WriteLongToHKCU("EditWind", "WindowWidth", 600);
        Korvel_WriteLongToHKCU("EditWind", "WindowHeight", 400);
        app = std::make_unique<Application>();
        if (InitApplication(*app, {}, "/tmp") != 1) return false;
        app->options->AutoOpen = 0;
        host.Reset();
        host.writeMessagesToStderr = false;
        host.defaultAnswer = HeadlessHost::DefaultAnswer::Cancel;
        host.Install();
        ReleaseShift();
        ForgetUndo();
        frame = std::make_unique<MainFrame>(*app);
        if (bars) InstallToolbarAndStatusLine(*frame);
        InstallDocumentWindows(*frame);
        frame->RefreshMenu();
        frame->resize(900, 600);
        frame->show();
        QApplication::setActiveWindow(frame.get());
        return QTest::qWaitForWindowActive(frame.get());
    }

    void Stop() {
        for (QMdiSubWindow* w : frame->mdiArea()->subWindowList()) {
            if (EditView* view = EditViewOf(w)) view->window().modified = 0;
        }
        frame.reset();
        app.reset();
        SetSettingsFile("");
    }

    // Writes text to a file of the test folder and opens it; null when that failed.
    EditView* Open(const std::string& text, const QString& name = "doc.c") {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return nullptr;
        file.write(text.data(), static_cast<qint64>(text.size()));
        file.close();
        if (OpenEditWindow(*frame, path.toStdString()) != 0) return nullptr;
        return Current();
    }
    EditView* Current() const { return EditViewOf(frame->currentDocument()); }

    // Lines of the current document joined by '\n'.
    std::string Text() const {
        const EditWindow& w = Current()->window();
        std::string out;
        for (int i = 0; i < w.LineCount(); ++i) {
            if (i > 0) out += '\n';
            out += std::string(w.doc->LineView(i));
        }
        return out;
    }
};

// Sends a key with the text it types, as the keyboard of the platform would (Qt's own
// helpers only know Latin-1 characters).
inline void Type(QWidget* target, const QString& text, int key = 0,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

}  // namespace varlin::test
