// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <filesystem>
#include <string>
#include <vector>

namespace quillby {

// Every root through which the Linux implementations reach the machine. The program takes them
// from the environment once; tests point them at fixture trees.
struct PlatformContext {
    std::filesystem::path procRoot = "/proc";
    std::filesystem::path sysRoot = "/sys";
    std::filesystem::path devRoot = "/dev";
    std::filesystem::path etcRoot = "/etc";
    std::filesystem::path varRoot = "/var";
    std::filesystem::path home;
    std::filesystem::path xdgConfigHome;
    std::filesystem::path xdgDataHome;
    std::filesystem::path xdgCacheHome;
    std::filesystem::path xdgStateHome;
    std::filesystem::path runtimeDir;
    std::filesystem::path tempDir = "/tmp";
    std::vector<std::filesystem::path> xdgConfigDirs;
    std::vector<std::filesystem::path> xdgDataDirs;
    // Where programs named without a folder are found ($PATH).
    std::vector<std::filesystem::path> executableSearchPath;
    // The language of messages, as a POSIX locale name ("de_DE.UTF-8"; "" for none).
    std::string messagesLocale;
    uid_t uid = 0;

    // The program's identity on this platform.
    static constexpr const char* bundleIdentifier = "com.quillby.pro";
    static constexpr const char* versionText = "4.0";

    // $XDG_DATA_HOME/com.quillby.pro: the diagnostic log and the history record.
    std::filesystem::path appDataFolder() const { return xdgDataHome / bundleIdentifier; }
    // $XDG_CONFIG_HOME/com.quillby.pro: the preferences file.
    std::filesystem::path appConfigFolder() const { return xdgConfigHome / bundleIdentifier; }

    // The running user's context, from the XDG variables and their documented defaults.
    static PlatformContext fromEnvironment();
    // A context whose every root lies under `root` (home at root/home, XDG folders inside it,
    // system roots at root/proc, root/sys, ...), for fixture trees.
    static PlatformContext underRoot(const std::filesystem::path& root);
};

}  // namespace quillby
