// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/EarlierScan.h"
#include "diskusage/FolderTreeScanner.h"
#include "diskusage/NodeTreeOperator.h"
#include "diskusage/ScanFileLoader.h"
#include "diskusage/ScanHistory.h"
#include "diskusage/ScanTreeWriter.h"
#include "platform/PlatformContext.h"
#include "support/TempDir.h"

namespace {

// A kept scan whose text is `text`.
std::function<bool(int)> writing(const std::string& text) {
    return [text](int fd) { return ::write(fd, text.data(), text.size()) == ssize_t(text.size()); };
}

// The kept scans by place: each place's times, newest first.
std::map<std::string, std::vector<std::int64_t>> keptTimes(const ScanHistory& history) {
    std::map<std::string, std::vector<std::int64_t>> times;
    for (const auto& [place, scans] : history.places()) {
        for (const auto& scan : scans) times[place].push_back(scan.milliseconds);
    }
    return times;
}

// Every file under `top`, relative to it.
std::vector<std::string> filesUnder(const fs::path& top) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(top)) {
        if (!entry.is_directory()) files.push_back(fs::relative(entry.path(), top).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::unique_ptr<RingFolderNode> folderTree(const fs::path& top) {
    auto root = RingFolderNode::makeRoot(top.string());
    FolderTreeScanner().scanFolder(*root, root->path(), true);
    return root;
}

// Keeps `tree` as a scan of its place in `folder`; the kept file ("" when it was not kept).
template <class Node>
std::string keepTree(const fs::path& folder, const std::string& place, const Node& tree) {
    ScanHistory history(folder);
    std::vector<std::string> problems;
    EXPECT_TRUE(history.keep(
        place, 1, [&](int fd) { return writeScanTree(tree, {}, fd); }, problems));
    auto kept = history.latest(place);
    return kept ? kept->file.string() : std::string();
}

}  // namespace

TEST(ScanHistory, PlaceKeysAreStableAndReadable) {
    std::string key = ScanHistory::placeKey("/home/me/Down loads.x", "folders");
    EXPECT_EQ(key, ScanHistory::placeKey("/home/me/Down loads.x/", "folders"));
    EXPECT_NE(key, ScanHistory::placeKey("/home/me/Down loads.x", "folders allocated"));
    EXPECT_NE(key, ScanHistory::placeKey("/home/you/Down loads.x", "folders"));
    EXPECT_EQ(key.size(), 16 + 1 + std::string("Down_loads_x").size());
    EXPECT_TRUE(key.ends_with("-Down_loads_x")) << key;
    EXPECT_TRUE(ScanHistory::placeKey("/", "folders").ends_with("-root"));
    EXPECT_EQ(ScanHistory::kindOf(1000, true), "items>=1000 allocated");
    EXPECT_EQ(ScanHistory::kindOf(std::nullopt, false), "folders");

    TempDir temp;
    auto folder = ScanHistory::defaultFolder(PlatformContext::underRoot(temp.path()));
    ASSERT_TRUE(folder);
    EXPECT_EQ(*folder, temp / "home/.cache/com.quillby.pro/scans");
}

// The last three of each place stay; past the bound whole places go, the one scanned longest
// ago first, and the newest place always keeps its newest scan. Nothing else is touched.
TEST(ScanHistory, KeepsTheLastFewPerPlaceAndBoundsTheFolder) {
    TempDir temp;
    fs::path folder = temp / "scans";
    ScanHistory history(folder, {.perPlace = 3, .files = 4, .bytes = 1000});
    std::vector<std::string> problems;
    const std::string a = ScanHistory::placeKey("/a", "folders");
    const std::string b = ScanHistory::placeKey("/b", "folders");
    const std::string c = ScanHistory::placeKey("/c", "folders");
    temp.write("scans/notes.txt", "not a kept scan");
    struct Step {
        std::string place;
        std::int64_t at;
        std::size_t bytes;
        std::map<std::string, std::vector<std::int64_t>> kept;
    };
    const std::vector<Step> steps{
        {a, 10, 10, {{a, {10}}}},
        {a, 20, 10, {{a, {20, 10}}}},
        {b, 30, 10, {{a, {20, 10}}, {b, {30}}}},
        {a, 40, 10, {{a, {40, 20, 10}}, {b, {30}}}},
        {a, 50, 10, {{a, {50, 40, 20}}, {b, {30}}}},  // a's oldest goes
        {a, 50, 10, {{a, {51, 50, 40}}, {b, {30}}}},  // the same moment: the next one
        {c, 60, 10, {{a, {51, 50, 40}}, {c, {60}}}},  // five files: b was scanned longest ago
        {c, 70, 2000, {{c, {70}}}},                   // too large: only the newest stays
    };
    for (const Step& step : steps) {
        EXPECT_TRUE(
            history.keep(step.place, step.at, writing(std::string(step.bytes, 'x')), problems));
        EXPECT_EQ(keptTimes(history), step.kept) << step.at;
    }
    EXPECT_EQ(problems, std::vector<std::string>{});
    EXPECT_EQ(history.latest(c)->milliseconds, 70);
    EXPECT_FALSE(history.latest(a));
    EXPECT_EQ(filesUnder(temp.path()),
              (std::vector<std::string>{"scans/" + c + ".70.json", "scans/notes.txt"}));
}

// A scan that cannot be written says why and leaves the kept scans as they were.
TEST(ScanHistory, AFailedWriteKeepsNothingAndSaysWhy) {
    TempDir temp;
    ScanHistory history(temp / "scans");
    std::vector<std::string> problems;
    const std::string place = ScanHistory::placeKey("/a", "folders");
    ASSERT_TRUE(history.keep(place, 1, writing("first"), problems));
    auto failing = [](int) {
        errno = ENOSPC;
        return false;
    };
    EXPECT_FALSE(history.keep(place, 2, failing, problems));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("No space left on device"), std::string::npos) << problems[0];
    EXPECT_EQ(filesUnder(temp.path()), std::vector<std::string>{"scans/" + place + ".1.json"});

    temp.write("blocked", "a file where the folder should be");
    problems.clear();
    EXPECT_FALSE(ScanHistory(temp / "blocked/scans").keep(place, 3, writing("x"), problems));
    EXPECT_EQ(problems.size(), 1u);
}

