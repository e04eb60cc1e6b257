// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace quillby {

// One item a clean could not delete, and why.
struct CleanFailure {
    int category = -1;  // the clean category id
    std::string path;
    std::string reason;       // "permission denied", "in use", "not found", ...; empty: not known
    bool permission = false;  // a lack of rights was the reason
};

// Told when the user did not give the rights a retry asked for.
inline constexpr const char* kRightsNotGivenItemsStay =
    "Administrator rights were not given: these items stay.";

// The failure of `path` for the removal error `error` (an errno value; 0: not known).
CleanFailure cleanFailureFor(int category, std::string path, int error);

// The report shown after a clean that left items behind: for every category in id order its
// title, then each item on its own line with its reason.
std::string cleanFailureReport(const std::vector<CleanFailure>& failures);

}  // namespace quillby
