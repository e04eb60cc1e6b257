#include <cstdio>

#include "monitor/ProcessEntry.h"
#include "platform/linux/LinuxPlatform.h"

int main(int argc, char** argv) {
    installLinuxPlatform(PlatformContext::fromEnvironment());
    if (auto status = runProcessEntry(argc, argv)) return *status;

    std::printf(
        "Quillby Pro 4.0: the desktop window is not part of this build yet.\n"
        "Use the command line meanwhile: quillby --help\n");
    return 0;
}
