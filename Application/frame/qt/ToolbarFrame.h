// The frame's client area with its three parts: the status line, the toolbar and the
// document area, placed by LayoutFrame as the configuration of the two bars says. The
// installer puts it into the frame, fills the frame's hooks for the status line and the
// toolbar, answers the toolbar's notifications and gives commands 82 and 83 their
// configuration dialogs.
#pragma once

#include "frame/ButtonSet.h"
#include "frame/StatusFields.h"

#include <QWidget>

class QMdiArea;

namespace varlin {

class FrameToolbar;
class MainFrame;
class StatusLine;
struct ToolbarNotification;

class FrameArea : public QWidget {
    Q_OBJECT
public:
    FrameArea(MainFrame& frame, QMdiArea* mdi);
    ~FrameArea() override;

    FrameToolbar* toolbar() const { return toolbar_; }
    StatusLine* statusLine() const { return status_; }
    QMdiArea* mdiArea() const { return mdi_; }

    // Places the status line, then the toolbar, then the document area.
    void LayoutFrame();

    void UpdateStatusField(int field);
    // Greys the command buttons whose menu items are greyed, and enables the others.
    void UpdateButtonEnabling();
    void UpdateAllStatusFields();

    // The bars' configuration as loaded or chosen.
    void ApplyButtons(const ButtonSet& set, int location);
    void ApplyStatus(const StatusConfig& config);
    int buttonsLocation() const { return buttonsLocation_; }
    const StatusConfig& statusConfig() const { return statusConfig_; }

    // The frame's handling of a toolbar notification.
    void HandleNotification(const ToolbarNotification& n);

    // Commands 82 and 83.
    void EditButtons();
    void EditStatus();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    MainFrame& frame_;
    QMdiArea* mdi_;
    FrameToolbar* toolbar_;
    StatusLine* status_;
    int buttonsLocation_ = kButtonsTop;
    StatusConfig statusConfig_;
    std::vector<StatusFieldDefinition> definitions_;
    int language_ = 0;   // the language the bars' texts are in
    int themeIcons_ = 1; // the option ThemeIcons the buttons' pictures follow
};

// Puts the status line and the toolbar into the frame (loading their configuration from
// "Buttons", "Status" and the button files) and fills the frame's hooks for them.
FrameArea* InstallToolbarAndStatusLine(MainFrame& frame);
FrameArea* FrameAreaOf(MainFrame& frame);

}  // namespace varlin
