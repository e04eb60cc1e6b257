// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <map>
#include <mutex>
#include <numbers>
#include <optional>

#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/FileSystemBrowserModel.h"
#include "diskusage/ui/DiskUsageColumnBrowser.h"
#include "diskusage/ui/DiskUsageColumnBrowserModel.h"
#include "diskusage/ui/DiskUsageColumnBrowserToolPane.h"
#include "diskusage/ui/DiskUsageColumnBrowserView.h"
#include "diskusage/ui/DiskUsageDiscoverView.h"
#include "diskusage/ui/DiskUsageItemMenu.h"
#include "diskusage/ui/DiskUsageLeftCellView.h"
#include "diskusage/ui/DiskUsagePathListPage.h"
#include "diskusage/ui/DiskUsageProgressPage.h"
#include "diskusage/ui/DiskUsageRemovalSheet.h"
#include "diskusage/ui/DiskUsageRingPage.h"
#include "diskusage/ui/DiskUsageTool.h"
#include "diskusage/ui/PieChartBubble.h"
#include "diskusage/ui/RingChartView.h"
#include "diskusage/ui/SelectableItemRow.h"
#include "diskusage/ui/TreemapView.h"
#include "platform/ProcessLauncher.h"
#include "support/AccessibleTree.h"
#include "support/RecordingFileViewer.h"
#include "support/ScriptedAsker.h"
#include "support/TestPlatform.h"
#include "support/UiPictures.h"
#include "ui/ImageProvider.h"
#include "ui/QtMainQueue.h"
#include "ui/StackPageHost.h"
#include "ui/WindowStyle.h"
#include "ui/WorkRunner.h"

using namespace quillby;

namespace {

// The fill of a depth-2 sector starting at `degrees`: 0.9 of its palette colour.
QColor depthTwoColour(double degrees) {
    RingColour colour =
        sectorPalette()[static_cast<std::size_t>(28 * (std::trunc(degrees) / 360.0))];
    return QColor(static_cast<int>(colour.r * 0.9), static_cast<int>(colour.g * 0.9),
                  static_cast<int>(colour.b * 0.9));
}

void send(QWidget* widget, QEvent::Type type, QPointF at) {
    QPointF global = widget->mapToGlobal(at);
    QMouseEvent event(type, at, global, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The pixel at radius r (chart units) and angle t (degrees, clockwise from up) of the view.
QPointF chartPoint(const QWidget* view, double r, double t) {
    RingViewport viewport(view->width(), view->height());
    double x = 0, y = 0;
    double radians = t * std::numbers::pi / 180.0;
    viewport.toPixel(r * std::sin(radians), r * std::cos(radians), x, y);
    return {x, y};
}

// A home folder of a/ (half of it), b/ and c/ (a quarter each), and a local volume.
class DiskUsagePagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WindowStyle::apply(*qApp);
        ImageProvider::shared().setUseThemeIcons(false);
        home = platform.root().path() / "alice";
        makeFile(home / "a/one", 2'000'000);
        makeFile(home / "a/two", 2'000'000);
        makeFile(home / "b/file", 2'000'000);
        makeFile(home / "c/file", 2'000'000);
        UserDefaults::standardUserDefaults().setBool(true, SettingsKey::QWDiskUsageShowStyle);

        makeTool({});
    }
    // The tool over the fixture home (or `homeFolder` as the user's home), with the column browser
    // `columns` makes (none: no column browser in this build).
    void makeTool(DiskUsageColumnBrowserFactory columns, const fs::path& homeFolder = {}) {
        DiskUsageTool::Options options;
        options.environment.userName = "alice";
        options.environment.homeFolder = (homeFolder.empty() ? home : homeFolder).string();
        options.environment.volumes = {{.name = "Data",
                                        .rootPath = (platform.root().path() / "data").string(),
                                        .totalBytes = 1'000'000'000'000,
                                        .freeBytes = 412'000'000'000}};
        options.columnBrowser = std::move(columns);
        options.environment.keptScans = keptScans;
        tool = std::make_unique<DiskUsageTool>(host.needs(), std::move(options));
        tool->registerWith(host);
        pages.resize(820, 540);
        pages.show();
        // Keys reach the active window only, as in a real window system (after a hide, once the
        // window is back on the screen).
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&pages));
        pages.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&pages));
        tool->ringPage()->setRemoval(
            DiskUsageRemoval({.homeFolder = (platform.root().path() / "elsewhere").string()}));
    }
    void TearDown() override {
        pages.hide();
        // The tool takes back the pages no window holds.
        while (pages.count()) pages.widget(0)->setParent(nullptr);
        tool.reset();
    }

    TestPlatform platform;
    QtMainQueue queue;
    std::optional<fs::path> keptScans;  // where the tool keeps its scans; none: not kept
    fs::path home;
    std::shared_ptr<ScriptedAsker> asker = std::make_shared<ScriptedAsker>();
    StackPageHost host{{.queue = &queue, .asker = asker}};
    QStackedWidget& pages = host.stack;
    std::vector<int>& shown = host.turns;
    std::unique_ptr<DiskUsageTool> tool;
};

}  // namespace

