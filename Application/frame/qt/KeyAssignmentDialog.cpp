// The key assignment dialog's widgets; the rows' texts and the changes are the core's.
#include "frame/qt/KeyAssignmentDialog.h"

#include "platform/qt/DialogControls.h"
#include "frame/CommandRouting.h"
#include "frame/qt/MainFrame.h"
#include "platform/ListColumns.h"
#include "platform/qt/QtHost.h"
#include "resources/StringTable.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace varlin {
namespace {

constexpr int kCaptionText = 2500;   // "Zuordnen von Makros"
constexpr int kLabelText = 2501;     // "Tasten, die mit dem Prefix %s kombiniert werden können"
constexpr int kAssignText = 2502;
constexpr int kClearText = 2503;
constexpr int kCloseText = 2504;

// A description as the script's file holds it: scripts written here are Windows-1252,
// those from other editors often UTF-8, which is taken when the bytes are valid UTF-8.
QString DescriptionText(const std::string& bytes) {
    const QString utf8 = QString::fromUtf8(bytes);
    return utf8.contains(QChar::ReplacementCharacter) ? BytesToWindows1252(bytes) : utf8;
}

QPushButton* Button(int textId, int controlId, QWidget* parent) {
    auto* button = new QPushButton(AppText(textId), parent);
    button->setObjectName(QString::number(controlId));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

KeyAssignmentDialog::KeyAssignmentDialog(KeyAssignmentRecord& record, QWidget* parent)
    : QDialog(parent), record_(record) {
    setWindowTitle(AppText(kCaptionText));
    auto* label = new QLabel(AppText(kLabelText).replace(QStringLiteral("%s"), QString::fromStdString(record_.prefixName)), this);

    const std::vector<ListColumn> columns = ParseListColumns(LoadAppString(kKeyListColumnsText));
    const int rows = record_.table ? int(record_.table->entries.size()) : 0;
    list_ = new QTableWidget(rows, int(columns.size()), this);
    list_->setObjectName(QString::number(kKeyListControl));
    list_->setShowGrid(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setTabKeyNavigation(false);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);  // list rows
    list_->horizontalHeader()->setHighlightSections(false);
    list_->horizontalHeader()->setStretchLastSection(true);  // no empty strip at the right
    int width = 0;
    for (int c = 0; c < int(columns.size()); ++c) {
        list_->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf8(columns[std::size_t(c)].title)));
        list_->setColumnWidth(c, columns[std::size_t(c)].width);
        width += columns[std::size_t(c)].width;
    }
    list_->setMinimumWidth(width + 30);
    for (int row = 0; row < rows; ++row) ShowRow(row);

    assign_ = Button(kAssignText, kAssignButton, this);
    clear_ = Button(kClearText, kClearButton, this);
    auto* close = Button(kCloseText, 2, this);
    close->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(assign_);
    buttons->addWidget(clear_);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(list_->minimumWidth() + 30, 420);

    connect(list_, &QTableWidget::itemSelectionChanged, this, &KeyAssignmentDialog::SetButtons);
    connect(list_, &QTableWidget::cellDoubleClicked, this, [this](int, int) { AssignSelected(); });
    connect(assign_, &QPushButton::clicked, this, &KeyAssignmentDialog::AssignSelected);
    connect(clear_, &QPushButton::clicked, this, &KeyAssignmentDialog::ClearSelected);
    connect(close, &QPushButton::clicked, this, [this] { done(2); });

    if (rows > 0) list_->selectRow(0);
    SetButtons();
    list_->setFocus();
}

int KeyAssignmentDialog::selectedRow() const {
    const QList<QTableWidgetSelectionRange> ranges = list_->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.front().topRow();
}

void KeyAssignmentDialog::ShowRow(int row) {
    const KeyRowTexts texts = KeyRow(*record_.table, record_.prefixName, row);
    const QString cells[] = {QString::fromStdString(texts.key), QString::fromStdString(texts.file),
                             DescriptionText(texts.description)};
    for (int c = 0; c < list_->columnCount() && c < 3; ++c) {
        QTableWidgetItem* item = list_->item(row, c);
        if (!item) list_->setItem(row, c, item = new QTableWidgetItem);
        item->setText(cells[c]);
    }
}

void KeyAssignmentDialog::SetButtons() {
    const int row = selectedRow();
    assign_->setEnabled(record_.table && CanAssignRow(*record_.table, row));
    clear_->setEnabled(record_.table && CanClearRow(*record_.table, row));
}

void KeyAssignmentDialog::AssignSelected() {
    const int row = selectedRow();
    if (!record_.table || !AssignMacroToRow(*record_.table, row)) return;
    ShowRow(row);
    SetButtons();
}

void KeyAssignmentDialog::ClearSelected() {
    const int row = selectedRow();
    if (!record_.table || !CanClearRow(*record_.table, row)) return;
    ClearRow(*record_.table, row);
    ShowRow(row);
    SetButtons();
}

void InstallKeyAssignment(MainFrame& frame) {
    RegisterQtDialog(DialogId::KeyTable, [](QWidget* parent, void* record) {
        if (!record) return 2;
        KeyAssignmentDialog dialog(*static_cast<KeyAssignmentRecord*>(record), parent);
        return dialog.exec();
    });
    frame.RegisterCommand(kCmdAssignKeys, [&frame] { CommandAssignKeys(frame.application().keyTableF3); });
}

}  // namespace varlin