// A kept tree reads back with the same sizes, and each entry's change against it reads right
// for every kind of change, down to a new folder inside an old one. The kept tree's stand-in
// for the loose files it did not keep by name is no entry of its own when scans are compared.
TEST(ScanHistory, TheGrowthDiffAgainstAKeptScan) {
    TempDir temp;
    fs::path top = temp / "top";
    makeFile(top / "loose", 700);
    makeFile(top / "grows/f", 1000);
    makeFile(top / "shrinks/f", 5000);
    makeFile(top / "goes/f", 700);
    makeFile(top / "stays/f", 10);
    makeFile(top / "stays/deep/g", 5);
    auto before = folderTree(top);
    std::string kept =
        keepTree(temp / "scans", ScanHistory::placeKey(top.string(), "folders"), *before);
    auto items = ScanFileLoader::loadItemTree(kept, 0);
    ASSERT_TRUE(items.root);
    EarlierScan keptItems =
        EarlierScan::of(*items.root, 1, [](const FSNode& node) { return node.size; });
    EXPECT_TRUE(
        keptItems
            .goneFrom(items.root->path(), items.root->path(), {"grows", "shrinks", "goes", "stays"})
            .empty());

    makeFile(top / "grows/f", 3000);
    makeFile(top / "shrinks/f", 1000);
    fs::remove_all(top / "goes");
    makeFile(top / "stays/inner/n", 40);
    makeFile(top / "added/n", 90);
    auto after = folderTree(top);
    auto loaded = ScanFileLoader::loadFolderTree(kept);
    ASSERT_TRUE(loaded.root) << loaded.message;
    EXPECT_EQ(plainFolderTree(*loaded.root), plainFolderTree(*before));
    auto size = [](const RingFolderNode& node) { return static_cast<std::uint64_t>(node.size); };
    EarlierScan earlier = EarlierScan::of(*loaded.root, 2, size);
    const std::string then = loaded.root->path();
    struct Case {
        std::string path;  // below the scanned folder
        std::optional<std::int64_t> change;
    };
    for (const Case& c : std::vector<Case>{{"grows/", 2000},
                                           {"shrinks/", -4000},
                                           {"stays/", 40},
                                           {"stays/inner/", std::nullopt},
                                           {"added/", std::nullopt}}) {
        const RingFolderNode* now = searchFile(after.get(), after->path() + c.path);
        ASSERT_TRUE(now) << c.path;
        auto was = earlier.sizeOf(then, then + c.path);
        std::optional<std::int64_t> change;
        if (was) change = now->size - static_cast<std::int64_t>(*was);
        EXPECT_EQ(change, c.change) << c.path;
    }
    std::vector<std::string> present;
    for (const auto& child : after->children) present.push_back(child->name());
    auto gone = earlier.goneFrom(then, then, present);
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_EQ(gone[0].name, "goes");
    EXPECT_EQ(gone[0].size, 700u);
}

