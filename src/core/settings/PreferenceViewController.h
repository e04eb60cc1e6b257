// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace quillby {

// Class-level accessors of the most used settings. The first use registers the preferences'
// defaults (once per settings object). Every setter stores at once.
class PreferenceViewController {
  public:
    // Registers the preferences' defaults on the process's settings if not done yet.
    static void initialize();

    static std::int64_t getSystemCashesClicked();
    static std::int64_t getUserCashesClicked();
    static void setSystemLogsClicked(std::int64_t value);
    static std::int64_t getSystemLogsClickedClicked();
    static void setUserLogsClicked(std::int64_t value);
    static std::int64_t getUserLogsClicked();
    static void setUserTrashClicked(std::int64_t value);
    static std::int64_t getUserTrashClicked();
    static void setUserDownLoadsFolderClicked(std::int64_t value);
    static std::int64_t getUserDownLoadsFoldeClicked();

    static void setLastClickRow(std::int64_t row);
    static std::int64_t getLastClickRow();
    static void setLoginItemIsHide(std::int64_t hide);
    static bool getLoginItemIsHide();
    static void setHiddenStatusItem(bool hidden);
    static bool getHiddenStatusItem();

    // The stored selection of clean category `category` (0 ... 5), and its setter. A change is
    // posted as "updateSelectNumber" with the six stored values as texts, so that every control
    // showing them (the clean page, the preferences) follows whoever wrote it.
    static std::int64_t categoryClicked(int category);
    static void setCategoryClicked(int category, std::int64_t value);
};

}  // namespace quillby
