#pragma once

namespace CLI {
class App;
}

// quillby apps list | show | remove: the installed applications, one's details, and their
// removal with their related files.
void addAppsCommand(CLI::App& app);