TEST_F(DiskUsagePagesTest, ScansDrawsHoversClicksInAndOutRemovesAndSavesThePictures) {
    DiskUsagePathListPage* list = tool->pathListPage();
    ASSERT_EQ(list->rows().size(), 3u);
    EXPECT_TRUE(list->rows()[0]->isVisible());
    EXPECT_FALSE(list->rows()[2]->isVisible());  // no folder chosen yet
    // The row shows a cut path; a screen reader reads all of it.
    EXPECT_EQ(list->rows()[0]->accessibleDescription().toStdString(), home.string());
    EXPECT_TRUE(list->ringCheckBox()->isChecked());
    saveUiPicture(pages, "disk-usage-path-list");

    QTest::mouseClick(list->rows()[0], Qt::LeftButton);
    ASSERT_EQ(shown, std::vector<int>{1});
    EXPECT_TRUE(tool->progressPage()->refreshTimer().isActive());
    // The finish step waits for the event loop: the page still shows the scan's last counts.
    tool->controller().waitForScanWorker();
    tool->progressPage()->refresh();
    EXPECT_EQ(tool->progressPage()->countsLabel()->text(), "4 folders, 4 files, 8.00 MB");
    pages.layout()->activate();
    tool->progressPage()->layout()->activate();
    saveUiPicture(pages, "disk-usage-progress");
    ASSERT_TRUE(QTest::qWaitFor([&] { return tool->controller().bSearchFinished(); }, 20000));
    ASSERT_EQ(shown, (std::vector<int>{1, 2}));
    tool->progressPage()->refresh();
    EXPECT_EQ(tool->progressPage()->levelBar()->text(), "3 of 3 top-level folders");
    EXPECT_FALSE(tool->unreadableNote()->isVisibleTo(tool->resultsPage()));

    DiskUsageRingPage* ring = tool->ringPage();
    QTest::qWait(20);
    EXPECT_EQ(ring->headerName()->text(), "alice");
    EXPECT_EQ(ring->headerSize()->text(), "8.00 MB");
    ASSERT_EQ(ring->rows().size(), 3u);
    EXPECT_EQ(ring->rows()[0]->shownName(), "a");

    // The first ring: a over half the turn from 0 degrees, b and c a quarter each.
    RingChartView* view = ring->chartView();
    QImage picture(view->size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    view->render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    QRect area = picture.rect();
    double shareA = shareOfColour(picture, area, depthTwoColour(0), 8);
    double shareB = shareOfColour(picture, area, depthTwoColour(180), 8);
    double shareC = shareOfColour(picture, area, depthTwoColour(270), 8);
    double shareCentre = shareOfColour(picture, area, QColor(39, 41, 51), 4);
    EXPECT_GT(shareB, 0.01);
    EXPECT_NEAR(shareA / shareB, 2.0, 0.3);
    EXPECT_NEAR(shareC / shareB, 1.0, 0.15);
    EXPECT_GT(shareCentre, 0.01);
    EXPECT_EQ(picture.pixelColor(1, 1).alpha(), 0);  // the background stays transparent

    // Hovering a shows its bubble; moving onto b replaces it.
    send(view, QEvent::MouseMove, chartPoint(view, 0.9, 90));
    EXPECT_TRUE(ring->bubble()->isVisible());
    EXPECT_EQ(ring->bubble()->name(), "a");
    EXPECT_EQ(ring->bubble()->sizeText(), "4.00 MB");
    send(view, QEvent::MouseMove, chartPoint(view, 0.9, 200));
    EXPECT_EQ(ring->bubble()->name(), "b");
    saveUiPicture(pages, "disk-usage-ring");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view, &leave);
    EXPECT_FALSE(ring->bubble()->isVisible());

    // Into a, and out through the centre disc.
    send(view, QEvent::MouseButtonPress, chartPoint(view, 0.9, 90));
    // The listing is read on the page's worker.
    ASSERT_TRUE(QTest::qWaitFor([&] { return ring->headerName()->text() == "a"; }, 20000));
    auto crumbs = ring->breadcrumbButtons();
    ASSERT_EQ(crumbs.size(), 2u);
    EXPECT_EQ(crumbs[0]->text(), "alice");
    EXPECT_EQ(crumbs[1]->text(), "a");
    send(view, QEvent::MouseButtonPress, chartPoint(view, 0, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ring->headerName()->text() == "alice"; }, 20000));

    // The same from the keyboard: the arrows walk the sectors and the chart describes the one
    // focused; Enter opens it, and on the centre disc leads up.
    QAccessibleInterface* chart = QAccessible::queryAccessibleInterface(view);
    ASSERT_EQ(chart->role(), QAccessible::Chart);
    EXPECT_TRUE(accessibleDescendant(view, QAccessible::ListItem, "b"));
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_TRUE(chart->text(QAccessible::Description).startsWith("a, "))
        << chart->text(QAccessible::Description).toStdString();
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ring->headerName()->text() == "a"; }, 20000));
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ring->headerName()->text() == "alice"; }, 20000));

    // Remove b and c, b standing for the user's home: the sheet reviews them, the question
    // asks; cancelled, nothing goes.
    ring->setRemoval(DiskUsageRemoval({.homeFolder = (home / "b").string()}));
    ring->rows()[1]->checkBox()->click();
    ring->rows()[2]->checkBox()->click();
    EXPECT_EQ(ring->statusLine()->accessibleDescription(), "2 items are selected.");
    // Stop shows while the removal runs.
    auto confirmSheet = [&](bool removes) {
        ASSERT_TRUE(ring->removeButton()->isEnabled());
        ring->removeButton()->click();
        DiskUsageRemovalSheet* sheet = ring->removalSheet();
        ASSERT_NE(sheet, nullptr);
        ASSERT_EQ(sheet->rows().size(), 2u);
        sheet->confirmButton()->click();
        EXPECT_EQ(ring->stopButton()->isVisibleTo(ring), removes);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !ring->work().isBusy(); }, 20000));
        QTest::qWait(20);
        EXPECT_FALSE(ring->stopButton()->isVisibleTo(ring));
    };
    asker->nextChoices = {2};  // Cancel
    confirmSheet(false);
    ASSERT_EQ(asker->questions.size(), 1u);
    EXPECT_EQ(asker->questions[0], "Move 2 items (4.00 MB) to the trash?");
    EXPECT_TRUE(fs::exists(home / "c/file"));
    EXPECT_EQ(ring->statusLine()->accessibleDescription(), "2 items are selected.");

    // Moved to the trash: c lands in the data folder's trash; the home is refused by its rule.
    asker->nextChoices = {0};
    confirmSheet(true);
    fs::path trash = platform.context().xdgDataHome / "Trash";
    EXPECT_FALSE(fs::exists(home / "c"));
    EXPECT_TRUE(fs::exists(trash / "files/c/file"));
    EXPECT_TRUE(fs::exists(home / "b/file"));
    EXPECT_EQ(ring->headerSize()->text(), "6.00 MB");
    EXPECT_EQ(ring->rows().size(), 2u);
    ASSERT_EQ(asker->messages.size(), 1u);
    EXPECT_EQ(asker->messages[0],
              "Moved 1 item (2.00 MB) to the trash. 1 item could not be removed.");
    EXPECT_EQ(asker->messageDetails[0], (home / "b").string() + ": your home folder");
    EXPECT_EQ(ring->reportLine()->text(), QString::fromStdString(asker->messages[0]));
    EXPECT_EQ(asker->questions.size(), 2u);  // no retry with rights for a refusal
    ring->rows()[1]->checkBox()->click();
    EXPECT_FALSE(ring->removeButton()->isEnabled());

    ring->backButton()->click();
    EXPECT_EQ(shown.back(), 0);
}

