// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "uninstall/UninstallPlanSheet.h"

class QTreeWidget;

namespace quillby {

// The confirmation of a removal: "Uninstall Applications", the question, and under it every
// package and path that will go, application by application, with sizes and whether it goes
// to the trash; "Uninstall" (the default) and "Cancel".
class UninstallConfirmDialog : public QDialog {
    Q_OBJECT
  public:
    explicit UninstallConfirmDialog(const UninstallPlanSheet& sheet, QWidget* parent = nullptr);

    QTreeWidget* planList() const { return plan_; }

  private:
    QTreeWidget* plan_;
};

}  // namespace quillby
