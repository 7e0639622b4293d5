// The frame's areas, the toolbar's notifications and the bars' configuration commands.
#include "frame/qt/ToolbarFrame.h"

#include "editing/EditWindow.h"
#include "editing/Recording.h"
#include "frame/CommandRouting.h"
#include "frame/FrameLayout.h"
#include "frame/PrefixKeys.h"
#include "frame/qt/ButtonConfigDialog.h"
#include "frame/qt/MainFrame.h"
#include "frame/qt/StatusConfigDialog.h"
#include "frame/qt/StatusLine.h"
#include "frame/qt/Toolbar.h"
#include "macro/MacroRun.h"
#include "platform/Host.h"
#include "resources/StringTable.h"
#include "settings/Options.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>

namespace varlin {
namespace {

// The area whose status line and toolbar follow learn mode (a plain callback of the core).
FrameArea* g_learnArea = nullptr;

void LearnModeChanged(bool on) {
    if (!g_learnArea) return;
    g_learnArea->toolbar()->SetButtonActive(kCmdLearnMacro, on);
    g_learnArea->UpdateStatusField(kFieldLearn);
}

bool IsInside(QObject* object, QWidget* container) {
    for (auto* w = qobject_cast<QWidget*>(object); w; w = w->parentWidget()) {
        if (w == container) return true;
    }
    return false;
}

}  // namespace

FrameArea::FrameArea(MainFrame& frame, QMdiArea* mdi)
    : QWidget(&frame), frame_(frame), mdi_(mdi),
      toolbar_(new FrameToolbar(this)), status_(new StatusLine(this)) {
    setObjectName(QStringLiteral("FrameArea"));
    mdi_->setParent(this);
    toolbar_->runCommand = [this](int id) { frame_.RunCommand(id); };
    toolbar_->notify = [this](const ToolbarNotification& n) { HandleNotification(n); };
    status_->runCommand = [this](int id) {
        if (!frame_.HasOperation(id)) HostBeep();  // a field tied to a command not there
        else frame_.RunCommand(id);
    };
    definitions_ = LoadStatusFieldDefinitions();
    language_ = GetAppLanguage();
    themeIcons_ = CurrentOptions().ThemeIcons;
}

FrameArea::~FrameArea() {
    // The frame outlives this area (it deletes its central widget first); the hooks that
    // lead here end now, before the document windows inside are closed.
    FrameHooks& hooks = frame_.hooks();
    hooks.refreshStatus = nullptr;
    hooks.refreshStatusField = nullptr;
    hooks.routineList = nullptr;
    hooks.setButtonActive = nullptr;
    hooks.controlWantsKey = nullptr;
    toolbar_->notify = nullptr;
    toolbar_->runCommand = nullptr;
    status_->runCommand = nullptr;
    if (g_learnArea == this) {
        g_learnArea = nullptr;
        TheLearnRecorder().learnModeChanged = nullptr;
        ThePrefixKeyHooks().refreshStatusField = nullptr;
    }
}

void FrameArea::LayoutFrame() {
    const QRect r = rect();
    const int statusHeight = statusConfig_.location == kStatusHidden ? 0 : status_->sizeHint().height();
    ArrangeButtons arrange = [this](bool vertical, int available) {
        return toolbar_->ArrangeButtons(vertical, available);
    };
    FrameAreas areas = LayoutFrameAreas({r.x(), r.y(), r.width(), r.height()}, statusConfig_.location,
                                        statusHeight, buttonsLocation_, arrange);
    auto toQt = [](const LayoutRect& l) { return QRect(l.x, l.y, l.width, l.height); };
    status_->setVisible(areas.status.height > 0);
    toolbar_->setVisible(areas.buttons.width > 0 && areas.buttons.height > 0);
    status_->setGeometry(toQt(areas.status));
    toolbar_->setGeometry(toQt(areas.buttons));
    mdi_->setGeometry(toQt(areas.client));
    toolbar_->update();
    status_->update();
}

void FrameArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutFrame();
}

void FrameArea::UpdateStatusField(int field) {
    if (field < kFirstStatusField || field > kLastStatusField) return;
    const EditWindow* document = frame_.currentDocument() ? ActiveEditWindow() : nullptr;
    StatusInputs inputs = CurrentStatusInputs(frame_.application(), document);
    status_->SetFieldText(field, QString::fromStdString(StatusFieldText(field, inputs)));
}

void FrameArea::UpdateAllStatusFields() {
    // After a change of language the frame refreshes everything: the buttons' tooltips
    // and the fields' descriptions follow.
    if (GetAppLanguage() != language_) {
        language_ = GetAppLanguage();
        status_->Configure(definitions_, statusConfig_);
        ApplyButtons(toolbar_->buttonSet(), buttonsLocation_);
    }
    // So do the pictures after the settings switched between the desktop's and our own.
    if (CurrentOptions().ThemeIcons != themeIcons_) {
        themeIcons_ = CurrentOptions().ThemeIcons;
        ApplyButtons(toolbar_->buttonSet(), buttonsLocation_);
    }
    for (int field = kFirstStatusField; field <= kLastStatusField; ++field) UpdateStatusField(field);
    UpdateButtonEnabling();
}

void FrameArea::UpdateButtonEnabling() {
    const int flags = frame_.MenuFlags();
    toolbar_->EnableCommands([this, flags](int commandId) { return frame_.IsCommandEnabled(commandId, flags); });
}

