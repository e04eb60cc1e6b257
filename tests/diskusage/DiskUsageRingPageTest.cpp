// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cerrno>
#include <map>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "diskusage/DiskUsageBreadcrumb.h"
#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/DiskUsageRemoval.h"
#include "diskusage/RingPageModel.h"
#include "support/TestPlatform.h"

using namespace quillby;

namespace {

// The names of rows or breadcrumb components, in order.
template <typename Items>
std::vector<std::string> namesOf(const Items& items) {
    std::vector<std::string> names;
    for (const auto& item : items) names.push_back(item.name);
    return names;
}

// The ring page over a finished scan of: top/readme (500), a/ (a1/f 3000, f 1000), b/ (f 2000),
// small (10).
class DiskUsageRingPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        top = platform.root().path() / "top";
        makeFile(top / "readme", 500);
        makeFile(top / "a/a1/f", 3000);
        makeFile(top / "a/f", 1000);
        makeFile(top / "b/f", 2000);
        makeFile(top / "small", 10);
        UserDefaults::standardUserDefaults().setInteger(100, SettingsKey::QWDiskUsageLimit);
        auto chart = std::make_unique<PieTree>();
        RingPageModel::Listing first;
        {
            Subscription listed =
                EventBus::defaultCenter().observe(Events::RefreshLeftView, [&](const Event& event) {
                    first = {*userInfoValue<DiskUsageItem>(event, EventKeys::RootPath),
                             *userInfoValue<std::vector<DiskUsageItem>>(event,
                                                                        EventKeys::DecendingItem)};
                });
            chart->contructPieTree(top.string());
        }
        page.showTree(std::move(chart), first);
    }
    const DiskUsageItem& row(const std::string& name) const {
        for (const auto& item : page.rows()) {
            if (item.name == name) return item;
        }
        throw std::runtime_error("no row " + name);
    }
    std::vector<std::string> rowNames() const { return namesOf(page.rows()); }
    std::vector<std::string> crumbs() const { return namesOf(page.breadcrumb()); }

    TestPlatform platform;
    fs::path top;
    RingPageModel page;
};

}  // namespace

TEST(DiskUsageBreadcrumb, RunsFromTheScannedFolderDownToTheCurrentOne) {
    EXPECT_EQ(namesOf(breadcrumbComponents("/root/a", "/root/a/b/c/")),
              (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(breadcrumbComponents("/root/a/", "/root/a/b/c/")[1],
              (BreadcrumbComponent{"b", "/root/a/b/"}));
    EXPECT_EQ(namesOf(breadcrumbComponents("/home/staff/alice/", "/home/staff/alice/x/")),
              (std::vector<std::string>{"alice", "x"}));
    EXPECT_EQ(namesOf(breadcrumbComponents("/", "/usr/lib/")),
              (std::vector<std::string>{"/", "usr", "lib"}));
    EXPECT_EQ(namesOf(breadcrumbComponents("/srv/data/", "/srv/data/")),
              (std::vector<std::string>{"data"}));
}

TEST_F(DiskUsageRingPageTest, ListsFoldersAndItemsAtTheLimitAndFollowsClicksDown) {
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"a", "b", "readme"}));  // small is below
    EXPECT_EQ(page.headerName(), "top");
    EXPECT_EQ(page.headerSize(), "6.51 KB");
    EXPECT_EQ(crumbs(), (std::vector<std::string>{"top"}));

    page.clickLeftListViewAction(row("a"));
    EXPECT_EQ(page.currentPath(), (top / "a").string() + "/");
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"a1", "f"}));
    page.clickLeftListViewAction(row("a1"));
    EXPECT_EQ(crumbs(), (std::vector<std::string>{"top", "a", "a1"}));

    page.clickBreadcrumb(0);
    EXPECT_EQ(page.currentPath(), top.string() + "/");
    EXPECT_EQ(crumbs(), (std::vector<std::string>{"top"}));
}

TEST_F(DiskUsageRingPageTest, SelectionIsUniqueByPathCountedAndKeepsWhatCouldNotBeRemoved) {
    page.changeSelectArr(row("b"), true);
    page.changeSelectArr(row("b"), true);
    page.changeSelectArr(row("readme"), true);
    EXPECT_EQ(page.selectionText(), "2 items are selected.");
    page.removalFinished({RemovalOutcome::failed(row("b").path, EACCES)});
    EXPECT_TRUE(page.isSelected(row("b").path));
    EXPECT_EQ(page.chart()->icAllDir->size, 6510);
    page.changeSelectArr(row("b"), false);
    EXPECT_EQ(page.selectionText(), "1 items are selected.");
    EXPECT_TRUE(page.isSelected(row("readme").path));
    page.back();
    EXPECT_EQ(page.selectionText(), "0 items are selected.");
    EXPECT_FALSE(page.removeEnabled());
}

