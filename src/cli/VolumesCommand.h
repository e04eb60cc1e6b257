#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "monitor/QWVolumeInfo.h"

namespace CLI {
class App;
}

// quillby volumes [--json]: every mounted volume, grouped by kind like the status menu.
void addVolumesCommand(CLI::App& app);

// The volumes as text: a title line per kind, then one row per volume with its reference, name,
// used percent, free and total texts, root and marks (boot, ejectable, low space).
std::string volumesText(const std::vector<QWVolumeInfo>& volumes);
// The volumes as a JSON array in the same order.
nlohmann::ordered_json volumesJson(const std::vector<QWVolumeInfo>& volumes);
// One volume as a JSON object.
nlohmann::ordered_json volumeJson(const QWVolumeInfo& volume);
