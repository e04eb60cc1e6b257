// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "DiskUsageFixtures.h"
#include "diskusage/FileHighlights.h"
#include "diskusage/FolderTreeScanner.h"
#include "support/TempDir.h"
#include "support/UnprivilegedChild.h"

namespace {

void setModified(const fs::path& file, std::int64_t seconds) {
    struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ::utimensat(AT_FDCWD, file.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

// Scans `top` on four threads and gives each list as paths below it.
std::vector<std::vector<std::string>> highlightsOf(const fs::path& top, std::size_t count) {
    FileHighlights highlights(count, false);
    TreeScanOptions options;
    options.threads = 4;
    options.highlights = &highlights;
    auto root = RingFolderNode::makeRoot(top.string());
    FolderTreeScanner(options).scanFolder(*root, root->path(), true);
    auto lists = highlights.lists();
    std::vector<std::vector<std::string>> out;
    for (const auto* list : {&lists.largest, &lists.newest, &lists.oldest}) {
        out.emplace_back();
        for (const auto& file : *list) out.back().push_back(file.path.substr(root->path().size()));
    }
    return out;
}

// A hard-linked file, two equal files, and a folder wide enough to be measured in slices by
// several threads, holding the largest and newest file.
class FileHighlightsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::permissions(dir.path(), fs::perms::all, fs::perm_options::replace);
        const std::tuple<const char*, std::uint64_t, std::int64_t> files[] = {
            {"a/big", 5000, 3000},
            {"a/b/same2", 300, 2000},
            {"a/b/same1", 300, 2000},
            {"old", 10, 1000},
            {"wide/z", 7000, 4000}};
        for (const auto& [name, size, seconds] : files)
            setModified(makeFile(top / name, size), seconds);
        fs::create_hard_link(top / "a/big", top / "a/b/hard");
        for (int i = 0; i < 2100; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "f%04d", i);
            setModified(makeFile(top / "wide" / name, 0), 1500);
        }
    }
    TempDir dir;
    fs::path top = dir / "top";
};

TEST_F(FileHighlightsTest, ListsBestFirstEqualKeysByPathLinkedFilesOnce) {
    using Lists = std::vector<std::vector<std::string>>;
    const std::pair<std::size_t, Lists> cases[] = {
        {1, {{"wide/z"}, {"wide/z"}, {"old"}}},
        {4,
         {{"wide/z", "a/b/hard", "a/b/same1", "a/b/same2"},
          {"wide/z", "a/b/hard", "a/b/same1", "a/b/same2"},
          {"old", "wide/f0000", "wide/f0001", "wide/f0002"}}},
    };
    for (const auto& [count, expected] : cases) {
        EXPECT_EQ(highlightsOf(top, count), expected) << count;
    }
    // More room than files: every file once, the linked one under its first name.
    auto all = highlightsOf(top, 5000);
    for (const auto& list : all) {
        ASSERT_EQ(list.size(), 2105u);
        EXPECT_EQ(std::count(list.begin(), list.end(), "a/big"), 0);
    }
    EXPECT_EQ(all[2].back(), "wide/z");

    // Names of one file that different threads met merge into the first.
    FileHighlights direct(2, false);
    direct.prepare(2);
    struct stat status {};
    status.st_mode = S_IFREG;
    status.st_nlink = 2;
    status.st_ino = 7;
    status.st_size = 1;
    FileHighlights::Folder first(direct, 0, [] { return std::string("/b"); });
    FileHighlights::Folder second(direct, 1, [] { return std::string("/a"); });
    first.offer("x", status);
    second.offer("x", status);
    EXPECT_EQ(direct.lists().largest, (std::vector<FileHighlight>{{"/a/x", 1, 0, 0, 0, 7}}));
}

TEST_F(FileHighlightsTest, FilesOfUnreadableFoldersAreLeftOut) {
    setModified(makeFile(top / "closed/huge", 90000), 5000);
    fs::permissions(top / "closed", fs::perms::none);
    EXPECT_TRUE(asOrdinaryUser([&] {
        auto lists = highlightsOf(top, 1);
        return lists[0] == std::vector<std::string>{"wide/z"} &&
               lists[1] == std::vector<std::string>{"wide/z"};
    }));
}

}  // namespace
