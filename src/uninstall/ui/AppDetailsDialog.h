// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "core/apps/AppItems.h"
#include "uninstall/AppDetails.h"

class QLabel;

namespace quillby {

// The details sheet of one application: 500 x 300, its icon at 200 x 200, the name (cut at 28
// characters), the size, "Created: " and the date, the path (cut at 70) and "OK". The details
// come measured: the page measures them on its worker.
class AppDetailsDialog : public QDialog {
    Q_OBJECT
  public:
    AppDetailsDialog(const AppItems& app, const AppDetails& details, QWidget* parent = nullptr);

    QLabel* nameLabel() const { return name_; }
    QLabel* sizeLabel() const { return size_; }
    QLabel* createdLabel() const { return created_; }
    QLabel* pathLabel() const { return path_; }
    QLabel* iconLabel() const { return icon_; }

  private:
    QLabel* icon_;
    QLabel* name_;
    QLabel* size_;
    QLabel* created_;
    QLabel* path_;
};

}  // namespace quillby
