#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

// One application or login item as the lists show it: a plain, copyable value. Engines fill it
// from the file system; pages only display it.
struct AppItems {
    // The icon: a theme icon name or an icon file's path, which the page loads.
    std::string image;
    std::string name;
    std::string path;
    std::optional<std::string> bundleID;
    std::optional<std::string> bundleVersion;
    // Formatted size; discovery leaves it empty.
    std::string fileSize;
    // When the item was created.
    std::chrono::system_clock::time_point date = std::chrono::system_clock::now();
    bool isSystemApp = false;
    // The user's mark; the login-items list keeps the item's hidden flag here.
    bool bIsSelected = false;
    // "YES" or "NO", the text form of isSystemApp once it is set.
    std::string isSystemAppStr;
    std::uint64_t fileSizeNum = 0;
};
