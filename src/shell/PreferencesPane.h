// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "core/events/Subscription.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QSpinBox;

namespace quillby {

class DuplicateSearchChoices;
class ExcludedFolderList;
class PathListEditor;

// The preferences page: alarm thresholds, the clean categories, the duplicate and disk-usage
// size limits, the disk-usage measure (apparent sizes or blocks on disk) and the folders its
// scans never read, the tray icon, launch at login and the automatic update check. Every control
// writes its setting the moment it changes; the clean categories' boxes also follow what the
// clean page stores (partly checked while the page has some of a category's items checked).
// The update controls stay hidden until the update checker says the system's package service
// is there.
class PreferencesPane : public QWidget {
    Q_OBJECT
  public:
    // `registerAtLogin(add)` adds or removes the program's own login entry; true on success.
    explicit PreferencesPane(std::function<bool(bool add)> registerAtLogin,
                             QWidget* parent = nullptr);
    ~PreferencesPane() override;

    // Reads every setting into its control.
    void readSettings();

    QSlider* spaceAlarmSlider() const { return spaceAlarm_; }
    QSlider* memoryAlarmSlider() const { return memoryAlarm_; }
    QLineEdit* duplicationLimitField() const { return duplicationLimit_; }
    QLineEdit* diskUsageLimitField() const { return diskUsageLimit_; }
    QComboBox* duplicatesUnit() const { return duplicatesUnit_; }
    QCheckBox* categorySwitch(int category) const { return categories_[category]; }
    QCheckBox* hideStatusItemBox() const { return hideStatusItem_; }
    QCheckBox* confirmCleanBox() const { return confirmClean_; }
    QSpinBox* journalLimitBox() const { return journalLimit_; }
    QCheckBox* launchAtLoginBox() const { return launchAtLogin_; }
    QCheckBox* automaticChecksBox() const { return automaticChecks_; }
    QComboBox* checkIntervalPopUp() const { return checkInterval_; }
    QCheckBox* allocatedSizeBox() const { return allocatedSize_; }
    // What duplicate searches leave out; the duplicate page edits the same list.
    PathListEditor* duplicateExcludes() const { return duplicateExcludes_; }
    QCheckBox* hiddenDuplicatesBox() const { return hiddenDuplicates_; }
    // The folders disk-usage scans never read; Add asks for one with a folder dialog.
    PathListEditor* excludedFolders() const { return excludedEditor_; }

    // Shows the update controls when `available`; `settingsChanged` runs after each change they
    // store, so that the checker follows at once.
    void setUpdateCheck(bool available, std::function<void()> settingsChanged);

  private:
    // The page's four groups, each making its controls.
    QGroupBox* alertsGroup();
    QGroupBox* cleanGroup();
    QGroupBox* limitsGroup();
    QGroupBox* generalGroup();
    QGroupBox* diskUsageGroup();
    QSlider* alarmSlider(const char* key, QLabel* caption, const QString& format);
    QLineEdit* limitField(int tag);
    QComboBox* unitPopUp(const char* key);
    QCheckBox* storedCheckBox(const QString& title, const char* key);
    void readCategories();
    void readDuplicateSettings();

    std::function<bool(bool)> registerAtLogin_;
    bool reading_ = false;
    QSlider* spaceAlarm_;
    QSlider* memoryAlarm_;
    QLineEdit* duplicationLimit_;
    QLineEdit* diskUsageLimit_;
    QComboBox* duplicatesUnit_;
    QComboBox* diskUsageUnit_;
    QCheckBox* hiddenDuplicates_;
    QCheckBox* systemDuplicates_;
    QCheckBox* automaticChecks_;
    QComboBox* checkInterval_;
    QFormLayout* generalLayout_;
    std::function<void()> updateSettingsChanged_;
    std::array<QCheckBox*, 6> categories_{};
    QCheckBox* confirmClean_;
    QSpinBox* journalLimit_;
    QCheckBox* hideStatusItem_;
    QCheckBox* launchAtLogin_;
    Subscription categoriesChanged_;
    QCheckBox* allocatedSize_;
    PathListEditor* excludedEditor_;
    std::unique_ptr<ExcludedFolderList> excludedFolders_;
    std::unique_ptr<DuplicateSearchChoices> duplicateChoices_;
    PathListEditor* duplicateExcludes_;
    Subscription duplicateSettingsChanged_;
};

}  // namespace quillby
