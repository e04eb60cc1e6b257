#pragma once

#include <string>

// What the tray's "About Quillby Pro" dialog says: the name and version, what the program does,
// and its licence as the package ships it.
struct AboutText {
    static std::string title();
    static std::string version();
    static std::string description();
    static std::string licence();
};
