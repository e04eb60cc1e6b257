// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/AutostartLoginItems.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <map>
#include <set>

#include "core/apps/DesktopEntryFile.h"
#include "core/events/Log.h"
#include "core/fs/AtomicFile.h"
#include "core/fs/DeletionGate.h"
#include "core/fs/FileURL.h"
#include "core/fs/WriteAll.h"
#include "platform/linux/InotifyFolderWatch.h"

namespace quillby {

namespace fs = std::filesystem;

namespace {

// A user's own entry goes through the deletion gate, from the autostart folder as it is.
RemovalOutcome removeUserFile(const fs::path& file) {
    DeletionGate::Options options;
    options.caller = ::geteuid();
    options.protectAccountHomes = false;
    return DeletionGate(options).removeInside(file.parent_path().string(), file.string(),
                                              std::nullopt, DeletionGate::Disposal::Delete);
}

constexpr const char* desktopSuffix = ".desktop";
constexpr const char* hiddenKey = "Hidden";

bool isDesktopFileName(const std::string& name) {
    return name.size() > std::strlen(desktopSuffix) &&
           name.compare(name.size() - std::strlen(desktopSuffix), std::string::npos,
                        desktopSuffix) == 0;
}

// The desktop entries of one folder, by file name; a missing folder has none.
std::map<std::string, fs::path> desktopFilesIn(const fs::path& folder) {
    std::map<std::string, fs::path> files;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) {
        if (error != std::errc::no_such_file_or_directory && error != std::errc::not_a_directory) {
            QWLog("Cannot read the login items in %s: %s", folder.c_str(), error.message().c_str());
        }
        return files;
    }
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) break;
        std::string name = it->path().filename().string();
        // Anything but a folder is tried, so that a file that cannot be read is reported.
        std::error_code statusError;
        if (isDesktopFileName(name) && !it->is_directory(statusError)) {
            files.emplace(name, it->path());
        }
    }
    return files;
}

bool isExecutableFile(const fs::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// A file name for a new entry: letters, digits, ".", "-" and "_" only, never hidden, not long.
std::string entryFileStem(const std::string& name) {
    std::string stem;
    for (char c : name.substr(0, 200)) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '.' || c == '-' || c == '_';
        stem += plain ? c : '_';
    }
    if (stem.empty()) return "login-item";
    if (stem.front() == '.') stem.front() = '_';
    return stem;
}

// The document an opener command opens ("xdg-open FILE", "gio open FILE"), if that is what the
// command is.
std::optional<std::string> openedDocument(const std::vector<std::string>& arguments) {
    static const std::set<std::string> openers = {"xdg-open", "kde-open", "kde-open5", "exo-open",
                                                  "gnome-open"};
    std::string program = fs::path(arguments[0]).filename().string();
    if (openers.count(program) && arguments.size() >= 2) return arguments[1];
    if (program == "gio" && arguments.size() >= 3 && arguments[1] == "open") return arguments[2];
    return std::nullopt;
}

}  // namespace

AutostartLoginItems::AutostartLoginItems(PlatformContext context) : context_(std::move(context)) {}

fs::path AutostartLoginItems::userFolder() const {
    return context_.xdgConfigHome / "autostart";
}

std::vector<fs::path> AutostartLoginItems::systemFolders() const {
    std::vector<fs::path> folders;
    for (const auto& dir : context_.xdgConfigDirs) folders.push_back(dir / "autostart");
    return folders;
}

std::vector<std::string> AutostartLoginItems::itemNames() const {
    std::set<std::string> names;
    for (const auto& folder : systemFolders()) {
        for (const auto& [name, file] : desktopFilesIn(folder)) names.insert(name);
    }
    for (const auto& [name, file] : desktopFilesIn(userFolder())) names.insert(name);
    return {names.begin(), names.end()};
}

std::vector<AutostartLoginItems::Listed> AutostartLoginItems::listItems() const {
    std::map<std::string, Listed> found;
    for (const auto& folder : systemFolders()) {
        for (const auto& [name, file] : desktopFilesIn(folder)) {
            found.try_emplace(name, Listed{name, {}, file, DesktopEntry::empty()});
        }
    }
    for (const auto& [name, file] : desktopFilesIn(userFolder())) {
        found.try_emplace(name, Listed{name, {}, {}, DesktopEntry::empty()})
            .first->second.userFile = file;
    }
    std::vector<Listed> items;
    for (auto& [name, item] : found) {
        const fs::path& file = item.userFile.empty() ? item.systemFile : item.userFile;
        std::string why;
        auto entry = readDesktopEntryFile(file, &why);
        if (!entry) {
            QWLog("Skipping login item %s: %s", file.c_str(), why.c_str());
            continue;
        }
        item.entry = std::move(*entry);
        items.push_back(std::move(item));
    }
    return items;
}

