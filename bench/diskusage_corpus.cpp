// SPDX-License-Identifier: GPL-3.0-or-later
// Generates the disk-usage benchmark corpus: about 1,000,000 small files in about 50,000
// folders, wide and deep, with hard links and symbolic links. File contents are sparse (only
// sizes matter to a disk-usage scan), and the same seed always gives the same tree.
//
//   diskusage_corpus FOLDER      creates FOLDER unless a complete corpus is already there
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr const char* kVersion = "diskusage-corpus 1: 50000 folders, 1000000 files";
constexpr int kFolders = 50000;
constexpr int kFiles = 1000000;
constexpr int kHardLinks = 20000;
constexpr int kSymlinks = 20000;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "diskusage_corpus: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(1);
}

void makeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) fail("mkdir " + path);
}

void makeFile(const std::string& path, std::uint64_t size) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) fail("create " + path);
    if (::ftruncate(fd, static_cast<off_t>(size)) != 0) fail("size " + path);
    ::close(fd);
}

// Mostly small files, a few large ones, as in a home folder.
std::uint64_t fileSize(std::mt19937_64& random) {
    std::uint64_t roll = random() % 100;
    if (roll < 60) return random() % 4096;
    if (roll < 90) return 4096 + random() % (60 * 1024);
    if (roll < 99) return 65536 + random() % (960 * 1024);
    return 1048576 + random() % (63ULL * 1048576);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: diskusage_corpus FOLDER\n");
        return 2;
    }
    std::string root = argv[1];
    std::string marker = root + ".complete";
    {
        std::ifstream done(marker);
        std::string line;
        if (std::getline(done, line) && line == kVersion) return 0;
    }
    if (::access(root.c_str(), F_OK) == 0) {
        std::fprintf(stderr, "diskusage_corpus: %s is incomplete; remove it first\n", root.c_str());
        return 1;
    }
    std::fprintf(stderr, "Generating the disk-usage corpus in %s (once)...\n", root.c_str());
    std::mt19937_64 random(20240501);
    auto pick = [&](size_t below) { return static_cast<size_t>(random() % below); };

    makeFolder(root);
    std::vector<std::string> folders;
    for (int area = 0; area < 16; ++area) {
        folders.push_back(root + "/area-" + std::to_string(area));
        makeFolder(folders.back());
    }
    // Deep: four chains 64 folders long.
    for (int chain = 0; chain < 4; ++chain) {
        std::string path = folders[chain];
        for (int level = 0; level < 64; ++level) {
            path += "/level-" + std::to_string(level);
            makeFolder(path);
            folders.push_back(path);
        }
    }
    // Wide: one folder with 5,000 subfolders.
    std::string wideFolders = folders[4] + "/many-folders";
    makeFolder(wideFolders);
    folders.push_back(wideFolders);
    for (int i = 0; i < 5000; ++i) {
        folders.push_back(wideFolders + "/sub-" + std::to_string(i));
        makeFolder(folders.back());
    }
    // The rest grows where folders were made recently (depth) or anywhere (breadth).
    while (static_cast<int>(folders.size()) < kFolders) {
        size_t count = folders.size();
        const std::string& parent = pick(10) < 3
                                        ? folders[count - 1 - pick(std::min<size_t>(count, 100))]
                                        : folders[pick(count)];
        std::string path = parent + "/dir-" + std::to_string(count) + (pick(4) == 0 ? ".d" : "");
        makeFolder(path);
        folders.push_back(path);
    }

    std::vector<std::string> files;
    files.reserve(kFiles);
    // Wide: four folders of 25,000 files each.
    for (int wide = 0; wide < 4; ++wide) {
        std::string folder = folders[5] + "/many-files-" + std::to_string(wide);
        makeFolder(folder);
        for (int i = 0; i < 25000; ++i) {
            files.push_back(folder + "/item-" + std::to_string(i) + ".dat");
            makeFile(files.back(), fileSize(random));
        }
    }
    while (static_cast<int>(files.size()) < kFiles) {
        size_t index = files.size();
        const std::string& folder = folders[pick(folders.size())];
        std::string name = (pick(8) == 0 ? "." : "") + std::string("file-") +
                           std::to_string(index) + (pick(3) == 0 ? ".txt" : ".bin");
        files.push_back(folder + "/" + name);
        makeFile(files.back(), fileSize(random));
    }
    for (int i = 0; i < kHardLinks; ++i) {
        std::string link = folders[pick(folders.size())] + "/hard-" + std::to_string(i);
        if (::link(files[pick(files.size())].c_str(), link.c_str()) != 0) fail("link " + link);
    }
    for (int i = 0; i < kSymlinks; ++i) {
        std::string link = folders[pick(folders.size())] + "/sym-" + std::to_string(i);
        size_t kind = pick(3);
        std::string target = kind == 0   ? files[pick(files.size())]
                             : kind == 1 ? folders[pick(folders.size())]
                                         : "missing-target-" + std::to_string(i);
        if (::symlink(target.c_str(), link.c_str()) != 0) fail("symlink " + link);
    }
    std::ofstream(marker) << kVersion << "\n";
    std::fprintf(stderr, "Corpus ready: %zu folders, %zu files, %d hard links, %d symlinks.\n",
                 folders.size() + 4, files.size(), kHardLinks, kSymlinks);
    return 0;
}
