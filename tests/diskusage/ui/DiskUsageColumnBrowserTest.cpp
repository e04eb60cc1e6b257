// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <cerrno>
#include <future>

#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/DiskUsageRemoval.h"
#include "diskusage/NodeTreeOperator.h"
#include "diskusage/ui/DiskUsageColumnBrowser.h"
#include "diskusage/ui/DiskUsageColumnBrowserModel.h"
#include "diskusage/ui/DiskUsageColumnBrowserView.h"
#include "support/RecordingFileViewer.h"
#include "support/ScriptedAsker.h"
#include "support/TempDir.h"
#include "support/TestPlatform.h"
#include "support/UiPictures.h"
#include "ui/ImageProvider.h"
#include "ui/RichStatusLine.h"
#include "ui/WindowStyle.h"
#include "ui/WorkRunner.h"

using namespace quillby;

namespace {

using Disposal = DeletionGate::Disposal;

// A scanned fixture folder shown in the browser, in the window's look.
class DiskUsageColumnBrowserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WindowStyle::apply(*qApp);
        ImageProvider::shared().setUseThemeIcons(false);
        makeFile(top / "Videos/holiday.mkv", 3200000000);
        makeFile(top / "Videos/clip.mp4", 420000000);
        makeFile(top / "Videos/thumbs.db", 900);  // below the limit: never listed
        makeFile(top / "Music/album/one.flac", 41000000);
        makeFile(top / "Music/album/two.flac", 38000000);
        makeFile(top / "Music/notes.txt", 500);
        makeFile(top / "Documents/report.pdf", 2400000);
        makeFile(top / "Documents/letter.odt", 86000);
        makeFile(top / "Documents/todo.txt", 1000);
        makeFile(top / "backup.iso", 1250000000);
        root = NodeTreeOperator().buildBrowserTree(top.string(), 1000, {});
        browser.setRemovers(removeForReal(), [this] { return rightsRemover(); });
        browser.resize(960, 360);
        browser.show();
        browser.setRoot(root.get());
        QApplication::processEvents();
    }

    DiskUsageColumnBrowserView& view() { return *browser.columnView(); }
    QAbstractItemView* column(std::size_t which) {
        auto columns = view().visibleColumns();
        return which < columns.size() ? columns[which] : nullptr;
    }
    QStringList names(QAbstractItemView* in) {
        QStringList shown;
        for (int r = 0; r < in->model()->rowCount(in->rootIndex()); ++r) {
            shown << in->model()->index(r, 0, in->rootIndex()).data().toString();
        }
        return shown;
    }
    // The row of that name; an invalid index when there is none.
    QModelIndex row(QAbstractItemView* in, const QString& name) {
        return in->model()->index(names(in).indexOf(name), 0, in->rootIndex());
    }
    // Clicks at (x, y) of a row, as a user does.
    void clickRow(QAbstractItemView* in, const QModelIndex& index, QPoint at) {
        QRect rect = in->visualRect(index);
        QTest::mouseClick(in->viewport(), Qt::LeftButton, {}, rect.topLeft() + at);
        QApplication::processEvents();
    }
    void clickCheckBox(QAbstractItemView* in, const QString& name) {
        clickRow(in, row(in, name), QPoint(12, 21));
    }
    // Opens a row; a folder's column shows once the view has scrolled to it.
    void open(QAbstractItemView* in, const QString& name) {
        QModelIndex index = row(in, name);
        clickRow(in, index, QPoint(120, 17));
        ASSERT_EQ(view().currentIndex(), index);
        if (index.data(DiskUsageColumnBrowserModel::IsFolderRole).toBool()) waitForColumnOf(index);
    }
    void waitForColumnOf(const QModelIndex& folder) {
        ASSERT_TRUE(QTest::qWaitFor([&] {
            auto columns = view().visibleColumns();
            return !columns.empty() && columns.back()->rootIndex() == folder;
        }));
    }
    int state(QAbstractItemView* in, const QString& name) {
        return row(in, name).data(Qt::CheckStateRole).toInt();
    }
    void removeAndWait() {
        browser.removeButton()->click();
        browser.work().waitUntilIdle();
    }
    // The guarded removal from the scanned folder, trashing into the fixture's data folder.
    DiskUsageColumnBrowser::PathRemover removeForReal() const {
        DiskUsageRemoval removal(
            {(dir / "elsewhere").string(), top.string(), (dir / "data").string()});
        return [removal](const std::string& path, Disposal disposal) {
            return removal.removeItem(path, disposal);
        };
    }
    // Deletes for good what it is given, as the helper would, and remembers it.
    DiskUsageRemoval::PrivilegedRemover rightsRemover() {
        return [this, remove = removeForReal()](const std::string& path) {
            withRights.push_back(path);
            return remove(path, Disposal::Delete);
        };
    }

    // The browser's own removal, made before the test's replaces it, reads the fixture's home.
    TestPlatform platform;
    TempDir dir;
    fs::path top = dir / "home";
    std::unique_ptr<FSNode> root;
    std::shared_ptr<ScriptedAsker> asker = std::make_shared<ScriptedAsker>();
    std::shared_ptr<RecordingFileViewer> viewer = std::make_shared<RecordingFileViewer>();
    std::vector<std::string> withRights;
    DiskUsageColumnBrowser browser{asker, viewer};
};

}  // namespace

