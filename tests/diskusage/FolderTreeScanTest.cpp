// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <mutex>
#include <vector>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/FolderTreeScanner.h"
#include "diskusage/NodeTreeOperator.h"
#include "diskusage/PieTree.h"
#include "diskusage/TreeScanOptions.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "support/UnprivilegedChild.h"

using namespace quillby;

namespace {

const RingFolderNode* child(const RingFolderNode& node, const std::string& name) {
    for (const auto& entry : node.children) {
        if (entry && entry->name() == name) return entry.get();
    }
    return nullptr;
}

}  // namespace

TEST(FolderTree, KeepsEveryRuleOfWhatCountsAndHow) {
    TempDir dir;
    fs::path top = dir / "top";
    makeFile(top / "Volumes/disk/huge", 5000000);  // skipped at the top level
    makeFile(top / "deep/Volumes/inner", 700);     // counted further down
    makeFile(top / "ends-with-period./x", 9000);   // a folder with a trailing period
    makeFile(top / "file.", 8000);                 // a file with a trailing period
    makeFile(top / ".hidden", 40);                 // a leading period counts
    makeFile(top / "links/original", 1000000);     // one 1 MB file, two names
    fs::create_hard_link(top / "links/original", top / "links/second");
    makeFile(top / "elsewhere/big", 3000000);
    fs::create_directory_symlink(top / "elsewhere", top / "links/to-folder");
    makeFile(top / "same-a/f", 10);
    makeFile(top / "same-b/f", 10);
    fs::create_directory(top / "empty");

    // The progress events of the scan, which may come from its threads.
    std::mutex mutex;
    std::vector<std::int64_t> dirLevels;
    int progressSteps = 0;
    auto& bus = EventBus::defaultCenter();
    auto levels = bus.observe(Events::GetDirTotalLevel, [&](const Event& event) {
        std::lock_guard lock(mutex);
        if (auto* value = userInfoValue<std::int64_t>(event, EventKeys::DirLevels)) {
            dirLevels.push_back(*value);
        }
    });
    auto steps = bus.observe(Events::NeedUpdateProgress, [&](const Event&) {
        std::lock_guard lock(mutex);
        ++progressSteps;
    });
    auto root = RingFolderNode::makeRoot(top.string());
    std::int64_t total = FolderTreeScanner().scanFolder(*root, root->path(), true);

    std::uint64_t symlink = linkSize(top / "links/to-folder");
    const RingFolderNode* links = child(*root, "links");
    ASSERT_NE(links, nullptr);
    EXPECT_EQ(static_cast<std::uint64_t>(links->size), 2000000 + symlink);
    EXPECT_EQ(links->count(), 0);  // the link to a folder is not descended
    ASSERT_NE(child(*root, "deep"), nullptr);
    EXPECT_EQ(child(*root, "deep")->size, 700);
    EXPECT_NE(child(*child(*root, "deep"), "Volumes"), nullptr);
    EXPECT_EQ(child(*root, "Volumes"), nullptr);
    EXPECT_EQ(child(*root, "ends-with-period."), nullptr);
    EXPECT_EQ(static_cast<std::uint64_t>(total), 2000000 + symlink + 700 + 40 + 3000000 + 20);
    EXPECT_EQ(root->size, total);

    // Largest first, equal sizes by name, empty folders last.
    std::vector<std::string> order;
    for (const auto& entry : root->children) order.push_back(entry->name());
    EXPECT_EQ(order, (std::vector<std::string>{"elsewhere", "links", "deep", "same-a", "same-b",
                                               "empty"}));
    EXPECT_EQ(child(*root, "same-a")->parent, root.get());
    EXPECT_EQ(child(*child(*root, "deep"), "Volumes")->path(),
              (top / "deep/Volumes").string() + "/");

    std::lock_guard lock(mutex);
    EXPECT_EQ(dirLevels, std::vector<std::int64_t>{6});
    EXPECT_EQ(progressSteps, 6);
}

// A folder that cannot be opened counts as empty. Both trees tell it from an empty one, and the
// counters count it; the item tree keeps it whatever the size limit says.
TEST(FolderTree, UnreadableFoldersCountAsEmptyAndBothTreesMarkThem) {
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all, fs::perm_options::replace);
    makeFile(dir / "top/open/a", 10);
    makeFile(dir / "top/closed/b", 20);
    fs::create_directories(dir / "top/empty");
    fs::permissions(dir / "top/closed", fs::perms::none);
    EXPECT_TRUE(asOrdinaryUser([&] {
        ScanCounters counters;
        TreeScanOptions options;
        options.counters = &counters;
        auto root = RingFolderNode::makeRoot((dir / "top").string());
        bool total = FolderTreeScanner(options).scanFolder(*root, root->path(), true) == 10;
        const RingFolderNode* closed = child(*root, "closed");
        bool folders = total && closed && closed->size == 0 && closed->unreadable &&
                       !child(*root, "open")->unreadable && !child(*root, "empty")->unreadable &&
                       !root->unreadable && counters.unreadableFolders == 1;

        auto items = NodeTreeOperator(options).buildBrowserTree((dir / "top").string(), 5, {});
        bool closedKept = false, emptyKept = false;
        for (const auto& item : items->children) {
            if (item->displayName() == "closed") closedKept = item->unreadable && item->size == 0;
            if (item->displayName() == "empty") emptyKept = true;
        }
        return folders && closedKept && !emptyKept && counters.unreadableFolders == 2;
    }));
}

