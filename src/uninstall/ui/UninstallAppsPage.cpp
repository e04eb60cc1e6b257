// SPDX-License-Identifier: GPL-3.0-or-later
#include "uninstall/ui/UninstallAppsPage.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>

#include "core/work/Asker.h"
#include "core/work/MainQueue.h"
#include "core/work/PrivilegedAuthorization.h"
#include "ui/AppItemCellDelegate.h"
#include "ui/BusySpinner.h"
#include "ui/ImageButton.h"
#include "ui/ImageProvider.h"
#include "ui/PageHost.h"
#include "ui/RemovalSteps.h"
#include "ui/RichStatusLine.h"
#include "ui/RowTable.h"
#include "ui/ThreeStateCheckDelegate.h"
#include "ui/WindowModalAsker.h"
#include "ui/WindowStyle.h"
#include "ui/WorkRunner.h"
#include "uninstall/AppDetails.h"
#include "uninstall/UninstallAppsController.h"
#include "uninstall/UninstallGroups.h"
#include "uninstall/UninstallPageModel.h"
#include "uninstall/ui/AppDetailsDialog.h"
#include "uninstall/ui/UninstallAppsTableModel.h"
#include "uninstall/ui/UninstallConfirmDialog.h"

namespace quillby {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

// A group row's backdrop: the row image stretched over the row.
QBrush rowBackdrop(const std::string& image, QSize size) {
    return QBrush(QPixmap::fromImage(ImageProvider::shared().image(text(image)))
                      .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

constexpr int kGroupRowHeight = 36;
constexpr int kSpinnerSide = 30;

}  // namespace

UninstallAppsPage::UninstallAppsPage(const PageNeeds& needs, Options options, QWidget* parent)
    : GradientPage(parent),
      mainQueue_(*needs.queue),
      asker_(needs.asker ? needs.asker : std::make_shared<WindowModalAsker>(this)),
      confirm_(std::move(options.confirm)),
      tableModel_(new UninstallAppsTableModel(this)),
      groups_(new QListWidget(this)),
      table_(new QTableView(this)),
      selectAll_(new QCheckBox(tr("Select all"), this)),
      refresh_(new QPushButton(tr("Refresh"), this)),
      lock_(new QToolButton(this)),
      uninstall_(new QPushButton(tr("Uninstall"), this)),
      status_(new RichStatusLine(this)),
      progress_(new QProgressBar(this)),
      stop_(new QPushButton(tr("Stop"), this)),
      spinner_(new BusySpinner(this)),
      work_(new WorkRunner(this)) {
    UninstallAppsController::Options controllerOptions{
        .backends = options.backends ? std::move(*options.backends) : AppBackends::fromServices(),
        .mainQueue = &mainQueue_,
        .searchStarted = options.searchStarted};
    PrivilegedAuthorization& rights = controllerOptions.backends.rights();
    controller_ = std::make_unique<UninstallAppsController>(std::move(controllerOptions));
    model_ = std::make_unique<UninstallPageModel>(*controller_, rights);
    // The removal runs on a worker; the question it may need is put on the GUI thread.
    controller_->uninstaller().confirmPermanentRemoval = [queue = &mainQueue_,
                                                          asker = asker_](const std::string& path) {
        bool agreed = false;
        queue->invokeAndWait(
            [&] { agreed = asker->askYesNo(path + UninstallTexts::noTrashQuestion, ""); });
        return agreed;
    };
    setAccessibleName(tr("Uninstall Applications"));

    buildGroups();
    RowTable::setUp(*table_);
    table_->setModel(tableModel_);
    table_->setAccessibleName(tr("Applications"));
    table_->setItemDelegateForColumn(UninstallPageModel::CheckColumn,
                                     new ThreeStateCheckDelegate(table_));
    table_->setItemDelegateForColumn(UninstallPageModel::NameColumn,
                                     new AppItemCellDelegate(table_));
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    for (int column : {UninstallPageModel::CheckColumn, UninstallPageModel::ViewColumn,
                       UninstallPageModel::SystemColumn}) {
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    // Names come first: the identifier column is sized by fitColumns and elides in the middle.
    header->setSectionResizeMode(UninstallPageModel::IdentifierColumn, QHeaderView::Interactive);
    header->setSectionResizeMode(UninstallPageModel::NameColumn, QHeaderView::Stretch);
    table_->setTextElideMode(Qt::ElideMiddle);
    table_->viewport()->installEventFilter(this);
    // The columns sized to their contents settle after the rows are laid out.
    connect(header, &QHeaderView::sectionResized, this, [this](int column) {
        if (column != UninstallPageModel::IdentifierColumn &&
            column != UninstallPageModel::NameColumn) {
            fitColumns();
        }
    });
    connect(header, &QHeaderView::sortIndicatorChanged, this,
            [this, header](int column, Qt::SortOrder order) {
                if (!model_->sortByColumn(column, order == Qt::AscendingOrder)) {
                    QSignalBlocker quiet(header);
                    header->setSortIndicator(-1, Qt::AscendingOrder);
                }
            });

    selectAll_->setEnabled(false);
    refresh_->setIcon(QIcon::fromTheme(QStringLiteral("view-refresh")));
    refresh_->setToolTip(tr("Look for installed applications again"));
    lock_->setAutoRaise(true);
    lock_->setIconSize(QSize(24, 24));
    lock_->setAccessibleName(tr("Administrator rights"));
    uninstall_->setIconSize(QSize(24, 24));
    uninstall_->setAccessibleName(tr("Uninstall the marked applications"));
    status_->hide();  // until the first count
    progress_->setAccessibleName(tr("Removal progress"));
    progress_->hide();
    stop_->setAccessibleName(tr("Stop the removal"));
    stop_->hide();
    spinner_->setFixedSize(kSpinnerSide, kSpinnerSide);
    spinner_->setAccessibleName(tr("Looking for applications"));

    auto* top = new QHBoxLayout;
    top->addWidget(selectAll_);
    top->addStretch(1);
    top->addWidget(refresh_);
    top->addWidget(lock_);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(progress_);
    bottom->addWidget(stop_);
    bottom->addWidget(uninstall_);
    auto* right = new QVBoxLayout;
    right->addLayout(top);
    right->addWidget(table_, 1);
    right->addLayout(bottom);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(groups_);
    layout->addLayout(right, 1);
    spinner_->raise();

    connect(selectAll_, &QCheckBox::clicked, this,
            [this](bool on) { controller_->selectAllList(on); });
    connect(refresh_, &QPushButton::clicked, this, [this] { model_->refresh(); });
    connect(uninstall_, &QPushButton::clicked, this, &UninstallAppsPage::uninstallClicked);
    connect(stop_, &QPushButton::clicked, this, [this] {
        stop_->setEnabled(false);  // pressed once: the application in hand is finished first
        work_->stop();
    });
    connect(lock_, &QToolButton::clicked, this, [this] {
        if (!model_->lockClicked()) return;
        askRights([this](bool granted) {
            model_->lockRightsAnswered(granted);
            if (!granted) status_->showMessage(tr("Administrator rights were not given."), true);
        });
    });
    // A mark republishes the table: it is applied after the view has finished with the click.
    tableModel_->toggleRequested = [this](int row) {
        QMetaObject::invokeMethod(
            this, [this, row] { controller_->setObjectValueForCheckBox(row); },
            Qt::QueuedConnection);
    };
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && current.row() != controller_->selectRow) {
                    controller_->selectRowAt(current.row());
                }
            });
    connect(work_, &WorkRunner::busyChanged, this, [this] { showStatus(); });

