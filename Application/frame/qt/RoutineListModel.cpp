#include "frame/qt/RoutineListModel.h"

#include "platform/qt/QtHost.h"

namespace varlin {

RoutineListModel::RoutineListModel(const std::vector<RoutineEntry>& entries, bool utf8, QObject* parent)
    : QAbstractListModel(parent), utf8_(utf8) {
    std::size_t bytes = 0;
    for (const RoutineEntry& entry : entries) bytes += entry.name.size();
    names_.reserve(bytes);
    ends_.reserve(entries.size());
    lines_.reserve(entries.size());
    for (const RoutineEntry& entry : entries) {
        names_ += entry.name;
        ends_.push_back(static_cast<std::uint32_t>(names_.size()));
        lines_.push_back(entry.line);
    }
}

int RoutineListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant RoutineListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount()) return QVariant();
    const std::size_t row = static_cast<std::size_t>(index.row());
    if (role == Qt::UserRole) return lines_[row];
    if (role != Qt::DisplayRole && role != Qt::EditRole) return QVariant();
    const std::uint32_t begin = row == 0 ? 0 : ends_[row - 1];
    const std::string name = names_.substr(begin, ends_[row] - begin);
    return utf8_ ? QString::fromUtf8(name.data(), qsizetype(name.size())) : BytesToWindows1252(name);
}

}  // namespace varlin
