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

// Without rights, a folder the user may not change, or not even read, is reported once, as the
// folder and with its reason, not each item in it; nothing in it goes.
TEST(PrivilegedClean, AProtectedOrUnreadableFolderIsReportedOnceWithoutRights) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: to act as an ordinary user";
    const std::vector<std::string> reported{"BeginFastClean", "DeleteFileFailed",
                                            "FastCleanFinish"};
    PrivilegedAuthorization none(nullptr);
    ProtectedCache cache;
    EXPECT_TRUE(cleanAsUser(cache.folder(), none, reported));
    EXPECT_EQ(inChildAsUser(kNobodyId,
                            [&] {
                                QuickCleanSession session({cache.folder()},
                                                          {.authorization = &none});
                                session.scan();
                                auto failures = session.clean().failures;
                                return failures.size() == 1 &&
                                       failures[0].path == cache.folder().path.string() &&
                                       failures[0].reason == "permission denied";
                            }),
              0);
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

// The machine's whole /var, replaced by a fresh tmpfs in a private mount namespace: the real
// helper only cleans below the fixed system folders, so the test gives it a /var of its own, and
// refuses to clean when the category names any folder outside it. Old logs, crash reports and
// systemd's core dumps (inside /var/lib, which the gate otherwise protects whole) go through the
// helper's System Logs request; live logs, the active journal and a core dump planted as a link
// stay, and the helper refuses that link by what it is.
TEST(PrivilegedClean, TheHelperCleansSystemLogsCrashReportsAndCoreDumpsButNoLink) {
    int status = inPrivateVar([] {
        for (const char* folder : {"/var/log/private", "/var/log/nginx", "/var/log/journal/0123",
                                   "/var/crash", "/var/lib/systemd/coredump"})
            fs::create_directories(folder);
        fs::permissions("/var/log/private", fs::perms::owner_all);
        fs::permissions("/var/crash", fs::perms::all | fs::perms::sticky_bit);
        const char* live[] = {"/var/log/syslog", "/var/log/private/app.log",
                              "/var/log/journal/0123/system.journal"};
        const char* old[] = {"/var/log/syslog.1",
                             "/var/log/nginx/access.log.1",
                             "/var/log/private/app.log.1",
                             "/var/log/journal/0123/system@0001-0002.journal",
                             "/var/crash/_usr_sbin_daemon.0.crash",
                             "/var/lib/systemd/coredump/core.daemon.0.1.2.3.zst"};
        for (const char* path : live) writeText(path, "live");
        for (const char* path : old) writeText(path, "old");
        writeText("/var/precious", "keep");
        fs::create_symlink("/var/precious", "/var/lib/systemd/coredump/core.link.0.1.2.3.zst");
        HelperCleansSystemLogs clean;
        // One success per deleted item; the kept private/ is no deleted item.
        bool cleaned = clean.folders.size() == 3 && clean.cleanAsUser(5);
        bool linkRefused = !clean.authorization.cleanCategoryItem(
            "clean-system-logs", "/var/lib/systemd/coredump/core.link.0.1.2.3.zst");
        return cleaned && linkRefused && allExist(live[0], live[1], live[2]) &&
               noneExist(old[0], old[1], old[2], old[3], old[4], old[5]) &&
               fs::is_symlink("/var/lib/systemd/coredump/core.link.0.1.2.3.zst") &&
               fs::exists("/var/precious") && fs::is_directory("/var/lib/systemd/coredump");
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
