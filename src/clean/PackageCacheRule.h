#pragma once

#include "clean/CleanRule.h"

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
