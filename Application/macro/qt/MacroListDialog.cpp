// The macro list dialog. The lines come sorted from the core; the dialog only shows
// them, selects the first and hands back the taken one under the core's length rule.
#include "macro/qt/MacroListDialog.h"

#include "platform/qt/DialogControls.h"
#include "platform/qt/QtHost.h"
#include "resources/StringTable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace varlin {
namespace {

constexpr int kCaptionText = 2700;
constexpr int kLabelText = 2703;
constexpr int kTakeText = 2704;
constexpr int kCancelText = 2705;

}  // namespace

MacroListDialog::MacroListDialog(MacroListRequest& request, QWidget* parent)
    : QDialog(parent), request_(request) {
    setWindowTitle(AppText(kCaptionText));
    auto* label = new QLabel(AppText(kLabelText), this);
    label->setObjectName("2703");
    list_ = new QListWidget(this);
    list_->setObjectName("2701");
    for (const std::string& line : request_.lines) list_->addItem(QString::fromLatin1(line.c_str()));
    if (list_->count() > 0) list_->setCurrentRow(0);
    label->setBuddy(list_);

    take_ = new QPushButton(AppText(kTakeText), this);
    take_->setObjectName("1");
    take_->setDefault(true);
    take_->setEnabled(request_.canTake);
    auto* cancel = new QPushButton(AppText(kCancelText), this);
    cancel->setObjectName("2");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(take_);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(list_);
    layout->addLayout(buttons);

    connect(take_, &QPushButton::clicked, this, [this] { Take(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] {
        if (request_.canTake) Take();
    });
    connect(cancel, &QPushButton::clicked, this, [this] { done(0); });
}

void MacroListDialog::Take() {
    const int row = list_->currentRow();
    request_.text.clear();
    if (row >= 0 && row < static_cast<int>(request_.lines.size()))
        TakeMacroListLine(request_, request_.lines[static_cast<std::size_t>(row)]);
    done(1);
}

void RegisterMacroListDialog() {
    RegisterQtDialog(DialogId::MacroList, [](QWidget* parent, void* record) {
        if (record == nullptr) return 0;
        MacroListDialog dialog(*static_cast<MacroListRequest*>(record), parent);
        return dialog.exec() == 1 ? 1 : 0;
    });
}

}  // namespace varlin