void FrameArea::ApplyButtons(const ButtonSet& set, int location) {
    buttonsLocation_ = location;
    toolbar_->Build(set);  // tells kBarSizeChanged, which lays the frame out
    UpdateButtonEnabling();
    HandleNotification(ToolbarNotification(kBarFillControl, toolbar_->routineList(), kRoutineListControl));
}

void FrameArea::ApplyStatus(const StatusConfig& config) {
    statusConfig_ = config;
    status_->Configure(definitions_, config);
    UpdateAllStatusFields();
    LayoutFrame();
}

void FrameArea::HandleNotification(const ToolbarNotification& n) {
    FrameHooks& hooks = frame_.hooks();
    QMdiSubWindow* document = frame_.currentDocument();
    switch (n.kind) {
    case kBarSizeChanged: LayoutFrame(); break;
    case kBarMacroButton:
        if (hooks.runMacroFile) hooks.runMacroFile(n.macroFile);
        else RunMacroFile(n.macroFile);
        UpdateAllStatusFields();
        break;
    case kBarControlEvent: {
        auto* box = qobject_cast<QComboBox*>(n.control);
        if (n.controlId != kRoutineListControl || n.eventCode != kControlClosedUp || !box) break;
        const int index = box->currentIndex();
        const QVariant line = index < 0 ? QVariant() : box->itemData(index);
        if (!line.isValid() || line.toInt() < 0) {
            HostBeep();
            break;
        }
        if (document && hooks.gotoLine) hooks.gotoLine(document, line.toInt());
        break;
    }
    case kBarFillControl: {
        auto* box = qobject_cast<QComboBox*>(n.control);
        if (n.controlId != kRoutineListControl || !box) break;
        if (document && hooks.fillRoutineList) hooks.fillRoutineList(document, box);
        else if (!document) box->clear();
        break;
    }
    case kBarMacroList: frame_.RunCommand(kCmdMacroList); break;
    default: break;
    }
}

void FrameArea::EditButtons() {
    const Application& app = frame_.application();
    ButtonConfigRecord record;
    record.set = toolbar_->buttonSet();
    record.location = buttonsLocation_;
    record.currentFile = CurrentButtonFilePath(app.userDirectory);
    record.standardFile = StandardButtonFilePath(app.programDirectory);
    if (!RunButtonConfigDialog(&frame_, record)) return;
    // The bar shows the choice even when its file cannot be written (the message says so).
    if (record.currentFile != CurrentButtonFilePath(app.userDirectory)) SaveCurrentButtonFilePath(record.currentFile);
    WriteButtonFile(record.currentFile, record.set);
    SaveButtonsLocation(record.location);
    ApplyButtons(record.set, record.location);
}

void FrameArea::EditStatus() {
    StatusConfig config = statusConfig_;
    if (!RunStatusConfigDialog(&frame_, definitions_, config)) return;
    SaveStatusConfig(config);
    ApplyStatus(config);
}

FrameArea* FrameAreaOf(MainFrame& frame) {
    return frame.findChild<FrameArea*>(QStringLiteral("FrameArea"), Qt::FindDirectChildrenOnly);
}

FrameArea* InstallToolbarAndStatusLine(MainFrame& frame) {
    if (FrameArea* existing = FrameAreaOf(frame)) return existing;
    QMdiArea* mdi = frame.mdiArea();
    frame.takeCentralWidget();
    auto* area = new FrameArea(frame, mdi);
    frame.setCentralWidget(area);

    // Qt's own status bar of the frame still receives the menu items' help texts; it stays
    // hidden and hands them on to the status line as its modal text.
    QStatusBar* tips = frame.statusBar();
    tips->hide();
    QObject::connect(tips, &QStatusBar::messageChanged, area->statusLine(),
                     [area](const QString& text) { area->statusLine()->SetModalText(text); });

    FrameHooks& hooks = frame.hooks();
    hooks.refreshStatus = [area] { area->UpdateAllStatusFields(); };
    hooks.refreshStatusField = [area](int field) {
        if (field == 0) {
            area->UpdateAllStatusFields();
        } else {
            area->UpdateStatusField(field);
            area->UpdateButtonEnabling();  // a change of the range or of the text
        }
    };
    hooks.routineList = [area]() -> QComboBox* { return area->toolbar()->routineList(); };
    hooks.setButtonActive = [area](int id, bool on) { area->toolbar()->SetButtonActive(id, on); };
    hooks.controlWantsKey = [area](QObject* receiver, QKeyEvent*) {
        return IsInside(receiver, area->toolbar());
    };
    ThePrefixKeyHooks().refreshStatusField = [area](int field) { area->UpdateStatusField(field); };
    g_learnArea = area;
    TheLearnRecorder().learnModeChanged = LearnModeChanged;

    frame.RegisterCommand(kCmdButtons, [area] { area->EditButtons(); });
    frame.RegisterCommand(kCmdStatusLine, [area] { area->EditStatus(); });

    const Application& app = frame.application();
    area->ApplyStatus(LoadStatusConfig());
    area->ApplyButtons(LoadCurrentButtonSet(app.programDirectory, app.userDirectory), LoadButtonsLocation());
    area->toolbar()->SetButtonActive(kCmdLearnMacro, IsLearning());
    return area;
}

}  // namespace varlin
