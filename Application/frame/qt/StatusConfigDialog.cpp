// The status line configuration dialog: one check box per field, named by the field's
// description, and the line's place.
#include "frame/qt/StatusConfigDialog.h"

#include "resources/StringTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace varlin {
namespace {

enum TextId : int {
    kCaption = 3150, kFieldsText = 3151, kLanguageFieldText = 3152, kPositionText = 3111,
    kTopText = 3114, kBottomText = 3115, kHiddenText = 3116, kOkText = 3123, kCancelText = 3124,
};

QString Text(int id) { return QString::fromStdString(LoadAppString(id)); }

std::function<int(StatusConfigDialog&)>& Handler() {
    static std::function<int(StatusConfigDialog&)> handler;
    return handler;
}

}  // namespace

StatusConfigDialog::StatusConfigDialog(const std::vector<StatusFieldDefinition>& definitions,
                                       StatusConfig& config, QWidget* parent)
    : QDialog(parent), config_(config), location_(new QButtonGroup(this)) {
    setWindowTitle(Text(kCaption));
    auto* fields = new QGroupBox(Text(kFieldsText), this);
    auto* checks = new QVBoxLayout(fields);
    for (const StatusFieldDefinition& d : definitions) {
        if (d.field < kFirstStatusField || d.field > kLastStatusField || boxes_.count(d.field)) continue;
        QString name = Text(d.field);
        if (name.isEmpty()) name = Text(kLanguageFieldText);  // 508 has no description of its own
        auto* box = new QCheckBox(name, fields);
        box->setObjectName(QString::number(d.field));
        box->setChecked(IsFieldShown(config, d.field));
        checks->addWidget(box);
        boxes_[d.field] = box;
    }

    auto* position = new QGroupBox(Text(kPositionText), this);
    auto* radios = new QHBoxLayout(position);
    const std::pair<int, int> places[] = {
        {kStatusTop, kTopText}, {kStatusBottom, kBottomText}, {kStatusHidden, kHiddenText}};
    for (auto [value, textId] : places) {
        auto* radio = new QRadioButton(Text(textId), position);
        radio->setObjectName(QStringLiteral("location%1").arg(value));
        location_->addButton(radio, value);
        radios->addWidget(radio);
    }
    SetLocation(config.location);

    auto* ok = new QPushButton(Text(kOkText), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(Text(kCancelText), this);
    cancel->setObjectName(QStringLiteral("2"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fields);
    layout->addWidget(position);
    layout->addLayout(buttons);
}

QCheckBox* StatusConfigDialog::fieldBox(int field) const {
    auto it = boxes_.find(field);
    return it == boxes_.end() ? nullptr : it->second;
}

void StatusConfigDialog::SetLocation(int location) {
    if (QAbstractButton* radio = location_->button(location)) radio->setChecked(true);
    else location_->button(kStatusBottom)->setChecked(true);
}

void StatusConfigDialog::accept() {
    config_.shownFields.clear();
    for (auto [field, box] : boxes_) {
        if (box->isChecked()) config_.shownFields.push_back(field);
    }
    config_.location = location_->checkedId() < 0 ? kStatusBottom : location_->checkedId();
    QDialog::accept();
}

bool RunStatusConfigDialog(QWidget* parent, const std::vector<StatusFieldDefinition>& definitions,
                           StatusConfig& config) {
    StatusConfigDialog dialog(definitions, config, parent);
    int result = Handler() ? Handler()(dialog) : dialog.exec();
    return result == QDialog::Accepted;
}

void SetStatusConfigDialogHandler(std::function<int(StatusConfigDialog&)> handler) {
    Handler() = std::move(handler);
}

}  // namespace varlin
