// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/CleanFailure.h"

#include "clean/CleanCategory.h"
#include "core/fs/RemovalOutcome.h"

namespace quillby {

CleanFailure cleanFailureFor(int category, std::string path, int error) {
    CleanFailure failure{category, std::move(path), {}, false};
    if (error == 0) return failure;
    failure.reason = failureText(error);
    failure.permission = rightsMayOvercome(error);
    return failure;
}

std::string cleanFailureReport(const std::vector<CleanFailure>& failures) {
    std::string text;
    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        bool titled = false;
        for (const auto& failure : failures) {
            if (failure.category != id) continue;
            if (!titled) {
                text += std::string(cleanCategories()[id].title) + ":\n";
                titled = true;
            }
            text += "  " + failure.path;
            if (!failure.reason.empty()) text += " (" + failure.reason + ")";
            text += "\n";
        }
    }
    return text;
}

}  // namespace quillby
