// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "uninstall/UninstallAppDelegate.h"
#include "uninstall/UninstallAppInfo.h"
#include "uninstall/UninstallFixtures.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

std::vector<std::string> walk(const fs::path& folder, const char* extension = "desktop") {
    std::vector<std::string> paths;
    UninstallAppDelegate::applicationsInDirectory(folder, &paths, extension);
    std::sort(paths.begin(), paths.end());
    return paths;
}

const AppItems* byId(const std::vector<AppItems>& apps, const std::string& id) {
    for (const auto& app : apps) {
        if (app.bundleID == id) return &app;
    }
    return nullptr;
}

const AppItems* byPath(const std::vector<AppItems>& apps, const fs::path& path) {
    for (const auto& app : apps) {
        if (app.path == path.string()) return &app;
    }
    return nullptr;
}

}  // namespace

TEST(BundleWalk, EntersFoldersButNotBundlesAndFollowsLinksWithoutLooping) {
    UninstallMachine machine;
    fs::path apps = machine.systemApplications();
    fs::path chess = machine.writeEntry(apps / "Games/Chess.desktop", "Chess");
    fs::path inner = machine.writeEntry(apps / "Tool.DESKTOP/Inner.desktop", "Inner");
    machine.writeEntry(apps / "Bundle.desktop/Nested.desktop", "Nested");  // a folder: not entered
    fs::path top = machine.writeEntry(apps / "top.desktop", "Top");
    machine.writeFile(apps / "notes.txt");
    machine.writeFile(apps / ".desktop");                     // no extension: a hidden file's name
    fs::create_directory_symlink(apps, apps / "Games/loop");  // back up the route: skipped
    fs::create_directory_symlink(apps / "Games", apps / "alias");  // a second route
    fs::create_symlink(apps / "missing.desktop", apps / "dangling.desktop");

    auto found = walk(apps);
    std::vector<std::string> expected{chess.string(), (apps / "alias/Chess.desktop").string(),
                                      inner.string(), top.string()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);

    EXPECT_TRUE(walk(machine.root / "never-there").empty());
    std::vector<std::string>* none = nullptr;
    UninstallAppDelegate::applicationsInDirectory(apps, none, "desktop");  // no crash
}

TEST(BundleWalk, AnUnreadableFolderAddsNothingAndStopsNothing) {
    UninstallMachine machine;
    fs::path apps = machine.systemApplications();
    fs::path open = machine.writeEntry(apps / "open/Visible.desktop", "Visible");
    machine.writeEntry(apps / "closed/Secret.desktop", "Secret");
    handToOrdinaryUser(apps, machine.root.path());
    fs::permissions(apps / "closed", fs::perms::none);  // not even its owner may read it
    bool onlyVisible =
        asOrdinaryUser([&] { return walk(apps) == std::vector<std::string>{open.string()}; });
    EXPECT_TRUE(onlyVisible);
}

TEST(Discovery, ListsWhatTheDesktopListsWithUserEntriesFirstInRank) {
    UninstallMachine machine;
    fs::path system = machine.systemApplications();
    fs::path local = machine.context().xdgDataDirs.front() / "applications";
    fs::path user = machine.userApplications();
    machine.writeEntry(system / "editor.desktop", "System Editor");
    fs::path userEditor = machine.writeEntry(user / "editor.desktop", "My Editor");
    machine.writeEntry(system / "viewer.desktop", "Old Viewer");
    fs::path localViewer = machine.writeEntry(local / "viewer.desktop", "New Viewer");
    machine.writeEntry(system / "gone.desktop", "Gone");
    machine.writeEntry(user / "gone.desktop", "Gone", "Hidden=true\n");  // the user deleted it
    machine.writeEntry(system / "helper.desktop", "Helper", "NoDisplay=true\n");
    machine.writeEntry(system / "link.desktop", "Link", "Type=Link\nURL=https://example.com\n");
    machine.writeFile(system / "broken.desktop", "Name=no group\n");
    fs::path games = machine.writeEntry(system / "Games/chess.desktop", "Chess",
                                        "Name[de]=Schach\nName[de_CH]=Schach (CH)\n"
                                        "Icon=chess-game\n");

    machine.backends.context.messagesLocale = "de_DE.UTF-8";
    std::vector<AppItems> apps = UninstallAppInfo(machine.backends).allAppsInfo();

    ASSERT_EQ(apps.size(), 3u);
    const AppItems* editor = byId(apps, "editor");
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->path, userEditor.string());
    EXPECT_EQ(editor->name, "My Editor");
    EXPECT_EQ(editor->source, AppSource::UserEntry);
    const AppItems* viewer = byId(apps, "viewer");
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->path, localViewer.string());  // the first data folder wins
    const AppItems* chess = byId(apps, "Games-chess");
    ASSERT_TRUE(chess);
    EXPECT_EQ(chess->path, games.string());
    EXPECT_EQ(chess->name, "Schach");
    EXPECT_EQ(chess->image, "chess-game");
    for (const char* unlisted : {"gone", "helper", "link", "broken"}) {
        EXPECT_FALSE(byId(apps, unlisted)) << unlisted;
    }
    // System folders are searched before the user's.
    EXPECT_EQ(apps.back().path, userEditor.string());

    machine.backends.context.messagesLocale = "";
    apps = UninstallAppInfo(machine.backends).allAppsInfo();
    EXPECT_EQ(byId(apps, "Games-chess")->name, "Chess");
}