    UninstallAppsController& c = *controller_;
    subscriptions_.push_back(c.allApplications.observe([this](const auto&) { showItems(); }));
    subscriptions_.push_back(c.statusLine.observe([this](const auto&) { showStatus(); }));
    subscriptions_.push_back(c.uninstallEnabled.observe([this](bool) { showStatus(); }));
    subscriptions_.push_back(c.selectAllOn.observe([this](bool) { showStatus(); }));
    subscriptions_.push_back(c.lockOn.observe([this](bool) { showStatus(); }));
    subscriptions_.push_back(c.searching.observe([this](bool) { showStatus(); }));
    subscriptions_.push_back(c.searchFinished.observe([this](bool) { showGroups(); }));
    subscriptions_.push_back(c.removingNow.observe([this](bool on) { showRemoving(on); }));
    showItems();
    showGroups();
    showStatus();
}

UninstallAppsPage::~UninstallAppsPage() {
    subscriptions_.clear();
    work_->waitUntilIdle();
}

UninstallAppsController& UninstallAppsPage::controller() const {
    return *controller_;
}

QSize UninstallAppsPage::sizeHint() const {
    return {704, 475};
}

void UninstallAppsPage::buildGroups() {
    groups_->setAccessibleName(tr("Application groups"));
    groups_->setFixedWidth(190);
    groups_->setIconSize(QSize(24, 24));
    groups_->setSpacing(0);
    groups_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (const UninstallGroup& group : UninstallGroups::rows()) {
        auto* item = new QListWidgetItem(ImageProvider::shared().icon(group.icon), tr(group.title));
        item->setSizeHint(QSize(190, kGroupRowHeight));
        item->setForeground(WindowStyle::text());
        groups_->addItem(item);
    }
    connect(groups_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0 || row == controller_->nowSelectRow) return;
        model_->chooseGroup(row);
        // Refused (discovery still runs, a removal runs): the list shows the group on show.
        QMetaObject::invokeMethod(
            this, [this] { showGroups(); }, Qt::QueuedConnection);
    });
}

