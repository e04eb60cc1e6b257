#include "clean/UserLogRule.h"

#include "clean/LogNames.h"

EntryVerdict UserLogRule::judge(const JudgedEntry& entry) const {
    if (entry.parentVerdict == EntryVerdict::CleanAll) return EntryVerdict::CleanAll;
    if (entry.kind == EntryKind::Directory) {
        return (entry.name == "log" || entry.name == "logs") ? EntryVerdict::CleanAll
                                                             : EntryVerdict::Descend;
    }
    return LogNames::isLogFile(entry.name) ? EntryVerdict::CleanAll : EntryVerdict::Keep;
}
