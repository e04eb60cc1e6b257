#pragma once

namespace CLI {
class App;
}

// quillby du PATH [--depth N] [--top N] [--limit SIZE] [--json] [--items] [-x]: where the space
// under a folder goes, largest first.
void addDiskUsageCommand(CLI::App& app);
