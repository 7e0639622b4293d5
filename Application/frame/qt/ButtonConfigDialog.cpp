// The button configuration dialog: the commands of the document menu on the left, the
// toolbar's buttons on the right, moved between them with buttons or a double click.
#include "frame/qt/ButtonConfigDialog.h"

#include "frame/qt/Toolbar.h"
#include "frame/qt/ToolbarIcons.h"
#include "platform/Host.h"
#include "platform/Messages.h"
#include "resources/Menus.h"
#include "resources/StringTable.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <functional>
#include <set>

namespace varlin {
namespace {

enum TextId : int {
    kCaption = 3100, kAvailableLabel = 3101, kChosenLabel = 3102, kAddText = 3103,
    kRemoveText = 3104, kUpText = 3105, kDownText = 3106, kAddMacroText = 3107,
    kStandardText = 3108, kLoadText = 3109, kSaveAsText = 3110, kPositionText = 3111,
    kLeftText = 3112, kRightText = 3113, kTopText = 3114, kBottomText = 3115,
    kHiddenText = 3116, kSeparatorText = 3117, kMacroItemText = 3118, kLoadTitle = 3119,
    kSaveTitle = 3120, kOkText = 3123, kCancelText = 3124, kNotAButtonFile = 3125,
};
constexpr int kMacroFileTitle = 1513;   // "Makrodatei"
constexpr int kMacroFilter = 1404;
constexpr int kButtonFilter = 1403;

// What an item of either list stands for.
constexpr int kKindRole = Qt::UserRole;
constexpr int kIdRole = Qt::UserRole + 1;
constexpr int kFileRole = Qt::UserRole + 2;

QString Text(int id) { return QString::fromStdString(LoadAppString(id)); }

std::function<int(ButtonConfigDialog&)>& Handler() {
    static std::function<int(ButtonConfigDialog&)> handler;
    return handler;
}

// The document menu's commands in menu order, each once.
void CollectCommands(std::span<const MenuItem> items, std::vector<int>& ids, std::set<int>& seen) {
    for (const MenuItem& item : items) {
        if (item.flags & kMenuPopup) CollectCommands(item.children, ids, seen);
        else if (item.id > 0 && seen.insert(item.id).second) ids.push_back(item.id);
    }
}

ButtonSpec SpecOf(const QListWidgetItem* item) {
    ButtonSpec entry;
    entry.kind = static_cast<ButtonKind>(item->data(kKindRole).toInt());
    entry.id = item->data(kIdRole).toInt();
    entry.macroFile = item->data(kFileRole).toString().toStdString();
    return entry;
}

}  // namespace

ButtonConfigDialog::ButtonConfigDialog(ButtonConfigRecord& record, QWidget* parent)
    : QDialog(parent), record_(record), available_(new QListWidget(this)),
      chosen_(new QListWidget(this)), location_(new QButtonGroup(this)) {
    setWindowTitle(Text(kCaption));
    available_->setObjectName(QStringLiteral("available"));
    chosen_->setObjectName(QStringLiteral("chosen"));
    for (QListWidget* list : {available_, chosen_}) {
        list->setIconSize(QSize(16, 16));
        list->setMinimumWidth(260);
        list->setMinimumHeight(300);
    }
    auto button = [this](int textId, auto slot) {
        auto* b = new QPushButton(Text(textId), this);
        b->setObjectName(QString::number(textId));
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(button(kAddText, [this] { AddSelected(); }));
    middle->addWidget(button(kRemoveText, [this] { RemoveSelected(); }));
    middle->addSpacing(12);
    middle->addWidget(button(kUpText, [this] { MoveSelected(-1); }));
    middle->addWidget(button(kDownText, [this] { MoveSelected(1); }));
    middle->addSpacing(12);
    middle->addWidget(button(kAddMacroText, [this] { ChooseMacro(); }));
    middle->addStretch();

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(Text(kAvailableLabel), this));
    left->addWidget(available_);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(Text(kChosenLabel), this));
    right->addWidget(chosen_);
    auto* lists = new QHBoxLayout;
    lists->addLayout(left);
    lists->addLayout(middle);
    lists->addLayout(right);

