// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include <filesystem>
#include <set>

#include "duplicates/DuplicateResultsModel.h"
#include "duplicates/ui/DuplicateOptionsView.h"
#include "duplicates/ui/DuplicateOutlineModel.h"
#include "duplicates/ui/DuplicateResultsView.h"
#include "duplicates/ui/DuplicateScanningView.h"
#include "duplicates/ui/DuplicateStartView.h"
#include "duplicates/ui/DuplicatesPage.h"
#include "shell/PreferencesPane.h"
#include "support/AccessibleTree.h"
#include "support/ScriptedAsker.h"
#include "support/TempDir.h"
#include "support/TestPlatform.h"
#include "support/UiPictures.h"
#include "ui/CutTextLabel.h"
#include "ui/ImageProvider.h"
#include "ui/PathListEditor.h"
#include "ui/QtMainQueue.h"
#include "ui/RichStatusLine.h"
#include "ui/StackPageHost.h"
#include "ui/WindowStyle.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// The page's three views in a stack of their own, as the window would switch them.
class DuplicatesPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WindowStyle::apply(*qApp);
        ImageProvider::shared().setUseThemeIcons(false);
        page.registerWith(host);
        page.setSettingsSource([] { return DuplicateSearchSettings{.threshold = 100}; });
        stack.resize(1000, 640);
        stack.show();
    }
    QString category(int row) const {
        return page.resultsView()->categories()->item(row)->text().section('\n', 1);
    }
    QModelIndex groupNamed(const QString& name) const {
        DuplicateOutlineModel* outline = page.outline();
        for (int row = 0; row < outline->rowCount(); ++row) {
            QModelIndex index = outline->index(row, DuplicateOutlineModel::NameColumn);
            if (index.data().toString() == name) return index;
        }
        return {};
    }
    QString countOf(const QModelIndex& group) const {
        return group.siblingAtColumn(DuplicateOutlineModel::CountColumn).data().toString();
    }

    // The user's home and trash are the fixture's: removals never reach the real ones.
    TestPlatform platform;
    TempDir tree;
    QtMainQueue queue;
    std::shared_ptr<ScriptedAsker> asker = std::make_shared<ScriptedAsker>();
    StackPageHost host{{.queue = &queue, .asker = asker}};
    QStackedWidget& stack = host.stack;
    DuplicatesPage page{host.needs()};
};

}  // namespace

