#pragma once

#include "clean/CleanRule.h"

// The user's state folder holds logs next to state that programs need (histories, sessions,
// databases): only log files and log folders may go.
class UserLogRule : public CleanRule {
  public:
    // CleanAll for log files, folders named "log" or "logs" and everything inside them;
    // Descend for other folders; Keep for everything else.
    EntryVerdict judge(const JudgedEntry& entry) const override;
    std::string_view scope() const override { return "log files and log folders only"; }
};
