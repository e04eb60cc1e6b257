// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/ui/TrayAgentView.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QSystemTrayIcon>

#include "core/text/LocalizedText.h"
#include "monitor/AboutText.h"
#include "monitor/UpdateChecker.h"
#include "monitor/ui/BubbleView.h"
#include "monitor/ui/DesktopNotifications.h"
#include "monitor/ui/VolumePanel.h"
#include "ui/ImageProvider.h"

namespace quillby {

namespace {

QString rowText(const VolumeRow& row) {
    // U+2014: "name — free of total", the same figures as the panel's row.
    return QStringLiteral("%1 \u2014 %2 free of %3")
        .arg(QString::fromStdString(row.volumeSize), QString::fromStdString(row.u64FreeSpace),
             QString::fromStdString(row.u64TotalSpace));
}

}  // namespace

TrayAgentView::TrayAgentView()
    : tray_(new QSystemTrayIcon(this)),
      contextMenu_(std::make_unique<QMenu>()),
      bubbles_(std::make_unique<BubbleView>()) {
    VolumePanel::Actions actions;
    actions.eject = [this](std::int32_t reference) {
        return commands_.eject && commands_.eject(reference);
    };
    actions.ejectAll = [this] {
        panel_->hide();
        if (commands_.ejectAll) commands_.ejectAll();
    };
    actions.mainWindow = [this] {
        panel_->hide();
        if (commands_.showMainWindow) commands_.showMainWindow();
    };
    actions.quit = [this] {
        if (commands_.quit) commands_.quit();
    };
    actions.command = [this](StatusMenuEntry::Type type) {
        panel_->hide();
        run(type);
    };
    panel_ = new VolumePanel(actions);
    panel_->setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    tray_->setIcon(ImageProvider::shared().icon(QStringLiteral("disk_ico.png")));
    tray_->setContextMenu(contextMenu_.get());
    connect(tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) togglePanel();
            });
    if (windowsCannotBePlaced()) {
        bubbles_->setNotificationSink([](const QStringList& lines, BubbleView::ClickAction click) {
            showDesktopNotification(lines, BubbleView::kLifetimeMs, std::move(click));
        });
    }
}

TrayAgentView::~TrayAgentView() {
    delete panel_;
}

void TrayAgentView::setCommands(Commands commands) {
    commands_ = std::move(commands);
}

bool TrayAgentView::trayAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayAgentView::showMenu(const StatusMenu& menu) {
    hasMenu_ = true;
    panel_->showMenu(menu);
    rebuildContextMenu(menu);
}

void TrayAgentView::updateMenu(const StatusMenu& menu) {
    if (!hasMenu_) {
        showMenu(menu);
        return;
    }
    panel_->updateMenu(menu);
    // Desktops that draw the menu themselves never show the QMenu as visible: replacing its
    // actions on every tick would rebuild it under the user's pointer. Same entries, new texts.
    if (menuShape(menu) == contextShape_) {
        refreshContextMenu(menu);
    } else {
        rebuildContextMenu(menu);
    }
}

void TrayAgentView::removeMenu() {
    hasMenu_ = false;
}

void TrayAgentView::cancelMenuTracking() {
    panel_->hide();
    contextMenu_->hide();
}

std::string TrayAgentView::menuShape(const StatusMenu& menu) {
    std::string shape;
    for (const auto& entry : menu) {
        shape += std::to_string(static_cast<int>(entry.type)) + ':';
        switch (entry.type) {
            case StatusMenuEntry::Type::Header:
                shape += std::to_string(entry.headerKind);
                break;
            case StatusMenuEntry::Type::Row:
                shape += std::to_string(entry.row.myStorage) + '/' +
                         std::to_string(entry.row.volRefNumber) + '/' +
                         (entry.row.bCanEject ? "e" : "") + '/' + entry.row.volRootDir;
                // The eject command names the volume.
                if (entry.row.myStorage != VolumeRow::kMemoryKind)
                    shape += '/' + entry.row.volumeSize;
                break;
            default:
                shape += entry.title + (entry.enabled ? "" : "/off");
                break;
        }
        shape += '\n';
    }
    return shape;
}

void TrayAgentView::refreshContextMenu(const StatusMenu& menu) {
    auto& images = ImageProvider::shared();
    size_t next = 0;
    for (const auto& entry : menu) {
        if (entry.type != StatusMenuEntry::Type::Row || next >= rowActions_.size()) continue;
        RowAction& shown = rowActions_[next++];
        if (!shown.action) continue;
        shown.action->setText(rowText(entry.row));
        auto level = entry.row.getPrograssImage();
        std::string levelName = level ? *level : std::string();
        if (levelName != shown.level) {
            shown.level = levelName;
            shown.action->setIcon(level ? images.icon(QString::fromStdString(*level)) : QIcon());
        }
    }
}

void TrayAgentView::rebuildContextMenu(const StatusMenu& menu) {
    contextMenu_->clear();
    rowActions_.clear();
    contextShape_ = menuShape(menu);
    auto& images = ImageProvider::shared();
    using Type = StatusMenuEntry::Type;
    for (const auto& entry : menu) {
        switch (entry.type) {
            case Type::Header:
                contextMenu_->addSection(QString::fromStdString(
                    localizedString(VolumeRow::groupTitleKey(entry.headerKind))));
                break;
            case Type::Row: {
                VolumeRow row = entry.row;
                auto level = row.getPrograssImage();
                QIcon icon = level ? images.icon(QString::fromStdString(*level)) : QIcon();
                QAction* open = contextMenu_->addAction(icon, rowText(row));
                rowActions_.push_back({open, level ? *level : std::string()});
                if (row.myStorage == VolumeRow::kMemoryKind) {
                    open->setEnabled(false);
                    contextMenu_->addAction(tr("Free Memory"),
                                            [row]() mutable { row.cleanMemoryButtonClick(); });
                } else {
                    connect(open, &QAction::triggered, this, [row]() mutable { row.mouseDown(); });
                    if (row.bCanEject) {
                        contextMenu_->addAction(
                            tr("Eject \u201c%1\u201d").arg(QString::fromStdString(row.volumeSize)),
                            [this, row]() mutable { row.backDisk(commands_.eject); });
                    }
                }
                break;
            }
            case Type::Separator:
                contextMenu_->addSeparator();
                break;
            default: {
                // Eject All is off without an ejectable volume, Fast Clean while a clean runs.
                QAction* action = contextMenu_->addAction(QString::fromStdString(entry.title),
                                                          [this, type = entry.type] { run(type); });
                action->setEnabled(entry.enabled);
                break;
            }
        }
    }
}

