// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/events/Subscription.h"
#include "duplicates/DuplicateSearchSettings.h"

namespace quillby {

class UserDefaults;

// The duplicate search's options as the page and the preferences edit them. The size limit
// and its unit, hidden files, system folders and what the walk leaves out are settings: each
// change is stored at once and posted as "DuplicateSearchSettingsChanged", so that every
// control showing them follows whoever changed them (observe()). The folders whose copies stay
// ("Keep copies in this folder") belong to this object only: they choose among the copies of
// the searches made here, and a forgotten stored rule would quietly change which copies later
// searches tick for removal.
class DuplicateSearchChoices {
  public:
    // On the process's settings, looked up at each use (they may be replaced).
    DuplicateSearchChoices() = default;
    explicit DuplicateSearchChoices(UserDefaults& defaults) : fixed_(&defaults) {}

    std::int64_t limit() const;
    std::int64_t unit() const;  // 0 bytes, 1 KB, 2 MB, 3 GB, 4 TB
    bool includeHidden() const;
    bool includeSystem() const;
    // Folders (absolute paths) and name globs, in the order added.
    std::vector<std::string> excludes() const;

    void setLimit(std::int64_t limit);  // below 0 counts as 0
    void setUnit(std::int64_t unit);
    void setIncludeHidden(bool include);
    void setIncludeSystem(bool include);
    // Adds an absolute path (trailing slashes dropped) or a glob (see WalkExclusions); a
    // relative path, an empty text or one already listed adds nothing. True when stored.
    bool addExclude(const std::string& pathOrGlob);
    bool removeExclude(std::size_t index);

    const std::vector<std::string>& keepIn() const { return keepIn_; }
    // An absolute folder, once; true when added.
    bool addKeepIn(const std::string& folder);
    bool removeKeepIn(std::size_t index);

    // What the next search runs with: the stored settings and this object's keep-in folders.
    DuplicateSearchSettings settings() const;

    // Calls `changed` after every change of the stored options, whoever made it.
    [[nodiscard]] static Subscription observe(std::function<void()> changed);
    // Tells the observers that the stored options changed (for controls that store them
    // themselves).
    static void announce();

  private:
    void storeExcludes(const std::vector<std::string>& excludes);
    UserDefaults& defaults() const;

    UserDefaults* fixed_ = nullptr;
    std::vector<std::string> keepIn_;
};

}  // namespace quillby
