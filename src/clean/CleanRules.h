// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/fs/EntryJudge.h"

namespace quillby {

struct CleanFolder;

// A clean category's answer to "may this entry be deleted?", asked by every scan and, again
// at every level, by every deleting pass. Some categories also tidy up after a deletion.
class CleanRule : public EntryJudge {
  public:
    // Called after the entry `name` directly inside the category folder was deleted.
    virtual void afterEntryRemoved(const CleanFolder& folder, const std::string& name) const {
        (void)folder;
        (void)name;
    }
    // What the rule lets go, in a few words for people.
    virtual std::string_view scope() const = 0;
    // True for a rule strict enough to be applied to the home folder itself.
    virtual bool isSafeOnHomeFolder() const { return false; }
    // Called after a deleting pass went through the whole category folder.
    virtual void afterFolderEmptied(const CleanFolder& folder) const { (void)folder; }
};

// Caches and downloads: every entry may go, with everything inside it.
class EveryEntryRule : public CleanRule {
  public:
    // CleanAll for every entry.
    EntryVerdict judge(const JudgedEntry& entry) const override;
    std::string_view scope() const override { return "everything inside"; }
};

// A package manager's download cache: downloaded packages and cached metadata may go, but never
// a lock file (the manager may be running) nor the `partial` folder of unfinished downloads.
class PackageCacheRule : public CleanRule {
  public:
    // Keep for lock files ("lock", "*.lock", "*.pid") and folders named "partial"; Clean for
    // everything else, so that a folder goes only when nothing inside it was kept.
    EntryVerdict judge(const JudgedEntry& entry) const override;
    std::string_view scope() const override {
        return "downloaded packages; never locks or partial downloads";
    }
};

// The system's logs: only logs already set aside by rotation or archiving may go, at any depth;
// a live log never does, and neither does a folder (services expect theirs to exist).
class RotatedLogRule : public CleanRule {
  public:
    // Descend for folders, Clean for rotated or archived logs, Keep for everything else.
    EntryVerdict judge(const JudgedEntry& entry) const override;
    std::string_view scope() const override { return "rotated and archived logs only"; }
};

// The home folder, for one thing only: the previous session's error log ".xsession-errors.old".
// Nothing else in the home folder is ever judged cleanable, and no folder is entered.
class SessionErrorLogRule : public CleanRule {
  public:
    // CleanAll for ".xsession-errors.old" directly in the folder (not a folder itself); Keep for
    // everything else.
    EntryVerdict judge(const JudgedEntry& entry) const override;
    std::string_view scope() const override { return ".xsession-errors.old only"; }
    // True: it keeps everything in the home folder but that one file.
    bool isSafeOnHomeFolder() const override { return true; }
};

// The user's state folder holds logs next to state that programs need (histories, sessions,
// databases): only log files and log folders may go.
class UserLogRule : public CleanRule {
  public:
    // CleanAll for log files, folders named "log" or "logs" and everything inside them;
    // Descend for other folders; Keep for everything else.
    EntryVerdict judge(const JudgedEntry& entry) const override;
    std::string_view scope() const override { return "log files and log folders only"; }
};

// The system's crash reports (/var/crash): only the reports themselves, directly in the folder.
class CrashReportRule : public CleanRule {
  public:
    // Clean for regular files named "*.crash", "*.upload" or "*.uploaded" at depth 1; Keep for
    // everything else (folders, links, lock files).
    EntryVerdict judge(const JudgedEntry& entry) const override;
    std::string_view scope() const override { return "crash reports only"; }
};

// systemd's core dumps (/var/lib/systemd/coredump): only the dumps, directly in the folder.
class CoreDumpRule : public CleanRule {
  public:
    // Clean for regular files named "core.*" at depth 1; Keep for everything else.
    EntryVerdict judge(const JudgedEntry& entry) const override;
    std::string_view scope() const override { return "core dumps only"; }
};

// Flatpak applications' own caches (~/.var/app/ID/cache): what is inside each cache folder,
// never the application's data or configuration beside it, nor the cache folder itself.
class FlatpakAppCacheRule : public CleanRule {
  public:
    // Descend for application folders and their "cache" folder; CleanAll for every entry inside
    // that; Keep for everything else.
    EntryVerdict judge(const JudgedEntry& entry) const override;
    std::string_view scope() const override { return "each application's cache folder only"; }
};

// A program's crash-report folder in the home ("Crash Reports" of Firefox, Thunderbird, Chrome,
// Chromium): the minidumps and their notes in its pending, submitted and completed folders.
class CrashDumpRule : public CleanRule {
  public:
    // Descend for folders named "pending", "submitted", "completed" or "new" at depth 1; Clean
    // for regular files in them named "*.dmp", "*.extra", "*.meta" or "bp-*.txt"; Keep for
    // everything else (the program's settings beside them).
    EntryVerdict judge(const JudgedEntry& entry) const override;
    std::string_view scope() const override { return "crash dumps only"; }
};

}  // namespace quillby
