// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/AboutText.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace quillby;

TEST(AboutText, ShipsTheGplThreeOrLater) {
    const std::string licence = AboutText::licence();
    EXPECT_TRUE(licence.starts_with("Copyright 2026 Quillby Pro developers")) << licence;
    EXPECT_TRUE(holdsAll(licence, "free software",
                         "either version 3 of the License, or (at your option) any later"));
    EXPECT_EQ(licence.find("All rights reserved"), std::string::npos) << licence;
}

TEST(AboutText, ReadsTheMachineReadableCopyrightFile) {
    const struct {
        const char* copyright;
        const char* expected;
    } cases[] = {
        // The notice of the stand-alone licence paragraph, not the name in "Files:".
        {"Format: x\n\nFiles: *\nCopyright: 2026 Someone <a@b>\nLicense: X\n\n"
         "License: X\n first line\n second line\n .\n third\n",
         "Copyright 2026 Someone <a@b>\n\nfirst line second line\n\nthird"},
        {"Files: *\nCopyright:   2026 Someone\nLicense: X\n extra\n", "Copyright 2026 Someone"},
        {"License: X\n only text\n", "only text"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AboutText::licenceFromCopyright(c.copyright), c.expected) << c.copyright;
    }
}
