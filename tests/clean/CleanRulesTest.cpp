// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "clean/CleanRules.h"
#include "clean/LogNames.h"

using namespace quillby;

namespace {

constexpr auto File = EntryKind::Regular;
constexpr auto Folder = EntryKind::Directory;

EntryVerdict judge(const CleanRule& rule, std::string_view name, EntryKind kind, int depth = 1,
                   EntryVerdict parent = EntryVerdict::Descend) {
    return rule.judge({name, kind, depth, parent});
}

}  // namespace

TEST(LogNames, RotatedAndArchivedNames) {
    for (const char* name :
         {"syslog.1", "syslog.2.gz", "kern.log.old", "messages-20240101", "secure-2024010112.xz",
          "dmesg.0", "system@0001-0002.journal", "user-1000.journal~", "wtmp.1", "Xorg.0.log.old",
          "auth.log.4.bz2", "boot.log.zst"}) {
        EXPECT_TRUE(LogNames::isRotatedOrArchived(name)) << name;
    }
    for (const char* name :
         {"syslog", "kern.log", "Xorg.0.log", "system.journal", "user-1000.journal", "lastlog",
          "php7.4-fpm.log", ".old", "-20240101", "messages-2024", "wtmp"}) {
        EXPECT_FALSE(LogNames::isRotatedOrArchived(name)) << name;
    }
    for (const char* name : {"x.log", "x.log.1", "x.log.2.gz", "x.log.gz"}) {
        EXPECT_TRUE(LogNames::isLogFile(name)) << name;
    }
    for (const char* name : {".log", "x.logs", "x.log.old", "catalog", "log", "x.1"}) {
        EXPECT_FALSE(LogNames::isLogFile(name)) << name;
    }
}

TEST(CleanRules, WhatEachRuleLetsGo) {
    RotatedLogRule systemLogs;
    EXPECT_EQ(judge(systemLogs, "nginx", Folder), EntryVerdict::Descend);
    EXPECT_EQ(judge(systemLogs, "syslog.1.gz", Folder), EntryVerdict::Descend);  // never a folder
    EXPECT_EQ(judge(systemLogs, "access.log.1", File, 3), EntryVerdict::Clean);
    EXPECT_EQ(judge(systemLogs, "access.log", File, 3), EntryVerdict::Keep);
    EXPECT_EQ(judge(systemLogs, "syslog.1", EntryKind::Symlink), EntryVerdict::Clean);

    PackageCacheRule packages;
    EXPECT_EQ(judge(packages, "tool.deb", File), EntryVerdict::Clean);
    EXPECT_EQ(judge(packages, "fedora-1234", Folder), EntryVerdict::Clean);
    EXPECT_EQ(judge(packages, "lock", File), EntryVerdict::Keep);
    EXPECT_EQ(judge(packages, "db.lck.lock", File, 3, EntryVerdict::Clean), EntryVerdict::Keep);
    EXPECT_EQ(judge(packages, "metadata_lock.pid", File, 2, EntryVerdict::Clean),
              EntryVerdict::Keep);
    EXPECT_EQ(judge(packages, "partial", Folder), EntryVerdict::Keep);
    EXPECT_EQ(judge(packages, "partial", File), EntryVerdict::Clean);

    UserLogRule userLogs;
    EXPECT_EQ(judge(userLogs, "app", Folder), EntryVerdict::Descend);
    EXPECT_EQ(judge(userLogs, "logs", Folder, 2), EntryVerdict::CleanAll);
    EXPECT_EQ(judge(userLogs, "state.db", File, 2, EntryVerdict::CleanAll), EntryVerdict::CleanAll);
    EXPECT_EQ(judge(userLogs, "state.db", File, 2), EntryVerdict::Keep);
    EXPECT_EQ(judge(userLogs, "x.log.3", File, 2), EntryVerdict::CleanAll);
    EXPECT_EQ(judge(userLogs, "logs", EntryKind::Symlink, 2), EntryVerdict::Keep);

    SessionErrorLogRule session;
    EXPECT_EQ(judge(session, ".xsession-errors.old", File), EntryVerdict::CleanAll);
    EXPECT_EQ(judge(session, ".xsession-errors", File), EntryVerdict::Keep);
    EXPECT_EQ(judge(session, ".xsession-errors.old", Folder), EntryVerdict::Keep);
    EXPECT_EQ(judge(session, ".xsession-errors.old", File, 2), EntryVerdict::Keep);
    EXPECT_EQ(judge(session, "Documents", Folder), EntryVerdict::Keep);
    EXPECT_TRUE(session.isSafeOnHomeFolder());
    EXPECT_FALSE(userLogs.isSafeOnHomeFolder());
}

TEST(CleanRules, CrashReportsCoreDumpsAndApplicationCaches) {
    constexpr auto Link = EntryKind::Symlink;
    struct Case {
        const CleanRule& rule;
        std::string_view name;
        EntryKind kind;
        int depth;
        EntryVerdict expected;
    };
    CrashReportRule crashes;
    CoreDumpRule dumps;
    FlatpakAppCacheRule appCaches;
    CrashDumpRule minidumps;
    const Case cases[] = {
        {crashes, "_usr_bin_x.1000.crash", File, 1, EntryVerdict::Clean},
        {crashes, "_usr_bin_x.1000.upload", File, 1, EntryVerdict::Clean},
        {crashes, "_usr_bin_x.1000.uploaded", File, 1, EntryVerdict::Clean},
        {crashes, "_usr_bin_x.1000.crash", Link, 1, EntryVerdict::Keep},
        {crashes, "x.crash", Folder, 1, EntryVerdict::Keep},
        {crashes, "x.crash", File, 2, EntryVerdict::Keep},
        {crashes, "apport.lock", File, 1, EntryVerdict::Keep},
        {dumps, "core.bash.1000.abc.123.1700000000000000.zst", File, 1, EntryVerdict::Clean},
        {dumps, "core.x", Link, 1, EntryVerdict::Keep},
        {dumps, "core.", File, 1, EntryVerdict::Keep},
        {dumps, "notes", File, 1, EntryVerdict::Keep},
        {appCaches, "org.gimp.GIMP", Folder, 1, EntryVerdict::Descend},
        {appCaches, "org.gimp.GIMP", Link, 1, EntryVerdict::Keep},
        {appCaches, "cache", Folder, 2, EntryVerdict::Descend},
        {appCaches, "data", Folder, 2, EntryVerdict::Keep},
        {appCaches, "cache", Link, 2, EntryVerdict::Keep},
        {appCaches, "fontconfig", Folder, 3, EntryVerdict::CleanAll},
        {minidumps, "pending", Folder, 1, EntryVerdict::Descend},
        {minidumps, "settings.dat", File, 1, EntryVerdict::Keep},
        {minidumps, "0f3e.dmp", File, 2, EntryVerdict::Clean},
        {minidumps, "0f3e.extra", File, 2, EntryVerdict::Clean},
        {minidumps, "bp-0f3e.txt", File, 2, EntryVerdict::Clean},
        {minidumps, "notes.txt", File, 2, EntryVerdict::Keep},
        {minidumps, "0f3e.dmp", Link, 2, EntryVerdict::Keep},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(judge(c.rule, c.name, c.kind, c.depth), c.expected)
            << c.rule.scope() << ": " << c.name << " at depth " << c.depth;
    }
}
