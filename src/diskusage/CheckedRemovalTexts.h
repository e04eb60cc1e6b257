// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/fs/TreeRemover.h"
#include "diskusage/FSNode.h"

namespace quillby {

// What the column browser says around a removal of the checked items: the question listing
// every item that will go, and the alert naming what could not go and why.
namespace CheckedRemovalTexts {

inline constexpr std::string_view kQuestion = "Are you sure you want to remove all checked items?";
inline constexpr std::string_view kInformative = "All checked files and folders will be removed.";
inline constexpr std::string_view kOK = "OK";
inline constexpr std::string_view kCancel = "Cancel";
inline constexpr std::string_view kRetryWithRights = "Retry with administrator rights";

// The question's details: the informative text, the count and total size, then one line per
// item, a folder that goes whole ending in "/" and named as such ("PATH/ (the whole folder,
// SIZE)", "PATH (SIZE)").
std::string confirmationDetails(const std::vector<FSNode*>& items);

// The alert's message: that admin access is needed when only rights were missing, a plain one
// otherwise.
std::string failureMessage(const std::vector<RemovalFailure>& failures);
// One line per failure, "PATH: REASON", and a closing line on the retry with rights when
// `offersRetry`.
std::string failureDetails(const std::vector<RemovalFailure>& failures, bool offersRetry);
// The paths of the failures rights may overcome.
std::set<std::string> permissionFailures(const std::vector<RemovalFailure>& failures);

}  // namespace CheckedRemovalTexts

}  // namespace quillby
