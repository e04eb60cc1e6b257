// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/CleanRules.h"

#include "clean/LogNames.h"

namespace quillby {

EntryVerdict EveryEntryRule::judge(const JudgedEntry&) const {
    return EntryVerdict::CleanAll;
}

EntryVerdict PackageCacheRule::judge(const JudgedEntry& entry) const {
    std::string_view name = entry.name;
    if (name == "lock" || name.ends_with(".lock") || name.ends_with(".pid")) {
        return EntryVerdict::Keep;
    }
    if (entry.kind == EntryKind::Directory && name == "partial") return EntryVerdict::Keep;
    return EntryVerdict::Clean;
}

EntryVerdict RotatedLogRule::judge(const JudgedEntry& entry) const {
    if (entry.kind == EntryKind::Directory) return EntryVerdict::Descend;
    return LogNames::isRotatedOrArchived(entry.name) ? EntryVerdict::Clean : EntryVerdict::Keep;
}

EntryVerdict SessionErrorLogRule::judge(const JudgedEntry& entry) const {
    if (entry.depth == 1 && entry.kind != EntryKind::Directory &&
        entry.name == ".xsession-errors.old") {
        return EntryVerdict::CleanAll;
    }
    return EntryVerdict::Keep;
}

EntryVerdict UserLogRule::judge(const JudgedEntry& entry) const {
    if (entry.parentVerdict == EntryVerdict::CleanAll) return EntryVerdict::CleanAll;
    if (entry.kind == EntryKind::Directory) {
        return (entry.name == "log" || entry.name == "logs") ? EntryVerdict::CleanAll
                                                             : EntryVerdict::Descend;
    }
    return LogNames::isLogFile(entry.name) ? EntryVerdict::CleanAll : EntryVerdict::Keep;
}

EntryVerdict CrashReportRule::judge(const JudgedEntry& entry) const {
    std::string_view name = entry.name;
    bool report =
        name.ends_with(".crash") || name.ends_with(".upload") || name.ends_with(".uploaded");
    return entry.depth == 1 && entry.kind == EntryKind::Regular && report ? EntryVerdict::Clean
                                                                          : EntryVerdict::Keep;
}

EntryVerdict CoreDumpRule::judge(const JudgedEntry& entry) const {
    return entry.depth == 1 && entry.kind == EntryKind::Regular &&
                   entry.name.starts_with("core.") && entry.name.size() > 5
               ? EntryVerdict::Clean
               : EntryVerdict::Keep;
}

EntryVerdict FlatpakAppCacheRule::judge(const JudgedEntry& entry) const {
    if (entry.depth >= 3) return EntryVerdict::CleanAll;
    if (entry.kind != EntryKind::Directory) return EntryVerdict::Keep;
    if (entry.depth == 1 || entry.name == "cache") return EntryVerdict::Descend;
    return EntryVerdict::Keep;
}

EntryVerdict CrashDumpRule::judge(const JudgedEntry& entry) const {
    std::string_view name = entry.name;
    if (entry.depth == 1) {
        bool reports =
            name == "pending" || name == "submitted" || name == "completed" || name == "new";
        return entry.kind == EntryKind::Directory && reports ? EntryVerdict::Descend
                                                             : EntryVerdict::Keep;
    }
    bool dump = name.ends_with(".dmp") || name.ends_with(".extra") || name.ends_with(".meta") ||
                (name.starts_with("bp-") && name.ends_with(".txt"));
    return entry.depth == 2 && entry.kind == EntryKind::Regular && dump ? EntryVerdict::Clean
                                                                        : EntryVerdict::Keep;
}

}  // namespace quillby
