// Dialog 1000 on QDialog; the controls are named by their ids.
#include "macro/qt/DllTestDialog.h"

#include "platform/qt/DialogControls.h"
#include "platform/qt/QtHost.h"
#include "resources/StringTable.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varlin {
namespace {

// Control ids of template 1000, and the string ids of their texts.
constexpr int kNoteLabel = 1008;
constexpr int kDllLabel = 1003;
constexpr int kDllField = 1002;
constexpr int kFunctionLabel = 1005;
constexpr int kFunctionField = 1004;
constexpr int kCaptionText = 3350;
constexpr int kNoteText = 3351;
constexpr int kDllText = 3352;
constexpr int kFunctionText = 3353;
constexpr int kCallText = 3354;
constexpr int kCancelText = 3355;

}  // namespace

DllTestDialog::DllTestDialog(DllTestRecord& record, QWidget* parent) : QDialog(parent), record_(record) {
    auto* layout = new QVBoxLayout(this);
    note_ = Named(new QLabel(this), kNoteLabel);
    note_->setAlignment(Qt::AlignCenter);
    note_->setWordWrap(true);
    layout->addWidget(note_);
    auto* fields = new QGridLayout;
    dll_ = Named(new QLineEdit(QString::fromStdString(record.dll), this), kDllField);
    function_ = Named(new QLineEdit(QString::fromStdString(record.function), this), kFunctionField);
    for (QLineEdit* field : {dll_, function_}) {
        field->setMaxLength(kDllNameMax);
        field->setMinimumWidth(360);
    }
    dllLabel_ = Named(new QLabel(this), kDllLabel);
    functionLabel_ = Named(new QLabel(this), kFunctionLabel);
    dllLabel_->setBuddy(dll_);
    functionLabel_->setBuddy(function_);
    // Drawn, a mnemonic's underline splits the text and with it the kerning of its letter
    // ("&Te"): the text comes out wider than measured, and its last letter was cut.
    for (QLabel* label : {dllLabel_, functionLabel_}) label->setContentsMargins(0, 0, label->fontMetrics().averageCharWidth(), 0);
    fields->addWidget(dllLabel_, 0, 0);
    fields->addWidget(dll_, 0, 1);
    fields->addWidget(functionLabel_, 1, 0);
    fields->addWidget(function_, 1, 1);
    layout->addLayout(fields);
    auto* buttons = new QHBoxLayout;
    call_ = Named(new QPushButton(this), 1);
    cancel_ = Named(new QPushButton(this), 2);
    call_->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(call_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    connect(call_, &QPushButton::clicked, this, [this] {
        record_.dll = dll_->text().toStdString();
        record_.function = function_->text().toStdString();
        accept();
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    Retranslate();
    dll_->setFocus();
}

void DllTestDialog::Retranslate() {
    setWindowTitle(AppText(kCaptionText));
    note_->setText(AppText(kNoteText));
    dllLabel_->setText(AppText(kDllText));
    functionLabel_->setText(AppText(kFunctionText));
    call_->setText(AppText(kCallText));
    cancel_->setText(AppText(kCancelText));
}

void DllTestDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) Retranslate();
}

void RegisterDllTestDialog() {
    RegisterQtDialog(DialogId::DllTest, [](QWidget* parent, void* record) {
        DllTestDialog dialog(*static_cast<DllTestRecord*>(record), parent);
        return dialog.exec() == QDialog::Accepted ? 1 : 0;
    });
}

}  // namespace varlin
