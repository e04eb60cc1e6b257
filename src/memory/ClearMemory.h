#pragma once

// Runs the purge of memory and answers the program's own command-line purge mode.
class ClearMemory {
  public:
    // The "fr" mode: when the arguments after the program name hold "fr" followed by another
    // argument, logs "freeMemoy size=<that argument>" and gives 0 (end the process with status
    // 0). Otherwise gives -1 (start normally).
    static int freeMemory(int argc, const char* const* argv);
};
