#include "memory/ClearMemory.h"

#include <cstring>

#include "core/Log.h"

int ClearMemory::freeMemory(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "fr") != 0) continue;
        if (i + 1 < argc) {
            QWLog("freeMemoy size=%s", argv[i + 1]);
            return 0;
        }
        break;
    }
    return -1;
}
