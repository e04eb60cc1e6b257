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

}  // namespace quillby
