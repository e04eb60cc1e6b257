#pragma once

namespace CLI {
class App;
}

// quillby clean scan [--json] [--category N...]: what each clean category would delete.
// quillby clean run [--category N...] [--dry-run] [--yes]: empties the categories' folders.
void addCleanCommand(CLI::App& app);
