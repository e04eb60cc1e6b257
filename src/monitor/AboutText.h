// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace quillby {

// What the tray's "About Quillby Pro" dialog says: the name and version, what the program does,
// and its licence as the package ships it.
struct AboutText {
    static std::string title();
    static std::string version();
    static std::string description();
    static std::string licence();

    // The copyright line and the licence notice of a Debian machine-readable copyright file, as
    // running text: continuation lines joined, " ." a paragraph break.
    static std::string licenceFromCopyright(std::string_view copyright);
};

}  // namespace quillby
