// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include "CleanFixture.h"
#include "clean/CleanCategory.h"
#include "clean/VolumeListInternalVolumes.h"
#include "core/events/Log.h"
#include "monitor/FakeVolumes.h"
#include "support/TempDir.h"
#include "support/TestPlatform.h"

using namespace quillby;

namespace fs = std::filesystem;

using Paths = std::vector<fs::path>;

TEST(CategoryFolders, EveryCategoryOnAFixtureMachine) {
    CleanFixture machine;
    CategoryFolders folders = machine.folders();
    std::string uid = std::to_string(machine.platform.context().uid);
    fs::path home = machine / "home";
    // Only the package caches that exist.
    EXPECT_EQ(folders.getFolderPath(0),
              (Paths{machine / "var/cache/apt/archives", machine / "var/cache/dnf"}));
    EXPECT_EQ(folders.getFolderPath(1), Paths{home / ".cache"});
    EXPECT_EQ(folders.getFolderPath(2), Paths{machine / "var/log"});
    EXPECT_EQ(folders.getFolderPath(3),
              (Paths{home / ".local/state", home, home / ".local/share/xorg"}));
    // The root volume's trash is the home trash; a shared trash counts only when sticky.
    EXPECT_EQ(folders.getFolderPath(4),
              (Paths{home / ".local/share/Trash/files", machine / ("vol1/.Trash-" + uid + "/files"),
                     machine / ("vol2/.Trash/" + uid + "/files"),
                     machine / ("vol2/.Trash-" + uid + "/files"),
                     machine / ("vol3/.Trash-" + uid + "/files")}));
    EXPECT_EQ(folders.getFolderPath(5), Paths{home / "Downloads"});
    EXPECT_TRUE(folders.getFolderPath(6).empty());
    EXPECT_TRUE(folders.getFolderPath(-1).empty());

    // Without another volume only the home trash is left.
    EXPECT_EQ(CategoryFolders(machine.platform.context(), std::make_shared<FakeVolumes>(Paths{"/"}))
                  .getFolderPath(4),
              Paths{home / ".local/share/Trash/files"});
    EXPECT_EQ(CategoryFolders(machine.platform.context(), nullptr).getFolderPath(4).size(), 1u);
}

TEST(CategoryFolders, TrashVolumesAreTheVolumeModelsLocalStorage) {
    auto source = std::make_shared<FakeVolumeSource>();
    auto volume = [](std::string root, auto flag) {
        VolumeFacts facts;
        facts.rootPath = std::move(root);
        facts.totalBytes = 1000000;
        if (flag) facts.*flag = true;
        return facts;
    };
    bool VolumeFacts::*none = nullptr;
    source->set({volume("/", none), volume("/media/stick", &VolumeFacts::externalBus),
                 volume("/mnt/data", none), volume("/mnt/share", &VolumeFacts::network),
                 volume("/media/cdrom", &VolumeFacts::optical),
                 volume("/mnt/image", &VolumeFacts::removable)});
    EXPECT_EQ(VolumeListInternalVolumes(source).internalVolumeRoots(), (Paths{"/", "/mnt/data"}));
}

TEST(CategoryFolders, ASharedTrashThatIsALinkIsNotUsed) {
    CleanFixture machine;
    std::string uid = std::to_string(machine.platform.context().uid);
    fs::remove_all(machine / "vol2/.Trash");
    machine.platform.root().write("elsewhere/" + uid + "/files/x", "x");
    fs::permissions(machine / "elsewhere", fs::perms::all | fs::perms::sticky_bit);
    fs::create_directory_symlink(machine / "elsewhere", machine / "vol2/.Trash");
    for (const auto& path : machine.folders().getFolderPath(4)) {
        EXPECT_EQ(path.string().find("/.Trash/"), std::string::npos) << path;
    }
}

