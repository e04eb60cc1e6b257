#pragma once

#include "clean/CleanRule.h"

// Caches and downloads: every entry may go, with everything inside it.
class EveryEntryRule : public CleanRule {
  public:
    // CleanAll for every entry.
    EntryVerdict judge(const JudgedEntry& entry) const override;
    std::string_view scope() const override { return "everything inside"; }
};
