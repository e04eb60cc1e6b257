// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/DiskUsageColumnBrowser.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cerrno>
#include <cstring>

#include "core/events/Log.h"
#include "core/text/UtilityFunction.h"
#include "core/work/AdministratorRightsFlag.h"
#include "core/work/Asker.h"
#include "core/work/PrivilegedAuthorization.h"
#include "diskusage/CheckedRemovalTexts.h"
#include "diskusage/DiskUsageRemoval.h"
#include "diskusage/ui/DiskUsageColumnBrowserModel.h"
#include "diskusage/ui/DiskUsageColumnBrowserRowDelegate.h"
#include "diskusage/ui/DiskUsageColumnBrowserView.h"
#include "platform/FileViewer.h"
#include "platform/Services.h"
#include "ui/BusySpinner.h"
#include "ui/ImageButton.h"
#include "ui/ImageProvider.h"
#include "ui/RichStatusLine.h"
#include "ui/WindowModalAsker.h"
#include "ui/WorkRunner.h"

namespace quillby {

namespace Texts = CheckedRemovalTexts;

struct DiskUsageColumnBrowser::Outcome {
    bool rightsHeld = true;
    std::vector<int> errors;  // per path, 0 when it went
};

namespace {

constexpr int kColumnWidth = 300;

// The user's own removal through the guarded disk-usage removal: no link is followed, neither
// on the way nor inside the item.
int removeWithoutRights(const std::string& path) {
    return DiskUsageRemoval::firstError(DiskUsageRemoval().removeItems({path}));
}

QString itemCount(std::size_t count) {
    return count == 1 ? QObject::tr("1 item") : QObject::tr("%1 items").arg(count);
}

}  // namespace

DiskUsageColumnBrowser::DiskUsageColumnBrowser(std::shared_ptr<Asker> asker,
                                               std::shared_ptr<FileViewer> viewer, QWidget* parent)
    : QWidget(parent),
      asker_(asker ? std::move(asker) : std::make_shared<WindowModalAsker>(this)),
      viewer_(viewer ? std::move(viewer) : Services::get<FileViewer>()),
      remover_(removeWithoutRights),
      rightsRequest_(
          [] { return PrivilegedAuthorization::sharedAuthorization().allocAuthorization(); }),
      rightsRemover_([](const std::string& path) {
          // The helper says why in the log; here it is what the rights could not do.
          return PrivilegedAuthorization::sharedAuthorization().removeItem(path) ? 0 : EPERM;
      }),
      model_(new DiskUsageColumnBrowserModel(this)),
      view_(new DiskUsageColumnBrowserView(this)),
      remove_(new QPushButton(tr("Remove"), this)),
      open_(imageButton(QStringLiteral("open.png"), tr("Open selected file"),
                        tr("Open the current item"))),
      reveal_(imageButton(QStringLiteral("search_file.png"), tr("Reveal selected file"),
                          tr("Show the current item in its folder"))),
      spinner_(new BusySpinner(this)),
      status_(new RichStatusLine(this)),
      removal_(new WorkRunner(this)),
      viewing_(new WorkRunner(this)) {
    setAccessibleName(tr("Disk usage columns"));
    view_->setModel(model_);
    view_->setItemDelegate(new DiskUsageColumnBrowserRowDelegate(view_));
    view_->setAccessibleName(tr("Items by size"));
    view_->setColumnWidths(QList<int>(64, kColumnWidth));
    remove_->setToolTip(tr("Remove selected file"));
    remove_->setAccessibleName(tr("Remove checked items"));
    status_->setAccessibleName(tr("Removal status"));

    removal_->setSpinner(spinner_);
    for (QWidget* control : std::initializer_list<QWidget*>{view_, remove_, open_, reveal_}) {
        removal_->addControl(control);
    }
    viewing_->addControl(open_);
    viewing_->addControl(reveal_);

    connect(remove_, &QPushButton::clicked, this, &DiskUsageColumnBrowser::removeCheckedItems);
    connect(open_, &QToolButton::clicked, this, &DiskUsageColumnBrowser::openItem);
    connect(reveal_, &QToolButton::clicked, this, &DiskUsageColumnBrowser::revealItem);
    connect(removal_, &WorkRunner::busyChanged, this, [this](bool busy) {
        if (!busy) refreshRemoveButton();
    });
    connect(view_, &DiskUsageColumnBrowserView::checkBoxClicked, model_,
            &DiskUsageColumnBrowserModel::clickCheckBox);
    connect(model_, &DiskUsageColumnBrowserModel::checksChanged, this, [this] {
        reloadColumns();
        emit checksChanged();
    });
    // A folder opened again shows its items with the state they take from it.
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && model_->nodeAt(current)->isDirectory) {
                    model_->reloadFolder(current);
                }
            });

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(remove_);
    bottom->addWidget(open_);
    bottom->addWidget(reveal_);
    bottom->addWidget(spinner_);
    bottom->addWidget(status_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 1);
    layout->addLayout(bottom);
    setRoot(nullptr);
}

