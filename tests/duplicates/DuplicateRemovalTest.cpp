// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/mount.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "duplicates/DuplicateRemoval.h"
#include "duplicates/DuplicateTestSupport.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;
using Outcome = DuplicateRemoval::Outcome;

namespace {

// Removes the copy `copy` after comparing it with `kept`, both named inside `dir`, and within
// `searched` when given.
DuplicateRemoval::Result removeIn(const TempDir& dir, const std::string& copy,
                                  const std::string& kept, const std::string& searched = "") {
    return DuplicateRemoval::removeVerifiedCopy(
        (dir / copy).string(), (dir / kept).string(),
        searched.empty() ? std::string() : (dir / searched).string());
}

}  // namespace

TEST(DuplicateRemoval, RemovesOnlyAByteForByteCopy) {
    TempDir dir;
    std::string content = randomBytes(9 * 1024 * 1024 + 3, 1);
    writeBytes(dir / "kept", content);
    writeBytes(dir / "copy", content);
    std::string other = content;
    other[other.size() - 1] ^= 1;
    writeBytes(dir / "differs-at-end", other);
    writeBytes(dir / "twin", crcTwinOf(content.substr(0, 5000), 3000));
    writeBytes(dir / "twin-of", content.substr(0, 5000));

    auto result = removeIn(dir, "copy", "kept");
    EXPECT_EQ(result.outcome, Outcome::Removed) << result.detail;
    EXPECT_FALSE(fs::exists(dir / "copy"));

    result = removeIn(dir, "differs-at-end", "kept");
    EXPECT_EQ(result.outcome, Outcome::Differs);
    EXPECT_TRUE(fs::exists(dir / "differs-at-end"));

    // Same checksum, other bytes: still refused.
    result = removeIn(dir, "twin", "twin-of");
    EXPECT_EQ(result.outcome, Outcome::Differs) << result.detail;
    EXPECT_TRUE(fs::exists(dir / "twin"));
    EXPECT_EQ(fs::file_size(dir / "kept"), content.size());
}

TEST(DuplicateRemoval, NeverRemovesTheCopyThatStaysThroughAnotherPath) {
    TempDir dir;
    dir.write("real/file", "only copy");
    fs::create_directory_symlink(dir / "real", dir / "alias");
    dir.write("real/linked", "two names");
    fs::create_hard_link(dir / "real/linked", dir / "real/second-name");

    auto result = removeIn(dir, "alias/file", "real/file");
    EXPECT_EQ(result.outcome, Outcome::SameEntry);
    EXPECT_TRUE(fs::exists(dir / "real/file"));
    EXPECT_EQ(removeIn(dir, "real/file", "real/file").outcome, Outcome::SameEntry);

    // A second name of the same file may go: the content stays under the first.
    result = removeIn(dir, "real/second-name", "real/linked");
    EXPECT_EQ(result.outcome, Outcome::Removed) << result.detail;
    EXPECT_EQ(TempDir::read(dir / "real/linked"), "two names");
}

TEST(DuplicateRemoval, RefusesLinksFoldersAndMissingKeptCopies) {
    TempDir dir;
    dir.write("kept", "x");
    fs::create_symlink(dir / "kept", dir / "link");
    fs::create_directory(dir / "folder");
    EXPECT_EQ(removeIn(dir, "link", "kept").outcome, Outcome::NotRegularFile);
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(removeIn(dir, "folder", "kept").outcome, Outcome::NotRegularFile);
    dir.write("copy", "x");
    EXPECT_EQ(removeIn(dir, "copy", "gone").outcome, Outcome::Failed);
    EXPECT_TRUE(fs::exists(dir / "copy"));
}

TEST(DuplicateRemoval, ACopyInsideASystemFolderIsRefusedHoweverItIsReached) {
    // In a private mount namespace /etc is a fresh, empty file system of this child's own: the
    // machine's /etc is never seen, let alone changed.
    int status = inPrivateMountNamespace([] {
        if (::mount("none", "/etc", "tmpfs", 0, nullptr) != 0) return false;
        for (const char* name : {"/etc/a", "/etc/b", "/etc/c"}) {
            if (!(std::ofstream(name) << "same bytes")) return false;
        }
        auto direct = DuplicateRemoval::removeVerifiedCopy("/etc/b", "/etc/a");
        auto throughRoot = DuplicateRemoval::removeVerifiedCopy("/proc/self/root/etc/c", "/etc/a");
        return direct.outcome == Outcome::Refused && throughRoot.outcome == Outcome::Refused &&
               fs::exists("/etc/b") && fs::exists("/etc/c");
    });
    if (status == kNoMountNamespace) GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(status, 0);
}

TEST(DuplicateRemoval, ACopysFolderSwappedForALinkSinceTheSearchLeadsNowhere) {
    TempDir dir;
    dir.write("searched/sub/copy", "same");
    dir.write("searched/kept/original", "same");
    dir.write("elsewhere/copy", "same");
    fs::rename(dir / "searched/sub", dir / "moved-away");
    fs::create_directory_symlink(dir / "elsewhere", dir / "searched/sub");
    auto result = removeIn(dir, "searched/sub/copy", "searched/kept/original", "searched");
    EXPECT_EQ(result.outcome, Outcome::Refused) << result.detail;
    EXPECT_TRUE(fs::exists(dir / "elsewhere/copy"));
    // The searched folder itself may be reached through a link.
    fs::create_directory_symlink(dir / "searched", dir / "alias");
    dir.write("searched/kept/second", "same");
    EXPECT_EQ(removeIn(dir, "alias/kept/second", "alias/kept/original", "alias").outcome,
              Outcome::Removed);
}
