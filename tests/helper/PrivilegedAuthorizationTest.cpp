// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "core/events/Log.h"
#include "core/work/PrivilegedAuthorization.h"
#include "platform/linux/LinuxHelperLauncher.h"
#include "support/ScriptedHelper.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// Starts the real helper directly (no pkexec) and counts the starts.
class CountingLauncher : public PrivilegedHelperLauncher {
  public:
    explicit CountingLauncher(LinuxHelperLauncher::Options options) : real_(std::move(options)) {}
    std::unique_ptr<PrivilegedHelperSession> launch(int& status) override {
        ++launches;
        return real_.launch(status);
    }
    std::atomic<int> launches{0};

  private:
    LinuxHelperLauncher real_;
};

LinuxHelperLauncher::Options direct() {
    return {.helperPath = QUILLBY_HELPER_PATH, .throughPkexec = false};
}

}  // namespace

TEST(PrivilegedAuthorization, AcquiredOnceUsedAndFreed) {
    TempDir dir;
    dir.write("victim/file", "x");
    auto launcher = std::make_shared<CountingLauncher>(direct());
    PrivilegedAuthorization authorization(launcher);

    EXPECT_FALSE(authorization.getAuthorizationRet());
    EXPECT_FALSE(authorization.removeItem(dir / "victim"));  // nothing held: nothing runs
    EXPECT_EQ(launcher->launches, 0);
    EXPECT_TRUE(fs::exists(dir / "victim"));

    EXPECT_TRUE(authorization.allocAuthorization());
    EXPECT_TRUE(authorization.allocAuthorization());
    EXPECT_EQ(launcher->launches, 1);
    EXPECT_TRUE(authorization.isValidAuth());
    EXPECT_TRUE(authorization.getAuthorizationRet());

    // The helper's refusal reaches the caller as a failure.
    EXPECT_FALSE(authorization.cleanCategoryItem("clean-system-logs", dir / "victim/file"));
    EXPECT_TRUE(fs::exists(dir / "victim/file"));
    EXPECT_TRUE(authorization.removeItem(dir / "victim"));
    EXPECT_FALSE(fs::exists(dir / "victim"));

    EXPECT_TRUE(authorization.freeAuthorization());
    EXPECT_FALSE(authorization.getAuthorizationRet());
    EXPECT_FALSE(authorization.removeItem(dir / "victim"));
    EXPECT_TRUE(authorization.allocAuthorization());
    EXPECT_EQ(launcher->launches, 2);
}

TEST(PrivilegedAuthorization, ThroughAnInjectedPkexecStep) {
    TempDir dir;
    fs::path pkexec =
        dir.writeExecutable("fake-pkexec", "#!/bin/sh\necho \"$@\" > \"$0.args\"\nexec \"$@\"\n");
    dir.write("victim", "x");
    PrivilegedAuthorization authorization(std::make_shared<LinuxHelperLauncher>(
        LinuxHelperLauncher::Options{.helperPath = QUILLBY_HELPER_PATH,
                                     .throughPkexec = true,
                                     .pkexecPath = pkexec.string()}));
    ASSERT_TRUE(authorization.allocAuthorization());
    EXPECT_EQ(TempDir::read(dir / "fake-pkexec.args"),
              std::string(QUILLBY_HELPER_PATH) + " serve\n");
    EXPECT_TRUE(authorization.removeItem(dir / "victim"));
    EXPECT_FALSE(fs::exists(dir / "victim"));
}

TEST(PrivilegedAuthorization, RefusedOrFailedStartsAreReported) {
    std::vector<std::string> logged;
    ScopedLogCapture capture([&](std::string_view line) { logged.emplace_back(line); });

    PrivilegedAuthorization missing(
        std::make_shared<LinuxHelperLauncher>(LinuxHelperLauncher::Options{
            .helperPath = "/nonexistent/quillby-helper", .throughPkexec = false}));
    EXPECT_FALSE(missing.allocAuthorization());
    EXPECT_FALSE(missing.isValidAuth());

    // pkexec ends with 126 when the user dismisses the dialog, before the helper ever answers.
    TempDir dir;
    fs::path refusing = dir.writeExecutable("refusing-pkexec", "#!/bin/sh\nexit 126\n");
    PrivilegedAuthorization refused(std::make_shared<LinuxHelperLauncher>(
        LinuxHelperLauncher::Options{.helperPath = QUILLBY_HELPER_PATH,
                                     .throughPkexec = true,
                                     .pkexecPath = refusing.string()}));
    EXPECT_FALSE(refused.allocAuthorization());
    EXPECT_FALSE(refused.getAuthorizationRet());

    auto has = [&](const std::string& text) {
        return std::any_of(logged.begin(), logged.end(),
                           [&](const std::string& line) { return line == text; });
    };
    EXPECT_TRUE(has("Copy Rights Unsuccessful: 126"));
    EXPECT_TRUE(std::any_of(logged.begin(), logged.end(), [](const std::string& line) {
        return line.starts_with("Error Creating Initial Authorization: ");
    }));
}

TEST(PrivilegedAuthorization, AnyWordFromTheRemovalIsAFailure) {
    ScriptedSession session("error removed, but it said something");
    PrivilegedAuthorization authorization(std::make_shared<ScriptedLauncher>(&session));
    ASSERT_TRUE(authorization.allocAuthorization());
    EXPECT_FALSE(authorization.removeItem("/var/tmp/x"));
    EXPECT_FALSE(authorization.removeItem("/"));
    ASSERT_EQ(session.requests.size(), 2u);  // "/" never reaches the helper
    EXPECT_EQ(session.requests[1], "remove /var/tmp/x");
}

TEST(LinuxHelperLauncher, FindsTheInstalledHelperBesideTheProgram) {
    TempDir dir;
    PlatformContext context = PlatformContext::underRoot(dir.path());
    fs::path helper = dir.writeExecutable("usr/libexec/quillby-helper", "#!/bin/sh\n");
    fs::create_directories(context.procRoot / "self");
    fs::create_symlink(dir / "usr/bin/quillby", context.procRoot / "self/exe");
    EXPECT_EQ(LinuxHelperLauncher::findHelper(context), helper.string());
    fs::remove(helper);
    EXPECT_EQ(LinuxHelperLauncher::findHelper(context),
              fs::path(QUILLBY_HELPER_PATH).lexically_normal());
}
