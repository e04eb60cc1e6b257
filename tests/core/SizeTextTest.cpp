// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <any>
#include <memory>
#include <vector>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/text/UtilityFunction.h"
#include "platform/Services.h"
#include "platform/SystemVersionSource.h"

using namespace quillby;

using UF = UtilityFunction;

TEST(SizeText, DecimalStepsAtTheirEdgesAndHalfwayPointsAsTheSinglePrecisionQuotient) {
    EXPECT_EQ(UF::convertVolSpace(0), "0.00 KB");
    EXPECT_EQ(UF::convertVolSpace(1), "0.00 KB");
    EXPECT_EQ(UF::convertVolSpace(999999), "1000.00 KB");
    EXPECT_EQ(UF::convertVolSpace(1000000), "1.00 MB");
    EXPECT_EQ(UF::convertVolSpace(999999999), "1000.00 MB");
    EXPECT_EQ(UF::convertVolSpace(1000000000), "1.00 GB");
    EXPECT_EQ(UF::convertVolSpace(1000000000000ull), "1000.00 GB");  // never TB
    EXPECT_EQ(UF::convertVolSpace(1500000000000ull), "1500.00 GB");
    EXPECT_EQ(UF::convertVolSpace(12345678), "12.35 MB");

    // Halfway between two hundredths the single-precision quotient decides the last digit; other
    // ways to compute it (a product with the reciprocal, double precision) round some of these
    // the other way, and stored texts would then no longer match.
    EXPECT_EQ(UF::convertVolSpace(5), "0.00 KB");
    EXPECT_EQ(UF::convertVolSpace(15), "0.01 KB");
    EXPECT_EQ(UF::convertVolSpace(55), "0.05 KB");
    EXPECT_EQ(UF::convertVolSpace(95), "0.09 KB");
    EXPECT_EQ(UF::convertVolSpace(1005000), "1.00 MB");
    EXPECT_EQ(UF::convertVolSpace(1065000), "1.07 MB");
    EXPECT_EQ(UF::convertVolSpace(2005000), "2.01 MB");
    EXPECT_EQ(UF::convertVolSpace(4135000), "4.14 MB");
    EXPECT_EQ(UF::convertVolSpace(1005000000), "1.00 GB");
    EXPECT_EQ(UF::convertVolSpace(1065000000), "1.07 GB");
    EXPECT_EQ(UF::convertVolSpace(3015000000ull), "3.02 GB");
    EXPECT_EQ(UF::convertVolSpace(4005000000ull), "4.01 GB");
}

TEST(SizeText, PowerOfTwoStepsRoundInSinglePrecision) {
    EXPECT_EQ(UF::covertCleanMemory(0), "0.00 KB");
    EXPECT_EQ(UF::covertCleanMemory(1048575), "1024.00 KB");
    EXPECT_EQ(UF::covertCleanMemory(1048576), "1.00 MB");
    EXPECT_EQ(UF::covertCleanMemory(1073741823), "1024.00 MB");
    EXPECT_EQ(UF::covertCleanMemory(8ull << 30), "8.00 GB");
    EXPECT_EQ(UF::covertCleanMemory(536870912), "512.00 MB");
}

TEST(SizeText, IntegerStepsDropTheFraction) {
    EXPECT_EQ(UF::formatValue(0, 1024), "0.00 KB");
    EXPECT_EQ(UF::formatValue(1536, 1024), "1.00 KB");
    EXPECT_EQ(UF::formatValue(1073741824, 1024), "1.00 GB");
    EXPECT_EQ(UF::formatValue(16ull << 30, 1024), "16.00 GB");
    EXPECT_EQ(UF::formatValue(1073741823, 1024), "1023.00 MB");
    // A base whose square wraps to 0 in 32 bits must not divide by zero.
    EXPECT_EQ(UF::formatValue(5, 65536), "0.00 GB");
}