void UninstallAppsPage::showGroups() {
    QSignalBlocker quiet(groups_);
    for (int row = 0; row < groups_->count(); ++row) {
        QListWidgetItem* item = groups_->item(row);
        item->setBackground(rowBackdrop(controller_->groupRowImage(row),
                                        QSize(groups_->viewport()->width(), kGroupRowHeight)));
    }
    groups_->setCurrentRow(controller_->nowSelectRow);
}

void UninstallAppsPage::showItems() {
    tableModel_->setItems(controller_->allApplications.get());
    int highlighted = tableModel_->rowCount() > 0 ? controller_->selectRow : -1;
    tableModel_->setHighlightedRow(highlighted);
    if (highlighted >= 0 && table_->currentIndex().row() != highlighted) {
        QSignalBlocker quiet(table_->selectionModel());
        table_->setCurrentIndex(tableModel_->index(highlighted, UninstallPageModel::NameColumn));
    }
    buildDetailsButtons();
    table_->resizeRowsToContents();
    QStyleOptionViewItem option;
    option.initFrom(table_);
    auto widest = [&](int column) {
        QAbstractItemDelegate* delegate = table_->itemDelegateForColumn(column);
        if (!delegate) delegate = table_->itemDelegate();
        int width = 0;
        for (int row = 0; row < tableModel_->rowCount(); ++row) {
            width = std::max(width,
                             delegate->sizeHint(option, tableModel_->index(row, column)).width());
        }
        return width;
    };
    widestName_ = widest(UninstallPageModel::NameColumn);
    widestIdentifier_ = widest(UninstallPageModel::IdentifierColumn);
    fitColumns();
}

void UninstallAppsPage::fitColumns() {
    // Names first: the identifier column gets what the widest name leaves, up to its longest
    // identifier and down to a few characters (elided in the middle); the name column
    // stretches over the rest.
    QHeaderView* header = table_->horizontalHeader();
    int room = table_->viewport()->width();
    for (int column : {UninstallPageModel::CheckColumn, UninstallPageModel::ViewColumn,
                       UninstallPageModel::SystemColumn}) {
        room -= header->sectionSize(column);
    }
    int least = 6 * table_->fontMetrics().averageCharWidth();
    header->resizeSection(
        UninstallPageModel::IdentifierColumn,
        std::clamp(room - widestName_, least, std::max(least, widestIdentifier_)));
}

bool UninstallAppsPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_->viewport() && event->type() == QEvent::Resize) fitColumns();
    return GradientPage::eventFilter(watched, event);
}

void UninstallAppsPage::buildDetailsButtons() {
    for (int row = 0; row < tableModel_->rowCount(); ++row) {
        const AppItems& item = tableModel_->items()[static_cast<std::size_t>(row)];
        QToolButton* view =
            tableRowButton(UninstallTexts::detailsButtonImage, tr("Size, creation date and place"),
                           text(UninstallPageModel::detailsName(item)));
        connect(view, &QToolButton::clicked, this, [this, row] { showDetails(row); });
        table_->setIndexWidget(tableModel_->index(row, UninstallPageModel::ViewColumn), view);
    }
}

