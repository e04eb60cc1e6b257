// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/JsonPreferencesStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>
#include <system_error>

#include "core/events/Log.h"
#include "core/fs/AtomicFile.h"
#include "core/fs/OwnFile.h"

namespace quillby {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

std::optional<SettingValue> fromJson(const json& value) {
    if (value.is_boolean()) return SettingValue(value.get<bool>());
    if (value.is_number_integer()) return SettingValue(value.get<std::int64_t>());
    if (value.is_number_unsigned()) {
        return SettingValue(static_cast<std::int64_t>(value.get<std::uint64_t>()));
    }
    if (value.is_number_float()) return SettingValue(value.get<double>());
    if (value.is_string()) return SettingValue(value.get<std::string>());
    return std::nullopt;
}

json toJson(const SettingValue& value) {
    return std::visit([](const auto& v) { return json(v); }, value);
}

// Holds an exclusive flock on the lock file beside the preferences for its lifetime. A link or
// anything else in the lock's place is refused, never followed or created through.
class FileLock {
  public:
    FileLock(const fs::path& path, uid_t owner) {
        fd_ = openOwnFile(path, O_RDWR | O_CREAT, owner, why_);
        if (fd_ < 0) return;
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                why_ = std::strerror(errno);
                ::close(fd_);
                fd_ = -1;
                return;
            }
        }
    }
    ~FileLock() {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }
    bool held() const { return fd_ >= 0; }
    const std::string& why() const { return why_; }

  private:
    int fd_ = -1;
    std::string why_;
};

}  // namespace

bool JsonPreferencesStore::Signature::operator==(const Signature& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

JsonPreferencesStore::JsonPreferencesStore(fs::path file, uid_t owner, std::string writeRefusal)
    : file_(std::move(file)),
      lockFile_(file_.parent_path() / ".preferences.lock"),
      owner_(owner),
      writeRefusal_(std::move(writeRefusal)) {}

std::optional<JsonPreferencesStore::Signature> JsonPreferencesStore::signatureOf(
    const fs::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) return std::nullopt;
    return Signature{info.st_dev, info.st_ino, info.st_size, info.st_mtim};
}

JsonPreferencesStore::Loaded JsonPreferencesStore::load(bool holdingLock) {
    Loaded loaded;
    int fd = ::open(file_.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        // Only a missing file means "nothing stored yet"; anything else must not be mistaken
        // for it, or the next write would replace every setting with one key.
        if (errno == ENOENT) {
            loaded.status = LoadStatus::Missing;
        } else {
            loaded.error = std::strerror(errno);
        }
        return loaded;
    }
    std::string text;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        loaded.error = std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        loaded.error = S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : "not a regular file";
    } else {
        char buffer[16384];
        for (;;) {
            ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got > 0) {
                text.append(buffer, static_cast<size_t>(got));
            } else if (got == 0) {
                loaded.status = LoadStatus::Read;
                break;
            } else if (errno != EINTR) {
                loaded.error = std::strerror(errno);
                break;
            }
        }
    }
    ::close(fd);
    if (loaded.status != LoadStatus::Read) return loaded;

    loaded.document = json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (loaded.document.is_discarded() || !loaded.document.is_object()) {
        loaded.status = LoadStatus::Corrupt;
        loaded.document = json::object();
        loaded.error = "it is not a JSON object";
        if (holdingLock) {
            std::string aside = setAside();
            if (!aside.empty()) loaded.error += " (kept aside as " + aside + ")";
        }
    }
    return loaded;
}

std::string JsonPreferencesStore::readFailure(const Loaded& loaded) const {
    if (loaded.status == LoadStatus::Read || loaded.status == LoadStatus::Missing) return "";
    return "the preferences at " + file_.string() + " could not be read: " + loaded.error;
}

std::string JsonPreferencesStore::failure() {
    std::lock_guard guard(mutex_);
    return failure_;
}

std::map<std::string, SettingValue> JsonPreferencesStore::valuesOf(const json& document) {
    std::map<std::string, SettingValue> values;
    for (const auto& [key, value] : document.items()) {
        if (auto setting = fromJson(value)) values.emplace(key, std::move(*setting));
    }
    return values;
}

