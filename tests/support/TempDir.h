// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes. Every test that touches files works inside one.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // Writes a file (creating its folders) and gives its path.
    std::filesystem::path write(const std::string& relative, const std::string& contents) const;
    // The same, for a program or script: the file is made executable (mode 0755).
    std::filesystem::path writeExecutable(const std::string& relative,
                                          const std::string& contents) const;
    static std::string read(const std::filesystem::path& file);

  private:
    std::filesystem::path path_;
};

// Whether every path given exists (or, with `wanted` false, none does); a failure names the
// paths that are not as wanted. Use allExist and noneExist.
::testing::AssertionResult existence(bool wanted,
                                     std::initializer_list<std::filesystem::path> paths);
template <typename... Paths>
::testing::AssertionResult allExist(const Paths&... paths) {
    return existence(true, {std::filesystem::path(paths)...});
}
template <typename... Paths>
::testing::AssertionResult noneExist(const Paths&... paths) {
    return existence(false, {std::filesystem::path(paths)...});
}

// Whether `text` holds every piece given; a failure shows the pieces missing and the text.
::testing::AssertionResult holding(std::string_view text,
                                   std::initializer_list<std::string_view> pieces);
template <typename... Pieces>
::testing::AssertionResult holdsAll(std::string_view text, const Pieces&... pieces) {
    return holding(text, {std::string_view(pieces)...});
}
