// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <sstream>

#include "core/fs/FolderUtilities.h"
#include "core/fs/TreeMeasure.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// What find reports for the tree: the sizes of everything that is not a folder, summed.
std::uint64_t sizeByFind(const fs::path& root) {
    auto result =
        runProcess("/usr/bin/find", {root.string(), "!", "-type", "d", "-printf", "%s\n"}, {});
    std::istringstream lines(result.out);
    std::uint64_t total = 0, size = 0;
    while (lines >> size) total += size;
    return total;
}

}  // namespace

TEST(SizeWalk, AgreesWithFindOnLinksHardLinksAndUnreadableFolders) {
    TempDir dir;
    TempDir outside;
    outside.write("big", std::string(5000, 'x'));
    fs::path root = dir / "tree";
    dir.write("tree/a.txt", std::string(1234, 'a'));
    dir.write("tree/.hidden", "hidden");
    dir.write("tree/sub/deeper/b.bin", std::string(70000, 'b'));
    dir.write("tree/sub/name\nwith line end", "12345");
    fs::create_directories(root / "empty");
    fs::create_hard_link(root / "a.txt", root / "sub/a-again.txt");
    fs::create_symlink(outside / "big", root / "link-to-file");
    fs::create_directory_symlink(outside.path(), root / "link-to-folder");
    fs::create_symlink("nowhere", root / "dangling");
    ASSERT_EQ(::mkfifo((root / "pipe").c_str(), 0600), 0);
    dir.write("tree/locked/c", std::string(300, 'c'));
    fs::permissions(root / "locked", fs::perms::none);

    std::uint64_t expected = sizeByFind(root);
    EXPECT_GT(expected, 1234u + 70000 + 1234);  // the hard link counts twice, as find lists it
    EXPECT_EQ(FolderUtilities::sizeOfItemAtPath(root), expected);
    // A link is measured as itself, never followed.
    EXPECT_EQ(FolderUtilities::sizeOfItemAtPath(root / "link-to-folder"),
              (outside.path()).string().size());
}

TEST(SizeWalk, ALargeTreeSharedAmongThreadsGivesTheSameTotals) {
    TempDir dir;
    fs::path root = dir / "tree";
    for (int folder = 0; folder < 300; ++folder) {
        std::string path = "tree/" + std::to_string(folder % 7) + "/" + std::to_string(folder);
        for (int file = 0; file < 3; ++file) {
            dir.write(path + "/f" + std::to_string(file), std::string(folder * 3 + file, 'x'));
        }
    }
    fs::create_symlink(dir / "tree/0", root / "1/link");
    TreeTotals alone = TreeMeasure({}).measurePath(root.string());
    TreeTotals shared = TreeMeasure({.threads = 4}).measurePath(root.string());
    EXPECT_EQ(alone.bytes, sizeByFind(root));
    EXPECT_EQ(shared.bytes, alone.bytes);
    EXPECT_EQ(shared.entries, alone.entries);
    EXPECT_EQ(alone.entries, 7u + 300 + 900 + 1);

    // A stop request reaches every thread.
    std::atomic<int> folders{0};
    TreeMeasure stopping({.shouldStop = [&] { return ++folders > 100; }, .threads = 4});
    TreeTotals partial = stopping.measurePath(root.string());
    EXPECT_TRUE(stopping.stopped());
    EXPECT_LT(partial.entries, alone.entries);
}

TEST(SizeWalk, FilesMissingPathsAndTheStopFlag) {
    TempDir dir;
    dir.write("folder/ten", "0123456789");
    fs::create_directories(dir / "folder/empty");
    EXPECT_EQ(FolderUtilities::sizeOfItemAtPath(dir / "folder"), 10u);
    EXPECT_EQ(FolderUtilities::sizeOfItemAtPath(dir / "folder/ten"), 10u);
    EXPECT_EQ(FolderUtilities::sizeOfItemAtPath(dir / "missing"), 0u);

    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(FolderUtilities::sizeOfItemAtPath(dir / "folder", stop.get_token()), 0u);
}

TEST(FolderToReveal, FolderShowsItselfAnythingElseItsParent) {
    TempDir dir;
    dir.write("logs/app.log", "x");
    fs::create_directory_symlink(dir / "logs", dir / "link");
    EXPECT_EQ(FolderUtilities::getFolderFromFile(dir / "logs"), dir / "logs");
    EXPECT_EQ(FolderUtilities::getFolderFromFile(dir / "logs/app.log"), dir / "logs");
    EXPECT_EQ(FolderUtilities::getFolderFromFile(dir / "link"), dir.path());
    EXPECT_EQ(FolderUtilities::getFolderFromFile(dir / "gone/file"), dir / "gone");
}
