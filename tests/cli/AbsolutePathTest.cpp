// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/AbsolutePath.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;

TEST(AbsolutePath, RelativeToTheWorkingFolderAndLexicallyNormal) {
    const std::string cwd = fs::current_path().string();
    const struct {
        std::string given;
        std::string expected;
    } cases[] = {
        {"", ""},
        {"/", "/"},
        {"a/b", cwd + "/a/b"},
        {"a/b/", cwd + "/a/b"},
        {"./a//b/.", cwd + "/a/b"},
        {"a/..", cwd},
        {"a/../b/", cwd + "/b"},
        {"/x//y/./", "/x/y"},
        {"/x/y/../", "/x"},
    };
    for (const auto& c : cases) EXPECT_EQ(absolutePath(c.given), c.expected) << c.given;
}

TEST(AbsolutePath, KeepsLinksAsGiven) {
    TempDir dir;
    fs::create_directories(dir.path() / "real/inner");
    fs::create_directory_symlink(dir.path() / "real/inner", dir.path() / "link");
    const std::string root = fs::path(dir.path()).lexically_normal().string();
    EXPECT_EQ(absolutePath(root + "/link"), root + "/link");
    EXPECT_EQ(absolutePath(root + "/link/.."), root);
}

TEST(AbsolutePath, NothingWithoutAWorkingFolder) {
    const fs::path before = fs::current_path();
    {
        TempDir dir;
        fs::create_directory(dir.path() / "gone");
        fs::current_path(dir.path() / "gone");
        fs::remove(dir.path() / "gone");
        EXPECT_EQ(absolutePath("a"), "");
        EXPECT_EQ(absolutePath("/a/b"), "/a/b");
        fs::current_path(before);
    }
}
