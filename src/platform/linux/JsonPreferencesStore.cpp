#include "platform/linux/JsonPreferencesStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <system_error>

#include "core/AtomicFile.h"
#include "core/Log.h"

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

// Holds an exclusive flock on the lock file beside the preferences for its lifetime.
class FileLock {
  public:
    explicit FileLock(const fs::path& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0) return;
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
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

  private:
    int fd_ = -1;
};

}  // namespace

bool JsonPreferencesStore::Signature::operator==(const Signature& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

JsonPreferencesStore::JsonPreferencesStore(fs::path file)
    : file_(std::move(file)), lockFile_(file_.parent_path() / ".preferences.lock") {}

std::optional<JsonPreferencesStore::Signature> JsonPreferencesStore::signatureOf(
    const fs::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) return std::nullopt;
    return Signature{info.st_dev, info.st_ino, info.st_size, info.st_mtim};
}

std::map<std::string, SettingValue> JsonPreferencesStore::load(bool holdingLock, bool& corrupt) {
    corrupt = false;
    std::map<std::string, SettingValue> values;
    std::ifstream input(file_, std::ios::binary);
    if (!input) return values;  // no file yet: every key reads its default
    std::stringstream text;
    text << input.rdbuf();
    json document = json::parse(text.str(), nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded() || !document.is_object()) {
        corrupt = true;
        if (holdingLock) setAside();
        return values;
    }
    for (const auto& [key, value] : document.items()) {
        if (auto setting = fromJson(value)) values.emplace(key, std::move(*setting));
    }
    return values;
}

void JsonPreferencesStore::setAside() {
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
    } else {
        QWLog("Preferences file %s could not be read and could not be set aside: %s", file_.c_str(),
              std::strerror(errno));
    }
}

void JsonPreferencesStore::refresh() {
    auto signature = signatureOf(file_);
    if (loaded_ && signature == cachedSignature_) return;
    bool corrupt = false;
    cache_ = load(false, corrupt);
    if (corrupt) {
        // Set it aside under the writers' lock, unless a writer replaced it meanwhile.
        std::error_code error;
        fs::create_directories(file_.parent_path(), error);
        FileLock lock(lockFile_);
        if (lock.held()) cache_ = load(true, corrupt);
        signature = signatureOf(file_);
    }
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
    std::error_code error;
    fs::create_directories(file_.parent_path(), error);
    FileLock lock(lockFile_);
    if (!lock.held()) {
        QWLog("Cannot lock the preferences at %s: %s", lockFile_.c_str(), std::strerror(errno));
        return false;
    }
    bool corrupt = false;
    auto values = load(true, corrupt);
    values[key] = value;
    json document = json::object();
    for (const auto& [name, setting] : values) document[name] = toJson(setting);
    if (!writeFileAtomically(file_, document.dump(2) + "\n")) {
        QWLog("Cannot write the preferences to %s: %s", file_.c_str(), std::strerror(errno));
        return false;
    }
    cache_ = std::move(values);
    cachedSignature_ = signatureOf(file_);
    loaded_ = true;
    return true;
}
