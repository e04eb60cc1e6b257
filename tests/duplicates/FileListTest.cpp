// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/work/WorkStealingPool.h"
#include "duplicates/DuplicateTestSupport.h"
#include "duplicates/getFileList.h"
#include "support/TempDir.h"
#include "support/UnprivilegedChild.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

std::vector<std::string> pathsOf(const std::vector<CandidateFile>& files) {
    std::vector<std::string> paths;
    for (const auto& file : files) paths.push_back(file.filePathName);
    std::sort(paths.begin(), paths.end());
    return paths;
}

struct Listing {
    bool listed = false;
    std::vector<CandidateFile> files;
    std::vector<std::string> bundles;
};

// Every test lists files in a folder of its own.
class FileList : public ::testing::Test {
  protected:
    static Listing listAt(const fs::path& root, std::uint64_t limit, bool hidden = false,
                          bool onlySharingASize = false) {
        getFileList walker;
        walker.setSearchOptions(hidden, false);
        walker.setOnlyFilesSharingASize(onlySharingASize);
        Listing listing;
        listing.listed = walker.getListAtPath(root.string(), listing.files, listing.bundles, limit);
        return listing;
    }

    TempDir dir;
};

}  // namespace

TEST(FileListPaths, HiddenSystemAndBundlePathsAreRecognized) {
    for (const char* hidden : {"/home/u/.config/a", "/home/u/a/.b"})
        EXPECT_TRUE(getFileList::IsHiddenFile(hidden)) << hidden;
    EXPECT_FALSE(getFileList::IsHiddenFile("/home/u/a.b/c"));
    for (const char* system :
         {"/Library", "/SYSTEM/x", "/sBin",  "/usr",   "/ETC/x",  "/var",       "/boot",
          "/opt",     "/lib",      "/lib32", "/lib64", "/libx32", "/srv",       "/snap",
          "/dev",     "/proc",     "/sys",   "/run",   "/tmp",    "/lost+found"}) {
        EXPECT_TRUE(getFileList::IsSystemDirectory(system)) << system;
    }
    for (const char* other : {"/home", "/media", "/home/u/Library"})
        EXPECT_FALSE(getFileList::IsSystemDirectory(other)) << other;
    EXPECT_EQ(getFileList::bundlePathOf("/a/Tools.App/Contents/x"), "/a/Tools.App");
    EXPECT_EQ(getFileList::bundlePathOf("/a/X.app"), "/a/X.app");
    EXPECT_EQ(getFileList::bundlePathOf("/a/X.apps/y"), "");
    EXPECT_EQ(getFileList::bundlePathOf("/a/O.app/B.app/y"), "/a/O.app");
}

TEST_F(FileList, ThresholdIsStrictAndEmptyFilesNeverCount) {
    dir.write("ten", std::string(10, 'x'));
    dir.write("eleven", std::string(11, 'x'));
    dir.write("empty", "");
    EXPECT_EQ(listAt(dir.path(), 0).files.size(), 2u);
    auto records = listAt(dir.path(), 10).files;
    ASSERT_EQ(pathsOf(records), (std::vector<std::string>{(dir / "eleven").string()}));
    EXPECT_EQ(records[0].fileName(), "eleven");
    EXPECT_EQ(records[0].fileSize, 11u);
    EXPECT_EQ(records[0].md5, 0u);
    EXPECT_EQ(records[0].md5_1k, 0u);
}

// A search needs only files that could have a copy: a size no other candidate has rules one
// out. Files that are no candidates (hidden, in a bundle, at the limit) share no size.
TEST_F(FileList, OnlyFilesSharingASizeAreListedWhenAsked) {
    dir.write("a/three", "abc");
    dir.write("b/three", "xyz");
    dir.write("a/four", "abcd");
    dir.write("a/.hidden4", "wxyz");
    dir.write(".h/four", "efgh");
    dir.write("Tool.app/five", "abcde");
    dir.write("b/five", "vwxyz");
    dir.write("b/two", "ab");
    dir.write("c/two", "cd");
    Listing listing = listAt(dir.path(), 2, false, true);
    ASSERT_TRUE(listing.listed);
    EXPECT_EQ(pathsOf(listing.files),
              (std::vector<std::string>{(dir / "a/three").string(), (dir / "b/three").string()}));
    EXPECT_EQ(listing.bundles, std::vector<std::string>{(dir / "Tool.app").string()});
    // Without the option every candidate stays, and with hidden files the hidden ones pair.
    EXPECT_EQ(listAt(dir.path(), 2).files.size(), 4u);
    Listing hidden = listAt(dir.path(), 2, true, true);
    ASSERT_TRUE(hidden.listed);
    EXPECT_EQ(hidden.files.size(), 5u);
}

