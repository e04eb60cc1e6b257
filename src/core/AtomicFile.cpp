#include "core/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <string>
#include <system_error>

#include "core/WriteAll.h"

namespace fs = std::filesystem;

namespace {

void syncFolder(const fs::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool writeFileAtomically(const fs::path& path, std::string_view contents) {
    fs::path folder = path.parent_path();
    std::error_code error;
    if (!folder.empty()) fs::create_directories(folder, error);

    std::string hiddenName = ".";
    hiddenName += path.filename().string();
    hiddenName += ".XXXXXX";
    std::string temporary = (folder / hiddenName).string();
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = writeAll(fd, contents) && ::fchmod(fd, 0600) == 0 && ::fsync(fd) == 0;
    int savedErrno = errno;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temporary.c_str(), path.c_str()) == 0) {
        syncFolder(folder.empty() ? fs::path(".") : folder);
        return true;
    }
    savedErrno = errno ? errno : savedErrno;
    ::unlink(temporary.c_str());
    errno = savedErrno;
    return false;
}
