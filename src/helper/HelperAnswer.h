// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/fs/RemovalOutcome.h"
#include "core/fs/TreeRemover.h"

namespace quillby {

// The helper's one-line answer to a removal: "ok" when nothing failed, else "error " with the
// first failure's path and reason, and how many more failed.
std::string answerForRemoval(const RemovalReport& report);

// "PATH: reason" for a failure with `error` (an errno value).
std::string describeRemovalError(const std::string& path, int error);

// The answer to the removal of a picked item: "ok" only when it is gone; "error refused: " and
// the rule that kept it; or "error " with the first failure's path and reason.
std::string answerForRemoval(const RemovalOutcome& outcome);

}  // namespace quillby
