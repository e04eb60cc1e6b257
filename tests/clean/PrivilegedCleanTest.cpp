// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "CleanFixture.h"
#include "clean/CleanCategory.h"
#include "clean/CleanRules.h"
#include "clean/DeleteFolderOperation.h"
#include "clean/QuickCleanSession.h"
#include "core/work/PrivilegedAuthorization.h"
#include "platform/linux/LinuxHelperLauncher.h"
#include "support/ChildProcess.h"
#include "support/UnprivilegedChild.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// A root-owned package cache that an ordinary user may read but not change.
struct ProtectedCache {
    ProtectedCache() {
        fs::permissions(dir.path(), fs::perms::all);
        dir.write("cache/tool.deb", std::string(100, 'd'));
        dir.write("cache/repo/packages/other.rpm", std::string(200, 'r'));
        dir.write("cache/repo/metadata.lock", "");
        dir.write("cache/lock", "");
    }
    CleanFolder folder() const {
        return {.path = dir / "cache",
                .rule = std::make_shared<PackageCacheRule>(),
                .privilegedCategory = CleanCategoryId::SystemCaches};
    }

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

// Inside a private /var: the real helper, started without pkexec, and the System Logs folders,
// each checked to lie inside the masked /var before anything is cleaned there as root.
struct HelperCleansSystemLogs {
    HelperCleansSystemLogs() {
        if (!authorization.allocAuthorization()) return;
        PlatformContext context = PlatformContext::underRoot(fixture.path());
        context.varRoot = "/var";
        folders = CategoryFolders(context, nullptr).cleanFolders(CleanCategoryId::SystemLogs);
        ready = std::all_of(folders.begin(), folders.end(), [](const CleanFolder& folder) {
            fs::path inside = folder.path.lexically_normal().lexically_relative("/var");
            bool outside = folder.path.is_relative() || inside.empty() || *inside.begin() == "..";
            if (outside)
                std::fprintf(stderr, "%s is outside the masked /var\n", folder.path.c_str());
            return !outside;
        });
    }
    // Cleans as an ordinary user; true when exactly `deleted` items went and none failed.
    bool cleanAsUser(long deleted) {
        return ready &&
               inChildAsUser(kNobodyId, [&] {
                   EventRecorder recorder(kCleanEvents);
                   DeleteFolderOperation(folders, {.authorization = &authorization}).main();
                   auto names = recorder.names();
                   return std::count(names.begin(), names.end(), "DeleteFileSuccess") == deleted &&
                          std::count(names.begin(), names.end(), "DeleteFileFailed") == 0;
               }) == 0;
    }

    TempDir fixture;
    PrivilegedAuthorization authorization{std::make_shared<LinuxHelperLauncher>(
        LinuxHelperLauncher::Options{.helperPath = QUILLBY_HELPER_PATH, .throughPkexec = false})};
    std::vector<CleanFolder> folders;
    bool ready = false;
};

void writeText(const char* path, const char* text) {
    std::ofstream(path) << text;
}

}  // namespace

TEST(PrivilegedClean, AProtectedOrUnreadableFolderIsReportedOnceWithoutRights) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: to act as an ordinary user";
    const std::vector<std::string> reported{"BeginFastClean", "DeleteFileFailed",
                                            "FastCleanFinish"};
    PrivilegedAuthorization none(nullptr);
    ProtectedCache cache;
    EXPECT_TRUE(cleanAsUser(cache.folder(), none, reported));
    EXPECT_TRUE(
        allExist(cache.dir / "cache/tool.deb", cache.dir / "cache/repo/packages/other.rpm"));

    // A folder the user may not even read.
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all);
    dir.write("log/private/app.log.1", "old");
    fs::permissions(dir / "log", fs::perms::all | fs::perms::sticky_bit);
    fs::permissions(dir / "log/private", fs::perms::owner_all);
    CleanFolder logs{.path = dir / "log",
                     .rule = std::make_shared<RotatedLogRule>(),
                     .privilegedCategory = CleanCategoryId::SystemLogs};
    EXPECT_TRUE(cleanAsUser(logs, none, reported));
    EXPECT_TRUE(fs::exists(dir / "log/private/app.log.1"));
}

