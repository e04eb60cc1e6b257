// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/work/WorkStealingPool.h"
#include "duplicates/DuplicateFilesOpt.h"
#include "duplicates/DuplicateTestSupport.h"
#include "duplicates/ParallelPairing.h"
#include "duplicates/getFileList.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// A tree of a few thousand files built to exercise every stage: many equal sizes, copies,
// equal heads with other tails, one-byte differences at the end, sizes around the head and
// page lengths, empty files, hidden folders, bundles (some equal), hard links and links.
void generateTree(const fs::path& root, std::uint64_t seed, int files) {
    std::mt19937_64 random(seed);
    const std::size_t sizes[] = {0, 1, 7, 512, 1023, 1024, 1025, 4095, 4096, 4097, 10000, 70000};
    const char* extensions[] = {".txt", ".jpg", ".mp3", ".mkv", ".zip", ".tar.gz", "", ".pdf"};
    std::vector<std::string> prototypes;
    for (int i = 0; i < 40; ++i) {
        prototypes.push_back(randomBytes(sizes[random() % std::size(sizes)], random()));
    }
    auto folderFor = [&](int i) {
        fs::path folder = root;
        int depth = static_cast<int>(random() % 4);
        for (int level = 0; level < depth; ++level) {
            folder /= (random() % 9 == 0 ? ".hidden" : "d") + std::to_string(random() % 6);
        }
        return folder / ("f" + std::to_string(i) + extensions[random() % std::size(extensions)]);
    };
    for (int i = 0; i < files; ++i) {
        std::string content = prototypes[random() % prototypes.size()];
        switch (random() % 6) {
            case 0:  // a unique file
                content = randomBytes(content.size(), random());
                break;
            case 1:  // the same size and head, another last byte
                if (!content.empty()) content.back() = static_cast<char>(content.back() ^ 0x5A);
                break;
            case 2:  // the same head, another tail
                if (content.size() > 2000) content[2000] = static_cast<char>(content[2000] + 1);
                break;
            default:  // a copy
                break;
        }
        writeBytes(folderFor(i), content);
    }
    for (int bundle = 0; bundle < 6; ++bundle) {
        fs::path path =
            root / ("b" + std::to_string(bundle % 3)) / ("Tool" + std::to_string(bundle) + ".app");
        writeBytes(path / "Contents/bin", prototypes[static_cast<std::size_t>(bundle % 2)]);
        writeBytes(path / ("Contents/res" + std::to_string(bundle)), "resource");
        if (bundle == 5) writeBytes(path / "extra", "");
    }
    fs::create_directories(root / "links");
    fs::create_hard_link(root / "b0/Tool0.app/Contents/bin", root / "links/hard");
    fs::create_directory_symlink(root / "b1", root / "links/folder-link");
}

DuplicateSearchOptions optionsFor(bool oneByOne, unsigned threads, bool hidden) {
    DuplicateSearchOptions options;
    options.oneFileAtATime = oneByOne;
    options.threadCount = threads;
    options.includeHidden = hidden;
    return options;
}

std::string searchAll(const fs::path& root, bool oneByOne, unsigned threads, bool hidden) {
    return describeTree(searchTree(root.string(), 0, optionsFor(oneByOne, threads, hidden)));
}

}  // namespace

TEST(ParallelEquivalence, ResultsEqualThoseOfTheOneByOneSearch) {
    TempDir dir;
    generateTree(dir.path(), 2024, 3000);
    for (bool hidden : {true, false}) {
        std::string reference = searchAll(dir.path(), true, 1, hidden);
        ASSERT_NE(reference, "(nothing)\n");
        size_t groups = 0;
        for (size_t at = 0; (at = reference.find("group ", at)) != std::string::npos; ++at)
            ++groups;
        ASSERT_GT(groups, 20u);
        for (unsigned threads : {1u, 2u, 5u}) {
            EXPECT_EQ(searchAll(dir.path(), false, threads, hidden), reference)
                << threads << " threads, hidden " << hidden;
        }
    }
}

