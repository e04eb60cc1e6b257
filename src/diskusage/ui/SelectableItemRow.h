// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QWidget>
#include <optional>
#include <vector>

#include "diskusage/DiskUsageItem.h"

class QCheckBox;
class QLabel;

namespace quillby {

// One item row of the disk-usage pages: a check box, the item's icon ("Folder_yes.png" or
// "File_yes.png"), the name and the size in white 10-point text; a folder the scan could not read
// is marked "! ", one it was told never to read "[excluded] ", each with a tooltip that says so.
// The ring page's list uses rows of 200 × 30 (BigSizeFilesList: the name cut to 8 characters when
// wider than 100 px), the removal sheet rows of 560 × 30 (SelectFilesListView: cut to 70
// characters). Sizes are cut to 10 characters.
class SelectableItemRow : public QWidget {
    Q_OBJECT
  public:
    enum class Kind { BigSizeFilesList, SelectFilesListView };
    // The list's further columns, as shown: share of the folder, entries, last change, and the
    // change since the previous scan when the list compares with one.
    struct Cells {
        QString percent;
        QString items;
        QString modified;
        std::optional<QString> change;
    };

    // With `cells` a list row also shows them, each in its column's width.
    SelectableItemRow(const DiskUsageItem& item, bool selected, Kind kind,
                      const Cells* cells = nullptr, QWidget* parent = nullptr);

    // The width of the size column and of the further columns (in the rows' font), so that a
    // header can stand over them; the name column takes the rest of a row.
    static int sizeColumnWidth();
    static int cellWidths(int column);  // 0 percent, 1 items, 2 modified, 3 change
    // The width of a list row with cells (and the change column).
    static int listRowWidth(bool withChange = false);
    // The gap between a row's columns and the row's side margins.
    static constexpr int kSpacing = 4;

    const DiskUsageItem& item() const { return item_; }
    bool isSelected() const { return selected_; }
    void setSelected(bool selected);
    QCheckBox* checkBox() const { return check_; }
    // The name as shown.
    QString shownName() const;
    // The further columns' texts as shown (none without cells).
    QStringList cellTexts() const;

  signals:
    // The row's context menu was asked for at `globalPosition`.
    void menuRequested(const DiskUsageItem& item, QPoint globalPosition);
    // The check box was clicked; `selected` is the new state.
    void selectionToggled(const DiskUsageItem& item, bool selected);
    // The row was clicked elsewhere.
    void rowClicked(const DiskUsageItem& item);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    DiskUsageItem item_;
    bool selected_;
    QCheckBox* check_;
    QLabel* name_;
    std::vector<QLabel*> cells_;
};

}  // namespace quillby
