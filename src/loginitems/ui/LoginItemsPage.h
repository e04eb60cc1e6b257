// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "core/events/Subscription.h"
#include "loginitems/LoginItemDropRules.h"
#include "ui/GradientPage.h"
#include "ui/PageHost.h"

class QPushButton;
class QTableView;
class QToolButton;

namespace quillby {

class Asker;
class BusySpinner;
class FileViewer;
class LoginItemController;
class LoginItemsTableModel;
class RichStatusLine;
class WorkRunner;

// The "Login Items" page: the user's login items with "Start at login", reveal, open and remove
// for each, "Add login item", and drops of files or rows on the table. It binds a
// LoginItemController, which watches the list, so the table follows changes made elsewhere.
// Revealing and opening run on a worker; questions go through the Asker.
class LoginItemsPage : public GradientPage {
    Q_OBJECT
  public:
    explicit LoginItemsPage(const PageNeeds& needs, QWidget* parent = nullptr);
    ~LoginItemsPage() override;

    // Adds files as the open panel's "Choose" does (questions and failures included).
    void addChosenItems(const std::vector<std::string>& paths);
    // Opens the open panel "Choose a login item".
    void chooseLoginItems();

    QTableView* table() const { return table_; }
    LoginItemsTableModel* model() const { return model_; }
    LoginItemController& controller() const { return *controller_; }
    QPushButton* addButton() const { return add_; }
    RichStatusLine* statusLine() const { return status_; }
    // Runs reveal, open, showing, hiding and removing off the GUI thread.
    WorkRunner& work() const { return *work_; }
    // The reveal, open and remove buttons of a row (null when the row has none).
    QToolButton* rowButton(int row, int which) const;
    enum RowButton { RevealButton = 0, OpenButton = 1, RemoveButton = 2 };

    QSize sizeHint() const override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showItems();
    void buildRowButtons();
    void toggle(int row);
    // Asks, then removes the row's entry on the worker.
    void remove(int row);
    bool drop(const LoginItemDrop& drop, int row);
    // Shows or opens an item on a worker; `failure` goes to the status line when it fails.
    void askViewer(bool (FileViewer::*request)(const std::string&), const std::string& path,
                   const QString& failure);

    std::unique_ptr<LoginItemController> controller_;
    std::shared_ptr<Asker> asker_;
    std::shared_ptr<FileViewer> viewer_;
    LoginItemsTableModel* model_;
    QTableView* table_;
    QPushButton* add_;
    BusySpinner* spinner_;
    RichStatusLine* status_;
    WorkRunner* work_;
    Subscription itemsChanged_;
};

}  // namespace quillby