QToolButton* UninstallAppsPage::detailsButton(int row) const {
    return qobject_cast<QToolButton*>(
        table_->indexWidget(tableModel_->index(row, UninstallPageModel::ViewColumn)));
}

void UninstallAppsPage::showStatus() {
    const UninstallAppsController& c = *controller_;
    bool removing = c.removingNow.get();
    bool busy = work_->isBusy();
    UninstallStatusLine line = c.statusLine.get();
    if (!removing) {
        status_->setVisible(line.visible);
        if (line.selected >= 0) {
            status_->showSelection(line.selected, line.total);
        } else {
            status_->showMessage(text(line.text), line.text != UninstallTexts::succeeded,
                                 text(line.toolTip));
        }
        status_->setToolTip(text(line.toolTip));
    }
    bool canRemove = c.uninstallEnabled.get() && !removing && !busy;
    uninstall_->setEnabled(canRemove);
    uninstall_->setIcon(
        ImageProvider::shared().icon(canRemove ? UninstallTexts::uninstallButtonImage
                                               : UninstallTexts::uninstallButtonDisabledImage));
    {
        QSignalBlocker quiet(selectAll_);
        selectAll_->setChecked(c.selectAllOn.get());
    }
    selectAll_->setEnabled(c.isScaned && !removing);
    refresh_->setEnabled(!c.searching.get() && !removing);
    bool unlocked = c.lockOn.get();
    lock_->setIcon(ImageProvider::shared().icon(unlocked ? "Unlock.png" : "Lock.png"));
    lock_->setToolTip(unlocked ? tr("Administrator rights are held")
                               : tr("Ask for administrator rights"));
    lock_->setEnabled(!unlocked && !busy);
    if (c.searching.get() || busy) placeSpinner();
    spinner_->setRunning(c.searching.get() || busy);
}

void UninstallAppsPage::showRemoving(bool removing) {
    progress_->setVisible(removing);
    stop_->setVisible(removing);
    stop_->setEnabled(removing);
    if (removing) {
        progress_->setRange(0, 0);  // until the first report
        status_->show();
    }
    showStatus();
    // The outcome is told wherever the user's focus is.
    if (!removing) RichStatusLine::announce(*status_);
}

void UninstallAppsPage::pageBecameCurrent() {
    model_->featureRowBecameCurrent(UninstallPageModel::featureRow);
}

bool UninstallAppsPage::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange) watchFeatureList();
    return QWidget::event(event);
}

void UninstallAppsPage::watchFeatureList() {
    auto* stack = qobject_cast<QStackedWidget*>(parentWidget());
    if (stack == watchedStack_) return;
    if (watchedStack_) disconnect(watchedStack_, nullptr, this, nullptr);
    watchedStack_ = stack;
    if (!stack) return;
    // However the row becomes current (a click, "shouldSelectRow", the remembered row), the
    // feature list shows this page in its stack.
    connect(stack, &QStackedWidget::currentChanged, this, [this, stack] {
        if (stack->currentWidget() == this) pageBecameCurrent();
    });
    if (stack->currentWidget() == this) pageBecameCurrent();
}

void UninstallAppsPage::uninstallClicked() {
    auto confirmation = model_->confirmation();
    if (!confirmation || work_->isBusy()) return;
    work_->run<UninstallPlanSheet>(
        [planner = model_->planner(), asked = std::move(*confirmation)] {
            return UninstallPlanSheet::measure(planner, asked.apps, asked.question);
        },
        [this](UninstallPlanSheet sheet) { confirmAndRemove(sheet); });
}

bool UninstallAppsPage::confirmWithDialog(const UninstallPlanSheet& sheet) {
    UninstallConfirmDialog dialog(sheet, this);
    dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec() == QDialog::Accepted;
}

