// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <any>
#include <array>
#include <memory>
#include <sstream>
#include <vector>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/text/LocalizedText.h"
#include "core/text/PlainText.h"
#include "core/text/UtilityFunction.h"
#include "platform/Services.h"
#include "platform/SystemVersionSource.h"

using namespace quillby;

using UF = UtilityFunction;

namespace {

struct SizeCase {
    std::uint64_t bytes;
    const char* text;
};

}  // namespace

TEST(SizeText, DecimalStepsAtTheirEdgesAndHalfwayPointsAsTheSinglePrecisionQuotient) {
    // Halfway between two hundredths (from 5 on) the single-precision quotient decides the last
    // digit; other ways to compute it (a product with the reciprocal, double precision) round
    // some of these the other way, and stored texts would then no longer match. Never TB.
    const SizeCase edges[] = {{0, "0.00 KB"},
                              {1, "0.00 KB"},
                              {999999, "1000.00 KB"},
                              {1000000, "1.00 MB"},
                              {999999999, "1000.00 MB"},
                              {1000000000, "1.00 GB"},
                              {1000000000000ull, "1000.00 GB"},
                              {1500000000000ull, "1500.00 GB"}};
    const SizeCase halfway[] = {
        {12345678, "12.35 MB"},    {5, "0.00 KB"},          {15, "0.01 KB"},
        {55, "0.05 KB"},           {95, "0.09 KB"},         {1005000, "1.00 MB"},
        {1065000, "1.07 MB"},      {2005000, "2.01 MB"},    {4135000, "4.14 MB"},
        {1005000000, "1.00 GB"},   {1065000000, "1.07 GB"}, {3015000000ull, "3.02 GB"},
        {4005000000ull, "4.01 GB"}};
    for (const auto& c : edges) EXPECT_EQ(UF::convertVolSpace(c.bytes), c.text) << c.bytes;
    for (const auto& c : halfway) EXPECT_EQ(UF::convertVolSpace(c.bytes), c.text) << c.bytes;
}

TEST(SizeText, PowerOfTwoStepsRoundInSinglePrecisionAndIntegerStepsDropTheFraction) {
    const SizeCase binary[] = {{0, "0.00 KB"},          {1048575, "1024.00 KB"},
                               {1048576, "1.00 MB"},    {1073741823, "1024.00 MB"},
                               {8ull << 30, "8.00 GB"}, {536870912, "512.00 MB"}};
    for (const auto& c : binary) EXPECT_EQ(UF::covertCleanMemory(c.bytes), c.text) << c.bytes;
    const SizeCase integer[] = {{0, "0.00 KB"},
                                {1536, "1.00 KB"},
                                {1073741824, "1.00 GB"},
                                {16ull << 30, "16.00 GB"},
                                {1073741823, "1023.00 MB"}};
    for (const auto& c : integer) EXPECT_EQ(UF::formatValue(c.bytes, 1024), c.text) << c.bytes;
    // A base whose square wraps to 0 in 32 bits must not divide by zero.
    EXPECT_EQ(UF::formatValue(5, 65536), "0.00 GB");
}

TEST(SizeText, ReadBackUsesDecimalMultipliers) {
    // Single precision: 10^12 is not a float, so 2 TB reads back a little low. A negative size
    // never wraps to a huge count.
    const SizeCase cases[] = {
        {1500000000, "1.50 GB"},     {0, "0.00 KB"}, {0, "12 bytes"}, {12340000, "12.34 MB"},
        {1999999991808u, "2.00 TB"}, {0, ""},        {0, "GB"},       {0, "-3.00 KB"}};
    for (const auto& c : cases) EXPECT_EQ(UF::getVolSpaceFromString(c.text), c.bytes) << c.text;
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

void running(unsigned a, unsigned b, unsigned c, bool readable = true) {
    Services::install<SystemVersionSource>(std::make_shared<FixedVersion>(a, b, c, readable));
}
}  // namespace

