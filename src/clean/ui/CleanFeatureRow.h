// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;

namespace quillby {

class SystemCleanModel;

// A category's row in the "Scan" page's feature list: its check box (the category's setting:
// off, on, or partly on), its title, its size and its progress image. The check box takes no
// clicks while a scan or a clean works on the category.
class CleanFeatureRow : public QWidget {
    Q_OBJECT
  public:
    CleanFeatureRow(SystemCleanModel& model, int category, QWidget* parent = nullptr);

    // Shows the model's figures for the category.
    void refresh();

    QCheckBox* checkBox() const { return check_; }
    QLabel* sizeLabel() const { return size_; }
    QLabel* progressImage() const { return progress_; }

  private:
    SystemCleanModel& model_;
    const int category_;
    QCheckBox* check_;
    QLabel* size_;
    QLabel* progress_;
};

}  // namespace quillby
