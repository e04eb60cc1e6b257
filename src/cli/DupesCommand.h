#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <optional>
#include <string_view>

// quillby dupes PATH [--min-size SIZE] [--hidden] [--system] [--json|--csv] [--progress]
//                    [--delete | --keep first|last|oldest|newest] [--yes]
// Finds duplicate files below PATH and, when asked, removes the extra copies.
void addDupesCommand(CLI::App& app);

// Reads a size given on the command line: whole bytes ("1500"), or a number with KB, MB, GB or
// TB in decimal steps ("1.5MB" is 1 500 000). Nothing when the text is not such a size.
std::optional<std::uint64_t> parseSizeArgument(std::string_view text);