TEST_F(FileList, WalkOrderPutsFoldersAfterTheirContents) {
    dir.write("top/sub/deeper/f", "1");
    dir.write("top/g", "2");
    getFileList walker;
    std::vector<ListedPath> walked;
    ASSERT_TRUE(walker.getDirectoryAtPath(dir.path().string(), walked));
    std::vector<std::string> order;
    for (const auto& item : walked) order.push_back(fs::relative(item.path, dir.path()).string());
    // The first-level folder "top" is not listed itself; deeper folders follow their contents.
    EXPECT_EQ(std::count(order.begin(), order.end(), "top"), 0);
    auto at = [&](const std::string& name) {
        return std::find(order.begin(), order.end(), name) - order.begin();
    };
    EXPECT_LT(at("top/sub/deeper/f"), at("top/sub/deeper"));
    EXPECT_LT(at("top/sub/deeper"), at("top/sub"));
    EXPECT_EQ(order.size(), 4u);
}

TEST_F(FileList, SymbolicLinksAreNeverFollowed) {
    TempDir outside;
    outside.write("elsewhere/big", std::string(100, 'o'));
    dir.write("tree/inner/file", std::string(100, 'i'));
    fs::create_directory_symlink(outside / "elsewhere", dir / "tree/first-level-link");
    fs::create_directory_symlink(outside / "elsewhere", dir / "tree/inner/deeper-link");
    fs::create_directory_symlink(dir / "tree/inner", dir / "tree/loop-back");
    fs::create_symlink(dir / "tree/inner/file", dir / "tree/file-link");
    // Links at any level would list files outside the tree, or the same file twice.
    EXPECT_EQ(pathsOf(listAt(dir / "tree", 0).files),
              (std::vector<std::string>{(dir / "tree/inner/file").string()}));
}

TEST_F(FileList, HiddenItemsFollowTheOption) {
    dir.write("visible", "abc");
    dir.write(".hidden-file", "abc");
    dir.write(".hidden-folder/inside", "abc");
    dir.write("folder/.deep/inside", "abc");
    EXPECT_EQ(listAt(dir.path(), 0).files.size(), 1u);
    EXPECT_EQ(listAt(dir.path(), 0, true).files.size(), 4u);
    // A hidden root hides everything below it.
    dir.write(".config/a", "abc");
    EXPECT_TRUE(listAt(dir / ".config", 0).listed);
    EXPECT_TRUE(listAt(dir / ".config", 0).files.empty());
    EXPECT_EQ(listAt(dir / ".config", 0, true).files.size(), 1u);
}

TEST_F(FileList, BundlesAreListedNotTheirFiles) {
    dir.write("Tools.App/Contents/binary", std::string(5000, 'b'));
    dir.write("Small.app/Contents/tiny", "t");
    dir.write("plain", std::string(5000, 'p'));
    // Folders count by their own size (a block here), so a limit of one block keeps every item
    // of Small.app at or below it: that bundle never enters the list.
    Listing listing = listAt(dir.path(), 4096);
    EXPECT_EQ(pathsOf(listing.files), (std::vector<std::string>{(dir / "plain").string()}));
    EXPECT_EQ(listing.bundles, (std::vector<std::string>{(dir / "Tools.App").string()}));
    EXPECT_EQ(listAt(dir.path(), 0).bundles.size(), 2u);
}

TEST_F(FileList, SystemFoldersAreSkippedOnlyAtTheTopOfRoot) {
    dir.write("Library/file", "abc");
    dir.write("bin/file", "abc");
    // Below another root the names mean nothing special.
    EXPECT_EQ(listAt(dir.path(), 0).files.size(), 2u);
}

TEST_F(FileList, UnreadableFoldersAreLeftOutAndAnUnreadableRootFails) {
    fs::permissions(dir.path(), fs::perms::all, fs::perm_options::replace);
    dir.write("tree/open/a", "abc");
    dir.write("tree/closed/b", "abc");
    dir.write("locked/c", "abc");
    fs::permissions(dir / "tree/closed", fs::perms::none);
    fs::permissions(dir / "locked", fs::perms::none);
    std::string tree = (dir / "tree").string();
    std::string locked = (dir / "locked").string();
    std::string expected = (dir / "tree/open/a").string();
    EXPECT_TRUE(asOrdinaryUser([&] {
        getFileList walker;
        std::vector<CandidateFile> files;
        std::vector<std::string> bundles;
        bool listed = walker.getListAtPath(tree, files, bundles, 0);
        bool rootFails = !getFileList().getListAtPath(locked, files, bundles, 0);
        return listed && rootFails && files.size() == 1 && files[0].filePathName == expected;
    }));
}

TEST_F(FileList, AStoppedWalkerListsNoFolderBelowTheFirstLevel) {
    dir.write("top-file", "abc");
    dir.write("folder/inner", "abc");
    getFileList walker;
    walker.stopSearch();
    std::vector<ListedPath> walked;
    ASSERT_TRUE(walker.getDirectoryAtPath(dir.path().string(), walked));
    ASSERT_EQ(walked.size(), 1u);
    EXPECT_EQ(walked[0].path, (dir / "top-file").string());
}

