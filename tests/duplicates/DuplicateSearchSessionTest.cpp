// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "core/work/PlainMainQueue.h"
#include "duplicates/CopyToKeep.h"
#include "duplicates/DuplicateResultsModel.h"
#include "duplicates/DuplicateSearchSession.h"
#include "duplicates/DuplicateTestSupport.h"
#include "support/TempDir.h"

using namespace quillby;

namespace {

DuplicateSearchSettings everything() {
    DuplicateSearchSettings settings;
    settings.includeHidden = true;
    return settings;
}

}  // namespace

TEST(DuplicateSearchSession, ANewSearchWaitsForTheOldOneAndOnlyTheNewResultArrives) {
    TempDir big, small;
    // Enough work that the first search is still running when the second is asked for.
    for (int i = 0; i < 300; ++i) {
        big.write("f" + std::to_string(i) + "/a", randomBytes(20000, static_cast<unsigned>(i)));
        big.write("f" + std::to_string(i) + "/b", randomBytes(20000, static_cast<unsigned>(i)));
    }
    small.write("x.txt", "two copies");
    small.write("y.txt", "two copies");
    PlainMainQueue queue;
    std::vector<std::string> delivered;
    DuplicateSearchSession::Result last;
    {
        DuplicateSearchSession session(queue);
        EXPECT_EQ(session.pollProgress(), 5u);
        session.start(big.path().string(), everything(),
                      [&](DuplicateSearchSession::Result r) { delivered.push_back(r.folder); });
        for (int i = 0; i < 5; ++i) {
            session.start(small.path().string(), everything(),
                          [&](DuplicateSearchSession::Result r) {
                              delivered.push_back(r.folder);
                              last = std::move(r);
                          });
        }
        EXPECT_TRUE(session.isRunning());
        EXPECT_TRUE(queue.runUntil([&] { return !session.isRunning(); }, std::chrono::seconds(60)));
        // A session destroyed in the middle of a search waits for its worker.
        session.start(big.path().string(), everything(), nullptr);
    }
    ASSERT_EQ(delivered, std::vector<std::string>{small.path().string()});
    ASSERT_TRUE(last.tree);
    EXPECT_EQ(last.tree->numberOfChildren(), 1u);
    EXPECT_FALSE(last.stopped);
    EXPECT_EQ(last.identities.size(), 2u);
}

TEST(DuplicateSearchSession, AStoppedSearchSaysSo) {
    TempDir dir;
    dir.write("a", "same");
    dir.write("b", "same");
    PlainMainQueue queue;
    DuplicateSearchSession session(queue);
    bool stopped = false, arrived = false;
    session.start(dir.path().string(), everything(), [&](DuplicateSearchSession::Result r) {
        stopped = r.stopped;
        arrived = true;
    });
    session.stop();
    EXPECT_TRUE(queue.runUntil([&] { return arrived; }, std::chrono::seconds(30)));
    EXPECT_TRUE(stopped);
}

TEST(DuplicateResultsModel, SortsLikeTheHeaderAndCutsTheTitle) {
    auto root = resultTree({copyGroup("b.txt", "txt", {{"/b.txt0", 10}, {"/b.txt1", 10}}),
                            copyGroup("a.txt", "txt", {{"/a.txt0", 15}, {"/a.txt1", 15}}),
                            copyGroup("c.txt", "txt", {{"/c.txt0", 5}, {"/c.txt1", 5}})});
    DuplicateResultsModel model(root, "/home/someone/a folder with a long name");
    auto names = [&] {
        std::string text;
        for (const auto& group : model.review().displayedTree()->children())
            text += group->nodeData()->name + " ";
        return text;
    };
    using Column = DuplicateResultsModel::SortColumn;
    model.clickSortHeader(Column::Name);
    EXPECT_EQ(names(), "a.txt b.txt c.txt ");
    model.clickSortHeader(Column::Name);
    EXPECT_FALSE(model.sortAscending());
    EXPECT_EQ(names(), "c.txt b.txt a.txt ");
    model.clickSortHeader(Column::Size);  // another column: ascending again
    EXPECT_TRUE(model.sortAscending());
    EXPECT_EQ(model.sortColumn(), Column::Size);
    EXPECT_EQ(names(), "c.txt b.txt a.txt ");
    model.showCategory(1);  // a shown category keeps the sort
    model.clickSortHeader(Column::Size);
    EXPECT_EQ(names(), "a.txt b.txt c.txt ");

    model.showCategory(0);
    EXPECT_EQ(model.titleTooltip(), "6 files in a folder with a long name.");
    EXPECT_EQ(model.titleText(), "6 files in a folder with ...");
    EXPECT_EQ(DuplicateResultsModel::actionTarget(root->firstChild()),
              root->firstChild()->firstChild());
    EXPECT_EQ(model.emptyResultLine(), "");  // duplicates were found
}

TEST(DuplicateResultsModel, AnEmptyResultSaysSoAndNamesWhatWasLeftOut) {
    struct Case {
        DuplicateSearchSettings settings;
        const char* line;
    };
    const Case cases[] = {
        {{.threshold = 1000000},
         "No duplicates found. Not compared: files of 1.00 MB or less, "
         "hidden files, system folders."},
        {{.includeHidden = true}, "No duplicates found. Not compared: system folders."},
        {{.includeHidden = true, .includeSystem = true}, "No duplicates found."},
    };
    for (const Case& c : cases) {
        DuplicateResultsModel model(nullptr, "/home/someone", {}, {}, c.settings);
        EXPECT_EQ(model.emptyResultLine(), c.line);
    }
}

// "Keep copies in this folder" is a setting of the search: its result says which members lie
// there, and the page's model keeps them when a group is ticked.
TEST(DuplicateSearchSession, CopiesInAKeepInFolderAreTheOnesThatStay) {
    TempDir dir;
    dir.write("a/x (copy).txt", "the same");  // the name alone would make it go
    dir.write("keep/x.txt", "the same");
    dir.write("b/x (copy).txt", "the same");
    PlainMainQueue queue;
    DuplicateSearchSession session(queue);
    DuplicateSearchSettings settings = everything();
    settings.keepIn = {(dir / "a").string()};
    std::optional<DuplicateSearchSession::Result> result;
    session.start(dir.path().string(), settings,
                  [&](DuplicateSearchSession::Result r) { result = std::move(r); });
    ASSERT_TRUE(queue.runUntil([&] { return result.has_value(); }, std::chrono::seconds(30)));
    ASSERT_TRUE(result->tree);
    ASSERT_EQ(result->keptFirst.size(), 1u);
    DuplicateResultsModel model(result->tree, result->folder, {}, {}, settings,
                                std::move(result->keptFirst));
    TreeNode::Ptr group = model.review().categoryTree(0)->firstChild();
    model.review().clickGroupBox(group);
    auto kept = keptMemberOf(group);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->nodeData()->name, (dir / "a/x (copy).txt").string());
}
