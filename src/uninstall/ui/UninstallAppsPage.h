// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/events/Subscription.h"
#include "ui/GradientPage.h"
#include "ui/PageHost.h"
#include "uninstall/AppBackends.h"
#include "uninstall/UninstallPlanSheet.h"

class QCheckBox;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableView;
class QToolButton;

namespace quillby {

class Asker;
class BusySpinner;
class MainQueue;
class RichStatusLine;
class UninstallAppsController;
class UninstallAppsTableModel;
class UninstallPageModel;
class WorkRunner;

// What an UninstallAppsPage works with; every field has a default for the desktop program.
struct UninstallAppsPageOptions {
    // The machine; nothing: the process's folders and backends.
    std::optional<AppBackends> backends;
    // The once-per-run search flag; nullptr: the process-wide one.
    bool* searchStarted = nullptr;
    // Shows the confirmation and gives true for "Uninstall"; empty: the window-modal dialog.
    std::function<bool(const UninstallPlanSheet& sheet)> confirm;
};

// The "Uninstall Applications" page, row 8 of the "Scan" page's feature list: the three groups
// on the left, the table of applications, select-all, the count line, the uninstall and lock
// buttons and "Refresh". It binds an UninstallPageModel over an UninstallAppsController.
// Discovery starts the first time its row becomes current; measuring, asking for rights and
// removing run off the GUI thread, so the page answers while they run.
class UninstallAppsPage : public GradientPage {
    Q_OBJECT
  public:
    using Options = UninstallAppsPageOptions;

    // The bundle's asker asks before deleting what no trash can take (none: a window-modal
    // message box).
    explicit UninstallAppsPage(const PageNeeds& needs, Options options = {},
                               QWidget* parent = nullptr);
    ~UninstallAppsPage() override;

    // The feature list made this page current: discovery starts (once per run).
    void pageBecameCurrent();
    // The uninstall button: measures the plan on the worker, then confirms and removes.
    void uninstallClicked();
    // The "view" button of `row`: measures the application on the worker, then opens its sheet.
    void showDetails(int row);

    UninstallAppsController& controller() const;
    UninstallPageModel& model() const { return *model_; }
    UninstallAppsTableModel* tableModel() const { return tableModel_; }
    QTableView* table() const { return table_; }
    QListWidget* groups() const { return groups_; }
    QCheckBox* selectAll() const { return selectAll_; }
    QPushButton* uninstallButton() const { return uninstall_; }
    QToolButton* lockButton() const { return lock_; }
    QPushButton* refreshButton() const { return refresh_; }
    RichStatusLine* statusLine() const { return status_; }
    BusySpinner* spinner() const { return spinner_; }
    QProgressBar* progress() const { return progress_; }
    // Shown while a removal runs: the applications not begun yet stay.
    QPushButton* stopButton() const { return stop_; }
    WorkRunner& work() const { return *work_; }
    // The "view" button of a row (null when the row has none).
    QToolButton* detailsButton(int row) const;

    QSize sizeHint() const override;

  protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildGroups();
    void showGroups();
    void showItems();
    void buildDetailsButtons();
    void fitColumns();
    void showStatus();
    void showRemoving(bool removing);
    void placeSpinner();
    void confirmAndRemove(const UninstallPlanSheet& sheet);
    // Runs the removal of the marked applications through the kit's removal steps.
    void remove(const UninstallPlanSheet& sheet);
    void askRights(std::function<void(bool granted)> answered);
    void watchFeatureList();
    bool confirmWithDialog(const UninstallPlanSheet& sheet);

    MainQueue& mainQueue_;
    std::unique_ptr<UninstallAppsController> controller_;
    std::unique_ptr<UninstallPageModel> model_;
    std::shared_ptr<Asker> asker_;
    std::function<bool(const UninstallPlanSheet&)> confirm_;
    UninstallAppsTableModel* tableModel_;
    QListWidget* groups_;
    QTableView* table_;
    QCheckBox* selectAll_;
    QPushButton* refresh_;
    QToolButton* lock_;
    QPushButton* uninstall_;
    RichStatusLine* status_;
    QProgressBar* progress_;
    QPushButton* stop_;
    BusySpinner* spinner_;
    WorkRunner* work_;
    // The widths that cut no name and no identifier.
    int widestName_ = 0;
    int widestIdentifier_ = 0;
    QPointer<QWidget> watchedStack_;
    std::vector<Subscription> subscriptions_;
};

}  // namespace quillby
