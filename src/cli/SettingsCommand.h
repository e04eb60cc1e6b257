#pragma once

namespace CLI {
class App;
}

// quillby settings list | get KEY | set KEY VALUE
void addSettingsCommand(CLI::App& app);
