#pragma once

namespace CLI {
class App;
}

// quillby history [--json]: the record of the last clean.
void addHistoryCommand(CLI::App& app);
