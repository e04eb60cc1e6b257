// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/DiskUsageColumnBrowser.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/work/Asker.h"
#include "diskusage/DiskUsageRemoval.h"
#include "diskusage/ui/DiskUsageColumnBrowserModel.h"
#include "diskusage/ui/DiskUsageColumnBrowserRowDelegate.h"
#include "diskusage/ui/DiskUsageColumnBrowserView.h"
#include "diskusage/ui/DiskUsageItemMenu.h"
#include "diskusage/ui/PageParts.h"
#include "platform/FileViewer.h"
#include "platform/Services.h"
#include "ui/BusySpinner.h"
#include "ui/ImageButton.h"
#include "ui/ImageProvider.h"
#include "ui/RichStatusLine.h"
#include "ui/WindowModalAsker.h"
#include "ui/WindowStyle.h"
#include "ui/WorkRunner.h"

namespace quillby {

namespace {

constexpr int kColumnWidth = 300;

QString itemCount(std::size_t count) {
    return count == 1 ? QObject::tr("1 item") : QObject::tr("%1 items").arg(count);
}

}  // namespace

DiskUsageColumnBrowser::DiskUsageColumnBrowser(std::shared_ptr<Asker> asker,
                                               std::shared_ptr<FileViewer> viewer, QWidget* parent)
    : QWidget(parent),
      asker_(asker ? std::move(asker) : std::make_shared<WindowModalAsker>(this)),
      viewer_(viewer ? std::move(viewer) : Services::get<FileViewer>()),
      // The guarded removal: no link is followed, neither on the way nor inside the item.
      remover_(DiskUsageRemoval().pathRemover()),
      rights_(DiskUsageRemoval().rightsRemover()),
      model_(new DiskUsageColumnBrowserModel(this)),
      view_(new DiskUsageColumnBrowserView(this)),
      remove_(new QPushButton(tr("Remove"), this)),
      open_(imageButton(QStringLiteral("open.png"), tr("Open selected file"),
                        tr("Open the current item"))),
      reveal_(imageButton(QStringLiteral("search_file.png"), tr("Reveal selected file"),
                          tr("Show the current item in its folder"))),
      sortByChange_(new QToolButton(this)),
      gone_(new QLabel(this)),
      spinner_(new BusySpinner(this)),
      status_(new RichStatusLine(this)),
      removal_(new WorkRunner(this)),
      viewing_(new WorkRunner(this)),
      itemMenu_(new DiskUsageItemMenu(this)) {
    stop_ = PageParts::stopButton(*removal_, this);
    setAccessibleName(tr("Disk usage columns"));
    view_->setModel(model_);
    view_->setItemDelegate(new DiskUsageColumnBrowserRowDelegate(view_));
    view_->setAccessibleName(tr("Items by size"));
    view_->setColumnWidths(QList<int>(64, kColumnWidth));
    remove_->setToolTip(tr("Remove selected file"));
    remove_->setAccessibleName(tr("Remove checked items"));
    status_->setAccessibleName(tr("Removal status"));

    removal_->setSpinner(spinner_);
    for (QWidget* control :
         std::initializer_list<QWidget*>{view_, remove_, open_, reveal_, sortByChange_}) {
        removal_->addControl(control);
    }
    viewing_->addControl(open_);
    viewing_->addControl(reveal_);
    sortByChange_->setText(tr("Most Grown First"));
    sortByChange_->setCheckable(true);
    sortByChange_->setToolTip(tr("List each folder's items by their change since the last scan"));
    sortByChange_->setAccessibleName(tr("Sort by change since the last scan"));
    sortByChange_->hide();
    gone_->setWordWrap(true);
    gone_->setAccessibleName(tr("Items gone since the last scan"));
    gone_->setStyleSheet(QStringLiteral("color: %1;").arg(WindowStyle::secondaryText().name()));
    gone_->hide();
    connect(sortByChange_, &QToolButton::toggled, model_,
            &DiskUsageColumnBrowserModel::setSortByChange);

    // A right click makes its row current first, so the menu is the current item's.
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this, [this] {
        if (QMenu* menu = itemMenu()) menu->popup(QCursor::pos());
    });
    connect(itemMenu_, &DiskUsageItemMenu::actionFailed, this,
            [this](const QString& message) { status_->showMessage(message, true); });
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
                showGone(current);
            });

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(remove_);
    bottom->addWidget(open_);
    bottom->addWidget(reveal_);
    bottom->addWidget(sortByChange_);
    bottom->addWidget(spinner_);
    bottom->addWidget(stop_);
    bottom->addWidget(status_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 1);
    layout->addWidget(gone_);
    layout->addLayout(bottom);
    setRoot(nullptr);
}