TEST(CategoryFolders, UserDirsAndEnvironmentFoldersCountOnlyInsideTheHome) {
    TestPlatform platform;
    CategoryFolders folders(platform.context(), nullptr);
    fs::path home = platform.context().home;
    auto dirs = [&](const std::string& line) {
        platform.root().write("home/.config/user-dirs.dirs",
                              "# written by xdg-user-dirs-update\n" + line + "\n");
    };
    dirs("XDG_DOWNLOAD_DIR=\"$HOME/Téléchargements\"");
    EXPECT_EQ(folders.getFolderPath(5), Paths{home / "Téléchargements"});
    // A folder outside the home may be shared with others: the default is used instead.
    dirs("XDG_DOWNLOAD_DIR=\"" + (platform.root() / "data/dl").string() + "\"");
    EXPECT_EQ(folders.getFolderPath(5), Paths{home / "Downloads"});
    // Set to the home folder, the download folder is turned off: the home must never be emptied.
    dirs("XDG_DOWNLOAD_DIR=\"$HOME/\"");
    EXPECT_TRUE(folders.getFolderPath(5).empty());
    dirs("XDG_DOWNLOAD_DIR=\"$HOME\"");
    EXPECT_TRUE(folders.getFolderPath(5).empty());

    // Folders from the environment outside the home give way to the defaults.
    PlatformContext context = platform.context();
    context.xdgCacheHome = home;                // the home itself
    context.xdgStateHome = home.parent_path();  // above it
    context.xdgDataHome = platform.root() / "shared";
    CategoryFolders fromEnvironment(context, nullptr);
    EXPECT_EQ(fromEnvironment.getFolderPath(1), Paths{home / ".cache"});
    EXPECT_EQ(fromEnvironment.getFolderPath(3),
              (Paths{home / ".local/state", home, home / ".local/share/xorg"}));
    EXPECT_EQ(fromEnvironment.getFolderPath(4), Paths{home / ".local/share/Trash/files"});
    context.xdgCacheHome = home / "../other/.cache";
    EXPECT_EQ(CategoryFolders(context, nullptr).getFolderPath(1), Paths{home / ".cache"});
    context.xdgCacheHome = home / "my-cache/./";
    EXPECT_EQ(CategoryFolders(context, nullptr).getFolderPath(1), Paths{home / "my-cache"});
}

TEST(CategoryFolders, AFolderInsideTheHomeCountsOnlyWhenTheUserOwnsIt) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: to give a folder to another user";
    TestPlatform platform;
    PlatformContext context = platform.context();
    fs::path borrowed = platform.root().write("home/shared-cache/x", "x").parent_path();
    ASSERT_EQ(::chown(borrowed.c_str(), 65534, 65534), 0);
    context.xdgCacheHome = borrowed;
    EXPECT_EQ(CategoryFolders(context, nullptr).getFolderPath(1), Paths{context.home / ".cache"});
}

// Root with another user's HOME (as sudo -E leaves it): the user categories give nothing and
// say why; the system categories stay.
TEST(CategoryFolders, TheHomeOfAnotherUserGivesTheUserCategoriesNothing) {
    CleanFixture machine;
    PlatformContext context = machine.platform.context();
    uid_t owner = context.uid;
    context.uid += 1;
    std::vector<std::string> lines;
    ScopedLogCapture capture([&](std::string_view line) { lines.emplace_back(line); });
    CategoryFolders folders(context, nullptr);
    for (int id : {CleanCategoryId::UserCaches, CleanCategoryId::UserLogs,
                   CleanCategoryId::UserTrash, CleanCategoryId::UserDownloads}) {
        EXPECT_TRUE(folders.getFolderPath(id).empty()) << id;
    }
    EXPECT_EQ(folders.getFolderPath(CleanCategoryId::SystemLogs), Paths{machine / "var/log"});
    std::string message = "The home folder " + context.home.string() +
                          " belongs to another user (uid " + std::to_string(owner) +
                          "); run Quillby Pro as that user to clean it.";
    EXPECT_NE(std::find(lines.begin(), lines.end(), message), lines.end());
}
