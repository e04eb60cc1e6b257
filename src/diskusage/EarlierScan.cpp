// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/EarlierScan.h"

#include <algorithm>
#include <set>

#include "core/text/UtilityFunction.h"

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

std::string EarlierScan::changeText(std::int64_t change) {
    std::uint64_t amount = change < 0 ? static_cast<std::uint64_t>(-(change + 1)) + 1
                                      : static_cast<std::uint64_t>(change);
    std::string text = UtilityFunction::convertVolSpace(amount);
    if (change > 0) return "+" + text;
    if (change < 0) return "-" + text;
    return text;
}

}  // namespace quillby
