#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>

#include "memory/MEMORY_INFO.h"

namespace CLI {
class App;
}

// quillby memory [--json] [--watch [SECONDS]] [--count N] and quillby purge.
void addMemoryCommands(CLI::App& app);

// The six memory figures as a two-column table.
std::string memoryText(const MEMORY_INFO& info);
// The figures in bytes as a JSON object.
nlohmann::ordered_json memoryJson(const MEMORY_INFO& info);