TEST_F(DiskUsageRingPageTest, AFolderAndAFileInsideItAreRemovedAndSubtractedOnce) {
    page.changeSelectArr(row("a"), true);
    page.clickLeftListViewAction(row("a"));
    page.changeSelectArr(row("f"), true);
    ASSERT_EQ(page.selection().size(), 2u);

    auto list = page.removalList();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].name, "a");
    std::vector<std::string> paths;
    for (const auto& item : page.selection()) paths.push_back(item.path);
    DiskUsageRemoval::Guard guard;
    guard.homeFolder = (platform.root().path() / "home").string();
    page.removalFinished(
        DiskUsageRemoval(guard).removeItems(paths, DeletionGate::Disposal::Delete));

    EXPECT_FALSE(fs::exists(top / "a"));
    EXPECT_TRUE(page.selection().empty());
    // The removed folder was current: its parent is listed, 4000 bytes lighter.
    EXPECT_EQ(page.currentPath(), top.string() + "/");
    EXPECT_EQ(page.chart()->icAllDir->size, 2510);
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"b", "readme"}));
}

TEST_F(DiskUsageRingPageTest, BubbleFollowsItsOwnChartOnly) {
    PieTree other;
    EventBus::defaultCenter().post(Events::ShowBubble, &other,
                                   {{EventKeys::CurrentDir, std::string("x")}});
    EXPECT_FALSE(page.bubble.get().visible);
    page.chart()->setViewSize(600, 400);
    page.chart()->drawScene();
    page.mouseMoved({300, 200, 5.0f, 6.0f});  // the centre disc: the current folder
    EXPECT_TRUE(page.bubble.get().visible);
    EXPECT_EQ(page.bubble.get().name, "top");
    EXPECT_EQ(page.bubble.get().size, "6.51 KB");
    page.closeBubble();
    page.setScanRunning(true);
    page.mouseMoved({300, 200, 5.0f, 6.0f});
    EXPECT_FALSE(page.bubble.get().visible);
}

TEST_F(DiskUsageRingPageTest, ListingsReadElsewhereShowOnlyTheNewest) {
    std::vector<std::function<void()>> pending;
    page.setListingRunner(
        [&](auto read, auto apply) { pending.push_back([read, apply] { apply(read()); }); });
    page.clickLeftListViewAction(row("a"));
    page.clickBreadcrumb(0);
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_EQ(page.currentPath(), top.string() + "/");  // nothing shown yet
    pending[1]();
    pending[0]();  // older: dropped
    EXPECT_EQ(page.currentPath(), top.string() + "/");
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"a", "b", "readme"}));

    page.clickLeftListViewAction(row("b"));
    pending.back()();
    EXPECT_EQ(page.currentPath(), (top / "b").string() + "/");
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"f"}));
}

TEST_F(DiskUsageRingPageTest, BackAndForwardRetraceTheVisitedFoldersAndBackFromTheFirstLeaves) {
    std::string a = (top / "a").string() + "/";
    std::string a1 = (top / "a/a1").string() + "/";
    page.clickLeftListViewAction(row("a"));
    page.clickLeftListViewAction(row("a1"));
    page.clickBreadcrumb(0);
    EXPECT_FALSE(page.canGoForward());
    ASSERT_TRUE(page.goBack());
    EXPECT_EQ(page.currentPath(), a1);  // deeper than a child of the folder shown
    ASSERT_TRUE(page.goForward());
    EXPECT_EQ(page.currentPath(), top.string() + "/");
    for (const std::string& folder : {a1, a, top.string() + "/"}) {
        ASSERT_TRUE(page.goBack());
        EXPECT_EQ(page.currentPath(), folder);
    }
    EXPECT_FALSE(page.goBack()) << "from the first folder Back leads to the places";

    // A removed folder is passed over.
    page.clickLeftListViewAction(row("b"));
    page.clickBreadcrumb(0);
    page.clickLeftListViewAction(row("a"));
    page.changeSelectArr(row("a1"), true);
    page.removalFinished({RemovalOutcome::vanished((top / "a/a1").string())});
    page.clickBreadcrumb(0);
    ASSERT_TRUE(page.goBack());
    EXPECT_EQ(page.currentPath(), a);
    ASSERT_TRUE(page.goBack());
    EXPECT_EQ(page.currentPath(), top.string() + "/");
    ASSERT_TRUE(page.goBack());
    EXPECT_EQ(page.currentPath(), (top / "b").string() + "/");
}

