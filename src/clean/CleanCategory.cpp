// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/CleanCategory.h"

namespace quillby {

const std::array<CleanCategory, CleanCategoryId::Count>& cleanCategories() {
    static const std::array<CleanCategory, CleanCategoryId::Count> categories{{
        {0, "System Caches", "SystemCaches", "SystemCache", "KVO_CONTEXT_SYS_CACHES",
         "TITLE_CLEAN_SYS_CACHES", "DESC_CLEAN_SYS_CACHES"},
        {1, "User Caches", "UserCaches", "UserCaches", "KVO_CONTEXT_USER_CACHES",
         "TITLE_CLEAN_USR_CACHES", "DESC_CLEAN_USR_CACHES"},
        {2, "System Logs", "SystemLogs", "SystemLog", "KVO_CONTEXT_SYS_LOGS",
         "TITLE_CLEAN_SYS_LOGS", "DESC_CLEAN_SYS_LOGS"},
        {3, "User Logs", "UserLogs", "UserLogs", "KVO_CONTEXT_USER_LOGS", "TITLE_CLEAN_USR_LOGS",
         "DESC_CLEAN_USR_LOGS"},
        {4, "User Trash", "UserTrash", "UserTrash", "KVO_CONTEXT_USER_TRASH", "TITLE_CLEAN_TRASH",
         "DESC_CLEAN_TRASH"},
        {5, "User Downloads", "UserDownloads", "Downloads", "KVO_CONTEXT_USER_DOWNLOADS",
         "TITLE_CLEAN_DOWNLOADS", "DESC_CLEAN_DOWNLOADS"},
    }};
    return categories;
}

bool isCleanCategoryId(int id) {
    return id >= 0 && id < CleanCategoryId::Count;
}

}  // namespace quillby
