// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/mount.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/ProcessRunner.h"

// A machine of the test's own, for running a real program as root against system folders: in a
// private mount namespace (see inPrivateMountNamespace), a fresh file system becomes the root of
// a chroot that holds the program and the libraries it loads, bound read-only at their own
// paths. Its /etc, /usr/bin or /boot are made by the test: the machine's are never reachable.
class PrivateRoot {
  public:
    // Mounts the new root on `where` (an empty folder). Call only inside a private namespace.
    explicit PrivateRoot(std::filesystem::path where) : root_(std::move(where)) {
        ready_ = ::mount("none", root_.c_str(), "tmpfs", 0, "mode=0755") == 0;
        // The same links from the top as this machine has (/lib -> usr/lib on merged systems).
        for (const char* top : {"bin", "lib", "lib64", "sbin"}) {
            std::error_code error;
            auto target = std::filesystem::read_symlink(std::filesystem::path("/") / top, error);
            if (error) continue;
            std::filesystem::create_directories(root_ / target, error);
            std::filesystem::create_directory_symlink(target, root_ / top, error);
        }
        std::filesystem::create_directories(root_ / "proc");
        ready_ = ready_ && ::mount("proc", (root_ / "proc").c_str(), "proc", 0, nullptr) == 0;
        ready_ = ready_ && bindReadOnly("/etc/ld.so.cache");
    }

    bool ready() const { return ready_; }
    std::filesystem::path outside(const std::string& inside) const {
        return root_ / inside.substr(1);
    }

    void write(const std::string& inside, const std::string& contents) const {
        std::filesystem::create_directories(outside(inside).parent_path());
        std::ofstream(outside(inside)) << contents;
    }

    // Binds the program and every library its loader names, read-only, at their own paths.
    bool addProgram(const std::string& program) {
        ProcessResult libraries = runProcess("/usr/bin/ldd", {program}, {});
        if (libraries.status != 0) return false;
        std::istringstream lines(libraries.out);
        for (std::string line; std::getline(lines, line);) {
            std::size_t start = line.find('/');
            if (start == std::string::npos) continue;
            std::string path = line.substr(start, line.find(' ', start) - start);
            if (!bindReadOnly(path)) return false;
        }
        return bindReadOnly(program);
    }

    // Runs `program` inside as root, with `arguments` and `environment`; waits for it.
    ProcessResult run(const std::string& program, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment) const {
        std::vector<std::string> words{root_.string(), program};
        words.insert(words.end(), arguments.begin(), arguments.end());
        return runProcess("/usr/sbin/chroot", words, environment);
    }

  private:
    bool bindReadOnly(const std::string& path) const {
        std::filesystem::path inside = outside(path);
        std::error_code error;
        std::filesystem::create_directories(inside.parent_path(), error);
        std::ofstream{inside};
        return ::mount(path.c_str(), inside.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
               ::mount(nullptr, inside.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY,
                       nullptr) == 0;
    }

    std::filesystem::path root_;
    bool ready_ = false;
};
