// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/CleanFolder.h"

#include <sys/stat.h>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "core/events/Log.h"
#include "core/fs/EntryStatus.h"

namespace quillby {

namespace {

// The components from `base` to `path`; nothing when path does not lie below base.
std::optional<std::vector<std::string>> stepsBelow(const std::filesystem::path& base,
                                                   const std::filesystem::path& path) {
    std::vector<std::string> steps;
    std::filesystem::path relative = path.lexically_relative(base);
    if (relative.empty()) return std::nullopt;
    if (relative == ".") return steps;
    for (const auto& part : relative) {
        std::string text = part.string();
        if (text.empty() || text == "." || text == "..") return std::nullopt;
        steps.push_back(std::move(text));
    }
    return steps;
}

FolderHandle openChecked(const CleanFolder& folder, std::size_t dropLast, int& error) {
    std::filesystem::path base = folder.base.empty() ? folder.path.parent_path() : folder.base;
    auto steps = stepsBelow(base, folder.path);
    if (!steps || steps->size() < dropLast) {
        error = EINVAL;
        return {};
    }
    steps->resize(steps->size() - dropLast);
    FolderHandle current = FolderHandle::openTrusted(base.string(), error);
    for (std::size_t i = 0; i < steps->size() && current.isOpen(); ++i) {
        FolderHandle next = FolderHandle::openStep(current, (*steps)[i].c_str(), error);
        if (!next.isOpen()) return next;
        auto status = entryStatusAt(next.fd(), "");
        if (!status) {
            error = errno;
            return {};
        }
        bool shared = folder.sharedStickyStart && i == 0;
        if (shared && !(status->mode & S_ISVTX)) {
            error = EPERM;
            return {};
        }
        if (!shared && folder.owner && status->owner != *folder.owner) {
            error = EPERM;
            return {};
        }
        current = std::move(next);
    }
    return current;
}

FolderHandle openLogged(const CleanFolder& folder, std::size_t dropLast, int& error) {
    FolderHandle handle = openChecked(folder, dropLast, error);
    if (!handle.isOpen() && error != ENOENT) {
        const char* why = error == ELOOP     ? "a symbolic link is on the way"
                          : error == ENOTDIR ? "something on the way is not a folder"
                          : error == EPERM   ? "it is not the user's own (or a shared trash "
                                               "folder is not sticky)"
                                             : std::strerror(error);
        QWLog("Clean folder %s is not used: %s", folder.path.c_str(), why);
    }
    return handle;
}

}  // namespace

FolderHandle CleanFolder::open(int& error) const {
    return openLogged(*this, 0, error);
}

FolderHandle CleanFolder::openParent(int& error) const {
    return openLogged(*this, 1, error);
}

}  // namespace quillby
