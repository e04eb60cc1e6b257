// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "core/work/ToolRunner.h"
#include "platform/linux/DpkgPackageManager.h"
#include "platform/linux/FlatpakCommand.h"
#include "platform/linux/PackageKitService.h"
#include "platform/linux/PackageManagerDetection.h"
#include "platform/linux/PacmanPackageManager.h"
#include "platform/linux/RpmPackageManager.h"
#include "platform/linux/SnapCommand.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;

TEST(ToolRunner, CollectsBothStreamsTheStatusAndStopsAtTheLimits) {
    TempDir dir;
    ToolRunResult result =
        ToolRunner::run("/bin/sh",
                        {"-c",
                         "printf 'out\\n'; printf 'err\\n' >&2; read line; echo \"[$line]\"; "
                         "echo \"$QUILLBY_PROBE\"; exit 3"},
                        {.environment = std::vector<std::string>{"QUILLBY_PROBE=set"}});
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.output, "out\n[]\nset\n");  // standard input is empty
    EXPECT_EQ(result.errors, "err\n");

    result = ToolRunner::run("/bin/sh", {"-c", "yes | head -c 100000"}, {.outputLimit = 10});
    EXPECT_EQ(result.output, "y\ny\ny\ny\ny\n");
    EXPECT_EQ(result.status, 0);

    result = ToolRunner::run("/bin/sleep", {"30"}, {.timeoutSeconds = 1});
    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.status, 128 + 9);

    result = ToolRunner::run((dir / "missing").string(), {});
    EXPECT_FALSE(result.started);

    auto environment = ToolRunner::environmentWith({"LC_ALL=C", "QUILLBY_NEW=1"});
    EXPECT_EQ(std::count(environment.begin(), environment.end(), "LC_ALL=C"), 1);
    EXPECT_EQ(std::count_if(environment.begin(), environment.end(),
                            [](const std::string& s) { return s.starts_with("LC_ALL="); }),
              1);
    EXPECT_EQ(environment.back(), "QUILLBY_NEW=1");
}

TEST(PackageManagers, ReadTheirToolsOutput) {
    std::set<std::string> paths{"/usr/share/applications/vim.desktop",
                                "/usr/share/applications/a: /b.desktop",
                                "/usr/share/applications/libx.desktop"};
    auto dpkg = DpkgPackageManager::parseSearchOutput(
        "diversion by foo from: /usr/share/applications/vim.desktop\n"
        "vim-common: /usr/share/applications/vim.desktop\n"
        "odd: /usr/share/applications/a: /b.desktop\n"
        "libx:amd64, libx:i386: /usr/share/applications/libx.desktop\n"
        "other: /usr/share/applications/other.desktop\n",
        paths);
    EXPECT_EQ(dpkg, (std::map<std::string, std::string>{
                        {"/usr/share/applications/a: /b.desktop", "odd"},
                        {"/usr/share/applications/libx.desktop", "libx:amd64"},
                        {"/usr/share/applications/vim.desktop", "vim-common"}}));
    EXPECT_EQ(DpkgPackageManager::exactPattern("/a/b*[x]?\\.desktop"),
              "/a/b\\*\\[x]\\?\\\\.desktop");
    EXPECT_EQ(DpkgPackageManager::parseVersions("vim\t2:9.0-1\nbroken\n\tnone\n"),
              (std::map<std::string, std::string>{{"vim", "2:9.0-1"}}));

    auto rpm = RpmPackageManager::parseFileList(
        "/usr/bin/vim\tvim-enhanced\t2:9.0-1.fc39\n"
        "/usr/share/applications/vim.desktop\tvim-enhanced\t2:9.0-1.fc39\n"
        "/usr/share/applications/vim.desktop\tother\t1\n",
        paths);
    ASSERT_EQ(rpm.size(), 1u);
    EXPECT_EQ(rpm["/usr/share/applications/vim.desktop"].name, "vim-enhanced");
    EXPECT_EQ(rpm["/usr/share/applications/vim.desktop"].version, "2:9.0-1.fc39");

    auto pacman = PacmanPackageManager::parseOwners(
        "/usr/share/applications/vim.desktop is owned by gvim 9.0.2-1\n"
        "error: No package owns /usr/share/applications/libx.desktop\n",
        paths);
    ASSERT_EQ(pacman.size(), 1u);
    EXPECT_EQ(pacman["/usr/share/applications/vim.desktop"].name, "gvim");
    EXPECT_EQ(pacman["/usr/share/applications/vim.desktop"].version, "9.0.2-1");
}