TEST_F(DiskUsageRingPageTest, RowsCarryTheirColumnsSortByHeaderAndFilterUntilTheFolderChanges) {
    fs::last_write_time(top / "readme", fs::file_time_type::clock::now() - std::chrono::hours(48));
    page.showFolder(top.string());
    EXPECT_EQ(row("a").itemCount, 2u);
    EXPECT_EQ(row("b").itemCount, 1u);
    EXPECT_FALSE(row("readme").itemCount);
    ASSERT_TRUE(row("readme").modified && row("b").modified);
    EXPECT_LT(*row("readme").modified, *row("b").modified);
    EXPECT_EQ(page.percentText(row("a")), "61%");  // 4000 of 6510

    struct Case {
        ListColumn column;
        std::vector<std::string> rows;
    };
    for (const Case& c : std::vector<Case>{
             {ListColumn::Items, {"a", "b", "readme"}},  // a file has no count: last
             {ListColumn::Items, {"b", "a", "readme"}},  // the same header again reverses
             {ListColumn::PercentOfParent, {"a", "b", "readme"}},
         }) {
        page.clickColumn(c.column);
        EXPECT_EQ(rowNames(), c.rows) << columnTitle(c.column, page.sort());
    }
    page.clickColumn(ListColumn::Modified);
    EXPECT_EQ(rowNames().back(), "readme");  // newest first
    page.clickColumn(ListColumn::Modified);
    EXPECT_EQ(rowNames().front(), "readme");

    page.setFilter("READ");
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"readme"}));
    page.showFolder(top.string());  // the same folder listed again keeps the search
    EXPECT_EQ(page.filter(), "READ");
    page.clickLeftListViewAction(page.rows()[0]);  // a file: nothing changes
    page.setFilter("");
    page.clickLeftListViewAction(row("a"));
    page.setFilter("zz");
    EXPECT_TRUE(page.rows().empty());
    page.clickBreadcrumb(0);
    EXPECT_EQ(page.filter(), "");
    EXPECT_EQ(rowNames().size(), 3u);
}

TEST_F(DiskUsageRingPageTest, TreemapNamesTilesOpensFoldersOutlinesTheSelectionAndIsRemembered) {
    EXPECT_EQ(page.chartKind(), RingPageModel::ChartKind::Ring);
    page.setChartKind(RingPageModel::ChartKind::Treemap);
    EXPECT_EQ(RingPageModel().chartKind(), RingPageModel::ChartKind::Treemap);

    // 10 px² a byte: every item gets a tile, the small file too.
    auto layOut = [&] {
        std::map<std::string, const TreemapTile*> named;
        for (const auto& tile : page.layOutTreemap(651, 100)) {
            named[page.treemap().nameOf(tile)] = &tile;
        }
        return named;
    };
    auto centre = [](const TreemapTile* tile) {
        return PieTree::PointerEvent{tile->rect.x + tile->rect.width / 2,
                                     tile->rect.y + tile->rect.height / 2, 7.0f, 9.0f};
    };
    auto tiles = layOut();
    ASSERT_TRUE(tiles.count("a") && tiles.count("b") && tiles.count("a1") && tiles.count("small"));
    EXPECT_EQ(tiles["readme"]->tile, TreemapTileKind::File);

    page.changeSelectArr(row("b"), true);
    page.changeSelectArr(row("readme"), true);
    auto selected = page.selectedTiles();
    ASSERT_EQ(selected.size(), 2u);
    EXPECT_EQ(selected[0], tiles["b"]);
    EXPECT_EQ(selected[1], tiles["readme"]);

    page.treemapMoved({tiles["b"]->rect.x + 1, tiles["b"]->rect.y + 1, 0, 0});  // its frame
    EXPECT_EQ(page.bubble.get().name, "b");
    EXPECT_EQ(page.bubble.get().size, "2.00 KB");
    page.treemapMoved({-5, -5, 0, 0});
    EXPECT_FALSE(page.bubble.get().visible);

    // A file opens nothing; a folder inside a opens as its sector would.
    page.treemapClicked(centre(tiles["readme"]));
    EXPECT_EQ(page.currentPath(), top.string() + "/");
    page.treemapClicked(centre(tiles["a1"]));
    EXPECT_EQ(page.currentPath(), (top / "a/a1").string() + "/");
    EXPECT_EQ(layOut().count("f"), 1u);
}