DiskUsageColumnBrowser::~DiskUsageColumnBrowser() = default;

void DiskUsageColumnBrowser::setRoot(FSNode* root) {
    ++generation_;
    root_ = root;
    model_->setRoot(root);
    status_->clear();
    status_->setAccessibleDescription({});
    open_->setEnabled(root && !removal_->isBusy());
    reveal_->setEnabled(root && !removal_->isBusy());
    refreshRemoveButton();
}

void DiskUsageColumnBrowser::setScanRunning(bool running) {
    scanRunning_ = running;
    refreshRemoveButton();
}

void DiskUsageColumnBrowser::setPathRemover(FileSystemBrowserModel::PathRemover remover) {
    remover_ = std::move(remover);
}

void DiskUsageColumnBrowser::setRightsRemoval(RightsRequest request,
                                              FileSystemBrowserModel::PathRemover remover) {
    rightsRequest_ = std::move(request);
    rightsRemover_ = std::move(remover);
}

void DiskUsageColumnBrowser::refreshRemoveButton() {
    bool enabled = !removal_->isBusy() &&
                   FileSystemBrowserModel::removeButtonEnabled(root_, scanRunning_, root_);
    remove_->setEnabled(enabled);
    remove_->setIcon(ImageProvider::shared().icon(enabled ? QStringLiteral("remove.png")
                                                          : QStringLiteral("remove_d.png")));
}

void DiskUsageColumnBrowser::reloadColumns() {
    // The columns on show are the scanned folder's, then one per folder down to the current
    // item. From the first on, so that each folder has its state before its items ask for it.
    std::vector<QModelIndex> folders;
    QModelIndex current = view_->currentIndex();
    if (current.isValid() && model_->nodeAt(current)->isDirectory) folders.push_back(current);
    for (QModelIndex folder = current.parent(); folder.isValid(); folder = folder.parent()) {
        folders.push_back(folder);
    }
    folders.push_back({});
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        model_->reloadFolder(*folder);
    }
    refreshRemoveButton();
}

void DiskUsageColumnBrowser::removeCheckedItems() {
    if (!root_ || removal_->isBusy() ||
        !FileSystemBrowserModel::removeButtonEnabled(root_, scanRunning_, true)) {
        return;
    }
    std::vector<FSNode*> items = FileSystemBrowserModel::collectCheckedNodes(*root_);
    if (items.empty()) return;
    std::uint64_t generation = generation_;
    QPointer<DiskUsageColumnBrowser> alive(this);
    bool confirmed =
        asker_->askWithButtons(std::string(Texts::kQuestion), Texts::confirmationDetails(items),
                               std::string(Texts::kOK), std::string(Texts::kCancel));
    // The question waits in an event loop: the browser may have gone or its tree been replaced
    // meanwhile.
    if (!alive || !confirmed || generation != generation_ || removal_->isBusy()) return;
    startRemoval(std::move(items), false);
}

void DiskUsageColumnBrowser::startRemoval(std::vector<FSNode*> items, bool withRights) {
    std::vector<std::string> paths;
    paths.reserve(items.size());
    for (const FSNode* item : items) paths.push_back(item->path());
    auto remover = withRights ? rightsRemover_ : remover_;
    RightsRequest request = withRights ? rightsRequest_ : RightsRequest();
    std::uint64_t generation = generation_;
    status_->showMessage(tr("Removing %1…").arg(itemCount(paths.size())));
    removal_->run<Outcome>(
        [paths, remover, request] {
            Outcome outcome;
            if (request && !request()) {
                outcome.rightsHeld = false;
                return outcome;
            }
            outcome.errors = FileSystemBrowserModel::removePaths(paths, remover);
            return outcome;
        },
        [this, items = std::move(items), paths, generation, withRights](Outcome outcome) {
            applyOutcome(items, paths, outcome, generation, withRights);
        });
}

