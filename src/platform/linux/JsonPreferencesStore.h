#pragma once

#include <sys/types.h>
#include <ctime>
#include <filesystem>
#include <mutex>

#include "platform/PreferencesStore.h"

// Preferences as one JSON object in a file. Reads come from a copy that is refreshed whenever
// the file changed on disk. Each write takes an exclusive lock, re-reads the file, changes one
// key and replaces the file atomically, so two processes never lose each other's keys. A file
// that does not parse is kept aside as "<name>.corrupt" (never deleted) and reads as empty.
class JsonPreferencesStore final : public PreferencesStore {
  public:
    explicit JsonPreferencesStore(std::filesystem::path file);

    std::optional<SettingValue> read(const std::string& key) override;
    std::map<std::string, SettingValue> readAll() override;
    bool write(const std::string& key, const SettingValue& value) override;

    const std::filesystem::path& file() const { return file_; }

  private:
    struct Signature {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        timespec modified{};
        bool operator==(const Signature& other) const;
    };

    void refresh();
    // Parses the file; on a parse failure sets the file aside (caller holds the write lock) or
    // reports it (caller does not). Gives the file's values.
    std::map<std::string, SettingValue> load(bool holdingLock, bool& corrupt);
    void setAside();
    static std::optional<Signature> signatureOf(const std::filesystem::path& file);

    std::filesystem::path file_;
    std::filesystem::path lockFile_;
    std::mutex mutex_;
    std::map<std::string, SettingValue> cache_;
    std::optional<Signature> cachedSignature_;
    bool loaded_ = false;
};
