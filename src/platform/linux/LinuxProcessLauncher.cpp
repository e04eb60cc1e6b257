// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxProcessLauncher.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/events/Log.h"

extern char** environ;

namespace quillby {

namespace fs = std::filesystem;

namespace {

int statusOf(int waitStatus) {
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
}

pid_t spawn(const std::string& program, const std::vector<std::string>& arguments,
            const std::string& workingFolder = {}) {
    std::vector<std::string> texts{program};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& text : texts) argv.push_back(text.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    int log = logDescriptor();
    if (log >= 0 && log != STDERR_FILENO) {
        posix_spawn_file_actions_adddup2(&actions, log, STDERR_FILENO);
    }
    if (!workingFolder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    }
    pid_t pid = -1;
    int error = ::posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        QWLog("Cannot start %s: %s", program.c_str(), std::strerror(error));
        return -1;
    }
    return pid;
}

class LinuxLaunchedProcess final : public LaunchedProcess {
  public:
    explicit LinuxLaunchedProcess(pid_t pid) : pid_(pid) {}
    ~LinuxLaunchedProcess() override {
        // Never leave a zombie behind; a still running child is adopted by init when we end.
        if (status_ < 0) ::waitpid(pid_, nullptr, WNOHANG);
    }

    bool isRunning() override {
        if (status_ >= 0) return false;
        int waitStatus = 0;
        pid_t done = ::waitpid(pid_, &waitStatus, WNOHANG);
        if (done == pid_) {
            status_ = statusOf(waitStatus);
            return false;
        }
        if (done < 0 && errno == ECHILD) {
            status_ = 127;  // reaped elsewhere; nothing more can be known
            return false;
        }
        return true;
    }
    int terminationStatus() override { return isRunning() ? -1 : status_; }
    void terminate() override {
        if (isRunning()) ::kill(pid_, SIGTERM);
    }

  private:
    pid_t pid_;
    int status_ = -1;
};

}  // namespace

std::unique_ptr<LaunchedProcess> LinuxProcessLauncher::launch(
    const std::string& program, const std::vector<std::string>& arguments) {
    pid_t pid = spawn(program, arguments);
    if (pid < 0) return nullptr;
    return std::make_unique<LinuxLaunchedProcess>(pid);
}

std::unique_ptr<LaunchedProcess> LinuxProcessLauncher::launchIn(
    const std::string& workingFolder, const std::string& program,
    const std::vector<std::string>& arguments) {
    pid_t pid = spawn(program, arguments, workingFolder);
    if (pid < 0) return nullptr;
    return std::make_unique<LinuxLaunchedProcess>(pid);
}

int LinuxProcessLauncher::runAndWait(const std::string& program,
                                     const std::vector<std::string>& arguments) {
    pid_t pid = spawn(program, arguments);
    if (pid < 0) return -1;
    int waitStatus = 0;
    while (::waitpid(pid, &waitStatus, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return statusOf(waitStatus);
}

fs::path LinuxProcessLauncher::executableFolder() {
    return fs::path(LinuxProcessLauncher().ownExecutable()).parent_path();
}

std::optional<fs::path> LinuxProcessLauncher::findOnPath(const std::string& name,
                                                         const std::string& path) {
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        fs::path folder = path.substr(start, end - start);
        if (folder.is_absolute()) {
            fs::path candidate = folder / name;
            if (::access(candidate.c_str(), X_OK) == 0 && fs::is_regular_file(candidate)) {
                return candidate;
            }
        }
        start = end + 1;
    }
    return std::nullopt;
}

std::string LinuxProcessLauncher::ownExecutable() {
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.string();
}

std::string LinuxProcessLauncher::findTool(const std::string& name) {
    fs::path folder = executableFolder();
    fs::path beside = folder / name;
    if (!folder.empty() && ::access(beside.c_str(), X_OK) == 0 && fs::is_regular_file(beside)) {
        return beside.string();
    }
    // The program's own tools (the privileged helper) are installed in libexec beside bin.
    fs::path libexec = QUILLBY_LIBEXEC_DIR;
    fs::path installed = (libexec.is_absolute() ? libexec : folder.parent_path() / libexec) / name;
    if (!folder.empty() && ::access(installed.c_str(), X_OK) == 0 &&
        fs::is_regular_file(installed)) {
        return installed.string();
    }
    const char* path = std::getenv("PATH");
    auto found = findOnPath(name, path ? path : "/usr/local/bin:/usr/bin:/bin");
    return found ? found->string() : std::string();
}

bool LinuxProcessLauncher::runningAsAdministrator() {
    return ::geteuid() == 0;
}

}  // namespace quillby
