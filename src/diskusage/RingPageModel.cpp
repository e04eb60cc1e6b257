// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/RingPageModel.h"

#include <algorithm>
#include <ctime>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/Log.h"
#include "core/fs/PathRules.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "core/text/UtilityFunction.h"
#include "diskusage/DiskUsageLimit.h"

namespace quillby {

namespace {

template <class T>
void bump(Observable<T>& counter) {
    counter.set(counter.get() + 1);
}

}  // namespace

RingPageModel::RingPageModel() = default;

RingPageModel::~RingPageModel() {
    subscriptions_.clear();
}

void RingPageModel::showTree(std::unique_ptr<PieTree> chart, const Listing& first,
                             const ScanOrigin& origin, const std::string& file) {
    subscriptions_.clear();
    treemap_.clear();
    chart_ = std::move(chart);
    discover_.clear();
    origin_ = origin;
    originFile_ = file;
    back();
    auto ours = [this](const Event& event) {
        const auto* sender = std::any_cast<PieTree*>(&event.object);
        return sender && *sender == chart_.get();
    };
    auto& bus = EventBus::defaultCenter();
    subscriptions_.push_back(bus.observe(Events::RefreshLeftView, [this, ours](const Event& e) {
        const auto* folder = userInfoValue<DiskUsageItem>(e, EventKeys::RootPath);
        const auto* items = userInfoValue<std::vector<DiskUsageItem>>(e, EventKeys::DecendingItem);
        if (ours(e) && folder && items) refreshLeftView({*folder, *items});
    }));
    subscriptions_.push_back(bus.observe(Events::ShowBubble, [this, ours](const Event& e) {
        if (!ours(e)) return;
        Bubble shown;
        shown.visible = true;
        if (const auto* name = userInfoValue<std::string>(e, EventKeys::CurrentDir))
            shown.name = *name;
        if (const auto* size = userInfoValue<std::string>(e, EventKeys::DirSize))
            shown.size = *size;
        if (const auto* x = userInfoValue<float>(e, EventKeys::MouseXPos)) shown.x = *x;
        if (const auto* y = userInfoValue<float>(e, EventKeys::MouseYPos)) shown.y = *y;
        bubble.set(shown);
    }));
    subscriptions_.push_back(bus.observe(Events::HideBubble, [this, ours](const Event& e) {
        if (ours(e)) closeBubble();
    }));
    installListingReader();
    if (chart_) refreshLeftView(first);
}

void RingPageModel::setListingRunner(ListingRunner runner) {
    listingRunner_ = std::move(runner);
    installListingReader();
}

void RingPageModel::installListingReader() {
    if (!chart_) return;
    if (!listingRunner_) {
        chart_->setListingReader({});
        return;
    }
    chart_->setListingReader([this](const std::string& path, std::int64_t size) {
        auto sizes = chart_->subfolderSizes(path);
        auto closed = chart_->excludedSubfolders(path);
        std::uint64_t ticket = ++listingTicket_;
        PieTree* chart = chart_.get();
        listingRunner_(
            [path, sizes, closed] { return PieTree::readFolderItems(path, sizes, closed); },
            [this, ticket, chart, path, size](std::vector<DiskUsageItem> items) {
                // Only the newest listing of the same chart is shown.
                if (ticket == listingTicket_ && chart == chart_.get()) {
                    chart->publishListing(path, size, std::move(items));
                }
            });
    });
}

void RingPageModel::compareWith(std::unique_ptr<RingFolderNode> earlier, std::int64_t seconds) {
    earlier_ = std::move(earlier);
    earlierSeconds_ = seconds;
}

void RingPageModel::releaseTree() {
    subscriptions_.clear();
    treemap_.clear();
    chart_.reset();
    discover_.clear();
    earlier_.reset();
    gone_.clear();
    origin_ = {};
    originFile_.clear();
    back();
    listing_ = {};
    rows_.clear();
    shownRows_.clear();
    breadcrumb_.clear();
    bump(listingChanged);
}

void RingPageModel::reopen() {
    back();
    if (chart_ && chart_->icAllDir) chart_->SeekDirectory(chart_->icAllDir->path());
}

void RingPageModel::refreshLeftView(const Listing& listing) {
    listing_ = listing;
    std::string folder = pathInside(listing.folder.path, "");
    // A search narrows one folder's list: another folder starts unfiltered.
    if (folder != currentPath_) filter_.clear();
    currentPath_ = folder;
    history_.visit(currentPath_);
    if (firstInPath_.empty()) firstInPath_ = currentPath_;
    breadcrumb_ = breadcrumbComponents(firstInPath_, currentPath_);
    std::uint64_t limit = DiskUsageLimit::getLimitSize();
    rows_.clear();
    for (const auto& item : listing.items) {
        if (item.isDirectory || UtilityFunction::getVolSpaceFromString(item.size) >= limit) {
            rows_.push_back(item);
            const RingFolderNode* node = item.isDirectory && chart_
                                             ? chart_->searchFile(pathInside(item.path, ""))
                                             : nullptr;
            rows_.back().unreadable = node && node->unreadable;
            rows_.back().excluded = node && node->excluded;
        }
    }
    markChanges();
    shownRows_ = arrangedItems(rows_, sort_, filter_);
    std::vector<TreemapFile> files;
    for (const auto& item : listing.items) {
        if (!item.isDirectory) files.push_back({item.name, item.path, item.fileSizeNum});
    }
    treemap_.setFiles(currentPath_, std::move(files));
    bump(listingChanged);
}

void RingPageModel::markChanges() {
    gone_.clear();
    if (!earlier_ || !currentPath_.starts_with(firstInPath_)) return;
    // Paths compare below each scan's root: the earlier scan may have reached the place by
    // another spelling.
    std::string then = earlier_->path() + currentPath_.substr(firstInPath_.size());
    const RingFolderNode* folder = searchFile(earlier_.get(), then);
    std::optional<EarlierScan> earlier;
    if (folder) {
        earlier = EarlierScan::of(*folder, 1, [](const RingFolderNode& node) {
            return static_cast<std::uint64_t>(std::max<std::int64_t>(0, node.size));
        });
    }
    std::vector<std::string> present;
    for (const auto& item : listing_.items) present.push_back(item.name);
    for (auto& row : rows_) {
        if (row.excluded) continue;
        auto size = static_cast<std::int64_t>(row.fileSizeNum);
        auto before = earlier ? earlier->sizeOf(then, then + row.name) : std::nullopt;
        if (before) {
            row.change = size - static_cast<std::int64_t>(*before);
        } else if (row.isDirectory || !folder) {
            // The folder tree keeps no file by name: only a file in a new folder is known new.
            row.change = size;
            row.isNew = true;
        }
    }
    if (earlier) gone_ = earlier->goneFrom(then, then, present);
}

std::string RingPageModel::goneText() const {
    return EarlierScan::goneText(gone_, "folder", "folders", modifiedText(earlierSeconds_));
}

void RingPageModel::arrangeRows() {
    shownRows_ = arrangedItems(rows_, sort_, filter_);
    bump(rowsChanged);
}

void RingPageModel::setFilter(const std::string& text) {
    if (text == filter_) return;
    filter_ = text;
    arrangeRows();
}

void RingPageModel::clickColumn(ListColumn column) {
    sort_ = sortAfterClick(sort_, column);
    arrangeRows();
}

std::string RingPageModel::percentText(const DiskUsageItem& item) const {
    return quillby::percentText(item.fileSizeNum, listing_.folder.fileSizeNum);
}

bool RingPageModel::goBack() {
    if (!chart_) return false;
    forgetFoldersGone();
    FolderHistory::Step step = history_.back();
    return !step.leaves && chart_->openFolder(step.folder);
}

bool RingPageModel::goForward() {
    if (!chart_) return false;
    forgetFoldersGone();
    std::optional<std::string> folder = history_.forward();
    return folder && chart_->openFolder(*folder);
}

void RingPageModel::forgetFoldersGone() {
    for (const std::string& folder : std::vector<std::string>(history_.folders())) {
        if (!chart_->searchFile(folder)) history_.forget(folder);
    }
}

std::string RingPageModel::headerName() const {
    return listing_.folder.name.empty() ? "No name" : listing_.folder.name;
}

std::string RingPageModel::headerSize() const {
    return listing_.folder.size.empty() ? "0.0KB" : listing_.folder.size;
}

std::string RingPageModel::originText() const {
    if (!imported()) return {};
    std::string text = "Imported from " + std::string(folderName(originFile_));
    const ScanFileMetadata& written = origin_.metadata;
    if (!written.program.empty()) {
        text += ", written by " + written.program;
        if (!written.version.empty()) text += " " + written.version;
    }
    if (written.timestamp) {
        std::time_t when = static_cast<std::time_t>(*written.timestamp);
        std::tm utc{};
        char date[32];
        if (gmtime_r(&when, &utc) &&
            std::strftime(date, sizeof date, "%Y-%m-%d %H:%M UTC", &utc) > 0) {
            text += std::string(" on ") + date;
        }
    }
    return text;
}

void RingPageModel::mouseMoved(const PieTree::PointerEvent& event) {
    if (chart_ && !scanRunning_) chart_->mouseMoved(event);
}

void RingPageModel::mouseDown(const PieTree::PointerEvent& event, int clickCount) {
    if (chart_ && !scanRunning_) chart_->mouseDown(event, clickCount);
}

RingPageModel::ChartKind RingPageModel::chartKind() const {
    auto value = UserDefaults::standardUserDefaults().objectForKey(SettingsKey::DiskUsageChartKind);
    return value && settingAsText(*value) == "treemap" ? ChartKind::Treemap : ChartKind::Ring;
}

void RingPageModel::setChartKind(ChartKind kind) {
    if (kind == chartKind()) return;
    auto& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject(std::string(kind == ChartKind::Treemap ? "treemap" : "ring"),
                       SettingsKey::DiskUsageChartKind);
    closeBubble();
    bump(chartKindChanged);
}

const std::vector<TreemapTile>& RingPageModel::layOutTreemap(double width, double height) {
    if (!chart_ || !chart_->icCurrentPtr) {
        treemap_.clear();
        return treemap_.tiles();
    }
    return treemap_.layOut(*chart_->icCurrentPtr, {0, 0, width, height});
}

void RingPageModel::treemapMoved(const PieTree::PointerEvent& event) {
    const TreemapTile* tile = scanRunning_ ? nullptr : treemap_.tileAt(event.x, event.y);
    hoveredTile_ = tile ? static_cast<int>(tile - treemap_.tiles().data()) : -1;
    if (!tile) {
        if (bubble.get().visible) closeBubble();
        return;
    }
    bubble.set({true, treemap_.nameOf(*tile), UtilityFunction::convertVolSpace(tile->size),
                event.screenX, event.screenY});
}

void RingPageModel::treemapClicked(const PieTree::PointerEvent& event) {
    const TreemapTile* tile = scanRunning_ ? nullptr : treemap_.tileAt(event.x, event.y);
    // A file opens nothing; the folder shown is shown already.
    if (!tile || tile->tile == TreemapTileKind::File || tile->node == treemap_.folder()) return;
    std::string folder = tile->node->path();
    hoveredTile_ = -1;
    closeBubble();
    // Any folder of the tree, however deep: the tile was drawn from it.
    chart_->openFolder(folder);
}

std::vector<const TreemapTile*> RingPageModel::selectedTiles() const {
    std::vector<const TreemapTile*> tiles;
    for (const auto& item : allSelectArr_) {
        const RingFolderNode* node =
            item.isDirectory && chart_ ? chart_->searchFile(pathInside(item.path, "")) : nullptr;
        for (const auto& tile : treemap_.tiles()) {
            bool folder = node && tile.tile == TreemapTileKind::Folder && tile.node == node;
            bool file = !item.isDirectory && tile.tile == TreemapTileKind::File &&
                        treemap_.files()[static_cast<std::size_t>(tile.file)].path == item.path;
            if (folder || file) tiles.push_back(&tile);
        }
    }
    return tiles;
}

void RingPageModel::closeBubble() {
    bubble.set(Bubble{});
}

void RingPageModel::clickLeftListViewAction(const DiskUsageItem& item) {
    QWLog("Click left list to draw: %s", item.path.c_str());
    if (item.isDirectory) showFolder(item.path);
}

void RingPageModel::clickBreadcrumb(std::size_t index) {
    if (index < breadcrumb_.size()) showFolder(breadcrumb_[index].path);
}

void RingPageModel::showFolder(const std::string& path) {
    if (!chart_) return;
    std::string folder = pathInside(path, "");
    // Only folders of the tree: the tree knows them, so no disk access on this thread.
    if (chart_->searchFile(folder)) chart_->SeekDirectory(folder);
}

void RingPageModel::changeSelectArr(const DiskUsageItem& item, bool selected) {
    if (imported()) return;
    auto same = [&](const DiskUsageItem& chosen) { return chosen.path == item.path; };
    if (selected) {
        if (std::none_of(allSelectArr_.begin(), allSelectArr_.end(), same)) {
            allSelectArr_.push_back(item);
        }
    } else {
        std::erase_if(allSelectArr_, same);
    }
    bump(selectionChanged);
}

bool RingPageModel::isSelected(const std::string& path) const {
    return std::any_of(allSelectArr_.begin(), allSelectArr_.end(),
                       [&](const DiskUsageItem& item) { return item.path == path; });
}

std::string RingPageModel::selectionText() const {
    return std::to_string(allSelectArr_.size()) + " items are selected.";
}

std::vector<DiskUsageItem> RingPageModel::removalList() const {
    if (imported()) return {};
    std::vector<std::string> paths;
    for (const auto& item : allSelectArr_) paths.push_back(item.path);
    std::vector<DiskUsageItem> list;
    for (const auto& path : DiskUsageRemoval::minimalCover(paths)) {
        auto item = std::find_if(allSelectArr_.begin(), allSelectArr_.end(),
                                 [&](const DiskUsageItem& chosen) {
                                     return withoutTrailingSlashes(chosen.path) == path;
                                 });
        if (item != allSelectArr_.end()) list.push_back(*item);
    }
    return list;
}

void RingPageModel::removalFinished(const std::vector<RemovalOutcome>& results) {
    if (imported()) return;
    discover_.removalFinished(results);
    bool shrank = false;
    for (const auto& result : results) {
        if (!result.gone()) continue;
        auto item = std::find_if(allSelectArr_.begin(), allSelectArr_.end(),
                                 [&](const DiskUsageItem& chosen) {
                                     return withoutTrailingSlashes(chosen.path) == result.path;
                                 });
        if (item == allSelectArr_.end()) continue;
        if (chart_) {
            treemap_.clear();
            chart_->removeFile(*item, item->isDirectory);
            shrank = true;
        }
        // What lay inside it went with it.
        std::erase_if(allSelectArr_, [&](const DiskUsageItem& chosen) {
            std::string_view path = withoutTrailingSlashes(chosen.path);
            return path == result.path || liesInside(path, result.path);
        });
    }
    bump(selectionChanged);
    if (chart_) {
        if (auto current = chart_->getCurrentDirectory()) showFolder(*current);
    }
    if (shrank) bump(treeShrank);
}

std::uint64_t RingPageModel::treeBytes() const {
    if (!chart_ || !chart_->icAllDir) return 0;
    return static_cast<std::uint64_t>(std::max<std::int64_t>(0, chart_->icAllDir->size));
}

void RingPageModel::back() {
    firstInPath_.clear();
    currentPath_.clear();
    filter_.clear();
    history_.clear();
    allSelectArr_.clear();
    closeBubble();
    bump(selectionChanged);
}

}  // namespace quillby