TEST(Discovery, SystemApplicationsAreThoseThePackageManagerInstalled) {
    UninstallMachine machine;
    fs::path system = machine.systemApplications();
    fs::path vim = machine.writeEntry(system / "vim.desktop", "Vim");
    fs::path own = machine.writeEntry(system / "mine.desktop", "Built Here");
    fs::path user = machine.writeEntry(machine.userApplications() / "notes.desktop", "Notes",
                                       "X-AppImage-Version=1.2\n");
    machine.packages->owners[vim.string()] = {"vim-common", "2:9.0.1378-2"};
    // A package claiming a user's file changes nothing: only system folders are asked about.
    machine.packages->owners[user.string()] = {"impostor", "1"};

    auto apps = UninstallAppInfo(machine.backends).allAppsInfo();
    ASSERT_EQ(apps.size(), 3u);
    EXPECT_EQ(machine.packages->queries, 1);
    const AppItems* packaged = byPath(apps, vim);
    EXPECT_TRUE(packaged->isSystemApp);
    EXPECT_EQ(packaged->isSystemAppStr, "YES");
    EXPECT_EQ(packaged->source, AppSource::Package);
    EXPECT_EQ(packaged->removalUnit, "vim-common");
    EXPECT_EQ(packaged->bundleVersion, "2:9.0.1378-2");
    const AppItems* local = byPath(apps, own);
    EXPECT_FALSE(local->isSystemApp);
    EXPECT_EQ(local->isSystemAppStr, "NO");
    EXPECT_EQ(local->source, AppSource::LocalEntry);
    EXPECT_FALSE(local->bundleVersion);
    const AppItems* notes = byPath(apps, user);
    EXPECT_FALSE(notes->isSystemApp);
    EXPECT_EQ(notes->source, AppSource::UserEntry);
    EXPECT_EQ(notes->bundleVersion, "1.2");

    machine.backends.packageManager = nullptr;  // no package manager: nothing is the system's
    apps = UninstallAppInfo(machine.backends).allAppsInfo();
    EXPECT_FALSE(byPath(apps, vim)->isSystemApp);
}

TEST(Discovery, FlatpaksSnapsAndAppImages) {
    UninstallMachine machine;
    fs::path systemExports = machine.context().varRoot / "lib/flatpak/exports/share/applications";
    fs::path userExports = machine.context().xdgDataHome / "flatpak/exports/share/applications";
    fs::path snaps = machine.context().varRoot / "lib/snapd/desktop/applications";
    fs::path gimp = machine.writeEntry(systemExports / "org.gimp.GIMP.desktop", "GIMP",
                                       "X-Flatpak=org.gimp.GIMP\n");
    fs::path maps = machine.writeEntry(userExports / "org.gnome.Maps.desktop", "Maps");
    fs::path firefox = machine.writeEntry(snaps / "firefox_firefox.desktop", "Firefox",
                                          "X-SnapInstanceName=firefox\n");
    fs::path tool = machine.writeFile(machine.home() / "Applications/Tools/Tool-2.1.AppImage");
    machine.writeFile(machine.home() / "Applications/lower.appimage");
    fs::path bin = machine.writeFile(machine.home() / ".local/bin/Editor.AppImage");
    machine.flatpak->apps = {{"org.gimp.GIMP", "2.10.36", "system"},
                             {"org.gnome.Maps", "45.1", "system"}};
    machine.snap->snaps = {{"firefox", "121.0"}};

    auto apps = UninstallAppInfo(machine.backends).allAppsInfo();
    ASSERT_EQ(apps.size(), 5u);
    // Flatpak's exports come first, the user's before the system's; snapd's follow.
    EXPECT_EQ(apps[0].path, maps.string());
    EXPECT_EQ(apps[1].path, gimp.string());
    EXPECT_EQ(apps[2].path, firefox.string());

    EXPECT_EQ(apps[1].source, AppSource::Flatpak);
    EXPECT_EQ(apps[1].removalUnit, "org.gimp.GIMP");
    EXPECT_EQ(apps[1].installation, "system");
    EXPECT_EQ(apps[1].bundleVersion, "2.10.36");
    EXPECT_FALSE(apps[1].isSystemApp);
    EXPECT_EQ(apps[0].installation, "user");
    EXPECT_FALSE(apps[0].bundleVersion);  // installed in the other installation only

    EXPECT_EQ(apps[2].source, AppSource::Snap);
    EXPECT_EQ(apps[2].bundleID, "firefox_firefox");
    EXPECT_EQ(apps[2].removalUnit, "firefox");
    EXPECT_EQ(apps[2].bundleVersion, "121.0");

    EXPECT_EQ(apps[3].path, tool.string());
    EXPECT_EQ(apps[3].name, "Tool-2.1");
    EXPECT_EQ(apps[3].source, AppSource::AppImage);
    EXPECT_FALSE(apps[3].bundleID);
    EXPECT_EQ(apps[4].path, bin.string());
}