// Leaving items out while walking finds what a search of the tree without them finds.
TEST(ParallelEquivalence, ExclusionsGiveTheResultOfTheTreeWithoutThem) {
    TempDir dir, pruned;
    generateTree(dir.path(), 77, 800);
    generateTree(pruned.path(), 77, 800);
    fs::remove_all(pruned / "d1");
    std::vector<fs::path> pictures;
    for (const auto& entry : fs::recursive_directory_iterator(pruned.path())) {
        if (entry.path().extension() == ".jpg") pictures.push_back(entry.path());
    }
    for (const auto& picture : pictures) fs::remove(picture);
    // The trees differ only in their folder and their files' dates.
    auto withoutRoot = [](const std::string& text, const fs::path& root) {
        std::string result;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with("  ")) line = line.substr(0, line.rfind(' '));
            if (auto at = line.find(root.string()); at != std::string::npos)
                line.replace(at, root.string().size(), "ROOT");
            result += line + '\n';
        }
        return result;
    };
    DuplicateSearchOptions options = optionsFor(false, 3, true);
    options.excludes = {(dir / "d1").string(), "*.jpg"};
    std::string excluded =
        withoutRoot(describeTree(searchTree(dir.path().string(), 0, options)), dir.path());
    std::string reference =
        withoutRoot(describeTree(searchTree(pruned.path().string(), 0, optionsFor(true, 1, true))),
                    pruned.path());
    EXPECT_NE(reference, "(nothing)\n");
    EXPECT_EQ(excluded, reference);
}

// However early a stop comes, the parallel pairing gives a leading part of the full result:
// what a one-by-one pairing stopped somewhere would have found, never a partial group.
TEST(ParallelEquivalence, AStoppedPairingGivesALeadingPartOfTheResult) {
    TempDir dir;
    generateTree(dir.path(), 77, 1500);
    std::vector<CandidateFile> candidates;
    std::vector<std::string> bundles;
    ASSERT_TRUE(getFileList().getListAtPath(dir.path().string(), candidates, bundles, 0));
    WorkStealingPool pool(3);
    // Pairs a copy of the candidates; a stop comes after `delay` (never when negative).
    auto pair = [&](std::chrono::microseconds delay, bool stopEarly) {
        std::atomic<bool> stop{stopEarly};
        auto copy = candidates;
        std::vector<std::vector<CandidateFile>> runs;
        std::thread stopper;
        if (delay.count() >= 0) {
            stopper = std::thread([&] {
                std::this_thread::sleep_for(delay);
                stop = true;
            });
        }
        ParallelPairing(pool, stop).findRuns(copy, runs);
        if (stopper.joinable()) stopper.join();
        std::vector<std::string> text;
        for (const auto& run : runs) {
            std::string line;
            for (const auto& item : run) line += item.filePathName + " ";
            text.push_back(line);
        }
        return text;
    };
    auto started = std::chrono::steady_clock::now();
    auto full = pair(std::chrono::microseconds(-1), false);
    auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - started);
    ASSERT_GT(full.size(), 10u);
    EXPECT_TRUE(pair(std::chrono::microseconds(-1), true).empty());
    for (int tenths = 0; tenths < 10; ++tenths) {
        auto delay = whole * tenths / 10;
        auto part = pair(delay, false);
        ASSERT_LE(part.size(), full.size());
        for (size_t i = 0; i < part.size(); ++i) {
            ASSERT_EQ(part[i], full[i])
                << "run " << i << " after a stop at " << delay.count() << " us";
        }
    }
}

// A stop from another thread while the whole search runs leaves only complete groups.
TEST(ParallelEquivalence, AStopDuringTheSearchLeavesOnlyCompleteGroups) {
    TempDir dir;
    generateTree(dir.path(), 5, 1500);
    std::string full = searchAll(dir.path(), false, 2, true);
    for (int delay : {1000, 5000, 20000}) {
        DuplicateFilesOpt search;
        search.setSearchOption(optionsFor(false, 2, true));
        std::thread worker([&] { search.beginSearchAtPath(dir.path().string(), 0); });
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
        search.stopSearch();
        worker.join();
        TreeNode::Ptr tree;
        if (!search.getDuplicateFiles(tree)) continue;
        // Every file group found is one of the full result's groups, members and all.
        for (const auto& group : tree->children()) {
            if (group->nodeData()->isBundle) continue;
            auto one = TreeNode::treeNodeWithData(SimpleNodeData::groupDataWithName("Root"));
            one->insertChild(group, 0);
            EXPECT_NE(full.find(describeTree(one)), std::string::npos) << describeTree(one);
        }
    }
}
