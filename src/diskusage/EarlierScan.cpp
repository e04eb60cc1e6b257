// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/EarlierScan.h"

#include <algorithm>
#include <set>

#include "core/text/UtilityFunction.h"
#include "diskusage/FSNode.h"

namespace quillby {

namespace {

// Folder paths may end in "/": the same entry compares the same either way.
std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

std::string EarlierScan::below(const std::string& root, const std::string& path) {
    std::string base = withoutTrailingSlash(root);
    std::string full = withoutTrailingSlash(path);
    if (full.size() <= base.size() || full.compare(0, base.size(), base) != 0) return "";
    std::string rest = full.substr(base.size());
    while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
    return rest;
}

std::string EarlierScan::nameOf(const std::string& path) {
    std::string full = withoutTrailingSlash(path);
    std::string::size_type slash = full.find_last_of('/');
    return slash == std::string::npos ? full : full.substr(slash + 1);
}

std::optional<std::uint64_t> EarlierScan::sizeOf(const std::string& root,
                                                 const std::string& path) const {
    auto found = entries_.find(below(root, path));
    if (found == entries_.end()) return std::nullopt;
    return found->second.size;
}

std::vector<EarlierScan::Gone> EarlierScan::goneFrom(
    const std::string& root, const std::string& path,
    const std::vector<std::string>& present) const {
    std::vector<Gone> gone;
    auto found = entries_.find(below(root, path));
    if (found == entries_.end()) return gone;
    std::set<std::string> listed(present.begin(), present.end());
    for (const auto& [name, size] : found->second.children) {
        if (!listed.count(name)) gone.push_back({name, size});
    }
    std::stable_sort(gone.begin(), gone.end(),
                     [](const Gone& a, const Gone& b) { return a.size > b.size; });
    return gone;
}

std::string EarlierScan::goneText(const std::vector<Gone>& gone, const char* one, const char* many,
                                  const std::string& since) {
    if (gone.empty()) return {};
    std::uint64_t bytes = 0;
    std::string names;
    for (std::size_t i = 0; i < gone.size(); ++i) {
        bytes += gone[i].size;
        if (i < 3) names += (i ? ", " : "") + gone[i].name;
    }
    if (gone.size() > 3) names += ", …";
    return std::to_string(gone.size()) + " " + (gone.size() == 1 ? one : many) + " gone since " +
           since + " (" + UtilityFunction::convertVolSpace(bytes) + "): " + names;
}

std::string EarlierScan::changeText(std::int64_t change) {
    std::uint64_t amount = change < 0 ? static_cast<std::uint64_t>(-(change + 1)) + 1
                                      : static_cast<std::uint64_t>(change);
    std::string text = UtilityFunction::convertVolSpace(amount);
    if (change > 0) return "+" + text;
    if (change < 0) return "-" + text;
    return text;
}

ItemTreeChanges ItemTreeChanges::between(const FSNode& now, const FSNode& earlier) {
    ItemTreeChanges changes;
    auto difference = [](const FSNode& a, const FSNode& b) {
        return static_cast<std::int64_t>(a.size) - static_cast<std::int64_t>(b.size);
    };
    changes.changes_[&now] = {difference(now, earlier), false};
    // Folders of both trees still to compare; an explicit stack, since trees may be deep.
    std::vector<std::pair<const FSNode*, const FSNode*>> folders{{&now, &earlier}};
    std::vector<const FSNode*> newFolders;
    while (!folders.empty()) {
        auto [folder, then] = folders.back();
        folders.pop_back();
        std::unordered_map<std::string, const FSNode*> earlierByName;
        for (const auto& child : then->children) {
            if (child) earlierByName.emplace(child->displayName(), child.get());
        }
        for (const auto& child : folder->children) {
            if (!child) continue;
            auto found = earlierByName.find(child->displayName());
            const FSNode* before = nullptr;
            if (found != earlierByName.end()) {
                before = found->second;
                earlierByName.erase(found);
            }
            if (before && before->isDirectory == child->isDirectory) {
                changes.changes_[child.get()] = {difference(*child, *before), false};
                if (child->isDirectory) folders.emplace_back(child.get(), before);
            } else if (child->isDirectory) {
                newFolders.push_back(child.get());
            }
        }
        // What the earlier tree had here and nothing matched is gone; its stand-in for the
        // files it did not keep by name is no item.
        std::vector<EarlierScan::Gone> gone;
        for (const auto& [name, node] : earlierByName) {
            if (name != kOtherFilesName) gone.push_back({name, node->size});
        }
        std::sort(gone.begin(), gone.end(),
                  [](const EarlierScan::Gone& a, const EarlierScan::Gone& b) {
                      return a.size != b.size ? a.size > b.size : a.name < b.name;
                  });
        if (!gone.empty()) changes.gone_[folder] = std::move(gone);
    }
    while (!newFolders.empty()) {
        const FSNode* folder = newFolders.back();
        newFolders.pop_back();
        changes.changes_[folder] = {static_cast<std::int64_t>(folder->size), true};
        for (const auto& child : folder->children) {
            if (!child) continue;
            if (child->isDirectory) {
                newFolders.push_back(child.get());
            } else {
                changes.changes_[child.get()] = {static_cast<std::int64_t>(child->size), true};
            }
        }
    }
    return changes;
}

std::optional<ItemTreeChanges::Change> ItemTreeChanges::of(const FSNode* node) const {
    auto found = changes_.find(node);
    if (found == changes_.end()) return std::nullopt;
    return found->second;
}

const std::vector<EarlierScan::Gone>& ItemTreeChanges::goneFrom(const FSNode* node) const {
    static const std::vector<EarlierScan::Gone> kNone;
    auto found = gone_.find(node);
    return found == gone_.end() ? kNone : found->second;
}

std::string ItemTreeChanges::textOf(const FSNode* node) const {
    auto change = of(node);
    if (!change) return {};
    return change->isNew ? "new" : EarlierScan::changeText(change->bytes);
}

}  // namespace quillby
