#include "clean/SessionErrorLogRule.h"

EntryVerdict SessionErrorLogRule::judge(const JudgedEntry& entry) const {
    if (entry.depth == 1 && entry.kind != EntryKind::Directory &&
        entry.name == ".xsession-errors.old") {
        return EntryVerdict::CleanAll;
    }
    return EntryVerdict::Keep;
}
