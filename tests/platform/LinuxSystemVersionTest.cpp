// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "platform/linux/LinuxSystemVersion.h"
#include "support/TempDir.h"

using namespace quillby;

TEST(LinuxSystemVersion, ReadsTheLeadingReleaseNumbers) {
    unsigned a = 9, b = 9, c = 9;
    ASSERT_TRUE(LinuxSystemVersion::parseRelease("6.1.0-18-amd64", a, b, c));
    EXPECT_EQ((std::array{a, b, c}), (std::array{6u, 1u, 0u}));
    ASSERT_TRUE(LinuxSystemVersion::parseRelease("5.15", a, b, c));
    EXPECT_EQ((std::array{a, b, c}), (std::array{5u, 15u, 0u}));
    ASSERT_TRUE(LinuxSystemVersion::parseRelease("4.19.312-rc1", a, b, c));
    EXPECT_EQ((std::array{a, b, c}), (std::array{4u, 19u, 312u}));
    EXPECT_FALSE(LinuxSystemVersion::parseRelease("", a, b, c));
    EXPECT_FALSE(LinuxSystemVersion::parseRelease("v6.1", a, b, c));
    EXPECT_FALSE(LinuxSystemVersion::parseRelease("99999999999.1", a, b, c));
}

TEST(LinuxSystemVersion, UsesTheProcRootAndFallsBackToUname) {
    TempDir dir;
    dir.write("proc/sys/kernel/osrelease", "3.10.0-1160.el7.x86_64\n");
    PlatformContext context = PlatformContext::underRoot(dir.path());
    unsigned a = 0, b = 0, c = 0;
    ASSERT_TRUE(LinuxSystemVersion(context).systemVersion(a, b, c));
    EXPECT_EQ((std::array{a, b, c}), (std::array{3u, 10u, 0u}));

    context.procRoot = dir / "nowhere";
    ASSERT_TRUE(LinuxSystemVersion(context).systemVersion(a, b, c));
    EXPECT_GE(a, 3u);  // the running kernel
}
