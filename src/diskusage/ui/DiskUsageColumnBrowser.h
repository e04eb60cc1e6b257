// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "diskusage/DiskUsageRemoval.h"
#include "diskusage/FileSystemBrowserModel.h"
#include "ui/RemovalSteps.h"

class QLabel;
class QMenu;
class QPushButton;
class QToolButton;

namespace quillby {

class Asker;
class ItemTreeChanges;
class BusySpinner;
class DiskUsageColumnBrowserModel;
class DiskUsageColumnBrowserView;
class DiskUsageItemMenu;
class FileViewer;
class RemovalConversation;
class RichStatusLine;
class WorkRunner;

// The disk-usage tool's column browser: the item tree of a scanned folder in columns, each
// folder's items largest first with a three-state check box, and removal of the checked items.
// Removal goes through the removal conversation: it asks whether to move the items to the trash
// (or delete them for good), runs on a worker through the path remover, offers to delete what no
// trash could take and to retry with administrator rights what lacked them, and names what could
// not go with its reason; Stop ends it before its next item. After each step the folders of the
// items that went shrink, the states follow and the columns reload. Open and reveal act on the
// current item, on a worker, and so does its context menu (copy path, open a terminal there).
class DiskUsageColumnBrowser : public QWidget {
    Q_OBJECT
  public:
    using PathRemover = DiskUsageRemoval::PathRemover;
    using RightsRemoval = std::function<DiskUsageRemoval::PrivilegedRemover()>;

    // `asker` and `viewer` default to window-modal message boxes and the installed file viewer.
    explicit DiskUsageColumnBrowser(std::shared_ptr<Asker> asker = nullptr,
                                    std::shared_ptr<FileViewer> viewer = nullptr,
                                    QWidget* parent = nullptr);
    ~DiskUsageColumnBrowser() override;

    // Shows the tree under `root`, whose items are its top-level items; none shows an empty
    // browser. The tree stays the caller's: it must outlive its showing here (set another root
    // before releasing it) and change only through this browser while shown. With `changes`,
    // each row also says its change since the place's previous scan.
    void setRoot(FSNode* root, const ItemTreeChanges* changes = nullptr);
    FSNode* root() const { return root_; }
    // While a scan runs the remove button stays off.
    void setScanRunning(bool running);
    // The removal as the user and with administrator rights. Default: the guarded disk-usage
    // removal from "/" and the privileged helper.
    void setRemovers(PathRemover remover, RightsRemoval rights);

    // The remove button's action: asks, then removes the checked items on the worker.
    void removeCheckedItems();
    // Asks every column on show for its items again and redraws them, and refreshes the
    // remove button.
    void reloadColumns();
    // Enables the remove button by removeButtonEnabled.
    void refreshRemoveButton();
    // The item open and reveal act on: the current item, else the scanned folder.
    std::string itemPath() const;
    // Opens the item by the safe open rule, or shows it in its folder, on a worker.
    void openItem();
    void revealItem();
    // The current item's context menu (DiskUsageItemMenu); nullptr with nothing shown.
    QMenu* itemMenu();
    DiskUsageItemMenu& itemActions() const { return *itemMenu_; }

    DiskUsageColumnBrowserView* columnView() const { return view_; }
    DiskUsageColumnBrowserModel* model() const { return model_; }
    QPushButton* removeButton() const { return remove_; }
    // Shown while a removal runs: it stops the removal before its next item.
    QPushButton* stopButton() const { return stop_; }
    QToolButton* openButton() const { return open_; }
    QToolButton* revealButton() const { return reveal_; }
    // Shown when the rows say their change since the place's previous scan: checked, each
    // column lists its items most grown first.
    QToolButton* sortByChangeButton() const { return sortByChange_; }
    // What the folder shown last had at the previous scan and has no more ("2 items gone since
    // the last scan (1.20 GB): cache, old"); hidden when nothing went.
    QLabel* goneLine() const { return gone_; }
    RichStatusLine* statusLine() const { return status_; }
    // The removal's worker (tests wait on it).
    WorkRunner& work() const { return *removal_; }

  signals:
    // Check states changed (the tool may refresh its own buttons).
    void checksChanged();
    // A removal was applied to the tree: `bytes` left it.
    void itemsRemoved(quint64 bytes);

  private:
    // Names what went from the folder whose items `current` shows (the root's when invalid).
    void showGone(const QModelIndex& current);
    // Applies the items of `items` that went in a step (`nowGone`, by their index in it) to the
    // tree, when it is still the one they were planned on (`generation`, which follows the
    // change).
    void applyGone(const std::vector<FSNode*>& items, const RemovalConversation& conversation,
                   const std::vector<std::size_t>& nowGone, std::uint64_t& generation);
    // The names of the folders from the first column to the current item.
    std::vector<std::string> currentTrail() const;
    void followTrail(const std::vector<std::string>& trail);
    void askViewer(bool (FileViewer::*request)(const std::string&), const QString& failure);

    std::shared_ptr<Asker> asker_;
    std::shared_ptr<FileViewer> viewer_;
    PathRemover remover_;
    RightsRemoval rights_;
    FSNode* root_ = nullptr;
    // Counts replacements and changes of the tree, so that a late result never touches a tree
    // that is not the one it was planned on.
    std::uint64_t generation_ = 0;
    bool scanRunning_ = false;
    DiskUsageColumnBrowserModel* model_;
    DiskUsageColumnBrowserView* view_;
    QPushButton* remove_;
    QPushButton* stop_;
    QToolButton* open_;
    QToolButton* reveal_;
    QToolButton* sortByChange_;
    QLabel* gone_;
    BusySpinner* spinner_;
    RichStatusLine* status_;
    WorkRunner* removal_;
    WorkRunner* viewing_;
    DiskUsageItemMenu* itemMenu_;
};

}  // namespace quillby
