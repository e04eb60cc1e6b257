#include "clean/RotatedLogRule.h"

#include "clean/LogNames.h"

EntryVerdict RotatedLogRule::judge(const JudgedEntry& entry) const {
    if (entry.kind == EntryKind::Directory) return EntryVerdict::Descend;
    return LogNames::isRotatedOrArchived(entry.name) ? EntryVerdict::Clean : EntryVerdict::Keep;
}
