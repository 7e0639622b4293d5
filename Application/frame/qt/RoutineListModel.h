// The routine list's entries (control 300) as a model of their own: a large source has a
// hundred thousand routines, and an item object per entry cost more memory than the text
// of the file itself. The names are kept as bytes in one string and become Qt text only
// for the rows that are shown.
#pragma once

#include "view/DocumentWindow.h"

#include <QAbstractListModel>

#include <cstdint>
#include <string>
#include <vector>

namespace varlin {

class RoutineListModel : public QAbstractListModel {
public:
    // utf8: the names are a UTF-8 document's, else Windows-1252.
    RoutineListModel(const std::vector<RoutineEntry>& entries, bool utf8, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // The name (display and edit roles) and the routine's line (Qt::UserRole).
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::string names_;                 // every name, one after the other
    std::vector<std::uint32_t> ends_;   // where each name ends in names_
    std::vector<std::int32_t> lines_;
    bool utf8_ = false;
};

}  // namespace varlin