TEST_F(DuplicatesPageTest, SearchesTicksRemovesAndDrawsTheScanningAndResultsViews) {
    const std::string report(3000, 'r'), photo(250000, 'p'), song(1200000, 's');
    tree.write("Documents/report.pdf", report);
    tree.write("Backup/report.pdf", report);
    const char* beaches[] = {"Pictures/beach.jpg", "Pictures/old/beach.jpg", "Phone/beach.jpg"};
    for (const char* name : beaches) tree.write(name, photo);
    tree.write("Music/song.mp3", song);
    tree.write("Downloads/song.mp3", song);
    tree.write("Downloads/notes.txt", "small copies under the threshold");
    tree.write("Desktop/notes.txt", "small copies under the threshold");
    tree.write("Documents/unique.pdf", std::string(4000, 'u'));

    EXPECT_EQ(category(0), "0.00K");  // before the first search
    page.searchFolder(tree.path().string());
    EXPECT_EQ(stack.currentIndex(), DuplicatesPage::ScanningView);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page.isSearching(); }, 60000));
    ASSERT_EQ(page.currentView(), DuplicatesPage::ResultsView);
    EXPECT_EQ(stack.currentIndex(), DuplicatesPage::ResultsView);

    // Sizes by category: All, Documents, Videos, Music, Archives, Pictures, Others.
    const QStringList sizes{"3.16 MB", "6.00 KB",   "0.0KB", "2.40 MB",
                            "0.0KB",   "750.00 KB", "0.0KB"};
    for (int row = 0; row < sizes.size(); ++row) EXPECT_EQ(category(row), sizes[row]) << row;
    EXPECT_EQ(page.outline()->rowCount(), 3);
    {
        // The lazy outline keeps Qt's model rules through category changes and sorts.
        QAbstractItemModelTester tester(page.outline(),
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        page.showCategory(5);
        EXPECT_EQ(page.outline()->rowCount(), 1);
        page.showCategory(0);
        page.resultsView()->outline()->header()->sectionClicked(DuplicateOutlineModel::SizeColumn);
        EXPECT_EQ(page.results()->sortColumn(), DuplicateResultsModel::SortColumn::Size);
        page.resultsView()->outline()->header()->sectionClicked(DuplicateOutlineModel::SizeColumn);
        EXPECT_EQ(page.outline()->index(0, DuplicateOutlineModel::NameColumn).data(), "song.mp3");
        EXPECT_EQ(page.resultsView()->outline()->header()->sortIndicatorOrder(),
                  Qt::DescendingOrder);
    }
    QModelIndex pictures = groupNamed("beach.jpg");
    ASSERT_TRUE(pictures.isValid());
    EXPECT_EQ(countOf(pictures), "0/3");
    EXPECT_TRUE(
        page.resultsView()->selection()->accessibleDescription().startsWith("0 of 7 selected."))
        << page.resultsView()->selection()->accessibleDescription().toStdString();

    // Ticking the group keeps one copy; ticking the last one asks and still keeps one.
    page.clickCheck(page.outline()->nodeAt(pictures));
    EXPECT_EQ(countOf(pictures), "2/3");
    QModelIndex reports = groupNamed("report.pdf");
    auto reportNode = page.outline()->nodeAt(reports);
    page.clickCheck(reportNode->childAtIndex(0));
    page.clickCheck(reportNode->childAtIndex(1));
    EXPECT_EQ(asker->questions.back(), "Are you sure you want to delete all the duplicate files?");
    // The question names the copy that stays, and that copy is the one left unticked.
    std::string stays = reportNode->childAtIndex(0)->nodeData()->name;
    EXPECT_EQ(asker->questionDetails.back(),
              "\"" + stays + "\" stays: the last copy of a file is never removed.");
    EXPECT_EQ(reportNode->childAtIndex(0)->nodeData()->selectNum, 0);
    EXPECT_EQ(countOf(reports), "1/2");
    EXPECT_TRUE(page.resultsView()->removeButton()->isEnabled());
    EXPECT_TRUE(page.resultsView()->freeLine()->text().contains("stays"));
    EXPECT_EQ(page.resultsView()->headerBox()->checkState(), Qt::PartiallyChecked);
    page.resultsView()->outline()->expand(pictures.siblingAtColumn(0));
    QTest::qWait(20);
    saveUiPicture(stack, "duplicates-results");

    // Removing asks first, offering the trash; Cancel, the default, removes nothing.
    auto copiesLeft = [&] {
        int left =
            fs::exists(tree / "Documents/report.pdf") + fs::exists(tree / "Backup/report.pdf");
        for (const char* name : beaches) left += fs::exists(tree / name) ? 1 : 0;
        return left;
    };
    asker->nextChoices = {2};
    page.removeSelected();
    EXPECT_EQ(asker->questions.back(), "Move 3 items (503.00 KB) to the trash?");
    EXPECT_FALSE(page.isRemoving());
    EXPECT_EQ(copiesLeft(), 5);
    EXPECT_EQ(countOf(pictures), "2/3");

    // Deleted for good (the test's trash would be the user's): two pictures and one report go,
    // one copy of each stays.
    bool finished = false;
    QObject::connect(&page, &DuplicatesPage::removalFinished, [&] { finished = true; });
    asker->nextChoices = {1};
    page.removeSelected();
    EXPECT_TRUE(page.isRemoving());
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished; }, 60000));
    EXPECT_EQ(copiesLeft(), 2);
    EXPECT_EQ(category(5), "0.0KB");
    EXPECT_EQ(category(1), "0.0KB");
    EXPECT_EQ(page.outline()->rowCount(), 1);  // the songs are left
    EXPECT_EQ(page.resultsView()->freeLine()->text(), "Deleted 3 items (503.00 KB).");
    // A screen reader reads the status line's role as its name and what it says as description,
    // and the start view's intro by its text.
    QAccessibleInterface* freed =
        accessibleDescendant(&stack, QAccessible::StaticText, "Space freed");
    ASSERT_NE(freed, nullptr);
    EXPECT_EQ(freed->text(QAccessible::Description), "Deleted 3 items (503.00 KB).");
    QStringList texts;
    for (auto* text : accessibleDescendants(page.startView(), QAccessible::StaticText)) {
        texts << text->text(QAccessible::Name);
    }
    EXPECT_TRUE(texts.join('|').contains("Choose a folder, or drop one here."))
        << texts.join('|').toStdString();
    EXPECT_TRUE(asker->messages.empty());

    // The scanning view as it looks while a search runs.
    page.scanningView()->showStarted(5);
    page.scanningView()->showProgress(42, "/home/me/Pictures/holiday/2025/IMG_2041.jpg");
    stack.setCurrentIndex(DuplicatesPage::ScanningView);
    QTest::qWait(20);
    saveUiPicture(stack, "duplicates-scanning");
}