TEST_F(DiskUsageColumnBrowserTest, ChecksRemovesAndShowsWhatIsLeft) {
    ASSERT_NE(column(0), nullptr);
    EXPECT_EQ(names(column(0)), (QStringList{"Videos", "backup.iso", "Music", "Documents"}));
    EXPECT_FALSE(browser.removeButton()->isEnabled());

    // Just above the box the click opens the row; on the box it checks without opening.
    clickRow(column(0), row(column(0), "backup.iso"), QPoint(12, 11));
    EXPECT_EQ(state(column(0), "backup.iso"), Qt::Unchecked);
    EXPECT_EQ(view().currentIndex(), row(column(0), "backup.iso"));
    clickCheckBox(column(0), "Music");
    EXPECT_EQ(state(column(0), "Music"), Qt::Checked);
    EXPECT_EQ(view().currentIndex(), row(column(0), "backup.iso"));
    EXPECT_TRUE(browser.removeButton()->isEnabled());

    open(column(0), "Videos");
    ASSERT_NE(column(1), nullptr);
    EXPECT_EQ(names(column(1)), (QStringList{"holiday.mkv", "clip.mp4"}));
    clickCheckBox(column(1), "clip.mp4");
    EXPECT_EQ(state(column(0), "Videos"), Qt::PartiallyChecked);
    // A screen reader reads a partly checked box, where Qt's list alone says "not checked".
    QAccessibleInterface* videos =
        QAccessible::queryAccessibleInterface(column(0))->child(row(column(0), "Videos").row());
    EXPECT_TRUE(videos->state().checkable && videos->state().checkStateMixed);
    EXPECT_FALSE(videos->state().checked);
    open(column(0), "Documents");
    clickCheckBox(column(1), "report.pdf");
    clickCheckBox(column(1), "letter.odt");
    saveUiPicture(browser, "disk-usage-columns");
    open(column(0), "Videos");
    EXPECT_EQ(browser.itemPath(), (top / "Videos").string());

    asker->nextChoices = {0};  // Move to Trash
    removeAndWait();
    ASSERT_EQ(asker->questions.size(), 1u);
    EXPECT_EQ(asker->questions[0], "Move 4 items (501.49 MB) to the trash?");
    EXPECT_EQ(asker->questionButtons[0],
              (std::vector<std::string>{"Move to Trash", "Delete for Good", "Cancel"}));
    const std::string& details = asker->questionDetails[0];
    for (const fs::path& listed :
         {top / "Music", top / "Videos/clip.mp4", top / "Documents/letter.odt"}) {
        EXPECT_NE(details.find(listed.string()), std::string::npos) << details;
    }
    EXPECT_EQ(details.find("todo.txt"), std::string::npos);
    for (const char* name : {"Music", "clip.mp4", "report.pdf", "letter.odt"}) {
        EXPECT_TRUE(fs::exists(dir / "data/Trash/files" / name)) << name;
        EXPECT_TRUE(fs::exists(dir / "data/Trash/info" / (std::string(name) + ".trashinfo")));
    }

    // The checked folder went whole; of the others, only the checked items.
    EXPECT_FALSE(fs::exists(top / "Music"));
    EXPECT_FALSE(fs::exists(top / "Videos/clip.mp4"));
    EXPECT_TRUE(fs::exists(top / "Videos/holiday.mkv"));
    EXPECT_TRUE(fs::exists(top / "Videos/thumbs.db"));
    EXPECT_TRUE(fs::exists(top / "Documents/todo.txt"));
    EXPECT_EQ(root->size, 3200000000ULL + 900 + 1000 + 1250000000ULL);
    EXPECT_TRUE(asker->messages.empty());

    // The columns come back where they were, with what is left.
    waitForColumnOf(view().currentIndex());
    EXPECT_EQ(names(column(0)), (QStringList{"Videos", "backup.iso", "Documents"}));
    ASSERT_NE(column(1), nullptr);
    EXPECT_EQ(names(column(1)), QStringList{"holiday.mkv"});
    EXPECT_EQ(row(column(0), "Videos").data(DiskUsageColumnBrowserModel::SizeRole).toULongLong(),
              3200000900u);
    EXPECT_EQ(state(column(0), "Videos"), Qt::Unchecked);
    EXPECT_FALSE(browser.removeButton()->isEnabled());
    EXPECT_EQ(browser.statusLine()->accessibleDescription(),
              "Moved 4 items (501.49 MB) to the trash.");
    saveUiPicture(browser, "disk-usage-columns-after-removal");
}

