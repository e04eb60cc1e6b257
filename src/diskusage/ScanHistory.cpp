// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ScanHistory.h"

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <map>
#include <system_error>

#include "core/fs/AtomicFile.h"
#include "core/fs/DeletionGate.h"
#include "core/fs/PathRules.h"
#include "core/fs/UserHome.h"
#include "platform/PlatformContext.h"

namespace quillby {

namespace {

constexpr std::size_t kHashDigits = 16;
constexpr std::size_t kTailBytes = 40;
constexpr const char* kSuffix = ".json";

// FNV-1a: stable across runs and builds, unlike std::hash.
std::uint64_t stableHash(const std::string& text) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

// The folder's name in letters, digits, "-" and "_" only, so that the key needs no quoting and
// holds no "." (which separates the parts of a kept scan's name).
std::string readableTail(const std::string& root) {
    std::string name = root.substr(root.find_last_of('/') + 1);
    std::string tail;
    for (unsigned char c : name) {
        if (tail.size() >= kTailBytes) break;
        tail += std::isalnum(c) || c == '-' || c == '_' ? static_cast<char>(c) : '_';
    }
    return tail.empty() ? "root" : tail;
}

// A kept scan's name: "<key>.<milliseconds>.json".
struct ParsedName {
    std::string key;
    std::int64_t milliseconds = 0;
};
std::optional<ParsedName> parseName(const std::string& name) {
    if (!name.ends_with(kSuffix)) return std::nullopt;
    std::string stem = name.substr(0, name.size() - std::strlen(kSuffix));
    std::string::size_type dot = stem.rfind('.');
    if (dot == std::string::npos || dot <= kHashDigits) return std::nullopt;
    ParsedName parsed{stem.substr(0, dot), 0};
    const char* first = stem.data() + dot + 1;
    const char* last = stem.data() + stem.size();
    auto [end, error] = std::from_chars(first, last, parsed.milliseconds);
    if (error != std::errc() || end != last || first == last) return std::nullopt;
    if (parsed.key.find('.') != std::string::npos || parsed.key[kHashDigits] != '-')
        return std::nullopt;
    return parsed;
}

}  // namespace

ScanHistory::ScanHistory(std::filesystem::path folder) : ScanHistory(std::move(folder), Limits{}) {}

ScanHistory::ScanHistory(std::filesystem::path folder, Limits limits)
    : folder_(std::move(folder)), limits_(limits) {}

std::optional<std::filesystem::path> ScanHistory::defaultFolder(const PlatformContext& context) {
    UserHome home(context.home, context.uid);
    if (context.home.empty() || !home.refusal().empty()) return std::nullopt;
    return home.folderFromEnvironment(context.xdgCacheHome, context.home / ".cache",
                                      "XDG_CACHE_HOME") /
           PlatformContext::bundleIdentifier / "scans";
}

std::string ScanHistory::placeKey(const std::string& root, const std::string& kind) {
    std::string folder(withoutTrailingSlashes(root));
    char digits[kHashDigits + 1];
    std::snprintf(digits, sizeof digits, "%016llx",
                  static_cast<unsigned long long>(stableHash(folder + '\0' + kind)));
    return std::string(digits) + "-" + readableTail(folder);
}

std::string ScanHistory::kindOf(std::optional<std::uint64_t> itemLimit, bool allocated) {
    std::string kind = itemLimit ? "items>=" + std::to_string(*itemLimit) : "folders";
    return allocated ? kind + " allocated" : kind;
}

std::vector<std::pair<std::string, std::vector<ScanHistory::Kept>>> ScanHistory::places() const {
    std::map<std::string, std::vector<Kept>> byKey;
    std::error_code error;
    for (std::filesystem::directory_iterator entries(folder_, error), end; !error && entries != end;
         entries.increment(error)) {
        auto parsed = parseName(entries->path().filename().string());
        struct stat status {};
        if (!parsed || ::lstat(entries->path().c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            continue;
        byKey[parsed->key].push_back(
            {entries->path(), parsed->milliseconds, static_cast<std::uint64_t>(status.st_size)});
    }
    std::vector<std::pair<std::string, std::vector<Kept>>> places(byKey.begin(), byKey.end());
    for (auto& [key, kept] : places) {
        std::sort(kept.begin(), kept.end(),
                  [](const Kept& a, const Kept& b) { return a.milliseconds > b.milliseconds; });
    }
    return places;
}

std::optional<ScanHistory::Kept> ScanHistory::latest(const std::string& placeKey) const {
    for (auto& [key, kept] : places()) {
        if (key == placeKey && !kept.empty()) return kept.front();
    }
    return std::nullopt;
}

bool ScanHistory::keep(const std::string& placeKey, std::int64_t milliseconds,
                       const std::function<bool(int fd)>& write,
                       std::vector<std::string>& problems) {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error) {
        problems.push_back("cannot make " + folder_.string() + ": " + error.message());
        return false;
    }
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace, error);
    // A scan kept in the same millisecond as the last one of the place gets the next one, so
    // that it never replaces the scan it is to be compared with.
    if (auto last = latest(placeKey); last && last->milliseconds >= milliseconds)
        milliseconds = last->milliseconds + 1;
    std::filesystem::path file =
        folder_ / (placeKey + "." + std::to_string(milliseconds) + kSuffix);
    if (!replaceFileAtomically(file, write, 0600)) {
        problems.push_back("cannot write " + file.string() + ": " + std::strerror(errno));
        return false;
    }
    for (auto& problem : prune()) problems.push_back(std::move(problem));
    return true;
}

std::vector<std::string> ScanHistory::prune() {
    auto kept = places();
    std::vector<Kept> doomed;
    std::size_t files = 0;
    std::uint64_t bytes = 0;
    for (auto& [key, scans] : kept) {
        while (scans.size() > std::max<std::size_t>(limits_.perPlace, 1)) {
            doomed.push_back(scans.back());
            scans.pop_back();
        }
        files += scans.size();
        for (const auto& scan : scans) bytes += scan.bytes;
    }
    // The place scanned longest ago goes first; the newest place keeps its newest scan.
    std::sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) {
        return a.second.front().milliseconds < b.second.front().milliseconds;
    });
    for (std::size_t place = 0;
         place < kept.size() && (files > limits_.files || bytes > limits_.bytes); ++place) {
        auto& scans = kept[place].second;
        bool newest = place + 1 == kept.size();
        while (scans.size() > (newest ? 1u : 0u) &&
               (files > limits_.files || bytes > limits_.bytes)) {
            doomed.push_back(scans.back());
            --files;
            bytes -= scans.back().bytes;
            scans.pop_back();
        }
    }
    std::vector<std::string> problems;
    if (doomed.empty()) return problems;
    DeletionGate::Options options;
    options.caller = ::geteuid();
    DeletionGate gate(options);
    for (const auto& scan : doomed) {
        struct stat status {};
        if (::lstat(scan.file.c_str(), &status) != 0) continue;
        RemovalOutcome outcome = gate.removeInside(
            folder_.string(), scan.file.string(),
            ItemIdentity{status.st_dev, static_cast<std::uint64_t>(status.st_ino)},
            DeletionGate::Disposal::Delete);
        if (!outcome.gone())
            problems.push_back("cannot remove " + scan.file.string() + ": " + outcome.reason());
    }
    return problems;
}

}  // namespace quillby
