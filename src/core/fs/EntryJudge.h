// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "core/fs/EntryStatus.h"

namespace quillby {

// What a deleting or measuring walk may do with one entry.
enum class EntryVerdict {
    Keep,     // leave it alone and do not look inside
    Descend,  // the entry stays, but a folder's contents are judged one by one
    Clean,    // it may go; a folder goes once every entry inside, judged again, has gone
    CleanAll  // it may go with everything inside it
};

// One entry as a judge sees it: depth 1 is an entry directly inside the walked folder, and
// parentVerdict is what the judge said about the folder holding it (Descend for the walked
// folder itself, which is never removed).
struct JudgedEntry {
    std::string_view name;
    EntryKind kind;
    int depth;
    EntryVerdict parentVerdict;
};

// Answers, for every entry a walk meets, whether it may be deleted. Walks ask at every level,
// so a rule keeps an entry safe wherever it sits.
class EntryJudge {
  public:
    virtual ~EntryJudge() = default;
    // The verdict for one entry; must be safe to call from several threads at once.
    virtual EntryVerdict judge(const JudgedEntry& entry) const = 0;
};

}  // namespace quillby
