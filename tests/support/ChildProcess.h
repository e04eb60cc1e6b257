#pragma once

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <functional>

// Runs `body` in a forked child whose files cannot grow beyond `maximumFileSize` bytes (a write
// past it fails, even for root), and gives the child's exit status: 0 when body returned true.
inline int inChildWithFileSizeLimit(rlim_t maximumFileSize, const std::function<bool()>& body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{maximumFileSize, maximumFileSize};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The exit status a child gives when this machine refuses it a private mount namespace.
inline constexpr int kNoMountNamespace = 77;

// Runs `body` in a forked child with a private mount namespace, so that what it mounts is seen
// by it and its children only, and gives the child's exit status: 0 when body returned true,
// kNoMountNamespace when the namespace was refused (not root, or a container that forbids it).
inline int inPrivateMountNamespace(const std::function<bool()>& body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            ::_exit(kNoMountNamespace);
        }
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
