#pragma once

#include <CLI/CLI.hpp>

// quillby du PATH [--depth N] [--top N] [--limit SIZE] [--json] [--items] [-x]: where the space
// under a folder goes, largest first.
void addDiskUsageCommand(CLI::App& app);
