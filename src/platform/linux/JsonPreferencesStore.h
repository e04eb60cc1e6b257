// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <unistd.h>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>

#include "platform/PreferencesStore.h"

namespace quillby {

// Preferences as one JSON object in a file. Reads come from a copy that is refreshed whenever
// the file changed on disk. Each write takes an exclusive lock, re-reads the file, changes one
// key and replaces the file atomically, so two processes never lose each other's keys. A file
// that does not parse is kept aside as "<name>.corrupt" (never deleted) and reads as empty, and
// failure() says so until a write replaces it. A file that exists but cannot be read
// (permissions, a folder in its place, an I/O error) fails every write and keeps the values read
// before, until it can be read again. Values of types this program does not know are kept when
// the file is rewritten.
class JsonPreferencesStore final : public PreferencesStore {
  public:
    // The lock file beside `file` must be a plain file of `owner`'s. A `writeRefusal` (the home
    // belongs to another user) fails every write and keeps reads from setting anything aside.
    explicit JsonPreferencesStore(std::filesystem::path file, uid_t owner = ::geteuid(),
                                  std::string writeRefusal = "");

    std::optional<SettingValue> read(const std::string& key) override;
    std::map<std::string, SettingValue> readAll() override;
    bool write(const std::string& key, const SettingValue& value) override;
    std::string failure() override;

    const std::filesystem::path& file() const { return file_; }

  private:
    struct Signature {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        timespec modified{};
        bool operator==(const Signature& other) const;
    };

    enum class LoadStatus { Read, Missing, Unreadable, Corrupt };
    struct Loaded {
        LoadStatus status = LoadStatus::Unreadable;
        nlohmann::json document = nlohmann::json::object();  // always an object
        std::string error;                                   // why it is unreadable
    };

    void refresh();
    // Reads and parses the file. A file that does not parse is set aside when the caller holds
    // the write lock (its error then names where), and gives an empty document.
    Loaded load(bool holdingLock);
    // The failure a read reports for `loaded`: "" when it was read or missing.
    std::string readFailure(const Loaded& loaded) const;
    static std::map<std::string, SettingValue> valuesOf(const nlohmann::json& document);
    // The name it was kept under, or "" when it could not be moved.
    std::string setAside();
    static std::optional<Signature> signatureOf(const std::filesystem::path& file);

    std::filesystem::path file_;
    std::filesystem::path lockFile_;
    uid_t owner_;
    std::string writeRefusal_;
    std::mutex mutex_;
    std::map<std::string, SettingValue> cache_;
    std::optional<Signature> cachedSignature_;
    bool loaded_ = false;
    bool readFailureLogged_ = false;
    std::string failure_;
    // Why a file this store set aside could not be read, until a write replaces it: the missing
    // file left behind is no "nothing stored yet".
    std::string keptAside_;
};

}  // namespace quillby
