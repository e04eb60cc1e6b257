// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/AbsolutePath.h"

#include <filesystem>
#include <system_error>

namespace quillby {

std::string absolutePath(const std::string& given) {
    if (given.empty()) return "";
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(given, error);
    if (error) return "";
    std::string path = absolute.lexically_normal().string();
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace quillby
