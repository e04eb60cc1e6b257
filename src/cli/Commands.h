// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "memory/MemoryFigures.h"
#include "monitor/MountedVolume.h"
#include "sysinfo/MachineFacts.h"

namespace CLI {
class App;
}

namespace quillby {

// The commands of quillby: each adds itself, its options and its help to the app.

// quillby apps list | show | remove: the installed applications, one's details, and their
// removal with their related files.
void addAppsCommand(CLI::App& app);

// quillby clean scan [--json] [--category N...]: what each clean category would delete.
// quillby clean run [--category N...] [--dry-run] [--yes]: empties the categories' folders.
void addCleanCommand(CLI::App& app);

// quillby du PATH [--depth N] [--top N] [--limit SIZE] [--json] [--items] [-x]: where the space
// under a folder goes, largest first.
void addDiskUsageCommand(CLI::App& app);

// quillby dupes PATH [--min-size SIZE] [--hidden] [--system] [--json|--csv] [--progress]
//                    [--delete | --keep original|first|last|oldest|newest] [--yes]
// Finds duplicate files below PATH and, when asked, removes the extra copies.
void addDupesCommand(CLI::App& app);

// quillby eject REF|PATH|--all: ejects one volume (by reference number or mount point) or all
// ejectable ones.
void addEjectCommand(CLI::App& app);

// quillby history [--json]: the record of the last clean.
void addHistoryCommand(CLI::App& app);

// quillby login-items list [--json] | add PATH [--hidden] | remove PATH|INDEX |
// hide PATH|INDEX on|off
void addLoginItemsCommand(CLI::App& app);

// quillby memory [--json] [--watch [SECONDS]] [--count N] and quillby purge.
void addMemoryCommands(CLI::App& app);

// The six memory figures as a two-column table.
std::string memoryText(const MemoryFigures& info);
// The figures in bytes as a JSON object.
nlohmann::ordered_json memoryJson(const MemoryFigures& info);

// quillby overview [--json]: the boot volume, every volume, memory and the machine facts: what
// the desktop program shows at a glance.
void addOverviewCommand(CLI::App& app);

// quillby settings list | get KEY | set KEY VALUE
void addSettingsCommand(CLI::App& app);

// quillby sysinfo [--json]: the seven rows of machine facts.
void addSysinfoCommand(CLI::App& app);

// The rows as a title/value table.
std::string sysinfoText(const MachineFacts& facts);
// The rows' values under "model", "cpuVendor", "cpuBrand", "memory", "osType", "osRelease",
// "hostname".
nlohmann::ordered_json sysinfoJson(const MachineFacts& facts);

// quillby update-check: whether PackageKit knows a newer quillby-pro package; the status says
// which answer (0 up to date, 100 newer version available, 1 failed or not installed as a
// package, 3 PackageKit not available).
inline constexpr int kNewerVersionStatus = 100;
inline constexpr int kNoPackageKitStatus = 3;
void addUpdateCheckCommand(CLI::App& app);

// quillby volumes [--json]: every mounted volume, grouped by kind like the status menu.
void addVolumesCommand(CLI::App& app);

// The volumes as text: a title line per kind, then one row per volume with its reference, name,
// used percent, free and total texts, root and marks (boot, ejectable, low space).
std::string volumesText(const std::vector<MountedVolume>& volumes);
// The volumes as a JSON array in the same order.
nlohmann::ordered_json volumesJson(const std::vector<MountedVolume>& volumes);
// One volume as a JSON object.
nlohmann::ordered_json volumeJson(const MountedVolume& volume);

}  // namespace quillby
