#pragma once

namespace CLI {
class App;
}

// quillby login-items list [--json] | add PATH [--hidden] | remove PATH|INDEX |
// hide PATH|INDEX on|off
void addLoginItemsCommand(CLI::App& app);
