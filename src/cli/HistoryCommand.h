#pragma once

#include <CLI/CLI.hpp>

// quillby history [--json]: the record of the last clean.
void addHistoryCommand(CLI::App& app);
