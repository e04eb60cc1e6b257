#pragma once

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
