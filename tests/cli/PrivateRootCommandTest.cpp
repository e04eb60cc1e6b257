// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/ChildProcess.h"
#include "support/PrivateRoot.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

// The real quillby, as root, on a machine of the test's own: what deletes never reaches the
// system's files however the search reaches them.
TEST(PrivateRootCommand, DupesDeleteFromTheRootKeepsEverySystemFileAndRemovesTheUsersCopy) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: for a private root";
    TempDir dir;
    fs::create_directories(dir / "root");
    int status = inPrivateMountNamespace([&] {
        PrivateRoot root(dir / "root");
        if (!root.ready() || !root.addProgram(QUILLBY_CLI_PATH)) return false;
        const char* systemCopies[] = {"/etc/passwd",       "/etc/passwd.copy", "/boot/vmlinuz",
                                      "/boot/vmlinuz.old", "/usr/bin/tool",    "/usr/bin/tool2"};
        for (const char* file : systemCopies) root.write(file, "the same system bytes");
        root.write("/home/u/a.txt", "the user's own copy");
        root.write("/home/u/b.txt", "the user's own copy");
        auto result = root.run(QUILLBY_CLI_PATH,
                               {"dupes", "/proc/self/root", "--min-size", "1", "--delete", "--yes"},
                               {{"HOME", "/home/u"}});
        bool kept = true;
        for (const char* file : systemCopies) {
            if (!fs::exists(root.outside(file))) {
                ADD_FAILURE() << file << " was removed:\n" << result.out << result.err;
                kept = false;
            }
        }
        int userCopies =
            fs::exists(root.outside("/home/u/a.txt")) + fs::exists(root.outside("/home/u/b.txt"));
        EXPECT_EQ(userCopies, 1) << result.out << result.err;
        return kept && userCopies == 1 && result.status < 128;
    });
    if (status == kNoMountNamespace) GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(status, 0);
}
