// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "diskusage/DefaultTerminal.h"

class QMenu;
class QWidget;

namespace quillby {

class FileViewer;
class LaunchedProcess;
class ProcessLauncher;
class WorkRunner;

// The context menu of a disk-usage item, shared by the ring page's lists and the column
// browser: "Copy Path", "Open a Terminal Here" (in the folder, or in a file's folder) when
// the desktop has a default terminal, then "Open" and "Show in Folder" through the file viewer. The
// terminal is looked for once, on a worker, when the menu's owner is made, and started on the
// worker through the installed process launcher.
class DiskUsageItemMenu : public QObject {
    Q_OBJECT
  public:
    explicit DiskUsageItemMenu(QObject* parent);
    ~DiskUsageItemMenu() override;

    // A menu for the item at `path` (deleted when closed); without `mayOpen` (a tree read from
    // a scan file, whose paths may be another machine's) the terminal, Open and Show in Folder
    // stay hidden.
    QMenu* menuFor(const std::string& path, bool isFolder, bool mayOpen, QWidget* parent);
    // Starts the terminal in `folder`; a failure comes back as terminalFailed.
    void openTerminal(const std::string& folder);

    void setTerminal(std::optional<TerminalCommand> terminal) { terminal_ = std::move(terminal); }
    const std::optional<TerminalCommand>& terminal() const { return terminal_; }
    void setLauncher(std::shared_ptr<ProcessLauncher> launcher) { launcher_ = std::move(launcher); }
    void setViewer(std::shared_ptr<FileViewer> viewer) { viewer_ = std::move(viewer); }
    // The terminal's search and its starts run here (tests wait on it).
    WorkRunner& work() const { return *work_; }

  signals:
    // "Terminal could not be started in FOLDER.", "\"PATH\" could not be opened."
    void actionFailed(const QString& message);

  private:
    // Asks the viewer on the worker; a refusal comes back as actionFailed with `failure`.
    void view(bool (FileViewer::*request)(const std::string&), const std::string& path,
              const QString& failure);

    WorkRunner* work_;
    std::optional<TerminalCommand> terminal_;
    std::shared_ptr<ProcessLauncher> launcher_;
    std::shared_ptr<FileViewer> viewer_;
    // Terminals started, kept until they end so that none is left a zombie.
    std::vector<std::shared_ptr<LaunchedProcess>> terminals_;
};

}  // namespace quillby
