#include "cli/DiskUsageCommand.h"

#include <unistd.h>
#include <CLI/CLI.hpp>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <iostream>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "cli/AbsolutePath.h"
#include "cli/CliOutput.h"
#include "cli/ProgressLine.h"
#include "cli/SizeArgument.h"
#include "core/UtilityFunction.h"
#include "diskusage/DiskUsageLimit.h"
#include "diskusage/FSNode.h"
#include "diskusage/FolderTreeScanner.h"
#include "diskusage/NodeTreeOperator.h"
#include "diskusage/SharedFolderHandle.h"
#include "diskusage/TreeScanOptions.h"
#include "diskusage/W32AllDir.h"

namespace {

struct DuRequest {
    std::string path;
    int depth = 1;
    int top = 10;
    std::string limit;
    bool json = false;
    bool items = false;
    bool oneFileSystem = false;
};

// One line of the listing, cut to the requested depth and number of children.
struct Row {
    std::string label;
    std::string path;
    std::uint64_t size = 0;
    bool unreadable = false;  // a folder the scan could not open or read
    std::vector<Row> children;
    bool expanded = false;  // within the requested depth: children listed (maybe none)
    size_t leftOut = 0;     // children beyond --top
    std::uint64_t leftOutBytes = 0;
};

std::uint64_t bytesOf(std::int64_t size) {
    return size < 0 ? 0 : static_cast<std::uint64_t>(size);
}

template <class Node, class Describe>
Row makeRow(const Node& node, std::string label, int depth, const DuRequest& request,
            const Describe& describe) {
    Row row;
    row.label = std::move(label);
    row.path = node.path();
    row.size = describe.size(node);
    row.unreadable = node.unreadable;
    if (depth >= request.depth) return row;
    row.expanded = true;
    for (const auto& child : node.children) {
        if (!child) continue;
        if (request.top > 0 && row.children.size() >= static_cast<size_t>(request.top)) {
            ++row.leftOut;
            row.leftOutBytes += describe.size(*child);
            continue;
        }
        row.children.push_back(
            makeRow(*child, describe.label(*child), depth + 1, request, describe));
    }
    return row;
}

struct FolderDescription {
    std::uint64_t size(const W32AllDir& node) const { return bytesOf(node.size); }
    std::string label(const W32AllDir& node) const { return node.name() + "/"; }
};

struct ItemDescription {
    std::uint64_t size(const FSNode& node) const { return node.size; }
    std::string label(const FSNode& node) const {
        return node.displayName() + (node.isDirectory ? "/" : "");
    }
};

// Names may hold control characters (even newlines); the terminal gets them as "?".
std::string printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) out += (c < 0x20 || c == 0x7f) ? '?' : static_cast<char>(c);
    return out;
}

std::string shareBar(std::uint64_t part, std::uint64_t whole, double& percent) {
    constexpr int kWidth = 20;
    percent = whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
    int filled = static_cast<int>(percent / 100.0 * kWidth + 0.5);
    filled = std::clamp(filled, 0, kWidth);
    return "[" + std::string(filled, '#') + std::string(kWidth - filled, ' ') + "]";
}

void printRow(const Row& row, std::uint64_t parentSize, int indent, std::string& out) {
    double percent = 0.0;
    std::string bar = shareBar(row.size, parentSize, percent);
    char line[96];
    std::snprintf(line, sizeof line, "%10s %6.1f%% %s  ",
                  UtilityFunction::convertVolSpace(row.size).c_str(), percent, bar.c_str());
    out += line;
    out +=
        std::string(2 * indent, ' ') + (row.unreadable ? "! " : "") + printable(row.label) + "\n";
    for (const auto& child : row.children) printRow(child, row.size, indent + 1, out);
    if (row.leftOut > 0) {
        out += std::string(43 + 2 * (indent + 1), ' ') + "(" + std::to_string(row.leftOut) +
               " more: " + UtilityFunction::convertVolSpace(row.leftOutBytes) + ")\n";
    }
}

nlohmann::json rowJson(const Row& row) {
    nlohmann::json value = {{"path", row.path}, {"size", row.size}};
    if (row.unreadable) value["error"] = true;
    if (row.expanded) {
        nlohmann::json children = nlohmann::json::array();
        for (const auto& child : row.children) children.push_back(rowJson(child));
        value["children"] = std::move(children);
    }
    return value;
}

