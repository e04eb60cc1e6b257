// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "helper/HelperVerbs.h"
#include "helper/JournalVacuum.h"
#include "support/RecordingTool.h"

using namespace quillby;

TEST(JournalVacuum, RunsJournalctlWithTheSizeAndRefusesAnythingElse) {
    TempDir dir;
    auto journalctl = recordingTool(dir, "journalctl", 0).string();
    EXPECT_EQ(JournalVacuum::vacuum("200000000", journalctl), "ok");
    for (const char* argument :
         {"", "15999999", "-200000000", "200M", "2e9", "1 2", "99999999999999999999"}) {
        EXPECT_TRUE(JournalVacuum::vacuum(argument, journalctl).starts_with("error ")) << argument;
    }
    std::ifstream calls(dir / "calls.txt");
    std::stringstream text;
    text << calls.rdbuf();
    EXPECT_EQ(text.str(), "journalctl --vacuum-size=200000000\n");

    EXPECT_EQ(JournalVacuum::vacuum("200000000", ""), "error journalctl is not installed");
    auto failing = recordingTool(dir, "failing", 1).string();
    EXPECT_EQ(JournalVacuum::vacuum("200000000", failing), "error journalctl: ended with status 1");
    ASSERT_NE(findHelperVerb("vacuum-journal"), nullptr);
}
