// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include <sys/stat.h>
#include <unistd.h>
#include <CLI/CLI.hpp>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
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
#include "core/fs/AtomicFile.h"
#include "core/text/UtilityFunction.h"
#include "diskusage/DiskUsageItem.h"
#include "diskusage/DiskUsageLimit.h"
#include "diskusage/DiskUsageListColumns.h"
#include "diskusage/EarlierScan.h"
#include "diskusage/FSNode.h"
#include "diskusage/FileHighlights.h"
#include "diskusage/FolderTreeScanner.h"
#include "diskusage/NodeTreeOperator.h"
#include "diskusage/RingFolderNode.h"
#include "diskusage/ScanFileExporter.h"
#include "diskusage/ScanFileLoader.h"
#include "diskusage/ScanHistory.h"
#include "diskusage/ScanTreeWriter.h"
#include "diskusage/SharedFolderHandle.h"
#include "diskusage/TreeScanOptions.h"
#include "platform/PlatformContext.h"
#include "platform/Services.h"

namespace quillby {

namespace {

struct DuRequest {
    std::string path;
    int depth = 1;
    int top = 10;
    std::string limit;
    bool json = false;
    bool items = false;
    bool oneFileSystem = false;
    bool allocated = false;
    std::vector<std::string> excludes;
    std::string exportFile;  // "-" for standard output
    std::string importFile;  // "-" for standard input
    std::string sinceFile;   // an earlier scan to compare with
    bool sinceLast = false;  // compare with the scan of the folder kept last time
    bool noKeep = false;     // do not keep this scan for a later comparison
    bool discover = false;   // the largest, newest and oldest files instead of the listing
};

// One line of the listing, cut to the requested depth and number of children.
struct Row {
    std::string label;
    std::string path;
    std::uint64_t size = 0;
    bool unreadable = false;  // a folder the scan could not open or read
    bool excluded = false;    // a folder left unread by --exclude: its size says nothing
    std::vector<Row> children;
    bool expanded = false;  // within the requested depth: children listed (maybe none)
    size_t leftOut = 0;     // children beyond --top
    std::uint64_t leftOutBytes = 0;
    // With --since: the change in bytes since the earlier scan, or none for a new entry; and
    // what the earlier scan had in this folder that is gone.
    bool compared = false;
    std::optional<std::int64_t> change;
    std::vector<EarlierScan::Gone> gone;
    std::vector<std::string> present;  // every child's name, listed or not
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
    row.excluded = node.excluded;
    if (depth >= request.depth || row.excluded) return row;
    row.expanded = true;
    for (const auto& child : node.children) {
        if (!child) continue;
        row.present.push_back(EarlierScan::nameOf(child->path()));
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
    std::uint64_t size(const RingFolderNode& node) const { return bytesOf(node.size); }
    std::string label(const RingFolderNode& node) const { return node.name() + "/"; }
};

struct ItemDescription {
    std::uint64_t size(const FSNode& node) const { return node.size; }
    std::string label(const FSNode& node) const {
        return node.displayName() + (node.isDirectory ? "/" : "");
    }
};

// Marks every row with its change since `earlier` and each listed folder with what is gone.
// Children beyond --top are not listed but count as present, not as gone. The two scans' roots
// may be spelled differently (a scan file made elsewhere): paths compare below them.
void compareWith(Row& row, const std::string& rowRoot, const EarlierScan& earlier,
                 const std::string& earlierRoot) {
    row.compared = true;
    std::string path = earlierRoot + row.path.substr(std::min(rowRoot.size(), row.path.size()));
    if (auto before = earlier.sizeOf(earlierRoot, path)) {
        row.change = static_cast<std::int64_t>(row.size) - static_cast<std::int64_t>(*before);
    }
    if (!row.expanded || row.excluded) return;
    row.gone = earlier.goneFrom(earlierRoot, path, row.present);
    for (auto& child : row.children) compareWith(child, rowRoot, earlier, earlierRoot);
}

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

// The change column of a row compared with an earlier scan: "+2.10 GB", "new".
std::string changeColumn(const Row& row) {
    if (!row.compared || row.excluded) return "";
    char cell[24];
    std::string change = row.change ? EarlierScan::changeText(*row.change) : "new";
    std::snprintf(cell, sizeof cell, "%11s ", change.c_str());
    return cell;
}

void printRow(const Row& row, std::uint64_t parentSize, int indent, std::string& out) {
    double percent = 0.0;
    std::string bar = shareBar(row.size, parentSize, percent);
    char line[96];
    if (row.excluded) {
        std::snprintf(line, sizeof line, "%10s %7s %s  ", "-", "", bar.c_str());
    } else {
        std::snprintf(line, sizeof line, "%10s %6.1f%% %s  ",
                      UtilityFunction::convertVolSpace(row.size).c_str(), percent, bar.c_str());
    }
    out += line;
    out += changeColumn(row);
    out += std::string(2 * indent, ' ') + (row.unreadable ? kUnreadableMark : "") +
           (row.excluded ? kExcludedMark : "") + printable(row.label) + "\n";
    for (const auto& child : row.children) printRow(child, row.size, indent + 1, out);
    std::string under(43 + (row.compared ? 12 : 0) + 2 * (indent + 1), ' ');
    if (row.leftOut > 0) {
        out += under + "(" + std::to_string(row.leftOut) +
               " more: " + UtilityFunction::convertVolSpace(row.leftOutBytes) + ")\n";
    }
    for (const auto& gone : row.gone) {
        out += under + "(removed: " + printable(gone.name) + ", " +
               UtilityFunction::convertVolSpace(gone.size) + ")\n";
    }
}

nlohmann::json rowJson(const Row& row) {
    if (row.excluded) return {{"path", row.path}, {"excluded", true}};
    nlohmann::json value = {{"path", row.path}, {"size", row.size}};
    if (row.unreadable) value["error"] = true;
    if (row.compared) {
        if (row.change) {
            value["change"] = *row.change;
        } else {
            value["new"] = true;
        }
    }
    if (!row.gone.empty()) {
        nlohmann::json gone = nlohmann::json::array();
        for (const auto& entry : row.gone) {
            gone.push_back({{"name", entry.name}, {"size", entry.size}});
        }
        value["removed"] = std::move(gone);
    }
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

// The scan's measure and exclusions as the user asked for them; an exclusion that names no
// folder is refused rather than silently scanning what the user meant to leave out.
ScanScope requestedScope(const DuRequest& request) {
    ScanScope scope;
    scope.allocatedSize = request.allocated;
    for (const auto& given : request.excludes) {
        std::string path = given.empty() ? std::string() : absolutePath(given);
        std::error_code error;
        if (path.empty() || !std::filesystem::is_directory(path, error) ||
            !scope.excludedFolders.add(path)) {
            bool exists = !path.empty() && std::filesystem::exists(path, error);
            throw usageError("cannot exclude " + printable(given) + ": " +
                             (exists ? "not a folder" : "no such folder"));
        }
    }
    return scope;
}

// Which measure the sizes are in, for the reader of the output.
std::string measureName(bool allocated) {
    return allocated ? "allocated" : "apparent";
}

// How far the scan got, on a terminal.
void showScanProgress(ProgressLine& line, const ScanCounters& counters) {
    line.poll([&counters] {
        return "Scanning: " + std::to_string(counters.folders.load()) + " folders, " +
               std::to_string(counters.files.load()) + " files, " +
               UtilityFunction::convertVolSpace(counters.bytes.load());
    });
}

// What stands at the export file's path when it is not a regular file; "" for a regular file
// or nothing. Such a thing is never written to nor replaced: a pipe or a device would take the
// scan, and replacing a link would silently cut it from the file it names.
std::string specialKind(const std::string& file) {
    struct stat status {};
    if (::lstat(file.c_str(), &status) != 0 || S_ISREG(status.st_mode)) return "";
    if (S_ISDIR(status.st_mode)) return "a folder";
    if (S_ISLNK(status.st_mode)) return "a symbolic link";
    if (S_ISFIFO(status.st_mode)) return "a named pipe";
    if (S_ISSOCK(status.st_mode)) return "a socket";
    return "a device";
}

// Writes the scan of the folder to the export file, or standard output for "-". The file is
// replaced only by a complete scan: a failure leaves what was there before.
void exportScan(const DuRequest& request) {
    std::string path = folderPath(request.path);
    bool toOutput = request.exportFile == "-";
    if (!toOutput) {
        if (std::string kind = specialKind(request.exportFile); !kind.empty()) {
            throw usageError("cannot write " + printable(request.exportFile) + ": it is " + kind +
                             ", not a regular file");
        }
    }
    ScanCounters counters;
    TreeScanOptions options;
    options.stayOnFileSystem = request.oneFileSystem;
    options.counters = &counters;
    options.scope = requestedScope(request);
    ScanFileMetadata metadata;
    metadata.program = "quillby";
    metadata.version = PlatformContext::versionText;
    metadata.timestamp = static_cast<std::int64_t>(std::time(nullptr));
    auto writeScan = [&](int fd) {
        ScanFileExporter::Result result =
            ScanFileExporter(options).exportFolder(path, metadata, fd);
        if (!result.written) errno = result.writeError;
        return result.written;
    };
    bool written = false;
    int error = 0;
    {
        ProgressLine progress(stderr, ProgressLine::onTerminal(stderr));
        showScanProgress(progress, counters);
        written = toOutput ? writeScan(STDOUT_FILENO)
                           : replaceFileAtomically(request.exportFile, writeScan, 0666);
        error = errno;
    }
    if (!written) {
        throw CliFailure(
            "cannot write " + printable(request.exportFile) + ": " + std::strerror(error), 1);
    }
    if (auto unreadable = counters.unreadableFolders.load(); unreadable > 0) {
        std::fprintf(stderr, "quillby: %llu %s could not be read (marked read_error)\n",
                     static_cast<unsigned long long>(unreadable),
                     unreadable == 1 ? "folder" : "folders");
    }
}

// Where the scans of each folder are kept for --since-last; nothing when they cannot be.
std::optional<ScanHistory> keptScans() {
    auto folder = ScanHistory::defaultFolder(Services::context());
    if (!folder) return std::nullopt;
    return ScanHistory(*folder);
}

// Keeps the finished scan of the place for a later --since-last. Keeping is a courtesy: a
// failure is said on standard error and never fails the listing.
template <class Node>
void keepScan(const Node& root, const std::string& place, const DuRequest& request) {
    auto history = keptScans();
    if (request.noKeep || !history) return;
    ScanFileMetadata metadata;
    metadata.program = "quillby";
    metadata.version = PlatformContext::versionText;
    metadata.timestamp = static_cast<std::int64_t>(std::time(nullptr));
    auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    std::vector<std::string> problems;
    history->keep(
        place, now.count(), [&](int fd) { return writeScanTree(root, metadata, fd); }, problems);
    for (const auto& problem : problems) {
        std::fprintf(stderr, "quillby: kept scans: %s\n", printable(problem).c_str());
    }
}

// The tree of a scan file; a file that is not one is refused in one line.
template <class Node>
std::unique_ptr<Node> importedTree(const std::string& given, LoadedTree<Node> loaded,
                                   std::uint64_t& unreadable) {
    using Outcome = ScanFileReader::Outcome;
    std::string file = given == "-" ? "standard input" : printable(given);
    if (loaded.outcome == Outcome::NotScanFile) {
        throw usageError(file + " is not a disk-usage scan file (ncdu's export format): " +
                         printable(loaded.message));
    }
    if (loaded.outcome != Outcome::Read) {
        int status = loaded.readError == ENOENT || loaded.readError == EISDIR ? 2 : 1;
        throw CliFailure(file + ": " + loaded.message, status);
    }
    unreadable = loaded.unreadableFolders;
    return std::move(loaded.root);
}

// The --top largest, newest and oldest files under the folder, gathered by the scan's walk.
void discoverFiles(const DuRequest& request) {
    if (request.top < 1) throw usageError("--discover lists at least one file: --top 1 or more");
    std::string path = folderPath(request.path);
    ScanCounters counters;
    TreeScanOptions options;
    options.stayOnFileSystem = request.oneFileSystem;
    options.counters = &counters;
    options.scope = requestedScope(request);
    FileHighlights highlights(static_cast<std::size_t>(request.top), request.allocated);
    options.highlights = &highlights;
    auto root = RingFolderNode::makeRoot(path);
    {
        ProgressLine progress(stderr, ProgressLine::onTerminal(stderr));
        showScanProgress(progress, counters);
        FolderTreeScanner(options).scanFolder(*root, root->path(), true);
    }
    FileHighlightLists lists = highlights.lists();
    const std::pair<const char*, const std::vector<FileHighlight>*> sections[] = {
        {"Largest files", &lists.largest},
        {"Newest files", &lists.newest},
        {"Oldest files", &lists.oldest}};
    if (request.json) {
        const char* keys[] = {"largest", "newest", "oldest"};
        nlohmann::json value = {{"path", root->path()},
                                {"measure", measureName(request.allocated)}};
        for (std::size_t i = 0; i < std::size(sections); ++i) {
            nlohmann::json files = nlohmann::json::array();
            for (const auto& file : *sections[i].second) {
                files.push_back(
                    {{"path", file.path}, {"size", file.size}, {"modified", file.modified}});
            }
            value[keys[i]] = std::move(files);
        }
        printJson(value);
        return;
    }
    std::string text;
    for (const auto& [title, files] : sections) {
        text += std::string(text.empty() ? "" : "\n") + title + "\n";
        for (const auto& file : *files) {
            char line[64];
            std::snprintf(line, sizeof line, "%10s  %16s  ",
                          UtilityFunction::convertVolSpace(file.size).c_str(),
                          modifiedText(file.modified).c_str());
            text += line + printable(file.path) + "\n";
        }
        if (files->empty()) text += "  (none)\n";
    }
    if (auto unreadable = counters.unreadableFolders.load(); unreadable > 0)
        text += kUnreadableMark + unreadableFoldersText(unreadable) + "\n";
    std::cout << text;
}

void runDiskUsage(const DuRequest& request) {
    if (!request.exportFile.empty()) return exportScan(request);
    if (request.discover) return discoverFiles(request);
    if (request.path.empty() && request.importFile.empty()) {
        throw usageError("a folder to measure (PATH) or --import FILE is needed");
    }
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
    const bool imported = !request.importFile.empty();
    std::string path = imported ? std::string() : folderPath(request.path);
    const std::uint64_t itemLimit = limit ? *limit : DiskUsageLimit::getLimitSize();
    const std::string place = ScanHistory::placeKey(
        path, ScanHistory::kindOf(request.items ? std::optional(itemLimit) : std::nullopt,
                                  request.allocated));
    DuRequest compared = request;
    if (request.sinceLast) {
        auto history = keptScans();
        auto last = history ? history->latest(place) : std::nullopt;
        if (last) {
            compared.sinceFile = last->file.string();
        } else {
            std::fprintf(stderr, "quillby: no earlier scan of this folder is kept\n");
        }
    }
    DescriptorSource input(STDIN_FILENO);
    std::uint64_t unreadable = 0;

    ScanCounters counters;
    TreeScanOptions options;
    options.stayOnFileSystem = request.oneFileSystem;
    options.counters = &counters;
    if (!imported) options.scope = requestedScope(request);
    Row row;
    if (request.items) {
        std::unique_ptr<FSNode> root;
        if (imported) {
            root = importedTree(request.importFile,
                                request.importFile == "-"
                                    ? ScanFileLoader::loadItemTree(input, itemLimit)
                                    : ScanFileLoader::loadItemTree(request.importFile, itemLimit),
                                unreadable);
        } else {
            ProgressLine progress(stderr, ProgressLine::onTerminal(stderr));
            showScanProgress(progress, counters);
            root = NodeTreeOperator(options).buildBrowserTree(path, itemLimit, {});
        }
        row = makeRow(*root, root->path(), 0, request, ItemDescription{});
        if (!compared.sinceFile.empty()) {
            std::uint64_t ignored = 0;
            auto earlier =
                importedTree(compared.sinceFile,
                             ScanFileLoader::loadItemTree(compared.sinceFile, itemLimit), ignored);
            compareWith(row, root->path(),
                        EarlierScan::of(*earlier, request.depth,
                                        [](const FSNode& node) { return node.size; }),
                        earlier->path());
        }
        if (!imported) keepScan(*root, place, request);
    } else {
        std::unique_ptr<RingFolderNode> root;
        if (imported) {
            root = importedTree(request.importFile,
                                request.importFile == "-"
                                    ? ScanFileLoader::loadFolderTree(input)
                                    : ScanFileLoader::loadFolderTree(request.importFile),
                                unreadable);
        } else {
            root = RingFolderNode::makeRoot(path);
            ProgressLine progress(stderr, ProgressLine::onTerminal(stderr));
            showScanProgress(progress, counters);
            FolderTreeScanner(options).scanFolder(*root, root->path(), true);
        }
        row = makeRow(*root, root->path(), 0, request, FolderDescription{});
        if (!compared.sinceFile.empty()) {
            std::uint64_t ignored = 0;
            auto earlier = importedTree(
                compared.sinceFile, ScanFileLoader::loadFolderTree(compared.sinceFile), ignored);
            compareWith(
                row, root->path(),
                EarlierScan::of(*earlier, request.depth,
                                [](const RingFolderNode& node) { return bytesOf(node.size); }),
                earlier->path());
        }
        if (!imported) keepScan(*root, place, request);
    }
    if (!imported) unreadable = counters.unreadableFolders.load();

    if (request.json) {
        nlohmann::json value = rowJson(row);
        value["measure"] = measureName(request.allocated);
        printJson(value);
        return;
    }
    std::string text;
    printRow(row, row.size, 0, text);
    text += request.allocated ? "Sizes: allocated (the blocks taken on the disk, hard links once)\n"
                              : "Sizes: apparent (the files' lengths)\n";
    if (unreadable > 0) text += kUnreadableMark + unreadableFoldersText(unreadable) + "\n";
    std::cout << text;
}

}  // namespace

void addDiskUsageCommand(CLI::App& app) {
    auto request = std::make_shared<DuRequest>();
    auto* du = app.add_subcommand(
        "du", "Where the space under a folder goes: its folders (or items), largest first");
    auto* path = du->add_option("PATH", request->path, "The folder to measure");
    auto* depth =
        du->add_option("--depth", request->depth, "Levels below the folder to list (default 1)")
            ->check(CLI::Range(0, std::numeric_limits<int>::max()));
    auto* top =
        du->add_option("--top", request->top,
                       "At most N entries per folder, the rest summed up (default 10; 0 lists all)")
            ->check(CLI::Range(0, std::numeric_limits<int>::max()));
    auto* limit =
        du->add_option("--limit", request->limit,
                       "With --items: leave out items below SIZE (500, 10KB, 1.5 MB, 2GB); "
                       "default: the disk-usage limit setting");
    auto* json = du->add_flag("--json", request->json,
                              "Print JSON: {\"path\",\"size\",\"children\":[...]} and the root's "
                              "\"measure\"; \"error\": true on a folder that could not be "
                              "read, \"excluded\": true (no size) on an excluded one");
    auto* items = du->add_flag("--items", request->items,
                               "List files too (the column browser's tree): folders and the files "
                               "at or above the size limit");
    auto* oneFileSystem = du->add_flag("-x,--one-file-system", request->oneFileSystem,
                                       "Count folders on other file systems as empty");
    auto* allocated = du->add_flag("--allocated", request->allocated,
                                   "Sizes on disk (allocated blocks, as du -B1 counts: sparse "
                                   "files at their real cost, hard links once) instead of "
                                   "apparent sizes");
    auto* exclude = du->add_option("--exclude", request->excludes,
                                   "Never read this folder (repeatable); it is listed as "
                                   "excluded, whatever path reaches it")
                        ->allow_extra_args(false);
    auto* exportTo = du->add_option("--export", request->exportFile,
                                    "Write the whole scan to FILE (- for standard output) in "
                                    "ncdu's export format instead of listing it");
    for (auto* listing : {depth, top, limit, json, items, allocated}) exportTo->excludes(listing);
    auto* importFrom =
        du->add_option("--import", request->importFile,
                       "List a scan file instead of scanning: one written by --export, ncdu -o or "
                       "gdu -o (- for standard input)")
            ->excludes(path)
            ->excludes(exportTo)
            ->excludes(oneFileSystem)
            ->excludes(allocated)
            ->excludes(exclude);
    auto* since =
        du->add_option(
              "--since", request->sinceFile,
              "Say what changed since an earlier scan of the same folder (a file written by "
              "--export, ncdu -o or gdu -o): each entry's change (\"change\" in bytes in "
              "JSON), new entries (\"new\": true) and what is gone (\"removed\")")
            ->excludes(exportTo);
    du->add_flag("--since-last", request->sinceLast,
                 "Like --since, with the scan of the same folder kept last time (every scan of "
                 "a folder is kept in $XDG_CACHE_HOME/com.quillby.pro/scans, the last 3 of each)")
        ->excludes(since)
        ->excludes(exportTo)
        ->excludes(importFrom);
    du->add_flag("--discover", request->discover,
                 "List the --top largest, newest and oldest files under the folder instead (JSON: "
                 "{\"largest\",\"newest\",\"oldest\"}: [{\"path\",\"size\",\"modified\"}])")
        ->excludes(exportTo)
        ->excludes(importFrom)
        ->excludes(items)
        ->excludes(depth)
        ->excludes(since)
        ->excludes("--since-last");
    du->add_flag("--no-keep", request->noKeep,
                 "Do not keep this scan for a later --since-last or the window's change column")
        ->excludes(exportTo);
    du->callback([request] { runDiskUsage(*request); });
}

}  // namespace quillby
