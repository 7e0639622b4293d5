// The settings sheet's frame: tabs, the three buttons, which pages were shown and
// changed, and the apply that the OK and Übernehmen buttons share.
#include "settings/qt/SettingsSheet.h"

#include "platform/qt/QtHost.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace varlin {
namespace {

enum : int {
    kCaptionText = 1517, kGeneralTab = 3200, kViewTab, kFilterTab, kColorTab, kOkText,
    kCancelText, kApplyText,
};
constexpr int kApplyButton = 12321;
constexpr int kTabWidget = 12320;

QFont& SampleFont() {
    static QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    return font;
}

}  // namespace

SettingsSheet::SettingsSheet(SettingsSheetRecord& record, const QFont& sampleFont, QWidget* parent)
    : QDialog(parent), record_(record) {
    setWindowTitle(SheetText(kCaptionText));
    Options& options = *record_.options;
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QString::number(kTabWidget));
    auto reporter = [this](std::size_t index) { return [this, index] { PageChanged(index); }; };
    pages_.push_back({BuildTablePage(GeneralPageGroups(), options, reporter(0))});
    pages_.push_back({BuildTablePage(ViewPageGroups(), options, reporter(1))});
    pages_.push_back({BuildFilterPage(options, reporter(2))});
    pages_.push_back({BuildColorPage(options, sampleFont, reporter(3))});
    int titleId = kGeneralTab;
    for (PageState& p : pages_) tabs_->addTab(p.page.widget, SheetText(titleId++));

    auto* ok = new QPushButton(SheetText(kOkText), this);
    ok->setObjectName("1");
    ok->setDefault(true);
    auto* cancel = new QPushButton(SheetText(kCancelText), this);
    cancel->setObjectName("2");
    apply_ = new QPushButton(SheetText(kApplyText), this);
    apply_->setObjectName(QString::number(kApplyButton));
    apply_->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {ok, cancel, apply_}) buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);

    connect(tabs_, &QTabWidget::currentChanged, this, &SettingsSheet::PageShown);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (Apply()) done(1);
    });
    connect(cancel, &QPushButton::clicked, this, [this] { done(2); });
    connect(apply_, &QPushButton::clicked, this, [this] { Apply(); });
    tabs_->setCurrentIndex(0);
    PageShown(0);
    built_ = true;
}

void SettingsSheet::PageShown(int index) {
    if (index >= 0 && std::size_t(index) < pages_.size()) pages_[std::size_t(index)].shown = true;
}

void SettingsSheet::PageChanged(std::size_t index) {
    if (!built_) return;
    pages_[index].changed = true;
    apply_->setEnabled(true);
}

bool SettingsSheet::Apply() {
    // Every shown page is checked before any is read, so a refused field leaves the
    // options as they were.
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        if (!pages_[i].shown || pages_[i].page.validate(Refusal::Quiet)) continue;
        tabs_->setCurrentIndex(int(i));  // the refusal is shown on the page of the field
        pages_[i].page.validate(Refusal::Shown);
        return false;
    }
    const Options before = *record_.options;
    for (PageState& p : pages_)
        if (p.shown) p.page.read();
    if (!ApplySettings(record_, before)) return false;
    for (PageState& p : pages_) p.changed = false;
    apply_->setEnabled(false);
    return true;
}

int RunSettingsSheet(QWidget* parent, SettingsSheetRecord& record) {
    if (!record.options) return 2;
    SettingsSheet sheet(record, SampleFont(), parent);
    return sheet.exec() == 1 ? 1 : 2;
}

void RegisterSettingsSheet(const QFont& sampleFont) {
    SampleFont() = sampleFont;
    RegisterQtDialog(DialogId::Settings, [](QWidget* parent, void* record) {
        return record ? RunSettingsSheet(parent, *static_cast<SettingsSheetRecord*>(record)) : 2;
    });
}

}  // namespace varlin
