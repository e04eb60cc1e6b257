// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/FolderHistory.h"

#include <algorithm>

#include "core/fs/PathRules.h"

namespace quillby {

void FolderHistory::visit(const std::string& folder) {
    if (hasCurrent() && folders_[current_] == folder) return;
    if (hasCurrent()) folders_.resize(current_ + 1);
    folders_.push_back(folder);
    current_ = folders_.size() - 1;
}

FolderHistory::Step FolderHistory::back() {
    if (!hasCurrent() || current_ == 0) return {true, {}};
    --current_;
    return {false, folders_[current_]};
}

std::optional<std::string> FolderHistory::forward() {
    if (!canGoForward()) return std::nullopt;
    ++current_;
    return folders_[current_];
}

void FolderHistory::forget(const std::string& folder) {
    std::string_view gone = withoutTrailingSlashes(folder);
    auto isGone = [&](const std::string& visited) {
        std::string_view path = withoutTrailingSlashes(visited);
        return path == gone || liesInside(path, gone);
    };
    std::vector<std::string> kept;
    std::size_t current = 0;
    for (std::size_t i = 0; i < folders_.size(); ++i) {
        if (isGone(folders_[i])) continue;
        // Two visits of one folder that the gone one separated become one.
        if (!kept.empty() && kept.back() == folders_[i]) {
            if (i <= current_) current = kept.size() - 1;
            continue;
        }
        kept.push_back(folders_[i]);
        if (i <= current_) current = kept.size() - 1;
    }
    folders_ = std::move(kept);
    current_ = folders_.empty() ? 0 : std::min(current, folders_.size() - 1);
}

void FolderHistory::clear() {
    folders_.clear();
    current_ = 0;
}

const std::string& FolderHistory::current() const {
    static const std::string none;
    return hasCurrent() ? folders_[current_] : none;
}

}  // namespace quillby