// The notice is no dead end: Back, Escape and Alt+Left lead back to the path list.
TEST_F(DiskUsagePagesTest, TheTreemapSwitchShowsTilesHoversOpensAndSavesItsPicture) {
    // Files of each kind beside the folders, for the picture's colours.
    for (auto [name, bytes] : {std::pair{"holiday.jpg", 1'500'000},
                               {"film.mkv", 2'500'000},
                               {"song.mp3", 700'000},
                               {"backup.tar.gz", 1'200'000},
                               {"notes.pdf", 400'000},
                               {"main.cpp", 150'000}}) {
        makeFile(home / name, bytes);
    }
    for (int i = 0; i < 12; ++i) makeFile(home / "c/deep" / std::to_string(i) / "f", 90'000 * i);
    QTest::mouseClick(tool->pathListPage()->rows()[0], Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tool->controller().bSearchFinished(); }, 20000));
    DiskUsageRingPage* ring = tool->ringPage();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ring->rows().size() == 9; }, 20000));
    ring->treemapButton()->click();
    TreemapView* view = ring->treemapView();
    ASSERT_TRUE(view->isVisible());
    EXPECT_FALSE(ring->chartView()->isVisible());
    EXPECT_TRUE(ring->treemapButton()->isChecked());

    QImage picture(view->size(), QImage::Format_ARGB32_Premultiplied);
    view->render(&picture);
    const TreemapLayout& layout = tool->controller().diskView().treemap();
    auto tile = [&](const std::string& name) {
        for (const auto& shown : layout.tiles())
            if (layout.nameOf(shown) == name) return shown.rect;
        ADD_FAILURE() << name;
        return TreemapRect{};
    };
    // The film, the only video, shows in its kind's colour over its tile's share of the view.
    TreemapRect film = tile("film.mkv");
    EXPECT_NEAR(shareOfColour(picture, picture.rect(), QColor(219, 68, 55), 4),
                film.area() / (view->width() * view->height()), 0.02);
    ring->rows()[0]->checkBox()->click();  // outlined in the picture
    send(view, QEvent::MouseMove, QPointF(film.x + film.width / 2, film.y + film.height / 2));
    EXPECT_EQ(ring->bubble()->name(), "film.mkv");
    EXPECT_TRUE(ring->bubble()->isVisible());
    saveUiPicture(pages, "disk-usage-treemap");

    TreemapRect c = tile("c");
    send(view, QEvent::MouseButtonPress, QPointF(c.x + 3, c.y + 3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ring->headerName()->text() == "c"; }, 20000));
}

