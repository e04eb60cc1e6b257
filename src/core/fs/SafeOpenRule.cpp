// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/SafeOpenRule.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <string_view>

namespace quillby {

namespace {

// Names that desktops hand to an interpreter or a launcher rather than to a viewer.
constexpr std::array<std::string_view, 22> kRunnableSuffixes = {
    ".desktop", ".sh",  ".bash",     ".zsh", ".csh", ".ksh",       ".fish", ".py",
    ".pl",      ".rb",  ".php",      ".jar", ".exe", ".msi",       ".bat",  ".cmd",
    ".com",     ".run", ".appimage", ".deb", ".rpm", ".flatpakref"};

bool hasRunnableName(const std::filesystem::path& path) {
    std::string name = path.filename().string();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::any_of(kRunnableSuffixes.begin(), kRunnableSuffixes.end(),
                       [&name](std::string_view suffix) { return name.ends_with(suffix); });
}

// True when the file starts with "#!" or an ELF header, whatever its mode says.
bool startsLikeAProgram(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return true;  // unreadable: nothing tells it is harmless
    char head[4] = {};
    ssize_t count = ::read(fd, head, sizeof head);
    ::close(fd);
    if (count >= 2 && head[0] == '#' && head[1] == '!') return true;
    return count == 4 && head[0] == 0x7f && head[1] == 'E' && head[2] == 'L' && head[3] == 'F';
}

}  // namespace

OpenAction safeOpenAction(const std::string& path) {
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0) return OpenAction::Reveal;
    if (S_ISDIR(status.st_mode)) return OpenAction::ShowFolder;
    if (!S_ISREG(status.st_mode)) return OpenAction::Reveal;
    if (status.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) return OpenAction::Reveal;
    std::error_code error;
    std::filesystem::path target = std::filesystem::canonical(path, error);
    if (hasRunnableName(path) || (!error && hasRunnableName(target))) return OpenAction::Reveal;
    if (startsLikeAProgram(path)) return OpenAction::Reveal;
    return OpenAction::OpenWithDefault;
}

}  // namespace quillby
