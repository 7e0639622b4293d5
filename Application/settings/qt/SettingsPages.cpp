// The table-made pages ("&Einstellungen", "&Ansicht") and the colour page.
#include "settings/qt/SettingsPages.h"

#include "platform/qt/DialogControls.h"
#include "resources/StringTable.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace varlin {
namespace {

enum : int {
    kColorGroupText = 3250, kSampleText = 3257, kChangeText = 3258, kRedText = 3259,
    kGreenText = 3260, kBlueText = 3261, kStandardText = 3262,
};
constexpr int kStandardButton = 1035;
constexpr int kNumberFieldLength = 99;  // what GetItemInt reads of a field

QLineEdit* NumberField(QWidget* parent, int id, int maxLength, const PageChanged& changed) {
    auto* field = Named(new QLineEdit(parent), id);
    field->setMaxLength(maxLength);
    QObject::connect(field, &QLineEdit::textChanged, parent, [changed] { changed(); });
    return field;
}

// One control of a table group, with its text and its change report.
void AddControl(QGroupBox* box, QVBoxLayout* layout, const SheetControl& c, const PageChanged& changed) {
    switch (c.kind) {
    case SheetControlKind::Check: {
        auto* check = Named(new QCheckBox(SheetText(c.textId), box), c.id);
        QObject::connect(check, &QCheckBox::clicked, box, [changed] { changed(); });
        layout->addWidget(check);
        break;
    }
    case SheetControlKind::Radio: {
        auto* radio = Named(new QRadioButton(SheetText(c.textId), box), c.id);
        QObject::connect(radio, &QRadioButton::clicked, box, [changed] { changed(); });
        layout->addWidget(radio);
        break;
    }
    case SheetControlKind::Number: {
        auto* row = new QHBoxLayout;
        auto* field = NumberField(box, c.id, kNumberFieldLength, changed);
        field->setMaximumWidth(120);
        if (c.textId) {
            auto* label = new QLabel(SheetText(c.textId), box);
            label->setBuddy(field);
            row->addWidget(label);
        }
        row->addWidget(field);
        row->addStretch();
        layout->addLayout(row);
        break;
    }
    }
}

void FillGroup(QWidget* page, const SheetGroup& g, const Options& options) {
    const int radio = g.radioTable ? RadioForValue(g, options.*g.radioField) : -1;
    for (const SheetControl& c : g.controls) {
        switch (c.kind) {
        case SheetControlKind::Check: SetButtonCheck(page, c.id, options.*c.field ? 1 : 0); break;
        case SheetControlKind::Radio: SetButtonCheck(page, c.id, c.id == radio ? 1 : 0); break;
        case SheetControlKind::Number: SetItemInt(page, c.id, options.*c.field); break;
        }
    }
}

void ReadGroup(QWidget* page, const SheetGroup& g, Options& options) {
    int checked = -1;
    for (const SheetControl& c : g.controls) {
        switch (c.kind) {
        case SheetControlKind::Check: options.*c.field = GetButtonCheck(page, c.id) == 1 ? 1 : 0; break;
        case SheetControlKind::Number: options.*c.field = GetItemInt(page, c.id); break;
        case SheetControlKind::Radio:
            if (checked == -1 && GetButtonCheck(page, c.id) == 1) checked = c.id;
            break;
        }
    }
    if (g.radioTable) options.*g.radioField = ValueForRadio(g, checked);
}

bool ValidateGroup(QWidget* page, const SheetGroup& g, Refusal refusal) {
    for (const SheetControl& c : g.controls) {
        if (c.kind == SheetControlKind::Number && !CheckNumberField(page, c.id, c.lowest, c.highest, refusal))
            return false;
    }
    return true;
}

// Draws a sample in its row's colour on the colour of the "Hintergrund" fields.
void PaintSample(QWidget* page, const SheetColorRow& row, const SheetColorRow& background) {
    auto* sample = qobject_cast<QLabel*>(DialogItem(page, row.sampleId));
    if (!sample) return;
    const Color text = GetItemColor(page, row.redId, row.greenId, row.blueId);
    const Color back = GetItemColor(page, background.redId, background.greenId, background.blueId);
    QPalette palette = sample->palette();
    palette.setColor(QPalette::WindowText, QColor(ColorRed(text), ColorGreen(text), ColorBlue(text)));
    palette.setColor(QPalette::Window, QColor(ColorRed(back), ColorGreen(back), ColorBlue(back)));
    sample->setPalette(palette);
}

void PaintSamples(QWidget* page) {
    for (const SheetColorRow& row : ColorRows()) PaintSample(page, row, ColorRows().back());
}

}  // namespace

QString SheetText(int id) { return QString::fromUtf8(LoadAppString(id)); }

