// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/PreferencesPane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QValidator>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/settings/PreferenceViewController.h"
#include "core/settings/PreferencesPaneActions.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "core/text/LocalizedText.h"
#include "diskusage/ExcludedFolderList.h"
#include "duplicates/DuplicateSearchChoices.h"
#include "duplicates/ui/DuplicateOptionsView.h"
#include "ui/PathListEditor.h"

namespace quillby {

namespace {

UserDefaults& defaults() {
    PreferenceViewController::initialize();
    return UserDefaults::standardUserDefaults();
}

// Refuses any edit that would put a character other than a decimal digit into a limit field.
class DigitsOnly : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return PreferencesPaneActions::isPartialStringValid(input.toStdString()) ? Acceptable
                                                                                 : Invalid;
    }
};

constexpr const char* kCategoryTitles[6] = {"TITLE_CLEAN_SYS_CACHES", "TITLE_CLEAN_USR_CACHES",
                                            "TITLE_CLEAN_SYS_LOGS",   "TITLE_CLEAN_USR_LOGS",
                                            "TITLE_CLEAN_TRASH",      "TITLE_CLEAN_DOWNLOADS"};

}  // namespace

PreferencesPane::PreferencesPane(std::function<bool(bool)> registerAtLogin, QWidget* parent)
    : QWidget(parent),
      registerAtLogin_(std::move(registerAtLogin)),
      duplicateChoices_(std::make_unique<DuplicateSearchChoices>()) {
    setMinimumSize(640, 460);  // the size at 1x; larger fonts grow the page
    auto* grid = new QGridLayout(this);
    grid->addWidget(alertsGroup(), 0, 0);
    grid->addWidget(cleanGroup(), 0, 1, 2, 1);
    grid->addWidget(limitsGroup(), 1, 0);
    grid->addWidget(generalGroup(), 2, 0);
    grid->addWidget(diskUsageGroup(), 2, 1);
    readSettings();
    categoriesChanged_ = EventBus::defaultCenter().observe(
        Events::updateSelectNumber, [this](const Event&) { readCategories(); });
    duplicateSettingsChanged_ =
        DuplicateSearchChoices::observe([this] { readDuplicateSettings(); });
}

QGroupBox* PreferencesPane::alertsGroup() {
    auto* alerts = new QGroupBox(tr("Alerts"));
    auto* alertsLayout = new QFormLayout(alerts);
    auto* spaceCaption = new QLabel;
    auto* memoryCaption = new QLabel;
    spaceAlarm_ =
        alarmSlider(SettingsKey::SpaceAlarm, spaceCaption, tr("Warn when a disk has %1% free"));
    memoryAlarm_ =
        alarmSlider(SettingsKey::MemoryAlarm, memoryCaption, tr("Warn when memory has %1% free"));
    // Both sit in the "Alerts" group: each is named for what it watches.
    spaceAlarm_->setAccessibleName(tr("Free disk space alert"));
    memoryAlarm_->setAccessibleName(tr("Free memory alert"));
    alertsLayout->addRow(spaceCaption);
    alertsLayout->addRow(spaceAlarm_);
    alertsLayout->addRow(memoryCaption);
    alertsLayout->addRow(memoryAlarm_);
    return alerts;
}

