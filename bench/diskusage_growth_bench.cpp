// SPDX-License-Identifier: GPL-3.0-or-later
// What grew since the last scan, on two scans of about 1,000,000 files in 50,000 folders:
//
//   diskusage_growth_bench generate DIR   writes DIR/before.json and DIR/after.json (the second
//                                         with files grown and shrunk, folders gone and new)
//   diskusage_growth_bench one AFTER      reads AFTER into the ring's folder tree (one tree)
//   diskusage_growth_bench diff AFTER BEFORE
//                                         reads AFTER, then times what the ring page adds to a
//                                         scan: reading BEFORE (the kept scan) and the changes of
//                                         the listed levels (the scanned folder and each of its
//                                         folders opened in turn)
//
// Peak memory is taken from outside (/usr/bin/time -f %M) so that both modes count alike.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "diskusage/EarlierScan.h"
#include "diskusage/RingFolderNode.h"
#include "diskusage/ScanFileLoader.h"
#include "diskusage/ScanFileWriter.h"

using namespace quillby;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTop = 50, kMiddle = 20, kLeaves = 50,
              kFiles = 20;  // 50,000 folders, 1,000,000 files

// Writes one scan; `after` applies the changes: every 7th leaf's files grow, every 11th shrinks,
// every 13th leaf is gone, every 17th middle folder gains a new folder, and a new top folder.
bool writeScan(const std::string& file, bool after) {
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    std::mt19937_64 random(42);
    ScanFileWriter writer(fd);
    writer.begin({.program = "growth-bench", .version = "1"});
    auto folder = [&](const std::string& name) {
        ScanFileEntry entry;
        entry.name = name;
        writer.openFolder(entry);
    };
    auto files = [&](int count, std::uint64_t scale) {
        for (int i = 0; i < count; ++i) {
            std::string name = "file-" + std::to_string(i) + ".dat";
            ScanFileEntry entry;
            entry.name = name;
            entry.apparentBytes = entry.diskBytes = (random() % 100000) * scale / 4;
            writer.addFile(entry);
        }
    };
    folder("/bench/home");
    for (int top = 0; top < kTop + (after ? 1 : 0); ++top) {
        folder("top-" + std::to_string(top));
        for (int middle = 0; middle < kMiddle; ++middle) {
            folder("middle-" + std::to_string(middle));
            for (int leaf = 0; leaf < kLeaves; ++leaf) {
                int serial = (top * kMiddle + middle) * kLeaves + leaf;
                bool gone = after && serial % 13 == 0;
                std::uint64_t scale = !after ? 4 : serial % 7 == 0 ? 9 : serial % 11 == 0 ? 1 : 4;
                if (gone) {
                    random.discard(kFiles);
                    continue;
                }
                folder("leaf-" + std::to_string(leaf));
                files(kFiles, scale);
                writer.closeFolder();
            }
            if (after && (top * kMiddle + middle) % 17 == 0) {
                folder("new-folder");
                files(kFiles, 4);
                writer.closeFolder();
            }
            writer.closeFolder();
        }
        writer.closeFolder();
    }
    writer.closeFolder();
    bool written = writer.finish();
    return ::close(fd) == 0 && written;
}

std::unique_ptr<RingFolderNode> load(const std::string& file) {
    auto loaded = ScanFileLoader::loadFolderTree(file);
    if (!loaded.root) std::fprintf(stderr, "%s: %s\n", file.c_str(), loaded.message.c_str());
    return std::move(loaded.root);
}

std::uint64_t bytesOf(const RingFolderNode& node) {
    return node.size < 0 ? 0 : static_cast<std::uint64_t>(node.size);
}

// One listing's changes as the ring page makes them: the earlier folder's entries one level
// down, each listed entry's change, and what is gone.
std::size_t listChanges(const RingFolderNode& now, const std::string& nowRoot,
                        RingFolderNode& earlierRoot) {
    std::string then = earlierRoot.path() + now.path().substr(nowRoot.size());
    const RingFolderNode* folder = searchFile(&earlierRoot, then);
    std::vector<std::string> present;
    std::size_t changed = 0;
    if (!folder) return now.children.size();
    EarlierScan earlier = EarlierScan::of(*folder, 1, bytesOf);
    for (const auto& child : now.children) {
        present.push_back(child->name());
        auto before = earlier.sizeOf(then, then + child->name());
        if (!before || static_cast<std::int64_t>(*before) != child->size) ++changed;
    }
    return changed + earlier.goneFrom(then, then, present).size();
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "generate" && argc == 3) {
        std::string dir = argv[2];
        return writeScan(dir + "/before.json", false) && writeScan(dir + "/after.json", true) ? 0
                                                                                              : 1;
    }
    if ((mode == "one" && argc == 3) || (mode == "diff" && argc == 4)) {
        auto now = load(argv[2]);
        if (!now) return 1;
        if (mode == "one") return 0;
        Clock::time_point start = Clock::now();
        auto earlier = load(argv[3]);
        if (!earlier) return 1;
        std::size_t changes = listChanges(*now, now->path(), *earlier);
        for (const auto& child : now->children)
            changes += listChanges(*child, now->path(), *earlier);
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("%.3f %zu\n", seconds, changes);
        return 0;
    }
    std::fprintf(stderr, "usage: %s generate DIR | one AFTER | diff AFTER BEFORE\n", argv[0]);
    return 2;
}
