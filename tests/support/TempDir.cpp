// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "quillby-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code error;
    // Tests may leave read-only folders behind; open them up so that removal succeeds.
    for (auto it = fs::recursive_directory_iterator(
             path_, fs::directory_options::skip_permission_denied, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
        }
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(path_, error);
}

fs::path TempDir::write(const std::string& relative, const std::string& contents) const {
    fs::path file = path_ / relative;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
    return file;
}

fs::path TempDir::writeExecutable(const std::string& relative, const std::string& contents) const {
    fs::path file = write(relative, contents);
    fs::permissions(file, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    return file;
}

std::string TempDir::read(const fs::path& file) {
    std::ifstream input(file, std::ios::binary);
    std::stringstream text;
    text << input.rdbuf();
    return text.str();
}

::testing::AssertionResult existence(bool wanted, std::initializer_list<fs::path> paths) {
    std::string wrong;
    for (const auto& path : paths) {
        if (fs::exists(path) != wanted) wrong += " " + path.string();
    }
    if (wrong.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << (wanted ? "missing:" : "still there:") << wrong;
}

::testing::AssertionResult holding(std::string_view text,
                                   std::initializer_list<std::string_view> pieces) {
    std::string missing;
    for (auto piece : pieces) {
        if (text.find(piece) == std::string_view::npos)
            missing += " \"" + std::string(piece) + "\"";
    }
    if (missing.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "missing" << missing << " in:\n" << text;
}
