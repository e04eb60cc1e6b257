// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "duplicates/DuplicateCopyLinker.h"
#include "duplicates/DuplicateReview.h"
#include "duplicates/DuplicateTestSupport.h"
#include "duplicates/MemberIdentity.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "support/UnprivilegedChild.h"

using namespace quillby;

namespace fs = std::filesystem;

using Kind = RemovalOutcome::Kind;

namespace {

constexpr std::size_t kMiB = 1024 * 1024;

struct Linked {
    std::map<std::string, RemovalOutcome> outcomes;  // by path
    std::uint64_t freed = 0;
};

// Searches `root`, ticks every copy but the one that stays by default (no copy marker, then
// the oldest), runs `meanwhile` and replaces the ticked copies with links.
Linked linkCopies(const fs::path& root, DuplicateCopyLinker::Options options,
                  const std::function<void()>& meanwhile = {}) {
    DuplicateSearchOptions search;
    search.includeHidden = true;
    DuplicateReview review(searchTree(root.string(), 0, search), root.string());
    review.setMemberIdentities(readMemberIdentities(review.categoryTree(0)));
    review.clickHeaderBox(true);
    if (meanwhile) meanwhile();
    DuplicateCopyLinker linker(root.string(), options, review.memberIdentities());
    Linked linked;
    for (const auto& member : review.tickedMembers()) {
        auto outcome = linker.link(member);
        linked.outcomes[outcome.path] = outcome;
    }
    linked.freed = linker.bytesFreed();
    return linked;
}

// The kept copy is the oldest, so it is the one every other links to.
void makeOldest(const fs::path& file) {
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(240));
}

ino_t inodeOf(const fs::path& file) {
    struct stat status {};
    return ::lstat(file.c_str(), &status) == 0 ? status.st_ino : 0;
}

// No temporary name is ever left beside a copy.
bool noStandInBelow(const fs::path& root) {
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.path().filename().string().starts_with(".quillby-link-")) return false;
    }
    return true;
}

std::string reasonOf(const Linked& linked, const fs::path& path) {
    auto found = linked.outcomes.find(path.string());
    return found == linked.outcomes.end() ? "not tried" : found->second.reason();
}

}  // namespace

TEST(CopyLinking, HardLinksReplaceCopiesAndCountOnlyWhatIsFreed) {
    TempDir dir;
    const std::string content = randomBytes(kMiB, 7);
    for (const char* name :
         {"kept/photo", "a/photo", "b/photo", "other-mode/photo", "named-twice/photo"}) {
        writeBytes(dir / name, content);
    }
    makeOldest(dir / "kept/photo");
    fs::permissions(dir / "other-mode/photo", fs::perms::owner_read | fs::perms::owner_write);
    // A copy with a name outside the search keeps its blocks under that name: it frees nothing.
    TempDir outside;
    fs::create_hard_link(dir / "named-twice/photo", outside / "photo");

    auto linked = linkCopies(dir.path(), {LinkKind::Hard});
    const ino_t kept = inodeOf(dir / "kept/photo");
    for (const char* name : {"a/photo", "b/photo", "named-twice/photo"}) {
        EXPECT_EQ(linked.outcomes[(dir / name).string()].kind, Kind::Removed)
            << name << ": " << reasonOf(linked, dir / name);
        EXPECT_EQ(inodeOf(dir / name), kept) << name;
        EXPECT_EQ(TempDir::read(dir / name), content) << name;
    }
    EXPECT_EQ(TempDir::read(outside / "photo"), content);
    EXPECT_EQ(linked.freed, 2 * kMiB);
    // Owner or mode that differ are said, with both sides, and nothing is linked.
    auto refused = linked.outcomes[(dir / "other-mode/photo").string()];
    EXPECT_EQ(refused.kind, Kind::Refused);
    EXPECT_TRUE(holdsAll(refused.reason(), "mode 0600 against",
                         "mode 0644 of " + (dir / "kept/photo").string()));
    EXPECT_NE(inodeOf(dir / "other-mode/photo"), kept);

    // Unless the user says so; names already linked are left as they are.
    linked = linkCopies(dir.path(), {LinkKind::Hard, true});
    EXPECT_EQ(inodeOf(dir / "other-mode/photo"), kept)
        << reasonOf(linked, dir / "other-mode/photo");
    EXPECT_EQ(linked.freed, kMiB);
    EXPECT_TRUE(noStandInBelow(dir.path()));
}

TEST(CopyLinking, ACopyChangedSinceTheSearchStaysUntouched) {
    TempDir dir;
    const std::string content = randomBytes(64 * 1024, 3);
    for (const char* name : {"kept", "edited", "swapped"}) writeBytes(dir / name, content);
    makeOldest(dir / "kept");
    std::string edited = content;
    edited[40000] ^= 1;
    ino_t swappedBefore = 0;
    auto linked = linkCopies(dir.path(), {LinkKind::Hard}, [&] {
        writeBytes(dir / "edited", edited);  // the same file, other bytes
        // Another file with the same bytes in its place: not the file the search found.
        fs::rename(dir / "swapped", dir / "set-aside");
        writeBytes(dir / "swapped", content);
        swappedBefore = inodeOf(dir / "swapped");
    });
    EXPECT_EQ(linked.outcomes[(dir / "edited").string()].kind, Kind::Refused);
    EXPECT_TRUE(holdsAll(reasonOf(linked, dir / "edited"), "at byte 40000"));
    EXPECT_EQ(TempDir::read(dir / "edited"), edited);
    EXPECT_EQ(linked.outcomes[(dir / "swapped").string()].kind, Kind::Refused);
    EXPECT_TRUE(holdsAll(reasonOf(linked, dir / "swapped"), "no longer the file the search found"));
    EXPECT_EQ(inodeOf(dir / "swapped"), swappedBefore);
    EXPECT_EQ(linked.freed, 0u);
    EXPECT_TRUE(noStandInBelow(dir.path()));
}