void FocusRefusedField(QWidget* page, int id) {
    if (auto* field = qobject_cast<QLineEdit*>(DialogItem(page, id))) {
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    }
}

bool CheckNumberField(QWidget* page, int id, int lowest, int highest, Refusal refusal) {
    if (NumberTextAcceptable(GetItemText(page, id), lowest, highest)) return true;
    if (refusal == Refusal::Shown) {
        ShowNumberRefused(lowest, highest);
        FocusRefusedField(page, id);
    }
    return false;
}

SheetPage BuildTablePage(const std::vector<SheetGroup>& groups, Options& options, PageChanged changed) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    for (const SheetGroup& g : groups) {
        auto* box = new QGroupBox(SheetText(g.titleId), page);
        if (g.groupId) box->setObjectName(QString::number(g.groupId));
        auto* boxLayout = new QVBoxLayout(box);
        for (const SheetControl& c : g.controls) AddControl(box, boxLayout, c, changed);
        layout->addWidget(box);
    }
    layout->addStretch();
    // The sheet ignores the change reports of this filling (it is still being built).
    for (const SheetGroup& g : groups) FillGroup(page, g, options);

    SheetPage result;
    result.widget = page;
    result.validate = [page, &groups](Refusal refusal) {
        for (const SheetGroup& g : groups)
            if (!ValidateGroup(page, g, refusal)) return false;
        return true;
    };
    result.read = [page, &groups, &options] {
        for (const SheetGroup& g : groups) ReadGroup(page, g, options);
    };
    return result;
}

SheetPage BuildColorPage(Options& options, const QFont& sampleFont, PageChanged changed) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* box = new QGroupBox(SheetText(kColorGroupText), page);
    auto* grid = new QGridLayout(box);
    int column = 1;
    for (int heading : {kRedText, kGreenText, kBlueText})
        grid->addWidget(new QLabel(SheetText(heading), box), 0, column++);

    // Each field's change repaints the samples and reports the page changed; they are
    // connected once the fields hold the options' colours.
    std::vector<QLineEdit*> fields;
    int line = 1;
    for (const SheetColorRow& row : ColorRows()) {
        grid->addWidget(new QLabel(SheetText(row.labelId), box), line, 0);
        column = 1;
        for (int id : {row.redId, row.greenId, row.blueId}) {
            auto* field = Named(new QLineEdit(box), id);
            field->setMaxLength(3);
            field->setMaximumWidth(60);
            grid->addWidget(field, line, column++);
            fields.push_back(field);
        }
        auto* sample = Named(new QLabel(SheetText(kSampleText), box), row.sampleId);
        sample->setFont(sampleFont);
        sample->setAutoFillBackground(true);
        sample->setMargin(2);
        grid->addWidget(sample, line, column++);
        auto* change = Named(new QPushButton(SheetText(kChangeText), box), row.changeId);
        grid->addWidget(change, line, column);
        QObject::connect(change, &QPushButton::clicked, page, [page, row, &options, changed] {
            Color chosen = 0;
            if (EditColorTriple(page, row.redId, row.greenId, row.blueId, &chosen) != kColorChosen) return;
            options.*row.field = chosen;
            changed();
        });
        SetItemColor(page, row.redId, row.greenId, row.blueId, options.*row.field);
        ++line;
    }
    layout->addWidget(box);
    auto* standard = Named(new QPushButton(SheetText(kStandardText), page), kStandardButton);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(standard);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->addStretch();

    for (QLineEdit* field : fields) {
        QObject::connect(field, &QLineEdit::textChanged, page, [page, changed] {
            PaintSamples(page);
            changed();
        });
    }
    QObject::connect(standard, &QPushButton::clicked, page, [page, changed] {
        Options defaults;
        SetDefaultColors(defaults);
        for (const SheetColorRow& row : ColorRows())
            SetItemColor(page, row.redId, row.greenId, row.blueId, defaults.*row.field);
        changed();  // also when the fields held the defaults already
    });
    PaintSamples(page);

    SheetPage result;
    result.widget = page;
    result.validate = [page](Refusal refusal) {
        for (const SheetColorRow& row : ColorRows()) {
            for (int id : {row.redId, row.greenId, row.blueId})
                if (!CheckNumberField(page, id, kColorFieldLowest, kColorFieldHighest, refusal)) return false;
        }
        return true;
    };
    result.read = [page, &options] {
        // A field keeps only the lowest 8 bits of its number (300 is stored as 44): the
        // fields then show what was stored.
        for (const SheetColorRow& row : ColorRows()) {
            options.*row.field = GetItemColor(page, row.redId, row.greenId, row.blueId);
            SetItemColor(page, row.redId, row.greenId, row.blueId, options.*row.field);
        }
    };
    return result;
}

}  // namespace varlin
