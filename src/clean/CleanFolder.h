#pragma once

#include <filesystem>
#include <memory>

#include "clean/CleanRule.h"

// A folder a clean category covers, with the rule that says what in it may be deleted. The
// folder itself is never deleted.
struct CleanFolder {
    std::filesystem::path path;
    std::shared_ptr<const CleanRule> rule;
};
