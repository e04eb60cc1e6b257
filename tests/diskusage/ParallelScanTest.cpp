// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/resource.h>

#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/FolderTreeScanner.h"
#include "diskusage/NodeTreeOperator.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

using namespace quillby;

namespace {

PlainNode scanFolders(const fs::path& top, unsigned threads) {
    TreeScanOptions options;
    options.threads = threads;
    auto root = RingFolderNode::makeRoot(top.string());
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
