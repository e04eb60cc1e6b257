// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "core/events/Log.h"
#include "loginitems/FakeLoginItems.h"
#include "loginitems/LoginItemRegistry.h"

using namespace quillby;

namespace {

class LoginItemRegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        LoginItemRegistry::setRetryPause(
            [this](std::chrono::seconds pause) { pauses.push_back(pause); });
    }
    void TearDown() override {
        LoginItemRegistry::setRetryPause(nullptr);
        FakeLoginItems::uninstall();
    }
    size_t logged(const std::string& line) const {
        return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
    }

    std::shared_ptr<FakeLoginItems> fake = FakeLoginItems::install();
    std::vector<std::chrono::seconds> pauses;
    std::vector<std::string> lines;
    ScopedLogCapture capture{[this](std::string_view line) { lines.emplace_back(line); }};
};

}  // namespace

TEST_F(LoginItemRegistryTest, TwoTimeOutsThenTheListAfterTwoOneSecondPauses) {
    fake->entries = {FakeLoginItems::item("a.desktop", "/usr/bin/a"),
                     FakeLoginItems::item("b.desktop", "/usr/bin/b", true)};
    fake->copyStatuses = {LoginItemStatus::timedOut, LoginItemStatus::timedOut};
    auto entries = LoginItemRegistry::allLoginItems();
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);
    EXPECT_TRUE((*entries)[1].hidden);
    EXPECT_EQ(logged("Get login items error -1712 occur."), 2u);
    EXPECT_EQ(logged("Get login items error -1712 and timeout."), 0u);
    EXPECT_EQ(pauses, (std::vector<std::chrono::seconds>(2, std::chrono::seconds(1))));
    EXPECT_EQ(fake->copyCalls, 3);
}

TEST_F(LoginItemRegistryTest, GivesUpAfterTheSixtyFirstTimeOutAndOnOtherErrors) {
    fake->copyStatuses = std::deque<int>(70, LoginItemStatus::timedOut);
    EXPECT_FALSE(LoginItemRegistry::allLoginItems());
    EXPECT_EQ(fake->copyCalls, 61);
    EXPECT_EQ(pauses.size(), 60u);
    EXPECT_EQ(logged("Get login items error -1712 occur."), 61u);
    EXPECT_EQ(logged("Get login items error -1712 and timeout."), 1u);
    EXPECT_EQ(lines.back(), "Get login items error -1712 and timeout.");

    lines.clear();
    pauses.clear();
    fake->copyStatuses = {LoginItemStatus::ioFailure};
    EXPECT_FALSE(LoginItemRegistry::allLoginItems());
    EXPECT_EQ(lines, std::vector<std::string>{"Couldn't list login items error -36"});
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(LoginItemRegistry::indexForLoginItemWithPath("/usr/bin/a"), -1);
}

TEST_F(LoginItemRegistryTest, FindsAddsAndRemovesByUrlPathAndIndex) {
    fake->entries = {FakeLoginItems::item("a.desktop", "/opt/a b/run"),
                     FakeLoginItems::item("sh1.desktop", "/usr/bin/sh"),
                     FakeLoginItems::item("sh2.desktop", "/usr/bin/sh")};
    EXPECT_EQ(LoginItemRegistry::indexForLoginItemWithPath("/opt/a b/run"), 0);
    EXPECT_EQ(LoginItemRegistry::indexForLoginItemWithURL("file:///opt/a%20b/run"), 0);
    EXPECT_EQ(LoginItemRegistry::indexForLoginItemWithPath("/usr/bin/sh"), 1);  // the first
    EXPECT_EQ(LoginItemRegistry::indexForLoginItemWithIdentifier("sh2.desktop"), 2);
    EXPECT_EQ(LoginItemRegistry::indexForLoginItemWithPath("/usr/bin/none"), -1);

    EXPECT_FALSE(LoginItemRegistry::removeLoginItemWithPath("/usr/bin/none"));
    EXPECT_TRUE(fake->removed.empty());
    EXPECT_TRUE(LoginItemRegistry::removeLoginItemWithPath("/usr/bin/sh"));
    EXPECT_EQ(fake->removed, std::vector<std::string>{"sh1.desktop"});

    EXPECT_TRUE(LoginItemRegistry::addLoginItemWithPath("/opt/new tool", true));
    EXPECT_EQ(fake->added.back(), std::make_pair(std::string("file:///opt/new%20tool"), true));
    EXPECT_TRUE(lines.empty());

    fake->addStatus = LoginItemStatus::fileNotFound;
    fake->removeStatus = LoginItemStatus::systemItem;
    fake->hiddenStatus = LoginItemStatus::ioFailure;
    EXPECT_FALSE(LoginItemRegistry::addLoginItemWithPath("/gone", false));
    EXPECT_FALSE(LoginItemRegistry::removeLoginItemAtIndex(0));
    EXPECT_FALSE(LoginItemRegistry::setLoginItemHiddenAtIndex(0, true));
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "Couldn't add login item error -43", "Couldn't remove login item error -61",
                  "Couldn't change the hidden flag of login item error -36"}));
}