TEST_F(DiskUsagePagesTest, DiscoverListsFilesToRevealAndRemoveAndSavesItsPicture) {
    const std::pair<const char*, std::int64_t> dates[] = {{"a/one", 978307200},
                                                          {"a/two", 1262304000},
                                                          {"b/file", 1577836800},
                                                          {"c/file", 1704067200}};
    for (auto [name, seconds] : dates) {
        struct timespec both[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (home / name).c_str(), both, 0), 0);
    }
    QTest::mouseClick(tool->pathListPage()->rows()[0], Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tool->controller().bSearchFinished(); }, 20000));
    DiskUsageRingPage* ring = tool->ringPage();
    ring->discoverButton()->click();
    DiskUsageDiscoverView* discover = ring->discoverView();
    ASSERT_TRUE(discover->isVisible());
    EXPECT_FALSE(ring->searchField()->isVisible());
    auto listed = [&] {
        std::vector<std::string> names;
        for (auto* row : discover->rows())
            names.push_back(fs::relative(row->item().path, home).string());
        return names;
    };
    // Largest (equal sizes by path), newest, oldest.
    EXPECT_EQ(listed(),
              (std::vector<std::string>{"a/one", "a/two", "b/file", "c/file", "c/file", "b/file",
                                        "a/two", "a/one", "a/one", "a/two", "b/file", "c/file"}));
    saveUiPicture(pages, "disk-usage-discover");

    auto viewer = std::make_shared<RecordingFileViewer>();
    ring->itemActions().setViewer(viewer);
    QMenu* menu = ring->itemMenu(discover->rows()[4]->item());
    ASSERT_EQ(menu->actions()[3]->text(), "Show in Folder");
    menu->actions()[3]->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ring->itemActions().work().isBusy(); }, 20000));
    EXPECT_EQ(viewer->revealed, std::vector<std::string>{(home / "c/file").string()});

    // Removed through the conversation, to the trash: the file leaves every list.
    discover->rows()[4]->checkBox()->click();
    EXPECT_EQ(ring->statusLine()->accessibleDescription(), "1 items are selected.");
    asker->nextChoices = {0};
    ring->removeButton()->click();
    ASSERT_NE(ring->removalSheet(), nullptr);
    ring->removalSheet()->confirmButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ring->work().isBusy(); }, 20000));
    EXPECT_EQ(asker->questions.back(), "Move 1 item (2.00 MB) to the trash?");
    EXPECT_TRUE(fs::exists(platform.context().xdgDataHome / "Trash/files/file"));
    EXPECT_EQ(listed(), (std::vector<std::string>{"a/one", "a/two", "b/file", "b/file", "a/two",
                                                  "a/one", "a/one", "a/two", "b/file"}));
}

