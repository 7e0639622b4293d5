// The status line: a QStatusBar with the fields 500 to 508 side by side, each a sunken
// panel of its defined width. A click on a field runs the command tied to it; a modal
// text (the help of the pointed menu item) covers the fields until it is ended.
#pragma once

#include "frame/StatusFields.h"

#include <QLabel>
#include <QStatusBar>

#include <functional>
#include <map>

namespace varlin {

class StatusFieldLabel : public QLabel {
    Q_OBJECT
public:
    StatusFieldLabel(int field, int commandId, QWidget* parent);
    int field() const { return field_; }
    int commandId() const { return commandId_; }
    std::function<void(int commandId)> clicked;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int field_;
    int commandId_;
};

class StatusLine : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusLine(QWidget* parent = nullptr);

    // Creates the fields of the definitions that the configuration shows.
    void Configure(const std::vector<StatusFieldDefinition>& definitions, const StatusConfig& config);
    // Update_Status_Text: ids outside 500 to 508, and fields not shown, are ignored.
    void SetFieldText(int field, const QString& text);
    // The field's text ("" when it is not shown); for tests and the dialog's preview.
    QString fieldText(int field) const;
    StatusFieldLabel* fieldLabel(int field) const;
    // Set_ModalStatusText: a text covers the fields; an empty one ends it.
    void SetModalText(const QString& text);

    std::function<void(int commandId)> runCommand;

private:
    std::map<int, StatusFieldLabel*> fields_;
    std::map<int, QString> texts_;  // kept while a field is hidden, shown when it returns
};

}  // namespace varlin
