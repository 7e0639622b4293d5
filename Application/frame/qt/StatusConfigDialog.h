// The status line configuration (command 83): which fields show, and whether the line
// stands at the top or the bottom of the frame or is hidden.
#pragma once

#include "frame/StatusFields.h"

#include <QDialog>

#include <functional>
#include <map>
#include <vector>

class QButtonGroup;
class QCheckBox;

namespace varlin {

class StatusConfigDialog : public QDialog {
    Q_OBJECT
public:
    StatusConfigDialog(const std::vector<StatusFieldDefinition>& definitions, StatusConfig& config,
                       QWidget* parent = nullptr);

    QCheckBox* fieldBox(int field) const;
    void SetLocation(int location);
    void accept() override;

private:
    StatusConfig& config_;
    std::map<int, QCheckBox*> boxes_;
    QButtonGroup* location_;
};

// Shows the dialog; true (and config changed) when the user chose OK.
bool RunStatusConfigDialog(QWidget* parent, const std::vector<StatusFieldDefinition>& definitions,
                           StatusConfig& config);

// Tests may answer the dialog instead of a user.
void SetStatusConfigDialogHandler(std::function<int(StatusConfigDialog&)> handler);

}  // namespace varlin
