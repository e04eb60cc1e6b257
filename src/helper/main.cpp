// SPDX-License-Identifier: GPL-3.0-or-later
// quillby-helper: the only part of Quillby Pro that runs as root. Started once per run through
// pkexec (or directly by a program already running as root), it serves removal requests on its
// standard input; `purge` drops the kernel's caches once and ends.
#include <csignal>
#include <cstdio>
#include <cstring>

#include "helper/CachePurge.h"
#include "helper/HelperRequestLoop.h"

using namespace quillby;

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "serve") == 0) {
        std::signal(SIGPIPE, SIG_IGN);  // a vanished caller ends the loop through a failed write
        return serveHelperRequests(0, 1);
    }
    if (argc == 2 && std::strcmp(argv[1], "purge") == 0) return purgeCaches();
    std::fprintf(stderr, "usage: quillby-helper serve | purge\n");
    return 2;
}
