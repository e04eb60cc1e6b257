// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/work/ToolRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>

extern char** environ;

namespace quillby {

namespace {

// Both ends of a pipe, closed when it goes.
struct Pipe {
    int ends[2] = {-1, -1};
    bool open() { return ::pipe2(ends, O_CLOEXEC) == 0; }
    void closeEnd(int which) {
        if (ends[which] >= 0) ::close(ends[which]);
        ends[which] = -1;
    }
    ~Pipe() {
        closeEnd(0);
        closeEnd(1);
    }
};

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (auto& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

pid_t spawnTool(const std::string& program, const std::vector<std::string>& arguments,
                const ToolRunOptions& options, Pipe& output, Pipe& errors) {
    std::vector<std::string> argumentTexts{program};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = pointersTo(argumentTexts);
    std::vector<std::string> environmentTexts =
        options.environment ? *options.environment : std::vector<std::string>();
    std::vector<char*> envp = pointersTo(environmentTexts);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output.ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errors.ends[1], STDERR_FILENO);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    pid_t pid = -1;
    int failed = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(),
                               options.environment ? envp.data() : environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : pid;
}

int statusOf(int waitStatus) {
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
}

// Reads both pipes to their end (or to the deadline), keeping up to `limit` bytes of each.
bool drain(Pipe& output, Pipe& errors, ToolRunResult& result, const ToolRunOptions& options) {
    using Clock = std::chrono::steady_clock;
    auto deadline = Clock::now() + std::chrono::seconds(options.timeoutSeconds);
    std::string* sinks[2] = {&result.output, &result.errors};
    pollfd fds[2] = {{output.ends[0], POLLIN, 0}, {errors.ends[0], POLLIN, 0}};
    char buffer[65536];
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        int wait = -1;
        if (options.timeoutSeconds > 0) {
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return false;
            wait = static_cast<int>(left.count());
        }
        int ready = ::poll(fds, 2, wait);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return true;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            ssize_t count = ::read(fds[i].fd, buffer, sizeof buffer);
            if (count < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            if (count <= 0) {
                fds[i].fd = -1;
                continue;
            }
            std::size_t room =
                options.outputLimit - std::min(options.outputLimit, sinks[i]->size());
            sinks[i]->append(buffer, std::min(room, static_cast<std::size_t>(count)));
        }
    }
    return true;
}

}  // namespace

ToolRunResult ToolRunner::run(const std::string& program, const std::vector<std::string>& arguments,
                              const ToolRunOptions& options) {
    ToolRunResult result;
    Pipe output, errors;
    if (!output.open() || !errors.open()) return result;
    pid_t pid = spawnTool(program, arguments, options, output, errors);
    if (pid < 0) return result;
    result.started = true;
    output.closeEnd(1);
    errors.closeEnd(1);
    if (!drain(output, errors, result, options)) {
        result.timedOut = true;
        ::kill(pid, SIGKILL);
    }
    int waitStatus = 0;
    while (::waitpid(pid, &waitStatus, 0) < 0) {
        if (errno != EINTR) return result;
    }
    result.status = statusOf(waitStatus);
    return result;
}

std::vector<std::string> ToolRunner::environmentWith(const std::vector<std::string>& settings) {
    auto nameOf = [](const std::string& setting) { return setting.substr(0, setting.find('=')); };
    std::vector<std::string> environment;
    for (char** variable = environ; variable && *variable; ++variable) {
        std::string text = *variable;
        bool replaced = false;
        for (const auto& setting : settings) replaced = replaced || nameOf(setting) == nameOf(text);
        if (!replaced) environment.push_back(std::move(text));
    }
    environment.insert(environment.end(), settings.begin(), settings.end());
    return environment;
}

}  // namespace quillby
