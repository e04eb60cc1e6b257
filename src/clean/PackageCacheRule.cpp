#include "clean/PackageCacheRule.h"

EntryVerdict PackageCacheRule::judge(const JudgedEntry& entry) const {
    std::string_view name = entry.name;
    if (name == "lock" || name.ends_with(".lock") || name.ends_with(".pid")) {
        return EntryVerdict::Keep;
    }
    if (entry.kind == EntryKind::Directory && name == "partial") return EntryVerdict::Keep;
    return EntryVerdict::Clean;
}
