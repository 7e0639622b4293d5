// The language dialog of a document: a list and OK / cancel, texts from the string table.
#include "editing/qt/LanguageChoiceDialog.h"

#include "platform/qt/DialogControls.h"
#include "platform/qt/QtHost.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace varlin {
namespace {

constexpr int kCaptionText = 3610;
constexpr int kListText = 3611;
constexpr int kOkText = 3612;
constexpr int kCancelText = 3613;

}  // namespace

int RunLanguageChoiceDialog(QWidget* parent, LanguageChoiceRecord& record) {
    QDialog dialog(parent);
    dialog.setWindowTitle(AppText(kCaptionText));
    auto* list = new QListWidget(&dialog);
    list->setObjectName("3611");
    for (const std::string& label : record.labels) list->addItem(QString::fromUtf8(label.c_str()));
    list->setCurrentRow(record.chosen);
    auto* caption = new QLabel(AppText(kListText), &dialog);
    caption->setBuddy(list);

    auto* ok = new QPushButton(AppText(kOkText), &dialog);
    ok->setObjectName("1");
    ok->setDefault(true);
    auto* cancel = new QPushButton(AppText(kCancelText), &dialog);
    cancel->setObjectName("2");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    // Wide enough for its title, tall enough for most of the languages at once.
    dialog.setMinimumSize(dialog.fontMetrics().averageCharWidth() * 40, dialog.fontMetrics().height() * 24);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(caption);
    layout->addWidget(list);
    layout->addLayout(buttons);

    auto take = [&] {
        if (list->currentRow() >= 0) record.chosen = list->currentRow();
        dialog.done(1);
    };
    QObject::connect(ok, &QPushButton::clicked, &dialog, take);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, take);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, [&] { dialog.done(0); });
    return dialog.exec() == 1 ? 1 : 0;
}

void RegisterLanguageChoiceDialog() {
    RegisterQtDialog(DialogId::DocumentLanguage, [](QWidget* parent, void* record) {
        return record ? RunLanguageChoiceDialog(parent, *static_cast<LanguageChoiceRecord*>(record)) : 0;
    });
}

}  // namespace varlin