// The column browser's changes: its item tree against the kept item tree of the place, matched
// by name, through the scan file and back.
TEST(ScanHistory, EachItemsChangeAgainstAKeptItemTree) {
    TempDir temp;
    fs::path top = temp / "top";
    makeFile(top / "grows/f", 1000);
    makeFile(top / "shrinks/f", 5000);
    makeFile(top / "stays/f", 10);
    makeFile(top / "stays/small", 1);
    makeFile(top / "goes/f", 700);
    std::string kept =
        keepTree(temp / "scans", ScanHistory::placeKey(top.string(), ScanHistory::kindOf(5, false)),
                 *NodeTreeOperator().buildBrowserTree(top.string(), 5, {}));

    makeFile(top / "grows/f", 3000);
    makeFile(top / "shrinks/f", 1000);
    makeFile(top / "stays/small", 20);  // the earlier tree never kept it by name
    makeFile(top / "stays/inner/n", 40);
    makeFile(top / "added/n", 90);
    fs::remove_all(top / "goes");
    auto after = NodeTreeOperator().buildBrowserTree(top.string(), 5, {});
    auto earlier = ScanFileLoader::loadItemTree(kept, 5);
    ASSERT_TRUE(earlier.root);
    ItemTreeChanges changes = ItemTreeChanges::between(*after, *earlier.root);
    std::map<std::string, std::string> texts;
    std::vector<const FSNode*> nodes{after.get()};
    while (!nodes.empty()) {
        const FSNode* node = nodes.back();
        nodes.pop_back();
        texts[fs::relative(node->path(), top).string()] = changes.textOf(node);
        for (const auto& child : node->children) nodes.push_back(child.get());
    }
    EXPECT_EQ(texts, (std::map<std::string, std::string>{{".", "-2.55 KB"},
                                                         {"grows", "+2.00 KB"},
                                                         {"grows/f", "+2.00 KB"},
                                                         {"shrinks", "-4.00 KB"},
                                                         {"shrinks/f", "-4.00 KB"},
                                                         {"stays", "+0.06 KB"},
                                                         {"stays/f", "0.00 KB"},
                                                         {"stays/small", ""},
                                                         {"stays/inner", "new"},
                                                         {"stays/inner/n", "new"},
                                                         {"added", "new"},
                                                         {"added/n", "new"}}));
    // What went is named in its folder; the stand-in for the small files is no item.
    EXPECT_EQ(EarlierScan::goneText(changes.goneFrom(after.get()), "item", "items", "then"),
              "1 item gone since then (0.70 KB): goes");
    for (const auto& child : after->children) {
        if (child->displayName() == "stays") {
            EXPECT_TRUE(changes.goneFrom(child.get()).empty());
        }
    }
}