std::function<void()> TrayAgentView::Commands::*TrayAgentView::commandOf(
    StatusMenuEntry::Type type) {
    using Type = StatusMenuEntry::Type;
    static const std::pair<Type, std::function<void()> Commands::*> commands[] = {
        {Type::EjectAll, &Commands::ejectAll},
        {Type::FastClean, &Commands::fastClean},
        {Type::Scan, &Commands::scan},
        {Type::FreeSpace, &Commands::freeSpace},
        {Type::Uninstall, &Commands::uninstall},
        {Type::MainWindow, &Commands::showMainWindow},
        {Type::Preferences, &Commands::preferences},
        {Type::About, &Commands::about},
        {Type::Quit, &Commands::quit}};
    for (const auto& [entry, command] : commands) {
        if (entry == type) return command;
    }
    return nullptr;
}

void TrayAgentView::run(StatusMenuEntry::Type type) {
    auto command = commandOf(type);
    if (command && commands_.*command) (commands_.*command)();
}

void TrayAgentView::togglePanel() {
    if (panel_->isVisible()) {
        panel_->hide();
        return;
    }
    panel_->adjustSize();
    QRect anchor = tray_->geometry();
    QPoint at = anchor.isValid() ? anchor.bottomLeft() : QCursor::pos();
    QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen) screen = QGuiApplication::primaryScreen();
    QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    // Keep the whole panel on the screen, below or above the icon.
    int x = std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - panel_->width()));
    int y = at.y() + panel_->height() <= area.bottom()
                ? at.y()
                : std::max(area.top(), anchor.top() - panel_->height());
    panel_->move(x, y);
    panel_->show();
}

void TrayAgentView::setStatusImage(const std::optional<std::string>& name) {
    QIcon icon = name ? ImageProvider::shared().icon(QString::fromStdString(*name)) : QIcon();
    tray_->setIcon(icon.isNull() ? ImageProvider::shared().icon(QStringLiteral("disk_ico.png"))
                                 : icon);
}

void TrayAgentView::setStatusToolTip(const std::string& text) {
    tray_->setToolTip(QString::fromStdString(text));
}

void TrayAgentView::updateShowSize(const std::string& freeText, const std::string& totalText) {
    panel_->updateShowSize(QString::fromStdString(freeText), QString::fromStdString(totalText));
}

void TrayAgentView::setWarningStatusShowColor(bool warning) {
    panel_->setWarning(warning);
}

void TrayAgentView::setStatusItemHidden(bool hidden) {
    if (hidden) {
        panel_->hide();
        tray_->hide();
    } else {
        tray_->show();
    }
}

void TrayAgentView::showBalloon(const std::vector<std::string>& lines, bool error) {
    QStringList texts;
    for (const auto& line : lines) texts << QString::fromStdString(line);
    bubbles_->bubbleViewWith(texts, error);
}

void TrayAgentView::announceUpdate(const std::string& version) {
    auto tool = softwareToolFor(
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").toStdString(), [](const std::string& program) {
            return QStandardPaths::findExecutable(QString::fromStdString(program)).toStdString();
        });
    QStringList texts;
    for (const auto& line : updateBalloonLines(version, tool))
        texts << QString::fromStdString(line);
    BubbleView::ClickAction open;
    if (tool) {
        open = [command = tool->command] {
            QStringList arguments;
            for (const auto& argument : command) arguments << QString::fromStdString(argument);
            QProcess::startDetached(arguments.takeFirst(), arguments);
        };
    }
    bubbles_->bubbleViewWith(texts, false, std::move(open));
}

void TrayAgentView::showMainWindow() {
    if (commands_.openWindow) commands_.openWindow();
}

void TrayAgentView::showMainWindowPage(const std::string& identifier) {
    if (commands_.openPage) commands_.openPage(QString::fromStdString(identifier));
}

void TrayAgentView::showAbout() {
    if (about_) {
        about_->raise();
        about_->activateWindow();
        return;
    }
    // Not modal: the tray and its balloons stay alive while it is open.
    auto* box =
        new QMessageBox(QMessageBox::NoIcon, tr("About Quillby Pro"),
                        QString::fromStdString(AboutText::title() + "\n" + AboutText::version()),
                        QMessageBox::Close);
    box->setIconPixmap(ImageProvider::shared().icon(QStringLiteral("disk_ico.png")).pixmap(64));
    box->setInformativeText(
        QString::fromStdString(AboutText::description() + "\n\n" + AboutText::licence()));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setAccessibleName(tr("About Quillby Pro"));
    box->setModal(false);
    about_ = box;
    box->show();
}

void TrayAgentView::alert(const std::string& text) {
    QMessageBox::critical(nullptr, QStringLiteral("Quillby Pro"), QString::fromStdString(text));
}

void TrayAgentView::quit(int status) {
    QCoreApplication::exit(status);
}

}  // namespace quillby