std::optional<fs::path> AutostartLoginItems::findExecutable(const std::string& name) const {
    for (const auto& folder : context_.executableSearchPath) {
        fs::path candidate = folder / name;
        if (isExecutableFile(candidate)) return candidate;
    }
    return std::nullopt;
}

std::string AutostartLoginItems::targetURL(const DesktopEntry& entry, const fs::path& file) const {
    const char* group = DesktopEntry::mainGroup;
    auto command = entry.stringValue(group, "Exec");
    auto split = command ? DesktopEntry::splitExec(*command) : std::nullopt;
    if (!split) return fileURLFromPath(file.string());
    DesktopEntry::ExecFields fields{entry.localeStringValue(group, "Name", "").value_or(""),
                                    entry.stringValue(group, "Icon").value_or(""), file.string()};
    std::vector<std::string> arguments = DesktopEntry::expandExec(*split, fields);
    DesktopEntry::dropEnvironmentPrefix(arguments);
    if (arguments.empty()) return fileURLFromPath(file.string());

    if (auto document = openedDocument(arguments)) {
        if (!document->empty() && document->front() == '/') return fileURLFromPath(*document);
        if (auto path = pathFromFileURL(*document)) return fileURLFromPath(*path);
    }
    const std::string& program = arguments[0];
    if (program.find('/') != std::string::npos) {
        return fileURLFromPath(program.front() == '/' ? program : file.string());
    }
    if (auto found = findExecutable(program)) return fileURLFromPath(found->string());
    return fileURLFromPath(file.string());
}

LoginItemEntry AutostartLoginItems::describe(const Listed& item) const {
    const char* group = DesktopEntry::mainGroup;
    const fs::path& file = item.userFile.empty() ? item.systemFile : item.userFile;
    LoginItemEntry described;
    described.url = targetURL(item.entry, file);
    described.hidden = item.entry.booleanValue(group, hiddenKey).value_or(false);
    described.identifier = item.identifier;
    described.entryPath = file.string();
    described.name =
        item.entry.localeStringValue(group, "Name", context_.messagesLocale).value_or("");
    described.icon = item.entry.stringValue(group, "Icon").value_or("");
    described.system = !item.systemFile.empty();
    return described;
}

int AutostartLoginItems::copyLoginItems(std::vector<LoginItemEntry>& entries) {
    entries.clear();
    for (const auto& item : listItems()) entries.push_back(describe(item));
    return LoginItemStatus::success;
}

std::string AutostartLoginItems::itemURLForPath(const std::string& path) {
    if (fs::path(path).extension() == desktopSuffix) {
        std::string why;
        if (auto entry = readDesktopEntryFile(path, &why)) return targetURL(*entry, path);
    }
    return fileURLFromPath(path);
}

std::optional<AutostartLoginItems::NewEntry> AutostartLoginItems::newEntryFor(const fs::path& path,
                                                                              bool hidden) const {
    const char* group = DesktopEntry::mainGroup;
    fs::path named = path.lexically_normal();
    if (!named.has_filename()) named = named.parent_path();
    std::string fileName = named.filename().empty() ? named.string() : named.filename().string();

    if (path.extension() == desktopSuffix && fs::is_regular_file(path)) {
        std::string why;
        auto entry = readDesktopEntryFile(path, &why);
        if (entry && entry->stringValue(group, "Type") != "Application") {
            why = "it does not describe an application";
        }
        if (!why.empty()) {
            QWLog("Cannot add %s as a login item: %s", path.c_str(), why.c_str());
            return std::nullopt;
        }
        if (hidden) {
            entry->setBooleanValue(group, hiddenKey, true);
        } else if (entry->booleanValue(group, hiddenKey) == true) {
            entry->removeKey(group, hiddenKey);
        }
        return NewEntry{fileName, entry->toText()};
    }

    std::vector<std::string> command{path.string()};
    if (!isExecutableFile(path)) command.insert(command.begin(), "xdg-open");
    DesktopEntry entry = DesktopEntry::empty();
    bool written = entry.setValue(group, "Type", "Application") &&
                   entry.setStringValue(group, "Name", fileName) &&
                   entry.setStringValue(group, "Exec", DesktopEntry::joinExec(command)) &&
                   (!hidden || entry.setBooleanValue(group, hiddenKey, true));
    // Read back what will be written: a name that a desktop entry cannot hold (not UTF-8, control
    // characters) must fail here rather than leave an entry that no desktop can read.
    auto check = DesktopEntry::parse(entry.toText());
    auto exec = check.entry ? check.entry->stringValue(group, "Exec") : std::nullopt;
    auto split = exec ? DesktopEntry::splitExec(*exec) : std::nullopt;
    if (!written || !split || DesktopEntry::expandExec(*split) != command) {
        QWLog("Cannot add %s as a login item: its name cannot be written in a desktop entry",
              path.c_str());
        return std::nullopt;
    }
    return NewEntry{entryFileStem(fileName) + desktopSuffix, entry.toText()};
}