TEST_F(DiskUsageColumnBrowserTest, OffersDeletionOfTheUntrashableRetriesRightsAndTellsReasons) {
    std::string locked = (top / "backup.iso").string();
    std::string mount = (top / "Videos").string();
    std::string noTrash = (top / "Music").string();
    browser.setRemovers(
        [&, remove = removeForReal()](const std::string& path, Disposal disposal) {
            if (path == locked) return RemovalOutcome::failed(path, EACCES);
            if (path == mount) return RemovalOutcome::refused(path, RefusalRule::MountPoint);
            if (path == noTrash && disposal == Disposal::Trash) {
                return RemovalOutcome::failed(path, EXDEV);
            }
            return remove(path, disposal);
        },
        [this] { return rightsRemover(); });
    for (const char* name : {"backup.iso", "Videos", "Documents", "Music"}) {
        clickCheckBox(column(0), name);
    }
    // Move to Trash, Delete for Good what no trash takes, Retry with Administrator Rights.
    asker->nextChoices = {0, 0, 0};
    removeAndWait();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !asker->messages.empty(); }));

    ASSERT_EQ(asker->questions.size(), 3u);
    EXPECT_EQ(asker->questions[1],
              "No trash on their disk can take 1 item (79.00 MB). Delete them for good? This "
              "cannot be undone.");
    EXPECT_EQ(asker->questionDetails[1], noTrash);
    EXPECT_EQ(asker->questions[2], "1 item can only be removed with administrator rights.");
    EXPECT_EQ(asker->questionButtons[2],
              (std::vector<std::string>{"Retry with Administrator Rights", "Cancel"}));
    // Only the failure rights may help is retried with them; the refusal never.
    EXPECT_EQ(withRights, std::vector<std::string>{locked});
    EXPECT_FALSE(fs::exists(top / "backup.iso"));
    EXPECT_FALSE(fs::exists(top / "Music"));
    EXPECT_TRUE(fs::exists(dir / "data/Trash/files/Documents"));
    EXPECT_TRUE(fs::exists(top / "Videos/holiday.mkv"));

    EXPECT_EQ(asker->messages[0],
              "Moved 1 item (2.49 MB) to the trash. Deleted 2 items (1.33 GB). 1 item could not "
              "be removed.");
    EXPECT_EQ(asker->messageDetails[0], mount + ": a mount point");
    EXPECT_EQ(browser.statusLine()->accessibleDescription(),
              QString::fromStdString(asker->messages[0]));
    // What could not go stays checked; the rest left the tree.
    EXPECT_EQ(names(column(0)), QStringList{"Videos"});
    EXPECT_EQ(state(column(0), "Videos"), Qt::Checked);
}