TEST_F(DiskUsagePagesTest, TheColumnModeShowsANoticeWhenTheBuildHasNoColumnBrowser) {
    tool->pathListPage()->ringCheckBox()->setChecked(false);
    auto scan = [&] {
        tool->controller().folderChosen((home / "a").string());
        return QTest::qWaitFor([&] { return shown.back() == 2; }, 20000);
    };
    ASSERT_TRUE(scan());
    auto* notice = qobject_cast<QLabel*>(tool->resultsStack()->currentWidget());
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->text(), DiskUsageTool::kNoColumnView);
    ASSERT_TRUE(tool->columnsBackButton()->isVisibleTo(tool->resultsPage()));
    tool->columnsBackButton()->click();
    EXPECT_EQ(shown.back(), 0);
    for (auto keys : {QKeyCombination(Qt::Key_Escape), QKeyCombination(Qt::ALT | Qt::Key_Left)}) {
        ASSERT_TRUE(scan());
        QTest::keyClick(notice, keys.key(), keys.keyboardModifiers());
        EXPECT_EQ(shown.back(), 0) << keys.key();
    }
}

TEST_F(DiskUsagePagesTest, TheColumnBrowserRemovesThroughTheToolsGuard) {
    TearDown();
    // a/ stands for the user's home: the browser must refuse it as the ring page does.
    makeTool(DiskUsageColumnBrowserToolPane::factory(asker), home / "a");
    tool->pathListPage()->ringCheckBox()->setChecked(false);
    tool->controller().folderChosen(home.string());
    ASSERT_TRUE(QTest::qWaitFor([&] { return tool->controller().bSearchFinished(); }, 20000));
    auto* pane = qobject_cast<DiskUsageColumnBrowserToolPane*>(tool->columnBrowser());
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(tool->resultsStack()->currentWidget(), pane);

    FSNode* root = tool->controller().browserRoot();
    ASSERT_NE(root, nullptr);
    for (const auto& child : root->children) {
        if (child->displayName() == "a" || child->displayName() == "b")
            FileSystemBrowserModel::clickCheckBox(*child);
    }
    DiskUsageColumnBrowser* browser = pane->browser();
    // The current item's context menu copies its path.
    QModelIndex c = browser->model()->indexOf(root->children.back().get());
    browser->columnView()->setCurrentIndex(c);
    QMenu* menu = browser->itemMenu();
    ASSERT_NE(menu, nullptr);
    menu->actions()[0]->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), root->children.back()->path());
    browser->removeCheckedItems();
    browser->work().waitUntilIdle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !asker->messages.empty(); }, 5000));

    ASSERT_EQ(asker->questions.size(), 1u);  // no retry with rights for a refusal
    EXPECT_TRUE(fs::exists(home / "a/one"));
    EXPECT_FALSE(fs::exists(home / "b"));
    EXPECT_TRUE(fs::exists(platform.context().xdgDataHome / "Trash/files/b/file"));
    EXPECT_TRUE(fs::exists(home / "c/file"));
    // The refusal reads its rule, not a system error.
    EXPECT_EQ(asker->messageDetails.back(), (home / "a").string() + ": your home folder");
    EXPECT_EQ(tool->controller().leftCellArr.get()[2].usedSize, "6.00 MB");
}

