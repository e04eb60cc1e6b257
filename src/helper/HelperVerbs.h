#pragma once

#include <string>
#include <string_view>

// The requests the helper serves. Each verb takes one argument and gives one answer: "ok", or
// "error " and a reason. Adding a request is adding a row to the table in HelperVerbs.cpp.
struct HelperVerb {
    std::string_view name;
    std::string (*handle)(const std::string& argument);
};

// The verb called `name`, or nullptr.
const HelperVerb* findHelperVerb(std::string_view name);

// Checks a path given to a privileged request: absolute, normalised, neither "/" nor a folder
// directly under it. Gives the reason for refusing it, or "" when it may be used.
std::string refusalForPath(const std::string& path);
