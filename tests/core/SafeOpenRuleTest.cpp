// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/fs/SafeOpenRule.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;

// Only a plain document may go to its default application; everything that could run is
// revealed instead, whatever its mode, name or link says.
TEST(SafeOpenRule, OpensOnlyPlainDocumentsAndRevealsWhatCouldRun) {
    TempDir dir;
    fs::create_directories(dir / "folder");
    auto plain = dir.write("notes.txt", "just text\n");
    auto picture = dir.write("photo.png", std::string("\x89PNG\r\n", 6));
    auto executable = dir.writeExecutable("tool", "binary");
    auto script = dir.write("setup", "#!/bin/sh\necho hi\n");  // not executable, still a script
    auto elf = dir.write("program", std::string("\x7f"
                                                "ELF\x02\x01",
                                                6));
    auto entry = dir.write("start.desktop", "[Desktop Entry]\nType=Application\nExec=true\n");
    auto shell = dir.write("Run.SH", "echo hi\n");
    ::mkfifo((dir / "pipe").c_str(), 0600);
    fs::create_symlink(script, dir / "harmless.txt");
    fs::create_symlink(plain, dir / "launcher.desktop");
    fs::create_symlink(dir / "nowhere", dir / "dangling");

    EXPECT_EQ(safeOpenAction((dir / "folder").string()), OpenAction::ShowFolder);
    EXPECT_EQ(safeOpenAction(plain.string()), OpenAction::OpenWithDefault);
    EXPECT_EQ(safeOpenAction(picture.string()), OpenAction::OpenWithDefault);
    for (const fs::path& runnable :
         {executable, script, elf, entry, shell, dir / "pipe", dir / "harmless.txt",
          dir / "launcher.desktop", dir / "dangling", dir / "missing.txt"}) {
        EXPECT_EQ(safeOpenAction(runnable.string()), OpenAction::Reveal) << runnable;
    }
}
