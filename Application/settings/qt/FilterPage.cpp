// Page "Dateifilter": the filter list of the file dialogs as a table of description and
// pattern, with rows added from two fields, deleted and moved. Typing into the fields is
// no change of the page until "&Hinzufügen" takes them.
#include "settings/qt/SettingsPages.h"

#include "platform/Messages.h"
#include "platform/qt/DialogControls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace varlin {
namespace {

enum : int {
    kDescriptionLabel = 706, kDescriptionField = 1105, kPatternLabel = 1103, kPatternField = 1104,
    kAddButton = 701, kListLabel = 702, kList = 1003, kDeleteButton = 2505, kUpButton = 2506,
    kDownButton = 2507,
};
enum : int {
    kDescriptionText = 3240, kPatternText = 3241, kAddText = 3242, kListText = 3243,
    kDeleteText = 3244, kUpText = 3245, kDownText = 3246, kColumnsText = 1850,
};
constexpr int kFilterListFull = 1232;

// Columns as string 1850 gives them: "title|width" separated by tabs.
void MakeColumns(QTableWidget* list) {
    const QStringList columns = SheetText(kColumnsText).split('\t');
    list->setColumnCount(int(columns.size()));
    QStringList titles;
    for (int i = 0; i < columns.size(); ++i) {
        const QStringList parts = columns[i].split('|');
        titles << parts.value(0);
        bool ok = false;
        const int width = parts.value(1).toInt(&ok);
        if (ok && width > 0) list->setColumnWidth(i, width);
    }
    list->setHorizontalHeaderLabels(titles);
}

QString Cell(const QTableWidget* list, int row, int column) {
    const QTableWidgetItem* item = list->item(row, column);
    return item ? item->text() : QString();
}

void SetRow(QTableWidget* list, int row, const QString& description, const QString& pattern) {
    list->setItem(row, 0, new QTableWidgetItem(description));
    list->setItem(row, 1, new QTableWidgetItem(pattern));
}

std::vector<FilterRow> Rows(const QTableWidget* list) {
    std::vector<FilterRow> rows;
    for (int r = 0; r < list->rowCount(); ++r)
        rows.push_back({Cell(list, r, 0).toStdString(), Cell(list, r, 1).toStdString()});
    return rows;
}

int SelectedRow(const QTableWidget* list) {
    const QList<QTableWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : selected.front()->row();
}

void SelectRow(QTableWidget* list, int row) {
    list->clearSelection();
    if (row < 0 || row >= list->rowCount()) return;
    list->setCurrentCell(row, 0);
    list->selectRow(row);
    list->scrollToItem(list->item(row, 0));
}

// "&Löschen" with a selected row, "Nach oben" unless it is the first, "Nach unten"
// unless it is the last.
void SetButtons(QWidget* page, const QTableWidget* list) {
    const int row = SelectedRow(list);
    DialogItem(page, kDeleteButton)->setEnabled(row >= 0);
    DialogItem(page, kUpButton)->setEnabled(row > 0);
    DialogItem(page, kDownButton)->setEnabled(row >= 0 && row < list->rowCount() - 1);
}

void MoveRow(QTableWidget* list, int from, int to) {
    if (from < 0 || to < 0 || to >= list->rowCount()) return;
    const QString description = Cell(list, from, 0), pattern = Cell(list, from, 1);
    SetRow(list, from, Cell(list, to, 0), Cell(list, to, 1));
    SetRow(list, to, description, pattern);
    SelectRow(list, to);
}

}  // namespace

SheetPage BuildFilterPage(Options& options, PageChanged changed) {
    auto* page = new QWidget;
    auto* fields = new QGridLayout;
    auto* description = Named(new QLineEdit(page), kDescriptionField);
    auto* pattern = Named(new QLineEdit(page), kPatternField);
    for (QLineEdit* field : {description, pattern}) field->setMaxLength(kFilterFieldLength);
    auto* descriptionLabel = Named(new QLabel(SheetText(kDescriptionText), page), kDescriptionLabel);
    descriptionLabel->setBuddy(description);
    auto* patternLabel = Named(new QLabel(SheetText(kPatternText), page), kPatternLabel);
    patternLabel->setBuddy(pattern);
    auto* add = Named(new QPushButton(SheetText(kAddText), page), kAddButton);
    fields->addWidget(descriptionLabel, 0, 0);
    fields->addWidget(description, 0, 1);
    fields->addWidget(patternLabel, 1, 0);
    fields->addWidget(pattern, 1, 1);
    fields->addWidget(add, 1, 2);

    auto* list = Named(new QTableWidget(page), kList);
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setStretchLastSection(true);
    MakeColumns(list);
    const std::vector<FilterRow> rows = ParseFilterList(options.FileNameFilter);
    list->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r)
        SetRow(list, r, QString::fromStdString(rows[std::size_t(r)].description),
               QString::fromStdString(rows[std::size_t(r)].pattern));

    auto* remove = Named(new QPushButton(SheetText(kDeleteText), page), kDeleteButton);
    auto* up = Named(new QPushButton(SheetText(kUpText), page), kUpButton);
    auto* down = Named(new QPushButton(SheetText(kDownText), page), kDownButton);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {remove, up, down}) buttons->addWidget(b);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(fields);
    layout->addWidget(Named(new QLabel(SheetText(kListText), page), kListLabel));
    layout->addWidget(list);
    layout->addLayout(buttons);
    SelectRow(list, 0);
    SetButtons(page, list);

    QObject::connect(list, &QTableWidget::itemSelectionChanged, page, [page, list] { SetButtons(page, list); });
    QObject::connect(add, &QPushButton::clicked, page, [page, list, description, pattern, changed] {
        const FilterRow added{description->text().toStdString(), pattern->text().toStdString()};
        if (const int problem = FilterRowProblem(Rows(list), added)) {
            ShowMessage(problem);
            const bool patternAtFault = problem != kFilterListFull && !description->text().contains('|');
            FocusRefusedField(page, patternAtFault ? kPatternField : kDescriptionField);
            return;
        }
        const int row = list->rowCount();
        list->insertRow(row);
        SetRow(list, row, description->text(), pattern->text());
        SelectRow(list, row);
        SetButtons(page, list);
        changed();
    });
    QObject::connect(remove, &QPushButton::clicked, page, [page, list, changed] {
        const int row = SelectedRow(list);
        if (row < 0) return;
        list->removeRow(row);
        SelectRow(list, row < list->rowCount() ? row : list->rowCount() - 1);
        SetButtons(page, list);
        changed();
    });
    QObject::connect(up, &QPushButton::clicked, page, [page, list, changed] {
        const int row = SelectedRow(list);
        if (row <= 0) return;
        MoveRow(list, row, row - 1);
        SetButtons(page, list);
        changed();
    });
    QObject::connect(down, &QPushButton::clicked, page, [page, list, changed] {
        const int row = SelectedRow(list);
        if (row < 0 || row >= list->rowCount() - 1) return;
        MoveRow(list, row, row + 1);
        SetButtons(page, list);
        changed();
    });

    SheetPage result;
    result.widget = page;
    result.validate = [](Refusal) { return true; };
    result.read = [list, &options] { options.FileNameFilter = JoinFilterList(Rows(list)); };
    return result;
}

}  // namespace varlin