TEST(VersionGate, ComparesMajorThenMinorThenPatchAndReadsAnUnreadableOneAsTenZeroZero) {
    struct Case {
        unsigned running[3], asked[3];
        bool below;
    };
    const Case cases[] = {{{10, 6, 8}, {10, 6, 0}, false}, {{10, 5, 8}, {10, 6, 0}, true},
                          {{4, 19, 0}, {4, 19, 0}, false}, {{4, 18, 200}, {4, 19, 0}, true},
                          {{5, 0, 0}, {4, 19, 3}, false},  {{4, 19, 2}, {4, 19, 3}, true}};
    for (const auto& c : cases) {
        running(c.running[0], c.running[1], c.running[2]);
        EXPECT_EQ(UF::isBelowSystemVer(c.asked[0], c.asked[1], c.asked[2]), c.below)
            << c.running[0] << "." << c.running[1] << "." << c.running[2];
    }

    running(0, 0, 0, false);
    unsigned major = 1, minor = 1, bugFix = 1;
    UF::getSystemVersionMajor(&major, &minor, nullptr);
    UF::getSystemVersionMajor(nullptr, nullptr, &bugFix);
    EXPECT_EQ((std::array{major, minor, bugFix}), (std::array{10u, 0u, 0u}));
    Services::install<SystemVersionSource>(nullptr);
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

TEST(TextCut, KeepsShortTextsAndCutsLongOnesByCharacters) {
    EXPECT_EQ(cutText(std::string(28, 'a'), 28), std::string(28, 'a'));
    EXPECT_EQ(cutText(std::string(29, 'a'), 28), std::string(28, 'a') + "...");
    EXPECT_EQ(cutText("", 0), "");
    EXPECT_EQ(cutText("ab", 0), "...");
    std::string accented;
    for (int i = 0; i < 29; ++i) accented += "\xc3\xa9";  // é, two bytes each
    EXPECT_EQ(cutText(accented, 28), accented.substr(0, 56) + "...");
    // A four-byte character at the cut stays whole.
    EXPECT_EQ(cutText("ab\xf0\x9f\x98\x80"
                      "cd",
                      3),
              "ab\xf0\x9f\x98\x80...");
}

TEST(LocalizedText, EveryKeyTheProgramShowsHasAnEnglishTextAndAnUnknownKeyGivesItself) {
    std::istringstream keys(
        "NO_HAVE_REMOVABLE CLEAN_FILES_COUNT CLEAN_FILES_SIZE CANNOT_OPEN_FINDER LOCAL_STORAGE "
        "EXTERNAL_STORAGE SUPER_DRIVER NETWOR_STORAGE DISK_IMAGE FREE_MEMORY NO_FOLDER_CONTENT "
        "TITLE_CLEAN_SYS_MYMAC TITLE_CLEAN_SYS_CACHES DESC_CLEAN_SYS_CACHES TITLE_CLEAN_USR_CACHES "
        "DESC_CLEAN_USR_CACHES TITLE_CLEAN_SYS_LOGS DESC_CLEAN_SYS_LOGS TITLE_CLEAN_USR_LOGS "
        "DESC_CLEAN_USR_LOGS TITLE_CLEAN_TRASH DESC_CLEAN_TRASH TITLE_CLEAN_DOWNLOADS "
        "DESC_CLEAN_DOWNLOADS TITLE_UNINSTALL DESC_UNINSTALL TITLE_FREESPACE_MONITOR "
        "DESC_FREESPACE_MONITOR");
    for (std::string key; keys >> key;) {
        EXPECT_TRUE(hasLocalizedString(key)) << key;  // also proves the table's lookup order
        EXPECT_NE(localizedString(key), key) << key;
    }
    EXPECT_FALSE(hasLocalizedString("NOT_A_KEY"));
    EXPECT_EQ(localizedString("NOT_A_KEY"), "NOT_A_KEY");
}
