// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "helper/PackageRemoval.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

constexpr const char* kNoPackage = "quillby-test-no-such-package";

// Stand-in package tools: "list" prints the files of package "editor", "remove" records what
// it was asked to remove and fails for "stubborn".
struct FakeTools {
    TempDir dir;
    PackageTools tools;
    FakeTools() {
        fs::path list = dir.write(
            "list",
            "#!/bin/sh\n"
            "case \"$1\" in\n"
            "  editor|stubborn) printf '/usr/share/applications/editor.desktop\\n/usr/bin/"
            "editor\\n' ;;\n"
            "  *) echo \"package $1 is not installed\" >&2; exit 1 ;;\n"
            "esac\n");
        fs::path remove = dir.write("remove",
                                    "#!/bin/sh\n"
                                    "echo \"$@\" >> \"$(dirname \"$0\")/removed\"\n"
                                    "[ \"$1\" = stubborn ] && { echo 'dependency problems' >&2; "
                                    "exit 2; }\n"
                                    "exit 0\n");
        fs::permissions(list, fs::perms::owner_all);
        fs::permissions(remove, fs::perms::owner_all);
        tools = {"fake", {list.string()}, {remove.string()}, {"PATH=/usr/bin:/bin"}};
    }
    std::string removed() const {
        return fs::exists(dir / "removed") ? TempDir::read(dir / "removed") : "";
    }
};

}  // namespace

TEST(PackageRemoval, RemovesOnlyThePackageThatInstalledTheEntry) {
    FakeTools fake;
    auto answer = [&](const std::string& argument) {
        return PackageRemoval::removeOwningPackage(argument, fake.tools);
    };
    EXPECT_EQ(answer("editor /usr/share/applications/editor.desktop"), "ok");
    EXPECT_EQ(fake.removed(), "editor\n");

    EXPECT_EQ(answer("viewer /usr/share/applications/editor.desktop"),
              "error viewer did not install /usr/share/applications/editor.desktop");
    EXPECT_EQ(answer("editor /usr/share/applications/viewer.desktop"),
              "error editor did not install /usr/share/applications/viewer.desktop");
    // Only application entries: a package is never removed for any other file it installed.
    EXPECT_EQ(answer("editor /usr/bin/editor"), "error not the path of an application entry");
    EXPECT_EQ(answer("editor /usr/share/applications/../applications/editor.desktop"),
              "error not the path of an application entry");
    EXPECT_EQ(answer("-editor /usr/share/applications/editor.desktop"), "error not a package name");
    EXPECT_EQ(answer("editor;rm /usr/share/applications/editor.desktop"),
              "error not a package name");
    EXPECT_EQ(answer("editor"), "error expected a package name and an entry's path");
    EXPECT_EQ(PackageRemoval::removeOwningPackage("editor /usr/share/applications/editor.desktop",
                                                  std::nullopt),
              "error no package manager found");
    EXPECT_EQ(fake.removed(), "editor\n");  // none of those reached the removal

    EXPECT_EQ(answer("stubborn /usr/share/applications/editor.desktop"),
              "error fake did not remove stubborn: dependency problems");
}

TEST(PackageRemoval, TheHelperRefusesAPackageThatDidNotInstallTheEntry) {
    // The real package manager is only asked which files a package installed. The package does
    // not exist, so even a faulty check could not remove anything.
    std::string request = std::string("remove-package") + '\0' + kNoPackage +
                          " /usr/share/applications/quillby-test-none.desktop" + '\0';
    ProcessResult result = runProcess(QUILLBY_HELPER_PATH, {"serve"}, {}, request);
    EXPECT_EQ(result.status, 0);
    if (!PackageRemoval::systemTools()) {
        EXPECT_EQ(result.out, "error no package manager found\n");
        return;
    }
    EXPECT_EQ(result.out,
              std::string("error ") + kNoPackage +
                  " did not install /usr/share/applications/quillby-test-none.desktop\n");
}
