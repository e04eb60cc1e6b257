// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "cli/CliTestSupport.h"

namespace fs = std::filesystem;
using ordered = nlohmann::ordered_json;

namespace {

std::vector<std::string> keysOf(const ordered& object) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : object.items()) keys.push_back(key);
    return keys;
}

// A folder that is the whole PATH of a quillby run, holding fake tools.
struct FakeToolFolder {
    TempDir home;
    fs::path tool(const std::string& name, const std::string& body) {
        return home.writeExecutable("bin/" + name, "#!/bin/sh\n" + body);
    }
    ProcessResult run(const std::vector<std::string>& arguments) {
        return runProcess(QUILLBY_CLI_PATH, arguments,
                          {{"HOME", home.path().string()}, {"PATH", (home / "bin").string()}});
    }
};

}  // namespace

TEST(CliVolumes, RootIsALocalBootVolumeThatCannotBeEjected) {
    CliHome cli;
    auto result = cli.run({"volumes", "--json"});
    ASSERT_EQ(result.status, 0) << result.err;
    ordered volumes = ordered::parse(result.out);
    ASSERT_TRUE(volumes.is_array());
    const ordered* root = nullptr;
    for (const auto& volume : volumes) {
        EXPECT_EQ(keysOf(volume),
                  (std::vector<std::string>{"ref", "kind", "name", "root", "boot", "ejectable",
                                            "total", "free", "totalText", "freeText", "alarm"}));
        EXPECT_LE(volume["free"].get<std::uint64_t>(), volume["total"].get<std::uint64_t>());
        if (volume["root"] == "/") root = &volume;
    }
    ASSERT_NE(root, nullptr) << result.out;
    EXPECT_EQ((*root)["kind"], 0);
    EXPECT_EQ((*root)["boot"], true);
    EXPECT_EQ((*root)["ejectable"], false);
    EXPECT_EQ((*root)["name"], "/");

    auto text = cli.run({"volumes"});
    EXPECT_EQ(text.status, 0);
    EXPECT_TRUE(holdsAll(text.out, "Local Storage\n", "boot"));

    // Eject refuses it, an unknown volume and bad input with status two.
    for (const auto& arguments : std::vector<std::vector<std::string>>{{"eject", "2147483000"},
                                                                       {"eject", "/no/such/mount"},
                                                                       {"eject"},
                                                                       {"eject", "/", "--all"},
                                                                       {"eject", "/"}}) {
        expectRefusedInOneLine(cli.run(arguments), arguments.back());
    }
    EXPECT_NE(cli.run({"eject", "/"}).err.find("cannot be ejected"), std::string::npos);
}

TEST(CliMemory, FiguresAddUp) {
    CliHome cli;
    auto result = cli.run({"memory", "--json"});
    ASSERT_EQ(result.status, 0) << result.err;
    ordered memory = ordered::parse(result.out);
    EXPECT_EQ(keysOf(memory),
              (std::vector<std::string>{"free", "inactive", "active", "wired", "used", "total",
                                        "pageins", "pageouts", "faults"}));
    auto total = memory["total"].get<std::uint64_t>();
    auto free = memory["free"].get<std::uint64_t>();
    // How the figures are read from /proc and /sys is LinuxMemorySource's to prove.
    EXPECT_GT(free, 0u);
    EXPECT_LT(free, total);
    EXPECT_EQ(memory["used"].get<std::uint64_t>(), total - free);

    auto text = cli.run({"memory"});
    EXPECT_TRUE(std::regex_search(text.out, std::regex("^Free +[0-9]+\\.[0-9]{2} [KMG]B\n")))
        << text.out;
}

TEST(CliMemory, WatchPrintsOneSamplePerLineAndRefusesBadIntervals) {
    CliHome cli;
    auto lines = cli.run({"memory", "--watch", "0.05", "--count", "3"});
    ASSERT_EQ(lines.status, 0) << lines.err;
    EXPECT_EQ(std::count(lines.out.begin(), lines.out.end(), '\n'), 3);
    EXPECT_EQ(lines.out.rfind("free ", 0), 0u);

    auto json = cli.run({"memory", "--json", "--watch", "0.05", "--count", "2"});
    ASSERT_EQ(json.status, 0);
    std::istringstream stream(json.out);
    std::string line;
    int parsed = 0;
    while (std::getline(stream, line)) parsed += ordered::parse(line).contains("total") ? 1 : 0;
    EXPECT_EQ(parsed, 2);

    for (const char* interval : {"abc", "0", "-1", "1x"}) {
        expectRefusedInOneLine(cli.run({"memory", "--watch", interval}), interval);
    }
    EXPECT_EQ(cli.run({"memory", "--watch", "1", "--count", "0"}).status, 2);
}

TEST(CliPurge, RunsTheHelperAndReportsWhatWasFreed) {
    FakeToolFolder tools;
    fs::path marker = tools.home / "purged";
    tools.tool("quillby-helper", "[ \"$1\" = purge ] && : > '" + marker.string() + "'\n");
    tools.tool("pkexec", "exec \"$@\"\n");  // for a run without root
    auto result = tools.run({"purge"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(fs::exists(marker));
    EXPECT_TRUE(std::regex_match(result.out, std::regex("[0-9]+\\.[0-9]{2} [KMG]B freed\\.\n")))
        << result.out;

    tools.tool("quillby-helper", "exit 1\n");
    auto failed = tools.run({"purge"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(holdsAll(failed.err, "status 1"));
    EXPECT_EQ(failed.out, "");  // no figure for a purge that did not run

    fs::remove(tools.home / "bin/quillby-helper");
    auto missing = tools.run({"purge"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(holdsAll(missing.err, "quillby-helper is not installed"));
}

TEST(CliSysinfo, SevenRowsAsJsonAndOverviewHasEverySection) {
    CliHome cli;
    auto result = cli.run({"sysinfo", "--json"});
    ASSERT_EQ(result.status, 0) << result.err;
    ordered facts = ordered::parse(result.out);
    EXPECT_EQ(keysOf(facts), (std::vector<std::string>{"model", "cpuVendor", "cpuBrand", "memory",
                                                       "osType", "osRelease", "hostname"}));
    utsname names{};
    ASSERT_EQ(::uname(&names), 0);
    EXPECT_EQ(facts["hostname"], names.nodename);
    EXPECT_EQ(facts["osRelease"], names.release);
    EXPECT_TRUE(
        std::regex_match(facts["memory"].get<std::string>(), std::regex("[0-9]+\\.00 [KMG]B")));

    auto overview = cli.run({"overview"});
    ASSERT_EQ(overview.status, 0) << overview.err;
    for (const char* section :
         {"Boot volume\n/: ", "\nVolumes\n", "\nMemory\nFree ", "\nMachine\nModel Identifier:"}) {
        EXPECT_NE(overview.out.find(section), std::string::npos) << section << "\n" << overview.out;
    }
    EXPECT_EQ(ordered::parse(cli.run({"overview", "--json"}).out)["bootVolume"]["root"], "/");
}

// Without PackageKit (here no system bus at all) the check says so, and its status alone tells a
// script which answer it got.
TEST(CliUpdateCheck, WithoutPackageKitSaysSoWithItsOwnStatus) {
    CliHome cli;
    auto result =
        runProcess(QUILLBY_CLI_PATH, {"update-check"},
                   {{"HOME", cli.home.path().string()},
                    {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + (cli.home / "no-bus").string()}});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.out, "PackageKit is not available\n");
    EXPECT_EQ(result.err.find("quillby:"), std::string::npos) << result.err;
}