// Without rights the quick clean names a system folder the user may not change as the folder,
// not each item in it.
TEST(PrivilegedClean, AFolderTheUserMayNotChangeIsReportedAsTheFolder) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: to act as an ordinary user";
    PrivilegedAuthorization none(nullptr);
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all);
    dir.write("log/syslog.1", "old");
    dir.write("log/nginx/access.log.1", "old");
    CleanFolder logs{.path = dir / "log",
                     .rule = std::make_shared<RotatedLogRule>(),
                     .privilegedCategory = CleanCategoryId::SystemLogs};
    EXPECT_EQ(inChildAsUser(kNobodyId,
                            [&] {
                                QuickCleanSession session({logs}, {.authorization = &none});
                                session.scan();
                                auto failures = session.clean().failures;
                                return failures.size() == 1 &&
                                       failures[0].path == logs.path.string() &&
                                       failures[0].reason == "permission denied";
                            }),
              0);
    EXPECT_TRUE(fs::exists(dir / "log/syslog.1"));
}

// The machine's whole /var, replaced by a fresh tmpfs in a private mount namespace: the real
// helper only cleans below the fixed system folders, so the test gives it a /var of its own, and
// refuses to clean when the category names any folder outside it.
TEST(PrivilegedClean, TheHelperCleansSystemLogsByTheCategorysRule) {
    int status = inPrivateVar([] {
        fs::create_directories("/var/log/private");
        fs::create_directories("/var/log/nginx");
        fs::permissions("/var/log/private", fs::perms::owner_all);
        writeText("/var/log/syslog", "live");
        writeText("/var/log/syslog.1", "old");
        writeText("/var/log/nginx/access.log.1", "old");
        writeText("/var/log/private/app.log", "live");
        writeText("/var/log/private/app.log.1", "old");
        // One success per deleted log; the kept private/ is no deleted item.
        return HelperCleansSystemLogs().cleanAsUser(2) && fs::exists("/var/log/syslog") &&
               !fs::exists("/var/log/syslog.1") && !fs::exists("/var/log/nginx/access.log.1") &&
               fs::exists("/var/log/private/app.log") && !fs::exists("/var/log/private/app.log.1");
    });
    if (status == kNoMountNamespace) GTEST_SKIP() << "needs root: for a private mount namespace";
    EXPECT_EQ(status, 0);
}

TEST(PrivilegedClean, WhatNeitherRemovalCanDeleteIsReportedPerItem) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: to act as an ordinary user";
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

// Crash reports and systemd's core dumps (inside /var/lib, which the gate otherwise protects
// whole) go through the helper's System Logs request; live logs, the active journal and a core
// dump planted as a link stay, and the helper refuses that link by what it is.
TEST(PrivilegedClean, TheHelperCleansCrashReportsAndCoreDumpsButNoLink) {
    int status = inPrivateVar([] {
        for (const char* folder :
             {"/var/log/journal/0123", "/var/crash", "/var/lib/systemd/coredump"})
            fs::create_directories(folder);
        fs::permissions("/var/crash", fs::perms::all | fs::perms::sticky_bit);
        writeText("/var/log/syslog", "live");
        writeText("/var/log/journal/0123/system.journal", "live");
        writeText("/var/log/journal/0123/system@0001-0002.journal", "archived");
        writeText("/var/crash/_usr_sbin_daemon.0.crash", "report");
        writeText("/var/lib/systemd/coredump/core.daemon.0.1.2.3.zst", "dump");
        writeText("/var/precious", "keep");
        fs::create_symlink("/var/precious", "/var/lib/systemd/coredump/core.link.0.1.2.3.zst");
        HelperCleansSystemLogs clean;
        bool cleaned = clean.folders.size() == 3 && clean.cleanAsUser(3);
        bool linkRefused = !clean.authorization.cleanCategoryItem(
            "clean-system-logs", "/var/lib/systemd/coredump/core.link.0.1.2.3.zst");
        return cleaned && linkRefused && fs::exists("/var/log/syslog") &&
               fs::exists("/var/log/journal/0123/system.journal") &&
               !fs::exists("/var/log/journal/0123/system@0001-0002.journal") &&
               !fs::exists("/var/crash/_usr_sbin_daemon.0.crash") &&
               !fs::exists("/var/lib/systemd/coredump/core.daemon.0.1.2.3.zst") &&
               fs::is_symlink("/var/lib/systemd/coredump/core.link.0.1.2.3.zst") &&
               fs::exists("/var/precious") && fs::is_directory("/var/lib/systemd/coredump");
    });
    if (status == kNoMountNamespace) GTEST_SKIP() << "needs root: for a private mount namespace";
    EXPECT_EQ(status, 0);
}
