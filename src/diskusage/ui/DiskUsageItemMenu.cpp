// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/DiskUsageItemMenu.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

#include "core/fs/PathRules.h"
#include "platform/FileViewer.h"
#include "platform/ProcessLauncher.h"
#include "platform/Services.h"
#include "ui/WorkRunner.h"

namespace quillby {

DiskUsageItemMenu::DiskUsageItemMenu(QObject* parent)
    : QObject(parent),
      work_(new WorkRunner(this)),
      launcher_(Services::get<ProcessLauncher>()),
      viewer_(Services::get<FileViewer>()) {
    std::vector<std::string> desktops;
    for (const QString& name :
         QString::fromLocal8Bit(qgetenv("XDG_CURRENT_DESKTOP")).split(QLatin1Char(':'))) {
        if (!name.isEmpty()) desktops.push_back(name.toStdString());
    }
    // It reads the desktop's files: not on this thread.
    work_->run<std::optional<TerminalCommand>>(
        [context = Services::context(), desktops] {
            return findDefaultTerminal(context, desktops);
        },
        [this](std::optional<TerminalCommand> found) {
            if (!terminal_) terminal_ = std::move(found);
        });
}

DiskUsageItemMenu::~DiskUsageItemMenu() = default;

QMenu* DiskUsageItemMenu::menuFor(const std::string& path, bool isFolder, bool mayOpen,
                                  QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setAccessibleName(tr("Item actions"));
    QString text = QString::fromStdString(path);
    menu->addAction(tr("Copy Path"), this, [text] { QGuiApplication::clipboard()->setText(text); });
    std::string folder = path;
    if (!isFolder) {
        auto split = splitAbsolutePath(path);
        folder = split ? split->first : std::string();
    }
    QAction* terminal =
        menu->addAction(tr("Open a Terminal Here"), this, [this, folder] { openTerminal(folder); });
    terminal->setVisible(terminal_ && launcher_ && mayOpen && !folder.empty());
    if (terminal_) terminal->setToolTip(QString::fromStdString(terminal_->name));
    QAction* open = menu->addAction(tr("Open"), this, [this, path] {
        view(&FileViewer::openFile, path, tr("\"%1\" could not be opened."));
    });
    QAction* reveal = menu->addAction(tr("Show in Folder"), this, [this, path] {
        view(&FileViewer::revealItem, path, tr("\"%1\" could not be shown."));
    });
    for (QAction* action : {open, reveal}) action->setVisible(viewer_ && mayOpen);
    return menu;
}

void DiskUsageItemMenu::view(bool (FileViewer::*request)(const std::string&),
                             const std::string& path, const QString& failure) {
    QString message = failure.arg(QString::fromStdString(path));
    // The viewer may wait on the disk or the desktop.
    work_->run<bool>([viewer = viewer_, request, path] { return ((*viewer).*request)(path); },
                     [this, message](bool done) {
                         if (!done) emit actionFailed(message);
                     });
}

void DiskUsageItemMenu::openTerminal(const std::string& folder) {
    if (!terminal_ || !launcher_) return;
    std::erase_if(terminals_, [](const auto& started) { return !started->isRunning(); });
    // Starting a program may wait on the disk.
    work_->run<std::shared_ptr<LaunchedProcess>>(
        [launcher = launcher_, command = *terminal_, folder] {
            return std::shared_ptr<LaunchedProcess>(
                launcher->launchIn(folder, command.program, command.arguments));
        },
        [this, folder, name = terminal_->name](std::shared_ptr<LaunchedProcess> started) {
            if (started) {
                terminals_.push_back(std::move(started));
                return;
            }
            emit actionFailed(
                tr("%1 could not be started in %2.")
                    .arg(QString::fromStdString(name), QString::fromStdString(folder)));
        });
}

}  // namespace quillby
