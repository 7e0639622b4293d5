// The toolbar: a QToolBar built from a button set. Command buttons send their CommandId
// to the frame, macro buttons and the routine list (control 300) tell the frame through
// notifications, as the button bar of old told its owner: 1 the bar changed its size,
// 2 a macro button was pressed, 3 a control reports an event, 4 a control asks to be
// filled, 7 show the list of macro commands.
#pragma once

#include "frame/ButtonSet.h"

#include <QComboBox>
#include <QToolBar>

#include <functional>
#include <map>
#include <string>

class QAction;

namespace varlin {

enum ToolbarNotificationKind : int {
    kBarSizeChanged = 1,
    kBarMacroButton = 2,
    kBarControlEvent = 3,
    kBarFillControl = 4,
    kBarMacroList = 7,
};
constexpr int kControlClosedUp = 8;   // the event of a drop-down list that closed on a choice

struct ToolbarNotification {
    explicit ToolbarNotification(int kind_, QWidget* control_ = nullptr, int controlId_ = 0,
                                 int eventCode_ = 0)
        : kind(kind_), control(control_), controlId(controlId_), eventCode(eventCode_) {}
    int kind;
    QWidget* control;
    int controlId;
    int eventCode;
    std::string macroFile;   // kBarMacroButton
};

// The routine list, control 300. It asks to be filled before it drops down and reports
// when it closed on a chosen entry; a list closed with Escape or a click elsewhere
// reports nothing.
class RoutineListBox : public QComboBox {
    Q_OBJECT
public:
    explicit RoutineListBox(QWidget* parent = nullptr);
    std::function<void(int kind, int eventCode)> notify;

    void showPopup() override;
    void hidePopup() override;

private:
    void Chosen();
    bool open_ = false;
    bool closing_ = false;
    bool chosen_ = false;
};

class FrameToolbar : public QToolBar {
    Q_OBJECT
public:
    explicit FrameToolbar(QWidget* parent = nullptr);

    // The frame's side: commands run, notifications handled.
    std::function<void(int commandId)> runCommand;
    std::function<void(const ToolbarNotification&)> notify;

    void Build(const ButtonSet& set);
    const ButtonSet& buttonSet() const { return set_; }
    // Get_ButtonControlHandle: the control's widget, or nullptr when it is not on the bar.
    QWidget* controlHandle(int controlId) const;
    RoutineListBox* routineList() const { return routineList_; }
    // Set_ButtonActive: shows a command's button pressed (for 89 while recording).
    // Enables each command button as the test says (macro buttons and the list stay).
    void EnableCommands(const std::function<bool(int commandId)>& enabled);
    void SetButtonActive(int commandId, bool active);
    bool isButtonActive(int commandId) const;
    QAction* commandAction(int commandId) const;

    // Ux_ArrangeButtonsVertical / Horizontal: lays the buttons out along a side of the
    // given length and returns the bar's thickness.
    int ArrangeButtons(bool vertical, int available);

private:
    void AddCommand(int commandId);
    void AddMacro(const std::string& fileName);
    void AddRoutineList();
    void Notify(ToolbarNotification n);

    ButtonSet set_;
    RoutineListBox* routineList_ = nullptr;
    std::multimap<int, QAction*> commands_;
    std::map<int, bool> active_;   // kept across rebuilds
};

// The text a command shows where it has no picture, and its tooltip.
QString CommandButtonText(int commandId);
QString CommandToolTip(int commandId);

}  // namespace varlin