DiskUsageColumnBrowser::~DiskUsageColumnBrowser() = default;

void DiskUsageColumnBrowser::setRoot(FSNode* root, const ItemTreeChanges* changes) {
    ++generation_;
    root_ = root;
    model_->setRoot(root, changes);
    sortByChange_->setVisible(changes != nullptr);
    showGone({});
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

void DiskUsageColumnBrowser::setRemovers(PathRemover remover, RightsRemoval rights) {
    remover_ = std::move(remover);
    rights_ = std::move(rights);
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
    RemovalConversation::Plan plan;
    for (std::size_t i = 0; i < items.size(); ++i) {
        plan.items.push_back({items[i]->path(), items[i]->size, i});
    }
    auto conversation = std::make_shared<RemovalConversation>(std::move(plan));
    std::uint64_t generation = generation_;
    QPointer<DiskUsageColumnBrowser> alive(this);
    bool confirmed = conversation->confirm(*asker_);
    // The question waits in an event loop: the browser may have gone or its tree been replaced
    // meanwhile.
    if (!alive || !confirmed || generation != generation_ || removal_->isBusy()) return;

    status_->showMessage(tr("Removing %1…").arg(itemCount(items.size())));
    RemovalSteps steps;
    steps.work = removal_;
    steps.asker = asker_;
    steps.removeByPath(remover_, rights_);
    // The tree the plan was made on, followed through the plan's own changes.
    auto planned = std::make_shared<std::uint64_t>(generation);
    steps.applied = [this, items, planned](const RemovalConversation& done,
                                           const std::vector<std::size_t>& nowGone) {
        applyGone(items, done, nowGone, *planned);
    };
    steps.progress = [this](const JobProgress& progress) {
        if (progress.currentPath.empty()) return;
        status_->showMessage(tr("Removing %1 of %2: %3")
                                 .arg(progress.done + 1)
                                 .arg(progress.total)
                                 .arg(QString::fromStdString(progress.currentPath)));
    };
    steps.finished = [this](const RemovalConversation& done) {
        status_->showMessage(QString::fromStdString(done.closingLine()),
                             done.failedCount() + done.untried() > 0);
        refreshRemoveButton();
    };
    steps.start(std::move(conversation));
}

void DiskUsageColumnBrowser::applyGone(const std::vector<FSNode*>& items,
                                       const RemovalConversation& conversation,
                                       const std::vector<std::size_t>& nowGone,
                                       std::uint64_t& generation) {
    // A tree replaced meanwhile is left alone; what could not go is still told.
    if (generation != generation_) return;
    std::vector<FSNode*> nodes;
    std::vector<RemovalOutcome> outcomes;
    for (std::size_t index : nowGone) {
        nodes.push_back(items[conversation.triedItem(index).tag]);
        outcomes.push_back(conversation.outcomes()[index]);
    }
    std::vector<std::string> trail = currentTrail();
    model_->beginTreeChange();
    std::uint64_t freed = FileSystemBrowserModel::applyRemovals(nodes, outcomes);
    // The tree changed: this plan's later steps apply to it still, an older plan no more.
    generation = ++generation_;
    model_->endTreeChange();
    followTrail(trail);
    emit itemsRemoved(freed);
    refreshRemoveButton();
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

QMenu* DiskUsageColumnBrowser::itemMenu() {
    std::string path = itemPath();
    if (path.empty()) return nullptr;
    QModelIndex current = view_->currentIndex();
    bool isFolder = !current.isValid() || model_->nodeAt(current)->isDirectory;
    return itemMenu_->menuFor(path, isFolder, true, this);
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

void DiskUsageColumnBrowser::showGone(const QModelIndex& current) {
    const ItemTreeChanges* changes = model_->changes();
    const FSNode* node = current.isValid() ? model_->nodeAt(current) : root_;
    const FSNode* folder = node && !node->isDirectory ? node->father : node;
    std::string text;
    if (changes && folder) {
        text = EarlierScan::goneText(changes->goneFrom(folder), "item", "items", "the last scan");
    }
    gone_->setText(QString::fromStdString(text));
    gone_->setVisible(!text.empty());
}

}  // namespace quillby
