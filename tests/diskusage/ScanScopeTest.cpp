// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <functional>

#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/FolderTreeScanner.h"
#include "diskusage/NodeTreeOperator.h"
#include "diskusage/TreeScanOptions.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

using namespace quillby;

namespace {

// Both trees' totals of `top` in one scope: the ring's folders and the browser's items.
struct Totals {
    std::uint64_t folders = 0;
    std::uint64_t items = 0;
};
Totals scanTotals(const fs::path& top, const ScanScope& scope) {
    TreeScanOptions options;
    options.scope = scope;
    auto root = RingFolderNode::makeRoot(top.string());
    Totals totals;
    totals.folders = static_cast<std::uint64_t>(
        FolderTreeScanner(options).scanFolder(*root, root->path(), true));
    totals.items = NodeTreeOperator(options).buildBrowserTree(top.string(), 0, {})->size;
    return totals;
}

// A file holding `data` real bytes at the end of `size` (the rest a hole).
void makeSparseFile(const fs::path& path, std::uint64_t size, std::size_t data) {
    makeFile(path, size);
    int fd = ::open(path.c_str(), O_WRONLY);
    std::string bytes(data, 'x');
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(size - data)),
              static_cast<ssize_t>(data));
    ::close(fd);
}

}  // namespace

// Allocated sizes are what du counts: sparse files at their blocks, each file with several
// names once (wherever its names are), links by their own blocks, every folder's own blocks.
TEST(ScanScope, AllocatedSizesAreWhatDuCounts) {
    std::string du = duProgram();
    if (du.empty()) GTEST_SKIP() << "no du here";
    struct Case {
        const char* tree;
        // The ring's tree leaves out names ending in "." and a top "Volumes"; du does not.
        bool ringTakesAll;
        std::function<void(const fs::path&)> make;
    } cases[] = {
        {"sparse, dense, hard-linked, linked and nested", true,
         [](const fs::path& top) {
             makeSparseFile(top / "sparse", 1 << 30, 5000);
             makeSparseFile(top / "nested/deeper/dense", 200000, 200000);
             fs::create_hard_link(top / "nested/deeper/dense", top / "nested/same-folder");
             fs::create_directories(top / "other");
             fs::create_hard_link(top / "nested/deeper/dense", top / "other/across");
             fs::create_symlink(top / "nested", top / "other/link");
             fs::create_directories(top / "empty");
         }},
        {"a random tree, one folder measured in slices", false,
         [](const fs::path& top) { generateTree(top, 7); }},
    };
    for (const auto& c : cases) {
        TempDir dir;
        fs::path top = dir / "top";
        c.make(top);
        ScanScope allocated;
        allocated.allocatedSize = true;
        Totals totals = scanTotals(top, allocated);
        auto expected = duBytes(du, top);
        ASSERT_TRUE(expected) << c.tree;
        EXPECT_EQ(totals.items, *expected) << c.tree;
        if (c.ringTakesAll) {
            EXPECT_EQ(totals.folders, *expected) << c.tree;
        }
    }
}

// An excluded folder is known by its device and inode: every spelling of its path, and a bind
// mount of it, is left unread (marked excluded, measuring 0) in both trees; a link to it is a
// link, measured by its own size.
TEST(ScanScope, ExcludedFoldersAreKnownByWhatTheyAreNotHowTheyAreSpelt) {
    TempDir dir;
    fs::path top = dir / "top";
    makeFile(top / "keep/f", 100);
    makeFile(top / "skip/inner/f", 7000);
    fs::create_directory_symlink(top / "skip", top / "keep/link");
    fs::create_directory_symlink(top / "skip", dir / "alias");
    const std::uint64_t rest = 100 + linkSize(top / "keep/link");

    auto expectExcluded = [&](const std::string& spelling, const std::string& name) {
        ScanScope scope;
        ASSERT_TRUE(scope.excludedFolders.add(spelling)) << spelling;
        TreeScanOptions options;
        options.scope = scope;
        auto root = RingFolderNode::makeRoot(top.string());
        EXPECT_EQ(static_cast<std::uint64_t>(
                      FolderTreeScanner(options).scanFolder(*root, root->path(), true)),
                  rest)
            << spelling;
        auto items = NodeTreeOperator(options).buildBrowserTree(top.string(), 1000, {});
        EXPECT_EQ(items->size, rest) << spelling;
        bool inRing = false, inItems = false;
        for (const auto& child : root->children) {
            if (child->name() == name) {
                inRing = child->excluded && !child->unreadable && child->size == 0 &&
                         child->children.empty();
            } else if (child->name() == "keep") {
                EXPECT_FALSE(child->excluded) << spelling;
            }
        }
        // Kept below the limit: its 0 says nothing.
        for (const auto& child : items->children) {
            if (child->displayName() == name) inItems = child->excluded && child->children.empty();
        }
        EXPECT_TRUE(inRing && inItems) << spelling;
    };
    for (std::string spelling : {"top/skip", "top/keep/../skip", "top/./skip/", "alias"})
        expectExcluded((dir / spelling).string(), "skip");

    fs::create_directories(top / "bound");
    int status = inPrivateMountNamespace([&] {
        if (::mount((top / "skip").c_str(), (top / "bound").c_str(), nullptr, MS_BIND, nullptr) !=
            0)
            ::_exit(kNoMountNamespace);
        expectExcluded((top / "skip").string(), "bound");
        return !::testing::Test::HasFailure();
    });
    if (status == kNoMountNamespace) GTEST_SKIP() << "needs root: cannot bind-mount here";
    EXPECT_EQ(status, 0);
}