void DiskUsageColumnBrowser::applyOutcome(const std::vector<FSNode*>& items,
                                          const std::vector<std::string>& paths,
                                          const Outcome& outcome, std::uint64_t generation,
                                          bool withRights) {
    if (!outcome.rightsHeld) {
        status_->showMessage(tr("Administrator rights were not given; nothing more was removed."),
                             true);
        return;
    }
    if (withRights) AdministratorRightsFlag::set(true);
    std::vector<RemovalFailure> failures;
    std::uint64_t freed = 0;
    for (std::size_t i = paths.size(); i-- > 0;) {
        if (outcome.errors[i] != 0) {
            failures.push_back({paths[i], outcome.errors[i]});
        } else if (generation == generation_) {
            freed += items[i]->size;
        }
    }
    std::size_t removed = paths.size() - failures.size();
    // A tree replaced meanwhile is left alone; what could not go is still told.
    if (generation == generation_) {
        std::vector<std::string> trail = currentTrail();
        model_->beginTreeChange();
        FileSystemBrowserModel::applyRemovals(items, outcome.errors);
        ++generation_;
        model_->endTreeChange();
        followTrail(trail);
        emit itemsRemoved(freed);
    }
    for (const auto& failure : failures) {
        QWLog("Remove %s failed: %s", failure.path.c_str(), std::strerror(failure.error));
    }
    QString summary = tr("%1 removed, %2 freed.")
                          .arg(itemCount(removed),
                               QString::fromStdString(UtilityFunction::convertVolSpace(freed)));
    if (failures.empty()) {
        status_->showMessage(summary);
    } else {
        status_->showMessage(summary + QStringLiteral(" ") +
                                 tr("%1 could not be removed.").arg(itemCount(failures.size())),
                             true);
        bool offerRetry = !withRights && !Texts::permissionFailures(failures).empty();
        QTimer::singleShot(failureAlertDelay_, this,
                           [this, failures, offerRetry] { tellFailures(failures, offerRetry); });
    }
    refreshRemoveButton();
}

void DiskUsageColumnBrowser::tellFailures(const std::vector<RemovalFailure>& failures,
                                          bool offerRetry) {
    std::string message = Texts::failureMessage(failures);
    std::string details = Texts::failureDetails(failures, offerRetry);
    if (!offerRetry) {
        asker_->tell(message, details);
        return;
    }
    QPointer<DiskUsageColumnBrowser> alive(this);
    bool retry = asker_->askWithButtons(message, details, std::string(Texts::kRetryWithRights),
                                        std::string(Texts::kOK));
    if (alive && retry) retryWithRights(Texts::permissionFailures(failures));
}

void DiskUsageColumnBrowser::retryWithRights(const std::set<std::string>& paths) {
    if (!root_ || removal_->isBusy()) return;
    // The items are found again: only those still checked are tried.
    std::vector<FSNode*> items;
    for (FSNode* item : FileSystemBrowserModel::collectCheckedNodes(*root_)) {
        if (paths.count(item->path())) items.push_back(item);
    }
    if (!items.empty()) startRemoval(std::move(items), true);
}

std::vector<std::string> DiskUsageColumnBrowser::currentTrail() const {
    std::vector<std::string> trail;
    for (QModelIndex index = view_->currentIndex(); index.isValid(); index = index.parent()) {
        trail.insert(trail.begin(), model_->nodeAt(index)->displayName());
    }
    return trail;
}

void DiskUsageColumnBrowser::followTrail(const std::vector<std::string>& trail) {
    FSNode* folder = root_;
    QModelIndex deepest;
    for (const std::string& name : trail) {
        FSNode* next = nullptr;
        for (const auto& child : folder->children) {
            if (child->displayName() == name) {
                next = child.get();
                break;
            }
        }
        if (!next) break;
        deepest = model_->indexOf(next);
        folder = next;
    }
    if (deepest.isValid()) {
        view_->setCurrentIndex(deepest);
        view_->scrollTo(deepest);
    }
}

std::string DiskUsageColumnBrowser::itemPath() const {
    QModelIndex current = view_->currentIndex();
    if (current.isValid()) return model_->nodeAt(current)->path();
    return root_ ? root_->path() : std::string();
}

void DiskUsageColumnBrowser::openItem() {
    askViewer(&FileViewer::openFile, tr("\"%1\" could not be opened."));
}

void DiskUsageColumnBrowser::revealItem() {
    askViewer(&FileViewer::revealItem, tr("\"%1\" could not be shown."));
}

void DiskUsageColumnBrowser::askViewer(bool (FileViewer::*request)(const std::string&),
                                       const QString& failure) {
    std::string path = itemPath();
    if (path.empty()) return;
    auto viewer = viewer_;
    QString message = failure.arg(QString::fromStdString(path));
    viewing_->run<bool>([viewer, request, path] { return viewer && ((*viewer).*request)(path); },
                        [this, message](bool done) {
                            if (!done) status_->showMessage(message, true);
                        });
}

}  // namespace quillby
