#include <gtest/gtest.h>
#include <sys/resource.h>
#include <random>

#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/FolderTreeScanner.h"
#include "diskusage/NodeTreeOperator.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace {

// A random tree with every kind of entry the scans treat specially, and one folder wide enough
// to be measured in slices by several threads.
void generateTree(const fs::path& top, unsigned seed) {
    std::mt19937 random(seed);
    auto pick = [&](int below) { return static_cast<int>(random() % below); };
    std::vector<fs::path> folders{top};
    fs::create_directories(top);
    for (int i = 0; i < 250; ++i) {
        fs::path parent = folders[pick(static_cast<int>(folders.size()))];
        std::string name = "d" + std::to_string(i) + (pick(20) == 0 ? "." : "");
        if (parent == top && pick(40) == 0) name = "Volumes";
        if (pick(30) == 0) name = "Volumes";
        if (fs::exists(parent / name)) continue;
        fs::create_directory(parent / name);
        folders.push_back(parent / name);
    }
    std::vector<fs::path> files;
    for (int i = 0; i < 2500; ++i) {
        fs::path parent = folders[pick(static_cast<int>(folders.size()))];
        std::string name = "f" + std::to_string(i) + (pick(25) == 0 ? "." : "");
        // Equal sizes are common, so that the order among them matters.
        files.push_back(makeFile(parent / name, pick(4) == 0 ? 4096 : pick(100000)));
    }
    fs::path wide = folders[1] / "wide";
    fs::create_directory(wide);
    for (int i = 0; i < 5000; ++i) makeFile(wide / ("w" + std::to_string(i)), pick(3000));
    for (int i = 0; i < 40; ++i) {
        fs::path parent = folders[pick(static_cast<int>(folders.size()))];
        fs::path target = files[pick(static_cast<int>(files.size()))];
        fs::create_hard_link(target, parent / ("hard" + std::to_string(i)));
        fs::create_symlink(folders[pick(static_cast<int>(folders.size()))],
                           parent / ("sym" + std::to_string(i)));
    }
}

PlainNode scanFolders(const fs::path& top, unsigned threads) {
    TreeScanOptions options;
    options.threads = threads;
    auto root = W32AllDir::makeRoot(top.string());
    FolderTreeScanner(options).scanFolder(*root, root->path(), true);
    return plainFolderTree(*root);
}

PlainNode scanItems(const fs::path& top, unsigned threads, std::uint64_t limit) {
    TreeScanOptions options;
    options.threads = threads;
    return plainItemTree(*NodeTreeOperator(options).buildBrowserTree(top.string(), limit, {}));
}

}  // namespace

TEST(ParallelScan, EqualsASequentialScanOnGeneratedTrees) {
    for (unsigned seed : {1u, 2u}) {
        TempDir dir;
        fs::path top = dir / "top";
        generateTree(top, seed);
        PlainNode folders = referenceFolderTree(top.string(), top.string() + "/", true);
        EXPECT_EQ(scanFolders(top, 1), folders) << "seed " << seed;
        EXPECT_EQ(scanFolders(top, 8), folders) << "seed " << seed;
        EXPECT_EQ(scanFolders(top, 8), scanFolders(top, 3)) << "seed " << seed;

        for (std::uint64_t limit : {0ull, 50000ull}) {
            PlainNode items = referenceItemTree(top.string(), "top/", limit);
            EXPECT_EQ(scanItems(top, 8, limit), items) << "seed " << seed << " limit " << limit;
        }
    }
}

TEST(ParallelScan, DeepTreesWorkWithFewDescriptors) {
    TempDir dir;
    fs::path path = dir / "top";
    // Deeper than the descriptors the process may hold, with a side folder at every level, so
    // that folders give their descriptors back and are reopened through their ancestors.
    // Side folders listed before "down" wait, holding their parent open, while one thread goes
    // down first.
    for (int level = 0; level < 150; ++level) {
        for (int side = 0; side < 4; ++side) {
            makeFile(path / ("s" + std::to_string(level) + "-" + std::to_string(side)) / "f", 10);
        }
        path /= "down";
    }
    makeFile(path / "last", 7);
    fs::path top = dir / "top";
    PlainNode expected = referenceFolderTree(top.string(), top.string() + "/", true);
    EXPECT_EQ(expected.size, 6007u);
    int status = inChildWithFileSizeLimit(RLIM_INFINITY, [&] {
        rlimit few{32, 32};
        if (::setrlimit(RLIMIT_NOFILE, &few) != 0) return false;
        return scanFolders(top, 1) == expected && scanFolders(top, 2) == expected;
    });
    EXPECT_EQ(status, 0);
}
