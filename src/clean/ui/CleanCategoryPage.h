// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <memory>

class QCheckBox;
class QLabel;
class QTableView;

namespace quillby {

class CleanItemsTableModel;
class FileViewer;
class SystemCleanModel;
class WorkRunner;

// One category's review: a select-all box above the table of its listed items (check box, name
// with its path, size, a button that shows the item's folder). The header sorts by name or
// size; a click on a row highlights it. Check boxes take no clicks while a scan or a clean works
// on the category. The folder is found and shown on a worker.
class CleanCategoryPage : public QWidget {
    Q_OBJECT
  public:
    CleanCategoryPage(SystemCleanModel& model, int category, std::shared_ptr<FileViewer> viewer,
                      QWidget* parent = nullptr);

    // Shows the category's list and check states as the model has them.
    void refresh();

    QTableView* table() const { return table_; }
    QCheckBox* selectAll() const { return selectAll_; }
    CleanItemsTableModel* items() const { return items_; }

  private:
    void sortBy(int column);
    void buildRevealButtons();
    void reveal(int row);

    SystemCleanModel& model_;
    const int category_;
    std::shared_ptr<FileViewer> viewer_;
    CleanItemsTableModel* items_;
    QTableView* table_;
    QCheckBox* selectAll_;
    QLabel* failure_;
    WorkRunner* work_;
    int sortColumn_ = -1;
    bool ascending_ = true;
};

}  // namespace quillby
