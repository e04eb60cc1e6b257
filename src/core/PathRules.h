#pragma once

#include <string_view>

// True for an absolute path in its plain form: starts with "/", is not "/" itself, holds no
// empty, "." or ".." component, no trailing "/" and no NUL byte.
bool isNormalizedAbsolutePath(std::string_view path);

// The number of components of a normalised absolute path ("/var/log" has 2).
int pathComponentCount(std::string_view path);
