#pragma once

#include <CLI/CLI.hpp>

// quillby settings list | get KEY | set KEY VALUE
void addSettingsCommand(CLI::App& app);
