// The file dialogs' language and size.
#include "platform/qt/FileDialogFit.h"

#include "resources/StringTable.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QTreeView>

#include <algorithm>

namespace varlin {
namespace {

enum FileColumn : int { kNameColumn = 0, kSizeColumn = 1, kTypeColumn = 2, kDateColumn = 3 };

// Passes the file list through, with sizes and dates in the program's locale.
class LocalisedFileList : public QSortFilterProxyModel {
public:
    LocalisedFileList(const QLocale& locale, QObject* parent) : QSortFilterProxyModel(parent), locale_(locale) {}

    QVariant data(const QModelIndex& index, int role) const override {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || (index.column() != kSizeColumn && index.column() != kDateColumn))
            return QSortFilterProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == kDateColumn)
            return locale_.toString(files->lastModified(source), QLocale::ShortFormat);
        if (files->isDir(source)) return QSortFilterProxyModel::data(index, role);
        return locale_.formattedDataSize(files->size(source));
    }

    // The file list sorts itself (folders first); the rows pass through in its order.
    void sort(int column, Qt::SortOrder order) override {
        if (sourceModel()) sourceModel()->sort(column, order);
    }

private:
    QLocale locale_;
};

}  // namespace

QLocale ProgramLocale() {
    return GetAppLanguage() == int(AppLanguage::English) ? QLocale(QLocale::English, QLocale::UnitedStates)
                                                         : QLocale(QLocale::German, QLocale::Germany);
}

void FitFileDialog(QFileDialog& dialog) {
    const QLocale locale = ProgramLocale();
    QLocale::setDefault(locale);  // the type names of the files follow it
    dialog.setLocale(locale);
    dialog.setProxyModel(new LocalisedFileList(locale, &dialog));

    // Each column as wide as its longest usual text, the names getting the most room.
    const QFontMetrics metrics = dialog.fontMetrics();
    auto wide = [&metrics](const QString& sample) { return metrics.horizontalAdvance(sample) + 24; };
    const int size = wide(locale.formattedDataSize(999999999LL) + QStringLiteral("9"));
    const int type = wide(QStringLiteral("Verzeichnisverknüpfung"));
    const int date = wide(locale.toString(QDateTime(QDate(2026, 12, 30), QTime(23, 59)), QLocale::ShortFormat));
    const int name = wide(QString(36, QLatin1Char('n')));
    if (auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = list->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
        header->resizeSection(kSizeColumn, size);
        header->resizeSection(kTypeColumn, type);
        header->resizeSection(kDateColumn, date);
    }
    const int sidebar = wide(QStringLiteral("Persönlicher Ordner"));
    const int width = sidebar + name + size + type + date + 60;
    dialog.resize(std::max(dialog.sizeHint().width(), width), std::max(dialog.sizeHint().height(), 480));
}

}  // namespace varlin
