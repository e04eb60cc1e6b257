#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>

#include "sysinfo/MachineFacts.h"

namespace CLI {
class App;
}

// quillby sysinfo [--json]: the seven rows of machine facts.
void addSysinfoCommand(CLI::App& app);

// The rows as a title/value table.
std::string sysinfoText(const MachineFacts& facts);
// The rows' values under "model", "cpuVendor", "cpuBrand", "memory", "osType", "osRelease",
// "hostname".
nlohmann::ordered_json sysinfoJson(const MachineFacts& facts);
