// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/CleanFailure.h"

#include <cerrno>
#include <cstring>

#include "clean/CleanCategory.h"

namespace quillby {

CleanFailure cleanFailureFor(int category, std::string path, int error) {
    CleanFailure failure{category, std::move(path), {}, false};
    switch (error) {
        case 0:
            break;
        case EACCES:
        case EPERM:
        case EROFS:
            failure.reason = "permission denied";
            failure.permission = error != EROFS;
            break;
        case EBUSY:
        case ETXTBSY:
            failure.reason = "in use";
            break;
        case ENOENT:
            failure.reason = "not found";
            break;
        default:
            failure.reason = std::strerror(error);
    }
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
