// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

namespace quillby {

// The uninstaller's fixed texts and images, as data, so that the page and the command line say
// the same.
namespace UninstallTexts {

inline constexpr const char* selectionCount = "%d of %d selected.";
inline constexpr const char* succeeded = "Selected application(s) were uninstalled successfully.";
inline constexpr const char* failed =
    "Failed to uninstall the selected application(s). Please refer to Help for more info.";

inline constexpr const char* confirmMessage = "Uninstall Applications";
inline constexpr const char* confirmDefaultButton = "Uninstall";
inline constexpr const char* confirmOtherButton = "Cancel";
inline constexpr const char* confirmInformative = "Uninstall the selected application(s)?";
inline constexpr const char* confirmInformativeSystem =
    "System application(s),Do you want to uninstall it?";

// Asked before deleting a related file that no trash can take; follows the file's path.
inline constexpr const char* noTrashQuestion =
    " lies on another disk than your trash and cannot be moved there. Delete it for good?";

inline constexpr const char* uninstallButtonImage = "uninstallButton.png";
inline constexpr const char* uninstallButtonDisabledImage = "uninstall_d.png";
inline constexpr const char* rowImage = "list_1.png";
inline constexpr const char* highlightedRowImage = "list_hover.png";
inline constexpr const char* detailsButtonImage = "search_file.png";

inline constexpr const char* refreshLogLine =
    "*******************Refresh uninstall table view*******************";
// The object of "uninstallShowSelectNumInBottom" after a removal: the result text stays.
inline constexpr const char* uninstalledObject = "uninstalled";

}  // namespace UninstallTexts

// The confirmation asked before a removal.
struct UninstallConfirmation {
    std::string message;
    std::string defaultButton;
    std::string otherButton;
    std::string informativeText;
};

}  // namespace quillby