int AutostartLoginItems::writeUserFile(const std::string& fileName, const std::string& text) const {
    fs::path file = userFolder() / fileName;
    std::error_code ignored;
    fs::create_directories(file.parent_path(), ignored);
    // A rewritten entry keeps its permissions; a new one is readable by all, as desktop entries
    // are (less the umask).
    struct stat existing {};
    bool rewrite = ::lstat(file.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    mode_t mode = rewrite ? (existing.st_mode & 0777) : 0644;
    auto writeEntry = [&](int fd) {
        return (!rewrite || ::fchmod(fd, mode) == 0) && writeAll(fd, text);
    };
    if (!replaceFileAtomically(file, writeEntry, mode)) {
        QWLog("Cannot write the login item %s: %s", file.c_str(), std::strerror(errno));
        return LoginItemStatus::ioFailure;
    }
    return LoginItemStatus::success;
}

int AutostartLoginItems::addURLAtEnd(const std::string& url, bool hidden) {
    auto path = pathFromFileURL(url);
    if (!path) {
        QWLog("Cannot add %s as a login item: not a local file", url.c_str());
        return LoginItemStatus::invalidItem;
    }
    struct stat status {};
    if (::stat(path->c_str(), &status) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? LoginItemStatus::fileNotFound
                                                   : LoginItemStatus::ioFailure;
    }
    auto created = newEntryFor(*path, hidden);
    if (!created) return LoginItemStatus::invalidItem;

    auto names = itemNames();
    std::set<std::string> taken(names.begin(), names.end());
    std::string fileName = created->fileName;
    if (taken.count(fileName)) {
        // The same entry added again is already there; anything else gets a name of its own
        // rather than replace an item the user has.
        std::string why;
        auto existing = readDesktopEntryFile(userFolder() / fileName, &why);
        if (existing && existing->toText() == created->text) return LoginItemStatus::success;
        std::string stem = fileName.substr(0, fileName.size() - std::strlen(desktopSuffix));
        for (int n = 2; taken.count(fileName); ++n) {
            fileName = stem + "-" + std::to_string(n) + desktopSuffix;
        }
    }
    return writeUserFile(fileName, created->text);
}

int AutostartLoginItems::removeAtIndex(std::size_t index) {
    auto items = listItems();
    if (index >= items.size()) return LoginItemStatus::invalidItem;
    const Listed& item = items[index];
    if (!item.systemFile.empty()) return LoginItemStatus::systemItem;
    RemovalOutcome outcome = removeUserFile(item.userFile);
    if (outcome.kind == RemovalOutcome::Kind::Removed) return LoginItemStatus::success;
    QWLog("Cannot delete the login item %s: %s", item.userFile.c_str(),
          outcome.gone() ? "it is gone" : outcome.reason().c_str());
    return outcome.gone() ? LoginItemStatus::fileNotFound : LoginItemStatus::ioFailure;
}

int AutostartLoginItems::setHiddenAtIndex(std::size_t index, bool hidden) {
    const char* group = DesktopEntry::mainGroup;
    auto items = listItems();
    if (index >= items.size()) return LoginItemStatus::invalidItem;
    const Listed& item = items[index];
    DesktopEntry changed = item.entry;
    if (hidden) {
        changed.setBooleanValue(group, hiddenKey, true);
    } else {
        changed.removeKey(group, hiddenKey);
    }

    if (item.systemFile.empty()) {
        if (changed.toText() == item.entry.toText()) return LoginItemStatus::success;
        return writeUserFile(item.identifier, changed.toText());
    }

    // A system item is changed through an override in the user's folder, which goes away once
    // it says nothing the system entry does not.
    std::string why;
    auto systemEntry = readDesktopEntryFile(item.systemFile, &why);
    if (systemEntry) {
        if (!hidden && systemEntry->booleanValue(group, hiddenKey) == true) {
            changed.setBooleanValue(group, hiddenKey, false);
        }
        if (changed.sameContent(*systemEntry)) {
            RemovalOutcome outcome = item.userFile.empty() ? RemovalOutcome::vanished("")
                                                           : removeUserFile(item.userFile);
            if (!outcome.gone()) {
                QWLog("Cannot delete the login item override %s: %s", item.userFile.c_str(),
                      outcome.reason().c_str());
                return LoginItemStatus::ioFailure;
            }
            return LoginItemStatus::success;
        }
    }
    return writeUserFile(item.identifier, changed.toText());
}

std::unique_ptr<ChangeWatch> AutostartLoginItems::watchChanges(std::function<void()> changed) {
    std::vector<fs::path> folders{userFolder()};
    for (const auto& folder : systemFolders()) folders.push_back(folder);
    return std::make_unique<InotifyFolderWatch>(std::move(folders), desktopSuffix,
                                                std::move(changed));
}

}  // namespace quillby
