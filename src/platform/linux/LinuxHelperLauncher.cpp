// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxHelperLauncher.h"

#include <spawn.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <filesystem>
#include <vector>

#include "platform/linux/LinuxHelperSession.h"

extern char** environ;

namespace quillby {

namespace fs = std::filesystem;

LinuxHelperLauncher::LinuxHelperLauncher(Options options) : options_(std::move(options)) {}

std::shared_ptr<LinuxHelperLauncher> LinuxHelperLauncher::forContext(
    const PlatformContext& context) {
    return std::make_shared<LinuxHelperLauncher>(
        Options{.helperPath = findHelper(context), .throughPkexec = ::geteuid() != 0});
}

std::string LinuxHelperLauncher::findHelper(const PlatformContext& context) {
    std::vector<fs::path> candidates;
    std::error_code error;
    fs::path self = fs::read_symlink(context.procRoot / "self/exe", error);
    if (!error) {
        fs::path libexec = QUILLBY_LIBEXEC_DIR;
        candidates.push_back(
            (libexec.is_absolute() ? libexec : self.parent_path().parent_path() / libexec) /
            "quillby-helper");
        // Run from a build folder: src/helper beside src/cli and src/app.
        candidates.push_back(self.parent_path().parent_path() / "helper" / "quillby-helper");
    }
    if (*QUILLBY_HELPER_BUILD_PATH) candidates.emplace_back(QUILLBY_HELPER_BUILD_PATH);
    for (const auto& candidate : candidates) {
        if (::access(candidate.c_str(), X_OK) == 0) return candidate.lexically_normal().string();
    }
    return "";
}

std::unique_ptr<PrivilegedHelperSession> LinuxHelperLauncher::launch(int& status) {
    if (options_.helperPath.empty()) {
        status = ENOENT;
        return nullptr;
    }
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        status = errno;
        return nullptr;
    }
    std::vector<std::string> arguments;
    if (options_.throughPkexec) arguments.push_back(options_.pkexecPath);
    arguments.push_back(options_.helperPath);
    arguments.push_back("serve");
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 0);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
    pid_t pid = -1;
    int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    if (spawned != 0) {
        ::close(ends[0]);
        status = spawned;
        return nullptr;
    }
    status = 0;
    return std::make_unique<LinuxHelperSession>(pid, ends[0]);
}

}  // namespace quillby
