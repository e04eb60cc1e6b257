// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/DefaultTerminal.h"

#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "core/apps/DesktopEntryFile.h"

namespace quillby {

namespace fs = std::filesystem;

namespace {

constexpr const char* kGroup = DesktopEntry::mainGroup;

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string trimmed(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

bool isProgram(const fs::path& file) {
    std::error_code error;
    return fs::is_regular_file(file, error) && ::access(file.c_str(), X_OK) == 0;
}

class TerminalSearch {
  public:
    TerminalSearch(const PlatformContext& context, const std::vector<std::string>& desktops)
        : context_(context), desktops_(desktops) {}

    std::optional<TerminalCommand> run() {
        if (auto chosen = fromTerminalLists()) return chosen;
        if (auto chosen = fromKdeGlobals()) return chosen;
        if (auto chosen = fromAlternative()) return chosen;
        return fromCategory();
    }

  private:
    std::vector<fs::path> applicationFolders() const {
        std::vector<fs::path> folders{context_.xdgDataHome / "applications"};
        for (const auto& data : context_.xdgDataDirs) folders.push_back(data / "applications");
        return folders;
    }

    std::vector<fs::path> configFolders() const {
        std::vector<fs::path> folders{context_.xdgConfigHome};
        folders.insert(folders.end(), context_.xdgConfigDirs.begin(), context_.xdgConfigDirs.end());
        return folders;
    }

    // A program named in an entry, on the search path unless given with its folder.
    std::optional<std::string> programPath(const std::string& name) const {
        if (name.empty()) return std::nullopt;
        if (name.front() == '/') {
            return isProgram(name) ? std::optional<std::string>(name) : std::nullopt;
        }
        if (name.find('/') != std::string::npos) return std::nullopt;
        for (const auto& folder : context_.executableSearchPath) {
            if (isProgram(folder / name)) return (folder / name).string();
        }
        return std::nullopt;
    }

    bool shownHere(const DesktopEntry& entry) const {
        auto lists = [&](const char* key) {
            auto names = entry.stringListValue(kGroup, key);
            if (!names) return false;
            for (const auto& desktop : desktops_) {
                if (std::find(names->begin(), names->end(), desktop) != names->end()) return true;
            }
            return false;
        };
        if (entry.stringListValue(kGroup, "OnlyShowIn") && !lists("OnlyShowIn")) return false;
        return !lists("NotShowIn");
    }

    // The command of an entry that can start here.
    std::optional<TerminalCommand> commandOf(const DesktopEntry& entry, const std::string& id,
                                             const fs::path& file) const {
        if (entry.stringValue(kGroup, "Type").value_or("Application") != "Application") return {};
        if (entry.booleanValue(kGroup, "Hidden").value_or(false) || !shownHere(entry)) return {};
        if (auto tryExec = entry.stringValue(kGroup, "TryExec");
            tryExec && !tryExec->empty() && !programPath(*tryExec)) {
            return {};
        }
        auto exec = entry.stringValue(kGroup, "Exec");
        auto split = exec ? DesktopEntry::splitExec(*exec) : std::nullopt;
        if (!split || split->empty()) return {};
        TerminalCommand command;
        command.name = entry.localeStringValue(kGroup, "Name", context_.messagesLocale)
                           .value_or(fs::path(id).stem().string());
        command.entryId = id;
        DesktopEntry::ExecFields fields{
            command.name, entry.stringValue(kGroup, "Icon").value_or(""), file.string()};
        std::vector<std::string> arguments = DesktopEntry::expandExec(*split, fields);
        if (arguments.empty()) return {};
        auto program = programPath(arguments.front());
        if (!program) return {};
        command.program = *program;
        command.arguments.assign(arguments.begin() + 1, arguments.end());
        return command;
    }

    // The entry of a desktop-file ID, the first in the folders' order.
    std::optional<TerminalCommand> entryById(const std::string& id) const {
        if (id.empty() || id.find('/') != std::string::npos) return {};
        for (const auto& folder : applicationFolders()) {
            fs::path file = folder / id;
            std::string why;
            if (auto entry = readDesktopEntryFile(file, &why)) return commandOf(*entry, id, file);
        }
        return {};
    }

    std::optional<TerminalCommand> fromTerminalLists() const {
        std::vector<std::string> names;
        for (const auto& desktop : desktops_)
            names.push_back(lowered(desktop) + "-xdg-terminals.list");
        names.push_back("xdg-terminals.list");
        for (const auto& folder : configFolders()) {
            for (const auto& name : names) {
                std::ifstream list(folder / name);
                std::string line;
                while (std::getline(list, line)) {
                    std::string id = trimmed(line);
                    if (id.empty() || id.front() == '#') continue;
                    // An entry's action ("id.desktop:new-window") starts the entry itself here.
                    id = id.substr(0, id.find(':'));
                    if (!id.empty() && (id.front() == '+' || id.front() == '-')) continue;
                    if (auto command = entryById(id)) return command;
                }
            }
        }
        return {};
    }

    std::optional<TerminalCommand> fromKdeGlobals() const {
        if (std::find(desktops_.begin(), desktops_.end(), "KDE") == desktops_.end()) return {};
        for (const auto& folder : configFolders()) {
            std::ifstream globals(folder / "kdeglobals");
            std::string line;
            bool general = false;
            std::string service;
            std::string application;
            while (std::getline(globals, line)) {
                line = trimmed(line);
                if (!line.empty() && line.front() == '[') {
                    general = line == "[General]";
                    continue;
                }
                std::size_t equals = line.find('=');
                if (!general || equals == std::string::npos) continue;
                std::string key = trimmed(std::string_view(line).substr(0, equals));
                std::string value = trimmed(std::string_view(line).substr(equals + 1));
                if (key == "TerminalService") service = value;
                if (key == "TerminalApplication") application = value;
            }
            if (auto command = entryById(service)) return command;
            if (auto command = entryByProgram(application)) return command;
        }
        return {};
    }

    // The first entry whose program is named `program` (its file name, without a ".wrapper"
    // that some distributions' alternatives point at).
    std::optional<TerminalCommand> entryByProgram(std::string program) const {
        program = fs::path(program).filename().string();
        const std::string wrapper = ".wrapper";
        if (program.size() > wrapper.size() && program.ends_with(wrapper)) {
            program.resize(program.size() - wrapper.size());
        }
        if (program.empty()) return {};
        std::optional<TerminalCommand> found;
        eachEntry([&](const DesktopEntry& entry, const std::string& id, const fs::path& file) {
            auto command = commandOf(entry, id, file);
            if (command && fs::path(command->program).filename() == program) found = command;
            return found.has_value();
        });
        return found;
    }

    std::optional<TerminalCommand> fromAlternative() const {
        fs::path link = context_.etcRoot / "alternatives/x-terminal-emulator";
        std::error_code error;
        fs::path target = fs::read_symlink(link, error);
        if (error) return {};
        if (auto command = entryByProgram(target.string())) return command;
        auto program = programPath("x-terminal-emulator");
        if (!program) return {};
        return TerminalCommand{"Terminal", "", *program, {}};
    }

    std::optional<TerminalCommand> fromCategory() const {
        std::optional<TerminalCommand> found;
        eachEntry([&](const DesktopEntry& entry, const std::string& id, const fs::path& file) {
            auto categories = entry.stringListValue(kGroup, "Categories");
            if (categories && std::find(categories->begin(), categories->end(),
                                        "TerminalEmulator") != categories->end()) {
                found = commandOf(entry, id, file);
            }
            return found.has_value();
        });
        return found;
    }

    // Every entry of the applications folders, by ID, an ID shadowed by an earlier folder's
    // entry left out, until `visit` answers true.
    template <class Visit>
    void eachEntry(Visit visit) const {
        std::vector<std::string> seen;
        for (const auto& folder : applicationFolders()) {
            std::error_code error;
            std::vector<fs::path> files;
            for (fs::directory_iterator it(folder, error), end; !error && it != end;
                 it.increment(error)) {
                if (it->path().extension() == ".desktop") files.push_back(it->path());
            }
            std::sort(files.begin(), files.end());
            for (const auto& file : files) {
                std::string id = file.filename().string();
                if (std::find(seen.begin(), seen.end(), id) != seen.end()) continue;
                seen.push_back(id);
                std::string why;
                auto entry = readDesktopEntryFile(file, &why);
                if (entry && visit(*entry, id, file)) return;
            }
        }
    }

    const PlatformContext& context_;
    const std::vector<std::string>& desktops_;
};

}  // namespace

std::optional<TerminalCommand> findDefaultTerminal(const PlatformContext& context,
                                                   const std::vector<std::string>& desktops) {
    return TerminalSearch(context, desktops).run();
}

}  // namespace quillby
