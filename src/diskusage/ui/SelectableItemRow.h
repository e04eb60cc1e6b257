// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "diskusage/DiskUsageItem.h"

class QLabel;
class QToolButton;

namespace quillby {

// One item row of the disk-usage pages: a check box drawn as "Folder_yes.png", "Folder_no.png",
// "File_yes.png" or "File_no.png", the name and the size in white 10-point text. The ring page's
// list uses rows of 200 × 30 (BigSizeFilesList: the name cut to 8 characters when wider than
// 100 px), the removal sheet rows of 560 × 30 (SelectFilesListView: cut to 70 characters). Sizes
// are cut to 10 characters.
class SelectableItemRow : public QWidget {
    Q_OBJECT
  public:
    enum class Kind { BigSizeFilesList, SelectFilesListView };

    SelectableItemRow(const DiskUsageItem& item, bool selected, Kind kind,
                      QWidget* parent = nullptr);

    const DiskUsageItem& item() const { return item_; }
    bool isSelected() const { return selected_; }
    void setSelected(bool selected);
    QToolButton* checkBox() const { return check_; }
    // The name as shown.
    QString shownName() const;

    // "Folder_yes.png" and the others for an item and a state.
    static QString checkImage(bool isDirectory, bool selected);

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
    QToolButton* check_;
    QLabel* name_;
};

}  // namespace quillby
