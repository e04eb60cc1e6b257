#include "duplicates/DuplicateRemoval.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "duplicates/FileContentReader.h"
#include "duplicates/PathComponents.h"

namespace {

std::string errorText(int error) {
    return std::generic_category().message(error);
}

std::string parentOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// True when both paths reach the same entry of the same folder (a bind mount, or a folder
// reached twice), so that unlinking one removes the other.
bool sameDirectoryEntry(const std::string& a, const std::string& b, const struct stat& fileA,
                        const struct stat& fileB) {
    if (fileA.st_dev != fileB.st_dev || fileA.st_ino != fileB.st_ino) return false;
    if (fileA.st_nlink <= 1) return true;  // one name only: both paths lead to it
    struct stat folderA {
    }, folderB{};
    if (::stat(parentOf(a).c_str(), &folderA) != 0 || ::stat(parentOf(b).c_str(), &folderB) != 0) {
        return true;  // cannot tell: assume the worst
    }
    return folderA.st_dev == folderB.st_dev && folderA.st_ino == folderB.st_ino &&
           lastPathComponent(a) == lastPathComponent(b);
}

enum class Comparison { Same, Differ, Unreadable };

Comparison compareOpenFiles(FileContentReader& a, FileContentReader& b, std::string& detail) {
    if (a.status().st_size != b.status().st_size) {
        detail = "sizes differ";
        return Comparison::Differ;
    }
    for (std::uint64_t offset = 0;;) {
        std::int64_t gotA = a.readChunk();
        std::int64_t gotB = b.readChunk();
        if (gotA < 0 || gotB < 0) {
            detail = "read error: " + errorText(gotA < 0 ? a.error() : b.error());
            return Comparison::Unreadable;
        }
        if (gotA != gotB ||
            std::memcmp(a.buffer(), b.buffer(), static_cast<std::size_t>(gotA)) != 0) {
            detail = "contents differ after byte " + std::to_string(offset);
            return Comparison::Differ;
        }
        if (static_cast<std::size_t>(gotA) < FileContentReader::ChunkSize) return Comparison::Same;
        offset += static_cast<std::uint64_t>(gotA);
    }
}

bool openBoth(FileContentReader& a, const std::string& first, FileContentReader& b,
              const std::string& second, std::string& detail) {
    if (!a.open(first)) {
        detail = "cannot open " + first + ": " + errorText(a.error());
        return false;
    }
    if (!b.open(second)) {
        detail = "cannot open " + second + ": " + errorText(b.error());
        return false;
    }
    return true;
}

}  // namespace

bool DuplicateRemoval::haveSameContent(const std::string& first, const std::string& second,
                                       std::string& detail) {
    FileContentReader a, b;
    return openBoth(a, first, b, second, detail) &&
           compareOpenFiles(a, b, detail) == Comparison::Same;
}

bool DuplicateRemoval::removeRegularFile(const std::string& path, int& error) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        error = errno;
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        error = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    if (::unlink(path.c_str()) != 0) {
        error = errno;
        return false;
    }
    return true;
}

DuplicateRemoval::Result DuplicateRemoval::removeVerifiedCopy(const std::string& path,
                                                              const std::string& kept) {
    struct stat target {
    }, keeper{};
    if (::lstat(path.c_str(), &target) != 0) return {Outcome::Failed, errorText(errno)};
    if (!S_ISREG(target.st_mode)) return {Outcome::NotRegularFile, "not a regular file"};
    if (::lstat(kept.c_str(), &keeper) != 0) {
        return {Outcome::Failed, "the copy that stays cannot be read: " + errorText(errno)};
    }
    if (sameDirectoryEntry(path, kept, target, keeper)) {
        return {Outcome::SameEntry, "it is the same file as " + kept};
    }
    FileContentReader copy, original;
    std::string detail;
    if (!openBoth(copy, path, original, kept, detail)) return {Outcome::Failed, detail};
    if (copy.status().st_dev != target.st_dev || copy.status().st_ino != target.st_ino) {
        return {Outcome::Failed, "changed while it was checked"};
    }
    switch (compareOpenFiles(copy, original, detail)) {
        case Comparison::Differ:
            return {Outcome::Differs, detail + " from " + kept};
        case Comparison::Unreadable:
            return {Outcome::Failed, detail};
        case Comparison::Same:
            break;
    }
    // The file compared must still be the one at the path when it is unlinked.
    struct stat now {};
    if (::lstat(path.c_str(), &now) != 0 || now.st_dev != target.st_dev ||
        now.st_ino != target.st_ino) {
        return {Outcome::Failed, "changed while it was checked"};
    }
    int error = 0;
    if (!removeRegularFile(path, error)) return {Outcome::Failed, errorText(error)};
    return {Outcome::Removed, {}};
}
