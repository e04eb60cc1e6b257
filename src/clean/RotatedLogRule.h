#pragma once

#include "clean/CleanRule.h"

// The system's logs: only logs already set aside by rotation or archiving may go, at any depth;
// a live log never does, and neither does a folder (services expect theirs to exist).
class RotatedLogRule : public CleanRule {
  public:
    // Descend for folders, Clean for rotated or archived logs, Keep for everything else.
    EntryVerdict judge(const JudgedEntry& entry) const override;
    std::string_view scope() const override { return "rotated and archived logs only"; }
};
