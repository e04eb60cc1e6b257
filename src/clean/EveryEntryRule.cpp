#include "clean/EveryEntryRule.h"

EntryVerdict EveryEntryRule::judge(const JudgedEntry&) const {
    return EntryVerdict::CleanAll;
}
