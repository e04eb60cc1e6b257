#pragma once

namespace CLI {
class App;
}

// quillby dupes PATH [--min-size SIZE] [--hidden] [--system] [--json|--csv] [--progress]
//                    [--delete | --keep first|last|oldest|newest] [--yes]
// Finds duplicate files below PATH and, when asked, removes the extra copies.
void addDupesCommand(CLI::App& app);
