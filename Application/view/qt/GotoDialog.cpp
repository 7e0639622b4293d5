// The go-to dialog: two number fields, the remembered positions as buttons and the
// preview, its texts taken from the string table in the user's language.
#include "view/qt/GotoDialog.h"

#include "platform/qt/DialogControls.h"
#include "editing/EditActions.h"
#include "editing/EditWindow.h"
#include "editing/RowLayout.h"
#include "editing/Utf8Layout.h"
#include "platform/Messages.h"
#include "platform/qt/QtHost.h"
#include "resources/StringTable.h"
#include "settings/Options.h"
#include "textutil/CodeTables.h"
#include "view/qt/EditView.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace varlin {
namespace {

constexpr int kCaptionText = 2000;
constexpr int kLineText = 2001;
constexpr int kColumnText = 2002;
constexpr int kOkText = 2003;
constexpr int kCancelText = 2004;
constexpr int kFirstSlotText = 2005;  // 2005 ... 2008, newest slot first
constexpr int kPreviewText = 2009;
constexpr int kSlotsText = 2010;
constexpr int kPreviewInset = 5;
constexpr int kPreviewRows = 11;  // the height the dialog asks for, in rows
constexpr int kPreviewCells = 60;

QColor ToQColor(Color c) { return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c)); }

}  // namespace

// ---- Preview ----------------------------------------------------------------------------

GotoPreview::GotoPreview(const EditWindow& window, const QLineEdit& lineField, QWidget* parent)
    : QWidget(parent), window_(window), lineField_(lineField) {
    setObjectName(QStringLiteral("515"));
    // The document window's character cell: the screen font's, measured as the view does.
    const QFontMetrics metrics(ScreenFont(0));
    cw_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
    ch_ = std::max(1, metrics.height());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize GotoPreview::sizeHint() const {
    return QSize(kPreviewCells * cw_ + 2 * kPreviewInset, kPreviewRows * ch_ + 2 * kPreviewInset);
}

QRect GotoPreview::TextArea() const {
    return rect().adjusted(kPreviewInset, kPreviewInset, -kPreviewInset, -kPreviewInset);
}

int GotoPreview::targetLine() const {
    return GotoPreviewFor(lineField_.text().toStdString(), 0).target;
}

std::vector<int> GotoPreview::shownLines() const {
    const int rows = std::max(0, TextArea().height() / ch_);
    const GotoPreviewRows preview = GotoPreviewFor(lineField_.text().toStdString(), rows);
    std::vector<int> lines;
    for (int i = 0; i < rows; ++i) lines.push_back(preview.first + i);
    return lines;
}

void GotoPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor background = palette().color(QPalette::Window);
    painter.fillRect(rect(), background);
    const QRect area = TextArea();
    const int cells = std::max(0, area.width() / cw_);
    if (cells <= 0) return;
    const Options& o = CurrentOptions();
    painter.setFont(ScreenFont(cw_));
    painter.setClipRect(area);
    const int ascent = painter.fontMetrics().ascent();
    const int target = targetLine();
    const RowGeometry geometry = GeometryOf(window_);
    const std::size_t lineLimit = std::size_t(std::max(1, WorkBufferSize(window_) - 1));
    std::vector<char16_t> row(std::size_t(cells), u' ');
    const std::vector<int> lines = shownLines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int line = lines[i];
        std::string_view text = window_.doc->LineView(line);
        if (text.size() > lineLimit) text = text.substr(0, lineLimit);
        // The screen font is the OEM one: stored bytes are drawn by their OEM glyphs.
        LayoutGlyphs(line, window_.doc->utf8 ? std::string_view() : text, row.data(), cells, ' ', o.TabChar,
                     kCodeTableOem, geometry);
        QString shown = QString::fromUtf16(row.data(), qsizetype(row.size()));
        if (window_.doc->utf8 && cells >= kMinRowCells) {
            // A UTF-8 document's characters, wide ones without their second cell.
            std::u32string cells32(row.begin(), row.end());
            LayoutUtf8Text(text, cells32.data(), cells, OemGlyph(static_cast<unsigned char>(o.TabChar)),
                           geometry.margin, geometry.tabStep);
            std::u32string drawn;
            for (char32_t c : cells32)
                if (c != kCellWideTail) drawn += c & ~kCellInvalidByte;
            shown = QString::fromUcs4(drawn.data(), qsizetype(drawn.size()));
        }
        const int y = area.top() + int(i) * ch_;
        painter.setPen(ToQColor(line == target ? o.ColorHighlight : o.ColorText));
        painter.drawText(area.left(), y + ascent, shown);
    }
}

