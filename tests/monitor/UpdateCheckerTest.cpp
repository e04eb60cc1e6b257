// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>

#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "core/work/PlainMainQueue.h"
#include "monitor/UpdateChecker.h"
#include "support/FakePackageUpdates.h"
#include "support/TestPlatform.h"

using namespace quillby;
using namespace std::chrono_literals;

namespace {

using State = PackageUpdateAnswer::State;

}  // namespace

// Three checks in a row (three ticks of the timer): a version is announced once, whatever the
// later checks find; only a newer version is announced at all.
TEST(UpdateChecker, AnnouncesEachNewerVersionOnceAndNothingElse) {
    TestPlatform platform;
    struct Case {
        const char* name;
        std::vector<PackageUpdateAnswer> answers;
        std::vector<std::string> announced;
    };
    const Case cases[] = {
        {"newer at every tick", {{State::Newer, "4.1-1", ""}}, {"4.1-1"}},
        {"up to date", {{State::UpToDate, "4.0-1", ""}}, {}},
        {"built from source", {{State::NotInstalled, "", ""}}, {}},
        {"PackageKit failed", {{State::Failed, "", "timed out"}}, {}},
        {"a later version",
         {{State::Newer, "4.1-1", ""}, {State::UpToDate, "4.1-1", ""}, {State::Newer, "4.2-1", ""}},
         {"4.1-1", "4.2-1"}},
    };
    for (const auto& c : cases) {
        PlainMainQueue queue;
        auto packageKit = std::make_shared<FakePackageUpdates>(true, c.answers);
        std::vector<std::string> announced;
        UpdateChecker checker(packageKit, queue,
                              [&](const std::string& version) { announced.push_back(version); });
        for (int tick = 0; tick < 3; ++tick) {
            checker.check();
            queue.drain();
        }
        EXPECT_EQ(announced, c.announced) << c.name;
        EXPECT_EQ(packageKit->asked, std::vector<std::string>(3, "quillby-pro")) << c.name;
    }
}

// Without PackageKit (no service at all, or the bus has none) nothing is ever scheduled; with it,
// checks run while they are on, at the stored interval, read again when the settings change.
TEST(UpdateChecker, SchedulesOnlyWherePackageKitRunsAndFollowsTheSettings) {
    TestPlatform platform;
    auto& settings = UserDefaults::standardUserDefaults();
    settings.setBool(true, SettingsKey::SUEnableAutomaticChecks);
    for (auto [packageKit, available] :
         {std::pair<std::shared_ptr<PackageUpdateService>, bool>{nullptr, false},
          {std::make_shared<FakePackageUpdates>(false), false},
          {std::make_shared<FakePackageUpdates>(true), true}}) {
        PlainMainQueue queue;
        UpdateChecker checker(packageKit, queue, {});
        std::optional<bool> told;
        checker.whenAvailabilityKnown([&](bool answer) { told = answer; });
        checker.start(1h);
        ASSERT_TRUE(queue.runUntil([&] { return told.has_value(); }));
        EXPECT_EQ(*told, available);
        EXPECT_EQ(checker.available(), available);
        EXPECT_EQ(checker.scheduled(), available);
        if (!available) continue;

        EXPECT_EQ(checker.interval(), UpdateChecker::kDefaultInterval);  // none stored
        for (auto [stored, used] : {std::pair{604800s, 604800s}, {5s, 3600s}}) {
            settings.setInteger(stored.count(), SettingsKey::SUScheduledCheckInterval);
            checker.settingsChanged();
            EXPECT_EQ(checker.interval(), used);
        }
        settings.setBool(false, SettingsKey::SUEnableAutomaticChecks);
        checker.settingsChanged();
        EXPECT_FALSE(checker.scheduled());
    }
}

TEST(UpdateChecker, TheBalloonOpensTheDesktopsSoftwareToolWhereOneIsInstalled) {
    struct Case {
        const char* desktop;
        std::set<std::string> installed;
        std::vector<std::string> command;
        const char* secondLine;
    };
    const std::set<std::string> both{"gnome-software", "plasma-discover"};
    const Case cases[] = {
        {"ubuntu:GNOME",
         both,
         {"/usr/bin/gnome-software", "--mode=updates"},
         "Click to open Software"},
        {"KDE", both, {"/usr/bin/plasma-discover", "--mode", "Update"}, "Click to open Discover"},
        {"KDE",
         {"gnome-software"},
         {"/usr/bin/gnome-software", "--mode=updates"},
         "Click to open Software"},
        {"XFCE", {}, {}, "Update it with your package manager"},
    };
    for (const auto& c : cases) {
        auto tool = softwareToolFor(c.desktop, [&](const std::string& program) {
            return c.installed.contains(program) ? "/usr/bin/" + program : std::string();
        });
        EXPECT_EQ(tool ? tool->command : std::vector<std::string>{}, c.command) << c.desktop;
        EXPECT_EQ(updateBalloonLines("4.1-1", tool),
                  (std::vector<std::string>{"Quillby Pro 4.1-1 is available", c.secondLine}));
    }
}
