// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quillby {

// What the preferences pane's controls do to the settings, kept apart from the widgets so that
// every rule is testable without a window.
class PreferencesPaneActions {
  public:
    static constexpr int kDuplicationLimitTag = 1024;
    static constexpr int kDiskUsageLimitTag = 2048;

    // A limit field was edited: upper-cases the text and cuts it to its first 4 characters when
    // it has 5 or more, stores its number under the field's key, and gives the text to show.
    static std::string controlTextDidChange(int tag, std::string text);
    // Whether an edit may stand: only decimal digits are accepted.
    static bool isPartialStringValid(std::string_view partial);

    // A category switch (tag 1 ... 6, the category id plus one) after its binding stored the
    // switch's state: normalises the stored value to 0 or 1 and posts "changeCheckBox" with
    // {"tag": tag, "flag": true when the category is now off}.
    static void categorySwitchAction(int tag);

    // The hide-tray-icon check box: flips the stored hidden flag, logs "ischose:%d", posts
    // "setStatusBarHidden" with the new flag, and gives it.
    static bool changeShowStatusBtnClick();

    // The launch-at-login switch: stores "LoginCheck" and then asks `registerAtLogin` to add
    // (true) or remove (false) the program's own login entry; a failed add logs
    // "Registry login item failed!!!" and leaves "LoginCheck" at 1.
    static void loginButtonAction(int state, const std::function<bool(bool add)>& registerAtLogin);
};

}  // namespace quillby
