// The frame window: a QMainWindow with the MDI area of the document windows, the two
// menus and the status line. It carries out the application-level commands and passes
// every other CommandId to the current document window (WndProcMain's routing).
#pragma once

#include "frame/Application.h"
#include "frame/qt/FrameHooks.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace varlin {

class FrameMenus;
class FrameKeyFilter;

class MainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit MainFrame(Application& app, FrameHooks hooks = {}, QWidget* parent = nullptr);
    ~MainFrame() override;

    Application& application() { return app_; }
    FrameHooks& hooks() { return hooks_; }
    QMdiArea* mdiArea() const { return mdi_; }

    // The command dispatcher: application-level commands here, the rest to the current
    // document window (dropped when there is none). 0 when it ran, -1 when the command has
    // no operation or no document window took it.
    int RunCommand(int commandId);
    // Runs the command once the event loop is free (after start-up, or after a long loop).
    void PostCommand(int commandId);
    // Gives an application-level command its operation (later parts: settings, macros,
    // about box, ...). A registered handler replaces the frame's own.
    void RegisterCommand(int commandId, std::function<void()> handler);
    bool HasCommand(int commandId) const;
    // True when the command reaches an operation: a registered application-level command,
    // or a row of the document window's table that does something. The menus, the
    // toolbar, the keys and SendCommand all ask this.
    bool HasOperation(int commandId) const;

    // Menu switching: 108 while a document window exists, 107 otherwise.
    void RefreshMenu();
    // Builds the menus again in the language of the string table, then switches as above.
    void RetranslateMenus();
    int currentMenuId() const;
    // The action of a CommandId in the menu shown now, or nullptr.
    QAction* findAction(int commandId) const;
    // Greys and enables the items of a popup as the menu state requires.
    void UpdateMenuEnabling(QMenu* popup);
    int MenuFlags() const;
    // Whether the menu item of a command is enabled now (toolbar buttons follow it).
    bool IsCommandEnabled(int commandId) const;
    bool IsCommandEnabled(int commandId, int flags) const;

    // The document window the commands go to: the current one of the MDI area.
    QMdiSubWindow* currentDocument() const;
    int documentCount() const;

    int OpenDocument(const std::string& fileName);
    // Files asked for while no document window code is installed (kept in order).
    const std::vector<std::string>& waitingFiles() const { return waitingFiles_; }
    void OpenCommandLineFiles();
    // Opens a file at its line and column. With ReuseOpen a file shown in a window already
    // gets that window, made current. The window, or nullptr when the file did not open.
    enum class Reuse { OpenAgain, ReuseOpen };
    QMdiSubWindow* OpenFileSpot(const FileSpot& spot, Reuse reuse);
    void OpenDialog();

    // Asks every document window to close; returns how many stayed open.
    int CloseAllDocuments();
    void Arrange(int mode);  // 1 side by side, 2 one below the other, 3 tiled, 4 cascaded

    // Shows the frame maximized or at the persisted size.
    void ShowAsPersisted();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Cascade(const std::vector<QMdiSubWindow*>& windows, const QRect& area);
    void RegisterOwnCommands();
    int SendToDocument(int commandId);
    void RepaintDocuments();
    void RefreshStatus();
    void ToggleInsertModeCommand();

    Application& app_;
    FrameHooks hooks_;
    QMdiArea* mdi_ = nullptr;
    std::unique_ptr<FrameMenus> menus_;
    std::unique_ptr<FrameKeyFilter> keyFilter_;
    std::map<int, std::function<void()>> handlers_;
    std::vector<std::string> waitingFiles_;
};

}  // namespace varlin
