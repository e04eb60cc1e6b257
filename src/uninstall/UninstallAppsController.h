// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/apps/AppItems.h"
#include "core/events/Observable.h"
#include "core/events/Subscription.h"
#include "core/fs/RemovalOutcome.h"
#include "core/work/BackgroundJob.h"
#include "uninstall/AppBackends.h"
#include "uninstall/UninstallApp.h"
#include "uninstall/UninstallTexts.h"

namespace quillby {

class MainQueue;

// The status line under the application list.
struct UninstallStatusLine {
    bool visible = false;
    std::string text;
    // The whole text when `text` is cut short; empty otherwise.
    std::string toolTip;
    // For the count form ("%d of %d selected."): the two numbers, drawn in their own colour;
    // -1 for the result texts.
    int selected = -1;
    int total = -1;
};

// The uninstaller page without its widgets: the discovered applications, the group on show,
// the check marks, the counts and button states, the confirmation, the authorization step and
// what a removal does to the lists. Every operation runs on the main thread; discovery runs on a
// worker, and a removal on its starter's (removeApp is safe there).
class UninstallAppsController {
  public:
    struct Options {
        AppBackends backends;
        // The queue that gets the search's completion; nullptr: the starting thread's.
        MainQueue* mainQueue = nullptr;
        // The once-per-run search flag; nullptr: the process-wide one.
        bool* searchStarted = nullptr;
    };

    explicit UninstallAppsController(Options options);
    ~UninstallAppsController();
    UninstallAppsController(const UninstallAppsController&) = delete;
    UninstallAppsController& operator=(const UninstallAppsController&) = delete;

    // The records of the group on show, in table order, announced on every change.
    Observable<std::vector<AppItems>> allApplications;
    Observable<bool> searchFinished{false};
    // The spinning indicator during the search.
    Observable<bool> searching{false};
    Observable<UninstallStatusLine> statusLine;
    Observable<bool> uninstallEnabled{false};
    Observable<bool> selectAllOn{false};
    // The lock button: on while the shared rights flag is set.
    Observable<bool> lockOn{false};

    int nowSelectRow = 0;  // the group on show: 0 all, 1 system, 2 the others
    int selectRow = 0;     // the highlighted row of the table
    bool isScaned = false;

    // Every discovered record, in discovery order (removed ones leave it).
    const std::vector<AppItems>& searchAllAppArr() const { return records_; }

    // Starts discovery on a worker, once per run: every later call does nothing. Clears the
    // select-all box and shows the indicator.
    void beginSearchApps();
    // Runs discovery again (the page's "Refresh", and after every removal), keeping the group
    // on show and the marks and reasons of records whose removal failed. Nothing while a
    // removal runs.
    void refreshApps();
    // The search's end: publishes `found` as every record and as the group on show, gives the
    // uninstaller their identifiers (UninstallApp::setInstalledIdentifiers), marks the page
    // searched and hides the indicator. The command line calls it with its own discovery.
    void searchAppsFinished(std::vector<AppItems> found);

    // Shows group `row` (ignored until the search has finished): the highlighted row goes back
    // to 0, the group's records are shown in discovery order and the count is redone. Observes
    // "changeSelectCell" ("UninstallRowNumber").
    void changeSelectCell(int row);
    // The left list's background image for group `row`.
    std::string groupRowImage(int row) const;

    // Recounts: the status line reads "%d of %d selected." unless `uninstalled` (the result
    // text stays), and the uninstall button follows. Observes "uninstallShowSelectNumInBottom".
    void uninstallShowSelectNumInBottom(bool uninstalled);
    // The select-all box set to `on`: every record on show follows (others keep their marks).
    void selectAllList(bool on);
    // The check box of `row` was clicked: flips that record's mark.
    void setObjectValueForCheckBox(int row);
    // The uninstall button is enabled exactly when a record on show is marked; the select-all
    // box is on when all are (an empty list counts as all).
    void getSelectAllOrNull();
    // The marked records on show, in table order; nothing when none is marked.
    std::optional<std::vector<AppItems>> getAllSelectApp() const;
    // Makes `row` the highlighted row.
    void selectRowAt(int row);
    // Re-sorts the records on show by a column ("Name", "buddleid", "System App").
    void sortApplications(std::string_view column, bool ascending);

    // The confirmation for the uninstall button; it names system applications when one of
    // the marked records on show is one.
    UninstallConfirmation showAlertForUninstall() const;

    // The marked records on show about to be removed (the program's own entry left out).
    struct RemovalBatch {
        std::vector<std::size_t> indexes;  // into the records
        std::vector<AppItems> apps;
        bool skippedOwn = false;
    };
    // Takes the marked records on show for a removal: marks and group changes wait until
    // finishRemoval (removingNow is on meanwhile).
    RemovalBatch beginRemoval();
    // Removes one application with `uninstaller` (this controller's or a worker's copy): gone,
    // or failed with every reason its steps gave, marked as one administrator rights may
    // overcome when a step needed the rights that were not held.
    static RemovalOutcome removeApp(UninstallApp& uninstaller, const AppItems& app);
    // Applies the outcomes of a batch (outcome i is app i's; apps past the outcomes were not
    // tried): a removed record leaves the lists, a failed or untried one stays marked with its
    // reason. The status line shows the result, with `note` (what a stop
    // left, say) after a failure. True when every marked application went.
    bool finishRemoval(const RemovalBatch& batch, const std::vector<RemovalOutcome>& outcomes,
                       const std::string& note = {});
    // On while a removal runs: marks and group changes wait until it ends.
    Observable<bool> removingNow{false};

    // True when a marked record on show needs administrator rights to go (the program's own
    // entry aside) and the shared rights are not held yet: they are asked for first.
    bool rightsNeededFirst() const;
    // The user refused the rights a removal needed: nothing is removed, the marks stay and the
    // status line shows the failure.
    void rightsRefused();
    // The whole removal of the marked records on show, on the calling thread (the command
    // line's): beginRemoval, removeApp for each, finishRemoval. True when all went.
    bool uninstallActionfromBottomButton();
    // The removal itself, for its settings (permanent removal, the question before deleting
    // what no trash can take) and its plan.
    UninstallApp& uninstaller() { return uninstaller_; }
    const UninstallApp& uninstaller() const { return uninstaller_; }
    // Follows the shared rights flag. Observes "changeLockState".
    void changeLockState();

    // Why removals failed, one line each.
    const std::vector<std::string>& failures() const { return uninstaller_.failures(); }

  private:
    // True when a marked record on show needs administrator rights to go (the program's own
    // entry aside).
    bool markedNeedRights() const;
    void publish();
    std::size_t markedOnShow() const;
    // The status line after a removal; `why` says what stopped it before it began.
    void showResult(bool succeeded, const std::string& why = {});

    AppBackends backends_;
    MainQueue* mainQueue_;
    bool* searchStarted_;
    UninstallApp uninstaller_;
    std::vector<AppItems> records_;
    std::vector<std::size_t> shown_;  // indexes into records_ of the rows on show
    std::vector<Subscription> subscriptions_;
    bool removing_ = false;
    std::uint64_t searches_ = 0;  // only the latest discovery's result is published
    // Last: a discovery's result arriving after this controller has gone is dropped.
    JobOwner jobs_;
};

}  // namespace quillby
