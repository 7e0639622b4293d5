// The find, replace and question dialogs on QDialog. Texts come from the string table;
// search texts are document bytes in the ANSI table, shown and read as Windows-1252.
#include "search/qt/FindDialogs.h"

#include "platform/qt/DialogControls.h"
#include "platform/Messages.h"
#include "platform/qt/QtHost.h"
#include "resources/StringTable.h"
#include "search/FindReplace.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace varlin {
namespace {

// Control ids of the templates, and the string ids of their texts.
constexpr int kFindCaption = 2200;
constexpr int kReplaceCaption = 900;
constexpr int kCapsSensBox = 2201;
constexpr int kSearchField = 2202;
constexpr int kSearchLabel = 2203;
constexpr int kReplaceSearchLabel = 216;
constexpr int kStartOfLineBox = 2204;
constexpr int kEndOfLineBox = 2205;
constexpr int kRegexBox = 2206;
constexpr int kEscapesBox = 2207;
constexpr int kOkText = 2208;
constexpr int kCancelText = 2209;
constexpr int kReplaceLabel = 901;
constexpr int kReplaceField = 902;
constexpr int kReplaceAllBox = 903;
constexpr int kQuestionCaption = 2300;
constexpr int kQuestionFindLabel = 2304;
constexpr int kQuestionReplaceLabel = 2305;
constexpr int kQuestionCancelText = 2306;
constexpr int kReplaceAllButton = 2303;
constexpr int kNoSearchTextMessage = 1102;

QCheckBox* Box(QWidget* parent, int id, std::int32_t checked) {
    auto* box = Named(new QCheckBox(AppText(id), parent), id);
    box->setChecked(checked != 0);
    return box;
}

// A text as the document reads it: UTF-8 in a UTF-8 document, else Windows-1252.
QString FromDocument(const std::string& text, bool utf8) {
    return utf8 ? QString::fromUtf8(text.data(), qsizetype(text.size())) : BytesToWindows1252(text);
}

std::string ToDocument(const QString& text, bool utf8) {
    if (!utf8) return Windows1252ToBytes(text);
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

QLineEdit* Field(QWidget* parent, int id, const std::string& text, bool utf8) {
    auto* field = Named(new QLineEdit(FromDocument(text, utf8), parent), id);
    field->setMinimumWidth(320);
    return field;
}

QLabel* Label(QWidget* parent, int controlId, int textId, QWidget* buddy) {
    auto* label = Named(new QLabel(AppText(textId), parent), controlId);
    label->setBuddy(buddy);
    return label;
}

std::int32_t Flag(const QCheckBox* box) { return box->isChecked() ? 1 : 0; }

}  // namespace

FindReplaceDialog::FindReplaceDialog(FindSettings& record, QWidget* parent)
    : QDialog(parent), record_(record), replace_(record.DialogKind == FindDialogKind::Replace) {
    setWindowTitle(AppText(replace_ ? kReplaceCaption : kFindCaption));
    auto* layout = new QVBoxLayout(this);

    // Created in the order of the screen, which is also the Tab order.
    auto* fields = new QGridLayout;
    findField_ = Field(this, kSearchField, record_.FindString, record_.Utf8Texts);
    fields->addWidget(Label(this, replace_ ? kReplaceSearchLabel : kSearchLabel, kSearchLabel, findField_), 0, 0);
    fields->addWidget(findField_, 0, 1);
    if (replace_) {
        replaceField_ = Field(this, kReplaceField, record_.ReplaceString, record_.Utf8Texts);
        fields->addWidget(Label(this, kReplaceLabel, kReplaceLabel, replaceField_), 1, 0);
        fields->addWidget(replaceField_, 1, 1);
    }
    layout->addLayout(fields);

    capsSens_ = Box(this, kCapsSensBox, record_.CapsSens);
    startOfLine_ = Box(this, kStartOfLineBox, record_.StartOfLine);
    endOfLine_ = Box(this, kEndOfLineBox, record_.EndOfLine);
    expandEscapes_ = Box(this, kEscapesBox, record_.ExpandEscapes);
    regex_ = Box(this, kRegexBox, record_.Regex);
    for (QCheckBox* box : {capsSens_, startOfLine_, endOfLine_, expandEscapes_, regex_}) layout->addWidget(box);
    // An expression has escapes of its own: the notation would only change what it says.
    expandEscapes_->setEnabled(!regex_->isChecked());
    connect(regex_, &QCheckBox::toggled, expandEscapes_, [this](bool on) { expandEscapes_->setEnabled(!on); });
    if (replace_) {
        // The caller starts every command with ReplaceAll 0, so the box opens unchecked.
        replaceAll_ = Box(this, kReplaceAllBox, record_.ReplaceAll);
        layout->addWidget(replaceAll_);
    }

    auto* ok = Named(new QPushButton(AppText(kOkText), this), 1);
    ok->setDefault(true);
    auto* cancel = Named(new QPushButton(AppText(kCancelText), this), 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, [this] {
        TakeFields();
        if (record_.FindString.empty()) {
            ShowMessage(kNoSearchTextMessage);
            findField_->setFocus(Qt::OtherFocusReason);
            return;
        }
        done(1);
    });
    connect(cancel, &QPushButton::clicked, this, [this] { done(2); });

    findField_->setFocus(Qt::OtherFocusReason);
    findField_->selectAll();
}

void FindReplaceDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Once the window is up, so that typing replaces the old search text.
    QTimer::singleShot(0, this, [this] {
        findField_->setFocus(Qt::OtherFocusReason);
        findField_->selectAll();
    });
}