// ---- Dialog -----------------------------------------------------------------------------

GotoDialog::GotoDialog(GotoDialogRecord& record, QWidget* parent)
    : QDialog(parent), record_(record) {
    record_.dialog = this;
    setWindowTitle(AppText(kCaptionText));

    auto* lineLabel = new QLabel(AppText(kLineText), this);
    lineLabel->setObjectName(QStringLiteral("514"));
    line_ = new QLineEdit(this);
    line_->setObjectName(QString::number(kGotoLineField));
    lineLabel->setBuddy(line_);
    auto* columnLabel = new QLabel(AppText(kColumnText), this);
    columnLabel->setObjectName(QStringLiteral("513"));
    column_ = new QLineEdit(this);
    column_->setObjectName(QString::number(kGotoColumnField));
    columnLabel->setBuddy(column_);

    auto* fields = new QGridLayout;
    fields->addWidget(lineLabel, 0, 0);
    fields->addWidget(line_, 0, 1);
    fields->addWidget(columnLabel, 1, 0);
    fields->addWidget(column_, 1, 1);

    auto* slotBox = new QGroupBox(AppText(kSlotsText), this);
    auto* slotButtons = new QVBoxLayout(slotBox);
    for (int slot = 0; slot < kPushedPositions; ++slot) {
        auto* button = new QPushButton(AppText(kFirstSlotText + slot), slotBox);
        button->setObjectName(QString::number(kGotoSlotButtons[slot]));
        button->setAutoDefault(false);
        button->setEnabled(record_.window && record_.window->pushedLines[slot] != -1);
        connect(button, &QPushButton::clicked, this, [this, slot] { TakeSlot(slot); });
        slotButtons->addWidget(button);
    }

    ok_ = new QPushButton(AppText(kOkText), this);
    ok_->setObjectName(QStringLiteral("1"));
    ok_->setDefault(true);
    auto* cancel = new QPushButton(AppText(kCancelText), this);
    cancel->setObjectName(QStringLiteral("2"));
    cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(slotBox);
    left->addStretch();
    left->addLayout(buttons);

    auto* previewLabel = new QLabel(AppText(kPreviewText), this);
    previewLabel->setObjectName(QStringLiteral("516"));
    auto* right = new QVBoxLayout;
    right->addWidget(previewLabel);
    if (record_.window) {
        preview_ = new GotoPreview(*record_.window, *line_, this);
        right->addWidget(preview_, 1);
    }

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);

    line_->setText(QString::number(record_.line));
    column_->setText(QString::number(record_.column));
    connect(line_, &QLineEdit::textChanged, this, [this] {
        if (preview_) preview_->update();
    });
    connect(ok_, &QPushButton::clicked, this, &GotoDialog::Accept);
    connect(cancel, &QPushButton::clicked, this, [this] { done(0); });
    line_->setFocus();
    line_->selectAll();
}

void GotoDialog::Accept() {
    std::int32_t line = 0;
    std::int32_t column = 0;
    const int message = CheckGotoFields(line_->text().toStdString(),
                                        column_->text().toStdString(), line, column);
    if (message != 0) {
        ShowMessage(message);
        QLineEdit* faulty = message == kBadLineMessage ? line_ : column_;
        faulty->setFocus();
        faulty->selectAll();
        return;
    }
    record_.line = line;
    record_.column = column;
    done(1);
}

void GotoDialog::TakeSlot(int slot) {
    if (!record_.window || record_.window->pushedLines[slot] == -1) return;
    line_->setText(QString::number(record_.window->pushedLines[slot] + 1));
    column_->setText(QString::number(record_.window->pushedCols[slot] + 1));
    // Enter accepts again, whichever button was pressed.
    ok_->setDefault(true);
    if (preview_) preview_->update();
}

int RunGotoDialog(QWidget* parent, GotoDialogRecord& record) {
    GotoDialog dialog(record, parent);
    const int result = dialog.exec() == 1 ? 1 : 0;
    record.dialog = nullptr;
    return result;
}

void RegisterGotoDialog() {
    RegisterQtDialog(DialogId::Goto, [](QWidget* parent, void* record) {
        return record ? RunGotoDialog(parent, *static_cast<GotoDialogRecord*>(record)) : 0;
    });
}

}  // namespace varlin
