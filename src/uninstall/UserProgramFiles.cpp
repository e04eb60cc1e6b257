// SPDX-License-Identifier: GPL-3.0-or-later
#include "uninstall/UserProgramFiles.h"

#include <sys/stat.h>
#include <algorithm>
#include <cctype>

#include "core/apps/DesktopEntry.h"
#include "core/apps/DesktopEntryFile.h"
#include "core/fs/EntryStatus.h"
#include "core/fs/FolderHandle.h"
#include "uninstall/RelatedFileRule.h"

namespace quillby {

namespace fs = std::filesystem;

namespace {

// The folders of a home that hold many programs' files, or the user's own documents.
constexpr const char* kSharedHomeFolders[] = {
    ".local",       ".local/bin", ".local/lib", ".local/opt",   ".local/share",
    ".local/state", "bin",        "opt",        "Applications", ".var",
    ".var/app",     "snap",       "Desktop",    "Documents",    "Downloads",
    "Music",        "Pictures",   "Public",     "Templates",    "Videos"};

bool liesIn(const fs::path& path, const fs::path& folder) {
    fs::path relative = path.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

// `path` relative to `folder` when it lies strictly inside it.
std::optional<fs::path> below(const fs::path& path, const fs::path& folder) {
    fs::path relative = path.lexically_normal().lexically_relative(folder);
    if (relative.empty() || relative == "." || *relative.begin() == "..") return std::nullopt;
    return relative;
}

// The status of `path` inside `home`, reached from the home without following a link; the last
// component is not followed either.
std::optional<EntryStatus> statusBelow(const fs::path& home, const fs::path& path) {
    auto relative = below(path, home);
    if (!relative) return std::nullopt;
    std::vector<std::string> parts;
    for (const auto& part : *relative) parts.push_back(part.string());
    int error = 0;
    FolderHandle folder = FolderHandle::openTrusted(home.string(), error);
    for (std::size_t i = 0; folder.isOpen() && i + 1 < parts.size(); ++i) {
        folder = FolderHandle::openLocationStep(folder, parts[i].c_str(), error);
    }
    if (!folder.isOpen()) return std::nullopt;
    return entryStatusAt(folder.fd(), parts.back().c_str());
}

std::string lowered(std::string_view text) {
    std::string low(text);
    for (char& c : low) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return low;
}

// True when a folder called `folder` is named after `name`, perhaps with a version or variant
// ("notetaker", "NoteTaker-1.2", "notetaker_x64"), whatever the case.
bool namedAfter(const std::string& folder, const std::string& name) {
    if (name.size() < 2) return false;
    std::string low = lowered(folder);
    std::string wanted = lowered(name);
    if (!low.starts_with(wanted)) return false;
    if (low.size() == wanted.size()) return true;
    char next = low[wanted.size()];
    return next == '-' || next == '_' || next == '.' || next == ' ' ||
           std::isdigit(static_cast<unsigned char>(next));
}

// The arguments of an entry's command for a launch without files, "env" dropped; none when the
// entry cannot be read.
std::vector<std::string> commandOf(const fs::path& file) {
    std::string why;
    auto entry = readDesktopEntryFile(file, &why);
    if (!entry) return {};
    auto command = entry->stringValue(DesktopEntry::mainGroup, "Exec");
    auto split = command ? DesktopEntry::splitExec(*command) : std::nullopt;
    if (!split) return {};
    std::vector<std::string> arguments = DesktopEntry::expandExec(*split);
    DesktopEntry::dropEnvironmentPrefix(arguments);
    return arguments;
}

// The program a command starts: its absolute path, or a name found on the search path.
std::optional<fs::path> programOf(const std::vector<std::string>& command,
                                  const std::vector<fs::path>& searchPath) {
    if (command.empty() || command[0].empty()) return std::nullopt;
    fs::path program(command[0]);
    if (program.is_absolute()) return program.lexically_normal();
    if (command[0].find('/') != std::string::npos) return std::nullopt;
    for (const auto& folder : searchPath) {
        struct stat status {};
        if (::stat((folder / program).c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
            return (folder / program).lexically_normal();
        }
    }
    return std::nullopt;
}

}  // namespace

UserProgramFiles::UserProgramFiles(const PlatformContext& context, fs::path configHome,
                                   const DeletionGate& gate)
    : context_(context),
      home_(context.home.lexically_normal()),
      configHome_(std::move(configHome)),
      gate_(gate) {
    sharedFolders_ = {home_,
                      context.xdgConfigHome,
                      context.xdgCacheHome,
                      context.xdgDataHome,
                      context.xdgStateHome,
                      configHome_,
                      configHome_ / "autostart",
                      context.xdgDataHome / "applications"};
    for (const char* folder : kSharedHomeFolders) sharedFolders_.push_back(home_ / folder);
    for (auto& folder : sharedFolders_) {
        folder = folder.lexically_normal();
        // A shared folder may sit behind a link: what it is counts, not how it is spelled.
        struct stat status {};
        if (::stat(folder.c_str(), &status) == 0) {
            sharedIdentities_.push_back({status.st_dev, status.st_ino});
        }
    }
}

bool UserProgramFiles::mayGo(const std::string& path, const EntryStatus& status) const {
    return status.owner == context_.uid && !status.isMountRoot &&
           !gate_.judgeInside(home_.string(), path, identityOf(status));
}

bool UserProgramFiles::isShared(const fs::path& folder, const ItemIdentity& identity) const {
    if (std::find(sharedIdentities_.begin(), sharedIdentities_.end(), identity) !=
        sharedIdentities_.end()) {
        return true;
    }
    // A folder holding a shared one (or the home) is no program's own either.
    return std::any_of(sharedFolders_.begin(), sharedFolders_.end(), [&](const fs::path& shared) {
        return shared == folder || liesIn(shared, folder);
    });
}

std::optional<FoundItem> UserProgramFiles::ownFolder(const fs::path& file,
                                                     const std::vector<std::string>& names) const {
    fs::path folder = file.parent_path();
    if (folder.filename() == "bin") folder = folder.parent_path();  // FOLDER/bin/PROGRAM
    std::string name = folder.filename().string();
    bool named = std::any_of(names.begin(), names.end(),
                             [&](const std::string& wanted) { return namedAfter(name, wanted); });
    if (!named || RelatedFileRule::isSharedEntry(name)) return std::nullopt;
    // A working copy the program was built in is the user's work, not an installation.
    if (statusBelow(home_, folder / ".git")) return std::nullopt;
    auto status = statusBelow(home_, folder);
    if (!status || status->kind != EntryKind::Directory) return std::nullopt;
    if (isShared(folder, identityOf(*status)) || !mayGo(folder.string(), *status)) {
        return std::nullopt;
    }
    return FoundItem{folder.string(), identityOf(*status)};
}

std::vector<FoundItem> UserProgramFiles::program(const AppItems& app) const {
    if (app.source != AppSource::UserEntry) return {};
    auto program = programOf(commandOf(app.path), context_.executableSearchPath);
    if (!program) return {};
    auto status = statusBelow(home_, *program);
    if (!status) return {};
    std::vector<FoundItem> found;
    fs::path file = *program;
    if (status->kind == EntryKind::Symlink) {
        // A link in the home (~/.local/bin/notetaker) goes with the program it leads to, and
        // only when that lies in the home too.
        std::error_code error;
        fs::path target = fs::canonical(file, error);
        fs::path realHome = error ? fs::path() : fs::canonical(home_, error);
        auto inside = error ? std::nullopt : below(target, realHome);
        if (!inside || !mayGo(file.string(), *status)) return {};
        found.push_back({file.string(), identityOf(*status)});
        file = home_ / *inside;
        status = statusBelow(home_, file);
        if (!status) return {};
    }
    if (status->kind != EntryKind::Regular || !mayGo(file.string(), *status)) return {};
    std::vector<std::string> names{file.filename().string(), file.stem().string(), app.name};
    std::string spaceless = app.name;
    std::erase(spaceless, ' ');
    names.push_back(spaceless);
    if (app.bundleID) {
        names.push_back(*app.bundleID);
        if (RelatedFileRule::isReverseDomain(*app.bundleID)) {
            names.push_back(app.bundleID->substr(app.bundleID->rfind('.') + 1));
        }
    }
    if (auto folder = ownFolder(file, names)) {
        found.push_back(std::move(*folder));
    } else {
        found.push_back({file.string(), identityOf(*status)});
    }
    return found;
}

std::vector<FoundItem> UserProgramFiles::loginItems(const AppItems& app,
                                                    const std::vector<FoundItem>& programs) const {
    const fs::path folder = configHome_ / "autostart";
    std::vector<std::string> own =
        app.source == AppSource::AppImage ? std::vector<std::string>() : commandOf(app.path);
    std::string idFile = app.bundleID && !app.bundleID->empty() ? *app.bundleID + ".desktop" : "";
    // Where the application's own files really are, for a login item that reaches them by a link.
    std::vector<fs::path> programPlaces;
    for (const auto& item : programs) {
        std::error_code error;
        fs::path place = fs::weakly_canonical(item.path, error);
        if (!error) programPlaces.push_back(place);
    }
    auto startsOwnProgram = [&](const std::vector<std::string>& command) {
        auto program = programOf(command, context_.executableSearchPath);
        std::error_code error;
        fs::path place = program ? fs::weakly_canonical(*program, error) : fs::path();
        return program && !error &&
               std::any_of(programPlaces.begin(), programPlaces.end(),
                           [&](const fs::path& own) { return place == own || liesIn(place, own); });
    };

    std::vector<FoundItem> found;
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const fs::path& path = entries->path();
        if (path.extension() != ".desktop") continue;
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0) continue;
        bool matches = path.filename() == idFile;
        if (!matches && S_ISREG(status.st_mode)) {
            std::vector<std::string> command = commandOf(path);
            matches = !command.empty() && (command == own || startsOwnProgram(command));
        }
        ItemIdentity identity{status.st_dev, static_cast<std::uint64_t>(status.st_ino)};
        if (!matches || status.st_uid != context_.uid ||
            gate_.judgeInside(folder.string(), path.string(), identity)) {
            continue;
        }
        found.push_back({path.string(), identity});
    }
    std::sort(found.begin(), found.end(),
              [](const FoundItem& a, const FoundItem& b) { return a.path < b.path; });
    return found;
}

}  // namespace quillby
