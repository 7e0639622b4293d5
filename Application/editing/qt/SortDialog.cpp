// The sort dialog: two radio buttons in a group and OK / cancel, its texts taken from
// the string table in the user's language.
#include "editing/qt/SortDialog.h"

#include "platform/qt/DialogControls.h"
#include "platform/qt/QtHost.h"
#include "resources/StringTable.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace varlin {
namespace {

constexpr int kCaptionText = 2400;
constexpr int kGroupText = 2403;
constexpr int kOkText = 2404;
constexpr int kCancelText = 2405;

}  // namespace

SortDialog::SortDialog(SortDialogRecord& record, QWidget* parent)
    : QDialog(parent), record_(record) {
    setWindowTitle(AppText(kCaptionText));
    auto* group = new QGroupBox(AppText(kGroupText), this);
    group->setObjectName("1009");
    ascending_ = new QRadioButton(AppText(kSortAscendingRadio), group);
    ascending_->setObjectName(QString::number(kSortAscendingRadio));
    descending_ = new QRadioButton(AppText(kSortDescendingRadio), group);
    descending_->setObjectName(QString::number(kSortDescendingRadio));
    auto* radios = new QVBoxLayout(group);
    radios->addWidget(ascending_);
    radios->addWidget(descending_);

    auto* ok = new QPushButton(AppText(kOkText), this);
    ok->setObjectName("1");
    ok->setDefault(true);
    auto* cancel = new QPushButton(AppText(kCancelText), this);
    cancel->setObjectName("2");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);

    // An order that no button stands for leaves both unchecked; OK then reads ascending.
    const int radio = SortRadioForOrder(record_.order);
    if (radio == kSortAscendingRadio) ascending_->setChecked(true);
    if (radio == kSortDescendingRadio) descending_->setChecked(true);

    connect(ok, &QPushButton::clicked, this, [this] {
        TakeOrder();
        done(1);
    });
    connect(cancel, &QPushButton::clicked, this, [this] { done(0); });
}

void SortDialog::TakeOrder() {
    const int radio = descending_->isChecked() ? kSortDescendingRadio
                      : ascending_->isChecked() ? kSortAscendingRadio
                                                : -1;
    record_.order = SortOrderForRadio(radio);
}

int RunSortDialog(QWidget* parent, SortDialogRecord& record) {
    SortDialog dialog(record, parent);
    return dialog.exec() == 1 ? 1 : 0;
}

void RegisterSortDialog() {
    RegisterQtDialog(DialogId::Sort, [](QWidget* parent, void* record) {
        return record ? RunSortDialog(parent, *static_cast<SortDialogRecord*>(record)) : 0;
    });
}

}  // namespace varlin