    auto* position = new QGroupBox(Text(kPositionText), this);
    auto* radios = new QHBoxLayout(position);
    const std::pair<int, int> sides[] = {{kButtonsTop, kTopText}, {kButtonsBottom, kBottomText},
                                         {kButtonsLeft, kLeftText}, {kButtonsRight, kRightText},
                                         {kButtonsHidden, kHiddenText}};
    for (auto [value, textId] : sides) {
        auto* radio = new QRadioButton(Text(textId), position);
        radio->setObjectName(QStringLiteral("location%1").arg(value));
        location_->addButton(radio, value);
        radios->addWidget(radio);
    }
    if (QAbstractButton* current = location_->button(record.location)) current->setChecked(true);
    else location_->button(kButtonsHidden)->setChecked(true);

    auto* files = new QHBoxLayout;
    files->addWidget(button(kStandardText, [this] {
        ButtonSet set;
        ShowSet(ReadButtonFile(record_.standardFile, set) ? set : BuiltInButtonSet());
    }));
    files->addWidget(button(kLoadText, [this] { LoadFromFile(); }));
    files->addWidget(button(kSaveAsText, [this] { SaveToFile(); }));
    files->addStretch();
    auto* ok = button(kOkText, [this] { accept(); });
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    auto* cancel = button(kCancelText, [this] { reject(); });
    cancel->setObjectName(QStringLiteral("2"));
    files->addWidget(ok);
    files->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addWidget(position);
    layout->addLayout(files);

    connect(available_, &QListWidget::itemDoubleClicked, this, [this] { AddSelected(); });
    connect(chosen_, &QListWidget::itemDoubleClicked, this, [this] { RemoveSelected(); });
    FillAvailable();
    ShowSet(record.set);
}

QListWidgetItem* ButtonConfigDialog::ItemFor(const ButtonSpec& entry) const {
    auto* item = new QListWidgetItem;
    item->setData(kKindRole, int(entry.kind));
    item->setData(kIdRole, entry.id);
    item->setData(kFileRole, QString::fromStdString(entry.macroFile));
    switch (entry.kind) {
    case ButtonKind::Command: {
        item->setText(CommandButtonText(entry.id));
        QIcon icon = ToolbarIcon(entry.id);
        if (icon.isNull()) {
            // A blank picture keeps the names of all commands in one column.
            QPixmap blank(16, 16);
            blank.fill(Qt::transparent);
            icon = QIcon(blank);
        }
        item->setIcon(icon);
        item->setToolTip(CommandToolTip(entry.id));
        break;
    }
    case ButtonKind::Control: item->setText(Text(kRoutineListLabelId)); break;
    case ButtonKind::Separator: item->setText(QStringLiteral("—— %1 ——").arg(Text(kSeparatorText))); break;
    case ButtonKind::Macro: {
        const QString file = QString::fromStdString(entry.macroFile);
        item->setText(Text(kMacroItemText).replace(QStringLiteral("%s"), QFileInfo(file).fileName()));
        item->setIcon(MacroButtonIcon());
        item->setToolTip(file);
        break;
    }
    }
    return item;
}

void ButtonConfigDialog::FillAvailable() {
    // The routine list and the separator first (the special controls the frame offers),
    // then every command of the document menu.
    available_->addItem(ItemFor({ButtonKind::Separator, 0, {}}));
    available_->addItem(ItemFor({ButtonKind::Control, kRoutineListControl, {}}));
    std::vector<int> ids;
    std::set<int> seen;
    CollectCommands(MenuResource(kMenuIdDocument), ids, seen);
    for (int id : ids) available_->addItem(ItemFor({ButtonKind::Command, id, {}}));
    available_->setCurrentRow(0);
}

void ButtonConfigDialog::ShowSet(const ButtonSet& set) {
    chosen_->clear();
    for (const ButtonSpec& entry : set.buttons) chosen_->addItem(ItemFor(entry));
    if (chosen_->count() > 0) chosen_->setCurrentRow(0);
}