TEST(FlatpakAndSnap, ReadTheirToolsOutputAndRefuseOptionLikeNames) {
    auto apps = FlatpakCommand::parseList(
        "Application ID\tVersion\tInstallation\n"
        "org.gimp.GIMP\t2.10.36\tsystem\n"
        "org.gnome.Maps\t\tuser\n"
        "--bad.name\t1\tuser\n");
    ASSERT_EQ(apps.size(), 2u);
    EXPECT_EQ(apps[0].id, "org.gimp.GIMP");
    EXPECT_EQ(apps[0].version, "2.10.36");
    EXPECT_EQ(apps[0].installation, "system");
    EXPECT_EQ(apps[1].version, "");
    EXPECT_FALSE(FlatpakCommand::isApplicationId("-x.y"));
    EXPECT_FALSE(FlatpakCommand::isApplicationId("nodots"));

    auto snaps = SnapCommand::parseList(
        "Name      Version    Rev    Tracking       Publisher   Notes\n"
        "core22    20231123   1033   latest/stable  canonical   base\n"
        "firefox   121.0-1    3600   latest/stable  mozilla     -\n");
    ASSERT_EQ(snaps.size(), 2u);
    EXPECT_EQ(snaps[1].name, "firefox");
    EXPECT_EQ(snaps[1].version, "121.0-1");
    EXPECT_FALSE(SnapCommand::isSnapName("-firefox"));
    EXPECT_TRUE(SnapCommand::isSnapName("firefox_beta"));

    // A name that could pass as an option never reaches the tools.
    TempDir dir;
    PlatformContext context = PlatformContext::underRoot(dir.path());
    std::string why;
    EXPECT_FALSE(FlatpakCommand(context).uninstall("--all", "user", why));
    EXPECT_TRUE(holdsAll(why, "not a Flatpak application ID"));
    EXPECT_FALSE(SnapCommand(context).remove("--purge", why));
    EXPECT_TRUE(holdsAll(why, "not a snap name"));

    EXPECT_EQ(PackageKitService::packageNameOfId("vim;2:9.0;amd64;installed:debian"), "vim");
    EXPECT_TRUE(PackageKitService::idNamesPackage("libx;1;amd64;installed", "libx:amd64"));
    EXPECT_FALSE(PackageKitService::idNamesPackage("libxy;1;amd64;installed", "libx"));
    EXPECT_EQ(PackageKitService::packageVersionOfId("quillby-pro;1:4.1-1;amd64;debian"), "1:4.1-1");
    EXPECT_EQ(PackageKitService::packageVersionOfId("no-fields"), "");
}

// Without a system bus an update question fails at once with its reason.
TEST(PackageKit, WithoutASystemBusTheUpdateQuestionFailsWithItsReason) {
    TempDir dir;
    const char* saved = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    std::string previous = saved ? saved : "";
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + (dir / "no-bus").string()).c_str(), 1);
    PackageKitService packageKit;
    EXPECT_FALSE(packageKit.isRunning());
    PackageUpdateAnswer answer = packageKit.newerVersion("quillby-pro");
    EXPECT_EQ(answer.state, PackageUpdateAnswer::State::Failed);
    EXPECT_EQ(answer.why, "the system bus cannot be reached");
    if (saved) {
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", previous.c_str(), 1);
    } else {
        ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    }
}