// The absolute, normalised form of the folder the user named.
std::string folderPath(const std::string& given) {
    if (given.empty()) throw usageError("no such folder: (empty path)");
    std::string path = absolutePath(given);
    if (path.empty()) throw usageError("no such folder: " + printable(given));
    int fd = SharedFolderHandle::openFolderPath(path);
    if (fd >= 0) {
        ::close(fd);
        return path;
    }
    if (errno == ENOTDIR) throw usageError("not a folder: " + printable(given));
    if (errno == ENOENT) throw usageError("no such folder: " + printable(given));
    throw CliFailure("cannot read " + printable(given) + ": " + std::strerror(errno), 1);
}

// How far the scan got, on a terminal.
void showScanProgress(ProgressLine& line, const ScanCounters& counters) {
    line.poll([&counters] {
        return "Scanning: " + std::to_string(counters.folders.load()) + " folders, " +
               std::to_string(counters.files.load()) + " files, " +
               UtilityFunction::convertVolSpace(counters.bytes.load());
    });
}

void runDiskUsage(const DuRequest& request) {
    if (!request.limit.empty() && !request.items) {
        throw usageError("--limit applies to the item tree: add --items");
    }
    std::optional<std::uint64_t> limit;
    if (!request.limit.empty()) {
        limit = parseSizeArgument(request.limit);
        if (!limit) {
            throw usageError("bad size: " + printable(request.limit) +
                             " (examples: 500, 10KB, 1.5 MB, 2GB)");
        }
    }
    std::string path = folderPath(request.path);

    ScanCounters counters;
    TreeScanOptions options;
    options.stayOnFileSystem = request.oneFileSystem;
    options.counters = &counters;
    Row row;
    if (request.items) {
        std::unique_ptr<FSNode> root;
        {
            ProgressLine progress(stderr, ProgressLine::onTerminal(stderr));
            showScanProgress(progress, counters);
            root = NodeTreeOperator(options).buildBrowserTree(
                path, limit ? *limit : DiskUsageLimit::getLimitSize(), {});
        }
        row = makeRow(*root, path, 0, request, ItemDescription{});
    } else {
        auto root = W32AllDir::makeRoot(path);
        {
            ProgressLine progress(stderr, ProgressLine::onTerminal(stderr));
            showScanProgress(progress, counters);
            FolderTreeScanner(options).scanFolder(*root, root->path(), true);
        }
        row = makeRow(*root, root->path(), 0, request, FolderDescription{});
    }

    if (request.json) {
        printJson(rowJson(row));
        return;
    }
    std::string text;
    printRow(row, row.size, 0, text);
    if (auto unreadable = counters.unreadableFolders.load(); unreadable > 0) {
        text += "! " + std::to_string(unreadable) + (unreadable == 1 ? " folder" : " folders") +
                " could not be read: the sizes that contain " + (unreadable == 1 ? "it" : "them") +
                " may be too small.\n";
    }
    std::cout << text;
}

}  // namespace

void addDiskUsageCommand(CLI::App& app) {
    auto request = std::make_shared<DuRequest>();
    auto* du = app.add_subcommand(
        "du", "Where the space under a folder goes: its folders (or items), largest first");
    du->add_option("PATH", request->path, "The folder to measure")->required();
    du->add_option("--depth", request->depth, "Levels below the folder to list (default 1)")
        ->check(CLI::Range(0, std::numeric_limits<int>::max()));
    du->add_option("--top", request->top,
                   "At most N entries per folder, the rest summed up (default 10; 0 lists all)")
        ->check(CLI::Range(0, std::numeric_limits<int>::max()));
    du->add_option("--limit", request->limit,
                   "With --items: leave out items below SIZE (500, 10KB, 1.5 MB, 2GB); "
                   "default: the disk-usage limit setting");
    du->add_flag("--json", request->json,
                 "Print JSON: {\"path\",\"size\",\"children\":[...]}, \"error\": true on a folder "
                 "that could not be read");
    du->add_flag("--items", request->items,
                 "List files too (the column browser's tree): folders and the files at or above "
                 "the size limit");
    du->add_flag("-x,--one-file-system", request->oneFileSystem,
                 "Count folders on other file systems as empty");
    du->callback([request] { runDiskUsage(*request); });
}
