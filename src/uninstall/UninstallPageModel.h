// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/apps/AppItems.h"
#include "core/work/BackgroundJob.h"
#include "uninstall/UninstallAppsController.h"
#include "uninstall/UninstallPlanSheet.h"

namespace quillby {

class PrivilegedAuthorization;

// What the uninstaller page does beyond the controller, without widgets: when discovery starts,
// the group rows, the table's columns and texts, the steps from the confirmation through the
// administrator rights to the removal, the lock button, and the progress line. The page's
// widgets only show it and pass clicks on; everything runs on the main thread, and the slow
// steps (measuring the plan, asking for rights) are handed to the page's worker.
class UninstallPageModel {
  public:
    // The row of the "Scan" page's feature list that shows the uninstaller.
    static constexpr int featureRow = 8;
    static constexpr const char* featureTitle = "Uninstall Applications";

    enum Column {
        CheckColumn,
        ViewColumn,
        NameColumn,
        IdentifierColumn,
        SystemColumn,
        ColumnCount
    };

    // What the page does after the confirmation was answered.
    enum class Next {
        Nothing,    // cancelled
        AskRights,  // ask for administrator rights on the worker, then rightsAnswered
        Remove,     // run the removal on the page's worker
    };

    UninstallPageModel(UninstallAppsController& controller, PrivilegedAuthorization& rights);

    UninstallAppsController& controller() const { return controller_; }
    PrivilegedAuthorization& rights() const { return rights_; }

    // The feature row `row` became current: the uninstaller's row starts discovery (once per
    // run; later calls do nothing).
    void featureRowBecameCurrent(int row);
    // "Refresh": discovery again, so that applications installed since appear.
    void refresh();

    // A click on group row `row` (posts "changeSelectCell"). False when it changed nothing:
    // before discovery has ended, while a removal runs, or for no such row.
    bool chooseGroup(int row);

    // The table.
    static const char* columnTitle(int column);
    // Sorts by a column's header; false for the columns that do not sort (check box, "view").
    bool sortByColumn(int column, bool ascending);
    // The name's secondary text: the version, or why the last removal failed.
    static std::string secondaryText(const AppItems& app);
    static std::string identifierText(const AppItems& app);
    // The check box's and the "view" button's names for assistive technology.
    static std::string markName(const AppItems& app);
    static std::string detailsName(const AppItems& app);

    // The confirmation of the uninstall button: nothing when no record on show is marked.
    // Otherwise the marked records and the question; the page measures their plan on its
    // worker (UninstallPlanSheet::measure with planner()) before showing it.
    struct Confirmation {
        std::vector<AppItems> apps;
        UninstallConfirmation question;
    };
    std::optional<Confirmation> confirmation() const;
    // A copy of the uninstaller, for measuring on a worker.
    UninstallApp planner() const { return controller_.uninstaller(); }

    // The confirmation's answer. Rights are asked by need, once per run: when a marked record
    // needs them and they are not held, the page asks on its worker and calls rightsAnswered.
    Next confirmationAnswered(bool uninstall);
    // The answer of the rights request made for a removal: granted, the flag is set and the
    // page runs the removal (true); refused, nothing is removed and the status line says so.
    bool rightsAnswered(bool granted);

    // The lock button was clicked: true when the page should ask for rights on its worker (they
    // are not held yet) and then call lockRightsAnswered.
    bool lockClicked() const;
    void lockRightsAnswered(bool granted);

    // The line shown while a removal runs: "Removing Vim (1 of 3)...".
    static std::string progressText(const JobProgress& progress);

  private:
    UninstallAppsController& controller_;
    PrivilegedAuthorization& rights_;
};

}  // namespace quillby
