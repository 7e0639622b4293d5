// Dialog controls by their control id, on the widgets our dialogs are built of. The
// number rules themselves (what GetItemInt reads, what ValidateItemInt accepts) are the
// core's, in platform/DialogHelpers, so that they are tested without windows.
#include "platform/qt/DialogControls.h"

#include "platform/DialogHelpers.h"
#include "platform/qt/QtHost.h"
#include "resources/StringTable.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>
#include <cstring>

namespace varlin {
namespace {

QString ToQt(const std::string& text, TextCode code) {
    return code == TextCode::Ansi ? BytesToWindows1252(text) : QString::fromStdString(text);
}

std::string FromQt(const QString& text, TextCode code) {
    return code == TextCode::Ansi ? Windows1252ToBytes(text) : text.toStdString();
}

// Qt refuses to uncheck the checked button of an exclusive group (the dialog templates'
// radio groups), while a dialog's code may clear a whole group before checking the one
// that its value names, or clear it for a value that no button stands for.
void Uncheck(QAbstractButton* button) {
    if (!button->isChecked()) return;
    QButtonGroup* group = button->group();
    const bool groupExclusive = group && group->exclusive();
    const bool autoExclusive = button->autoExclusive();
    if (groupExclusive) group->setExclusive(false);
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(autoExclusive);
    if (groupExclusive) group->setExclusive(true);
}

}  // namespace

QWidget* DialogItem(QWidget* dialog, int id) {
    return dialog ? dialog->findChild<QWidget*>(QString::number(id)) : nullptr;
}

int GetButtonCheck(QWidget* dialog, int id) {
    QWidget* item = DialogItem(dialog, id);
    if (auto* box = qobject_cast<QCheckBox*>(item); box && box->isTristate())
        return box->checkState() == Qt::PartiallyChecked ? 2 : box->isChecked() ? 1 : 0;
    if (auto* button = qobject_cast<QAbstractButton*>(item)) return button->isChecked() ? 1 : 0;
    if (auto* group = qobject_cast<QGroupBox*>(item)) return group->isCheckable() && group->isChecked() ? 1 : 0;
    return 0;
}

void SetButtonCheck(QWidget* dialog, int id, int state) {
    QWidget* item = DialogItem(dialog, id);
    if (auto* box = qobject_cast<QCheckBox*>(item); box && box->isTristate()) {
        box->setCheckState(state == 2 ? Qt::PartiallyChecked : state ? Qt::Checked : Qt::Unchecked);
    } else if (auto* button = qobject_cast<QAbstractButton*>(item)) {
        if (state) button->setChecked(true);
        else Uncheck(button);
    } else if (auto* group = qobject_cast<QGroupBox*>(item); group && group->isCheckable()) {
        group->setChecked(state != 0);
    }
}

int GetCheckedRadio(QWidget* dialog, int firstId, int lastId) {
    for (int id = firstId; id <= lastId; ++id)
        if (GetButtonCheck(dialog, id) == 1) return id;
    return firstId;
}

bool SetItemText(QWidget* dialog, int id, const std::string& text, TextCode code) {
    QWidget* item = DialogItem(dialog, id);
    const QString value = ToQt(text, code);
    if (auto* edit = qobject_cast<QLineEdit*>(item)) {
        edit->setText(value);
    } else if (auto* combo = qobject_cast<QComboBox*>(item)) {
        if (combo->isEditable()) {
            combo->setEditText(value);
        } else {
            const int index = combo->findText(value);
            if (index < 0) return false;
            combo->setCurrentIndex(index);
        }
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(item)) {
        plain->setPlainText(value);
    } else if (auto* label = qobject_cast<QLabel*>(item)) {
        label->setText(value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(item)) {
        button->setText(value);
    } else if (auto* group = qobject_cast<QGroupBox*>(item)) {
        group->setTitle(value);
    } else {
        return false;
    }
    return true;
}

std::string GetItemText(QWidget* dialog, int id, TextCode code) {
    QWidget* item = DialogItem(dialog, id);
    QString value;
    if (auto* edit = qobject_cast<QLineEdit*>(item)) value = edit->text();
    else if (auto* combo = qobject_cast<QComboBox*>(item)) value = combo->currentText();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(item)) value = plain->toPlainText();
    else if (auto* label = qobject_cast<QLabel*>(item)) value = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(item)) value = button->text();
    else if (auto* group = qobject_cast<QGroupBox*>(item)) value = group->title();
    return FromQt(value, code);
}

int GetItemText(QWidget* dialog, int id, char* buffer, int size, TextCode code) {
    if (!buffer || size < 1) return 0;
    const std::string text = GetItemText(dialog, id, code);
    std::size_t n = std::min(text.size(), std::size_t(size - 1));
    // A cut inside a UTF-8 character moves back to its first byte.
    if (code == TextCode::Utf8)
        while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return int(n);
}

bool SetItemInt(QWidget* dialog, int id, int value) {
    return SetItemText(dialog, id, std::to_string(value));
}

int GetItemInt(QWidget* dialog, int id) { return ParseItemInt(GetItemText(dialog, id)); }

int ValidateItemInt(QWidget* dialog, int id, int lowest, int highest) {
    return ValidateIntText(GetItemText(dialog, id), lowest, highest) ? 1 : 0;
}

void SetItemColor(QWidget* dialog, int redId, int greenId, int blueId, Color color) {
    SetItemInt(dialog, redId, ColorRed(color));
    SetItemInt(dialog, greenId, ColorGreen(color));
    SetItemInt(dialog, blueId, ColorBlue(color));
}

Color GetItemColor(QWidget* dialog, int redId, int greenId, int blueId) {
    // MakeColor keeps the low 8 bits of each component.
    return MakeColor(GetItemInt(dialog, redId), GetItemInt(dialog, greenId), GetItemInt(dialog, blueId));
}

int ChooseColorDialog(QWidget* owner, Color& color, int flags) {
    const QColor start = (flags & kColorStartFromGiven)
                             ? QColor(ColorRed(color), ColorGreen(color), ColorBlue(color))
                             : QColor(Qt::black);
    QColorDialog dialog(start, owner);
    if (dialog.exec() != QDialog::Accepted) return kColorCancelled;
    const QColor chosen = dialog.selectedColor();
    if (!chosen.isValid()) return kColorCancelled;
    color = MakeColor(chosen.red(), chosen.green(), chosen.blue());
    return kColorChosen;
}

int EditColorTriple(QWidget* dialog, int redId, int greenId, int blueId, Color* chosen) {
    Color color = GetItemColor(dialog, redId, greenId, blueId);
    const int result = ChooseColorDialog(dialog, color, kColorStartFromGiven | kColorFullOpen);
    if (result != kColorChosen) return result;
    if (chosen) *chosen = color;
    SetItemColor(dialog, redId, greenId, blueId, color);
    return result;
}

void NameControl(QWidget* control, int id) { control->setObjectName(QString::number(id)); }

QString AppText(int id) { return QString::fromUtf8(LoadAppString(id)); }

}  // namespace varlin