// Stop shows while a removal runs and ends it before its next item; the closing line counts
// what went and what was not tried.
TEST_F(DiskUsageColumnBrowserTest, StopEndsTheRemovalBeforeItsNextItem) {
    std::promise<void> stopped;
    std::shared_future<void> resume = stopped.get_future().share();
    std::atomic<int> tried{0};
    // The first item waits in the worker until Stop was pressed; released on every way out.
    std::unique_ptr<std::promise<void>, void (*)(std::promise<void>*)> release(
        &stopped, [](std::promise<void>* held) { held->set_value(); });
    browser.setRemovers(
        [&, remove = removeForReal()](const std::string& path, Disposal disposal) {
            if (tried++ == 0) resume.wait();
            return remove(path, disposal);
        },
        [this] { return rightsRemover(); });
    for (const char* name : {"Videos", "backup.iso", "Music", "Documents"}) {
        clickCheckBox(column(0), name);
    }
    EXPECT_FALSE(browser.stopButton()->isVisibleTo(&browser));
    asker->nextChoices = {0};  // Move to Trash
    browser.removeButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return tried.load() == 1; }));
    ASSERT_TRUE(browser.stopButton()->isVisibleTo(&browser));
    browser.stopButton()->click();
    EXPECT_FALSE(browser.stopButton()->isEnabled());
    release.reset();
    browser.work().waitUntilIdle();

    EXPECT_EQ(tried.load(), 1);
    EXPECT_FALSE(browser.stopButton()->isVisibleTo(&browser));
    EXPECT_FALSE(fs::exists(top / "Videos"));
    EXPECT_TRUE(fs::exists(top / "backup.iso"));
    EXPECT_EQ(browser.statusLine()->accessibleDescription(),
              "Moved 1 item (3.62 GB) to the trash. Stopped before 3 items.");
    EXPECT_EQ(asker->questions.size(), 1u);  // nothing more is asked after a stop
    EXPECT_EQ(names(column(0)), (QStringList{"backup.iso", "Music", "Documents"}));
}

TEST_F(DiskUsageColumnBrowserTest, CancelRemovesNothingAndAnEmptyBrowserOffersNothing) {
    clickCheckBox(column(0), "backup.iso");
    asker->nextChoices = {2};  // Cancel
    removeAndWait();
    ASSERT_EQ(asker->questions.size(), 1u);
    EXPECT_EQ(asker->questions[0], "Move 1 item (1.25 GB) to the trash?");
    EXPECT_TRUE(fs::exists(top / "backup.iso"));
    EXPECT_FALSE(fs::exists(dir / "data/Trash"));
    EXPECT_EQ(state(column(0), "backup.iso"), Qt::Checked);

    browser.setScanRunning(true);
    EXPECT_FALSE(browser.removeButton()->isEnabled());
    browser.setScanRunning(false);
    EXPECT_TRUE(browser.removeButton()->isEnabled());

    // Open and reveal act on the current item, on a worker, through the file viewer.
    open(column(0), "backup.iso");
    std::string iso = (top / "backup.iso").string();
    viewer->revealAnswer = false;
    browser.openButton()->click();
    EXPECT_FALSE(browser.revealButton()->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return browser.revealButton()->isEnabled(); }));
    browser.revealButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return browser.revealButton()->isEnabled(); }));
    EXPECT_EQ(viewer->opened, std::vector<std::string>{iso});
    EXPECT_EQ(viewer->revealed, std::vector<std::string>{iso});
    EXPECT_EQ(browser.statusLine()->accessibleDescription(),
              QString("\"%1\" could not be shown.").arg(QString::fromStdString(iso)));

    browser.setRoot(nullptr);
    EXPECT_EQ(browser.model()->rowCount(), 0);
    EXPECT_FALSE(browser.removeButton()->isEnabled());
    EXPECT_FALSE(browser.openButton()->isEnabled());
    EXPECT_EQ(browser.itemPath(), "");
}