TEST(PackageManagers, TheRealDpkgKnowsItsOwnFiles) {
    PlatformContext context = PlatformContext::fromEnvironment();
    auto manager = PackageManagerDetection::detect(context);
    if (!manager || manager->name() != "dpkg") {
        GTEST_SKIP() << "this machine has no dpkg database";
    }
    auto owners = manager->owningPackages({"/usr/bin/dpkg", "/nonexistent/quillby.desktop"});
    ASSERT_EQ(owners.size(), 1u);
    EXPECT_EQ(owners["/usr/bin/dpkg"].name, "dpkg");
    EXPECT_FALSE(owners["/usr/bin/dpkg"].version.empty());
    EXPECT_TRUE(manager->owningPackages({}).empty());
}

TEST(FlatpakAndSnap, TheRealToolsListWhereTheyExist) {
    PlatformContext context = PlatformContext::fromEnvironment();
    bool any = false;
    if (SystemTool::find("flatpak", context)) {
        any = true;
        for (const auto& app : FlatpakCommand(context).installedApps()) {
            EXPECT_TRUE(FlatpakCommand::isApplicationId(app.id)) << app.id;
        }
    }
    if (SystemTool::find("snap", context)) {
        any = true;
        for (const auto& snap : SnapCommand(context).installedSnaps()) {
            EXPECT_TRUE(SnapCommand::isSnapName(snap.name)) << snap.name;
        }
    }
    if (!any) GTEST_SKIP() << "neither flatpak nor snap is installed here";
}

TEST(PackageKit, AnswersWhereTheSystemBusRuns) {
    if (::access("/run/dbus/system_bus_socket", F_OK) != 0 &&
        !std::getenv("DBUS_SYSTEM_BUS_ADDRESS")) {
        GTEST_SKIP() << "no system D-Bus here: PackageKit cannot run";
    }
    PackageKitService service;
    if (!service.isRunning()) GTEST_SKIP() << "PackageKit is not installed on this system bus";
    std::string why;
    // A package that did not install the path is refused before anything is removed; the
    // package does not exist, so even a faulty check could not remove anything.
    EXPECT_FALSE(service.removePackage("quillby-test-no-such-package",
                                       "/nonexistent/quillby-test.desktop", why));
    EXPECT_FALSE(why.empty());
    // An update question about a package that is not installed says so.
    EXPECT_EQ(service.newerVersion("quillby-test-no-such-package").state,
              PackageUpdateAnswer::State::NotInstalled);
}

TEST(FlatpakAndSnap, ReadSizesAndDisabledRevisionsAsTheToolsPrintThem) {
    EXPECT_EQ(FlatpakCommand::parseSize("1.2 GB"), 1200000000u);
    EXPECT_EQ(FlatpakCommand::parseSize("805.3\xC2\xA0MB"), 805300000u);  // GLib's no-break space
    EXPECT_EQ(FlatpakCommand::parseSize("12.5 kB"), 12500u);
    EXPECT_EQ(FlatpakCommand::parseSize("512 bytes"), 512u);
    EXPECT_EQ(FlatpakCommand::parseSize("unknown"), 0u);
    EXPECT_EQ(FlatpakCommand::parseSize("3 parsecs"), 0u);
    auto revisions = SnapCommand::parseDisabled(
        "Name  Version  Rev  Tracking  Publisher  Notes\n"
        "code  1.85     150  latest    vscode**   disabled,classic\n"
        "code  1.86     151  latest    vscode**   classic\n"
        "mine  0.1      x2   -         -          disabled\n"
        "-bad  1        3    -         -          disabled\n");
    ASSERT_EQ(revisions.size(), 2u);
    EXPECT_EQ(revisions[0].name + " " + revisions[0].revision, "code 150");
    EXPECT_EQ(revisions[1].name + " " + revisions[1].revision, "mine x2");
}
