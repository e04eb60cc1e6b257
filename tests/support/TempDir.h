// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>

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
