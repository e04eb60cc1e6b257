// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "duplicates/ui/DuplicateViewPage.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QTreeView;

namespace quillby {

class BusySpinner;
class CutTextLabel;
class RichStatusLine;

// The duplicate page's results view: the category list with sizes, the header box and title
// line, the outline, the selection and "frees" lines, the buttons, and the deletion progress
// that takes the outline's place while copies are removed. Widgets only: DuplicatesPage binds
// them.
class DuplicateResultsView : public DuplicateViewPage {
    Q_OBJECT
  public:
    explicit DuplicateResultsView(QWidget* parent = nullptr);

    // The outline, or the deletion progress in its place.
    void showDeletion(bool deleting);

    QListWidget* categories() const { return categories_; }
    QCheckBox* headerBox() const { return headerBox_; }
    CutTextLabel* title() const { return title_; }
    // Filters the groups by name or path.
    QLineEdit* filterField() const { return filter_; }
    QTreeView* outline() const { return outline_; }
    RichStatusLine* selection() const { return selection_; }
    QLabel* freeLine() const { return freeLine_; }
    QPushButton* removeButton() const { return remove_; }
    QPushButton* linkButton() const { return link_; }
    QPushButton* openButton() const { return open_; }
    QPushButton* revealButton() const { return reveal_; }
    QPushButton* backButton() const { return back_; }
    QPushButton* chooseButton() const { return choose_; }
    QPushButton* searchAgainButton() const { return again_; }
    QLabel* deletingName() const { return deletingName_; }
    BusySpinner* spinner() const { return spinner_; }
    QPushButton* stopDeletionButton() const { return stopDeletion_; }

  private:
    QListWidget* categories_;
    QCheckBox* headerBox_;
    CutTextLabel* title_;
    QLineEdit* filter_;
    QStackedWidget* centre_;
    QTreeView* outline_;
    RichStatusLine* selection_;
    QLabel* freeLine_;
    QPushButton* remove_;
    QPushButton* link_;
    QPushButton* open_;
    QPushButton* reveal_;
    QPushButton* back_;
    QPushButton* choose_;
    QPushButton* again_;
    QLabel* deletingName_;
    BusySpinner* spinner_;
    QPushButton* stopDeletion_;
};

}  // namespace quillby
