// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ScanTreeWriter.h"

#include <cerrno>
#include <string>
#include <vector>

#include "core/fs/PathRules.h"
#include "diskusage/FSNode.h"
#include "diskusage/RingFolderNode.h"
#include "diskusage/ScanFileWriter.h"

namespace quillby {

namespace {

std::uint64_t sizeOf(const RingFolderNode& node) {
    return node.size < 0 ? 0 : static_cast<std::uint64_t>(node.size);
}
std::uint64_t sizeOf(const FSNode& node) {
    return node.size;
}
bool isFolder(const RingFolderNode&) {
    return true;
}
bool isFolder(const FSNode& node) {
    return node.isDirectory;
}
std::string nameOf(const RingFolderNode& node) {
    return node.name();
}
std::string nameOf(const FSNode& node) {
    return node.displayName();
}

template <class Node>
void openFolder(ScanFileWriter& writer, const Node& folder, const std::string& name) {
    ScanFileEntry entry;
    entry.name = name;
    entry.readError = folder.unreadable;
    if (folder.excluded) entry.excluded = "pattern";
    writer.openFolder(entry);
    std::uint64_t listed = 0;
    for (const auto& child : folder.children) {
        if (!child) continue;
        listed += sizeOf(*child);
        if (isFolder(*child)) continue;
        std::string childName = nameOf(*child);
        ScanFileEntry file;
        file.name = childName;
        file.apparentBytes = file.diskBytes = sizeOf(*child);
        writer.addFile(file);
    }
    if (sizeOf(folder) > listed) {
        ScanFileEntry rest;
        rest.name = kOtherFilesName;
        rest.apparentBytes = rest.diskBytes = sizeOf(folder) - listed;
        writer.addFile(rest);
    }
}

template <class Node>
bool writeTree(const Node& root, const ScanFileMetadata& metadata, int fd) {
    ScanFileWriter writer(fd);
    writer.begin(metadata);
    struct Open {
        const Node* folder;
        std::size_t next = 0;
    };
    std::vector<Open> path;
    // The scanned folder's name in the file: its whole path, without a trailing "/".
    openFolder(writer, root, std::string(withoutTrailingSlashes(root.path())));
    path.push_back({&root});
    while (!path.empty()) {
        Open& top = path.back();
        if (top.next == top.folder->children.size()) {
            writer.closeFolder();
            path.pop_back();
            continue;
        }
        const auto& child = top.folder->children[top.next++];
        if (!child || !isFolder(*child)) continue;
        openFolder(writer, *child, nameOf(*child));
        path.push_back({child.get()});
    }
    if (writer.finish()) return true;
    errno = writer.writeError();
    return false;
}

}  // namespace

bool writeScanTree(const RingFolderNode& root, const ScanFileMetadata& metadata, int fd) {
    return writeTree(root, metadata, fd);
}

bool writeScanTree(const FSNode& root, const ScanFileMetadata& metadata, int fd) {
    return writeTree(root, metadata, fd);
}

}  // namespace quillby