QGroupBox* PreferencesPane::cleanGroup() {
    auto* clean = new QGroupBox(tr("Clean"));
    auto* cleanLayout = new QVBoxLayout(clean);
    for (int category = 0; category < 6; ++category) {
        auto* box =
            new QCheckBox(QString::fromStdString(localizedString(kCategoryTitles[category])));
        connect(box, &QCheckBox::clicked, this, [category](bool on) {
            PreferenceViewController::setCategoryClicked(category, on ? 1 : 0);
            PreferencesPaneActions::categorySwitchAction(category + 1);
        });
        categories_[category] = box;
        cleanLayout->addWidget(box);
    }
    confirmClean_ = storedCheckBox(tr("Ask before cleaning"), SettingsKey::ConfirmClean);
    cleanLayout->addWidget(confirmClean_);
    // Above this size System Logs offers to trim the journal.
    journalLimit_ = new QSpinBox;
    journalLimit_->setRange(16, 1000000);
    journalLimit_->setSuffix(tr(" MB"));
    journalLimit_->setAccessibleName(tr("System journal size"));
    connect(journalLimit_, &QSpinBox::valueChanged, this, [this](int megabytes) {
        if (!reading_) defaults().setInteger(megabytes, SettingsKey::SystemJournalLimit);
    });
    auto* journalLabel = new QLabel(tr("Keep the system journal under:"));
    journalLabel->setBuddy(journalLimit_);
    auto* journalRow = new QHBoxLayout;
    journalRow->addWidget(journalLabel);
    journalRow->addWidget(journalLimit_);
    journalRow->addStretch();
    cleanLayout->addLayout(journalRow);
    // The group is as tall as the two beside it: its rows stay together at the top.
    cleanLayout->addStretch(1);
    return clean;
}

QGroupBox* PreferencesPane::limitsGroup() {
    auto* limits = new QGroupBox(tr("Size limits"));
    auto* limitsLayout = new QFormLayout(limits);
    duplicationLimit_ = limitField(PreferencesPaneActions::kDuplicationLimitTag);
    duplicatesUnit_ = unitPopUp(SettingsKey::QWDuplicatesUnit);
    diskUsageLimit_ = limitField(PreferencesPaneActions::kDiskUsageLimitTag);
    diskUsageUnit_ = unitPopUp(SettingsKey::QWDiskUsageUnit);
    auto pair = [](QWidget* a, QWidget* b) {
        auto* row = new QWidget;
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(a);
        layout->addWidget(b);
        return row;
    };
    // The form's captions name the pairs; each field and unit is named for screen readers too.
    duplicationLimit_->setAccessibleName(tr("Duplicates larger than"));
    duplicatesUnit_->setAccessibleName(tr("Duplicates size unit"));
    diskUsageLimit_->setAccessibleName(tr("Disk usage lists items larger than"));
    diskUsageUnit_->setAccessibleName(tr("Disk usage size unit"));
    limitsLayout->addRow(tr("Duplicates larger than"), pair(duplicationLimit_, duplicatesUnit_));
    hiddenDuplicates_ = storedCheckBox(tr("Include hidden files"), SettingsKey::QWHidenDuplication);
    systemDuplicates_ =
        storedCheckBox(tr("Include system files"), SettingsKey::QWSystemDuplication);
    limitsLayout->addRow(hiddenDuplicates_);
    limitsLayout->addRow(systemDuplicates_);
    // The duplicate page shows these settings too: it follows each change made here.
    auto announce = [] { DuplicateSearchChoices::announce(); };
    connect(duplicationLimit_, &QLineEdit::textEdited, this, announce);
    connect(duplicatesUnit_, &QComboBox::activated, this, announce);
    connect(hiddenDuplicates_, &QCheckBox::clicked, this, announce);
    connect(systemDuplicates_, &QCheckBox::clicked, this, announce);
    duplicateExcludes_ = DuplicateOptionsView::excludesEditor(*duplicateChoices_, limits);
    limitsLayout->addRow(duplicateExcludes_);
    limitsLayout->addRow(tr("Disk usage lists items larger than"),
                         pair(diskUsageLimit_, diskUsageUnit_));
    return limits;
}

PreferencesPane::~PreferencesPane() = default;

QGroupBox* PreferencesPane::diskUsageGroup() {
    auto* group = new QGroupBox(tr("Disk usage"));
    auto* layout = new QVBoxLayout(group);
    allocatedSize_ = storedCheckBox(tr("Show size on disk (allocated blocks)"),
                                    SettingsKey::DiskUsageAllocatedSize);
    allocatedSize_->setToolTip(
        tr("Count the blocks files take on the disk, as du does: hard "
           "links once, sparse files at their real cost. Applies to the "
           "next scan."));
    excludedEditor_ = new PathListEditor(
        {tr("Folders never to scan"), tr("Folder never to scan"), {}},
        // The list is read with the other settings (readSettings); until then it is empty.
        {.read =
             [this] {
                 return excludedFolders_ ? excludedFolders_->folders() : std::vector<std::string>{};
             },
         .add = [this](const std::string& folder) { return excludedFolders_->add(folder); },
         .remove = [this](std::size_t index) { return excludedFolders_->remove(index); }},
        group);
    layout->addWidget(allocatedSize_);
    layout->addWidget(excludedEditor_);
    layout->addStretch(1);
    return group;
}

