#include "monitor/AboutText.h"

#include "QuillbyLicence.h"
#include "platform/PlatformContext.h"

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
    std::string text = kQuillbyLicence;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}
