// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillby {

// The names of every event on the bus, and the keys of their named values, in one place so that
// posters and observers agree.
namespace Events {

// Monitor, agent and settings.
inline constexpr const char* QWVolumeMount = "QWVolumeMount";
inline constexpr const char* QWVolumeUnmount = "QWVolumeUnmount";
inline constexpr const char* refMenuItemWhenDeleteAndAdd = "refMenuItemWhenDeleteAndAdd";
inline constexpr const char* updateSizeView = "updateSizeView";
inline constexpr const char* updateNewDiskSizeView = "updateNewDiskSizeView";
inline constexpr const char* openFinderWhenClickItems = "openFinderWhenClickItems";
inline constexpr const char* cleanMemoryClickAction = "cleanMemoryClickAction";
inline constexpr const char* setStatusBarHidden = "setStatusBarHidden";
inline constexpr const char* ShouldCloseWindow = "ShouldCloseWindow";
inline constexpr const char* shouldSelectRow = "shouldSelectRow";
inline constexpr const char* changeCheckBox = "changeCheckBox";
inline constexpr const char* updateSelectNumber = "updateSelectNumber";
inline constexpr const char* refNewTableViewSizeLabel = "refNewTableViewSizeLabel";
inline constexpr const char* cleanShowSelectNumInBottom = "cleanShowSelectNumInBottom";
inline constexpr const char* selectedRowInFastClean = "selectedRowInFastClean";
inline constexpr const char* uninstallShowSelectNumInBottom = "uninstallShowSelectNumInBottom";
inline constexpr const char* changeSelectCell = "changeSelectCell";
inline constexpr const char* FreeTotleArr = "FreeTotleArr";
inline constexpr const char* changeLockState = "changeLockState";

// System-clean engine (posted on worker threads).
inline constexpr const char* ScanSingleFolder = "ScanSingleFolder";
inline constexpr const char* ScanOperationFinish = "ScanOperationFinish";
inline constexpr const char* BeginFastClean = "BeginFastClean";
inline constexpr const char* DeleteFileSuccess = "DeleteFileSuccess";
inline constexpr const char* DeleteFileFailed = "DeleteFileFailed";
inline constexpr const char* FastCleanFinish = "FastCleanFinish";
inline constexpr const char* FastCleanCanceled = "FastCleanCanceled";
// A finished clean was written to the history record (posted on the thread that cleaned).
inline constexpr const char* CleanRecorded = "CleanRecorded";

// Duplicate finder and disk usage.
inline constexpr const char* refRemoveButtonState = "refRemoveButtonState";
inline constexpr const char* ShowBubble = "ShowBubble";
inline constexpr const char* HideBubble = "HideBubble";
inline constexpr const char* RefreshLeftView = "RefreshLeftView";
inline constexpr const char* GetDirTotalLevel = "GetDirTotalLevel";
inline constexpr const char* NeedUpdateProgress = "NeedUpdateProgress";
// A stored option of the duplicate search changed (size limit, hidden or system files, what
// the walk leaves out); every control showing them reads them again.
inline constexpr const char* DuplicateSearchSettingsChanged = "DuplicateSearchSettingsChanged";

}  // namespace Events

// Keys of the named values carried by those events.
namespace EventKeys {
inline constexpr const char* NSWorkspaceVolumeLocalizedNameKey =
    "NSWorkspaceVolumeLocalizedNameKey";
inline constexpr const char* tag = "tag";
inline constexpr const char* flag = "flag";
inline constexpr const char* rowNum = "rowNum";
inline constexpr const char* startButton = "startButton";
inline constexpr const char* animation = "animation";
inline constexpr const char* isSelect = "isSelect";
inline constexpr const char* iconImage = "iconImage";
inline constexpr const char* UninstallRowNumber = "UninstallRowNumber";
inline constexpr const char* PathName = "PathName";
inline constexpr const char* FolderPath = "FolderPath";
inline constexpr const char* FolderSize = "FolderSize";
inline constexpr const char* FileCount = "FileCount";
inline constexpr const char* FilePath = "FilePath";
inline constexpr const char* FileSize = "FileSize";
inline constexpr const char* DirSize = "DirSize";
inline constexpr const char* CurrentDir = "CurrentDir";
inline constexpr const char* MouseXPos = "MouseXPos";
inline constexpr const char* MouseYPos = "MouseYPos";
inline constexpr const char* RootPath = "RootPath";
inline constexpr const char* DecendingItem = "DecendingItem";
inline constexpr const char* DirLevels = "DirLevels";
// Entries a clean deleted with an item, and the items a folder-level failure stands for.
inline constexpr const char* EntryCount = "EntryCount";
inline constexpr const char* FailedPaths = "FailedPaths";
// Why an item could not be deleted (an errno), and why each of "FailedPaths" could not.
inline constexpr const char* FailureError = "FailureError";
inline constexpr const char* FailedErrors = "FailedErrors";
}  // namespace EventKeys

}  // namespace quillby