TEST_F(DiskUsagePagesTest, OpenScanShowsTheFileAsItsOwnRowMarkedImportedWithoutRemoval) {
    fs::path file = platform.root().path() / "alice.json";
    ASSERT_TRUE(exportScanFile(home, file));
    DiskUsagePathListPage* list = tool->pathListPage();
    list->openScanButton()->click();
    auto* dialog = list->findChild<QFileDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->nameFilters(), QStringList{"Scan files (*.json)"});
    dialog->selectFile(QString::fromStdString(file.string()));
    static_cast<QDialog*>(dialog)->accept();  // the dialog's own Open
    ASSERT_TRUE(QTest::qWaitFor([&] { return tool->controller().bSearchFinished(); }, 20000));
    ASSERT_EQ(shown, (std::vector<int>{1, 2}));
    ASSERT_EQ(list->rows().size(), 4u);
    EXPECT_TRUE(list->rows()[3]->isVisibleTo(list));

    DiskUsageRingPage* ring = tool->ringPage();
    QTest::qWait(20);
    EXPECT_TRUE(ring->originLine()->isVisibleTo(ring));
    EXPECT_EQ(ring->originLine()->text(),
              "Imported from alice.json, written by quillby 4.0 on 2023-11-14 22:13 UTC");
    ASSERT_EQ(ring->rows().size(), 3u);
    EXPECT_FALSE(ring->rows()[0]->checkBox()->isEnabled());
    EXPECT_FALSE(ring->removeButton()->isEnabled());
    // Even asked directly, the page removes nothing of an imported tree.
    ring->removeItems({DiskUsageItem::make("a", (home / "a").string(), 4'000'000, true)});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ring->work().isBusy(); }, 20000));
    EXPECT_TRUE(fs::exists(home / "a/one"));
    EXPECT_TRUE(asker->questions.empty());
}

// A second scan of a place compares with the one kept before: the list's change column says
// what grew, what is new, and a line what went.
TEST_F(DiskUsagePagesTest, ASecondScanShowsWhatChangedSinceTheFirst) {
    TearDown();
    keptScans = platform.root().path() / "scans";
    makeTool({});
    DiskUsageRingPage* ring = tool->ringPage();
    auto scanHome = [&](std::size_t rows) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return tool->controller().bSearchFinished(); }, 20000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return ring->rows().size() == rows; }, 20000));
    };
    QTest::mouseClick(tool->pathListPage()->rows()[0], Qt::LeftButton);
    scanHome(3);
    EXPECT_TRUE(ring->columnButtons()[5]->isHidden());  // nothing to compare with yet
    EXPECT_EQ(ring->rows()[0]->cellTexts().size(), 3);

    makeFile(home / "a/three", 1'000'000);
    fs::remove_all(home / "b");
    makeFile(home / "d/new", 500'000);
    ring->backButton()->click();
    ASSERT_TRUE(tool->controller().getLocalPath());
    scanHome(3);
    ASSERT_FALSE(ring->columnButtons()[5]->isHidden());
    EXPECT_EQ(ring->columnButtons()[5]->text(), "Change");
    std::map<QString, QString> changes;
    for (auto* row : ring->rows()) changes[row->shownName()] = row->cellTexts().value(3);
    EXPECT_EQ(changes,
              (std::map<QString, QString>{{"a", "+1.00 MB"}, {"c", "0.00 KB"}, {"d", "new"}}));
    EXPECT_FALSE(ring->goneLine()->isHidden());
    EXPECT_TRUE(ring->goneLine()->text().startsWith("1 folder gone since "))
        << ring->goneLine()->text().toStdString();
    EXPECT_TRUE(ring->goneLine()->text().endsWith("(2.00 MB): b"));
    ring->columnButtons()[5]->click();  // most grown first
    EXPECT_EQ(ring->rows()[0]->shownName(), "a");
}

