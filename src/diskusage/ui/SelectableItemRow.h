// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "diskusage/DiskUsageItem.h"

class QCheckBox;
class QLabel;

namespace quillby {

// One item row of the disk-usage pages: a check box, the item's icon ("Folder_yes.png" or
// "File_yes.png"), the name and the size in white 10-point text; a folder the scan could not read
// is marked "! " with a tooltip that says so. The ring page's list uses rows of 200 × 30
// (BigSizeFilesList: the name cut to 8 characters when wider than 100 px), the removal sheet rows
// of 560 × 30 (SelectFilesListView: cut to 70 characters). Sizes are cut to 10 characters.
class SelectableItemRow : public QWidget {
    Q_OBJECT
  public:
    enum class Kind { BigSizeFilesList, SelectFilesListView };

    SelectableItemRow(const DiskUsageItem& item, bool selected, Kind kind,
                      QWidget* parent = nullptr);

    const DiskUsageItem& item() const { return item_; }
    bool isSelected() const { return selected_; }
    void setSelected(bool selected);
    QCheckBox* checkBox() const { return check_; }
    // The name as shown.
    QString shownName() const;

  signals:
    // The check box was clicked; `selected` is the new state.
    void selectionToggled(const DiskUsageItem& item, bool selected);
    // The row was clicked elsewhere.
    void rowClicked(const DiskUsageItem& item);

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    DiskUsageItem item_;
    bool selected_;
    QCheckBox* check_;
    QLabel* name_;
};

}  // namespace quillby