TEST(SizeText, ReadBackUsesDecimalMultipliers) {
    EXPECT_EQ(UF::getVolSpaceFromString("1.50 GB"), 1500000000u);
    EXPECT_EQ(UF::getVolSpaceFromString("0.00 KB"), 0u);
    EXPECT_EQ(UF::getVolSpaceFromString("12 bytes"), 0u);
    EXPECT_EQ(UF::getVolSpaceFromString("12.34 MB"), 12340000u);
    // Single precision: 10^12 is not a float, so 2 TB reads back a little low.
    EXPECT_EQ(UF::getVolSpaceFromString("2.00 TB"), 1999999991808u);
    EXPECT_EQ(UF::getVolSpaceFromString(""), 0u);
    EXPECT_EQ(UF::getVolSpaceFromString("GB"), 0u);
    EXPECT_EQ(UF::getVolSpaceFromString("-3.00 KB"), 0u);  // never wraps to a huge count
    // A memory text reads back low, as the memory row expects: 8 GiB is 8 000 000 000.
    EXPECT_EQ(UF::getVolSpaceFromString(UF::covertCleanMemory(8ull << 30)), 8000000000u);
}

TEST(SizeText, DateTimeIsReordered) {
    EXPECT_EQ(UF::parseDateTime("2013-05-07 10:20:30 +0000"), "05/07/2013 10:20:30");
    EXPECT_EQ(UF::parseDateTime("garbage"), "//garbage ");  // malformed text does not crash
}

namespace {
struct FixedVersion : SystemVersionSource {
    unsigned v[3];
    bool ok;
    FixedVersion(unsigned a, unsigned b, unsigned c, bool readable = true)
        : v{a, b, c}, ok(readable) {}
    bool systemVersion(unsigned& major, unsigned& minor, unsigned& bugFix) override {
        if (!ok) return false;
        major = v[0];
        minor = v[1];
        bugFix = v[2];
        return true;
    }
};

class VersionGate : public ::testing::Test {
  protected:
    void TearDown() override { Services::install<SystemVersionSource>(nullptr); }
    void running(unsigned a, unsigned b, unsigned c, bool readable = true) {
        Services::install<SystemVersionSource>(std::make_shared<FixedVersion>(a, b, c, readable));
    }
};
}  // namespace

TEST_F(VersionGate, ComparesMajorThenMinorThenPatchAndReadsAnUnreadableOneAsTenZeroZero) {
    running(10, 6, 8);
    EXPECT_FALSE(UF::isBelowSystemVer(10, 6, 0));
    running(10, 5, 8);
    EXPECT_TRUE(UF::isBelowSystemVer(10, 6, 0));
    running(4, 19, 0);
    EXPECT_FALSE(UF::isBelowSystemVer(4, 19, 0));
    running(4, 18, 200);
    EXPECT_TRUE(UF::isBelowSystemVer(4, 19, 0));
    running(5, 0, 0);
    EXPECT_FALSE(UF::isBelowSystemVer(4, 19, 3));
    running(4, 19, 2);
    EXPECT_TRUE(UF::isBelowSystemVer(4, 19, 3));

    // An unreadable version counts as 10.0.0.
    running(0, 0, 0, false);
    unsigned major = 1, minor = 1, bugFix = 1;
    UF::getSystemVersionMajor(&major, &minor, nullptr);
    UF::getSystemVersionMajor(nullptr, nullptr, &bugFix);
    EXPECT_EQ(major, 10u);
    EXPECT_EQ(minor, 0u);
    EXPECT_EQ(bugFix, 0u);
}

TEST(RowSelection, PostsTheRowAsSecondElement) {
    std::vector<std::any> received;
    auto subscription = EventBus::defaultCenter().observe(
        Events::shouldSelectRow,
        [&](const Event& e) { received = std::any_cast<std::vector<std::any>>(e.object); });
    UF::callSelectNotificationForMainWindowLeft(9);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_TRUE(std::any_cast<std::vector<std::any>>(received[0]).empty());
    EXPECT_EQ(std::any_cast<std::int32_t>(received[1]), 9);
}