TEST(CopyLinking, AFailureHalfwayLeavesEveryNameWithItsContent) {
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all, fs::perm_options::replace);
    const fs::path root = dir.path();
    // Made by the ordinary user, so that the links are theirs to make.
    EXPECT_TRUE(asOrdinaryUser([&] {
        const std::string content = randomBytes(100000, 5);
        for (const char* name : {"kept/file", "a/file", "locked/file", "c/file"}) {
            writeBytes(root / name, content);
        }
        makeOldest(root / "kept/file");
        fs::permissions(root / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        auto linked = linkCopies(root, {LinkKind::Hard});
        auto locked = linked.outcomes[(root / "locked/file").string()];
        bool halfway = locked.kind == Kind::Failed &&
                       locked.reason().find("permission denied") != std::string::npos;
        bool others = inodeOf(root / "a/file") == inodeOf(root / "kept/file") &&
                      inodeOf(root / "c/file") == inodeOf(root / "kept/file");
        bool contents = true;
        for (const char* name : {"kept/file", "a/file", "locked/file", "c/file"}) {
            contents = contents && TempDir::read(root / name) == content;
        }
        fs::permissions(root / "locked", fs::perms::owner_all);
        return halfway && others && contents && noStandInBelow(root);
    }));
}

namespace {

// Replaces with reflinks below `root` (a file system mounted for the test) and checks what the
// file system allows: with `sharesBlocks` every copy becomes a clone of its own with its bytes,
// mode and times, and frees its blocks; otherwise nothing changes and the reason is said.
bool reflinksBehave(const fs::path& root, bool sharesBlocks) {
    const std::string content = randomBytes(kMiB, 11);
    for (const char* name : {"kept", "a", "b", "edited"}) writeBytes(root / name, content);
    makeOldest(root / "kept");
    fs::permissions(root / "a", fs::perms::owner_read | fs::perms::owner_write);
    auto before = fs::last_write_time(root / "a");
    std::string edited = content;
    edited[kMiB - 1] ^= 1;
    auto linked =
        linkCopies(root, {LinkKind::Reflink}, [&] { writeBytes(root / "edited", edited); });
    bool untouched = TempDir::read(root / "edited") == edited && noStandInBelow(root);
    if (!sharesBlocks) {
        auto outcome = linked.outcomes[(root / "a").string()];
        return untouched && outcome.kind == Kind::Refused &&
               outcome.reason() == "the file system cannot share blocks" && linked.freed == 0;
    }
    bool own = inodeOf(root / "a") != inodeOf(root / "kept") &&
               inodeOf(root / "b") != inodeOf(root / "kept");
    bool same = TempDir::read(root / "a") == content && TempDir::read(root / "b") == content;
    bool attributes =
        fs::status(root / "a").permissions() == (fs::perms::owner_read | fs::perms::owner_write) &&
        fs::last_write_time(root / "a") == before;
    bool refused = linked.outcomes[(root / "edited").string()].kind == Kind::Refused;
    return untouched && own && same && attributes && refused && linked.freed == 2 * kMiB;
}

}  // namespace

TEST(CopyLinking, ReflinksAreRefusedWithTheReasonWhereBlocksCannotBeShared) {
    TempDir dir;
    const fs::path root = dir / "tmpfs";
    fs::create_directory(root);
    int status = inOwnUserNamespace([&] {
        return ::mount("none", root.c_str(), "tmpfs", 0, nullptr) == 0 &&
               reflinksBehave(root, false);
    });
    if (status == kNoMountNamespace) GTEST_SKIP() << "no mount namespace of our own here";
    EXPECT_EQ(status, 0);
}

TEST(CopyLinking, ReflinksOnBtrfsOrXfsGiveEveryPathAFileOfItsOwn) {
    const char* mkfs = std::system("command -v mkfs.btrfs >/dev/null 2>&1") == 0 ? "mkfs.btrfs -q"
                       : std::system("command -v mkfs.xfs >/dev/null 2>&1") == 0 ? "mkfs.xfs -q"
                                                                                 : nullptr;
    if (!mkfs) GTEST_SKIP() << "neither mkfs.btrfs nor mkfs.xfs is installed";
    TempDir dir;
    const fs::path image = dir / "volume.img", root = dir / "mounted";
    fs::create_directory(root);
    fs::resize_file(dir.write("volume.img", ""), 320 * kMiB);
    if (std::system((std::string(mkfs) + " " + image.string() + " >/dev/null 2>&1").c_str()) != 0) {
        GTEST_SKIP() << mkfs << " failed here";
    }
    // Mounted in a mount namespace of the test's own: it goes with the child.
    int status = inPrivateMountNamespace([&] {
        std::string mount =
            "mount -o loop " + image.string() + " " + root.string() + " 2>/dev/null";
        if (std::system(mount.c_str()) != 0) ::_exit(kNoMountNamespace);
        return reflinksBehave(root, true);
    });
    if (status == kNoMountNamespace) GTEST_SKIP() << "no loop mount in a namespace of our own here";
    EXPECT_EQ(status, 0);
}
