// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "duplicates/DuplicateReview.h"
#include "duplicates/DuplicateSearchChoices.h"
#include "duplicates/DuplicateSearchSession.h"
#include "ui/PageHost.h"
#include "ui/RemovalSteps.h"
#include "ui/model/RemovalConversation.h"

class QModelIndex;
class QTimer;

namespace quillby {

class Asker;
class DuplicateOptionsView;
class DuplicateOutlineModel;
class DuplicateResultsModel;
class DuplicateResultsView;
class DuplicateScanningView;
class DuplicateStartView;
class FileViewer;
class JobContext;
class WorkRunner;

// The "Duplicates" page: the start view, the scanning view and the results view (identifiers
// "duplicates_file", "QC_Duplicates" and "DATA_Duplicates"), bound to a DuplicateSearchSession
// and a DuplicateResultsModel. Searching and removing run on workers; the tree changes on the
// GUI thread. The views are separate pages of the window, which shows the page's view only while
// the duplicate tool is the one on show.
class DuplicatesPage : public QObject {
    Q_OBJECT
  public:
    enum View { StartView = 0, ScanningView = 1, ResultsView = 2 };

    explicit DuplicatesPage(const PageNeeds& needs, QObject* parent = nullptr);
    ~DuplicatesPage() override;

    DuplicateStartView* startView() const;
    DuplicateScanningView* scanningView() const;
    DuplicateResultsView* resultsView() const;
    DuplicateOptionsView* optionsView() const { return options_; }
    // The options the next search runs with (the keep-in folders are this page's own).
    DuplicateSearchChoices& choices() { return *choices_; }
    // Registers the three views with the window and lets the page switch between them.
    void registerWith(PageHost& host);
    View currentView() const { return view_; }
    // Where the settings come from (the options view's choices by default).
    void setSettingsSource(std::function<DuplicateSearchSettings()> source) {
        settings_ = std::move(source);
    }

    // "Select scan path": the sheet "Choose a path to search".
    void chooseFolder();
    // Searches a folder (chosen or dropped).
    void searchFolder(const std::string& folder);
    // "Open selected file" and "Reveal selected file in finder" for the outline's current row
    // (on a group row, its first member); they run on a worker.
    void openCurrentRow();
    void revealCurrentRow();
    // "Stop Scan".
    void stopSearch();
    // Shows a category row (0 "All" ... 6 "Others").
    void showCategory(int row);
    // Shows only the groups whose name or member paths hold `text`, case aside.
    void filterGroups(const QString& text);
    // A click on a check box of the outline (a group's or a member's).
    void clickCheck(const TreeNode::Ptr& node);
    // The header box: tick every copy but one of each group, or untick all.
    void clickHeaderBox();
    // "Remove selected file": asks, then moves the ticked copies to the trash (or deletes them
    // for good, when the user chose so) on a worker; offers deletion for good of what no trash
    // can take and a retry with administrator rights, then reports.
    void removeSelected();
    // "Replace with links": asks, with the choice of hard links or reflinks, then replaces the
    // ticked copies with links to the copies that stay on a worker, and reports each copy that
    // kept its own content with the reason.
    void replaceSelected();
    // Stops a removal (or a replacement) before its next copy.
    void stopRemoval();
    bool isSearching() const { return session_->isRunning(); }
    bool isRemoving() const { return removing_; }

    DuplicateResultsModel* results() const { return model_.get(); }
    DuplicateOutlineModel* outline() const { return outline_; }

  signals:
    // A removal has ended and the views show its outcome.
    void removalFinished();
    // A search has ended and its results are shown.
    void searchFinished();

  private:
    void switchTo(View view);
    void showSearchResult(DuplicateSearchSession::Result result);
    void refreshCategories();
    void refreshSelection();
    void refreshOutline();
    void sortBy(int column);
    void actOnCurrentRow(bool reveal);
    struct Removal;
    struct Linking;
    // Runs a confirmed conversation over the ticked `members` of `model` on the worker; the
    // trees follow its outcomes once every step is over, and `closing` gives the line then.
    void runConversation(std::shared_ptr<RemovalConversation> conversation,
                         std::shared_ptr<DuplicateResultsModel> model,
                         const std::vector<TreeNode::Ptr>& members,
                         RemovalConversation::Remover remover, RemovalSteps::RightsRemoval rights,
                         std::function<std::string(const RemovalConversation&)> closing);
    void showRemoving(bool removing);
    // Runs one step of the removal as a job of the page, then `next` on the GUI thread.

    std::shared_ptr<Asker> asker_;
    std::shared_ptr<FileViewer> viewer_;
    std::unique_ptr<DuplicateSearchSession> session_;
    std::unique_ptr<DuplicateSearchChoices> choices_;
    std::shared_ptr<DuplicateResultsModel> model_;
    std::function<void(int view)> switcher_;
    std::function<DuplicateSearchSettings()> settings_;
    QPointer<DuplicateStartView> start_;
    QPointer<DuplicateScanningView> scanning_;
    QPointer<DuplicateResultsView> results_;
    DuplicateOptionsView* options_;  // a child of the start view
    DuplicateOutlineModel* outline_;
    QTimer* poll_;
    WorkRunner* work_;
    View view_ = StartView;
    std::string searchPath_;
    DuplicateSearchSettings searchedWith_;
    bool removing_ = false;
};

}  // namespace quillby
