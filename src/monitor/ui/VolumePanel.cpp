// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/ui/VolumePanel.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "monitor/ui/CustomGreyBarView.h"
#include "monitor/ui/MenuItemView.h"

namespace quillby {

namespace {

QPushButton* commandButton(const QString& title, const QString& shortcut) {
    auto* button = new QPushButton(title);
    button->setFlat(true);
    button->setStyleSheet(QStringLiteral("text-align: left; padding: 4px 12px;"));
    if (!shortcut.isEmpty()) button->setShortcut(QKeySequence(shortcut));
    return button;
}

// What assistive technology reads for a row, and the tooltip of its eject or purge button.
void describeRow(MenuItemView& view) {
    const VolumeRow& row = view.row();
    QString name = QString::fromStdString(row.volumeSize);
    view.setAccessibleName(QObject::tr("%1, %2 free of %3")
                               .arg(name, QString::fromStdString(row.u64FreeSpace),
                                    QString::fromStdString(row.u64TotalSpace)));
    QString button = row.myStorage == VolumeRow::kMemoryKind ? QObject::tr("Free memory")
                     : row.bCanEject                         ? QObject::tr("Eject %1").arg(name)
                                                             : QString();
    // The keys are part of the description: the button is drawn, not a widget of its own.
    view.setAccessibleDescription(button.isEmpty() ? button
                                                   : button + QObject::tr(" (Delete key)"));
    view.setToolTip(button);
}

QFrame* separator() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

VolumePanel::VolumePanel(Actions actions, QWidget* parent)
    : QWidget(parent), actions_(std::move(actions)) {
    setFixedWidth(MenuItemView::kSize.width());
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 4, 0, 4);
    layout_->setSpacing(0);
    status_ = new QLabel;
    status_->setContentsMargins(12, 2, 12, 4);
    layout_->addWidget(status_);
    setAccessibleName(tr("Volumes"));
}

void VolumePanel::showMenu(const StatusMenu& menu) {
    // A rebuild may start inside a row's own click handler: the old rows go once it returned.
    for (auto* widget : built_) {
        widget->hide();
        layout_->removeWidget(widget);
        widget->deleteLater();
    }
    built_.clear();
    rows_.clear();
    ejectAll_ = nullptr;
    fastClean_ = nullptr;
    using Type = StatusMenuEntry::Type;
    for (const auto& entry : menu) {
        QWidget* widget = nullptr;
        switch (entry.type) {
            case Type::Header:
                widget = new CustomGreyBarView(entry.headerKind);
                break;
            case Type::Row: {
                auto* row = new MenuItemView(entry.row, actions_.eject);
                describeRow(*row);
                rows_.push_back(row);
                widget = row;
                break;
            }
            case Type::Separator:
                widget = separator();
                break;
            case Type::EjectAll: {
                ejectAll_ =
                    commandButton(QString::fromStdString(entry.title), QStringLiteral("Ctrl+E"));
                ejectAll_->setEnabled(entry.enabled);
                connect(ejectAll_, &QPushButton::clicked, this, [this] {
                    if (actions_.ejectAll) actions_.ejectAll();
                });
                widget = ejectAll_;
                break;
            }
            case Type::MainWindow: {
                auto* button = commandButton(QString::fromStdString(entry.title), {});
                connect(button, &QPushButton::clicked, this, [this] {
                    if (actions_.mainWindow) actions_.mainWindow();
                });
                widget = button;
                break;
            }
            case Type::FastClean:
            case Type::Scan:
            case Type::FreeSpace:
            case Type::Uninstall:
            case Type::Preferences:
            case Type::About: {
                auto* button = commandButton(QString::fromStdString(entry.title), {});
                connect(button, &QPushButton::clicked, this, [this, type = entry.type] {
                    if (actions_.command) actions_.command(type);
                });
                if (entry.type == Type::FastClean) {
                    button->setEnabled(entry.enabled);  // not while a clean runs
                    fastClean_ = button;
                }
                widget = button;
                break;
            }
            case Type::Quit: {
                auto* button =
                    commandButton(QString::fromStdString(entry.title), QStringLiteral("Ctrl+Q"));
                connect(button, &QPushButton::clicked, this, [this] {
                    if (actions_.quit) actions_.quit();
                });
                widget = button;
                break;
            }
        }
        layout_->addWidget(widget);
        built_.push_back(widget);
    }
    adjustSize();
}

void VolumePanel::updateMenu(const StatusMenu& menu) {
    size_t next = 0;
    for (const auto& entry : menu) {
        if (entry.type != StatusMenuEntry::Type::Row) continue;
        if (next < rows_.size()) {
            rows_[next]->setRow(entry.row);
            describeRow(*rows_[next++]);
        }
    }
}

void VolumePanel::updateShowSize(const QString& freeText, const QString& totalText) {
    freeText_ = freeText;
    totalText_ = totalText;
    refreshStatusLine();
}

void VolumePanel::setWarning(bool warning) {
    warning_ = warning;
    refreshStatusLine();
}

void VolumePanel::refreshStatusLine() {
    // Free space in green, red when the boot volume is in alarm, both legible on the dark panel.
    QString colour = warning_ ? QStringLiteral("#e8483c") : QStringLiteral("#4cc35a");
    status_->setText(tr("<b><span style='color:%1'>%2 free</span></b> of %3")
                         .arg(colour, freeText_.toHtmlEscaped(), totalText_.toHtmlEscaped()));
    status_->setVisible(!freeText_.isEmpty());
}

}  // namespace quillby
