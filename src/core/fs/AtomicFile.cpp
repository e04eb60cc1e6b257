// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>
#include <random>
#include <string>
#include <system_error>

#include "core/fs/DeletionGate.h"
#include "core/fs/FolderHandle.h"
#include "core/fs/WriteAll.h"

namespace quillby {

namespace fs = std::filesystem;

namespace {

constexpr int kNameAttempts = 100;
// Room for the dot and the suffix within the longest name a folder takes (NAME_MAX).
constexpr std::size_t kLongestKeptName = 200;

// A hidden name beside `name` that nobody is likely to use: listings pass over it, and a
// leftover says what it was for.
std::string temporaryName(const std::string& name, std::mt19937_64& random) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string result = "." + name.substr(0, kLongestKeptName) + ".";
    for (int i = 0; i < 8; ++i) result += kLetters[random() % (sizeof kLetters - 1)];
    return result;
}

// The temporary file goes through the deletion gate, and only while its name is still the file
// this call made: in a folder others may write to, the name could have been taken over.
void removeTemporary(const FolderHandle& folder, const std::string& folderPath,
                     const std::string& name, const struct stat& made) {
    static const DeletionGate gate([] {
        DeletionGate::Options options;
        options.caller = ::geteuid();
        options.protectAccountHomes = false;  // a file of this call's own is never a home
        return options;
    }());
    gate.removeEntryOf(folder, folderPath, name,
                       ItemIdentity{made.st_dev, static_cast<std::uint64_t>(made.st_ino)},
                       DeletionGate::Disposal::Delete);
}

}  // namespace

bool replaceFileAtomically(const fs::path& path, const std::function<bool(int fd)>& write,
                           mode_t mode) {
    const std::string name = path.filename().string();
    if (name.empty() || name == "." || name == "..") {
        errno = EISDIR;
        return false;
    }
    const std::string parent = path.has_parent_path() ? path.parent_path().string() : ".";
    int openError = 0;
    FolderHandle folderHandle = FolderHandle::openTrusted(parent, openError);
    if (!folderHandle.isOpen()) {
        errno = openError;
        return false;
    }
    const int folder = folderHandle.fd();

    std::random_device seed;
    std::mt19937_64 random((std::uint64_t{seed()} << 32) ^ seed());
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt) {
        temporary = temporaryName(name, random);
        fd = ::openat(folder, temporary.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST) break;
    }
    struct stat made {};
    if (fd < 0 || ::fstat(fd, &made) != 0) {
        int error = errno;
        if (fd >= 0) ::close(fd);
        errno = error;
        return false;
    }

    bool written = write(fd) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && ::renameat(folder, temporary.c_str(), folder, name.c_str()) == 0) {
        ::fsync(folder);  // the rename itself reaches the disk
        return true;
    }
    if (written) error = errno;  // the rename failed
    removeTemporary(folderHandle, parent, temporary, made);
    errno = error;
    return false;
}

bool writeFileAtomically(const fs::path& path, std::string_view contents) {
    std::error_code ignored;
    if (fs::path folder = path.parent_path(); !folder.empty()) {
        fs::create_directories(folder, ignored);
    }
    return replaceFileAtomically(
        path, [contents](int fd) { return writeAll(fd, contents); }, 0600);
}

}  // namespace quillby