QGroupBox* PreferencesPane::generalGroup() {
    auto* general = new QGroupBox(tr("General"));
    auto* generalLayout = new QFormLayout(general);
    hideStatusItem_ = new QCheckBox(tr("Hide the tray icon"));
    connect(hideStatusItem_, &QCheckBox::clicked, this, [this] {
        bool hidden = PreferencesPaneActions::changeShowStatusBtnClick();
        QSignalBlocker quiet(hideStatusItem_);
        hideStatusItem_->setChecked(hidden);
    });
    launchAtLogin_ = new QCheckBox(tr("Start Quillby Pro at login"));
    connect(launchAtLogin_, &QCheckBox::clicked, this, [this](bool on) {
        PreferencesPaneActions::loginButtonAction(on ? 1 : 0, registerAtLogin_);
    });
    automaticChecks_ = new QCheckBox(tr("Check for updates automatically"));
    checkInterval_ = new QComboBox;
    for (auto [title, seconds] :
         {std::pair{tr("Daily"), 86400}, {tr("Weekly"), 604800}, {tr("Monthly"), 2629800}}) {
        checkInterval_->addItem(title, seconds);
    }
    auto told = [this] {
        if (updateSettingsChanged_) updateSettingsChanged_();
    };
    connect(automaticChecks_, &QCheckBox::toggled, checkInterval_, &QWidget::setEnabled);
    connect(automaticChecks_, &QCheckBox::clicked, this, [told](bool on) {
        defaults().setBool(on, SettingsKey::SUEnableAutomaticChecks);
        told();
    });
    connect(checkInterval_, &QComboBox::activated, this, [this, told](int index) {
        defaults().setInteger(checkInterval_->itemData(index).toInt(),
                              SettingsKey::SUScheduledCheckInterval);
        told();
    });
    generalLayout->addRow(hideStatusItem_);
    generalLayout->addRow(launchAtLogin_);
    generalLayout->addRow(automaticChecks_);
    generalLayout->addRow(tr("Check"), checkInterval_);
    generalLayout_ = generalLayout;
    setUpdateCheck(false, {});
    return general;
}

QSlider* PreferencesPane::alarmSlider(const char* key, QLabel* caption, const QString& format) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(1, 50);  // percent of free space or memory
    auto show = [caption, format](int percent) { caption->setText(format.arg(percent)); };
    connect(slider, &QSlider::valueChanged, this, show);
    connect(slider, &QSlider::valueChanged, this, [this, key](int percent) {
        if (!reading_) defaults().setFloat(static_cast<float>(percent) / 100.0f, key);
    });
    return slider;
}

QLineEdit* PreferencesPane::limitField(int tag) {
    auto* field = new QLineEdit;
    field->setValidator(new DigitsOnly(field));
    field->setMaximumWidth(70);
    connect(field, &QLineEdit::textEdited, this, [field, tag](const QString& text) {
        QString shown = QString::fromStdString(
            PreferencesPaneActions::controlTextDidChange(tag, text.toStdString()));
        if (shown != text) field->setText(shown);
    });
    return field;
}

QComboBox* PreferencesPane::unitPopUp(const char* key) {
    auto* popUp = new QComboBox;
    int code = 0;
    for (const char* unit : {"bytes", "KB", "MB", "GB", "TB"}) popUp->addItem(unit, code++);
    connect(popUp, &QComboBox::activated, this, [popUp, key](int index) {
        defaults().setInteger(popUp->itemData(index).toInt(), key);
    });
    return popUp;
}