TEST_F(DuplicatesPageTest, AStopReturnsToTheStartAndOnlyOneFolderDropIsTaken) {
    for (int i = 0; i < 200; ++i) {
        std::string copy(5000, static_cast<char>('a' + i % 20));
        tree.write("f" + std::to_string(i) + "/a", copy);
        tree.write("f" + std::to_string(i) + "/b", copy);
    }
    page.searchFolder(tree.path().string());
    page.stopSearch();
    EXPECT_TRUE(page.scanningView()->stoppedLabel()->isVisibleTo(&stack));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page.isSearching(); }, 60000));
    EXPECT_EQ(page.currentView(), DuplicatesPage::StartView);

    auto url = [](const fs::path& path) {
        return QUrl::fromLocalFile(QString::fromStdString(path));
    };
    EXPECT_EQ(DuplicateStartView::droppedFolder({url(tree.path())}), tree.path().string());
    EXPECT_FALSE(DuplicateStartView::droppedFolder({url(tree / "f1/a")}));
    EXPECT_FALSE(DuplicateStartView::droppedFolder({url(tree / "f1"), url(tree / "f2")}));
    EXPECT_FALSE(DuplicateStartView::droppedFolder({url(tree / "missing")}));
    EXPECT_FALSE(DuplicateStartView::droppedFolder({QUrl("https://example.org/")}));
}

TEST_F(DuplicatesPageTest, AnEmptyResultSaysSoAndCanBeSearchedAgain) {
    tree.write("only/one.txt", std::string(500, 'o'));
    page.searchFolder(tree.path().string());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page.isSearching(); }, 60000));
    ASSERT_EQ(page.currentView(), DuplicatesPage::ResultsView);
    EXPECT_EQ(page.resultsView()->freeLine()->text(),
              "No duplicates found. Not compared: files of 0.10 KB or less, hidden files, "
              "system folders.");

    // A copy made since: "Search again" looks at the same folder and finds it.
    tree.write("only/two.txt", std::string(500, 'o'));
    page.resultsView()->searchAgainButton()->click();
    EXPECT_EQ(page.currentView(), DuplicatesPage::ScanningView);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page.isSearching(); }, 60000));
    EXPECT_EQ(page.outline()->rowCount(), 1);
    EXPECT_EQ(page.resultsView()->freeLine()->text(), "");
}

TEST_F(DuplicatesPageTest, ReplacingWithLinksAsksForTheKindAndCancelReplacesNothing) {
    const std::string photo(250000, 'p');
    const char* copies[] = {"a/beach.jpg", "b/beach.jpg", "c/beach.jpg"};
    for (const char* name : copies) tree.write(name, photo);
    auto inodes = [&] {
        std::set<ino_t> found;
        for (const char* name : copies) {
            struct stat status {};
            if (::lstat((tree / name).c_str(), &status) == 0) found.insert(status.st_ino);
        }
        return found.size();
    };
    page.searchFolder(tree.path().string());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page.isSearching(); }, 60000));
    page.clickHeaderBox();
    ASSERT_TRUE(page.resultsView()->linkButton()->isEnabled());

    asker->nextChoices = {2};
    page.resultsView()->linkButton()->click();
    ASSERT_EQ(asker->questions.size(), 1u);
    EXPECT_EQ(asker->questions[0],
              "Replace 2 items (500.00 KB) with links to the copies that stay?");
    EXPECT_EQ(asker->questionButtons[0],
              (std::vector<std::string>{"Hard Links", "Reflinks", "Cancel"}));
    EXPECT_FALSE(page.isRemoving());
    EXPECT_EQ(inodes(), 3u);

    asker->nextChoices = {0};
    page.replaceSelected();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page.isRemoving(); }, 60000));
    EXPECT_EQ(inodes(), 1u);
    for (const char* name : copies) EXPECT_EQ(TempDir::read(tree / name), photo);
    EXPECT_TRUE(page.resultsView()->freeLine()->text().startsWith("Replaced 2 items (500.00 KB)."))
        << page.resultsView()->freeLine()->text().toStdString();
    EXPECT_TRUE(asker->messages.empty());
}

