// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <climits>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "duplicates/DuplicateCopyRemover.h"
#include "duplicates/DuplicateFilesOpt.h"
#include "duplicates/DuplicateRemoval.h"
#include "duplicates/DuplicateReview.h"
#include "duplicates/DuplicateTestSupport.h"
#include "duplicates/MemberIdentity.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "support/UnprivilegedChild.h"

using namespace quillby;

namespace fs = std::filesystem;

using Kind = RemovalOutcome::Kind;
constexpr auto kDelete = DeletionGate::Disposal::Delete;

namespace {

DuplicateSearchOptions plainSearch() {
    DuplicateSearchOptions options;
    options.includeHidden = true;
    return options;
}

// Ticks every group's members but the last, deletes them with one remover and gives their
// outcomes.
std::vector<RemovalOutcome> removeAllButLast(DuplicateReview& review) {
    review.clickHeaderBox(true);
    DuplicateCopyRemover remover;
    std::vector<RemovalOutcome> outcomes;
    for (const auto& member : review.tickedMembers()) {
        outcomes.push_back(remover.remove(member, kDelete));
    }
    review.finishDeletion(DuplicateReview::reportOf(review.tickedMembers(), outcomes));
    return outcomes;
}

// A chain of folders whose path is longer than PATH_MAX, made and removed relative to open
// folders (a path that long cannot be given to the kernel at once).
class DeepChain {
  public:
    explicit DeepChain(const fs::path& top) {
        folders_.push_back(::open(top.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        for (size_t length = top.string().size(); length <= PATH_MAX + 200; length += 201) {
            ::mkdirat(folders_.back(), name_.c_str(), 0700);
            folders_.push_back(
                ::openat(folders_.back(), name_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        }
    }
    ~DeepChain() {
        // Unlinked from the bottom, each level through its open parent.
        for (const char* file : {"one", "two"}) ::unlinkat(folders_.back(), file, 0);
        for (size_t level = folders_.size() - 1; level > 0; --level)
            ::unlinkat(folders_[level - 1], name_.c_str(), AT_REMOVEDIR);
        for (int folder : folders_) ::close(folder);
    }
    void write(const char* name, const std::string& content) const {
        int fd = ::openat(folders_.back(), name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ASSERT_EQ(::write(fd, content.data(), content.size()),
                  static_cast<ssize_t>(content.size()));
        ::close(fd);
    }

  private:
    const std::string name_ = std::string(200, 'd');
    std::vector<int> folders_;
};

}  // namespace

TEST(DuplicateCopyRemover, ACopyChangedAfterTheSearchIsRefusedAtItsFirstDifferentByte) {
    TempDir dir;
    std::string content = randomBytes(6 * 1024 * 1024, 3);
    writeBytes(dir / "a/copy", content);
    writeBytes(dir / "b/kept", content);
    DuplicateReview review(searchTree(dir.path().string(), 0, plainSearch()), dir.path());
    ASSERT_EQ(review.categoryTree(0)->numberOfChildren(), 1u);
    // Changed after the search, beyond the first chunk read.
    content[5 * 1024 * 1024 + 17] ^= 0x40;
    auto group = review.categoryTree(0)->firstChild();
    writeBytes(group->childAtIndex(0)->nodeData()->name, content);

    auto outcomes = removeAllButLast(review);
    ASSERT_EQ(outcomes.size(), 1u);
    // A refusal no right can overcome, with its reason in words.
    EXPECT_EQ(outcomes[0].kind, Kind::Refused);
    EXPECT_FALSE(outcomes[0].rightsMayHelp());
    EXPECT_TRUE(holdsAll(outcomes[0].reason(), "content differs",
                         "at byte " + std::to_string(5 * 1024 * 1024 + 17)));
    EXPECT_TRUE(allExist(dir / "a/copy", dir / "b/kept"));
}

TEST(DuplicateCopyRemover, TwoNamesOfOneFileFreeNothingAndTheLastCopyNeverGoes) {
    TempDir dir;
    dir.write("original", "one file, two names");
    fs::create_hard_link(dir / "original", dir / "second-name");
    // The search finds no copy there. A list made before the second name was still meets the
    // remover's rules.
    EXPECT_FALSE(searchTree(dir.path().string(), 0, plainSearch()));
    auto listed = copyGroup(
        "original", "", {{(dir / "second-name").string(), 19}, {(dir / "original").string(), 19}});
    DuplicateReview review(resultTree({listed}), dir.path());
    review.setMemberIdentities(readMemberIdentities(review.categoryTree(0)));
    review.clickHeaderBox(true);
    EXPECT_EQ(review.tickedMembers().size(), 1u);
    EXPECT_EQ(review.bytesFreedByTicked(), 0u);
    EXPECT_EQ(review.tickedNamesOfOneFile(), 1u);

    auto group = review.categoryTree(0)->firstChild();
    auto kept = group->childAtIndex(1);
    // Even a member ticked behind the review's back is refused when no copy would stay.
    kept->nodeData()->selectNum = 1;
    DuplicateCopyRemover remover;
    auto lastCopy = remover.remove(group->childAtIndex(0), kDelete);
    EXPECT_EQ(lastCopy.kind, Kind::Refused);
    EXPECT_TRUE(holdsAll(lastCopy.reason(), "last copy"));
    kept->nodeData()->selectNum = 0;

    EXPECT_EQ(remover.remove(group->childAtIndex(0), kDelete).kind, Kind::Removed);
    EXPECT_EQ(TempDir::read(kept->nodeData()->name), "one file, two names");
}

TEST(DuplicateCopyRemover, BundlesGoOnlyAfterTheirWholeTreesCompareEqual) {
    TempDir dir;
    for (const char* bundle : {"A.app", "B.app", "C.app", "D.app"}) {
        dir.write(std::string(bundle) + "/Contents/bin/tool", "the same program");
        dir.write(std::string(bundle) + "/Contents/info", "version 1");
    }
    // C differs in a name, D in content that a checksum of the same size might hide.
    fs::rename(dir / "C.app/Contents/info", dir / "C.app/Contents/Info");
    dir.write("D.app/Contents/info", "version 2");
    auto group = copyGroup("A.app", "APP",
                           {{(dir / "B.app").string()},
                            {(dir / "C.app").string()},
                            {(dir / "D.app").string()},
                            {(dir / "A.app").string()}});
    ASSERT_TRUE(DuplicateCopyRemover::isBundleGroup(*group));
    DuplicateCopyRemover remover;
    auto members = group->children();
    for (size_t i = 0; i < 3; ++i) members[i]->nodeData()->selectNum = 1;
    std::vector<RemovalOutcome> outcomes;
    for (size_t i = 0; i < 3; ++i) outcomes.push_back(remover.remove(members[i], kDelete));
    EXPECT_EQ(outcomes[0].kind, Kind::Removed);
    EXPECT_FALSE(fs::exists(dir / "B.app"));
    EXPECT_TRUE(fs::exists(dir / "C.app/Contents/Info"));
    EXPECT_EQ(TempDir::read(dir / "D.app/Contents/info"), "version 2");
    EXPECT_EQ(outcomes[1].kind, Kind::Refused);
    EXPECT_TRUE(holdsAll(outcomes[1].reason(), "same names"));
    EXPECT_EQ(outcomes[2].kind, Kind::Refused);
    EXPECT_TRUE(holdsAll(outcomes[2].reason(), "at byte 8"));
    EXPECT_TRUE(fs::exists(dir / "A.app/Contents/bin/tool"));
}

TEST(DuplicateCopyRemover, AMissingCopyIsGoneAndAForbiddenOneNeedsRights) {
    TempDir dir;
    dir.write("kept/file", "copied bytes");
    dir.write("locked/file", "copied bytes");
    dir.write("vanished/file", "copied bytes");
    auto tree = searchTree(dir.path().string(), 0, plainSearch());
    ASSERT_TRUE(tree);
    auto group = tree->firstChild();
    ASSERT_EQ(group->numberOfChildren(), 3u);
    fs::remove(dir / "vanished/file");
    for (const char* name : {"", "kept", "kept/file", "locked/file"})
        fs::permissions(dir / name, fs::perms::all, fs::perm_options::replace);
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec |
                                        fs::perms::others_read | fs::perms::others_exec);
    EXPECT_TRUE(asOrdinaryUser([&] {
        DuplicateCopyRemover remover;
        for (const auto& member : group->children()) {
            if (member->nodeData()->name.find("/kept/") == std::string::npos)
                member->nodeData()->selectNum = 1;
        }
        bool sawGone = false, sawDenied = false;
        for (const auto& member : group->children()) {
            if (member->nodeData()->selectNum == 0) continue;
            auto outcome = remover.remove(member, kDelete);
            sawGone |= outcome.kind == Kind::Vanished;
            sawDenied |= outcome.rightsMayHelp() && outcome.reason() == "permission denied";
        }
        return sawGone && sawDenied;
    }));
    fs::permissions(dir / "locked", fs::perms::owner_all);
    EXPECT_TRUE(fs::exists(dir / "locked/file"));
}

TEST(DuplicateCopyRemover, CopiesBelowAChainDeeperThanPathMaxAreFoundAndRemoved) {
    TempDir dir;
    DeepChain chain(dir.path());
    chain.write("one", "deep copies");
    chain.write("two", "deep copies");
    DuplicateFilesOpt search;
    search.setSearchOption(plainSearch());
    search.beginSearchAtPath(dir.path().string(), 0);
    EXPECT_TRUE(search.foldersNotSearched().empty());
    TreeNode::Ptr tree;
    ASSERT_TRUE(search.getDuplicateFiles(tree));
    ASSERT_EQ(tree->numberOfChildren(), 1u);
    auto group = tree->firstChild();
    EXPECT_GT(group->firstChild()->nodeData()->name.size(), static_cast<size_t>(PATH_MAX));
    DuplicateReview review(tree, dir.path());
    auto outcomes = removeAllButLast(review);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].kind, Kind::Removed) << outcomes[0].reason();
}

TEST(DuplicateCopyRemover, AFolderThatCannotBeListedIsNamed) {
    TempDir dir;
    dir.write("open/a", "same");
    dir.write("open/b", "same");
    dir.write("closed/c", "same");
    fs::permissions(dir.path(), fs::perms::all, fs::perm_options::replace);
    fs::permissions(dir / "open", fs::perms::all, fs::perm_options::replace);
    fs::permissions(dir / "closed", fs::perms::none);
    std::string root = dir.path().string();
    EXPECT_TRUE(asOrdinaryUser([&] {
        DuplicateFilesOpt search;
        search.setSearchOption(plainSearch());
        search.beginSearchAtPath(root, 0);
        auto missed = search.foldersNotSearched();
        return missed.size() == 1 && missed[0].path == root + "/closed" &&
               missed[0].error == EACCES;
    }));
    fs::permissions(dir / "closed", fs::perms::owner_all);
}

TEST(DuplicateCopyRemover, TheRetryWithRightsStillComparesFirst) {
    TempDir dir;
    dir.write("kept", "same bytes");
    dir.write("copy", "same bytes");
    dir.write("changed", "same bytez");
    auto group = copyGroup(
        "kept", "",
        {{(dir / "copy").string()}, {(dir / "changed").string()}, {(dir / "kept").string()}});
    for (size_t i = 0; i < 2; ++i) group->childAtIndex(i)->nodeData()->selectNum = 1;
    std::vector<std::string> handedOver;
    DuplicateCopyRemover remover;
    auto withRights = [&](const std::string& path) {
        handedOver.push_back(path);
        return fs::remove(path);
    };
    EXPECT_EQ(remover.removeWithRights(group->childAtIndex(0), withRights).kind, Kind::Removed);
    auto changed = remover.removeWithRights(group->childAtIndex(1), withRights);
    EXPECT_EQ(handedOver, std::vector<std::string>{(dir / "copy").string()});
    EXPECT_EQ(changed.kind, Kind::Refused);
    EXPECT_TRUE(holdsAll(changed.reason(), "at byte 9"));
    EXPECT_TRUE(fs::exists(dir / "changed"));
}

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
