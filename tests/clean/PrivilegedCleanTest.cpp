#include <gtest/gtest.h>
#include <unistd.h>

#include "CleanFixture.h"
#include "clean/DeleteFolderOperation.h"
#include "clean/PackageCacheRule.h"
#include "core/PrivilegedAuthorization.h"
#include "platform/linux/LinuxHelperLauncher.h"
#include "support/UnprivilegedChild.h"

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kCleanEvents{"BeginFastClean", "DeleteFileSuccess",
                                            "DeleteFileFailed", "FastCleanFinish"};

// A root-owned package cache that an ordinary user may read but not change.
struct ProtectedCache {
    ProtectedCache() {
        fs::permissions(dir.path(), fs::perms::all);
        dir.write("cache/tool.deb", std::string(100, 'd'));
        dir.write("cache/repo/packages/other.rpm", std::string(200, 'r'));
        dir.write("cache/repo/metadata.lock", "");
        dir.write("cache/lock", "");
    }
    CleanFolder folder() const { return {dir / "cache", std::make_shared<PackageCacheRule>()}; }

    TempDir dir;
};

// Runs the quick clean of `folder` as an ordinary user; true when the events were `expected`.
bool cleanAsUser(const CleanFolder& folder, PrivilegedAuthorization& authorization,
                 const std::vector<std::string>& expected) {
    return inChildAsUser(kNobodyId, [&] {
               EventRecorder recorder(kCleanEvents);
               DeleteFolderOperation({folder}, {.authorization = &authorization}).main();
               return recorder.names() == expected;
           }) == 0;
}

}  // namespace

TEST(PrivilegedClean, AProtectedFolderIsReportedOnceWithoutRights) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as an ordinary user (CI runs as root)";
    ProtectedCache cache;
    PrivilegedAuthorization none(nullptr);
    EXPECT_TRUE(cleanAsUser(cache.folder(), none,
                            {"BeginFastClean", "DeleteFileFailed", "FastCleanFinish"}));
    EXPECT_TRUE(fs::exists(cache.dir / "cache/tool.deb"));
    EXPECT_TRUE(fs::exists(cache.dir / "cache/repo/packages/other.rpm"));
}

TEST(PrivilegedClean, TheHelperDeletesWhatTheUserMayNotAndTheRuleStillDecides) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to run the helper as root (CI runs as root)";
    ProtectedCache cache;
    // The rights are acquired before the program becomes an ordinary user, as pkexec would give
    // them: the helper runs as root, the clean as the user.
    PrivilegedAuthorization authorization(std::make_shared<LinuxHelperLauncher>(
        LinuxHelperLauncher::Options{.helperPath = QUILLBY_HELPER_PATH, .throughPkexec = false}));
    ASSERT_TRUE(authorization.allocAuthorization());
    EXPECT_TRUE(cleanAsUser(
        cache.folder(), authorization,
        {"BeginFastClean", "DeleteFileSuccess", "DeleteFileSuccess", "FastCleanFinish"}));
    EXPECT_FALSE(fs::exists(cache.dir / "cache/tool.deb"));
    EXPECT_FALSE(fs::exists(cache.dir / "cache/repo/packages"));
    // The helper never deleted a folder whose contents the rule keeps, nor the locks.
    EXPECT_TRUE(fs::exists(cache.dir / "cache/repo/metadata.lock"));
    EXPECT_TRUE(fs::exists(cache.dir / "cache/lock"));
}

TEST(PrivilegedClean, WhatNeitherRemovalCanDeleteIsReportedPerItem) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as an ordinary user (CI runs as root)";
    ProtectedCache cache;
    // Rights that reach nothing: the helper runs as the same ordinary user.
    TempDir fakePkexec;
    fs::permissions(fakePkexec.path(), fs::perms::all);
    fs::path pkexec = fakePkexec.write("pkexec", "#!/bin/sh\nexec \"$@\"\n");
    fs::permissions(pkexec, fs::perms::all);
    int status = inChildAsUser(kNobodyId, [&] {
        PrivilegedAuthorization powerless(std::make_shared<LinuxHelperLauncher>(
            LinuxHelperLauncher::Options{.helperPath = QUILLBY_HELPER_PATH,
                                         .throughPkexec = true,
                                         .pkexecPath = pkexec.string()}));
        if (!powerless.allocAuthorization()) return false;
        EventRecorder recorder(kCleanEvents);
        DeleteFolderOperation({cache.folder()}, {.authorization = &powerless}).main();
        return recorder.names() == std::vector<std::string>{"BeginFastClean", "DeleteFileFailed",
                                                            "DeleteFileFailed", "FastCleanFinish"};
    });
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(fs::exists(cache.dir / "cache/tool.deb"));
}
