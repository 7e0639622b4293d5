// The status line's fields.
#include "frame/qt/StatusLine.h"

#include "resources/StringTable.h"

#include <QMouseEvent>

namespace varlin {
namespace {

// Field widths are given in sixths of the average character width.
constexpr int kWidthUnitsPerCharacter = 6;
constexpr int kClickableFieldTip = 1620;  // "%1\nKlicken: %2"

// An empty field would read as nothing at all: it is named by what it shows, while a
// field with a text is read by its text ("Zeile 3"). The tip's first line is the name; the
// line after it, what a click does.
void NameWhenEmpty(QLabel* label) {
    const QString name = label->text().isEmpty() ? label->toolTip().section('\n', 0, 0) : QString();
    if (label->accessibleName() != name) label->setAccessibleName(name);
}

}  // namespace

StatusFieldLabel::StatusFieldLabel(int field, int commandId, QWidget* parent)
    : QLabel(parent), field_(field), commandId_(commandId) {
    setObjectName(QStringLiteral("StatusField%1").arg(field));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setTextFormat(Qt::PlainText);
    setMargin(1);
    // A field that runs a command says which on its tip: the road a user finds to the
    // code table and a document's reading as UTF-8 starts here.
    QString tip = QString::fromStdString(LoadAppString(field));
    const std::string help = commandId > 0 ? LoadAppString(commandId) : std::string();
    if (!help.empty()) tip = QString::fromStdString(LoadAppString(kClickableFieldTip)).arg(tip, QString::fromStdString(help));
    setToolTip(tip);
    if (commandId > 0) setCursor(Qt::PointingHandCursor);
}

void StatusFieldLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        commandId_ > 0 && clicked) {
        clicked(commandId_);
    }
}

StatusLine::StatusLine(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("UX32STATUS"));
    setSizeGripEnabled(false);
}

void StatusLine::Configure(const std::vector<StatusFieldDefinition>& definitions,
                           const StatusConfig& config) {
    for (auto& [field, label] : fields_) {
        removeWidget(label);
        label->deleteLater();
    }
    fields_.clear();
    const int unit = std::max(1, fontMetrics().averageCharWidth());
    for (const StatusFieldDefinition& d : definitions) {
        if (d.field < kFirstStatusField || d.field > kLastStatusField) continue;
        if (!IsFieldShown(config, d.field) || fields_.count(d.field)) continue;
        auto* label = new StatusFieldLabel(d.field, d.commandId, this);
        // Fixed, and wide enough for the largest numbers, so that the fields to the right
        // stay where they are as numbers grow.
        const QString widest = QString::fromStdString(WidestNumberText(d.field));
        const int text = std::max(d.width * unit / kWidthUnitsPerCharacter,
                                  widest.isEmpty() ? 0 : label->fontMetrics().horizontalAdvance(widest) + 2 * label->margin());
        label->setFixedWidth(text + 2 * label->frameWidth() + 2);
        label->setText(texts_[d.field]);
        NameWhenEmpty(label);
        label->clicked = [this](int commandId) {
            if (runCommand) runCommand(commandId);
        };
        addWidget(label);
        fields_[d.field] = label;
    }
}

void StatusLine::SetFieldText(int field, const QString& text) {
    if (field < kFirstStatusField || field > kLastStatusField) return;
    texts_[field] = text;
    auto it = fields_.find(field);
    if (it == fields_.end() || it->second->text() == text) return;
    StatusFieldLabel* label = it->second;
    // A text wider than its field widens it once, with room for two more digits; a field
    // never narrows again, so that a growing number moves nothing back and forth.
    const QFontMetrics metrics = label->fontMetrics();
    const int needed = metrics.horizontalAdvance(text) + 2 * label->frameWidth() + 2 * label->margin() + 2;
    if (needed > label->width()) label->setFixedWidth(needed + 2 * metrics.horizontalAdvance(QLatin1Char('0')));
    label->setText(text);
    NameWhenEmpty(label);
}

QString StatusLine::fieldText(int field) const {
    auto it = fields_.find(field);
    return it == fields_.end() ? QString() : it->second->text();
}

StatusFieldLabel* StatusLine::fieldLabel(int field) const {
    auto it = fields_.find(field);
    return it == fields_.end() ? nullptr : it->second;
}

void StatusLine::SetModalText(const QString& text) {
    if (text.isEmpty()) clearMessage();
    else showMessage(text);
}

}  // namespace varlin
