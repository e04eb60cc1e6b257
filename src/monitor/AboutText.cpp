// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/AboutText.h"

#include <algorithm>

#include "QuillbyLicence.h"
#include "platform/PlatformContext.h"

namespace quillby {

std::string AboutText::title() {
    return "Quillby Pro";
}

std::string AboutText::version() {
    return std::string("Version ") + PlatformContext::versionText;
}

std::string AboutText::description() {
    return "Get your disk back: clean caches, logs and trash, find duplicates, see what takes the "
           "space.";
}

std::string AboutText::licence() {
    // Generated from the package's copyright file, so the dialog and the package never disagree.
    return licenceFromCopyright(kQuillbyLicence);
}

std::string AboutText::licenceFromCopyright(std::string_view copyright) {
    std::string copyrightLine;
    std::string notice;
    bool inFiles = false;    // a "Files:" paragraph: its licence names only, the text follows
    bool inLicence = false;  // the continuation lines of a stand-alone "License:" field
    std::size_t start = 0;
    while (start < copyright.size()) {
        std::size_t end = copyright.find('\n', start);
        if (end == std::string_view::npos) end = copyright.size();
        std::string_view line = copyright.substr(start, end - start);
        start = end + 1;
        if (line.find_first_not_of(" \t") == std::string_view::npos) {
            inFiles = inLicence = false;
            continue;
        }
        if (line.front() == ' ' || line.front() == '\t') {
            if (!inLicence) continue;
            line.remove_prefix(1);
            if (line == ".") {
                notice += "\n\n";
            } else {
                if (!notice.empty() && notice.back() != '\n') notice += ' ';
                notice += line;
            }
            continue;
        }
        inLicence = false;
        if (line.starts_with("Files:")) {
            inFiles = true;
        } else if (line.starts_with("Copyright:") && copyrightLine.empty()) {
            std::string_view holders = line.substr(line.find(':') + 1);
            holders.remove_prefix(std::min(holders.find_first_not_of(' '), holders.size()));
            copyrightLine = "Copyright " + std::string(holders);
        } else if (line.starts_with("License:") && !inFiles && notice.empty()) {
            inLicence = true;
        }
    }
    while (!notice.empty() && (notice.back() == '\n' || notice.back() == ' ')) notice.pop_back();
    if (copyrightLine.empty() || notice.empty()) return copyrightLine + notice;
    return copyrightLine + "\n\n" + notice;
}

}  // namespace quillby