QCheckBox* PreferencesPane::storedCheckBox(const QString& title, const char* key) {
    auto* box = new QCheckBox(title);
    connect(box, &QCheckBox::clicked, this, [key](bool on) { defaults().setBool(on, key); });
    return box;
}

void PreferencesPane::readSettings() {
    auto& d = defaults();
    auto percent = [&](const char* key) {
        return static_cast<int>(d.floatForKey(key) * 100.0f + 0.5f);
    };
    reading_ = true;  // showing a stored value must not store it again
    for (auto [slider, key] : {std::pair{spaceAlarm_, SettingsKey::SpaceAlarm},
                               {memoryAlarm_, SettingsKey::MemoryAlarm}}) {
        slider->setValue(percent(key));
        emit slider->valueChanged(slider->value());  // the caption follows even when unchanged
    }
    journalLimit_->setValue(static_cast<int>(d.integerForKey(SettingsKey::SystemJournalLimit)));
    reading_ = false;
    diskUsageLimit_->setText(QString::number(d.integerForKey(SettingsKey::QWDiskUsageLimit)));
    auto selectByTag = [](QComboBox* popUp, std::int64_t tag) {
        int index = popUp->findData(static_cast<int>(tag));
        if (index >= 0) popUp->setCurrentIndex(index);
    };
    selectByTag(diskUsageUnit_, d.integerForKey(SettingsKey::QWDiskUsageUnit));
    selectByTag(checkInterval_, d.integerForKey(SettingsKey::SUScheduledCheckInterval));
    automaticChecks_->setChecked(d.boolForKey(SettingsKey::SUEnableAutomaticChecks));
    checkInterval_->setEnabled(automaticChecks_->isChecked());
    readDuplicateSettings();
    readCategories();
    confirmClean_->setChecked(d.boolForKey(SettingsKey::ConfirmClean));
    hideStatusItem_->setChecked(PreferenceViewController::getHiddenStatusItem());
    launchAtLogin_->setChecked(d.integerForKey(SettingsKey::LoginCheck) != 0);
    allocatedSize_->setChecked(d.boolForKey(SettingsKey::DiskUsageAllocatedSize));
    // The settings object may have been replaced since the last reading.
    excludedFolders_ = std::make_unique<ExcludedFolderList>(d);
    excludedEditor_->refresh();
}

void PreferencesPane::readDuplicateSettings() {
    auto& d = defaults();
    const std::int64_t limit = d.integerForKey(SettingsKey::QWDuplicationLimit);
    // A field being typed in keeps its text ("" or "007") while it reads as the stored number.
    if (!duplicationLimit_->hasFocus() || duplicationLimit_->text().toLongLong() != limit) {
        duplicationLimit_->setText(QString::number(limit));
    }
    int unit =
        duplicatesUnit_->findData(static_cast<int>(d.integerForKey(SettingsKey::QWDuplicatesUnit)));
    if (unit >= 0) duplicatesUnit_->setCurrentIndex(unit);
    hiddenDuplicates_->setChecked(d.boolForKey(SettingsKey::QWHidenDuplication));
    systemDuplicates_->setChecked(d.boolForKey(SettingsKey::QWSystemDuplication));
    duplicateExcludes_->refresh();
}

void PreferencesPane::setUpdateCheck(bool available, std::function<void()> settingsChanged) {
    updateSettingsChanged_ = std::move(settingsChanged);
    generalLayout_->setRowVisible(automaticChecks_, available);
    generalLayout_->setRowVisible(checkInterval_, available);
}

void PreferencesPane::readCategories() {
    for (int category = 0; category < 6; ++category) {
        std::int64_t state = PreferenceViewController::categoryClicked(category);
        // Partly checked only shows what the page stored; a click makes it all or none.
        categories_[category]->setTristate(state == 2);
        categories_[category]->setCheckState(state == 1   ? Qt::Checked
                                             : state == 2 ? Qt::PartiallyChecked
                                                          : Qt::Unchecked);
    }
}

}  // namespace quillby