TEST(FolderTree, KernelFileSystemsCountAsEmptyAndOtherMountsAreMeasured) {
    TempDir dir;
    makeFile(dir / "top/file", 10);
    for (const char* folder : {"top/proc", "top/sys", "top/ram"})
        fs::create_directories(dir / folder);
    int status = inPrivateMountNamespace([&] {
        // A machine that refuses these mounts (a container) skips the test like one without
        // a namespace.
        auto mount = [&](const char* type, const char* folder) {
            if (::mount(type, (dir / folder).c_str(), type, 0, nullptr) != 0)
                ::_exit(kNoMountNamespace);
            return true;
        };
        if (!mount("tmpfs", "top/ram") || !mount("proc", "top/proc") || !mount("sysfs", "top/sys"))
            return false;
        makeFile(dir / "top/ram/data", 300);  // a memory file system holds real files
        fs::create_directories(dir / "top/ram/cgroup");
        // A kernel file system inside another mount is left out as well.
        if (!mount("cgroup2", "top/ram/cgroup")) return false;
        auto root = RingFolderNode::makeRoot((dir / "top").string());
        bool total = FolderTreeScanner().scanFolder(*root, root->path(), true) == 310;
        const RingFolderNode* proc = child(*root, "proc");
        return total && proc && proc->size == 0 && !proc->unreadable &&
               child(*root, "sys")->size == 0 && child(*root, "ram")->size == 300;
    });
    if (status == kNoMountNamespace) GTEST_SKIP() << "needs root: cannot mount in a namespace here";
    EXPECT_EQ(status, 0);
}

TEST(FolderTree, PathsLongerThanTheKernelTakesAtOnceWork) {
    TempDir dir;
    // 60 levels of 100-byte names: the deepest path is over 6,000 bytes.
    std::string name(100, 'n');
    int fd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int level = 0; level < 60; ++level) {
        ASSERT_EQ(::mkdirat(fd, name.c_str(), 0755), 0);
        int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        ASSERT_GE(fd, 0);
    }
    int file = ::openat(fd, "bottom", O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::ftruncate(file, 4321), 0);
    ::close(file);
    ::close(fd);

    auto root = RingFolderNode::makeRoot(dir.path().string());
    EXPECT_EQ(FolderTreeScanner().scanFolder(*root, root->path(), true), 4321);
    const RingFolderNode* deepest = root.get();
    while (deepest->count() > 0) deepest = deepest->children[0].get();
    EXPECT_EQ(deepest->size, 4321);
    std::string deepPath = deepest->path();
    EXPECT_GT(deepPath.size(), 6000u);
    EXPECT_EQ(searchFile(root.get(), deepPath), deepest);

    // The long folder can also be scanned and listed by its own path.
    auto deepRoot = RingFolderNode::makeRoot(deepPath);
    EXPECT_EQ(FolderTreeScanner().scanFolder(*deepRoot, deepRoot->path(), true), 4321);
}

TEST(FolderTree, CancellingLeavesAPartialTreeUntilTheNextBuild) {
    TempDir dir;
    fs::path top = dir / "top";
    makeFile(top / "own", 5);
    for (int i = 0; i < 4; ++i) makeFile(top / ("sub" + std::to_string(i)) / "f", 1000);

    PieTree tree;
    // Cancel the moment the top level has been counted: no subfolder has begun yet.
    auto cancelOnCount = EventBus::defaultCenter().observe(
        Events::GetDirTotalLevel, [&](const Event&) { tree.cancelTask(); });
    tree.contructPieTree(top.string());
    ASSERT_NE(tree.icAllDir, nullptr);
    EXPECT_EQ(tree.icAllDir->size, 5);  // the root keeps what it gathered itself
    EXPECT_EQ(tree.icAllDir->count(), 4);
    for (const auto& sub : tree.icAllDir->children) {
        EXPECT_EQ(sub->size, 0);
        EXPECT_EQ(sub->count(), 0);
    }
    // The flag stays set: the layout draws the centre disc and nothing else.
    EXPECT_EQ(tree.drawScene().size(), 1u);

    cancelOnCount = {};
    tree.contructPieTree(top.string());
    EXPECT_EQ(tree.icAllDir->size, 4005);
    EXPECT_EQ(tree.drawScene().size(), 5u);
}
