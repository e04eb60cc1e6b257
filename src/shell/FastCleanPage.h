// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <vector>

#include "core/events/Subscription.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QStackedWidget;
class QVBoxLayout;

namespace quillby {

// The "Fast Clean" page: a feature list on the left and the chosen feature on the right, with a
// note (title and description) above it. Row 0 is the computer's overview, rows 1 to 6 the clean
// categories, 8 the uninstaller and 9 the free-space monitor; only the features that this build
// has are listed. Follows "shouldSelectRow" and remembers the row under "QWLastClickRow".
class FastCleanPage : public QWidget {
    Q_OBJECT
  public:
    explicit FastCleanPage(QWidget* parent = nullptr);
    ~FastCleanPage() override;

    // Adds the feature page of `row` to the list (rows stay in their number order). A
    // `rowWidget` is shown in the list in place of the plain title.
    void addFeature(int row, const QString& title, QWidget* page, QWidget* rowWidget = nullptr);
    // Shows `widget` over the row's title (a figure beside it); false when there is no such row.
    bool setRowWidget(int row, QWidget* widget);
    // Adds a row that only separates the rows before it from those after it.
    void addSeparator(int row);
    // Puts `bar` below the feature pages, whatever row is selected.
    void setBottomBar(QWidget* bar);
    // Shows the feature of `row`; false when this build has none.
    bool selectRow(int row);
    int selectedRow() const;
    // The note for a row: its title and text ("%@ space has been recovered ..." for row 0).
    void changeNoteText(int row);

    QLabel* noteTitle() const { return noteTitle_; }
    QLabel* noteText() const { return noteText_; }
    QListWidget* featureList() const { return list_; }

  signals:
    void rowSelected(int row);

  protected:
    // Space on a row with a check box clicks it: the list leaves keys to its row widgets.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void insertRow(int row, QListWidgetItem* item);
    void mirrorCheckBox(QListWidgetItem* item, QCheckBox* box);

    QListWidget* list_;
    QStackedWidget* pages_;
    QVBoxLayout* column_;
    QLabel* noteTitle_;
    QLabel* noteText_;
    std::map<int, QWidget*> features_;
    std::string bootTotal_, bootFree_;
    std::vector<Subscription> subscriptions_;
};

}  // namespace quillby