// The way a user walks the tool in one session, no restart: a place measured in columns, back,
// another place measured as rings, back again; it runs in a real window too (DesktopProgram).
TEST_F(DiskUsagePagesTest, AWalkThroughColumnsAndRingsAndBackNeedsNoRestart) {
    TearDown();
    makeFile(platform.root().path() / "data/disk.img", 3'000'000);
    makeTool(DiskUsageColumnBrowserToolPane::factory(asker));
    DiskUsagePathListPage* places = tool->pathListPage();
    auto measure = [&](std::size_t row, QWidget* expected) {
        QTest::mouseClick(places->rows().at(row), Qt::LeftButton);
        bool measured = QTest::qWaitFor(
            [&] {
                return shown.back() == 2 && tool->controller().bSearchFinished() &&
                       tool->resultsStack()->currentWidget() == expected;
            },
            20000);
        // The keys that follow go where a user's would: to the active window's focus, which
        // the results take from the place row clicked.
        QApplication::setActiveWindow(&pages);
        return measured && tool->resultsPage()->isAncestorOf(QApplication::focusWidget());
    };
    ASSERT_GE(places->rows().size(), 2u);
    places->ringCheckBox()->setChecked(false);
    ASSERT_TRUE(measure(0, tool->columnBrowser())) << "the home in columns";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    ASSERT_EQ(shown.back(), 0);
    places->ringCheckBox()->setChecked(true);
    ASSERT_TRUE(measure(1, tool->ringPage())) << "another place as rings";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left, Qt::AltModifier);
    ASSERT_EQ(shown.back(), 0);
    ASSERT_TRUE(measure(0, tool->ringPage())) << "the first place again, now as rings";
}

namespace {

// Records the terminals started and starts nothing.
class RecordingLauncher final : public ProcessLauncher {
  public:
    struct Start {
        std::string folder;
        std::string program;
    };
    class Ended final : public LaunchedProcess {
        bool isRunning() override { return false; }
        int terminationStatus() override { return 0; }
        void terminate() override {}
    };
    std::unique_ptr<LaunchedProcess> launch(const std::string&,
                                            const std::vector<std::string>&) override {
        return nullptr;
    }
    std::unique_ptr<LaunchedProcess> launchIn(const std::string& folder, const std::string& program,
                                              const std::vector<std::string>&) override {
        std::lock_guard lock(mutex);
        starts.push_back({folder, program});
        return std::make_unique<Ended>();
    }
    std::string ownExecutable() override { return {}; }
    std::string findTool(const std::string&) override { return {}; }
    bool runningAsAdministrator() override { return false; }

    std::mutex mutex;
    std::vector<Start> starts;
};

}  // namespace

