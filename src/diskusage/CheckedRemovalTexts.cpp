// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/CheckedRemovalTexts.h"

#include <cerrno>
#include <system_error>

#include "core/text/UtilityFunction.h"

namespace quillby {

namespace CheckedRemovalTexts {

std::string confirmationDetails(const std::vector<FSNode*>& items) {
    std::uint64_t total = 0;
    std::string lines;
    for (const FSNode* item : items) {
        total += item->size;
        std::string size = UtilityFunction::convertVolSpace(item->size);
        lines += "\n" + item->path();
        lines += item->isDirectory ? "/ (the whole folder, " + size + ")" : " (" + size + ")";
    }
    std::string count = items.size() == 1 ? "1 item" : std::to_string(items.size()) + " items";
    return std::string(kInformative) + "\n\n" + count + ", " +
           UtilityFunction::convertVolSpace(total) + " in all:" + lines;
}

std::string failureMessage(const std::vector<RemovalFailure>& failures) {
    for (const auto& failure : failures) {
        if (!failure.wantsRights()) return "Some checked items could not be removed.";
    }
    return "Some files that require admin access can't be removed!";
}

std::string failureDetails(const std::vector<RemovalFailure>& failures, bool offersRetry) {
    std::string details;
    for (const auto& failure : failures) {
        if (!details.empty()) details += "\n";
        details += failure.path + ": " + std::generic_category().message(failure.error);
    }
    if (offersRetry) {
        details += "\n\nItems refused for lack of rights can be removed with administrator rights.";
    }
    return details;
}

std::set<std::string> permissionFailures(const std::vector<RemovalFailure>& failures) {
    std::set<std::string> paths;
    for (const auto& failure : failures) {
        if (failure.wantsRights()) paths.insert(failure.path);
    }
    return paths;
}

}  // namespace CheckedRemovalTexts

}  // namespace quillby