void FindReplaceDialog::TakeFields() {
    record_.FindString = CutFindText(ToDocument(findField_->text(), record_.Utf8Texts));
    record_.CapsSens = Flag(capsSens_);
    record_.StartOfLine = Flag(startOfLine_);
    record_.EndOfLine = Flag(endOfLine_);
    record_.ExpandEscapes = Flag(expandEscapes_);
    record_.Regex = Flag(regex_);
    if (replace_) {
        record_.ReplaceString = CutFindText(ToDocument(replaceField_->text(), record_.Utf8Texts));
        record_.ReplaceAll = Flag(replaceAll_);
    }
}

ReplaceQuestionDialog::ReplaceQuestionDialog(FindSettings& record, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(AppText(kQuestionCaption));
    auto* find = Field(this, kSearchField, record.FindString, record.Utf8Texts);
    auto* replacement = Field(this, kReplaceField, record.ReplaceString, record.Utf8Texts);
    find->setEnabled(false);
    replacement->setEnabled(false);
    auto* fields = new QGridLayout;
    fields->addWidget(Label(this, kQuestionFindLabel, kQuestionFindLabel, find), 0, 0);
    fields->addWidget(find, 0, 1);
    fields->addWidget(Label(this, kQuestionReplaceLabel, kQuestionReplaceLabel, replacement), 1, 0);
    fields->addWidget(replacement, 1, 1);

    auto* yes = Named(new QPushButton(AppText(kAnswerReplace), this), kAnswerReplace);
    yes->setDefault(true);
    auto* no = Named(new QPushButton(AppText(kAnswerSkip), this), kAnswerSkip);
    auto* all = Named(new QPushButton(AppText(kReplaceAllButton), this), kReplaceAllButton);
    auto* cancel = Named(new QPushButton(AppText(kQuestionCancelText), this), kAnswerCancel);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {yes, no, all, cancel}) buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(yes, &QPushButton::clicked, this, [this] { done(kAnswerReplace); });
    connect(no, &QPushButton::clicked, this, [this] { done(kAnswerSkip); });
    connect(all, &QPushButton::clicked, this, [this, &record] {
        record.ReplaceAll = 1;
        done(kAnswerReplace);
    });
    connect(cancel, &QPushButton::clicked, this, [this] { done(kAnswerCancel); });
    yes->setFocus(Qt::OtherFocusReason);
}

int RunFindReplaceDialog(QWidget* parent, FindSettings& record) {
    FindReplaceDialog dialog(record, parent);
    return dialog.exec() == 1 ? 1 : 2;
}

namespace {

// The question about a hit must not hide it: the widget with the focus (the document
// window) tells where its caret, which stands on the hit, is drawn, and the dialog goes
// above that line or below it, where there is more room, centred across the widget.
void PlaceClearOfCaret(QDialog& dialog, QWidget* parent) {
    QWidget* focus = QApplication::focusWidget();
    // Between two questions the focus may not be back yet: the window's own focus child.
    if ((!focus || focus->window() == &dialog) && parent) focus = parent->window()->focusWidget();
    if (!focus || focus->window() == &dialog) return;
    const QRect caret = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    if (!caret.isValid()) return;
    const QScreen* screen = focus->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    const QRect widget(focus->mapToGlobal(QPoint(0, 0)), focus->size());
    const QRect line(widget.left(), focus->mapToGlobal(caret.topLeft()).y(), widget.width(), caret.height());
    dialog.adjustSize();
    // The frame is not known before the dialog shows: allow for a title bar.
    constexpr int kFrameAllowance = 32;
    constexpr int kGap = 8;
    const QSize size = dialog.size() + QSize(0, kFrameAllowance);
    const int roomAbove = line.top() - std::max(widget.top(), available.top());
    const int roomBelow = std::min(widget.bottom(), available.bottom()) - line.bottom();
    int y = roomBelow >= size.height() + kGap || roomBelow >= roomAbove ? line.bottom() + kGap
                                                                        : line.top() - kGap - size.height();
    int x = widget.center().x() - size.width() / 2;
    if (available.isValid()) {
        x = std::clamp(x, available.left(), std::max(available.left(), available.right() - size.width()));
        y = std::clamp(y, available.top(), std::max(available.top(), available.bottom() - size.height()));
    }
    dialog.move(x, y);
}

}  // namespace

int RunReplaceQuestion(QWidget* parent, FindSettings& record) {
    ReplaceQuestionDialog dialog(record, parent);
    PlaceClearOfCaret(dialog, parent);
    const int code = dialog.exec();
    return code == kAnswerReplace || code == kAnswerSkip ? code : kAnswerCancel;
}

void RegisterSearchDialogs() {
    auto edit = [](QWidget* parent, void* record) {
        return record ? RunFindReplaceDialog(parent, *static_cast<FindSettings*>(record)) : 2;
    };
    RegisterQtDialog(DialogId::Find, edit);
    RegisterQtDialog(DialogId::Replace, edit);
    RegisterQtDialog(DialogId::ReplaceQuestion, [](QWidget* parent, void* record) {
        return record ? RunReplaceQuestion(parent, *static_cast<FindSettings*>(record)) : int(kAnswerCancel);
    });
}

}  // namespace varlin
