// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/work/WorkStealingPool.h"
#include "duplicates/DuplicateFilesOpt.h"
#include "duplicates/DuplicateTestSupport.h"
#include "duplicates/ParallelPairing.h"
#include "duplicates/algorithm.h"
#include "duplicates/crc.h"
#include "duplicates/duplicateFind.h"
#include "duplicates/getFileList.h"
#include "support/TempDir.h"
#include "support/UnprivilegedChild.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// Every detection test runs with the one-by-one pairing and with the parallel one.
class Detection : public ::testing::TestWithParam<bool> {
  protected:
    DuplicateSearchOptions options() const {
        DuplicateSearchOptions options;
        options.includeHidden = true;
        options.oneFileAtATime = GetParam();
        options.threadCount = 3;
        return options;
    }
    TreeNode::Ptr search(std::uint64_t limit = 0) const {
        return searchTree(dir.path().string(), limit, options());
    }
    // The members' paths inside the folder, in the group's order or sorted.
    std::vector<std::string> members(const TreeNode::Ptr& group, bool sorted = false) const {
        std::vector<std::string> names;
        for (const auto& member : group->children()) {
            names.push_back(fs::relative(member->nodeData()->name, dir.path()).string());
        }
        if (sorted) std::sort(names.begin(), names.end());
        return names;
    }
    // The file names of a folder in the order a listing gives them.
    std::vector<std::string> listingOrder() const {
        std::vector<ListedPath> walked;
        getFileList().getDirectoryAtPath(dir.path().string(), walked);
        std::vector<std::string> names;
        for (const auto& item : walked)
            names.push_back(fs::relative(item.path, dir.path()).string());
        return names;
    }

    TempDir dir;
};

std::string modeName(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "OneByOne" : "Parallel";
}

}  // namespace

TEST_P(Detection, TwoEqualFilesFormOneGroupAboveTheThreshold) {
    dir.write("a/ten", "0123456789");
    dir.write("b/ten", "0123456789");
    dir.write("c/other", "0123456780");
    auto tree = search(0);
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->numberOfChildren(), 1u);
    auto group = tree->firstChild();
    EXPECT_EQ(group->nodeData()->name, "ten");
    EXPECT_EQ(group->nodeData()->extension(), "");
    EXPECT_EQ(group->nodeData()->fileSize, 20u);
    EXPECT_EQ(group->numberOfChildren(), 2u);
    EXPECT_TRUE(group->firstChild()->nodeData()->ModificationDate.has_value());
    EXPECT_FALSE(search(10));
}

TEST_P(Detection, ThreeCopiesRunInListingOrderWithTheFirstLast) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) dir.write(name, "same words");
    auto order = listingOrder();
    ASSERT_EQ(order.size(), 3u);
    auto tree = search();
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->numberOfChildren(), 1u);
    auto group = tree->firstChild();
    // The run is second, third, first: named after the second; its leaves third, first, second.
    EXPECT_EQ(group->nodeData()->name, order[1]);
    EXPECT_EQ(group->nodeData()->extension(), "txt");
    EXPECT_EQ(members(group), (std::vector<std::string>{order[2], order[0], order[1]}));
}

TEST_P(Detection, EqualHeadsOrSizesWithDifferentTailsAreNotGrouped) {
    std::string head = randomBytes(1024, 1);
    dir.write("head-a", head + "tail one");
    dir.write("head-b", head + "tail two");
    // Larger than a read chunk, different only in the very last byte.
    std::string big = randomBytes(5 * 1024 * 1024 + 10, 2);
    dir.write("big-a", big);
    dir.write("big-copy", big);
    big.back() = static_cast<char>(big.back() ^ 1);
    dir.write("big-b", big);
    auto tree = search();
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->numberOfChildren(), 1u);
    EXPECT_EQ(members(tree->firstChild(), true), (std::vector<std::string>{"big-a", "big-copy"}));
}

