// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ScanFileExporter.h"

#include <memory>
#include <vector>

#include "diskusage/ScanFileWriter.h"
#include "diskusage/SubtreeRelease.h"
#include "diskusage/TreeScan.h"

namespace quillby {

namespace {

// A folder of the scan until it is written.
struct ExportFolder {
    explicit ExportFolder(std::string_view name) : name(name) {}
    ~ExportFolder() { releaseSubtree(children); }
    ExportFolder(const ExportFolder&) = delete;
    ExportFolder& operator=(const ExportFolder&) = delete;

    std::string name;
    std::vector<std::unique_ptr<ExportFolder>> children;
    std::string files;  // its files' entries, already written out
    std::uint64_t size = 0;
    bool unreadable = false;
    bool excluded = false;
};

ScanFileEntry fileEntry(const KeptFile& file) {
    ScanFileEntry entry;
    entry.name = file.name;
    entry.apparentBytes = file.size;
    entry.diskBytes = file.diskBytes;
    entry.inode = file.inode;
    entry.links = file.links;
    entry.notRegular = !file.regular;
    return entry;
}

class ExportTreeBuilder {
  public:
    using Node = ExportFolder;

    std::string_view nameOf(const Node& node) const { return node.name; }

    void addFolders(Node& parent, const std::vector<std::string_view>& names,
                    std::vector<Node*>& out) {
        parent.children.reserve(names.size());
        for (std::string_view name : names) {
            parent.children.push_back(std::make_unique<ExportFolder>(name));
            out.push_back(parent.children.back().get());
        }
    }

    void finish(Node& node, std::uint64_t fileBytes, std::vector<KeptFile>&& files) {
        node.size = fileBytes;
        for (const auto& child : node.children) node.size += child->size;
        for (const auto& file : files) ScanFileWriter::appendFile(node.files, fileEntry(file));
        node.files.shrink_to_fit();
    }

    std::uint64_t sizeOf(const Node& node) const { return node.size; }
    void markUnreadable(Node& node) { node.unreadable = true; }
    void markExcluded(Node& node) { node.excluded = true; }
    void topLevelCounted(std::int64_t) {}
    void topLevelFolderFinished() {}
};

ScanFileEntry folderEntry(const ExportFolder& folder) {
    ScanFileEntry entry;
    entry.name = folder.name;
    entry.readError = folder.unreadable;
    // ncdu's word for a folder the user's exclusions left out.
    if (folder.excluded) entry.excluded = "pattern";
    return entry;
}

// Writes the tree depth first without recursion, releasing each folder once it is out.
void writeTree(std::unique_ptr<ExportFolder> root, ScanFileWriter& writer) {
    struct Open {
        std::unique_ptr<ExportFolder> folder;
        size_t next = 0;
    };
    std::vector<Open> path;
    writer.openFolder(folderEntry(*root));
    writer.addWritten(root->files);
    root->files = {};
    path.push_back({std::move(root)});
    while (!path.empty()) {
        Open& top = path.back();
        if (top.next == top.folder->children.size()) {
            writer.closeFolder();
            path.pop_back();
            continue;
        }
        std::unique_ptr<ExportFolder> child = std::move(top.folder->children[top.next++]);
        writer.openFolder(folderEntry(*child));
        writer.addWritten(child->files);
        child->files = {};
        path.push_back({std::move(child)});
    }
}

}  // namespace

ScanFileExporter::ScanFileExporter(TreeScanOptions options) : options_(options) {}

ScanFileExporter::Result ScanFileExporter::exportFolder(const std::string& path,
                                                        const ScanFileMetadata& metadata, int fd) {
    ScanFileWriter writer(fd);
    writer.begin(metadata);
    auto root = std::make_unique<ExportFolder>(path);
    EntryRules everything;
    everything.keepFilesFrom = 0;
    ExportTreeBuilder builder;
    Result result;
    result.bytes =
        TreeScan<ExportTreeBuilder>(builder, everything, options_).run(*root, path, false);
    writeTree(std::move(root), writer);
    result.written = writer.finish();
    result.writeError = writer.writeError();
    return result;
}

}  // namespace quillby
