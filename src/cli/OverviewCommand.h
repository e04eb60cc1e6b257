#pragma once

namespace CLI {
class App;
}

// quillby overview [--json]: the boot volume, every volume, memory and the machine facts: what
// the desktop program shows at a glance.
void addOverviewCommand(CLI::App& app);