TEST_P(Detection, BundlesCompareByContentNotByNames) {
    dir.write("One.app/Contents/bin", "program bytes");
    dir.write("One.app/Contents/res/icon", "icon bytes");
    dir.write("Two.app/stuff/renamed-bin", "program bytes");
    dir.write("Two.app/x", "icon bytes");
    dir.write("Three.app/Contents/bin", "program bytes");
    dir.write("Three.app/Contents/res/icon", "icon bytes");
    dir.write("Three.app/Contents/empty", "");
    dir.write("loose", "program bytes");
    dir.write("loose-copy", "program bytes");
    auto tree = search();
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->numberOfChildren(), 2u);
    auto bundles = tree->childAtIndex(0);
    EXPECT_EQ(bundles->nodeData()->extension(), "APP");
    // Three.app has one more (empty) file: not the same bundle.
    EXPECT_EQ(members(bundles, true), (std::vector<std::string>{"One.app", "Two.app"}));
    EXPECT_EQ(bundles->nodeData()->fileSize, 2u * (13 + 10));
    EXPECT_FALSE(bundles->firstChild()->nodeData()->ModificationDate);
    EXPECT_EQ(members(tree->childAtIndex(1)).size(), 2u);  // files outside bundles still pair
}

TEST_P(Detection, NamesOfOneFileAreNoGroupButAreListedBesideACopy) {
    dir.write("original", "linked content");
    fs::create_hard_link(dir / "original", dir / "hard-link");
    dir.write("a/named", "named twice");
    fs::create_hard_link(dir / "a/named", dir / "second-name");
    dir.write("b/copy", "named twice");
    auto tree = search();
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->numberOfChildren(), 1u);
    EXPECT_EQ(members(tree->firstChild(), true),
              (std::vector<std::string>{"a/named", "b/copy", "second-name"}));
}

TEST_P(Detection, UnreadableFilesPairWithNothing) {
    dir.write("locked-a", "locked content");
    dir.write("locked-b", "locked content");
    dir.write("open", "locked content");
    fs::permissions(dir.path(), fs::perms::all, fs::perm_options::replace);
    fs::permissions(dir / "locked-a", fs::perms::none);
    std::string root = dir.path().string();
    auto options = this->options();
    EXPECT_TRUE(asOrdinaryUser([&] {
        auto tree = searchTree(root, 0, options);
        if (!tree || tree->numberOfChildren() != 1) return false;
        for (const auto& group : tree->children()) {
            if (group->numberOfChildren() != 2) return false;
            for (const auto& member : group->children()) {
                if (member->nodeData()->name.ends_with("locked-a")) return false;
            }
        }
        return true;
    }));
}

// A stop before the search, asked of it or through the options from wherever the token came,
// leaves everything unpaired.
TEST_P(Detection, AStopBeforeTheSearchLeavesEverythingUnpaired) {
    dir.write("a", "same");
    dir.write("b", "same");
    dir.write("X.app/f", "x");
    dir.write("Y.app/f", "x");
    duplicateFind search(options());
    search.stopSearch();
    EXPECT_EQ(search.searchDuplicateFileAtPath(dir.path().string(), 0), 1);
    std::vector<std::vector<CandidateFile>> runs;
    std::vector<std::vector<AppAttrbItem>> bundles;
    search.getAllDuplicateFile(runs);
    search.getAllAppDuplicateDir(bundles);
    EXPECT_TRUE(runs.empty());
    EXPECT_TRUE(bundles.empty());
    EXPECT_EQ(search.getProgress(), 50u);  // the bundle phase counts as done, pairing never ran

    DuplicateFilesOpt facade;
    facade.stopSearch();  // before the worker started: kept for the search
    facade.beginSearchAtPath(dir.path().string(), 0);
    TreeNode::Ptr tree;
    EXPECT_FALSE(facade.getDuplicateFiles(tree));

    std::stop_source stop;
    DuplicateSearchOptions stopped = options();
    stopped.stop = stop.get_token();
    stop.request_stop();
    duplicateFind throughOptions(stopped);
    EXPECT_EQ(throughOptions.searchDuplicateFileAtPath(dir.path().string(), 0), 1);
    throughOptions.getAllDuplicateFile(runs);
    EXPECT_TRUE(runs.empty());

    std::stop_source unused;
    DuplicateSearchOptions running = options();
    running.stop = unused.get_token();
    duplicateFind complete(running);
    complete.searchDuplicateFileAtPath(dir.path().string(), 0);
    complete.getAllDuplicateFile(runs);
    EXPECT_EQ(runs.size(), 1u);
}

TEST_P(Detection, ProgressComesThroughTheOptionsAndNeverGoesBack) {
    for (int i = 0; i < 40; ++i) dir.write("f" + std::to_string(i), std::to_string(i % 20));
    std::vector<std::uint32_t> seen;
    std::string lastPath;
    DuplicateSearchOptions reporting = options();
    reporting.onProgress = [&](std::uint32_t percent, const std::string& path) {
        seen.push_back(percent);
        lastPath = path;
    };
    DuplicateFilesOpt facade;
    facade.setSearchOption(reporting);
    facade.beginSearchAtPath(dir.path().string(), 0);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 100u);
    EXPECT_EQ(lastPath.rfind(dir.path().string(), 0), 0u) << lastPath;
}

