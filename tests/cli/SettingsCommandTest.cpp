// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <algorithm>
#include <functional>
#include <nlohmann/json.hpp>

#include "cli/CliTestSupport.h"

namespace fs = std::filesystem;

TEST(CliSettings, FreshUserReadsDefaultsThenWhatWasSet) {
    CliHome cli;
    auto result = cli.run({"settings", "get", "SpaceAlarm"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "0.1\n");
    // The window opens the column browser; the command reads the same default.
    EXPECT_EQ(cli.run({"settings", "get", "QWDiskUsageShowStyle"}).out, "false\n");
    EXPECT_FALSE(fs::exists(cli.preferences()));  // reading writes nothing

    ASSERT_EQ(cli.run({"settings", "set", "UserTrash", "2"}).status, 0);
    ASSERT_EQ(cli.run({"settings", "set", "SpaceAlarm", "0.25"}).status, 0);
    ASSERT_EQ(cli.run({"settings", "set", "QWHidenDuplication", "yes"}).status, 0);
    EXPECT_EQ(cli.run({"settings", "get", "UserTrash"}).out, "2\n");
    EXPECT_EQ(cli.run({"settings", "get", "SpaceAlarm"}).out, "0.25\n");
    EXPECT_EQ(cli.run({"settings", "get", "QWHidenDuplication"}).out, "true\n");

    auto list = cli.run({"settings", "list"});
    ASSERT_EQ(list.status, 0);
    EXPECT_TRUE(holdsAll(list.out, "UserTrash", "shiftSlowsAnimation"));

    auto json = nlohmann::json::parse(cli.run({"settings", "list", "--json"}).out);
    auto trash = std::find_if(json.begin(), json.end(),
                              [](const auto& entry) { return entry["key"] == "UserTrash"; });
    ASSERT_NE(trash, json.end());
    EXPECT_EQ((*trash)["value"], 2);
    EXPECT_EQ((*trash)["default"], 0);
    EXPECT_EQ((*trash)["type"], "integer");
    EXPECT_TRUE((*trash)["stored"]);
}

TEST(CliSettings, BadInputIsRefusedWithStatusTwoAndNothingWritten) {
    CliHome cli;
    expectEachRefusedInOneLine(cli, {{{"settings", "set", "UserTrash", "7"}, "UserTrash"},
                                     {{"settings", "set", "UserTrash", "one"}, "whole number"},
                                     {{"settings", "set", "SpaceAlarm", "lots"}, "number"},
                                     {{"settings", "set", "fade", "maybe"}, "boolean"},
                                     {{"settings", "set", "NoSuchKey", "1"}, "unknown setting"},
                                     {{"settings", "get", "NoSuchKey"}, "unknown setting"},
                                     {{"settings", "set", "UserTrash"}, "VALUE"},
                                     {{"settings", "frobnicate"}, "frobnicate"},
                                     {{"nonsense"}, "nonsense"}});
    EXPECT_FALSE(fs::exists(cli.preferences()));
}

// Every command and option of --help is checked against the manual page (ManualPage).
TEST(CliSettings, VersionAndNoArguments) {
    CliHome cli;
    auto version = cli.run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "quillby 4.0\n");
    EXPECT_EQ(cli.run({}).status, 0);
}

TEST(CliHistory, ReportsTheLastCleanRecord) {
    CliHome cli;
    auto none = cli.run({"history"});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "No clean has been recorded yet.\n");
    EXPECT_EQ(nlohmann::json::parse(cli.run({"history", "--json"}).out)["size"], 0);

    cli.home.write(".local/share/com.quillby.pro/.orvane.log.bin",
                   "logName=SIZE&&date=2013-05-06 02:20:30 +0000&&iSize=1048576");
    auto text = cli.run({"history"});
    EXPECT_EQ(text.out, "1.05 MB recovered by the last clean, 2013-05-06 02:20:30 +0000\n");
    auto json = nlohmann::json::parse(cli.run({"history", "--json"}).out);
    EXPECT_EQ(json["kind"], "SIZE");
    EXPECT_EQ(json["size"], 1048576);
    EXPECT_EQ(json["sizeText"], "1.05 MB");
    EXPECT_EQ(json["date"], "2013-05-06 02:20:30 +0000");
}

// Preferences that exist but cannot be read are no defaults: the command says why and fails.
TEST(CliSettings, PreferencesThatCannotBeReadAreReportedNotReadAsDefaults) {
    struct Case {
        const char* name;
        std::function<void(const CliHome&)> make;
        const char* reason;
    };
    for (const Case& c : {
             Case{"a folder", [](const CliHome& cli) { fs::create_directories(cli.preferences()); },
                  "Is a directory"},
             Case{"not JSON",
                  [](const CliHome& cli) {
                      cli.home.write(".config/com.quillby.pro/preferences.json", "{\"fade\": fa");
                  },
                  "not a JSON object"},
         }) {
        for (const char* command : {"get", "list"}) {
            CliHome cli;
            c.make(cli);
            std::vector<std::string> arguments{"settings", command};
            if (command == std::string("get")) arguments.push_back("fade");
            auto result = cli.run(arguments);
            EXPECT_EQ(result.status, 1) << c.name << " " << command << result.out;
            EXPECT_EQ(result.out, "") << c.name << " " << command;
            EXPECT_TRUE(holdsAll(
                result.err, "preferences at " + cli.preferences().string() + " could not be read",
                c.reason));
        }
    }
}

// A FIFO in place of the log is neither waited on nor read: the command answers at once. (The
// history record's reader refuses one too: HistoryRecord.OnlyTheUsersOwnSmallPlainUtf8FileIsRead.)
TEST(CliFiles, AFifoInPlaceOfTheLogHoldsNothingUp) {
    CliHome cli;
    fs::create_directories(cli.dataFolder());
    ASSERT_EQ(::mkfifo((cli.dataFolder() / "orvane.log").c_str(), 0600), 0);
    auto result = cli.run({"settings", "get", "fade"}, "", std::chrono::seconds(30));
    EXPECT_FALSE(result.killedAtDeadline);
    EXPECT_EQ(result.status, 0) << result.err;
}
