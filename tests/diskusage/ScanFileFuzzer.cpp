// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the scan-file reader and the trees it loads. Besides crashes and sanitizer
// reports it aborts when a property the disk-usage tool relies on fails: both trees accept the
// same files, smaller limits never accept more, and an accepted file written back by the writer
// reads as the same item tree, whatever bytes its names hold.
#include <sys/mman.h>
#include <unistd.h>
#include <algorithm>
#include <compare>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "diskusage/ScanFileLoader.h"
#include "diskusage/ScanFileWriter.h"

using namespace quillby;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

struct Plain {
    std::string name;
    std::uint64_t size;
    bool folder;
    std::size_t depth;
    auto operator<=>(const Plain&) const = default;
};

// Every node with its depth, in a canonical order (equal names and sizes may sort either way),
// gathered without recursion.
std::vector<Plain> flatten(const FSNode& root) {
    std::vector<Plain> out;
    std::vector<std::pair<const FSNode*, std::size_t>> pending{{&root, 0}};
    while (!pending.empty()) {
        auto [node, depth] = pending.back();
        pending.pop_back();
        out.push_back({node->storedName(), node->size, node->isDirectory, depth});
        for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) {
            pending.push_back({it->get(), depth + 1});
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Writes an item tree of limit 0 (every item) back as a scan file.
void writeTree(const FSNode& root, int fd) {
    ScanFileWriter writer(fd);
    writer.begin({1, 2, "fuzz", "1", 0});
    struct Open {
        const FSNode* node;
        std::size_t next;
    };
    ScanFileEntry rootEntry;
    rootEntry.name = root.storedName();
    writer.openFolder(rootEntry);
    std::vector<Open> path{{&root, 0}};
    while (!path.empty()) {
        Open& top = path.back();
        if (top.next == top.node->children.size()) {
            writer.closeFolder();
            path.pop_back();
            continue;
        }
        const FSNode& child = *top.node->children[top.next++];
        ScanFileEntry entry;
        entry.name = child.storedName();
        if (child.isDirectory) {
            writer.openFolder(entry);
            path.push_back({&child, 0});
        } else {
            entry.apparentBytes = child.size;
            writer.addFile(entry);
        }
    }
    require(writer.finish());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);

    InMemoryByteSource forFolders(text);
    auto folders = ScanFileLoader::loadFolderTree(forFolders);
    InMemoryByteSource forItems(text);
    auto items = ScanFileLoader::loadItemTree(forItems, 0);
    bool sizesTooLarge = items.message.find("2^63") != std::string::npos ||
                         folders.message.find("2^63") != std::string::npos;
    if (!sizesTooLarge) require((folders.root != nullptr) == (items.root != nullptr));

    ScanFileLoadOptions small;
    small.limits = {16, 8, 2};
    InMemoryByteSource forSmall(text);
    auto bounded = ScanFileLoader::loadItemTree(forSmall, 0, small);
    require(!bounded.root || items.root);

    if (items.root) {
        static int fd = ::memfd_create("scan-file", 0);
        require(fd >= 0 && ::ftruncate(fd, 0) == 0 && ::lseek(fd, 0, SEEK_SET) == 0);
        writeTree(*items.root, fd);
        require(::lseek(fd, 0, SEEK_SET) == 0);
        DescriptorSource written(fd);
        auto again = ScanFileLoader::loadItemTree(written, 0);
        require(again.root != nullptr);
        require(flatten(*again.root) == flatten(*items.root));
    }
    return 0;
}