void UninstallAppsPage::confirmAndRemove(const UninstallPlanSheet& sheet) {
    bool uninstall = confirm_ ? confirm_(sheet) : confirmWithDialog(sheet);
    switch (model_->confirmationAnswered(uninstall)) {
        case UninstallPageModel::Next::AskRights:
            askRights([this, sheet](bool granted) {
                if (model_->rightsAnswered(granted)) remove(sheet);
            });
            break;
        case UninstallPageModel::Next::Remove:
            remove(sheet);
            break;
        case UninstallPageModel::Next::Nothing:
            break;
    }
}

void UninstallAppsPage::remove(const UninstallPlanSheet& sheet) {
    auto batch =
        std::make_shared<UninstallAppsController::RemovalBatch>(controller_->beginRemoval());
    // One item per application, weighed by what its plan frees; the confirmation above was
    // the plan's own question.
    RemovalConversation::Plan plan;
    plan.disposal = RemovalConversation::Disposal::Delete;
    plan.noun = "application";
    plan.deletedVerb = "Removed";
    for (std::size_t i = 0; i < batch->apps.size(); ++i) {
        std::uint64_t bytes = 0;
        for (const PlannedApp& planned : sheet.apps) {
            if (planned.name != batch->apps[i].name) continue;
            for (const PlannedStep& step : planned.steps) bytes += step.bytes;
        }
        plan.items.push_back({batch->apps[i].name, bytes, i});
    }
    RemovalSteps steps;
    steps.work = work_;
    steps.asker = asker_;
    // The page waits for its work before its controller goes (the destructor), so the
    // uninstaller outlives every step.
    UninstallApp* uninstaller = &controller_->uninstaller();
    steps.remover = [uninstaller, batch](const RemovalItem& item, DeletionGate::Disposal) {
        return UninstallAppsController::removeApp(*uninstaller, batch->apps[item.tag]);
    };
    PrivilegedAuthorization* rights = &model_->rights();
    steps.rights = [uninstaller, batch, rights]() -> RemovalConversation::PrivilegedRemover {
        bool granted = rights->allocAuthorization();
        return [uninstaller, batch, granted](const RemovalItem& item) {
            if (!granted) {
                RemovalOutcome refused = RemovalOutcome::failed(item.path, EACCES);
                refused.detail = "administrator rights were not given";
                return refused;
            }
            return UninstallAppsController::removeApp(*uninstaller, batch->apps[item.tag]);
        };
    };
    steps.progress = [this](const JobProgress& progress) {
        if (progress.currentPath.empty()) return;
        progress_->setRange(0, static_cast<int>(std::max<std::uint64_t>(progress.total, 1)));
        progress_->setValue(static_cast<int>(progress.done));
        status_->showMessage(text(UninstallPageModel::progressText(progress)));
    };
    steps.finished = [this, batch](const RemovalConversation& done) {
        controller_->finishRemoval(*batch, done.outcomes(),
                                   done.untried() > 0 ? done.closingLine() : std::string());
        controller_->refreshApps();
    };
    steps.start(std::make_shared<RemovalConversation>(std::move(plan)));
}

void UninstallAppsPage::askRights(std::function<void(bool granted)> answered) {
    // The password dialog may take as long as the user likes: the page stays live meanwhile.
    PrivilegedAuthorization* rights = &model_->rights();
    work_->run<bool>([rights] { return rights->allocAuthorization(); }, std::move(answered));
}

void UninstallAppsPage::showDetails(int row) {
    if (row < 0 || row >= tableModel_->rowCount()) return;
    AppItems app = tableModel_->items()[static_cast<std::size_t>(row)];
    work_->run<AppDetails>(
        [app, planner = model_->planner()] { return AppDetails::forApp(app, planner); },
        [this, app](AppDetails details) {
            auto* sheet = new AppDetailsDialog(app, details, this);
            sheet->setAttribute(Qt::WA_DeleteOnClose);
            sheet->setWindowModality(Qt::WindowModal);
            sheet->open();
        });
}

void UninstallAppsPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeSpinner();
    showGroups();
}

void UninstallAppsPage::placeSpinner() {
    // The middle of the page, moved right by the groups' column.
    spinner_->move(width() / 2 + 60 - kSpinnerSide / 2, height() / 2 - kSpinnerSide / 2);
    spinner_->raise();
}

}  // namespace quillby
