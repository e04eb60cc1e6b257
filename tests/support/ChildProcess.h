// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
#include <linux/magic.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <functional>
#include <string>

// Runs `body` in a forked child, which exits with what body returns (1 when it throws: the
// child must never go on with the parent's tests), and gives the child's exit status, or 128 +
// the signal that ended it.
inline int childExitStatus(const std::function<int()>& body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        int code = 1;
        try {
            code = body();
        } catch (...) {
        }
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs `body` in a forked child whose files cannot grow beyond `maximumFileSize` bytes (a write
// past it fails, even for root), and gives the child's exit status: 0 when body returned true.
inline int inChildWithFileSizeLimit(rlim_t maximumFileSize, const std::function<bool()>& body) {
    return childExitStatus([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{maximumFileSize, maximumFileSize};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        return body() ? 0 : 1;
    });
}

// Runs `body` in a forked child that is ended after `seconds` and may take at most `memory` bytes
// of address space, and gives its exit status: 0 when body returned true. A body that waits or
// reads without end then fails its test instead of stopping the suite or filling the machine.
inline int inBoundedChild(const std::function<bool()>& body, unsigned seconds = 30,
                          rlim_t memory = rlim_t{1} << 30) {
    return childExitStatus([&] {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
        // A sanitizer's shadow memory already takes more address space than any cap; there the
        // alarm and the sanitizer's own allocation limit bound the child.
        rlimit limit{memory, memory};
        ::setrlimit(RLIMIT_AS, &limit);
#else
        (void)memory;
#endif
        ::alarm(seconds);
        return body() ? 0 : 1;
    });
}

// The exit status a child gives when this machine refuses it a private mount namespace.
inline constexpr int kNoMountNamespace = 77;

// Runs `body` in a forked child once `enter` has set the child up, and gives the child's exit
// status: 0 when body returned true, kNoMountNamespace when `enter` failed.
inline int inForkedChild(const std::function<bool()>& enter, const std::function<bool()>& body) {
    return childExitStatus([&] { return !enter() ? kNoMountNamespace : body() ? 0 : 1; });
}

// Runs `body` in a forked child with a private mount namespace, so that what it mounts is seen
// by it and its children only, and gives the child's exit status: 0 when body returned true,
// kNoMountNamespace when the namespace was refused (not root, or a container that forbids it).
inline int inPrivateMountNamespace(const std::function<bool()>& body) {
    return inForkedChild(
        [] {
            return ::unshare(CLONE_NEWNS) == 0 &&
                   ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        },
        body);
}

// Runs `body` in a private mount namespace whose /var is a fresh, empty tmpfs: the system
// folders' tests work there and never on the machine's own /var. Gives what
// inPrivateMountNamespace gives, kNoMountNamespace too when the tmpfs could not be put there.
inline int inPrivateVar(const std::function<bool()>& body) {
    return inPrivateMountNamespace([&] {
        struct statfs mounted {};
        if (::mount("quillby-test", "/var", "tmpfs", 0, "mode=0755") != 0 ||
            ::statfs("/var", &mounted) != 0 || mounted.f_type != TMPFS_MAGIC) {
            ::_exit(kNoMountNamespace);  // never touch the real folder
        }
        return body();
    });
}

// Runs `body` in a forked child that is root of a user namespace of its own, mapped to the
// tester's ids, with a private mount namespace: there any user may mount, and what is mounted
// goes with the child. Gives the child's exit status: 0 when body returned true,
// kNoMountNamespace when the kernel refused the namespaces.
inline int inOwnUserNamespace(const std::function<bool()>& body) {
    std::string uid = std::to_string(::geteuid()), gid = std::to_string(::getegid());
    auto put = [](const char* file, const std::string& text) {
        int fd = ::open(file, O_WRONLY | O_CLOEXEC);
        bool written =
            fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        if (fd >= 0) ::close(fd);
        return written;
    };
    return inForkedChild(
        [&] {
            return ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 &&
                   put("/proc/self/setgroups", "deny") &&
                   put("/proc/self/uid_map", "0 " + uid + " 1") &&
                   put("/proc/self/gid_map", "0 " + gid + " 1") &&
                   ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        },
        body);
}