ButtonSet ButtonConfigDialog::chosenSet() const {
    ButtonSet set;
    for (int i = 0; i < chosen_->count(); ++i) set.buttons.push_back(SpecOf(chosen_->item(i)));
    return set;
}

void ButtonConfigDialog::AddSelected() {
    QListWidgetItem* item = available_->currentItem();
    if (!item) return;
    ButtonSpec entry = SpecOf(item);
    if (entry.kind == ButtonKind::Control) {
        // The routine list can stand on the bar only once.
        for (const ButtonSpec& b : chosenSet().buttons) {
            if (b.kind == ButtonKind::Control && b.id == entry.id) {
                HostBeep();
                return;
            }
        }
    }
    const int row = chosen_->currentRow() < 0 ? chosen_->count() : chosen_->currentRow() + 1;
    chosen_->insertItem(row, ItemFor(entry));
    chosen_->setCurrentRow(row);
}

void ButtonConfigDialog::RemoveSelected() {
    const int row = chosen_->currentRow();
    if (row < 0) return;
    delete chosen_->takeItem(row);
    if (chosen_->count() > 0) chosen_->setCurrentRow(std::min(row, chosen_->count() - 1));
}

void ButtonConfigDialog::MoveSelected(int step) {
    const int row = chosen_->currentRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= chosen_->count()) return;
    QListWidgetItem* item = chosen_->takeItem(row);
    chosen_->insertItem(target, item);
    chosen_->setCurrentRow(target);
}

void ButtonConfigDialog::AddMacro(const std::string& fileName) {
    if (fileName.empty()) return;
    const int row = chosen_->currentRow() < 0 ? chosen_->count() : chosen_->currentRow() + 1;
    chosen_->insertItem(row, ItemFor({ButtonKind::Macro, 0, fileName}));
    chosen_->setCurrentRow(row);
}

void ButtonConfigDialog::ChooseMacro() {
    FileDialogRequest request;
    request.mode = FileDialogMode::Open;
    request.titleId = kMacroFileTitle;
    request.filter = LoadAppString(kMacroFilter);
    request.registryValue = "MacroFile";
    std::vector<std::string> names;
    if (HostAskFileNames(request, names) && !names.empty()) AddMacro(names.front());
}

void ButtonConfigDialog::LoadFromFile() {
    FileDialogRequest request;
    request.mode = FileDialogMode::Open;
    request.titleId = kLoadTitle;
    request.filter = LoadAppString(kButtonFilter);
    request.registryValue = "ButtonFile";
    std::vector<std::string> names;
    if (!HostAskFileNames(request, names) || names.empty()) return;
    ButtonSet set;
    if (!ReadButtonFile(names.front(), set)) {
        ShowMessage(kNotAButtonFile, names.front());
        return;
    }
    ShowSet(set);
}

void ButtonConfigDialog::SaveToFile() {
    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.titleId = kSaveTitle;
    request.filter = LoadAppString(kButtonFilter);
    request.registryValue = "ButtonFile";
    request.initialName = record_.currentFile;
    std::vector<std::string> names;
    if (!HostAskFileNames(request, names) || names.empty()) return;
    // The saved file becomes the current set's file, and OK keeps it there.
    if (WriteButtonFile(names.front(), chosenSet())) record_.currentFile = names.front();
}

void ButtonConfigDialog::accept() {
    record_.set = chosenSet();
    record_.location = location_->checkedId() < 0 ? kButtonsHidden : location_->checkedId();
    QDialog::accept();
}

bool RunButtonConfigDialog(QWidget* parent, ButtonConfigRecord& record) {
    ButtonConfigDialog dialog(record, parent);
    int result = Handler() ? Handler()(dialog) : dialog.exec();
    return result == QDialog::Accepted;
}

void SetButtonConfigDialogHandler(std::function<int(ButtonConfigDialog&)> handler) {
    Handler() = std::move(handler);
}

}  // namespace varlin
