// SPDX-License-Identifier: GPL-3.0-or-later
// The size walk's benchmark program: `generate DIR FILES` builds a corpus (nested folders of
// sparse files of varied apparent sizes, with links and hard links), `measure DIR` prints
// FolderUtilities::sizeOfItemAtPath of DIR.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "core/fs/FolderUtilities.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// "prefix" followed by the number (built with snprintf: GCC 12 warns falsely on string sums).
std::string named(const char* prefix, long number) {
    char text[64];
    std::snprintf(text, sizeof text, "%s%ld", prefix, number);
    return text;
}

int generate(const fs::path& root, long files) {
    std::mt19937_64 random(42);
    std::uniform_int_distribution<long> size(0, 64 * 1024);
    constexpr long kPerFolder = 50;
    for (long i = 0; i < files; ++i) {
        long folder = i / kPerFolder;
        fs::path dir =
            root / named("a", folder % 20) / named("b", folder / 20 % 20) / named("c", folder);
        if (i % kPerFolder == 0) fs::create_directories(dir);
        fs::path file = dir / named("file-", i);
        int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::ftruncate(fd, size(random)) != 0) return 1;
        ::close(fd);
        if (i % 97 == 0) fs::create_symlink(file, dir / named("link-", i));
        if (i % 101 == 0) fs::create_hard_link(file, dir / named("hard-", i));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "generate")
        return generate(argv[2], std::atol(argv[3]));
    if (argc == 3 && std::string(argv[1]) == "measure") {
        std::printf("%llu\n",
                    static_cast<unsigned long long>(FolderUtilities::sizeOfItemAtPath(argv[2])));
        return 0;
    }
    std::fprintf(stderr, "usage: size_walk_bench generate DIR FILES | measure DIR\n");
    return 2;
}