// The ring page's tools: the centre's name and total, the list's columns, sort and search,
// Back and Forward (buttons and Alt+Left/Right), and the items' context menu.
TEST_F(DiskUsagePagesTest, TheRingPagesColumnsSearchHistoryAndItemMenu) {
    makeFile(home / "notes.txt", 3'000'000);
    fs::last_write_time(home / "notes.txt",
                        fs::file_time_type::clock::now() - std::chrono::hours(24 * 400));
    // c is never read: it shows as excluded, not as an empty folder.
    UserDefaults::standardUserDefaults().setObject(SettingValue((home / "c").string()),
                                                   SettingsKey::DiskUsageExcludes);
    QTest::mouseClick(tool->pathListPage()->rows()[0], Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tool->controller().bSearchFinished(); }, 20000));
    DiskUsageRingPage* ring = tool->ringPage();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ring->rows().size() == 4u; }, 20000));
    auto rowNames = [&] {
        QStringList names;
        for (auto* row : ring->rows()) names << row->shownName();
        return names;
    };
    auto headers = [&] {
        QStringList texts;
        for (auto* header : ring->columnButtons()) {
            if (!header->isHidden()) texts << header->text();
        }
        return texts;
    };
    EXPECT_EQ(headers(), (QStringList{"Name", "Size \u25BC", "%", "Items", "Modified"}));
    EXPECT_EQ(rowNames(), (QStringList{"a", "notes.txt", "b", "[excluded] c"}));
    QStringList cells = ring->rows()[0]->cellTexts();
    ASSERT_EQ(cells.size(), 3);
    EXPECT_EQ(cells[0], "44%");  // 4 of 9 MB
    EXPECT_EQ(cells[1], "2");
    EXPECT_EQ(ring->rows()[1]->cellTexts()[1], "");  // a file has no count
    EXPECT_EQ(ring->rows()[3]->cellTexts()[1], "");  // nor an excluded folder: it stays closed

    ring->columnButtons()[0]->click();
    EXPECT_EQ(headers()[0], "Name \u25B2");
    EXPECT_EQ(rowNames(), (QStringList{"a", "b", "[excluded] c", "notes.txt"}));
    QTest::keyClicks(ring->searchField(), "NOTE");
    EXPECT_EQ(rowNames(), (QStringList{"notes.txt"}));
    ring->searchField()->clear();

    // The centre disc names the folder shown: light text on its dark fill.
    RingChartView* view = ring->chartView();
    QImage picture(view->size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    view->render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    QRect centre(view->width() / 2 - 30, view->height() / 2 - 15, 60, 30);
    EXPECT_GT(shareOfColour(picture, centre, QColor(245, 245, 245), 30), 0.02);

    // Into a and c, then back and forward; from the first folder Back leads to the places.
    auto header = [&](const QString& name) {
        return QTest::qWaitFor([&] { return ring->headerName()->text() == name; }, 20000);
    };
    EXPECT_FALSE(ring->nextFolderButton()->isEnabled());
    QTest::mouseClick(ring->rows()[0], Qt::LeftButton);
    ASSERT_TRUE(header("a"));
    ring->previousFolderButton()->click();
    ASSERT_TRUE(header("alice"));
    EXPECT_TRUE(ring->nextFolderButton()->isEnabled());
    ring->nextFolderButton()->click();
    ASSERT_TRUE(header("a"));
    QTest::keyClick(view, Qt::Key_Left, Qt::AltModifier);
    ASSERT_TRUE(header("alice"));
    QTest::keyClick(view, Qt::Key_Right, Qt::AltModifier);
    ASSERT_TRUE(header("a"));

    // The item menu: the path to the clipboard; the terminal only when the desktop has one
    // (the fixture's desktop has none).
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ring->itemActions().work().isBusy(); }, 20000));
    DiskUsageItem one = ring->rows()[0]->item();
    QMenu* menu = ring->itemMenu(one);
    EXPECT_FALSE(menu->actions()[1]->isVisible());
    menu->actions()[0]->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), (home / "a/one").string());
    auto launcher = std::make_shared<RecordingLauncher>();
    ring->itemActions().setLauncher(launcher);
    ring->itemActions().setTerminal(TerminalCommand{"Terminal", "t.desktop", "/usr/bin/t", {}});
    menu = ring->itemMenu(one);
    ASSERT_TRUE(menu->actions()[1]->isVisible());
    menu->actions()[1]->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ring->itemActions().work().isBusy(); }, 20000));
    ASSERT_EQ(launcher->starts.size(), 1u);
    EXPECT_EQ(launcher->starts[0].folder, (home / "a").string());
    EXPECT_EQ(launcher->starts[0].program, "/usr/bin/t");

    QTest::keyClick(view, Qt::Key_Left, Qt::AltModifier);
    ASSERT_TRUE(header("alice"));
    QTest::keyClick(view, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(shown.back(), 0);
}