TEST_P(Detection, MissingRootSearchesNothing) {
    duplicateFind search(options());
    EXPECT_EQ(search.searchDuplicateFileAtPath((dir / "missing").string(), 0), -1);
    dir.write("file", "x");
    EXPECT_EQ(search.searchDuplicateFileAtPath((dir / "file").string(), 0), -1);
    DuplicateFilesOpt facade;
    facade.beginSearchAtPath((dir / "missing").string(), 0);
    TreeNode::Ptr tree;
    EXPECT_FALSE(facade.getDuplicateFiles(tree));
    EXPECT_EQ(facade.getProgress(), 0u);
}

INSTANTIATE_TEST_SUITE_P(BothPairings, Detection, ::testing::Bool(), modeName);

// A file that vanishes between the listing and the pairing joins no group, in either pairing.
TEST(Pairing, AFileThatVanishesAfterListingNeverJoinsAGroup) {
    TempDir dir;
    for (const char* name : {"a", "b", "c"}) dir.write(name, "some content");
    std::vector<CandidateFile> listed;
    std::vector<std::string> bundles;
    ASSERT_TRUE(getFileList().getListAtPath(dir.path().string(), listed, bundles, 0));
    ASSERT_EQ(listed.size(), 3u);
    fs::remove(listed[0].filePathName);
    std::string vanished = listed[0].filePathName;

    std::vector<CandidateFile> candidates = listed;
    std::vector<std::vector<CandidateFile>> runs;
    WorkStealingPool pool(2);
    std::atomic<bool> stop{false};
    ParallelPairing(pool, stop).findRuns(candidates, runs);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].size(), 2u);
    for (const auto& member : runs[0]) EXPECT_NE(member.filePathName, vanished);

    // One by one: the vanished file pairs with nothing; the other two still pair.
    algorithm steps;
    std::vector<CandidateFile*> remaining{&listed[1], &listed[2]};
    std::vector<CandidateFile*> run;
    EXPECT_FALSE(steps.getDuplicateFile(listed[0], remaining, run));
    EXPECT_TRUE(run.empty());
    std::vector<CandidateFile*> rest{&listed[2]};
    EXPECT_TRUE(steps.getDuplicateFile(listed[1], rest, run));
    EXPECT_EQ(run.size(), 2u);
    EXPECT_EQ(listed[1].md5_1k, crc::crc64("some content", 12));
    EXPECT_EQ(listed[1].md5, listed[1].md5_1k);
}

// A whole checksum goes on from the first read (64 KiB) rather than reading it again: it is the
// checksum of the whole content for sizes that end the first read or a later buffer exactly.
TEST(Pairing, WholeChecksumsGoOnFromTheFirstRead) {
    TempDir dir;
    const std::size_t sizes[] = {64 * 1024, 64 * 1024 + 1, 64 * 1024 + (1 << 20), 3 << 20};
    std::vector<std::string> contents;
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        contents.push_back(randomBytes(sizes[i], 30 + i));
        std::string edited = contents.back();
        edited.back() ^= 0x5A;
        const std::string index = std::to_string(i);
        writeBytes(dir / ("a" + index), contents.back());
        writeBytes(dir / ("b" + index), contents.back());
        writeBytes(dir / ("c" + index), edited);
    }
    std::vector<CandidateFile> candidates;
    std::vector<std::string> bundles;
    ASSERT_TRUE(getFileList().getListAtPath(dir.path().string(), candidates, bundles, 0));
    std::vector<std::vector<CandidateFile>> runs;
    WorkStealingPool pool(2);
    std::atomic<bool> stop{false};
    ParallelPairing(pool, stop).findRuns(candidates, runs);
    ASSERT_EQ(runs.size(), std::size(sizes));
    for (const auto& run : runs) {
        ASSERT_EQ(run.size(), 2u);
        const std::string name(run[0].fileName());
        EXPECT_EQ(name.substr(1), run[1].fileName().substr(1));
        const std::string& content = contents[std::stoul(name.substr(1))];
        EXPECT_EQ(run[0].md5, crc::update(crc::initialValue, content.data(), content.size()))
            << name;
    }
}
