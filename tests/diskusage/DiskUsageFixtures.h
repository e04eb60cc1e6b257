// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "diskusage/FSNode.h"
#include "diskusage/RingFolderNode.h"
#include "diskusage/ScanFileExporter.h"
#include "support/ProcessRunner.h"

using namespace quillby;

namespace fs = std::filesystem;

// A file of `size` bytes (sparse, so a gigabyte costs nothing), with its folders.
inline fs::path makeFile(const fs::path& path, std::uint64_t size) {
    fs::create_directories(path.parent_path());
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::ftruncate(fd, static_cast<off_t>(size)) != 0)
        throw fs::filesystem_error("makeFile", path,
                                   std::error_code(errno, std::generic_category()));
    ::close(fd);
    return path;
}

inline std::uint64_t linkSize(const fs::path& path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return static_cast<std::uint64_t>(status.st_size);
}

// A child item of `parent` with the size given, as a scan would have added it.
inline FSNode* addNode(FSNode& parent, const std::string& name, bool folder,
                       std::uint64_t size = 0) {
    parent.children.push_back(FSNode::childNamed(name, folder, &parent));
    parent.children.back()->size = size;
    return parent.children.back().get();
}

// A child folder of `parent` in the ring's tree with the size given.
inline RingFolderNode* addRingChild(RingFolderNode& parent, const std::string& name,
                                    std::int64_t size) {
    parent.children.push_back(parent.makeChild(name));
    parent.children.back()->size = size;
    return parent.children.back().get();
}

// A random tree with every kind of entry the scans treat specially, and one folder wide enough
// to be measured in slices by several threads.
inline void generateTree(const fs::path& top, unsigned seed) {
    std::mt19937 random(seed);
    auto pick = [&](int below) { return static_cast<int>(random() % below); };
    std::vector<fs::path> folders{top};
    fs::create_directories(top);
    for (int i = 0; i < 250; ++i) {
        fs::path parent = folders[pick(static_cast<int>(folders.size()))];
        std::string name = "d" + std::to_string(i) + (pick(20) == 0 ? "." : "");
        if (parent == top && pick(40) == 0) name = "Volumes";
        if (pick(30) == 0) name = "Volumes";
        if (fs::exists(parent / name)) continue;
        fs::create_directory(parent / name);
        folders.push_back(parent / name);
    }
    std::vector<fs::path> files;
    for (int i = 0; i < 2500; ++i) {
        fs::path parent = folders[pick(static_cast<int>(folders.size()))];
        std::string name = "f" + std::to_string(i) + (pick(25) == 0 ? "." : "");
        // Equal sizes are common, so that the order among them matters.
        files.push_back(makeFile(parent / name, pick(4) == 0 ? 4096 : pick(100000)));
    }
    fs::path wide = folders[1] / "wide";
    fs::create_directory(wide);
    for (int i = 0; i < 5000; ++i) makeFile(wide / ("w" + std::to_string(i)), pick(3000));
    for (int i = 0; i < 40; ++i) {
        fs::path parent = folders[pick(static_cast<int>(folders.size()))];
        fs::path target = files[pick(static_cast<int>(files.size()))];
        fs::create_hard_link(target, parent / ("hard" + std::to_string(i)));
        fs::create_symlink(folders[pick(static_cast<int>(folders.size()))],
                           parent / ("sym" + std::to_string(i)));
    }
}

// A plain node for comparing trees: name, size and children in order.
struct PlainNode {
    std::string name;
    std::uint64_t size = 0;
    std::vector<PlainNode> children;
    bool operator==(const PlainNode&) const = default;
};

inline PlainNode plainFolderTree(const RingFolderNode& node) {
    PlainNode plain{node.name(), static_cast<std::uint64_t>(node.size), {}};
    for (const auto& child : node.children) {
        if (child) plain.children.push_back(plainFolderTree(*child));
    }
    return plain;
}

inline PlainNode plainItemTree(const FSNode& node) {
    PlainNode plain{node.displayName() + (node.isDirectory ? "/" : ""), node.size, {}};
    for (const auto& child : node.children) plain.children.push_back(plainItemTree(*child));
    return plain;
}

inline bool largerFirst(const PlainNode& a, const PlainNode& b) {
    return a.size != b.size ? a.size > b.size : a.name < b.name;
}

// The folder tree as a plain sequential walk computes it, one opendir/readdir/lstat at a time:
// folders only, names ending in "." skipped, "Volumes" skipped directly in the scanned folder.
inline PlainNode referenceFolderTree(const std::string& path, const std::string& name, bool top) {
    PlainNode node{name, 0, {}};
    DIR* folder = ::opendir(path.c_str());
    if (!folder) return node;
    while (dirent* entry = ::readdir(folder)) {
        std::string entryName = entry->d_name;
        if (entryName.back() == '.') continue;
        std::string full = path + "/" + entryName;
        struct stat status {};
        if (::lstat(full.c_str(), &status) != 0) continue;
        if (S_ISDIR(status.st_mode)) {
            if (top && entryName == "Volumes") continue;
            node.children.push_back(referenceFolderTree(full, entryName, false));
            node.size += node.children.back().size;
        } else {
            node.size += static_cast<std::uint64_t>(status.st_size);
        }
    }
    ::closedir(folder);
    std::sort(node.children.begin(), node.children.end(), largerFirst);
    return node;
}

// The item tree the same way: every entry, folders and files of at least `limit` kept.
inline PlainNode referenceItemTree(const std::string& path, const std::string& name,
                                   std::uint64_t limit) {
    PlainNode node{name, 0, {}};
    DIR* folder = ::opendir(path.c_str());
    if (!folder) return node;
    while (dirent* entry = ::readdir(folder)) {
        std::string entryName = entry->d_name;
        if (entryName == "." || entryName == "..") continue;
        std::string full = path + "/" + entryName;
        struct stat status {};
        if (::lstat(full.c_str(), &status) != 0) continue;
        PlainNode child =
            S_ISDIR(status.st_mode)
                ? referenceItemTree(full, entryName + "/", limit)
                : PlainNode{entryName, static_cast<std::uint64_t>(status.st_size), {}};
        node.size += child.size;
        if (child.size >= limit) node.children.push_back(std::move(child));
    }
    ::closedir(folder);
    std::sort(node.children.begin(), node.children.end(), largerFirst);
    return node;
}

// Writes the scan file `file` of the folder `top` as "quillby" "4.0" at 2023-11-14 22:13 UTC.
inline bool exportScanFile(const fs::path& top, const fs::path& file) {
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    ScanFileMetadata metadata;
    metadata.program = "quillby";
    metadata.version = "4.0";
    metadata.timestamp = 1700000000;
    bool written = ScanFileExporter().exportFolder(top.string(), metadata, fd).written;
    return ::close(fd) == 0 && written;
}

// The coreutils du on the PATH, or "" when there is none.
inline std::string duProgram() {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= folders.size();) {
        size_t end = std::min(folders.find(':', start), folders.size());
        fs::path candidate = fs::path(folders.substr(start, end - start)) / "du";
        if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
        start = end + 1;
    }
    return "";
}

// What `du -sB1` says `path` takes on the disk; nothing when du failed.
inline std::optional<std::uint64_t> duBytes(const std::string& du, const fs::path& path) {
    ProcessResult result = runProcess(du, {"-sB1", path.string()}, {});
    if (result.status != 0) return std::nullopt;
    return std::stoull(result.out);
}
