// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/PathRules.h"

namespace quillby {

bool isNormalizedAbsolutePath(std::string_view path) {
    if (path.size() < 2 || path.front() != '/' || path.back() == '/') return false;
    if (path.find('\0') != std::string_view::npos) return false;
    std::string_view rest = path.substr(1);
    while (!rest.empty()) {
        std::size_t slash = rest.find('/');
        std::string_view component = rest.substr(0, slash);
        if (component.empty() || component == "." || component == "..") return false;
        if (slash == std::string_view::npos) break;
        rest.remove_prefix(slash + 1);
    }
    return true;
}

int pathComponentCount(std::string_view path) {
    int count = 0;
    for (char c : path) count += c == '/';
    return count;
}

std::optional<std::pair<std::string, std::string>> splitAbsolutePath(std::string_view path) {
    std::size_t slash = path.rfind('/');
    if (path.empty() || path.front() != '/' || slash + 1 == path.size()) return std::nullopt;
    return std::pair{std::string(slash == 0 ? "/" : path.substr(0, slash)),
                     std::string(path.substr(slash + 1))};
}

std::string pathInside(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '/') path.push_back('/');
    path.append(name);
    return path;
}

bool isPlainEntryName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

std::string_view withoutTrailingSlashes(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    return path;
}

std::string_view folderName(std::string_view path) {
    path = withoutTrailingSlashes(path);
    size_t slash = path.rfind('/');
    if (path.size() <= 1 || slash == std::string_view::npos) return path;
    return path.substr(slash + 1);
}

bool liesInside(std::string_view inner, std::string_view outer) {
    if (outer == "/") return inner.size() > 1 && inner.front() == '/';
    return inner.size() > outer.size() && inner.starts_with(outer) && inner[outer.size()] == '/';
}

}  // namespace quillby
