// The translation assistance on QDialog: a table of every text, English column editable.
#include "frame/qt/TranslationDialog.h"

#include "platform/qt/DialogControls.h"
#include "frame/TranslationFile.h"
#include "platform/Messages.h"
#include "resources/StringTable.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace varlin {
namespace {

constexpr int kCaption = 3450;
constexpr int kIdColumn = 3451;
constexpr int kKeyColumnWidth = 110;
constexpr int kGermanColumn = 3452;
constexpr int kEnglishColumn = 3453;
constexpr int kNoteColumn = 3454;
constexpr int kMissingNote = 3455;
constexpr int kTooLongNote = 3456;
constexpr int kMarkedOnlyBox = 3457;
constexpr int kSaveButton = 3458;
constexpr int kCloseButton = 3459;
constexpr int kFileText = 3461;
constexpr int kBuiltInRole = Qt::UserRole;

// A text in one line of the table: line breaks and tabs in the file's notation.
QString Shown(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace('\\', "\\\\").replace('\n', "\\n").replace('\t', "\\t");
    return s;
}

std::string Stored(const QString& shown) {
    std::string out;
    const std::string s = shown.toStdString();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            const char c = s[++i];
            out += c == 'n' ? '\n' : c == 't' ? '\t' : c;
        } else {
            out += s[i];
        }
    }
    return out;
}

QTableWidgetItem* Fixed(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

}  // namespace

TranslationDialog::TranslationDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(AppText(kCaption));
    auto* layout = new QVBoxLayout(this);
    const std::vector<TranslatableText> texts = TranslatableTexts();
    table_ = new QTableWidget(int(texts.size()), 4, this);
    table_->setObjectName(QStringLiteral("texts"));
    table_->setHorizontalHeaderLabels({AppText(kIdColumn), AppText(kGermanColumn), AppText(kEnglishColumn), AppText(kNoteColumn)});
    table_->verticalHeader()->hide();
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    const auto& own = EnglishOverrides();
    for (int row = 0; row < int(texts.size()); ++row) {
        const TranslatableText& t = texts[std::size_t(row)];
        table_->setItem(row, 0, Fixed(QString::fromStdString(t.key)));
        table_->item(row, 0)->setToolTip(QString::fromStdString(t.key));
        table_->setItem(row, 1, Fixed(Shown(t.german)));
        table_->item(row, 1)->setToolTip(Shown(t.german));
        auto it = own.find(t.key);
        auto* english = new QTableWidgetItem(Shown(it != own.end() ? it->second : t.english));
        english->setData(kBuiltInRole, QString::fromStdString(t.english));
        table_->setItem(row, 2, english);
        table_->setItem(row, 3, Fixed(QString()));
        Mark(row);
    }
    // The keys of menu items are long labels: their column stays narrow (the whole key is
    // its tooltip) and the two texts share the width.
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionResizeMode(0, QHeaderView::Interactive);
    table_->setColumnWidth(0, kKeyColumnWidth);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    header->setSectionResizeMode(2, QHeaderView::Stretch);
    header->setSectionResizeMode(3, QHeaderView::ResizeToContents);
    table_->setMinimumSize(900, 480);
    connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() != 2) return;
        // A text with other conversions than the built-in one would be a format of its
        // own where the program formats with it: it is refused, the built-in text stays.
        const std::string key = table_->item(item->row(), 0)->text().toStdString();
        const std::string english = Stored(item->text());
        if (!english.empty() && !OverrideKeepsConversions(key, english)) {
            const QString builtIn = item->data(kBuiltInRole).toString();
            {
                const QSignalBlocker quiet(table_);
                item->setText(Shown(builtIn.toStdString()));
            }
            const std::string shown = builtIn.isEmpty() ? Stored(table_->item(item->row(), 1)->text())
                                                        : builtIn.toStdString();
            ShowMessage(kTranslationRefusedMessage, key.c_str(), shown.c_str());
        }
        Mark(item->row());
    });
    layout->addWidget(table_, 1);

    fileLabel_ = new QLabel(AppText(kFileText).arg(QString::fromStdString(TranslationFileName())), this);
    fileLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(fileLabel_);
    auto* buttons = new QHBoxLayout;
    markedOnly_ = new QCheckBox(AppText(kMarkedOnlyBox), this);
    connect(markedOnly_, &QCheckBox::toggled, this, &TranslationDialog::ShowMarkedOnly);
    auto* save = new QPushButton(AppText(kSaveButton), this);
    auto* close = new QPushButton(AppText(kCloseButton), this);
    save->setObjectName(QStringLiteral("save"));
    connect(save, &QPushButton::clicked, this, [this] { Save(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(markedOnly_);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    layout->addLayout(buttons);
}

void TranslationDialog::Mark(int row) {
    const std::string german = Stored(table_->item(row, 1)->text());
    const std::string english = Stored(table_->item(row, 2)->text());
    QString note;
    QColor colour;
    if (english.empty()) {
        note = AppText(kMissingNote);
        colour = QColor(255, 205, 205);
    } else if (TranslationTooLong(german, english)) {
        note = AppText(kTooLongNote);
        colour = QColor(255, 240, 180);
    }
    const QSignalBlocker quiet(table_);
    table_->item(row, 3)->setText(note);
    for (int column = 0; column < 4; ++column) {
        table_->item(row, column)->setBackground(colour.isValid() ? QBrush(colour) : QBrush());
    }
    if (markedOnly_) table_->setRowHidden(row, markedOnly_->isChecked() && note.isEmpty());
}

void TranslationDialog::ShowMarkedOnly(bool only) {
    for (int row = 0; row < table_->rowCount(); ++row) {
        table_->setRowHidden(row, only && table_->item(row, 3)->text().isEmpty());
    }
}

bool TranslationDialog::Save() {
    std::map<std::string, std::string> own;
    for (int row = 0; row < table_->rowCount(); ++row) {
        const std::string english = Stored(table_->item(row, 2)->text());
        const std::string builtIn = table_->item(row, 2)->data(kBuiltInRole).toString().toStdString();
        if (english != builtIn && !english.empty()) own[table_->item(row, 0)->text().toStdString()] = english;
    }
    const std::string path = TranslationFileName();
    if (!WriteTranslationFile(path, own)) {
        ShowFileError(path);
        return false;
    }
    SetEnglishOverrides(std::move(own));
    if (saved) saved();
    return true;
}

}  // namespace varlin
