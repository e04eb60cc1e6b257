// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/DiskUsageRingPage.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/fs/PathRules.h"
#include "core/text/PlainText.h"
#include "core/work/AdministratorRightsFlag.h"
#include "core/work/PrivilegedAuthorization.h"
#include "diskusage/DiskUsageListColumns.h"
#include "diskusage/RingPageModel.h"
#include "diskusage/ui/DiskUsageDiscoverView.h"
#include "diskusage/ui/DiskUsageItemMenu.h"
#include "diskusage/ui/DiskUsageRemovalSheet.h"
#include "diskusage/ui/PageParts.h"
#include "diskusage/ui/PieChartBubble.h"
#include "diskusage/ui/RingChartView.h"
#include "diskusage/ui/SelectableItemRow.h"
#include "diskusage/ui/TreemapView.h"
#include "ui/ImageProvider.h"
#include "ui/RemovalSteps.h"
#include "ui/RichStatusLine.h"
#include "ui/WindowModalAsker.h"
#include "ui/WorkRunner.h"

namespace quillby {

namespace {

// The list's columns from left to right, as their headers stand.
constexpr ListColumn kColumnOrder[] = {
    ListColumn::Name,  ListColumn::Size,     ListColumn::PercentOfParent,
    ListColumn::Items, ListColumn::Modified, ListColumn::Change};
// Room beside the rows for the list's scroll bar.
constexpr int kScrollBarRoom = 18;

QFont monospace(int points) {
    QFont font(QStringLiteral("Monospace"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(points);
    return font;
}

template <class Layout>
void clearLayout(Layout* layout) {
    while (QLayoutItem* item = layout->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
}

}  // namespace

DiskUsageRingPage::DiskUsageRingPage(RingPageModel& page, std::shared_ptr<Asker> asker,
                                     QWidget* parent)
    : GradientPage(parent),
      page_(page),
      asker_(asker ? std::move(asker) : std::make_shared<WindowModalAsker>(this)),
      icon_(new QLabel(this)),
      name_(new QLabel(this)),
      size_(new QLabel(this)),
      origin_(new QLabel(this)),
      gone_(new QLabel(this)),
      breadcrumb_(new QHBoxLayout),
      previous_(new QToolButton(this)),
      next_(new QToolButton(this)),
      search_(new QLineEdit(this)),
      list_(new QVBoxLayout),
      chart_(new RingChartView(page, this)),
      treemap_(new TreemapView(page, this)),
      charts_(new QStackedWidget(this)),
      ringButton_(new QToolButton(this)),
      treemapButton_(new QToolButton(this)),
      bubble_(new PieChartBubble(charts_)),
      back_(new QPushButton(tr("Back"), this)),
      lock_(new QToolButton(this)),
      remove_(new QPushButton(this)),
      status_(new QLabel(this)),
      report_(new QLabel(this)),
      work_(new WorkRunner(this)),
      removing_(new WorkRunner(this)),
      itemMenu_(new DiskUsageItemMenu(this)) {
    stop_ = PageParts::stopButton(*removing_, this);
    setAccessibleName(tr("Disk usage results"));
    // Keys go to the chart when the results show (arrows, Enter, Escape, Alt+Left).
    setFocusProxy(chart_);
    icon_->setPixmap(ImageProvider::shared().icon(QStringLiteral("Folder_yes.png")).pixmap(32, 32));
    name_->setFont(monospace(10));
    size_->setFont(monospace(10));
    size_->setToolTip(tr("size"));

    auto* header = new QHBoxLayout;
    header->addWidget(icon_);
    auto* texts = new QVBoxLayout;
    texts->addWidget(name_);
    texts->addWidget(size_);
    header->addLayout(texts, 1);

    auto* crumbs = new QWidget(this);
    breadcrumb_->setParent(nullptr);
    crumbs->setLayout(breadcrumb_);
    breadcrumb_->setContentsMargins(0, 0, 0, 0);
    breadcrumb_->setSpacing(2);

    auto* items = new QWidget;
    items->setLayout(list_);
    list_->setContentsMargins(0, 0, 0, 0);
    list_->setSpacing(0);
    auto* scroll = PageParts::rowList(items, SelectableItemRow::listRowWidth() + kScrollBarRoom,
                                      tr("Items of the folder"), this);
    scroll->setStyleSheet(QStringLiteral("QScrollArea { background: rgb(39, 39, 40); }"));

    search_->setPlaceholderText(tr("Search this folder"));
    search_->setAccessibleName(tr("Search this folder"));
    search_->setToolTip(tr("Shows the items whose names hold this text"));
    search_->setClearButtonEnabled(true);
    connect(search_, &QLineEdit::textChanged, this,
            [this](const QString& text) { page_.setFilter(text.toStdString()); });

    // Headers over the rows' columns: the name takes what the others leave.
    auto* headers = new QWidget(this);
    auto* headerRow = new QHBoxLayout(headers);
    headerRow->setContentsMargins(SelectableItemRow::kSpacing, 0,
                                  SelectableItemRow::kSpacing + kScrollBarRoom, 0);
    headerRow->setSpacing(SelectableItemRow::kSpacing);
    const QString spoken[] = {tr("Sort by name"),
                              tr("Sort by size"),
                              tr("Sort by share of the folder"),
                              tr("Sort by number of items"),
                              tr("Sort by last change"),
                              tr("Sort by change since the last scan")};
    for (int i = 0; i < 6; ++i) {
        auto* header = new QToolButton(headers);
        header->setAutoRaise(true);
        header->setAccessibleName(spoken[i]);
        header->setToolTip(spoken[i]);
        if (i == 0) {
            header->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        } else {
            header->setFixedWidth(i == 1 ? SelectableItemRow::sizeColumnWidth()
                                         : SelectableItemRow::cellWidths(i - 2));
        }
        ListColumn column = kColumnOrder[i];
        connect(header, &QToolButton::clicked, this, [this, column] { page_.clickColumn(column); });
        headerRow->addWidget(header, i == 0 ? 1 : 0);
        columns_[static_cast<std::size_t>(i)] = header;
    }
    headers->setFixedWidth(SelectableItemRow::listRowWidth() + kScrollBarRoom);
    columns_[5]->hide();
    columnHeaders_ = headers;
    rowList_ = scroll;
    gone_->setWordWrap(true);
    gone_->setAccessibleName(tr("Folders gone since the last scan"));
    gone_->setStyleSheet(QStringLiteral("color: #c8c8c8;"));
    gone_->hide();

    origin_->setWordWrap(true);
    origin_->setAccessibleName(tr("Origin of the tree"));
    origin_->hide();

    // The list's switch: the folder's items, or the scanned folder's largest, newest and oldest
    // files (Discover).
    discover_ = new DiskUsageDiscoverView(page_, this);
    discover_->hide();
    connect(discover_, &DiskUsageDiscoverView::menuRequested, this,
            [this](const DiskUsageItem& chosen, QPoint at) { itemMenu(chosen)->popup(at); });
    auto* lists = new QWidget(this);
    lists->setAccessibleName(tr("List"));
    auto* listRow = new QHBoxLayout(lists);
    listRow->setContentsMargins(0, 0, 0, 0);
    listRow->setSpacing(0);
    itemsButton_ = new QToolButton(lists);
    discoverButton_ = new QToolButton(lists);
    itemsButton_->setText(tr("Items"));
    itemsButton_->setAccessibleName(tr("Show the folder's items"));
    discoverButton_->setText(tr("Discover"));
    discoverButton_->setAccessibleName(tr("Show the largest, newest and oldest files"));
    for (QToolButton* button : {itemsButton_, discoverButton_}) {
        button->setToolTip(button->accessibleName());
        button->setCheckable(true);
        button->setAutoExclusive(true);
        listRow->addWidget(button);
    }
    listRow->addStretch(1);
    itemsButton_->setChecked(true);
    connect(discoverButton_, &QToolButton::toggled, this, [this](bool on) {
        for (QWidget* part : {static_cast<QWidget*>(search_), columnHeaders_, rowList_})
            part->setVisible(!on);
        discover_->setVisible(on);
    });

    auto* left = new QVBoxLayout;
    left->addWidget(origin_);
    left->addLayout(header);
    left->addWidget(lists);
    left->addWidget(search_);
    left->addWidget(headers);
    left->addWidget(scroll, 1);
    left->addWidget(discover_, 1);
    left->addWidget(gone_);

    back_->setToolTip(tr("Back to the path list"));
    back_->setAccessibleName(tr("Back"));
    lock_->setAutoRaise(true);
    lock_->setAccessibleName(tr("Administrator rights"));
    remove_->setToolTip(tr("Remove selected file"));
    remove_->setAccessibleName(tr("Remove selected items"));
    status_->setTextFormat(Qt::RichText);
    status_->setAccessibleName(tr("Selection"));
    report_->setWordWrap(true);
    report_->setAccessibleName(tr("Removal report"));
    report_->hide();

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(back_);
    bottom->addWidget(lock_);
    bottom->addWidget(status_, 1);
    bottom->addWidget(stop_);
    bottom->addWidget(remove_);

    previous_->setArrowType(Qt::LeftArrow);
    previous_->setAutoRaise(true);
    previous_->setAccessibleName(tr("Previous folder"));
    previous_->setToolTip(tr("Back to the folder shown before (Alt+Left)"));
    next_->setArrowType(Qt::RightArrow);
    next_->setAutoRaise(true);
    next_->setAccessibleName(tr("Next folder"));
    next_->setToolTip(tr("Forward to the folder left by Back (Alt+Right)"));
    connect(previous_, &QToolButton::clicked, this, &DiskUsageRingPage::historyBack);
    connect(next_, &QToolButton::clicked, this, &DiskUsageRingPage::historyForward);
    // The chart's switch: two buttons side by side, one of them down.
    auto* kinds = new QWidget(this);
    kinds->setAccessibleName(tr("Chart"));
    auto* kindRow = new QHBoxLayout(kinds);
    kindRow->setContentsMargins(0, 0, 0, 0);
    kindRow->setSpacing(0);
    const std::pair<QToolButton*, RingPageModel::ChartKind> switches[] = {
        {ringButton_, RingPageModel::ChartKind::Ring},
        {treemapButton_, RingPageModel::ChartKind::Treemap}};
    for (auto [button, kind] : switches) {
        bool ring = kind == RingPageModel::ChartKind::Ring;
        button->setText(ring ? tr("Ring") : tr("Treemap"));
        button->setAccessibleName(ring ? tr("Show as a ring") : tr("Show as a treemap"));
        button->setToolTip(button->accessibleName());
        button->setCheckable(true);
        button->setAutoExclusive(true);
        connect(button, &QToolButton::clicked, this, [this, kind] { page_.setChartKind(kind); });
        kindRow->addWidget(button);
    }

    auto* top = new QHBoxLayout;
    top->addWidget(previous_);
    top->addWidget(next_);
    top->addWidget(crumbs, 1);
    top->addWidget(kinds);

    charts_->addWidget(chart_);
    charts_->addWidget(treemap_);
    auto* right = new QVBoxLayout;
    right->addLayout(top);
    right->addWidget(charts_, 1);

    auto* middle = new QHBoxLayout;
    middle->addLayout(left);
    middle->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->addLayout(middle, 1);
    layout->addWidget(report_);
    layout->addLayout(bottom);

    connect(itemMenu_, &DiskUsageItemMenu::actionFailed, this, [this](const QString& message) {
        report_->setText(message);
        report_->show();
    });
    removing_->addControl(back_);
    connect(removing_, &WorkRunner::busyChanged, this, [this] { showSelection(); });
    connect(back_, &QPushButton::clicked, this, [this] {
        report_->hide();
        page_.back();
        emit backRequested();
    });
    connect(remove_, &QPushButton::clicked, this, &DiskUsageRingPage::openRemovalSheet);
    connect(lock_, &QToolButton::clicked, this, [this] {
        if (AdministratorRightsFlag::isSet()) return;
        // Starting the helper waits for the password dialog: never on this thread.
        work_->run<bool>(
            [] { return PrivilegedAuthorization::sharedAuthorization().allocAuthorization(); },
            [](bool held) {
                if (held) AdministratorRightsFlag::set(true);
            });
    });
    bubble_->onClick = [this] { page_.closeBubble(); };
    // A folder's listing reads the disk: on the worker, never here.
    page_.setListingRunner([this](auto read, auto apply) {
        work_->run<std::vector<DiskUsageItem>>(std::move(read), std::move(apply));
    });

    subscriptions_.push_back(page_.listingChanged.observe([this](const int&) { showListing(); }));
    subscriptions_.push_back(page_.rowsChanged.observe([this](const int&) { showRows(); }));
    subscriptions_.push_back(
        page_.selectionChanged.observe([this](const int&) { showSelection(); }));
    subscriptions_.push_back(
        page_.bubble.observe([this](const RingPageModel::Bubble&) { showBubble(); }));
    subscriptions_.push_back(
        page_.chartKindChanged.observe([this](const int&) { showChartKind(); }));
    subscriptions_.push_back(EventBus::defaultCenter().observe(
        Events::changeLockState, [this](const Event&) { showLock(); }));
    showListing();
    showSelection();
    showLock();
    showChartKind();
}

DiskUsageRingPage::~DiskUsageRingPage() {
    subscriptions_.clear();
    page_.setListingRunner({});
    if (PieTree* chart = page_.chart()) chart->setRedrawRequest({});
}

QString DiskUsageRingPage::selectionText(int count) {
    return QStringLiteral(
               "<span style=\"color:#f5d742; font-weight:bold; font-size:14pt;\">%1</span>"
               "<span style=\"color:#aeaeae; font-weight:bold; font-size:12pt;\"> items are "
               "selected.</span>")
        .arg(count);
}

std::vector<QToolButton*> DiskUsageRingPage::breadcrumbButtons() const {
    std::vector<QToolButton*> buttons;
    for (int i = 0; i < breadcrumb_->count(); ++i) {
        if (auto* button = qobject_cast<QToolButton*>(breadcrumb_->itemAt(i)->widget())) {
            buttons.push_back(button);
        }
    }
    return buttons;
}

void DiskUsageRingPage::showListing() {
    if (PieTree* chart = page_.chart()) chart->setRedrawRequest([this] { chart_->update(); });
    const DiskUsageItem& folder = page_.currentFolder();
    QString name = QString::fromStdString(page_.headerName());
    if (QFontMetrics(name_->font()).horizontalAdvance(name) > 80) {
        name = QString::fromStdString(cutText(page_.headerName(), 6));
    }
    name_->setText(name);
    name_->setToolTip(QString::fromStdString(folder.path));
    size_->setText(QString::fromStdString(page_.headerSize()));
    origin_->setText(QString::fromStdString(page_.originText()));
    origin_->setToolTip(page_.imported() ? tr("The tree was read from a scan file and may "
                                              "describe another machine: nothing of it can be "
                                              "removed, opened or revealed here.")
                                         : QString());
    origin_->setVisible(page_.imported());
    // A scan file's tree has no file dates to discover by.
    if (page_.imported()) itemsButton_->setChecked(true);
    discoverButton_->setEnabled(!page_.imported());

    clearLayout(breadcrumb_);
    const auto& components = page_.breadcrumb();
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (i > 0) breadcrumb_->addWidget(new QLabel(QStringLiteral("›")));
        QString part = QString::fromStdString(components[i].name);
        auto* button = new QToolButton;
        button->setText(part);
        button->setAutoRaise(true);
        button->setAccessibleName(tr("Go to %1").arg(part));
        button->setToolTip(QString::fromStdString(components[i].path));
        connect(button, &QToolButton::clicked, this, [this, i] {
            QMetaObject::invokeMethod(
                this, [this, i] { page_.clickBreadcrumb(i); }, Qt::QueuedConnection);
        });
        breadcrumb_->addWidget(button);
    }
    breadcrumb_->addStretch(1);
    if (search_->text().toStdString() != page_.filter()) {
        search_->setText(QString::fromStdString(page_.filter()));
    }
    showHistory();
    showRows();
}

void DiskUsageRingPage::showHistory() {
    previous_->setEnabled(page_.chart() != nullptr);
    next_->setEnabled(page_.canGoForward());
}

void DiskUsageRingPage::showRows() {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        columns_[i]->setText(QString::fromStdString(columnTitle(kColumnOrder[i], page_.sort())));
    }
    // The change column shows while the list compares with the place's previous scan.
    bool compared = page_.compared();
    columns_[5]->setVisible(compared);
    int width = SelectableItemRow::listRowWidth(compared) + kScrollBarRoom;
    columnHeaders_->setFixedWidth(width);
    rowList_->setFixedWidth(width);
    gone_->setText(QString::fromStdString(page_.goneText()));
    gone_->setVisible(!gone_->text().isEmpty());
    clearLayout(list_);
    rows_.clear();
    for (const auto& item : page_.rows()) {
        SelectableItemRow::Cells cells{QString::fromStdString(page_.percentText(item)),
                                       QString::fromStdString(itemCountText(item.itemCount)),
                                       QString::fromStdString(modifiedText(item.modified))};
        if (compared) cells.change = QString::fromStdString(changeText(item));
        auto* row = new SelectableItemRow(item, page_.isSelected(item.path),
                                          SelectableItemRow::Kind::BigSizeFilesList, &cells);
        row->checkBox()->setEnabled(!page_.imported());
        connect(row, &SelectableItemRow::selectionToggled, this,
                [this](const DiskUsageItem& chosen, bool selected) {
                    page_.changeSelectArr(chosen, selected);
                });
        // The list is rebuilt by the seek, row included: after the click has been handled.
        connect(row, &SelectableItemRow::rowClicked, this, [this](const DiskUsageItem& chosen) {
            QMetaObject::invokeMethod(
                this, [this, chosen] { page_.clickLeftListViewAction(chosen); },
                Qt::QueuedConnection);
        });
        connect(row, &SelectableItemRow::menuRequested, this,
                [this](const DiskUsageItem& chosen, QPoint at) { itemMenu(chosen)->popup(at); });
        list_->addWidget(row);
        rows_.push_back(row);
    }
    list_->addStretch(1);
    chart_->update();
    treemap_->update();
}

void DiskUsageRingPage::historyBack() {
    if (!page_.chart()) return;
    if (!page_.goBack()) {
        back_->click();  // off while a removal runs
        return;
    }
    showHistory();
}

void DiskUsageRingPage::historyForward() {
    page_.goForward();
    showHistory();
}

QMenu* DiskUsageRingPage::itemMenu(const DiskUsageItem& item) {
    return itemMenu_->menuFor(item.path, item.isDirectory, page_.mayOpenOrReveal(), this);
}

void DiskUsageRingPage::showSelection() {
    int count = static_cast<int>(page_.selection().size());
    status_->setText(selectionText(count));
    RichStatusLine::describe(*status_, QString::fromStdString(page_.selectionText()));
    bool enabled = page_.removeEnabled() && !removing_->isBusy();
    remove_->setEnabled(enabled);
    remove_->setIcon(ImageProvider::shared().icon(
        page_.removeEnabled() ? QStringLiteral("remove.png") : QStringLiteral("remove_d.png")));
    for (auto* row : rows_) row->setSelected(page_.isSelected(row->item().path));
    treemap_->update();  // the selection is outlined there
}

void DiskUsageRingPage::showBubble() {
    auto shown = page_.bubble.get();
    if (!shown.visible) {
        bubble_->hide();
        return;
    }
    QPoint point = charts_->mapFromGlobal(QPointF(shown.x, shown.y)).toPoint();
    bubble_->showAt(QString::fromStdString(shown.name), QString::fromStdString(shown.size), point);
}

void DiskUsageRingPage::showChartKind() {
    bool treemap = page_.chartKind() == RingPageModel::ChartKind::Treemap;
    bool focused = charts_->currentWidget() && charts_->currentWidget()->hasFocus();
    QWidget* shown = treemap ? static_cast<QWidget*>(treemap_) : chart_;
    charts_->setCurrentWidget(shown);
    // Keys go to the chart shown.
    setFocusProxy(shown);
    if (focused) shown->setFocus();
    (treemap ? treemapButton_ : ringButton_)->setChecked(true);
}

void DiskUsageRingPage::showLock() {
    lock_->setIcon(
        ImageProvider::shared().icon(QString::fromUtf8(AdministratorRightsFlag::lockImageName())));
    lock_->setToolTip(AdministratorRightsFlag::isSet() ? tr("Administrator rights are held")
                                                       : tr("Get administrator rights"));
}

void DiskUsageRingPage::openRemovalSheet() {
    if (!page_.removeEnabled() || sheet_) return;
    sheet_ = new DiskUsageRemovalSheet(page_.removalList(), this);
    sheet_->setAttribute(Qt::WA_DeleteOnClose);
    sheet_->setWindowModality(Qt::WindowModal);
    connect(sheet_, &DiskUsageRemovalSheet::selectionToggled, this,
            [this](const DiskUsageItem& item, bool selected) {
                page_.changeSelectArr(item, selected);
            });
    connect(sheet_, &QDialog::finished, this, [this](int result) {
        auto items = sheet_->tickedItems();
        sheet_ = nullptr;
        if (result == QDialog::Accepted && !items.empty()) {
            removeItems(items);
        } else {
            page_.showFolder(page_.currentPath());
        }
    });
    sheet_->open();
}

void DiskUsageRingPage::removeItems(const std::vector<DiskUsageItem>& items) {
    if (page_.imported()) return;
    std::vector<std::string> paths;
    for (const auto& item : items) paths.push_back(item.path);
    RemovalConversation::Plan plan;
    for (const auto& path : DiskUsageRemoval::minimalCover(paths)) {
        auto item = std::find_if(items.begin(), items.end(), [&](const DiskUsageItem& chosen) {
            return withoutTrailingSlashes(chosen.path) == path;
        });
        plan.items.push_back(
            {path, item == items.end() ? 0 : item->fileSizeNum, plan.items.size()});
    }
    auto conversation = std::make_shared<RemovalConversation>(std::move(plan));
    QPointer<DiskUsageRingPage> alive(this);
    bool confirmed = conversation->confirm(*asker_);
    // The question waits in an event loop: the page may have gone meanwhile.
    if (!alive || !confirmed) {
        if (alive) page_.showFolder(page_.currentPath());
        return;
    }
    removal_ = removal_.withScanRoot(page_.firstInPath());
    RemovalSteps steps;
    steps.work = removing_;
    steps.asker = asker_;
    steps.removeByPath(removal_.pathRemover(), removal_.rightsRemover());
    steps.applied = [this](const RemovalConversation& done,
                           const std::vector<std::size_t>& nowGone) {
        std::vector<RemovalOutcome> gone;
        for (std::size_t index : nowGone) gone.push_back(done.outcomes()[index]);
        page_.removalFinished(gone);
    };
    steps.finished = [this](const RemovalConversation& done) {
        report_->setText(QString::fromStdString(done.closingLine()));
        report_->show();
        showSelection();
    };
    steps.start(std::move(conversation));
}

}  // namespace quillby