std::string JsonPreferencesStore::setAside() {
    fs::path aside = file_;
    aside += ".corrupt";
    std::error_code error;
    for (int n = 1; fs::exists(aside, error); ++n) {
        aside = file_;
        aside += ".corrupt." + std::to_string(n);
    }
    if (::rename(file_.c_str(), aside.c_str()) == 0) {
        QWLog(
            "Preferences file %s could not be read; kept it as %s and started from the "
            "defaults",
            file_.c_str(), aside.c_str());
        return aside.string();
    }
    QWLog("Preferences file %s could not be read and could not be set aside: %s", file_.c_str(),
          std::strerror(errno));
    return "";
}

void JsonPreferencesStore::refresh() {
    auto signature = signatureOf(file_);
    if (loaded_ && signature == cachedSignature_) return;
    Loaded loaded = load(false);
    failure_ = loaded.status == LoadStatus::Missing ? keptAside_ : readFailure(loaded);
    if (loaded.status == LoadStatus::Unreadable) {
        // Keep what was read before and try again at the next read; say so once.
        if (!readFailureLogged_) {
            QWLog("Cannot read the preferences at %s: %s", file_.c_str(), loaded.error.c_str());
            readFailureLogged_ = true;
        }
        loaded_ = false;
        return;
    }
    readFailureLogged_ = false;
    if (loaded.status == LoadStatus::Corrupt && writeRefusal_.empty()) {
        // Set it aside under the writers' lock, unless a writer replaced it meanwhile.
        std::error_code error;
        fs::create_directories(file_.parent_path(), error);
        FileLock lock(lockFile_, owner_);
        if (lock.held()) loaded = load(true);
        failure_ = readFailure(loaded);
        if (loaded.status == LoadStatus::Corrupt) keptAside_ = failure_;
        if (loaded.status == LoadStatus::Unreadable) {
            loaded_ = false;
            return;
        }
        signature = signatureOf(file_);
    }
    cache_ = valuesOf(loaded.document);
    cachedSignature_ = signature;
    loaded_ = true;
}

std::optional<SettingValue> JsonPreferencesStore::read(const std::string& key) {
    std::lock_guard guard(mutex_);
    refresh();
    auto it = cache_.find(key);
    if (it == cache_.end()) return std::nullopt;
    return it->second;
}

std::map<std::string, SettingValue> JsonPreferencesStore::readAll() {
    std::lock_guard guard(mutex_);
    refresh();
    return cache_;
}

bool JsonPreferencesStore::write(const std::string& key, const SettingValue& value) {
    std::lock_guard guard(mutex_);
    if (!writeRefusal_.empty()) {
        QWLog("%s %s was not changed", writeRefusal_.c_str(), key.c_str());
        failure_ = writeRefusal_;
        return false;
    }
    std::error_code error;
    fs::create_directories(file_.parent_path(), error);
    FileLock lock(lockFile_, owner_);
    if (!lock.held()) {
        QWLog("Cannot lock the preferences at %s: %s", lockFile_.c_str(), lock.why().c_str());
        failure_ = "cannot lock the preferences at " + lockFile_.string() + ": " + lock.why();
        return false;
    }
    Loaded loaded = load(true);
    if (loaded.status == LoadStatus::Unreadable) {
        QWLog("Cannot read the preferences at %s (%s); %s was not changed", file_.c_str(),
              loaded.error.c_str(), key.c_str());
        failure_ = readFailure(loaded);
        loaded_ = false;  // the next read tries again and keeps the values it has until then
        return false;
    }
    // Keys and values this program does not know stay as they were.
    json document = std::move(loaded.document);
    document[key] = toJson(value);
    if (!writeFileAtomically(file_, document.dump(2) + "\n")) {
        std::string why = std::strerror(errno);
        failure_ = "cannot write the preferences to " + file_.string() + ": " + why;
        QWLog("Cannot write the preferences to %s: %s", file_.c_str(), why.c_str());
        return false;
    }
    failure_.clear();
    keptAside_.clear();
    cache_ = valuesOf(document);
    cachedSignature_ = signatureOf(file_);
    loaded_ = true;
    return true;
}

}  // namespace quillby
