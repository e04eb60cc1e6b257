// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/PlacedFile.h"

#include <cerrno>
#include <string_view>

#include "core/fs/PathRules.h"

namespace quillby {

FolderHandle openCopysFolder(const std::string& folderPath, const std::string& searched,
                             int& error) {
    std::string_view base = withoutTrailingSlashes(searched);
    if (searched.empty() || !(folderPath == base || liesInside(folderPath, base))) {
        return FolderHandle::openLocation(folderPath, error);
    }
    FolderHandle current = FolderHandle::openLocation(std::string(base), error);
    std::string_view rest = std::string_view(folderPath).substr(base.size());
    while (current.isOpen() && !rest.empty()) {
        rest.remove_prefix(rest.find_first_not_of('/'));
        std::string component(rest.substr(0, rest.find('/')));
        rest.remove_prefix(component.size());
        if (component.empty()) break;
        current = FolderHandle::openLocationStep(current, component.c_str(), error);
    }
    return current;
}

PlacedFile::PlacedFile(const std::string& path, const std::string& searched) {
    size_t slash = path.rfind('/');
    std::string folderPath = slash == std::string::npos ? "." : path.substr(0, slash);
    if (slash == 0) folderPath = "/";
    name = slash == std::string::npos ? path : path.substr(slash + 1);
    folder = openCopysFolder(folderPath, searched, error);
    if (!folder.isOpen()) return;
    status = entryStatusAt(folder.fd(), name.c_str());
    if (!status) error = errno;
}

std::string PlacedFile::parentPathOf(const std::string& path, const std::string& name) {
    std::string parentPath = path.substr(0, path.size() - name.size());
    if (parentPath.size() > 1 && parentPath.back() == '/') parentPath.pop_back();
    return parentPath;
}

bool sameDirectoryEntry(const PlacedFile& a, const PlacedFile& b) {
    if (a.status->device != b.status->device || a.status->inode != b.status->inode) return false;
    if (a.status->linkCount <= 1) return true;  // one name only: both paths lead to it
    auto folderA = entryStatusAt(a.folder.fd(), "");
    auto folderB = entryStatusAt(b.folder.fd(), "");
    if (!folderA || !folderB) return true;  // cannot tell: assume the worst
    return folderA->device == folderB->device && folderA->inode == folderB->inode &&
           a.name == b.name;
}

}  // namespace quillby
