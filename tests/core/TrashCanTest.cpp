// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "core/fs/TrashCan.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;

TEST(TrashCan, MovesItemsWithADescriptionUnderAFreeName) {
    TempDir dir;
    fs::path data = dir / "home/.local/share";
    dir.write("home/.config/app/settings", "mine");
    dir.write("home/.config/other app%/x", "second");
    TrashCan trash(data);
    std::time_t when = 1700000000;

    auto moved = trash.moveToTrash((dir / "home/.config/app").string(), when);
    ASSERT_EQ(moved.outcome, TrashCan::Outcome::Moved);
    EXPECT_EQ(moved.trashedName, "app");
    EXPECT_EQ(TempDir::read(data / "Trash/files/app/settings"), "mine");
    EXPECT_FALSE(fs::exists(dir / "home/.config/app"));
    std::string info = TempDir::read(data / "Trash/info/app.trashinfo");
    EXPECT_EQ(info, TrashCan::trashInfoText((dir / "home/.config/app").string(), when));
    EXPECT_TRUE(info.starts_with("[Trash Info]\nPath=/")) << info;
    EXPECT_NE(info.find("\nDeletionDate=20"), std::string::npos) << info;

    // A second item of the same name gets another one; an odd name is percent-encoded.
    dir.write("home/.config/app/settings", "again");
    EXPECT_EQ(trash.moveToTrash((dir / "home/.config/app").string(), when).trashedName, "app.2");
    EXPECT_EQ(TempDir::read(data / "Trash/files/app.2/settings"), "again");
    ASSERT_EQ(trash.moveToTrash((dir / "home/.config/other app%").string(), when).outcome,
              TrashCan::Outcome::Moved);
    EXPECT_NE(TempDir::read(data / "Trash/info/other app%.trashinfo").find("other%20app%25"),
              std::string::npos);

    EXPECT_EQ(trash.moveToTrash((dir / "home/.config/gone").string()).outcome,
              TrashCan::Outcome::Missing);
    EXPECT_EQ(trash.moveToTrash("relative/path").outcome, TrashCan::Outcome::Failed);
}

TEST(TrashCan, ALinkIsMovedAsItselfAndATrashThatIsALinkIsRefused) {
    TempDir dir, elsewhere;
    elsewhere.write("precious", "keep");
    fs::create_directories(dir / "data");
    fs::create_symlink(elsewhere / "precious", dir / "link");
    TrashCan trash(dir / "data");
    ASSERT_EQ(trash.moveToTrash((dir / "link").string()).outcome, TrashCan::Outcome::Moved);
    EXPECT_TRUE(fs::is_symlink(dir / "data/Trash/files/link"));
    EXPECT_EQ(TempDir::read(elsewhere / "precious"), "keep");

    TempDir planted;
    fs::create_directories(planted / "data");
    fs::create_directory_symlink(elsewhere.path(), planted / "data/Trash");
    planted.write("item", "x");
    auto refused = TrashCan(planted / "data").moveToTrash((planted / "item").string());
    EXPECT_EQ(refused.outcome, TrashCan::Outcome::Failed);
    EXPECT_TRUE(fs::exists(planted / "item"));
    EXPECT_FALSE(fs::exists(elsewhere / "files"));
}

TEST(TrashCan, NeverOverwritesADescriptionNorMovesAnItemWithoutOne) {
    TempDir dir;
    fs::path data = dir / "data";
    // A description whose item is gone (put back by hand, say) still claims its name.
    dir.write("data/Trash/info/item.trashinfo", "[Trash Info]\nPath=/elsewhere\n");
    dir.write("item", "x");
    auto moved = TrashCan(data).moveToTrash((dir / "item").string());
    ASSERT_EQ(moved.outcome, TrashCan::Outcome::Moved);
    EXPECT_EQ(moved.trashedName, "item.2");
    EXPECT_EQ(TempDir::read(data / "Trash/info/item.trashinfo"), "[Trash Info]\nPath=/elsewhere\n");

    // A description that cannot be written (no room for it): the item stays where it was.
    dir.write("second", "y");
    int status = inChildWithFileSizeLimit(0, [&] {
        auto result = TrashCan(data).moveToTrash((dir / "second").string());
        return result.outcome == TrashCan::Outcome::Failed;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(TempDir::read(dir / "second"), "y");
    EXPECT_FALSE(fs::exists(data / "Trash/files/second"));
    EXPECT_FALSE(fs::exists(data / "Trash/info/second.trashinfo"));
}
