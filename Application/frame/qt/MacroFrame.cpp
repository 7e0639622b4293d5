// The Qt frame as the owner of the document windows that macros reach. Every command a
// script sends goes through MainFrame::RunCommand, the road of a menu item.
#include "frame/qt/MacroFrame.h"

#include "editing/EditWindow.h"
#include "frame/CommandRouting.h"
#include "frame/FrameCommands.h"
#include "frame/qt/DocumentWindows.h"
#include "frame/qt/MainFrame.h"
#include "macro/LearnCommands.h"
#include "macro/MacroList.h"
#include "macro/qt/MacroListDialog.h"
#include "view/qt/EditView.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace varlin {
namespace {

MainFrame& Frame(void* context) { return *static_cast<MainFrame*>(context); }

// The MDI child that shows w, or null.
QMdiSubWindow* SubWindowOf(MainFrame& frame, const EditWindow& w) {
    for (QMdiSubWindow* sub : frame.mdiArea()->subWindowList()) {
        EditView* view = EditViewOf(sub);
        if (view != nullptr && &view->window() == &w) return sub;
    }
    return nullptr;
}

}  // namespace

void InstallMacroFrame(MainFrame& frame) {
    frame.RegisterCommand(kCmdRunMacro, [] { CommandRunMacro(); });
    frame.RegisterCommand(kCmdLearnMacro, [] { CommandToggleLearnMode(); });
    frame.RegisterCommand(kCmdRunLearned, [] { CommandRunLearnedMacro(); });
    frame.RegisterCommand(kCmdSaveLearned, [&frame] {
        if (SaveLearnedMacro()) frame.RunCommand(kCmdAssignKeys);  // give the macro a key
    });
    frame.RegisterCommand(kCmdEditLearned, [] { CommandEditLearnedMacro(); });
    frame.RegisterCommand(kCmdEditMacro, [] { CommandEditMacro(); });
    frame.RegisterCommand(kCmdMacroList, [] { CommandMacroList(); });
    RegisterMacroListDialog();

    FrameWindows windows;
    windows.context = &frame;
    windows.openDocument = [](void* c, const std::string& name) {
        return Frame(c).OpenDocument(name);
    };
    // The child closes through its close event, which asks about unsaved changes; it is
    // deleted later, so the action that asked may still finish.
    windows.closeDocument = [](void* c, EditWindow& w) {
        QMdiSubWindow* sub = SubWindowOf(Frame(c), w);
        return sub != nullptr && sub->close();
    };
    windows.closeAll = [](void* c) { return Frame(c).CloseAllDocuments(); };
    windows.arrange = [](void* c, int mode) { Frame(c).Arrange(mode); };
    windows.runCommand = [](void* c, int commandId) { return Frame(c).RunCommand(commandId); };
    windows.hasOperation = [](void* c, int commandId) { return Frame(c).HasOperation(commandId); };
    windows.f3Keys = &frame.application().keyTableF3;
    InstallFrameWindows(windows);
}

}  // namespace varlin
