// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/DiskUsageLimit.h"
#include "diskusage/NodeTreeOperator.h"
#include "support/TempDir.h"
#include "support/TestPlatform.h"

using namespace quillby;

namespace {

const FSNode* child(const FSNode& node, const std::string& name) {
    for (const auto& entry : node.children) {
        if (entry->displayName() == name) return entry.get();
    }
    return nullptr;
}

}  // namespace

TEST(SizeLimit, NumberTimesTheUnitsDecimalMultiplier) {
    TestPlatform platform;
    auto& defaults = UserDefaults::standardUserDefaults();
    EXPECT_EQ(DiskUsageLimit::getLimitSize(), 0u);
    defaults.setInteger(5, SettingsKey::QWDiskUsageLimit);
    const std::pair<int, std::uint64_t> units[] = {
        {0, 5}, {1, 5000}, {2, 5000000}, {3, 5000000000}, {4, 5000000000000}, {7, 5}, {-1, 5}};
    for (auto [unit, limit] : units) {
        defaults.setInteger(unit, SettingsKey::QWDiskUsageUnit);
        EXPECT_EQ(DiskUsageLimit::getLimitSize(), limit) << "unit " << unit;
    }
    // Too large for 64 bits: the largest limit, not a wrapped small one.
    defaults.setInteger(20000000, SettingsKey::QWDiskUsageLimit);
    defaults.setInteger(4, SettingsKey::QWDiskUsageUnit);
    EXPECT_EQ(DiskUsageLimit::getLimitSize(), UINT64_MAX);
}

TEST(ItemTree, SmallItemsLeaveTheTreeButStayInTheirFoldersSize) {
    TempDir dir;
    fs::path top = dir / "top";
    makeFile(top / "data/big/huge.bin", 1000000000);  // 1 GB
    makeFile(top / "data/note.txt", 10000);           // 10 KB beside it
    makeFile(top / "data/tiny/a", 100);
    makeFile(top / "loose.iso", 2000000);
    makeFile(top / "small", 999999);
    makeFile(top / "file.", 3000000);  // a trailing period counts here
    makeFile(top / ".cache/blob", 1500000);
    fs::create_symlink(top / "data", top / "link-to-data");

    std::int64_t totalSeen = -1;
    int steps = 0;
    NodeTreeOperator::Progress progress{[&](std::int64_t folders) { totalSeen = folders; },
                                        [&] { ++steps; }};
    auto root = NodeTreeOperator().buildBrowserTree(top.string(), 1000000, progress);

    const FSNode* data = child(*root, "data");
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->isDirectory);
    EXPECT_EQ(data->size, 1000000000u + 10000 + 100);
    EXPECT_EQ(child(*data, "note.txt"), nullptr);
    EXPECT_EQ(child(*data, "tiny"), nullptr);
    ASSERT_NE(child(*data, "big"), nullptr);
    EXPECT_EQ(child(*child(*data, "big"), "huge.bin")->path(),
              (top / "data/big/huge.bin").string());
    EXPECT_EQ(child(*root, "small"), nullptr);
    EXPECT_EQ(child(*root, "link-to-data"), nullptr);  // the link's own few bytes
    EXPECT_NE(child(*root, "file."), nullptr);
    EXPECT_NE(child(*root, ".cache"), nullptr);
    EXPECT_EQ(root->size, 1000000000u + 10000 + 100 + 2000000 + 999999 + 3000000 + 1500000 +
                              linkSize(top / "link-to-data"));

    std::vector<std::string> order;
    for (const auto& entry : root->children) order.push_back(entry->displayName());
    EXPECT_EQ(order, (std::vector<std::string>{"data", "file.", "loose.iso", ".cache"}));
    EXPECT_EQ(data->father, root.get());
    EXPECT_EQ(totalSeen, 2);  // data and .cache
    EXPECT_EQ(steps, 2);
}

TEST(ItemTree, FirstListTreeOfAFileAndAfterAStop) {
    TempDir dir;
    makeFile(dir / "one.bin", 5000);
    makeFile(dir / "folder/a", 300);
    FSNode root(dir.path().string(), true, nullptr);
    NodeTreeOperator builder;

    EXPECT_EQ(builder.getFirstListTree((dir / "one.bin").string(), root, 6000), 0u);
    EXPECT_TRUE(root.children.empty());
    EXPECT_EQ(builder.getFirstListTree((dir / "one.bin").string(), root, 5000), 5000u);
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_FALSE(root.children[0]->isDirectory);
    EXPECT_EQ(root.children[0]->displayName(), "one.bin");

    // Items already in the root stay; the folder's items join them.
    EXPECT_EQ(builder.getFirstListTree((dir / "folder").string(), root, 0), 300u);
    EXPECT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.children[1]->path(), (dir / "folder/a").string());
    EXPECT_EQ(root.children[1]->displayName(), "a");
    EXPECT_EQ(FSNode("/", true, nullptr).displayName(), "/");  // the top keeps its name

    NodeTreeOperator stopped({.shouldStop = [] { return true; }});
    FSNode other(dir.path().string(), true, nullptr);
    EXPECT_EQ(stopped.getFirstListTree(dir.path().string(), other, 0), 0u);
    EXPECT_TRUE(other.children.empty());
}