TEST_F(DuplicatesPageTest, TheOptionsAndThePreferencesFollowEachOtherAndTheFieldFiltersGroups) {
    TestPlatform platform;  // the settings both sides store, fresh and in memory
    PreferencesPane preferences([](bool) { return true; });
    DuplicateOptionsView& options = *page.optionsView();
    options.readSettings();
    EXPECT_FALSE(options.panel()->isVisibleTo(&options));
    options.disclosure()->click();
    EXPECT_TRUE(options.panel()->isVisibleTo(&options));
    stack.setCurrentIndex(DuplicatesPage::StartView);
    QTest::qWait(20);
    saveUiPicture(stack, "duplicates-options");
    // Every control the options hold is named for screen readers.
    for (QWidget* control : options.findChildren<QWidget*>()) {
        const bool spinBoxPart = qobject_cast<QAbstractSpinBox*>(control->parentWidget());
        if (qobject_cast<QAbstractButton*>(control) || qobject_cast<QComboBox*>(control) ||
            qobject_cast<QAbstractSpinBox*>(control) || qobject_cast<QListWidget*>(control) ||
            (qobject_cast<QLineEdit*>(control) && !spinBoxPart)) {
            EXPECT_FALSE(control->accessibleName().isEmpty()) << control->metaObject()->className();
        }
    }

    // From the page to the preferences (the storing itself is DuplicateSearchChoices').
    options.hiddenBox()->click();
    options.limitBox()->setValue(5);
    options.unitPopUp()->activated(1);
    options.excludes()->field()->setText("*.tmp");
    options.excludes()->addButton()->click();
    EXPECT_TRUE(preferences.hiddenDuplicatesBox()->isChecked());
    EXPECT_EQ(preferences.duplicationLimitField()->text(), "5");
    EXPECT_EQ(preferences.duplicatesUnit()->currentText(), "KB");
    ASSERT_EQ(preferences.duplicateExcludes()->list()->count(), 1);
    EXPECT_EQ(preferences.duplicateExcludes()->list()->item(0)->text(), "*.tmp");
    EXPECT_TRUE(options.excludes()->field()->text().isEmpty());

    // From the preferences to the page.
    preferences.hiddenDuplicatesBox()->click();
    preferences.duplicationLimitField()->clear();
    QTest::keyClicks(preferences.duplicationLimitField(), "12");
    preferences.duplicateExcludes()->list()->setCurrentRow(0);
    preferences.duplicateExcludes()->removeButton()->click();
    EXPECT_FALSE(options.hiddenBox()->isChecked());
    EXPECT_EQ(options.limitBox()->value(), 12);
    EXPECT_EQ(options.excludes()->list()->count(), 0);

    // Keep-in folders are the page's own, for its searches, and stored nowhere.
    tree.write("originals/x", "x");
    options.keepIn()->addEntry(QString::fromStdString((tree / "originals").string()), true);
    EXPECT_EQ(page.choices().settings().keepIn,
              std::vector<std::string>{fs::canonical(tree / "originals").string()});
    EXPECT_EQ(options.keepIn()->list()->count(), 1);

    // The search field filters the groups by name or path, case aside; a new search clears it.
    const std::string photo(250000, 'p'), song(300000, 's');
    for (const char* name : {"Pictures/Beach.jpg", "Phone/beach.jpg"}) tree.write(name, photo);
    for (const char* name : {"Music/song.mp3", "Downloads/song.mp3"}) tree.write(name, song);
    page.searchFolder(tree.path().string());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page.isSearching(); }, 60000));
    ASSERT_EQ(page.outline()->rowCount(), 2);
    QLineEdit* filter = page.resultsView()->filterField();
    EXPECT_FALSE(filter->accessibleName().isEmpty());
    QTest::keyClicks(filter, "PHONE");
    ASSERT_EQ(page.outline()->rowCount(), 1);
    EXPECT_EQ(
        page.outline()->index(0, DuplicateOutlineModel::NameColumn).data().toString().toLower(),
        "beach.jpg");
    EXPECT_TRUE(page.resultsView()->title()->fullText().startsWith("2 files"));
    page.clickHeaderBox();  // ticks what is shown only
    EXPECT_EQ(page.results()->review().tickedMembers().size(), 1u);
    page.resultsView()->searchAgainButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page.isSearching(); }, 60000));
    EXPECT_TRUE(filter->text().isEmpty());
    EXPECT_EQ(page.outline()->rowCount(), 2);
}
