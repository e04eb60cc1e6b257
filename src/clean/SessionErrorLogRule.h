#pragma once

#include "clean/CleanRule.h"

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