TEST_F(FileList, ThePoolWalksTheSameListInTheSameOrder) {
    for (int i = 0; i < 40; ++i) {
        for (int j = 0; j < 8; ++j) {
            dir.write(
                "d" + std::to_string(i % 5) + "/e" + std::to_string(i) + "/f" + std::to_string(j),
                std::to_string(i * j));
        }
    }
    std::vector<ListedPath> plain, pooled;
    ASSERT_TRUE(getFileList().getDirectoryAtPath(dir.path().string(), plain));
    WorkStealingPool pool(4);
    ASSERT_TRUE(getFileList(&pool).getDirectoryAtPath(dir.path().string(), pooled));
    ASSERT_EQ(plain.size(), pooled.size());
    for (size_t i = 0; i < plain.size(); ++i) EXPECT_EQ(plain[i].path, pooled[i].path);
}

// What is left out is left out by the walk: by identity for a path, however it is spelled, and
// by name at any depth for a glob.
TEST_F(FileList, ExclusionsLeaveOutFoldersByIdentityAndNamesByGlob) {
    for (const char* name :
         {"keep/a", "skip/b", "deep/x/c.tmp", "deep/cache/d", "skipper/e", "Tool.app/part/f.tmp"})
        dir.write(name, "abc");
    fs::create_directory_symlink(dir / "skip", dir / "link-to-skip");
    struct Case {
        const char* name;
        std::vector<std::string> excludes;
        std::vector<std::string> listed;  // the files, then the bundles
    };
    const std::string at = dir.path().string() + "/";
    const Case cases[] = {
        {"nothing",
         {},
         {"deep/cache/d", "deep/x/c.tmp", "keep/a", "skip/b", "skipper/e", "Tool.app"}},
        {"a folder",
         {at + "skip"},
         {"deep/cache/d", "deep/x/c.tmp", "keep/a", "skipper/e", "Tool.app"}},
        {"a folder named through a link",
         {at + "link-to-skip"},
         {"deep/cache/d", "deep/x/c.tmp", "keep/a", "skipper/e", "Tool.app"}},
        {"a folder named by another spelling",
         {at + "deep/../skip/"},
         {"deep/cache/d", "deep/x/c.tmp", "keep/a", "skipper/e", "Tool.app"}},
        // A bundle with a part left out is not compared: it goes, and is kept, as a whole.
        {"file names", {"*.tmp"}, {"deep/cache/d", "keep/a", "skip/b", "skipper/e"}},
        {"a folder's name deeper down",
         {"cach[e]"},
         {"deep/x/c.tmp", "keep/a", "skip/b", "skipper/e", "Tool.app"}},
        {"a missing path leaves nothing out",
         {at + "gone"},
         {"deep/cache/d", "deep/x/c.tmp", "keep/a", "skip/b", "skipper/e", "Tool.app"}},
        {"together", {at + "keep", "?kip*", at + "deep"}, {"Tool.app"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        getFileList walker;
        walker.setExclusions(WalkExclusions(c.excludes));
        Listing listing;
        ASSERT_TRUE(walker.getListAtPath(dir.path().string(), listing.files, listing.bundles, 0));
        std::vector<std::string> listed;
        for (const auto& path : pathsOf(listing.files)) listed.push_back(path.substr(at.size()));
        for (const auto& path : listing.bundles) listed.push_back(path.substr(at.size()));
        EXPECT_EQ(listed, c.listed);
    }
}

// Left out means never opened: an excluded folder that cannot be read is no folder not listed.
TEST_F(FileList, AnExcludedFolderIsNeverOpened) {
    fs::permissions(dir.path(), fs::perms::all, fs::perm_options::replace);
    dir.write("open/a", "abc");
    dir.write("locked/deeper/b", "abc");
    dir.write("open/closed/c", "abc");
    fs::permissions(dir / "locked", fs::perms::none);
    fs::permissions(dir / "open/closed", fs::perms::none);
    const std::string root = dir.path().string();
    auto foldersNotListed = [&](std::vector<std::string> excludes) {
        return [root, excludes]() -> std::size_t {
            getFileList walker;
            walker.setExclusions(WalkExclusions(excludes));
            std::vector<CandidateFile> files;
            std::vector<std::string> bundles;
            walker.getListAtPath(root, files, bundles, 0);
            return walker.foldersNotListed().size();
        };
    };
    EXPECT_TRUE(asOrdinaryUser([&] { return foldersNotListed({})() == 2; }));
    EXPECT_TRUE(asOrdinaryUser([&] {
        return foldersNotListed({root + "/locked", root + "/open/closed"})() == 0;
    }));
    EXPECT_TRUE(asOrdinaryUser([&] { return foldersNotListed({"lock*", "clos[e]d"})() == 0; }));
}
