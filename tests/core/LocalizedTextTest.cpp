// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/text/LocalizedText.h"

using namespace quillby;

TEST(LocalizedText, EveryKeyTheProgramShowsHasAnEnglishText) {
    for (const char* key : {"NO_HAVE_REMOVABLE",
                            "CLEAN_FILES_COUNT",
                            "CLEAN_FILES_SIZE",
                            "CANNOT_OPEN_FINDER",
                            "LOCAL_STORAGE",
                            "EXTERNAL_STORAGE",
                            "SUPER_DRIVER",
                            "NETWOR_STORAGE",
                            "DISK_IMAGE",
                            "FREE_MEMORY",
                            "NO_FOLDER_CONTENT",
                            "TITLE_CLEAN_SYS_MYMAC",
                            "TITLE_CLEAN_SYS_CACHES",
                            "DESC_CLEAN_SYS_CACHES",
                            "TITLE_CLEAN_USR_CACHES",
                            "DESC_CLEAN_USR_CACHES",
                            "TITLE_CLEAN_SYS_LOGS",
                            "DESC_CLEAN_SYS_LOGS",
                            "TITLE_CLEAN_USR_LOGS",
                            "DESC_CLEAN_USR_LOGS",
                            "TITLE_CLEAN_TRASH",
                            "DESC_CLEAN_TRASH",
                            "TITLE_CLEAN_DOWNLOADS",
                            "DESC_CLEAN_DOWNLOADS",
                            "TITLE_UNINSTALL",
                            "DESC_UNINSTALL",
                            "TITLE_FREESPACE_MONITOR",
                            "DESC_FREESPACE_MONITOR"}) {
        EXPECT_TRUE(hasLocalizedString(key)) << key;  // also proves the table's lookup order
        EXPECT_NE(localizedString(key), key) << key;
    }
    EXPECT_EQ(localizedString("LOCAL_STORAGE"), "Local Storage");
}

TEST(LocalizedText, UnknownKeyGivesTheKeyItself) {
    EXPECT_FALSE(hasLocalizedString("NOT_A_KEY"));
    EXPECT_EQ(localizedString("NOT_A_KEY"), "NOT_A_KEY");
}
